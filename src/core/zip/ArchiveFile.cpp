#include "core/zip/ArchiveFile.h"

#include <algorithm>

namespace quarvo {

Result<Ok, OpenError> ArchiveFile::open(const std::string& path)
{
    close();
    Result<FileByteSource, OpenError> source = FileByteSource::open(path);
    if (!source)
        return source.error();
    m_source.emplace(std::move(source).value());
    return Ok{};
}

void ArchiveFile::close()
{
    m_source.reset();
    m_position = 0;
    m_buffer.clear();
    m_bufferStart = 0;
}

size_t ArchiveFile::readAt(uint64_t offset, std::span<uint8_t> into)
{
    return m_source ? m_source->readAt(offset, into) : 0;
}

void ArchiveFile::seek(uint64_t position)
{
    m_position = position;
}

size_t ArchiveFile::read(std::span<uint8_t> into)
{
    if (!m_source)
        return 0;
    size_t done = 0;
    while (done < into.size()) {
        bool buffered = m_position >= m_bufferStart && m_position < m_bufferStart + m_buffer.size();
        if (!buffered) {
            // Large reads bypass the buffer; small ones refill it.
            if (into.size() - done >= BufferSize) {
                size_t count = m_source->readAt(m_position, into.subspan(done));
                m_position += count;
                return done + count;
            }
            m_buffer.resize(BufferSize);
            size_t count = m_source->readAt(m_position, m_buffer);
            m_buffer.resize(count);
            m_bufferStart = m_position;
            if (count == 0)
                return done;
        }
        size_t at = static_cast<size_t>(m_position - m_bufferStart);
        size_t count = std::min(into.size() - done, m_buffer.size() - at);
        std::copy_n(m_buffer.begin() + static_cast<ptrdiff_t>(at), count,
                    into.begin() + static_cast<ptrdiff_t>(done));
        done += count;
        m_position += count;
    }
    return done;
}

uint64_t ArchiveFile::skip(uint64_t count)
{
    uint64_t available = m_position < size() ? size() - m_position : 0;
    uint64_t skipped = std::min(count, available);
    m_position += skipped;
    return skipped;
}

} // namespace quarvo
