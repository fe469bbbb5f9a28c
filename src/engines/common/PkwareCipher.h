#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace quarvo {

// The traditional PKWARE stream cipher of ZIP (APPNOTE 6.1). It is weak, but every unzip program can
// read it, which is why the engines offer it. One object carries the key state of one entry: each
// entry starts from the password again, and its data must go through one object in order.
class PkwareCipher {
  public:
    // Size of the encryption header that precedes the entry's data (APPNOTE 6.1.3).
    static constexpr size_t HeaderSize = 12;

    // Keys initialised from the password's bytes (taken as they are, no terminator).
    explicit PkwareCipher(std::string_view password);

    // Encrypts bytes in place, advancing the key state.
    void encrypt(std::span<uint8_t> bytes);
    // Decrypts bytes in place, advancing the key state.
    void decrypt(std::span<uint8_t> bytes);

    // The encrypted header for a new entry: eleven random bytes and checkByte, encrypted. Call it
    // first, before the entry's data.
    std::array<uint8_t, HeaderSize> makeHeader(uint8_t checkByte);

    // Decrypts an entry's header and tells whether its last byte equals checkByte, which is how a
    // wrong password is recognised (with a one-in-256 chance of a false match). The data that follows
    // can then be decrypted with this object.
    bool acceptHeader(std::span<const uint8_t, HeaderSize> header, uint8_t checkByte);

    // The byte a header must end with: the high byte of the entry's CRC-32, or, when the entry's
    // sizes and CRC follow its data in a data descriptor (general-purpose bit 3), the high byte of
    // its MS-DOS modification time, because the CRC is not known when the header is written.
    static uint8_t checkByteFor(uint32_t crc32, uint16_t dosTime, bool hasDataDescriptor)
    {
        return hasDataDescriptor ? static_cast<uint8_t>(dosTime >> 8) : static_cast<uint8_t>(crc32 >> 24);
    }

  private:
    uint8_t keyStream() const;
    void updateKeys(uint8_t plain);

    uint32_t m_key0 = 0x12345678;
    uint32_t m_key1 = 0x23456789;
    uint32_t m_key2 = 0x34567890;
};

} // namespace quarvo
