#pragma once

#include "core/base/Result.h"

#include <string>
#include <string_view>

namespace quarvo {

// The directory of the program's private run-time files (the instance socket, the scratch
// directories), reachable by the user alone.
//
// It is "quarvo" inside $XDG_RUNTIME_DIR when that variable names a directory of the user's that is
// closed to group and others; otherwise "quarvo-<uid>" inside the system's temporary directory. The
// directory is created with mode 0700 when missing. An existing one that is a symbolic link or
// belongs to someone else is refused: another user could then read or plant files in it.
Result<std::string> userRuntimeDirectory();

// The directory of the program's large private files (unpacked streams): "quarvo" inside
// $XDG_CACHE_HOME when that names an absolute directory, else inside ~/.cache. Both are made when
// missing, the "quarvo" one with mode 0700 and refused like the run-time directory when it is not
// the user's own.
Result<std::string> userCacheDirectory();

// Makes sure path is a directory of the user's closed to everyone else: creates it with mode 0700,
// or tightens an existing one of the user's to 0700. Fails for a symbolic link, a non-directory and a
// directory owned by another user.
Result<Ok> ensurePrivateDirectory(const std::string& path);

// The executable's base name: its file name without directory and without the extension.
std::string executableBaseName(std::string_view executablePath);

// Where a running instance listens for execute strings: the executable's base name followed by
// "system", inside the user's run-time directory.
std::string instanceSocketPath(const std::string& runtimeDirectory, std::string_view executableBaseName);

} // namespace quarvo
