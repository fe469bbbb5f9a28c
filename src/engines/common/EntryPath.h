#pragma once

#include "core/base/Result.h"

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

// How a format's entry names are read beyond the common rules.
struct EntryNameRules {
    // "\" separates directories too: ZIP entries made on MS-DOS, OS/2 and Windows, whose programs
    // write their own separator. On Unix, and in every TAR name, it is an ordinary character.
    bool backslashIsSeparator = false;
    // A leading letter and ":" is a drive, which no name may start with: ZIP archives travel
    // between systems that read it so. A TAR name "C:notes" is an ordinary file name on Unix.
    bool refuseDrivePrefix = true;
};

// Splits an entry name (decoded to UTF-8; storedName is the raw bytes) into path components, or
// says why the name cannot name anything inside the destination: an empty name, a NUL byte, a
// leading "/", a drive prefix (when the rules say so), an empty or ".." component, or no file name
// at all. "." components are dropped (bsdtar writes "./" in front of every name). Containment does
// not depend on this check (every path is opened beneath the destination without following links);
// it gives the user a clear reason instead of an odd file.
Result<EntryPath> splitEntryPath(std::string_view name, std::string_view storedName,
                                 const EntryNameRules& rules);

// Whether a symbolic link at linkPath (components beneath the destination, the link itself last)
// with this target stays inside the destination when resolved: a relative target whose leading
// ".." components never climb above the destination and which has no ".." after a named
// component (that component may be another link, so only the leading climb can be checked).
bool linkTargetStaysInside(const std::vector<std::string>& linkPath, std::string_view target);

} // namespace quarvo
