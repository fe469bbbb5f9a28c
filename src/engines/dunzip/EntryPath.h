#pragma once

#include "core/base/Result.h"

#include <string>
#include <string_view>
#include <vector>

namespace quarvo {

// An entry name taken apart into the components of a path beneath the destination directory.
struct EntryPath {
    std::vector<std::string> components; // never empty, none empty, none "." or ".."
    bool isDirectory = false;            // the name ended with "/"
};

// Splits a stored name (decoded to UTF-8; storedName is the raw bytes) into path components, or
// says why the name cannot name anything inside the destination: an empty name, a NUL byte, a "\",
// a leading "/", a drive prefix, an empty, "." or ".." component. Containment does not depend on
// this check (every path is opened beneath the destination without following links); it gives
// the user a clear reason instead of an odd file.
Result<EntryPath> splitEntryPath(std::string_view name, std::string_view storedName);

// Whether a symbolic link at linkPath (components beneath the destination, the link itself last)
// with this target stays inside the destination when resolved: a relative target whose leading
// ".." components never climb above the destination and which has no ".." after a named
// component (that component may be another link, so only the leading climb can be checked).
bool linkTargetStaysInside(const std::vector<std::string>& linkPath, std::string_view target);

} // namespace quarvo
