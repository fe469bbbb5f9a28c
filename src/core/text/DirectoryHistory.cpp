#include "core/text/DirectoryHistory.h"

#include <algorithm>

namespace quarvo {

void addToDirectoryHistory(std::span<std::string> history, std::string_view directory)
{
    if (history.empty())
        return;
    // The last entry is never searched: whether it matches or not, it is the one overwritten.
    auto searched = history.first(history.size() - 1);
    auto found = std::find(searched.begin(), searched.end(), directory);
    auto overwritten =
        found == searched.end() ? history.end() - 1 : history.begin() + (found - searched.begin());
    std::move_backward(history.begin(), overwritten, overwritten + 1);
    history.front() = directory;
}

} // namespace quarvo
