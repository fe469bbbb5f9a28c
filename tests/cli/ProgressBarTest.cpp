#include "cli/ProgressBar.h"

#include "core/zip/ZipNames.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace quarvo::cli {
namespace {

size_t characterCount(const std::string& utf8)
{
    return std::count_if(utf8.begin(), utf8.end(),
                         [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; });
}

TEST(ProgressBar, FillsOneCellPerFivePercentAndCapsAtHundred)
{
    const std::vector<std::pair<uint32_t, std::string>> table = {
        {0, "[....................]   0% Adding a.txt"},   {4, "[....................]   4% Adding a.txt"},
        {45, "[#########...........]  45% Adding a.txt"},  {100, "[####################] 100% Adding a.txt"},
        {250, "[####################] 100% Adding a.txt"},
    };
    for (const auto& [percent, expected] : table)
        EXPECT_EQ(renderProgressLine("Adding a.txt", percent, 80), expected) << percent;
}

TEST(ProgressBar, NeverReachesTheLastColumn)
{
    const std::string longText(300, 'x');
    for (size_t columns : {1u, 20u, 32u, 33u, 40u, 80u, 200u}) {
        const std::string line = renderProgressLine(longText, 50, columns);
        EXPECT_EQ(characterCount(line), std::min<size_t>(columns - 1, columns < 33 ? 4 : columns - 1))
            << columns;
    }
    EXPECT_EQ(renderProgressLine("text", 7, 20), "  7%");
    EXPECT_EQ(renderProgressLine("text", 7, 0), "");
}

TEST(ProgressBar, CutsLongTextBetweenCharactersAndEscapesControls)
{
    std::string accented;
    for (int i = 0; i < 100; ++i)
        accented += "\xC3\xA9"; // é
    const std::string line = renderProgressLine(accented, 10, 60);
    EXPECT_EQ(characterCount(line), 59u);
    EXPECT_TRUE(isValidUtf8(line));

    const std::string hostile = renderProgressLine("a\x1B[2Jb", 10, 80);
    EXPECT_EQ(hostile.find('\x1B'), std::string::npos);
    EXPECT_NE(hostile.find("a\\x1B[2Jb"), std::string::npos);
}

TEST(ProgressBar, RedrawsAtMostTenTimesASecondAndErasesOnlyWhatItDrew)
{
    std::vector<std::string> writes;
    ProgressBar bar([&](std::string_view bytes) { writes.emplace_back(bytes); }, 80);
    bar.clear();
    EXPECT_TRUE(writes.empty());

    const auto start = ProgressBar::Clock::time_point{} + std::chrono::hours(1);
    bar.update("one", 10, start);
    bar.update("two", 20, start + std::chrono::milliseconds(50));
    bar.update("three", 30, start + std::chrono::milliseconds(99));
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0], "\r[##..................]  10% one\033[K");

    bar.update("four", 40, start + std::chrono::milliseconds(100));
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_NE(writes[1].find("40% four"), std::string::npos);

    bar.clear();
    bar.clear();
    ASSERT_EQ(writes.size(), 3u);
    EXPECT_EQ(writes[2], "\r\033[K");
}

} // namespace
} // namespace quarvo::cli
