#include "engines/dunzip/EntryDecoder.h"

#include "core/zip/ZipFormat.h"
#include "engines/common/PkwareCipher.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

namespace quarvo {

namespace {

constexpr size_t ChunkSize = 64 * 1024;
// Entries whose compressed and decoded data both fit this are inflated by libdeflate in one call;
// larger ones go through zlib's streaming inflate so memory stays bounded.
constexpr uint64_t WholeBufferLimit = 8 * 1024 * 1024;

// Why a read of length bytes at offset gave fewer. A source never reads past its end, so a read that
// reaches beyond it means the archive ends inside the entry's data; anywhere else the read failed.
DecodeStatus shortReadStatus(const ByteSource& source, uint64_t offset, uint64_t length)
{
    const bool pastTheEnd = offset >= source.size() || length > source.size() - offset;
    return pastTheEnd ? DecodeStatus::Truncated : DecodeStatus::ReadError;
}

struct LibdeflateFree {
    void operator()(libdeflate_decompressor* decompressor) const
    {
        libdeflate_free_decompressor(decompressor);
    }
};

// Reads the entry's data in order, decrypting it when needed.
class DataStream {
  public:
    DataStream(ByteSource& source, uint64_t offset, uint64_t length, std::optional<PkwareCipher> cipher)
        : m_source(source), m_offset(offset), m_remaining(length), m_cipher(std::move(cipher))
    {
    }

    // Reads up to into.size() bytes; returns how many, 0 at the end; nothing when the source gave
    // fewer, with failure() saying why.
    std::optional<size_t> read(std::span<uint8_t> into)
    {
        size_t wanted = static_cast<size_t>(std::min<uint64_t>(into.size(), m_remaining));
        if (wanted == 0)
            return 0;
        size_t count = m_source.readAt(m_offset, into.first(wanted));
        if (count != wanted) {
            m_failure = shortReadStatus(m_source, m_offset, wanted);
            return std::nullopt;
        }
        if (m_cipher)
            m_cipher->decrypt(into.first(count));
        m_offset += count;
        m_remaining -= count;
        return count;
    }

    uint64_t remaining() const { return m_remaining; }
    // Why the last read gave nothing: Truncated or ReadError.
    DecodeStatus failure() const { return m_failure; }

  private:
    ByteSource& m_source;
    uint64_t m_offset;
    uint64_t m_remaining;
    std::optional<PkwareCipher> m_cipher;
    DecodeStatus m_failure = DecodeStatus::ReadError;
};

class Decoder {
  public:
    Decoder(const DecodeRequest& request, const DecodeSink& sink, const DecodeProgress& progress)
        : m_request(request), m_sink(sink), m_progress(progress)
    {
    }

    // Passes decoded bytes on, refusing any beyond the declared size.
    DecodeStatus emit(std::span<const uint8_t> bytes)
    {
        if (m_result.bytesOut + bytes.size() > m_request.uncompressedSize)
            return DecodeStatus::TooLong;
        while (!bytes.empty()) {
            std::span<const uint8_t> piece = bytes.first(std::min(bytes.size(), ChunkSize));
            m_crc = libdeflate_crc32(m_crc, piece.data(), piece.size());
            if (!m_sink(piece))
                return DecodeStatus::OutputFailed;
            m_result.bytesOut += piece.size();
            bytes = bytes.subspan(piece.size());
            if (!m_progress(m_result.bytesOut))
                return DecodeStatus::Cancelled;
        }
        return DecodeStatus::Ok;
    }

    DecodeStatus copy(DataStream& stream)
    {
        // No larger than the entry: small stored files would otherwise each clear a whole chunk.
        std::vector<uint8_t> buffer(static_cast<size_t>(std::min<uint64_t>(ChunkSize, stream.remaining())));
        for (;;) {
            std::optional<size_t> count = stream.read(buffer);
            if (!count)
                return stream.failure();
            if (*count == 0)
                return DecodeStatus::Ok;
            if (DecodeStatus status = emit(std::span(buffer).first(*count)); status != DecodeStatus::Ok)
                return status;
        }
    }

    DecodeStatus inflateWhole(DataStream& stream)
    {
        std::vector<uint8_t> input(static_cast<size_t>(stream.remaining()));
        std::optional<size_t> count = stream.read(input);
        if (!count)
            return stream.failure();
        if (!m_progress(0))
            return DecodeStatus::Cancelled;
        // One byte more than declared, so output past the declared size is seen as such.
        std::vector<uint8_t> output(static_cast<size_t>(m_request.uncompressedSize) + 1);
        // One decompressor per thread, kept: archives of many small entries would otherwise spend
        // a good part of their time setting one up for each entry.
        thread_local std::unique_ptr<libdeflate_decompressor, LibdeflateFree> decompressor(
            libdeflate_alloc_decompressor());
        if (!decompressor)
            return DecodeStatus::OutputFailed;
        size_t produced = 0;
        libdeflate_result result = libdeflate_deflate_decompress(
            decompressor.get(), input.data(), input.size(), output.data(), output.size(), &produced);
        if (result == LIBDEFLATE_INSUFFICIENT_SPACE || produced > m_request.uncompressedSize)
            return DecodeStatus::TooLong;
        if (result != LIBDEFLATE_SUCCESS)
            return DecodeStatus::Corrupt;
        return emit(std::span(output).first(produced));
    }

    DecodeStatus inflateStreaming(DataStream& stream)
    {
        z_stream z{};
        if (inflateInit2(&z, -MAX_WBITS) != Z_OK)
            return DecodeStatus::OutputFailed;
        std::unique_ptr<z_stream, int (*)(z_stream*)> guard(&z, inflateEnd);
        std::vector<uint8_t> input(ChunkSize), output(ChunkSize);
        for (;;) {
            if (z.avail_in == 0) {
                std::optional<size_t> count = stream.read(input);
                if (!count)
                    return stream.failure();
                // The stream needs more than the entry's compressed size holds, though every byte of
                // it was there: libdeflate calls the same data bad, and so does this.
                if (*count == 0)
                    return DecodeStatus::Corrupt;
                z.next_in = input.data();
                z.avail_in = static_cast<uInt>(*count);
            }
            z.next_out = output.data();
            z.avail_out = static_cast<uInt>(output.size());
            int result = inflate(&z, Z_NO_FLUSH);
            if (result != Z_OK && result != Z_STREAM_END && result != Z_BUF_ERROR)
                return DecodeStatus::Corrupt;
            size_t produced = output.size() - z.avail_out;
            if (DecodeStatus status = emit(std::span(output).first(produced)); status != DecodeStatus::Ok)
                return status;
            if (result == Z_STREAM_END)
                return DecodeStatus::Ok;
        }
    }

    DecodeResult run(ByteSource& source)
    {
        uint64_t length = m_request.compressedSize;
        uint64_t offset = m_request.dataOffset;
        std::optional<PkwareCipher> cipher;
        if (m_request.encrypted) {
            // Smaller than the encryption header it must begin with: no writer makes such an entry.
            if (length < PkwareCipher::HeaderSize)
                return finish(DecodeStatus::Corrupt);
            std::array<uint8_t, PkwareCipher::HeaderSize> header{};
            if (source.readAt(offset, header) != header.size())
                return finish(shortReadStatus(source, offset, header.size()));
            cipher.emplace(m_request.password);
            if (!cipher->acceptHeader(header, m_request.checkByte))
                return finish(DecodeStatus::WrongPassword);
            offset += header.size();
            length -= header.size();
        }
        DataStream stream(source, offset, length, std::move(cipher));
        DecodeStatus status;
        if (m_request.method == zipformat::method::Stored) {
            status = copy(stream);
        } else if (length <= WholeBufferLimit && m_request.uncompressedSize <= WholeBufferLimit) {
            status = inflateWhole(stream);
        } else {
            status = inflateStreaming(stream);
        }
        return finish(status);
    }

  private:
    DecodeResult finish(DecodeStatus status)
    {
        m_result.actualCrc32 = m_crc;
        if (status == DecodeStatus::Ok && m_result.bytesOut != m_request.uncompressedSize)
            status = DecodeStatus::EndsEarly;
        if (status == DecodeStatus::Ok && m_result.actualCrc32 != m_request.crc32)
            status = DecodeStatus::CrcMismatch;
        m_result.status = status;
        return m_result;
    }

    const DecodeRequest& m_request;
    const DecodeSink& m_sink;
    const DecodeProgress& m_progress;
    DecodeResult m_result;
    uint32_t m_crc = 0; // libdeflate's CRC-32 is the same function as zlib's, several times faster
};

} // namespace

DecodeResult decodeEntry(ByteSource& source, const DecodeRequest& request, const DecodeSink& sink,
                         const DecodeProgress& progress)
{
    return Decoder(request, sink, progress).run(source);
}

} // namespace quarvo
