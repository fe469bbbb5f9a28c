#include "engines/dzip/AesEntryEncryption.h"

#include "core/zip/WinZipAesField.h"
#include "core/zip/ZipFormat.h"

namespace quarvo {

namespace {

constexpr WinZipAesField Aes256Field{.vendorVersion = zipformat::aes::VendorVersionAe2,
                                     .strength = zipformat::aes::Strength256};

} // namespace

Result<AesEntryEncryption> AesEntryEncryption::start(std::string_view password)
{
    std::vector<uint8_t> salt(Aes256Field.saltSize());
    if (!WinZipAesCipher::randomBytes(salt))
        return Error{"The system's random number generator failed"};
    Result<WinZipAesCipher> cipher = WinZipAesCipher::create(password, salt, Aes256Field.keyBits());
    if (!cipher)
        return Error{"AES encryption is not available: " + cipher.error().message};
    return AesEntryEncryption(std::move(cipher).value(), std::move(salt));
}

std::vector<uint8_t> AesEntryEncryption::prefix() const
{
    std::vector<uint8_t> bytes = m_salt;
    const auto verifier = m_cipher.verifier();
    bytes.insert(bytes.end(), verifier.begin(), verifier.end());
    return bytes;
}

std::vector<uint8_t> AesEntryEncryption::suffix()
{
    const auto code = m_cipher.authenticationCode();
    return {code.begin(), code.end()};
}

std::string AesEntryEncryption::extraField(uint16_t actualMethod)
{
    WinZipAesField field = Aes256Field;
    field.actualMethod = actualMethod;
    std::vector<uint8_t> bytes;
    appendWinZipAesField(bytes, field);
    return {bytes.begin(), bytes.end()};
}

size_t AesEntryEncryption::overhead()
{
    return Aes256Field.saltSize() + zipformat::aes::VerifierSize + zipformat::aes::AuthenticationCodeSize;
}

} // namespace quarvo
