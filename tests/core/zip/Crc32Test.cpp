#include "core/zip/Crc32.h"

#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>
#include <vector>

namespace quarvo {
namespace {

std::span<const uint8_t> bytesOf(const std::string& text)
{
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

TEST(Crc32, MatchesZlibWhateverThePiecesItIsFedIn)
{
    const std::string data = testing::randomBytes(100'003, 7) + "123456789";
    const uint32_t expected =
        static_cast<uint32_t>(::crc32(0L, reinterpret_cast<const Bytef*>(data.data()), uInt(data.size())));
    for (size_t piece : {size_t(1), size_t(7), size_t(31), size_t(4096), data.size()}) {
        Crc32 crc;
        for (size_t offset = 0; offset < data.size(); offset += piece)
            crc.update(bytesOf(data).subspan(offset, std::min(piece, data.size() - offset)));
        EXPECT_EQ(crc.value(), expected) << piece;
    }
    Crc32 check;
    check.update(bytesOf("123456789"));
    EXPECT_EQ(check.value(), 0xCBF43926u); // the standard check value
    EXPECT_EQ(Crc32().value(), 0u);
}

} // namespace
} // namespace quarvo
