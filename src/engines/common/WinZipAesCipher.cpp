#include "engines/common/WinZipAesCipher.h"

#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/params.h>
#include <openssl/rand.h>

#include <algorithm>
#include <vector>

namespace quarvo {

namespace {

constexpr size_t AesBlockSize = 16;
constexpr int KeyDerivationIterations = 1000;

const EVP_CIPHER* blockCipherFor(unsigned keyBits)
{
    switch (keyBits) {
    case 128:
        return EVP_aes_128_ecb();
    case 192:
        return EVP_aes_192_ecb();
    case 256:
        return EVP_aes_256_ecb();
    default:
        return nullptr;
    }
}

// Wipes derived key material from memory once it is no longer needed.
struct WipedBytes {
    explicit WipedBytes(size_t size) : bytes(size) {}
    ~WipedBytes() { OPENSSL_cleanse(bytes.data(), bytes.size()); }
    std::vector<uint8_t> bytes;
};

} // namespace

void WinZipAesCipher::CipherFree::operator()(evp_cipher_ctx_st* context) const
{
    EVP_CIPHER_CTX_free(context);
}

void WinZipAesCipher::MacFree::operator()(evp_mac_ctx_st* context) const
{
    EVP_MAC_CTX_free(context);
}

WinZipAesCipher::WinZipAesCipher(WinZipAesCipher&&) noexcept = default;
WinZipAesCipher& WinZipAesCipher::operator=(WinZipAesCipher&&) noexcept = default;
WinZipAesCipher::~WinZipAesCipher()
{
    OPENSSL_cleanse(m_keyStream.data(), m_keyStream.size());
}

Result<WinZipAesCipher> WinZipAesCipher::create(std::string_view password, std::span<const uint8_t> salt,
                                                unsigned keyBits)
{
    const EVP_CIPHER* blockCipher = blockCipherFor(keyBits);
    if (!blockCipher || salt.size() != keyBits / 16)
        return Error{"unsupported AES key size"};
    const size_t keySize = keyBits / 8;
    // One derivation gives the AES key, the HMAC key and the verifier, in that order.
    WipedBytes derived(2 * keySize + VerifierSize);
    if (PKCS5_PBKDF2_HMAC(password.data(), static_cast<int>(password.size()), salt.data(),
                          static_cast<int>(salt.size()), KeyDerivationIterations, EVP_sha1(),
                          static_cast<int>(derived.bytes.size()), derived.bytes.data()) != 1)
        return Error{"the AES keys could not be derived"};

    WinZipAesCipher cipher;
    cipher.m_cipher.reset(EVP_CIPHER_CTX_new());
    if (!cipher.m_cipher ||
        EVP_EncryptInit_ex(cipher.m_cipher.get(), blockCipher, nullptr, derived.bytes.data(), nullptr) != 1)
        return Error{"AES could not be set up"};
    EVP_CIPHER_CTX_set_padding(cipher.m_cipher.get(), 0);

    std::unique_ptr<EVP_MAC, decltype(&EVP_MAC_free)> hmac(EVP_MAC_fetch(nullptr, "HMAC", nullptr),
                                                           EVP_MAC_free);
    if (!hmac)
        return Error{"HMAC-SHA1 is not available"};
    cipher.m_mac.reset(EVP_MAC_CTX_new(hmac.get()));
    char digest[] = "SHA1";
    const OSSL_PARAM parameters[] = {OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_DIGEST, digest, 0),
                                     OSSL_PARAM_construct_end()};
    if (!cipher.m_mac ||
        EVP_MAC_init(cipher.m_mac.get(), derived.bytes.data() + keySize, keySize, parameters) != 1)
        return Error{"HMAC-SHA1 could not be set up"};
    std::copy_n(derived.bytes.data() + 2 * keySize, VerifierSize, cipher.m_verifier.begin());
    cipher.m_keyStreamUsed = cipher.m_keyStream.size();
    return cipher;
}

void WinZipAesCipher::refillKeyStream()
{
    for (size_t block = 0; block < m_keyStream.size(); block += AesBlockSize) {
        for (uint8_t& byte : m_counter) {
            if (++byte != 0)
                break;
        }
        std::copy(m_counter.begin(), m_counter.end(), m_keyStream.begin() + static_cast<ptrdiff_t>(block));
    }
    int produced = 0;
    EVP_EncryptUpdate(m_cipher.get(), m_keyStream.data(), &produced, m_keyStream.data(),
                      static_cast<int>(m_keyStream.size()));
    m_keyStreamUsed = 0;
}

void WinZipAesCipher::applyKeyStream(std::span<uint8_t> bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        if (m_keyStreamUsed == m_keyStream.size())
            refillKeyStream();
        const size_t count = std::min(bytes.size() - done, m_keyStream.size() - m_keyStreamUsed);
        for (size_t i = 0; i < count; ++i)
            bytes[done + i] ^= m_keyStream[m_keyStreamUsed + i];
        done += count;
        m_keyStreamUsed += count;
    }
}

void WinZipAesCipher::encrypt(std::span<uint8_t> bytes)
{
    applyKeyStream(bytes);
    authenticate(bytes);
}

void WinZipAesCipher::decrypt(std::span<uint8_t> bytes)
{
    authenticate(bytes);
    applyKeyStream(bytes);
}

void WinZipAesCipher::authenticate(std::span<const uint8_t> bytes)
{
    if (!bytes.empty())
        EVP_MAC_update(m_mac.get(), bytes.data(), bytes.size());
}

std::array<uint8_t, WinZipAesCipher::AuthenticationCodeSize> WinZipAesCipher::authenticationCode()
{
    std::array<uint8_t, EVP_MAX_MD_SIZE> full{};
    size_t length = 0;
    EVP_MAC_final(m_mac.get(), full.data(), &length, full.size());
    std::array<uint8_t, AuthenticationCodeSize> code{};
    std::copy_n(full.begin(), code.size(), code.begin());
    return code;
}

bool WinZipAesCipher::randomBytes(std::span<uint8_t> bytes)
{
    return RAND_bytes(bytes.data(), static_cast<int>(bytes.size())) == 1;
}

} // namespace quarvo
