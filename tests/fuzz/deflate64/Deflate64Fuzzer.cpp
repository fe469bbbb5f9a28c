// Feeds arbitrary bytes to the program's own inflater as a Deflate64 or a deflate stream (first byte,
// bit 0). A deflate stream is also given to zlib, the reference: both must accept the same streams
// and make the same bytes of them. Output is capped, so memory stays bounded either way.

#include "FuzzCheck.h"
#include "core/zip/ByteSource.h"
#include "engines/dunzip/Inflater.h"

#include <zlib.h>

#include <cstdint>
#include <optional>
#include <string>

namespace {

constexpr size_t OutputLimit = 1u << 20;

// zlib's raw inflate of the stream: its output, and whether the stream ended properly; nothing
// when the output runs past the limit.
std::optional<std::pair<std::string, bool>> zlibInflate(std::span<const uint8_t> stream)
{
    z_stream z{};
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK)
        return std::nullopt;
    std::string output(OutputLimit + 1, '\0');
    z.next_in = const_cast<Bytef*>(stream.data());
    z.avail_in = static_cast<uInt>(stream.size());
    z.next_out = reinterpret_cast<Bytef*>(output.data());
    z.avail_out = static_cast<uInt>(output.size());
    const int result = inflate(&z, Z_FINISH);
    output.resize(z.total_out);
    inflateEnd(&z);
    if (output.size() > OutputLimit)
        return std::nullopt;
    return std::pair{output, result == Z_STREAM_END};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace quarvo;
    if (size < 1)
        return 0;
    const bool deflate64 = data[0] & 1;
    const std::span<const uint8_t> stream(data + 1, size - 1);
    MemoryByteSource source(stream);
    EntryDataStream input(source, 0, stream.size());
    std::string ours;
    const DecodeStatus status = inflateStream(
        input,
        [&](std::span<const uint8_t> bytes) {
            fuzz::check(bytes.size() <= 64 * 1024); // pieces of at most 64 KiB
            if (ours.size() + bytes.size() > OutputLimit)
                return DecodeStatus::TooLong;
            ours.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
            return DecodeStatus::Ok;
        },
        deflate64 ? InflateVariant::Deflate64 : InflateVariant::Deflate);
    // Memory cannot fail to read: the stream is good, bad, or longer than the output allowed.
    fuzz::check(status == DecodeStatus::Ok || status == DecodeStatus::Corrupt ||
                status == DecodeStatus::TooLong);
    if (deflate64 || status == DecodeStatus::TooLong)
        return 0;
    const std::optional<std::pair<std::string, bool>> reference = zlibInflate(stream);
    if (!reference)
        return 0;
    // Both accept the same streams, and make the same bytes of them.
    fuzz::check(reference->second == (status == DecodeStatus::Ok));
    fuzz::check(!reference->second || reference->first == ours);
    return 0;
}
