#include "engines/common/PkwareCipher.h"

#include <random>

namespace quarvo {

namespace {

// The cipher steps the reflected CRC-32 polynomial one byte at a time, without the pre- and
// post-inversion of a whole CRC, so zlib's crc32() cannot be used for it.
constexpr std::array<uint32_t, 256> makeCrcTable()
{
    std::array<uint32_t, 256> table{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int bit = 0; bit < 8; ++bit)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

constexpr std::array<uint32_t, 256> crcTable = makeCrcTable();

constexpr uint32_t crcStep(uint32_t crc, uint8_t byte)
{
    return crcTable[(crc ^ byte) & 0xFF] ^ (crc >> 8);
}

} // namespace

PkwareCipher::PkwareCipher(std::string_view password)
{
    for (char c : password)
        updateKeys(static_cast<uint8_t>(c));
}

uint8_t PkwareCipher::keyStream() const
{
    const uint32_t temp = (m_key2 & 0xFFFF) | 2;
    return static_cast<uint8_t>((temp * (temp ^ 1)) >> 8);
}

void PkwareCipher::updateKeys(uint8_t plain)
{
    m_key0 = crcStep(m_key0, plain);
    m_key1 = (m_key1 + (m_key0 & 0xFF)) * 134775813u + 1;
    m_key2 = crcStep(m_key2, static_cast<uint8_t>(m_key1 >> 24));
}

void PkwareCipher::encrypt(std::span<uint8_t> bytes)
{
    for (uint8_t& byte : bytes) {
        const uint8_t plain = byte;
        byte = plain ^ keyStream();
        updateKeys(plain);
    }
}

void PkwareCipher::decrypt(std::span<uint8_t> bytes)
{
    for (uint8_t& byte : bytes) {
        byte ^= keyStream();
        updateKeys(byte);
    }
}

std::array<uint8_t, PkwareCipher::HeaderSize> PkwareCipher::makeHeader(uint8_t checkByte)
{
    // The header's first eleven bytes only need to differ between entries and archives; a
    // non-deterministic seed is enough, nothing here depends on them being secret.
    static thread_local std::mt19937 generator{std::random_device{}()};
    std::array<uint8_t, HeaderSize> header{};
    for (size_t i = 0; i + 1 < HeaderSize; ++i)
        header[i] = static_cast<uint8_t>(generator() >> 24);
    header[HeaderSize - 1] = checkByte;
    encrypt(header);
    return header;
}

bool PkwareCipher::acceptHeader(std::span<const uint8_t, HeaderSize> header, uint8_t checkByte)
{
    std::array<uint8_t, HeaderSize> plain{};
    std::copy(header.begin(), header.end(), plain.begin());
    decrypt(plain);
    return plain[HeaderSize - 1] == checkByte;
}

} // namespace quarvo
