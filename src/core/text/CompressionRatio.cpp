#include "core/text/CompressionRatio.h"

namespace quarvo {

int compressionRatio(uint64_t compressedSize, uint64_t uncompressedSize)
{
    uint64_t compressed = compressedSize;
    uint64_t uncompressed = uncompressedSize;
    while (uncompressed > 1000 && compressed > 1000) {
        uncompressed /= 1000;
        compressed /= 1000;
    }
    // Nothing saved; this also keeps a tiny entry with a huge compressed size (only a damaged or
    // hostile archive has one) from overflowing below. Otherwise compressed is at most 1,000.
    if (compressed >= uncompressed)
        return 0;
    return static_cast<int>(100 - compressed * 100 / uncompressed);
}

} // namespace quarvo
