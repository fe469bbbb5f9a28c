#include "core/zip/ZipNames.h"

#include <cstdio>
#include <gtest/gtest.h>

namespace quarvo {
namespace {

std::span<const uint8_t> bytesOf(const std::string& text)
{
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

TEST(ZipNames, DecodesUtf8OrElseCodePage437WhenTheUtf8FlagIsClear)
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
        // Valid UTF-8 without the flag is how Info-ZIP's zip on Linux stores names: kept.
        {"caf\xC3\xA9.txt", "caf\xC3\xA9.txt"},
        {"\xE6\x97\xA5", "\xE6\x97\xA5"},
        // One byte that breaks the UTF-8 reading makes the whole text code page 437.
        {"\xC3\xA9\x82", "\xE2\x94\x9C\xE2\x8C\x90\xC3\xA9"},
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

// The Info-ZIP Unicode path block: id 0x7075, size, version, CRC-32 of the stored name, UTF-8 name.
std::string unicodePathBlock(uint8_t version, uint32_t crc, const std::string& utf8)
{
    std::string block("up", 2);
    size_t size = 5 + utf8.size();
    block += static_cast<char>(size & 0xFF);
    block += static_cast<char>(size >> 8);
    block += static_cast<char>(version);
    for (int shift = 0; shift < 32; shift += 8)
        block += static_cast<char>(crc >> shift);
    return block + utf8;
}

TEST(ZipNames, TheUnicodePathFieldNamesTheEntryOnlyWhileItMatchesTheStoredName)
{
    const std::string stored = "caf\x82.txt"; // code page 437: "café.txt"
    const std::string utf8 = "caf\xc3\xa9.txt";
    const std::string other = "\xe6\x97\xa5\xe6\x9c\xac.txt"; // what the field says
    EXPECT_EQ(crc32OfBytes(bytesOf("123456789")), 0xCBF43926u); // the standard check value
    const uint32_t crc = crc32OfBytes(bytesOf(stored));
    const std::string timestamp("UT\x05\x00\x01\x00\x00\x00\x00", 9);

    // Found among other blocks, and used.
    EXPECT_EQ(decodeEntryName(bytesOf(stored), 0, bytesOf(timestamp + unicodePathBlock(1, crc, other))), other);
    // A stale field (the entry was renamed), another version, bad UTF-8, a truncated block: the
    // stored name in code page 437.
    EXPECT_EQ(decodeEntryName(bytesOf(stored), 0, bytesOf(unicodePathBlock(1, crc ^ 1, other))), utf8);
    EXPECT_EQ(decodeEntryName(bytesOf(stored), 0, bytesOf(unicodePathBlock(2, crc, other))), utf8);
    EXPECT_EQ(decodeEntryName(bytesOf(stored), 0, bytesOf(unicodePathBlock(1, crc, "\xff\xfe"))), utf8);
    std::string truncated = unicodePathBlock(1, crc, other);
    truncated.resize(truncated.size() - 2);
    EXPECT_EQ(decodeEntryName(bytesOf(stored), 0, bytesOf(truncated)), utf8);
    // A name stored as UTF-8 is the name.
    EXPECT_EQ(decodeEntryName(bytesOf(utf8), 0x0800, bytesOf(unicodePathBlock(1, crc32OfBytes(bytesOf(utf8)), other))),
              utf8);
}

} // namespace
} // namespace quarvo
