#include "core/search/SearchLocations.h"

namespace quarvo {

std::vector<std::string> splitLocations(std::string_view location)
{
    std::vector<std::string> parts;
    for (;;) {
        const size_t separator = location.find(';');
        parts.emplace_back(location.substr(0, separator));
        if (separator == std::string_view::npos)
            return parts;
        location.remove_prefix(separator + 1);
    }
}

std::vector<WalkOutcome> searchLocations(std::string_view location, const SearchCriteria& criteria,
                                         const SearchListener& listener, std::atomic<bool>& cancel,
                                         const std::function<bool()>& continueWith)
{
    std::vector<WalkOutcome> outcomes;
    for (const std::string& part : splitLocations(location)) {
        if (!outcomes.empty()) {
            if (continueWith && !continueWith())
                break;
            cancel = false;
        }
        outcomes.push_back(searchLocation(part, criteria, listener, cancel));
    }
    return outcomes;
}

} // namespace quarvo
