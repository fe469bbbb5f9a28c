#include "core/search/KeyWord.h"

#include "core/base/TextCase.h"

#include <string>

namespace quarvo {

namespace {

bool isWordCharacter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

} // namespace

bool containsKeyWord(std::string_view text, std::string_view key)
{
    if (key.empty())
        return false;
    const std::string upperText = toUpperAscii(text);
    const std::string upperKey = toUpperAscii(key);
    // Where the text still being looked at begins; what lies before it has been dropped.
    size_t restStart = 0;
    for (;;) {
        const size_t found = upperText.find(upperKey, restStart);
        if (found == std::string::npos)
            return false;
        const size_t after = found + upperKey.size();
        const bool clearBefore = found == restStart || !isWordCharacter(upperText[found - 1]);
        const bool clearAfter = after == upperText.size() || !isWordCharacter(upperText[after]);
        if (clearBefore && clearAfter)
            return true;
        if (found + 1 >= upperText.size())
            return false;
        restStart = found + 1;
    }
}

} // namespace quarvo
