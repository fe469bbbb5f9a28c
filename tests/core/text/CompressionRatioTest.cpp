#include "core/text/CompressionRatio.h"

#include <gtest/gtest.h>

using namespace quarvo;

namespace {

struct RatioCase {
    uint64_t compressed;
    uint64_t uncompressed;
    int ratio;
};

TEST(CompressionRatio, ScalesBothSizesByThousandsThenTruncates)
{
    const RatioCase cases[] = {
        {0, 0, 0},               // empty entry
        {500, 500, 0},           // stored
        {600, 500, 0},           // grew: never negative
        {0, 100, 100},           // nothing left at all
        {1, 3, 67},              // 100 - 33
        {250, 1000, 75},         // 1000 is not above 1000: no scaling
        {2500000, 10000000, 80}, // scaled twice to 2 and 10
        {1001, 999999, 100},     // scaled once to 1 and 999: 100 - 0
        {999, 999999, 100},      // compressed not above 1000: no scaling
        {3000, 4000, 25},        // scaled to 3 and 4
        {4294967295u, 4294967295u, 0},
        {4294967295u, 1, 0}, // a huge compressed size never wraps into a high ratio
        {42949673, 5, 0},    // 42949673 * 100 wraps to 4 in 32 bits
        {1342177280, 5368709120u, 80}, // 1.25 GiB of 5 GiB, scaled three times to 1 and 5
        {UINT64_MAX, 1, 0},
        {UINT64_MAX / 2, UINT64_MAX, 50},
    };
    for (const RatioCase& c : cases)
        EXPECT_EQ(compressionRatio(c.compressed, c.uncompressed), c.ratio)
            << c.compressed << " of " << c.uncompressed;
}

} // namespace
