#pragma once

#include <cstdint>
#include <span>
#include <vector>

struct libdeflate_compressor;

namespace quarvo {

class HuffmanOnlyCoder;

// How a run of bytes is best coded. Deflate means the full trial: libdeflate first, then Huffman
// codes alone when deflate did poorly, then stored blocks when neither made the bytes smaller.
enum class Coding { Deflate, HuffmanOnly, Stored };

// Inputs smaller than this are always given the full trial: the samples would cost about as much.
constexpr size_t SampledInputMinimum = 256 * 1024;
// Each sample, taken at the start, the middle and the end of the input.
constexpr size_t CodingSampleSize = 32 * 1024;

// Judges from three samples how the whole input is best coded, so that noise-like data does not
// pay for a deflate it will not use: packed data (already compressed) deflated at libdeflate's
// level 5 costs twice the time of zlib's matching it does not need, and tables of small numbers
// are coded smaller by Huffman codes alone. A sample that deflates well ends the judging at once,
// so text pays for one sample only; samples that disagree give the full trial.
Coding chooseCoding(std::span<const uint8_t> input, libdeflate_compressor* compressor, HuffmanOnlyCoder& huffman,
                    std::vector<uint8_t>& scratch);

} // namespace quarvo
