#include "engines/dzip/DeflateChunkEncoder.h"

#include "engines/dzip/CodingChoice.h"
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
}

bool DeflateChunkEncoder::encode(std::span<const uint8_t> input, bool last, std::vector<uint8_t>& out)
{
    const size_t start = out.size();
    const size_t storedSize = storedSizeOf(input.size());
    if (input.empty()) {
        appendStoredBlocks(input, last, out);
        return true;
    }
    if (!compressor())
        return false;
    const Coding coding = chooseCoding(input, m_compressor, m_huffman, m_trial);
    size_t best = storedSize;
    if (coding == Coding::Deflate) {
        deflateWithLibdeflate(input, last, out);
        if (out.size() > start)
            best = out.size() - start;
    }
    // Huffman codes alone, chosen by the samples, or tried because deflate did poorly (text never
    // pays for the trial).
    if (coding == Coding::HuffmanOnly ||
        (coding == Coding::Deflate && best * 100 >= input.size() * PoorRatioPercent)) {
        if (m_huffman.code(input, last, best, m_trial)) {
            out.resize(start);
            out.insert(out.end(), m_trial.begin(), m_trial.end());
            best = m_trial.size();
        }
    }
    if (best >= storedSize) {
        out.resize(start);
        appendStoredBlocks(input, last, out);
    }
    return true;
}

libdeflate_compressor* DeflateChunkEncoder::compressor()
{
    if (!m_compressor)
        m_compressor = libdeflate_alloc_compressor(libdeflatePieceLevelFor(m_level));
    return m_compressor;
}

void DeflateChunkEncoder::deflateWithLibdeflate(std::span<const uint8_t> input, bool last,
                                                std::vector<uint8_t>& out)
{
    // Output that would not be smaller than stored blocks is not wanted: libdeflate gives up
    // (returns 0) when it does not fit, and nothing is appended. The buffer is kept from piece to
    // piece, so its pages are not cleared again for every piece.
    m_trial.resize(storedSizeOf(input.size()));
    const size_t written =
        libdeflate_deflate_compress(m_compressor, input.data(), input.size(), m_trial.data(), m_trial.size());
    if (written == 0)
        return;
    m_trial.resize(written);
    if (!last && !openForNextPiece(m_trial))
        return; // not followed (it cannot happen with libdeflate's output): stored instead
    out.insert(out.end(), m_trial.begin(), m_trial.end());
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
