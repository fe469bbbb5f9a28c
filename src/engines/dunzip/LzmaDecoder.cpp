// LZMA (method 14) and XZ (method 95) entries, decoded by liblzma.
//
// An LZMA entry begins with a four-byte header of its own (the LZMA SDK's version and the size of
// the properties, always 5), then the properties, then the raw LZMA stream. liblzma reads the same
// stream in its .lzma ("alone") form, whose 13-byte header is the properties and the uncompressed
// size, so the decoder writes that header itself: with the declared size when the stream has no end
// marker (general-purpose bit 1 clear; 7-Zip's default), or "unknown" when it ends with one (Python's
// zipfile, 7-Zip with -mm=LZMA:eos). The dictionary is never larger than the entry needs, which keeps
// memory to what the data can use whatever the properties claim.

#include "core/zip/ZipFormat.h"
#include "engines/dunzip/MethodDecoder.h"

#include <lzma.h>

#include <algorithm>
#include <array>

namespace quarvo {

namespace {

namespace zl = zipformat::lzma;

// Neither an LZMA dictionary nor an XZ stream's filters may need more than this.
constexpr uint64_t MemoryLimit = uint64_t{1} << 30;
constexpr uint32_t SmallestDictionary = 4096;
constexpr size_t AloneHeaderSize = zl::PropertiesSize + 8;

struct LzmaStreamEnd {
    void operator()(lzma_stream* stream) const { lzma_end(stream); }
};

DecodeStatus statusOf(lzma_ret result)
{
    switch (result) {
    case LZMA_MEM_ERROR:
    case LZMA_MEMLIMIT_ERROR:
        return DecodeStatus::MemoryLimit;
    case LZMA_OPTIONS_ERROR:
        return DecodeStatus::Unsupported;
    default:
        return DecodeStatus::Corrupt;
    }
}

// Gives the decoder bytes that are not part of the entry's data (the header made for it); they
// produce no output, but liblzma does nothing at all without room for some.
DecodeStatus feedHeader(lzma_stream& stream, std::span<const uint8_t> header)
{
    stream.next_in = header.data();
    stream.avail_in = header.size();
    uint8_t unused = 0;
    while (stream.avail_in > 0) {
        const size_t before = stream.avail_in;
        stream.next_out = &unused;
        stream.avail_out = 1;
        const lzma_ret result = lzma_code(&stream, LZMA_RUN);
        if (result != LZMA_OK)
            return statusOf(result);
        if (stream.avail_in == before || stream.avail_out == 0)
            return DecodeStatus::Corrupt;
    }
    return DecodeStatus::Ok;
}

// Runs an initialised liblzma decoder over the rest of the input.
DecodeStatus runLzma(lzma_stream& stream, EntryDataStream& input, const DecodedOutput& output)
{
    return pumpDecoder(
        input, output, [&](std::span<const uint8_t> in, std::span<uint8_t> out, bool inputEnded) {
            stream.next_in = in.data();
            stream.avail_in = in.size();
            stream.next_out = out.data();
            stream.avail_out = out.size();
            const lzma_ret result = lzma_code(&stream, inputEnded ? LZMA_FINISH : LZMA_RUN);
            DecodeStep step;
            step.consumed = in.size() - stream.avail_in;
            step.produced = out.size() - stream.avail_out;
            if (result == LZMA_STREAM_END)
                step.state = DecodeStep::State::Ended;
            else if (result != LZMA_OK)
                step = {step.consumed, step.produced, DecodeStep::State::Failed, statusOf(result)};
            return step;
        });
}

class LzmaDecoder : public MethodDecoder {
  public:
    LzmaDecoder(bool endMarker, uint64_t uncompressedSize)
        : m_endMarker(endMarker), m_uncompressedSize(uncompressedSize)
    {
    }

    DecodeStatus decode(EntryDataStream& input, const DecodedOutput& output) override
    {
        std::array<uint8_t, zl::HeaderSize + zl::PropertiesSize> header{};
        std::optional<size_t> count = input.read(header);
        if (!count)
            return input.failure();
        if (*count != header.size())
            return DecodeStatus::Corrupt;
        const uint16_t propertiesSize = static_cast<uint16_t>(header[2] | header[3] << 8);
        if (propertiesSize != zl::PropertiesSize)
            return DecodeStatus::Unsupported;

        std::array<uint8_t, AloneHeaderSize> alone{};
        std::copy_n(header.begin() + zl::HeaderSize, zl::PropertiesSize, alone.begin());
        const uint8_t* dictionaryField = alone.data() + zl::DictionarySizeOffset;
        uint32_t dictionary = dictionaryField[0] | dictionaryField[1] << 8 | dictionaryField[2] << 16 |
                              static_cast<uint32_t>(dictionaryField[3]) << 24;
        // The dictionary holds what was decoded so far: more than the whole entry is never used.
        dictionary = static_cast<uint32_t>(std::clamp<uint64_t>(m_uncompressedSize, SmallestDictionary,
                                                                std::max(dictionary, SmallestDictionary)));
        for (size_t i = 0; i < 4; ++i)
            alone[zl::DictionarySizeOffset + i] = static_cast<uint8_t>(dictionary >> (8 * i));
        const uint64_t size = m_endMarker ? UINT64_MAX : m_uncompressedSize;
        for (size_t i = 0; i < 8; ++i)
            alone[zl::PropertiesSize + i] = static_cast<uint8_t>(size >> (8 * i));

        lzma_stream stream = LZMA_STREAM_INIT;
        if (lzma_ret result = lzma_alone_decoder(&stream, MemoryLimit); result != LZMA_OK)
            return statusOf(result);
        std::unique_ptr<lzma_stream, LzmaStreamEnd> guard(&stream);
        if (DecodeStatus status = feedHeader(stream, alone); status != DecodeStatus::Ok)
            return status;
        return runLzma(stream, input, output);
    }

  private:
    bool m_endMarker;
    uint64_t m_uncompressedSize;
};

class XzDecoder : public MethodDecoder {
  public:
    DecodeStatus decode(EntryDataStream& input, const DecodedOutput& output) override
    {
        lzma_stream stream = LZMA_STREAM_INIT;
        if (lzma_ret result = lzma_stream_decoder(&stream, MemoryLimit, 0); result != LZMA_OK)
            return statusOf(result);
        std::unique_ptr<lzma_stream, LzmaStreamEnd> guard(&stream);
        return runLzma(stream, input, output);
    }
};

} // namespace

std::unique_ptr<MethodDecoder> makeLzmaDecoder(bool endMarker, uint64_t uncompressedSize)
{
    return std::make_unique<LzmaDecoder>(endMarker, uncompressedSize);
}

std::unique_ptr<MethodDecoder> makeXzDecoder()
{
    return std::make_unique<XzDecoder>();
}

} // namespace quarvo
