#include "DzipTestSupport.h"

#include "engines/dzip/CodingChoice.h"
#include "engines/dzip/HuffmanOnlyCoder.h"

#include <gtest/gtest.h>
#include <libdeflate.h>

using namespace quarvo;
using namespace quarvo::testing;

// Samples at the start, the middle and the end decide for the whole input only when they agree;
// anything else, and inputs too small to sample, get the full trial.
TEST(CodingChoice, SamplesThatAgreeDecideForTheWholeInput)
{
    constexpr size_t Size = 400000;
    const std::string quarter = randomBytes(Size / 4, 9);
    struct Case {
        const char* what;
        std::string input;
        Coding expected;
    } cases[] = {
        {"text", textData(Size, 1), Coding::Deflate},
        {"skewed noise", skewedNoise(Size, 2), Coding::HuffmanOnly},
        {"random bytes", randomBytes(Size, 3), Coding::Stored},
        {"random bytes, too few to sample", randomBytes(SampledInputMinimum - 1, 4), Coding::Deflate},
        {"random bytes, then text at the end", randomBytes(Size, 5) + textData(CodingSampleSize, 6), Coding::Deflate},
        {"random bytes around skewed noise", quarter + skewedNoise(Size / 2, 7) + quarter, Coding::Deflate},
        {"text, then random bytes", textData(Size / 4, 8) + randomBytes(Size, 8), Coding::Deflate},
    };
    HuffmanOnlyCoder huffman;
    std::vector<uint8_t> scratch;
    for (int level : {1, 5, 7}) {
        libdeflate_compressor* compressor = libdeflate_alloc_compressor(level);
        ASSERT_NE(compressor, nullptr);
        for (const Case& c : cases) {
            const std::span input(reinterpret_cast<const uint8_t*>(c.input.data()), c.input.size());
            EXPECT_EQ(chooseCoding(input, compressor, huffman, scratch), c.expected) << c.what << ", level " << level;
        }
        libdeflate_free_compressor(compressor);
    }
}
