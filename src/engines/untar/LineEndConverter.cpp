#include "engines/untar/LineEndConverter.h"

namespace quarvo {

std::span<const uint8_t> LineEndConverter::convert(std::span<const uint8_t> bytes)
{
    m_buffer.clear();
    m_buffer.reserve(bytes.size() + bytes.size() / 16);
    for (uint8_t byte : bytes) {
        if (byte == '\n' && !m_lastWasCarriageReturn)
            m_buffer.push_back('\r');
        m_buffer.push_back(byte);
        m_lastWasCarriageReturn = byte == '\r';
    }
    return m_buffer;
}

} // namespace quarvo
