#include "core/app/WindowTitle.h"

namespace quarvo {

std::string archiveWindowTitle(std::string_view documentTitle, bool nested, std::string_view filter)
{
    std::string title;
    if (nested && !documentTitle.starts_with('*'))
        title.push_back('*');
    title += documentTitle;
    title += '(';
    title += filter;
    title += ')';
    return title;
}

} // namespace quarvo
