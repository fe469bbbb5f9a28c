#include "core/zip/Zip64Records.h"

#include "core/zip/ZipFormat.h"
#include "support/ZipBuilder.h"

#include <gtest/gtest.h>

namespace quarvo {
namespace {

using testing::ZipBuilder;

TEST(Zip64Records, WithoutExtraBlockRemovesEveryBlockOfTheIdAndKeepsTheRest)
{
    const std::string zip64 = ZipBuilder::zip64Extra({1, 2});
    const std::string timestamp("\x55\x54\x05\x00\x01\x02\x03\x04\x05", 9);
    const std::string truncated("\x01\x00\x08\x00\x01", 5); // says 8 bytes, holds 1
    struct Case {
        const char* rule;
        std::string extra;
        std::string expected;
    } cases[] = {
        {"empty", "", ""},
        {"only the block", zip64, ""},
        {"between others", timestamp + zip64 + timestamp, timestamp + timestamp},
        {"twice", zip64 + timestamp + zip64, timestamp},
        {"a truncated block is kept as it stands", timestamp + truncated, timestamp + truncated},
        {"a short tail is kept", zip64 + "ab", "ab"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(withoutExtraBlock(c.extra, zipformat::extra::Zip64), c.expected) << c.rule;
}

} // namespace
} // namespace quarvo
