#include "engines/dzip/CodingChoice.h"

#include "engines/dzip/EntryEncoder.h"
#include "engines/dzip/HuffmanOnlyCoder.h"

#include <libdeflate.h>

#include <array>
#include <optional>

namespace quarvo {

namespace {

// How one sample is best coded, or nothing when it deflates well: then the input is deflated.
std::optional<Coding> judgeSample(std::span<const uint8_t> sample, libdeflate_compressor* compressor,
                                  HuffmanOnlyCoder& huffman, std::vector<uint8_t>& scratch)
{
    scratch.resize(sample.size() - 1);
    size_t deflated = libdeflate_deflate_compress(compressor, sample.data(), sample.size(), scratch.data(),
                                                  scratch.size());
    if (deflated == 0)
        deflated = sample.size(); // no smaller than the sample itself
    if (deflated * 100 < sample.size() * PoorRatioPercent)
        return std::nullopt;
    if (huffman.code(sample, true, deflated, scratch))
        return Coding::HuffmanOnly;
    return deflated >= sample.size() ? Coding::Stored : Coding::Deflate;
}

} // namespace

Coding chooseCoding(std::span<const uint8_t> input, libdeflate_compressor* compressor, HuffmanOnlyCoder& huffman,
                    std::vector<uint8_t>& scratch)
{
    if (input.size() < SampledInputMinimum || !compressor)
        return Coding::Deflate;
    const std::array<size_t, 3> starts{0, (input.size() - CodingSampleSize) / 2, input.size() - CodingSampleSize};
    std::optional<Coding> verdict;
    for (size_t start : starts) {
        const std::optional<Coding> sample =
            judgeSample(input.subspan(start, CodingSampleSize), compressor, huffman, scratch);
        if (!sample || *sample == Coding::Deflate || (verdict && *verdict != *sample))
            return Coding::Deflate;
        verdict = sample;
    }
    return *verdict;
}

} // namespace quarvo
