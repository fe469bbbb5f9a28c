#include "engines/dunzip/EntryDataStream.h"

#include <algorithm>

namespace quarvo {

DecodeStatus shortReadStatus(const ByteSource& source, uint64_t offset, uint64_t length)
{
    const bool pastTheEnd = offset >= source.size() || length > source.size() - offset;
    return pastTheEnd ? DecodeStatus::Truncated : DecodeStatus::ReadError;
}

std::optional<size_t> EntryDataStream::read(std::span<uint8_t> into)
{
    const size_t wanted = static_cast<size_t>(std::min<uint64_t>(into.size(), m_remaining));
    if (wanted == 0)
        return 0;
    const size_t count = m_source.readAt(m_offset, into.first(wanted));
    if (count != wanted) {
        m_failure = shortReadStatus(m_source, m_offset, wanted);
        return std::nullopt;
    }
    if (m_decrypt)
        m_decrypt(into.first(count));
    m_offset += count;
    m_remaining -= count;
    return count;
}

} // namespace quarvo
