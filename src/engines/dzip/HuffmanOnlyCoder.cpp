#include "engines/dzip/HuffmanOnlyCoder.h"

#include <zlib.h>

#include <limits>

namespace quarvo {

HuffmanOnlyCoder::HuffmanOnlyCoder() = default;

HuffmanOnlyCoder::~HuffmanOnlyCoder()
{
    if (m_stream)
        deflateEnd(m_stream.get());
}

bool HuffmanOnlyCoder::code(std::span<const uint8_t> input, bool last, size_t limit, std::vector<uint8_t>& out)
{
    if (limit == 0 || input.size() > std::numeric_limits<uInt>::max() || limit > std::numeric_limits<uInt>::max())
        return false;
    if (!m_stream) {
        m_stream = std::make_unique<z_stream>();
        if (deflateInit2(m_stream.get(), Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 9, Z_HUFFMAN_ONLY) != Z_OK) {
            m_stream.reset();
            return false;
        }
    } else {
        deflateReset(m_stream.get());
    }
    // A byte less than the output to beat: coding that does not fit there is no better.
    out.resize(limit - 1);
    z_stream& stream = *m_stream;
    stream.next_in = const_cast<Bytef*>(input.data());
    stream.avail_in = static_cast<uInt>(input.size());
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    const int status = deflate(&stream, last ? Z_FINISH : Z_SYNC_FLUSH);
    // A sync flush has finished only when it left room in the output.
    const bool complete =
        last ? status == Z_STREAM_END : status == Z_OK && stream.avail_in == 0 && stream.avail_out > 0;
    out.resize(stream.total_out);
    return complete;
}

} // namespace quarvo
