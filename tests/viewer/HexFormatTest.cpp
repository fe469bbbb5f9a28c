#include "viewer/HexFormat.h"

#include <gtest/gtest.h>

#include <string>

namespace quarvo::viewer {
namespace {

std::span<const unsigned char> bytesOf(const std::string& text)
{
    return {reinterpret_cast<const unsigned char*>(text.data()), text.size()};
}

TEST(HexFormat, LineShowsOffsetSixteenBytesAndTheirCharacters)
{
    const std::string full("Hello, world!\n\0\xFF", 16);
    EXPECT_EQ(hexDumpLine(0, bytesOf(full), 8),
              "00000000  48 65 6c 6c 6f 2c 20 77  6f 72 6c 64 21 0a 00 ff  Hello, world!...");
    // A short last line keeps the character column where the full lines have it.
    EXPECT_EQ(hexDumpLine(0x10, bytesOf("Hi\n"), 8), "00000010  48 69 0a" + std::string(42, ' ') + "Hi.");
    // More than a line's bytes: only the first sixteen are shown.
    EXPECT_EQ(hexDumpLine(0x20, bytesOf(full + "more"), 8), hexDumpLine(0x20, bytesOf(full), 8));
    EXPECT_EQ(hexDumpLine(0x100000000, bytesOf("~\x7F"), 9),
              "100000000  7e 7f" + std::string(45, ' ') + "~.");
}

TEST(HexFormat, OffsetsWidenOnlyPastFourGibibytes)
{
    struct Case {
        uint64_t fileSize;
        int digits;
    };
    for (const Case& test :
         {Case{0, 8}, Case{1, 8}, Case{uint64_t(1) << 32, 8}, Case{(uint64_t(1) << 32) + 1, 9},
          Case{uint64_t(1) << 40, 10}, Case{UINT64_MAX, 16}})
        EXPECT_EQ(hexOffsetDigits(test.fileSize), test.digits) << test.fileSize;
}

TEST(HexFormat, LineCountRoundsUpToWholeLines)
{
    struct Case {
        uint64_t fileSize;
        uint64_t lines;
    };
    for (const Case& test :
         {Case{0, 0}, Case{1, 1}, Case{16, 1}, Case{17, 2}, Case{uint64_t(1) << 30, uint64_t(1) << 26}})
        EXPECT_EQ(hexLineCount(test.fileSize), test.lines) << test.fileSize;
}

} // namespace
} // namespace quarvo::viewer
