#include "engines/dzip/DeflateChunkEncoder.h"

#include "engines/dzip/DeflateStreamFormat.h"
#include "engines/dzip/EntryEncoder.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <optional>

namespace quarvo {

namespace {

// inflate() needs somewhere to put what it decodes while the block boundaries are found; the
// bytes themselves are not wanted.
constexpr size_t ScanOutputSize = 256 * 1024;
// How much of a piece is tried both ways to choose how the whole of it is coded.
constexpr size_t SampleSize = 64 * 1024;

size_t storedSizeOf(size_t size)
{
    const size_t blocks = std::max<size_t>(1, (size + deflateformat::StoredBlockMaximum - 1) /
                                                  deflateformat::StoredBlockMaximum);
    return size + blocks * (1 + deflateformat::StoredLengthFieldsSize);
}

void appendEmptyStoredLengths(std::vector<uint8_t>& out)
{
    out.insert(out.end(), {0x00, 0x00, 0xFF, 0xFF}); // LEN 0, NLEN its complement
}

} // namespace

void appendStoredBlocks(std::span<const uint8_t> input, bool last, std::vector<uint8_t>& out)
{
    size_t done = 0;
    do {
        const size_t size = std::min(deflateformat::StoredBlockMaximum, input.size() - done);
        const bool final = last && done + size == input.size();
        out.push_back(final ? deflateformat::FinalBlockBit : 0); // BTYPE 00, then padding to the byte
        out.push_back(static_cast<uint8_t>(size));
        out.push_back(static_cast<uint8_t>(size >> 8));
        out.push_back(static_cast<uint8_t>(~size));
        out.push_back(static_cast<uint8_t>(~size >> 8));
        out.insert(out.end(), input.begin() + static_cast<ptrdiff_t>(done),
                   input.begin() + static_cast<ptrdiff_t>(done + size));
        done += size;
    } while (done < input.size());
}

DeflateChunkEncoder::DeflateChunkEncoder(int level) : m_level(level) {}

DeflateChunkEncoder::~DeflateChunkEncoder()
{
    if (m_compressor)
        libdeflate_free_compressor(m_compressor);
    if (m_inflater)
        inflateEnd(m_inflater.get());
    if (m_huffman)
        deflateEnd(m_huffman.get());
}

bool DeflateChunkEncoder::encode(std::span<const uint8_t> input, bool last, std::vector<uint8_t>& out)
{
    const size_t start = out.size();
    const size_t storedSize = storedSizeOf(input.size());
    size_t best = storedSize;
    const bool wasHuffmanOnly = m_lastWasHuffmanOnly;
    m_lastWasHuffmanOnly = false;
    if (input.empty()) {
        appendStoredBlocks(input, last, out);
        return true;
    }
    // Noise-like bytes come in runs (a table, a packed image): after a piece Huffman codes alone
    // won, a sample decides whether the next one is deflated at all, which saves most of the time
    // such data would take.
    if (!wasHuffmanOnly || !huffmanWinsOnSample(input)) {
        if (!deflateWithLibdeflate(input, last, out))
            return false;
        if (out.size() > start)
            best = out.size() - start;
    }
    // The trial is made only when deflate did poorly (or was skipped), so text pays nothing for it.
    if (best * 100 >= input.size() * PoorRatioPercent && huffmanOnly(input, last, best, m_trial)) {
        out.resize(start);
        out.insert(out.end(), m_trial.begin(), m_trial.end());
        best = m_trial.size();
        m_lastWasHuffmanOnly = true;
    }
    if (best >= storedSize) {
        out.resize(start);
        appendStoredBlocks(input, last, out);
        m_lastWasHuffmanOnly = false;
    }
    return true;
}

libdeflate_compressor* DeflateChunkEncoder::compressor()
{
    if (!m_compressor)
        // A piece starts without the previous piece as dictionary, so the default level deflates
        // pieces at libdeflate's 6 rather than the 5 a whole file gets: a 1 GB file then comes out
        // within 0.6% of one zlib level-6 stream (1.4% at 5), for about a seventh more time.
        m_compressor = libdeflate_alloc_compressor(m_level == 6 ? 6 : libdeflateLevelFor(m_level));
    return m_compressor;
}

bool DeflateChunkEncoder::huffmanWinsOnSample(std::span<const uint8_t> input)
{
    if (!compressor())
        return false;
    const std::span<const uint8_t> sample = input.first(std::min(input.size(), SampleSize));
    m_trial.resize(storedSizeOf(sample.size()));
    size_t deflated =
        libdeflate_deflate_compress(m_compressor, sample.data(), sample.size(), m_trial.data(), m_trial.size());
    if (deflated == 0)
        deflated = m_trial.size();
    return huffmanOnly(sample, true, deflated, m_trial);
}

bool DeflateChunkEncoder::deflateWithLibdeflate(std::span<const uint8_t> input, bool last,
                                                std::vector<uint8_t>& out)
{
    if (!compressor())
        return false;
    // Output that would not be smaller than stored blocks is not wanted: libdeflate gives up
    // (returns 0) when it does not fit. The buffer is kept from piece to piece, so its pages are
    // not cleared again for every piece.
    m_trial.resize(storedSizeOf(input.size()));
    const size_t written =
        libdeflate_deflate_compress(m_compressor, input.data(), input.size(), m_trial.data(), m_trial.size());
    if (written == 0)
        return true;
    m_trial.resize(written);
    if (!last && !openForNextPiece(m_trial))
        return true; // not followed (it cannot happen with libdeflate's output): stored instead
    out.insert(out.end(), m_trial.begin(), m_trial.end());
    return true;
}

bool DeflateChunkEncoder::huffmanOnly(std::span<const uint8_t> input, bool last, size_t limit,
                                      std::vector<uint8_t>& out)
{
    if (!m_huffman) {
        m_huffman = std::make_unique<z_stream>();
        if (deflateInit2(m_huffman.get(), Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 9, Z_HUFFMAN_ONLY) !=
            Z_OK) {
            m_huffman.reset();
            return false;
        }
    } else {
        deflateReset(m_huffman.get());
    }
    // A byte less than the output to beat: a trial that does not fit is no better.
    out.resize(limit - 1);
    z_stream& stream = *m_huffman;
    stream.next_in = const_cast<Bytef*>(input.data());
    stream.avail_in = static_cast<uInt>(input.size());
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    const int status = deflate(&stream, last ? Z_FINISH : Z_SYNC_FLUSH);
    // A sync flush has finished only when it left room in the output.
    const bool complete = last ? status == Z_STREAM_END : status == Z_OK && stream.avail_in == 0 && stream.avail_out > 0;
    out.resize(stream.total_out);
    return complete;
}

// libdeflate always ends its output with a final block. Following the blocks with zlib's inflate
// (which stops at each block boundary under Z_BLOCK and says where it is to the bit) finds the
// final block's header, whose BFINAL bit is cleared, and the stream's last bit, after which an
// empty stored block brings the stream to a byte boundary as zlib's sync flush does.
bool DeflateChunkEncoder::openForNextPiece(std::vector<uint8_t>& piece)
{
    if (!m_inflater) {
        m_inflater = std::make_unique<z_stream>();
        if (inflateInit2(m_inflater.get(), -MAX_WBITS) != Z_OK) {
            m_inflater.reset();
            return false;
        }
    } else {
        inflateReset(m_inflater.get());
    }
    m_scratch.resize(ScanOutputSize);
    z_stream& stream = *m_inflater;
    stream.next_in = piece.data();
    stream.avail_in = static_cast<uInt>(piece.size());
    uint64_t finalBlockStart = 0; // the first block starts at the first bit
    std::optional<uint64_t> end;
    while (!end) {
        stream.next_out = m_scratch.data();
        stream.avail_out = static_cast<uInt>(m_scratch.size());
        if (inflate(&stream, Z_BLOCK) != Z_OK)
            return false;
        if (!(stream.data_type & 128))
            continue; // stopped for room in the output, inside a block
        const uint64_t consumedBits = static_cast<uint64_t>(stream.next_in - piece.data()) * 8;
        const uint64_t boundary = consumedBits - static_cast<unsigned>(stream.data_type & 7);
        if (stream.data_type & 64)
            end = boundary; // just after the final block's end code
        else
            finalBlockStart = boundary;
    }
    piece[finalBlockStart / 8] &= static_cast<uint8_t>(~(deflateformat::FinalBlockBit << (finalBlockStart % 8)));
    piece.resize(static_cast<size_t>((*end + 7) / 8));
    const unsigned usedInLastByte = static_cast<unsigned>(*end % 8);
    const unsigned spareBits = usedInLastByte == 0 ? 0 : 8 - usedInLastByte;
    if (usedInLastByte != 0)
        piece.back() &= static_cast<uint8_t>((1u << usedInLastByte) - 1);
    // The empty stored block's header is three zero bits: in the spare bits when they hold it,
    // otherwise in one more byte.
    if (spareBits < deflateformat::BlockHeaderBits)
        piece.push_back(0);
    appendEmptyStoredLengths(piece);
    return true;
}

} // namespace quarvo
