#pragma once

#include <cstdint>
#include <span>

namespace quarvo {

// The CRC-32 of ZIP (APPNOTE 4.4.7: ISO 3309, reflected polynomial 0xEDB88320), fed in pieces of
// any size, a table lookup per byte.
class Crc32 {
  public:
    void update(std::span<const uint8_t> bytes);
    // The CRC of everything fed so far; 0 for nothing.
    uint32_t value() const { return ~m_state; }

  private:
    uint32_t m_state = 0xFFFFFFFF;
};

} // namespace quarvo
