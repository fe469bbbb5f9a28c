#pragma once

#include "core/base/Result.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quarvo {

// An entry name taken apart into the components of a path beneath the destination directory.
struct EntryPath {
    // None empty, ".." or "."; empty only for a directory that is the destination itself ("./").
    std::vector<std::string> components;
    bool isDirectory = false; // the name ended with "/"
};

// Whether a "\" in the names of entries made on this host (the upper byte of "version made by")
// separates directories. MS-DOS, OS/2 and Windows programs write their own separator; on Unix "\" is
// an ordinary character of a file name.
bool backslashSeparatesDirectories(uint8_t host);

// Splits a stored name (decoded to UTF-8; storedName is the raw bytes) into path components, or
// says why the name cannot name anything inside the destination: an empty name, a NUL byte, a
// leading "/", a drive prefix, an empty or ".." component, or no file name at all. "." components
// are dropped (bsdtar writes "./" in front of every name). With backslashIsSeparator a "\" is taken
// as "/" first. Containment does not depend on this check (every path is opened beneath the
// destination without following links); it gives the user a clear reason instead of an odd file.
Result<EntryPath> splitEntryPath(std::string_view name, std::string_view storedName,
                                 bool backslashIsSeparator);

// Whether a symbolic link at linkPath (components beneath the destination, the link itself last)
// with this target stays inside the destination when resolved: a relative target whose leading
// ".." components never climb above the destination and which has no ".." after a named
// component (that component may be another link, so only the leading climb can be checked).
bool linkTargetStaysInside(const std::vector<std::string>& linkPath, std::string_view target);

} // namespace quarvo
