#pragma once

#include "core/base/Result.h"

#include <optional>
#include <string>
#include <string_view>

namespace quarvo {

// The whole of a regular file (a link is not followed); nothing when there is none or it cannot be
// read.
std::optional<std::string> readRegularFile(const std::string& path);

// Writes content to path unless the file holds exactly that already. The new contents go to a
// temporary file beside it that is renamed over the old one, so a reader never sees half a file;
// missing parent directories are made. Returns true when the file was written.
Result<bool> writeFileIfChanged(const std::string& path, std::string_view content);

} // namespace quarvo
