#include "engines/dunzip/MethodDecoder.h"

#include "core/zip/ZipFormat.h"

#include <vector>

namespace quarvo {

namespace {
constexpr size_t PieceSize = 64 * 1024;
} // namespace

std::unique_ptr<MethodDecoder> makeMethodDecoder(const MethodParameters& parameters)
{
    namespace m = zipformat::method;
    switch (parameters.method) {
    case m::Bzip2:
        return makeBzip2Decoder();
    case m::Lzma:
        return makeLzmaDecoder(parameters.flags & zipformat::flag::LzmaEndMarker,
                               parameters.uncompressedSize);
    case m::Xz:
        return makeXzDecoder();
    case m::Zstandard:
        return makeZstandardDecoder(parameters.uncompressedSize);
    case m::Deflate64:
        return makeDeflate64Decoder();
    case m::Ppmd:
        return makePpmdDecoder(parameters.uncompressedSize);
    default:
        return nullptr;
    }
}

bool hasMethodDecoder(uint16_t method)
{
    return makeMethodDecoder({.method = method}) != nullptr;
}

DecodeStatus pumpDecoder(EntryDataStream& input, const DecodedOutput& output, const DecodeStepFunction& step)
{
    std::vector<uint8_t> in(PieceSize), out(PieceSize);
    std::span<const uint8_t> pending;
    for (;;) {
        if (pending.empty() && input.remaining() > 0) {
            std::optional<size_t> count = input.read(in);
            if (!count)
                return input.failure();
            pending = std::span<const uint8_t>(in).first(*count);
        }
        const DecodeStep result = step(pending, out, input.remaining() == 0);
        pending = pending.subspan(result.consumed);
        if (result.produced > 0) {
            if (DecodeStatus status = output(std::span<const uint8_t>(out).first(result.produced));
                status != DecodeStatus::Ok)
                return status;
        }
        if (result.state == DecodeStep::State::Ended)
            return DecodeStatus::Ok;
        if (result.state == DecodeStep::State::Failed)
            return result.failure;
        // Nothing taken and nothing given although there was room for both: the library wants
        // bytes the entry does not hold, or is stuck on the ones it has.
        if (result.consumed == 0 && result.produced == 0)
            return DecodeStatus::Corrupt;
    }
}

} // namespace quarvo
