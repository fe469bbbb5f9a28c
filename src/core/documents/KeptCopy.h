#pragma once

#include "core/base/Result.h"

#include <string>
#include <string_view>

namespace quarvo {

// Where edited copies that did not go back into their archives are kept: "quarvo/kept" inside
// $XDG_DATA_HOME when that names an absolute directory, else inside ~/.local/share. Unlike the
// scratch directory it outlives the program.
std::string defaultKeptCopiesDirectory();

// Copies an edited copy out of the scratch directory into a new directory of its own under keptRoot
// (created with mode 0700 when missing), named after the archive: keptRoot/ARCHIVE-XXXXXX/NAME,
// NAME being the copy's file name. The contents and the modification time come along; a symbolic
// link in the copy's place is refused. Returns the path of the kept file, or why it could not be
// kept (then nothing is left behind under keptRoot). The copy itself is left as it is.
Result<std::string> keepChangedCopy(const std::string& copy, const std::string& keptRoot,
                                    std::string_view archivePath);

} // namespace quarvo
