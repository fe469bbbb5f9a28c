#include "core/printing/TextWrap.h"

#include "MonospaceMeasurer.h"

#include <gtest/gtest.h>

using namespace quarvo;
using quarvo::testing::MonospaceMeasurer;

namespace {

using Lines = std::vector<std::string>;

struct WrapCase {
    const char* text;
    int32_t width;
    Lines lines;
};

// Ten characters a line unless a case says otherwise.
constexpr int32_t tenCharacters = 10 * MonospaceMeasurer::CharacterWidth;

TEST(TextWrap, FillsLinesWordByWordWithinTheWidth)
{
    const WrapCase cases[] = {
        {"", tenCharacters, {}},
        {"\r\n\r\n", tenCharacters, {}},
        {"short", tenCharacters, {"short"}},
        // "one two three" is 13 characters; "three four" is exactly 10.
        {"one two three four", tenCharacters, {"one two", "three four"}},
        // Every kind of line break ends a line; empty paragraphs stay, trailing breaks do not.
        {"a\r\nb\nc\rd", tenCharacters, {"a", "b", "c", "d"}},
        {"first\r\n\r\nthird\r\n\r\n", tenCharacters, {"first", "", "third"}},
        // Indentation and inner spacing stay; the spaces at a break go.
        {"  indented   twice", tenCharacters, {"  indented", "twice"}},
        {"a  b", tenCharacters, {"a  b"}},
        // A word wider than a line is cut, and what is left of it takes words after it.
        {"ABCDEFGHIJKLMNOPQRSTUVWXY", tenCharacters, {"ABCDEFGHIJ", "KLMNOPQRST", "UVWXY"}},
        {"ab ABCDEFGHIJKLMNOP cd", tenCharacters, {"ab", "ABCDEFGHIJ", "KLMNOP cd"}},
        // Cut between characters, never inside a UTF-8 sequence.
        {"\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9", 4 * MonospaceMeasurer::CharacterWidth,
         {"\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9", "\xC3\xA9\xC3\xA9"}},
        // No room at all still ends, one character a line.
        {"abc", 0, {"a", "b", "c"}},
    };
    MonospaceMeasurer measurer;
    for (const WrapCase& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(wrapText(c.text, c.width, measurer), c.lines);
    }
}

} // namespace
