#pragma once

#include "core/base/Result.h"
#include "core/base/UniqueFd.h"
#include "gui/launch/LaunchFailure.h"

#include <string>

namespace quarvo::gui {

// Opens the directory a program is to run in (O_PATH, close-on-exec), so that a missing directory is
// told apart from a missing program before anything starts, and the child enters exactly the
// directory that was checked, with fchdir. A missing path or one through a file fails with
// PathNotFound; an empty path names no directory and fails the same way.
Result<UniqueFd, LaunchFailure> openWorkingDirectory(const std::string& path);

} // namespace quarvo::gui
