#pragma once

#include "core/base/Result.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

struct evp_cipher_ctx_st;
struct evp_mac_ctx_st;

namespace quarvo {

// WinZip's AES encryption of one entry's data: keys derived from the password and the entry's salt
// with PBKDF2-HMAC-SHA1 (1,000 iterations), AES in counter mode with a little-endian counter that
// starts at 1, and HMAC-SHA1 over the encrypted bytes, cut to ten bytes, as the authentication code.
// OpenSSL's libcrypto provides the primitives; the counter and the framing are WinZip's and done
// here. One object serves one entry, its data passing through in order.
class WinZipAesCipher {
  public:
    static constexpr size_t VerifierSize = 2;
    static constexpr size_t AuthenticationCodeSize = 10;

    // Derives the keys for keyBits (128, 192 or 256) from the password's bytes and the salt (half
    // the key length). Fails only when libcrypto cannot set the primitives up.
    static Result<WinZipAesCipher> create(std::string_view password, std::span<const uint8_t> salt,
                                          unsigned keyBits);

    WinZipAesCipher(WinZipAesCipher&&) noexcept;
    WinZipAesCipher& operator=(WinZipAesCipher&&) noexcept;
    ~WinZipAesCipher();

    // The two bytes stored after the salt, derived with the keys: a wrong password gives other bytes
    // (with a one-in-65,536 chance of a false match, which the authentication code then catches).
    std::array<uint8_t, VerifierSize> verifier() const { return m_verifier; }

    // Encrypts in place and adds the result to the authentication code.
    void encrypt(std::span<uint8_t> bytes);
    // Adds the bytes to the authentication code, then decrypts them in place.
    void decrypt(std::span<uint8_t> bytes);
    // Adds encrypted bytes to the authentication code without decrypting them: for data a reader
    // stopped decoding early, whose code must still be checked.
    void authenticate(std::span<const uint8_t> bytes);
    // The authentication code of everything passed through so far. Call it once, at the end.
    std::array<uint8_t, AuthenticationCodeSize> authenticationCode();

    // Fills bytes with random bytes from the system's generator; false when it failed.
    static bool randomBytes(std::span<uint8_t> bytes);

  private:
    struct CipherFree {
        void operator()(evp_cipher_ctx_st* context) const;
    };
    struct MacFree {
        void operator()(evp_mac_ctx_st* context) const;
    };

    WinZipAesCipher() = default;
    void applyKeyStream(std::span<uint8_t> bytes);
    void refillKeyStream();

    std::unique_ptr<evp_cipher_ctx_st, CipherFree> m_cipher;
    std::unique_ptr<evp_mac_ctx_st, MacFree> m_mac;
    std::array<uint8_t, VerifierSize> m_verifier{};
    std::array<uint8_t, 16> m_counter{}; // little-endian block counter, advanced before each block
    // Key stream made ahead for several blocks at once, one libcrypto call for many blocks.
    std::array<uint8_t, 16 * 256> m_keyStream{};
    size_t m_keyStreamUsed = 0;
};

} // namespace quarvo
