#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

struct z_stream_s;

namespace quarvo {

// zlib's deflate with Huffman codes alone, no string matching: for noise-like bytes with a skewed
// distribution (tables of small numbers, samples) it codes smaller than an LZ77 search, whose
// short matches cost more bits than the literals they replace. The stream is kept from use to
// use; one object per thread.
class HuffmanOnlyCoder {
  public:
    HuffmanOnlyCoder();
    ~HuffmanOnlyCoder();
    HuffmanOnlyCoder(const HuffmanOnlyCoder&) = delete;
    HuffmanOnlyCoder& operator=(const HuffmanOnlyCoder&) = delete;

    // Codes input into out (replacing what it held) as raw deflate: the stream's end when last,
    // otherwise blocks that end on a byte boundary without a final block (a sync flush). True when
    // that took fewer than limit bytes; false when it did not, or memory ran out.
    bool code(std::span<const uint8_t> input, bool last, size_t limit, std::vector<uint8_t>& out);

  private:
    std::unique_ptr<z_stream_s> m_stream;
};

} // namespace quarvo
