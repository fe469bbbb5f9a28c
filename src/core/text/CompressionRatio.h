#pragma once

#include <cstdint>

namespace quarvo {

// How much smaller the compressed data is, in whole percent of the uncompressed size (0 to 100).
// Both sizes are first scaled down together by factors of 1,000 while both exceed 1,000, then the
// result is 100 - compressed * 100 / uncompressed, truncated. An empty, stored or grown entry gives
// 0. The same rule gives an archive's total percentage from its two size totals.
int compressionRatio(uint64_t compressedSize, uint64_t uncompressedSize);

} // namespace quarvo
