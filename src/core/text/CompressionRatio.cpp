#include "core/text/CompressionRatio.h"

namespace quarvo {

int compressionRatio(uint32_t compressedSize, uint32_t uncompressedSize)
{
    uint32_t compressed = compressedSize;
    uint32_t uncompressed = uncompressedSize;
    while (uncompressed > 1000 && compressed > 1000) {
        uncompressed /= 1000;
        compressed /= 1000;
    }
    if (uncompressed == 0)
        return 0;
    // Widened so that a tiny entry with a huge compressed size (only a damaged or hostile archive
    // has one) cannot wrap around into a high ratio.
    int64_t saved = 100 - static_cast<int64_t>(compressed) * 100 / uncompressed;
    return saved < 0 ? 0 : static_cast<int>(saved);
}

} // namespace quarvo
