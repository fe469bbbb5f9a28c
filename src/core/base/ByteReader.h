#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace quarvo {

// Reads little-endian fields from a span of bytes that came from a file, never past its end.
//
// Errors are sticky: a read that does not fit what remains returns 0 (or an empty span), consumes
// nothing and marks the reader failed; every later read fails too. A parser reads all the fields of
// a record and then checks ok() once, so a truncated record can never yield half-read values that
// look valid.
class ByteReader {
  public:
    explicit ByteReader(std::span<const uint8_t> bytes) : m_bytes(bytes) {}

    // Whether every read so far fitted.
    bool ok() const { return !m_failed; }
    // Bytes not yet read (0 after a failure).
    size_t remaining() const { return m_failed ? 0 : m_bytes.size() - m_offset; }
    // Bytes read so far.
    size_t offset() const { return m_offset; }

    uint8_t readU8()
    {
        if (!require(1))
            return 0;
        return m_bytes[m_offset++];
    }

    uint16_t readLE16()
    {
        if (!require(2))
            return 0;
        uint16_t value = static_cast<uint16_t>(m_bytes[m_offset] | m_bytes[m_offset + 1] << 8);
        m_offset += 2;
        return value;
    }

    uint32_t readLE32()
    {
        if (!require(4))
            return 0;
        uint32_t value = static_cast<uint32_t>(m_bytes[m_offset]) |
                         static_cast<uint32_t>(m_bytes[m_offset + 1]) << 8 |
                         static_cast<uint32_t>(m_bytes[m_offset + 2]) << 16 |
                         static_cast<uint32_t>(m_bytes[m_offset + 3]) << 24;
        m_offset += 4;
        return value;
    }

    uint64_t readLE64()
    {
        if (!require(8))
            return 0;
        uint64_t low = readLE32();
        uint64_t high = readLE32();
        return low | high << 32;
    }

    // The next count bytes, or an empty span and a failure when fewer remain.
    std::span<const uint8_t> take(size_t count)
    {
        if (!require(count))
            return {};
        std::span<const uint8_t> part = m_bytes.subspan(m_offset, count);
        m_offset += count;
        return part;
    }

    // Skips count bytes; fails like take().
    void skip(size_t count) { (void)take(count); }

  private:
    bool require(size_t count)
    {
        if (m_failed || count > m_bytes.size() - m_offset) {
            m_failed = true;
            return false;
        }
        return true;
    }

    std::span<const uint8_t> m_bytes;
    size_t m_offset = 0;
    bool m_failed = false;
};

} // namespace quarvo
