#pragma once

#include "core/desktop/UserDirectories.h"

#include <string_view>

namespace quarvo {

// Whether the program at programPath is part of an installation that registered itself for every
// user: its data directory (InstallLayout::dataDirectory() beside the program's directory) is one
// of the system data directories and holds the installation's applications/quarvo.desktop. The
// desktop then knows the program, its types and its icons from the system files, and a per-user
// desktop entry would only shadow the package's one. A copy unpacked elsewhere, or installed under a
// prefix the desktop does not read, is not.
bool installedForAllUsers(const DesktopDirectories& directories, std::string_view programPath);

} // namespace quarvo
