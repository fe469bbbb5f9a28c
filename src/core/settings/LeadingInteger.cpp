#include "core/settings/LeadingInteger.h"

#include <cstdint>
#include <limits>

namespace quarvo {

int parseLeadingInteger(std::string_view text)
{
    size_t position = 0;
    while (position < text.size() && (text[position] == ' ' || text[position] == '\t'))
        ++position;
    bool negative = false;
    if (position < text.size() && (text[position] == '-' || text[position] == '+')) {
        negative = text[position] == '-';
        ++position;
    }
    // One past the largest magnitude either sign can reach; accumulation stops there.
    constexpr int64_t limit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    int64_t magnitude = 0;
    for (; position < text.size() && text[position] >= '0' && text[position] <= '9'; ++position) {
        magnitude = magnitude * 10 + (text[position] - '0');
        if (magnitude > limit)
            magnitude = limit;
    }
    if (negative)
        return static_cast<int>(-magnitude);
    return static_cast<int>(magnitude >= limit ? limit - 1 : magnitude);
}

} // namespace quarvo
