#include "core/text/Utf8Characters.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace quarvo;

namespace {

// The character boundaries of a text, walked from its start.
std::vector<size_t> boundaries(std::string_view text)
{
    std::vector<size_t> result;
    for (size_t position = 0; position < text.size();) {
        position = nextCharacterBoundary(text, position);
        result.push_back(position);
    }
    return result;
}

struct Utf8Case {
    std::string text;
    size_t characters;
    std::vector<size_t> boundaries;
};

TEST(Utf8Characters, CountsAndStepsByCharacterNotByte)
{
    const Utf8Case cases[] = {
        {"", 0, {}},
        {"A.TXT", 5, {1, 2, 3, 4, 5}},
        {"\xC3\x84" "B", 2, {2, 3}},              // Ä: two bytes
        {"\xE2\x82\xAC", 1, {3}},                  // €: three bytes
        {"\xF0\x9F\x93\x81x", 2, {4, 5}},          // a four-byte folder symbol
        {"\xFF\xFE", 2, {1, 2}},                   // invalid bytes: one character each
        {"\x80\x80" "A", 2, {2, 3}},               // stray continuation bytes join the first
        {"\xC3", 1, {1}},                          // a sequence cut short ends with the text
    };
    for (const Utf8Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(utf8CharacterCount(c.text), c.characters);
        EXPECT_EQ(boundaries(c.text), c.boundaries);
    }
    EXPECT_EQ(nextCharacterBoundary("AB", 2), 2u);
    EXPECT_EQ(nextCharacterBoundary("AB", 7), 2u);
}

} // namespace
