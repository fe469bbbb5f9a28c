// Feeds arbitrary bytes to the entry decoder as an entry's data, stored or deflated, plain or
// encrypted, with a declared size taken from the input. Output must never exceed the declared size
// and memory must stay bounded.

#include "core/zip/ByteSource.h"
#include "engines/dunzip/EntryDecoder.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 4)
        return 0;
    // First byte: method and encryption; next three: the declared size (up to 16 MiB).
    quarvo::DecodeRequest request;
    request.method = data[0] & 1 ? 8 : 0;
    request.encrypted = data[0] & 2;
    request.password = "fuzz";
    request.checkByte = data[0];
    request.uncompressedSize = data[1] | data[2] << 8 | (data[3] & 0xFF) << 16;
    request.dataOffset = 4;
    request.compressedSize = static_cast<uint32_t>(size - 4);
    request.crc32 = 0;
    quarvo::MemoryByteSource source({data, size});
    uint64_t produced = 0;
    quarvo::DecodeResult result = quarvo::decodeEntry(
        source, request,
        [&](std::span<const uint8_t> bytes) {
            produced += bytes.size();
            return true;
        },
        [](uint64_t) { return true; });
    if (produced > request.uncompressedSize || result.bytesOut != produced)
        std::abort();
    return 0;
}
