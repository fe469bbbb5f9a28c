#include "engines/dunzip/EntryDecoder.h"

#include "core/zip/ZipFormat.h"
#include "engines/common/PkwareCipher.h"
#include "engines/common/WinZipAesCipher.h"
#include "engines/dunzip/EntryDataStream.h"
#include "engines/dunzip/MethodDecoder.h"

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

struct LibdeflateFree {
    void operator()(libdeflate_decompressor* decompressor) const
    {
        libdeflate_free_decompressor(decompressor);
    }
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

    DecodeStatus copy(EntryDataStream& stream)
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

    DecodeStatus inflateWhole(EntryDataStream& stream)
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

    DecodeStatus inflateStreaming(EntryDataStream& stream)
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

    DecodeStatus decompress(EntryDataStream& stream)
    {
        namespace m = zipformat::method;
        if (m_request.method == m::Stored)
            return copy(stream);
        if (m_request.method == m::Deflated) {
            if (stream.remaining() <= WholeBufferLimit && m_request.uncompressedSize <= WholeBufferLimit)
                return inflateWhole(stream);
            return inflateStreaming(stream);
        }
        std::unique_ptr<MethodDecoder> decoder = makeMethodDecoder(
            {.method = m_request.method, .flags = m_request.flags, .uncompressedSize = m_request.uncompressedSize});
        if (!decoder)
            return DecodeStatus::Unsupported;
        return decoder->decode(stream, [this](std::span<const uint8_t> bytes) { return emit(bytes); });
    }

    DecodeResult runTraditional(ByteSource& source)
    {
        uint64_t length = m_request.compressedSize;
        uint64_t offset = m_request.dataOffset;
        // Smaller than the encryption header it must begin with: no writer makes such an entry.
        if (length < PkwareCipher::HeaderSize)
            return finish(DecodeStatus::Corrupt);
        std::array<uint8_t, PkwareCipher::HeaderSize> header{};
        if (source.readAt(offset, header) != header.size())
            return finish(shortReadStatus(source, offset, header.size()));
        PkwareCipher cipher(m_request.password);
        if (!cipher.acceptHeader(header, m_request.checkByte))
            return finish(DecodeStatus::WrongPassword);
        offset += header.size();
        length -= header.size();
        EntryDataStream stream(source, offset, length,
                               [&cipher](std::span<uint8_t> bytes) { cipher.decrypt(bytes); });
        return finish(decompress(stream));
    }

    DecodeResult runAes(ByteSource& source, const WinZipAesField& field)
    {
        std::optional<AesDataLayout> layout = aesDataLayout(field, m_request.compressedSize);
        // Too small for its salt, verifier and authentication code: no writer makes such an entry.
        if (!layout)
            return finish(DecodeStatus::Corrupt);
        const uint64_t start = m_request.dataOffset;
        std::vector<uint8_t> salt(field.saltSize());
        std::array<uint8_t, WinZipAesCipher::VerifierSize> verifier{};
        std::array<uint8_t, WinZipAesCipher::AuthenticationCodeSize> storedCode{};
        if (source.readAt(start, salt) != salt.size())
            return finish(shortReadStatus(source, start, salt.size()));
        if (source.readAt(start + layout->verifierOffset, verifier) != verifier.size())
            return finish(shortReadStatus(source, start + layout->verifierOffset, verifier.size()));
        const uint64_t codeOffset = start + layout->authenticationCodeOffset;
        if (source.readAt(codeOffset, storedCode) != storedCode.size())
            return finish(shortReadStatus(source, codeOffset, storedCode.size()));
        Result<WinZipAesCipher> cipher = WinZipAesCipher::create(m_request.password, salt, field.keyBits());
        if (!cipher)
            return finish(DecodeStatus::OutputFailed);
        if (cipher->verifier() != verifier)
            return finish(DecodeStatus::WrongPassword);

        const uint64_t encryptedStart = start + layout->encryptedOffset;
        EntryDataStream stream(source, encryptedStart, layout->encryptedSize,
                               [&cipher](std::span<uint8_t> bytes) { cipher->decrypt(bytes); });
        DecodeStatus status = decompress(stream);
        if (status == DecodeStatus::Cancelled || status == DecodeStatus::OutputFailed ||
            status == DecodeStatus::ReadError || status == DecodeStatus::Truncated)
            return finish(status);
        // Whatever the decompressor made of the data, the code covers all of it: bytes it left
        // unread are taken in too, so a changed entry is called that rather than damaged.
        std::vector<uint8_t> rest(ChunkSize);
        uint64_t restOffset = encryptedStart + (layout->encryptedSize - stream.remaining());
        for (uint64_t left = stream.remaining(); left > 0;) {
            const size_t piece = static_cast<size_t>(std::min<uint64_t>(left, rest.size()));
            if (source.readAt(restOffset, std::span(rest).first(piece)) != piece)
                return finish(shortReadStatus(source, restOffset, piece));
            cipher->authenticate(std::span(rest).first(piece));
            restOffset += piece;
            left -= piece;
        }
        if (cipher->authenticationCode() != storedCode)
            return finish(DecodeStatus::NotAuthentic);
        m_checksCrc = field.checksCrc();
        return finish(status);
    }

    DecodeResult run(ByteSource& source)
    {
        if (m_request.encrypted && m_request.aes)
            return runAes(source, *m_request.aes);
        if (m_request.encrypted)
            return runTraditional(source);
        EntryDataStream stream(source, m_request.dataOffset, m_request.compressedSize);
        return finish(decompress(stream));
    }

  private:
    DecodeResult finish(DecodeStatus status)
    {
        m_result.actualCrc32 = m_crc;
        if (status == DecodeStatus::Ok && m_result.bytesOut != m_request.uncompressedSize)
            status = DecodeStatus::EndsEarly;
        if (status == DecodeStatus::Ok && m_checksCrc && m_result.actualCrc32 != m_request.crc32)
            status = DecodeStatus::CrcMismatch;
        m_result.status = status;
        return m_result;
    }

    const DecodeRequest& m_request;
    const DecodeSink& m_sink;
    const DecodeProgress& m_progress;
    DecodeResult m_result;
    bool m_checksCrc = true; // AE-2 entries store no CRC-32: their authentication code checks them
    uint32_t m_crc = 0; // libdeflate's CRC-32 is the same function as zlib's, several times faster
};

} // namespace

DecodeResult decodeEntry(ByteSource& source, const DecodeRequest& request, const DecodeSink& sink,
                         const DecodeProgress& progress)
{
    return Decoder(request, sink, progress).run(source);
}

bool isDecodableMethod(uint16_t method)
{
    return method == zipformat::method::Stored || method == zipformat::method::Deflated ||
           hasMethodDecoder(method);
}

} // namespace quarvo
