#include "core/zip/ZipNames.h"

#include <cstdio>
#include <gtest/gtest.h>

namespace quarvo {
namespace {

std::span<const uint8_t> bytesOf(const std::string& text)
{
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

TEST(ZipNames, DecodesCodePage437WhenTheUtf8FlagIsClear)
{
    struct Case {
        std::string stored;
        std::string expected;
    };
    const Case cases[] = {
        {"plain.txt", "plain.txt"},
        {"\x81"
         "ber",
         "\xC3\xBC"
         "ber"}, // 0x81 u with diaeresis
        {"stra\xE1"
         "e",
         "stra\xC3\x9F"
         "e"},                    // 0xE1 sharp s
        {"\xB3", "\xE2\x94\x82"}, // 0xB3 box drawing vertical
        {"\xFF", "\xC2\xA0"},     // 0xFF no-break space
        {"\x9E", "\xE2\x82\xA7"}, // 0x9E peseta sign
    };
    for (const Case& c : cases)
        EXPECT_EQ(decodeArchiveText(bytesOf(c.stored), 0), c.expected) << c.stored;
}

TEST(ZipNames, CodePage437TableAgreesWithPythonsCodec)
{
    FILE* pipe = popen("python3 -c \"import sys; sys.stdout.buffer.write(bytes(range(256)).decode('cp437')"
                       ".encode('utf-8'))\" 2>/dev/null",
                       "r");
    if (!pipe)
        GTEST_SKIP() << "python3 is not available";
    std::string expected;
    char buffer[4096];
    size_t count;
    while ((count = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        expected.append(buffer, count);
    if (pclose(pipe) != 0 || expected.empty())
        GTEST_SKIP() << "python3 is not available";
    std::string all;
    for (int i = 0; i < 256; ++i)
        all += static_cast<char>(i);
    EXPECT_EQ(codePage437ToUtf8(bytesOf(all)), expected);
}

TEST(ZipNames, KeepsValidUtf8AndEscapesInvalidBytesWhenTheFlagIsSet)
{
    struct Case {
        std::string stored;
        std::string expected;
    };
    const Case cases[] = {
        {"\xC3\xBC"
         "ber",
         "\xC3\xBC"
         "ber"},
        {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"}, // four-byte sequence
        {"a\x81"
         "b",
         "a\\x81b"},                         // stray continuation byte
        {"\xC0\xAF", "\\xC0\\xAF"},          // overlong "/"
        {"\xED\xA0\x80", "\\xED\\xA0\\x80"}, // surrogate
        {"\xE2\x82", "\\xE2\\x82"},          // truncated at the end
    };
    for (const Case& c : cases)
        EXPECT_EQ(decodeArchiveText(bytesOf(c.stored), 0x0800), c.expected) << c.expected;
    EXPECT_FALSE(isValidUtf8("\xC0\xAF"));
    EXPECT_TRUE(isValidUtf8("\xC3\xBC"));
}

TEST(ZipNames, EscapesControlCharactersOnly)
{
    EXPECT_EQ(escapeControlCharacters("a\nb\x1B[2J"), "a\\x0Ab\\x1B[2J");
    EXPECT_EQ(escapeControlCharacters(std::string("nul\0x", 5)), "nul\\x00x");
    EXPECT_EQ(escapeControlCharacters("del\x7F"), "del\\x7F");
    EXPECT_EQ(escapeControlCharacters("c1\xC2\x85"), "c1\\x85");
    EXPECT_EQ(escapeControlCharacters("\xC3\xBC\xC2\xA0ok"), "\xC3\xBC\xC2\xA0ok");
}

} // namespace
} // namespace quarvo
