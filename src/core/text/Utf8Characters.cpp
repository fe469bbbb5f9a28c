#include "core/text/Utf8Characters.h"

namespace quarvo {

namespace {

bool isContinuationByte(char byte)
{
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

} // namespace

size_t utf8CharacterCount(std::string_view text)
{
    size_t count = 0;
    for (size_t position = 0; position < text.size(); position = nextCharacterBoundary(text, position))
        ++count;
    return count;
}

size_t nextCharacterBoundary(std::string_view text, size_t position)
{
    if (position >= text.size())
        return text.size();
    ++position;
    while (position < text.size() && isContinuationByte(text[position]))
        ++position;
    return position;
}

} // namespace quarvo
