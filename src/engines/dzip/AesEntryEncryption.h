#pragma once

#include "core/base/Result.h"
#include "engines/common/WinZipAesCipher.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quarvo {

// What AES-256 encryption (WinZip AE-2) puts around one new entry's data: a fresh random salt and
// the password verifier before it, the authentication code after it, and the 0x9901 extra field
// that names the method underneath. The CRC-32 of an AE-2 entry is stored as 0: the authentication
// code checks the data instead, and a CRC of a small file would tell something about its content.
class AesEntryEncryption {
  public:
    // Fresh keys for one entry from the password and a random salt.
    static Result<AesEntryEncryption> start(std::string_view password);

    // Salt and password verifier: the first bytes of the entry's data.
    std::vector<uint8_t> prefix() const;
    // Encrypts the entry's data in place, in order.
    void encrypt(std::span<uint8_t> bytes) { m_cipher.encrypt(bytes); }
    // The authentication code: the last bytes of the entry's data. Call once, after all data.
    std::vector<uint8_t> suffix();

    // The extra field of the entry's headers, naming the method of the data under the encryption.
    static std::string extraField(uint16_t actualMethod);
    // Bytes added to an entry's data: salt, verifier and authentication code.
    static size_t overhead();

  private:
    AesEntryEncryption(WinZipAesCipher cipher, std::vector<uint8_t> salt)
        : m_cipher(std::move(cipher)), m_salt(std::move(salt))
    {
    }

    WinZipAesCipher m_cipher;
    std::vector<uint8_t> m_salt;
};

} // namespace quarvo
