#include "core/text/NumberFormat.h"

#include <array>

namespace quarvo {

namespace {

constexpr std::array<const char*, 4> sizeUnits = {" Bytes)", " KB)", " MB)", " GB)"};

// How many times bytes can be divided by 1,024 before it falls below 1,024, at most three.
int sizeUnitIndex(uint64_t bytes)
{
    int unit = 0;
    for (uint64_t value = bytes >> 10; value != 0 && unit < 3; value >>= 10)
        ++unit;
    return unit;
}

} // namespace

std::string formatThousands(uint64_t value)
{
    std::string digits = std::to_string(value);
    std::string grouped;
    grouped.reserve(digits.size() + digits.size() / 3);
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i != 0 && (digits.size() - i) % 3 == 0)
            grouped += ',';
        grouped += digits[i];
    }
    return grouped;
}

std::string formatSize(uint64_t bytes)
{
    int unit = sizeUnitIndex(bytes);
    if (unit == 0)
        return formatThousands(bytes) + sizeUnits[0];

    // The count of the unit below, always 1,024 or more, so its text has a last group comma that
    // becomes the decimal point; the third decimal is dropped.
    uint64_t figure = bytes >> (10 * (unit - 1));
    std::string text = formatThousands(figure);
    text[text.size() - 4] = '.';
    text.pop_back();
    return text + sizeUnits[unit];
}

} // namespace quarvo
