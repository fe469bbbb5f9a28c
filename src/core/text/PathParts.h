#pragma once

#include <string_view>

namespace quarvo {

// The parts of a path or stored entry name, split at "/" (directories) and "." (extension). Each
// returns a view into the text it was given, so the text must outlive the result.

// The text after the last "/", or the whole text when there is none. A directory entry such as
// "DIR/" has an empty file-name part.
std::string_view fileNamePart(std::string_view path);

// The text before the last "/", without it: empty when there is no "/", and "/" itself when the
// only separator is the leading one (the root keeps its separator so that it still names the root).
std::string_view directoryPart(std::string_view path);

// The text after the last ".", when that dot lies in the last path component; otherwise empty.
// "A.TAR.GZ" gives "GZ", "DIR.D/README" gives an empty text.
std::string_view extensionPart(std::string_view path);

// The file-name part without its extension and the dot before it: "/A/B.C.ZIP" gives "B.C", and
// "/A/README" gives "README". Window captions use it as the archive's title.
std::string_view fileTitlePart(std::string_view path);

} // namespace quarvo
