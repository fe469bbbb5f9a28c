#include "engines/untar/ReplayStream.h"

namespace quarvo {

Result<std::unique_ptr<ReplayStream>, StreamError> ReplayStream::lookAhead(std::unique_ptr<ByteStream> source,
                                                                           size_t count)
{
    std::unique_ptr<ReplayStream> stream(new ReplayStream(std::move(source)));
    while (stream->m_head.size() < count) {
        Result<std::span<const uint8_t>, StreamError> chunk = stream->m_source->read();
        if (!chunk)
            return chunk.error();
        if (chunk->empty()) {
            stream->m_sourceEnded = true;
            break;
        }
        stream->m_head.insert(stream->m_head.end(), chunk->begin(), chunk->end());
    }
    return stream;
}

Result<std::span<const uint8_t>, StreamError> ReplayStream::read()
{
    if (!m_replayed) {
        m_replayed = true;
        if (!m_head.empty())
            return std::span<const uint8_t>(m_head);
    }
    if (m_sourceEnded)
        return std::span<const uint8_t>();
    return m_source->read();
}

uint64_t ReplayStream::skip(uint64_t count)
{
    // Only once the looked-at bytes are handed out is the source's position the stream's.
    if (!m_replayed || m_sourceEnded)
        return 0;
    return m_source->skip(count);
}

} // namespace quarvo
