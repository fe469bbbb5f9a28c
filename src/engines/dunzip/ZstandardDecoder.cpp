// Zstandard entries (method 93), decoded by libzstd. The window a frame may ask for is limited, so
// a frame cannot make the decoder take more memory than the entry can use: zstd's own default limit
// of 128 MiB, or the entry's size rounded up to a power of two when it is larger (frames written
// with --long reach that far), up to 2 GiB.

#include "engines/dunzip/MethodDecoder.h"

#include <zstd.h>
#include <zstd_errors.h>

namespace quarvo {

namespace {

constexpr int DefaultWindowLog = 27; // what libzstd accepts unless told otherwise
constexpr int LargestWindowLog = 31;

int windowLogLimitFor(uint64_t uncompressedSize)
{
    int log = DefaultWindowLog;
    while (log < LargestWindowLog && (uint64_t{1} << log) < uncompressedSize)
        ++log;
    return log;
}

struct DecompressionStreamFree {
    void operator()(ZSTD_DStream* stream) const { ZSTD_freeDStream(stream); }
};

class ZstandardDecoder : public MethodDecoder {
  public:
    explicit ZstandardDecoder(uint64_t uncompressedSize)
        : m_windowLogLimit(windowLogLimitFor(uncompressedSize))
    {
    }

    DecodeStatus decode(EntryDataStream& input, const DecodedOutput& output) override
    {
        std::unique_ptr<ZSTD_DStream, DecompressionStreamFree> stream(ZSTD_createDStream());
        if (!stream ||
            ZSTD_isError(ZSTD_DCtx_setParameter(stream.get(), ZSTD_d_windowLogMax, m_windowLogLimit)))
            return DecodeStatus::MemoryLimit;
        // A data size of 0 after a frame means the frame is complete; more frames may follow it.
        size_t lastResult = 1;
        return pumpDecoder(
            input, output, [&](std::span<const uint8_t> in, std::span<uint8_t> out, bool inputEnded) {
                ZSTD_inBuffer source{in.data(), in.size(), 0};
                ZSTD_outBuffer target{out.data(), out.size(), 0};
                DecodeStep step;
                if (!in.empty() || lastResult != 0)
                    lastResult = ZSTD_decompressStream(stream.get(), &target, &source);
                step.consumed = source.pos;
                step.produced = target.pos;
                if (ZSTD_isError(lastResult)) {
                    step.state = DecodeStep::State::Failed;
                    if (ZSTD_getErrorCode(lastResult) == ZSTD_error_frameParameter_windowTooLarge)
                        step.failure = DecodeStatus::MemoryLimit;
                } else if (lastResult == 0 && inputEnded && source.pos == source.size) {
                    step.state = DecodeStep::State::Ended;
                }
                return step;
            });
    }

  private:
    int m_windowLogLimit;
};

} // namespace

std::unique_ptr<MethodDecoder> makeZstandardDecoder(uint64_t uncompressedSize)
{
    return std::make_unique<ZstandardDecoder>(uncompressedSize);
}

} // namespace quarvo
