#pragma once

#include <string>
#include <string_view>

namespace quarvo {

// The title of an archive window: the document's title with "*" in front when the archive was
// opened from inside another one (unless the title already starts with "*"), followed by the
// listing's filter in parentheses: "*NAME.ZIP(*.DOC)". Other windows show the document's title alone.
std::string archiveWindowTitle(std::string_view documentTitle, bool nested, std::string_view filter);

} // namespace quarvo
