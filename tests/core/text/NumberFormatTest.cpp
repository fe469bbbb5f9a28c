#include "core/text/NumberFormat.h"

#include <gtest/gtest.h>

using namespace quarvo;

namespace {

TEST(FormatThousands, PutsACommaBeforeEveryGroupOfThreeFromTheRight)
{
    const std::pair<uint64_t, const char*> cases[] = {
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
        {5368709120u, "5,368,709,120"}, // a 5 GiB entry of a ZIP64 archive
        {UINT64_MAX, "18,446,744,073,709,551,615"},
    };
    for (auto [value, text] : cases)
        EXPECT_EQ(formatThousands(value), text) << value;
}

TEST(FormatSize, ShowsBytesBelowOneKibibyteAndTruncatedThousandthsAbove)
{
    const std::pair<uint64_t, const char*> cases[] = {
        {0, "0 Bytes)"},          {1, "1 Bytes)"},           {1023, "1,023 Bytes)"},
        {1024, "1.02 KB)"},       {1536, "1.53 KB)"},        {1048575, "1,048.57 KB)"},
        {1048576, "1.02 MB)"},    {5242880, "5.12 MB)"},     {1073741823, "1,048.57 MB)"},
        {1073741824, "1.02 GB)"}, {2147483648u, "2.04 GB)"}, {4294967295u, "4.09 GB)"},
        {5368709120u, "5.12 GB)"}, {uint64_t{5} << 40, "5,242.88 GB)"}, // no unit beyond GB
    };
    for (auto [bytes, text] : cases)
        EXPECT_EQ(formatSize(bytes), text) << bytes;
}

} // namespace
