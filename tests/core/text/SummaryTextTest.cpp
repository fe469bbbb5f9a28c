#include "core/text/SummaryText.h"

#include <gtest/gtest.h>

using namespace quarvo;

namespace {

TEST(SummaryText, JoinsLabelCountAndSize)
{
    EXPECT_EQ(totalSummaryText(3, 1536), "Total: 3 file(s) (1.53 KB)");
    EXPECT_EQ(totalSummaryText(0, 0), "Total: 0 file(s) (0 Bytes)");
    EXPECT_EQ(selectedSummaryText(0, 0), "Selected: 0 file(s) (0 Bytes)");
    EXPECT_EQ(selectedSummaryText(1234, 2147483648u), "Selected: 1,234 file(s) (2.04 GB)");
    EXPECT_EQ(totalSummaryText(70000, 5368709120u), "Total: 70,000 file(s) (5.12 GB)");
}

} // namespace
