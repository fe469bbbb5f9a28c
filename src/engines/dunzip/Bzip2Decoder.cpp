// BZIP2 entries (method 12), decoded by libbz2. Its memory is fixed by the format: at most about
// 3.5 MiB for the largest block size.

#include "engines/dunzip/MethodDecoder.h"

#include <bzlib.h>

#include <climits>

namespace quarvo {

namespace {

class Bzip2Decoder : public MethodDecoder {
  public:
    DecodeStatus decode(EntryDataStream& input, const DecodedOutput& output) override
    {
        bz_stream stream{};
        if (BZ2_bzDecompressInit(&stream, 0, 0) != BZ_OK)
            return DecodeStatus::MemoryLimit;
        const DecodeStatus status =
            pumpDecoder(input, output, [&](std::span<const uint8_t> in, std::span<uint8_t> out, bool) {
                stream.next_in = const_cast<char*>(reinterpret_cast<const char*>(in.data()));
                stream.avail_in = static_cast<unsigned>(in.size());
                stream.next_out = reinterpret_cast<char*>(out.data());
                stream.avail_out = static_cast<unsigned>(out.size());
                const int result = BZ2_bzDecompress(&stream);
                DecodeStep step;
                step.consumed = in.size() - stream.avail_in;
                step.produced = out.size() - stream.avail_out;
                if (result == BZ_STREAM_END)
                    step.state = DecodeStep::State::Ended;
                else if (result == BZ_MEM_ERROR)
                    step = {step.consumed, step.produced, DecodeStep::State::Failed,
                            DecodeStatus::MemoryLimit};
                else if (result != BZ_OK)
                    step.state = DecodeStep::State::Failed;
                return step;
            });
        BZ2_bzDecompressEnd(&stream);
        return status;
    }
};

} // namespace

std::unique_ptr<MethodDecoder> makeBzip2Decoder()
{
    return std::make_unique<Bzip2Decoder>();
}

} // namespace quarvo
