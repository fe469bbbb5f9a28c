#pragma once

#include "engines/dzip/HuffmanOnlyCoder.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

struct libdeflate_compressor;
struct z_stream_s;

namespace quarvo {

// Deflates one piece of a larger input so that the pieces, joined in order, form one raw deflate
// stream: a piece that is not the last ends on a byte boundary without a final block, the last one
// ends the stream. Each piece is compressed on its own, without the previous piece as dictionary
// (libdeflate takes none); at the piece sizes used (a MiB) that costs about one byte in a thousand,
// while libdeflate deflates two to three times as fast as zlib. One object per thread.
class DeflateChunkEncoder {
  public:
    explicit DeflateChunkEncoder(int level);
    ~DeflateChunkEncoder();
    DeflateChunkEncoder(const DeflateChunkEncoder&) = delete;
    DeflateChunkEncoder& operator=(const DeflateChunkEncoder&) = delete;

    // Appends the piece for input to out: the smallest of libdeflate's output, Huffman codes alone
    // (smaller for noise-like bytes) and stored blocks, as far as chooseCoding lets them be tried.
    // False only when memory ran out.
    bool encode(std::span<const uint8_t> input, bool last, std::vector<uint8_t>& out);

  private:
    libdeflate_compressor* compressor(); // made on first use; null when memory ran out
    // Appends libdeflate's output for input, unless it would be no smaller than stored blocks.
    // The compressor must have been made.
    void deflateWithLibdeflate(std::span<const uint8_t> input, bool last, std::vector<uint8_t>& out);
    bool openForNextPiece(std::vector<uint8_t>& piece);

    int m_level;
    libdeflate_compressor* m_compressor = nullptr;
    std::unique_ptr<z_stream_s> m_inflater;
    HuffmanOnlyCoder m_huffman;
    std::vector<uint8_t> m_scratch; // what inflate decodes while the blocks are followed
    std::vector<uint8_t> m_trial;   // one way of coding the piece, before it is chosen
};

// Appends input as stored blocks, the last of them final when last is set.
void appendStoredBlocks(std::span<const uint8_t> input, bool last, std::vector<uint8_t>& out);

} // namespace quarvo
