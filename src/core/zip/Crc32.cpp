#include "core/zip/Crc32.h"

#include <array>

namespace quarvo {

namespace {

constexpr uint32_t ReflectedPolynomial = 0xEDB88320;

constexpr std::array<uint32_t, 256> makeTable()
{
    std::array<uint32_t, 256> table{};
    for (uint32_t byte = 0; byte < table.size(); ++byte) {
        uint32_t crc = byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (ReflectedPolynomial & (0U - (crc & 1)));
        table[byte] = crc;
    }
    return table;
}

constexpr std::array<uint32_t, 256> Table = makeTable();

} // namespace

void Crc32::update(std::span<const uint8_t> bytes)
{
    uint32_t crc = m_state;
    for (uint8_t byte : bytes)
        crc = Table[(crc ^ byte) & 0xFF] ^ (crc >> 8);
    m_state = crc;
}

} // namespace quarvo
