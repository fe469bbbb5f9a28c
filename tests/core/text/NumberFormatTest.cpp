#include "core/text/NumberFormat.h"

#include <gtest/gtest.h>

using namespace quarvo;

namespace {

TEST(FormatThousands, PutsACommaBeforeEveryGroupOfThreeFromTheRight)
{
    const std::pair<uint32_t, const char*> cases[] = {
        {0, "0"},
        {7, "7"},
        {999, "999"},
        {1000, "1,000"},
        {12345, "12,345"},
        {999999, "999,999"},
        {1000000, "1,000,000"},
        {1234567, "1,234,567"},
        {100000000, "100,000,000"},
        {4294967295u, "4,294,967,295"},
    };
    for (auto [value, text] : cases)
        EXPECT_EQ(formatThousands(value), text) << value;
}

TEST(FormatSize, ShowsBytesBelowOneKibibyteAndTruncatedThousandthsAbove)
{
    const std::pair<uint32_t, const char*> cases[] = {
        {0, "0 Bytes)"},          {1, "1 Bytes)"},           {1023, "1,023 Bytes)"},
        {1024, "1.02 KB)"},       {1536, "1.53 KB)"},        {1048575, "1,048.57 KB)"},
        {1048576, "1.02 MB)"},    {5242880, "5.12 MB)"},     {1073741823, "1,048.57 MB)"},
        {1073741824, "1.02 GB)"}, {2147483648u, "2.04 GB)"}, {4294967295u, "4.09 GB)"},
    };
    for (auto [bytes, text] : cases)
        EXPECT_EQ(formatSize(bytes), text) << bytes;
}

} // namespace
