#include "core/zip/WinZipAesField.h"

#include "core/base/ByteReader.h"
#include "core/zip/ZipFormat.h"
#include "core/zip/ZipRecords.h"

namespace quarvo {

namespace aes = zipformat::aes;

bool WinZipAesField::checksCrc() const
{
    return vendorVersion == aes::VendorVersionAe1;
}

Result<WinZipAesField, AesFieldError> parseWinZipAesField(std::span<const uint8_t> extraField)
{
    std::optional<std::span<const uint8_t>> block = findExtraBlock(extraField, zipformat::extra::WinZipAes);
    if (!block)
        return AesFieldError::Missing;
    ByteReader reader(*block);
    WinZipAesField field;
    field.vendorVersion = reader.readLE16();
    const uint16_t vendor = reader.readLE16();
    field.strength = reader.readU8();
    field.actualMethod = reader.readLE16();
    if (!reader.ok())
        return AesFieldError::Damaged;
    if (vendor != aes::VendorId ||
        (field.vendorVersion != aes::VendorVersionAe1 && field.vendorVersion != aes::VendorVersionAe2))
        return AesFieldError::UnknownVendor;
    if (field.strength < aes::Strength128 || field.strength > aes::Strength256)
        return AesFieldError::UnknownStrength;
    return field;
}

const char* describeAesFieldError(AesFieldError error)
{
    switch (error) {
    case AesFieldError::Missing:
        return "its AES encryption field is missing";
    case AesFieldError::Damaged:
        return "its AES encryption field is damaged";
    case AesFieldError::UnknownVendor:
        return "its AES encryption field names a variant other than AE-1 or AE-2";
    case AesFieldError::UnknownStrength:
        return "its AES encryption field names a key size other than 128, 192 or 256 bits";
    }
    return "its AES encryption field is unusable";
}

void appendWinZipAesField(std::vector<uint8_t>& out, const WinZipAesField& field)
{
    appendLE16(out, zipformat::extra::WinZipAes);
    appendLE16(out, static_cast<uint16_t>(aes::ExtraDataSize));
    appendLE16(out, field.vendorVersion);
    appendLE16(out, aes::VendorId);
    out.push_back(field.strength);
    appendLE16(out, field.actualMethod);
}

std::optional<AesDataLayout> aesDataLayout(const WinZipAesField& field, uint64_t compressedSize)
{
    const uint64_t overhead = field.saltSize() + aes::VerifierSize + aes::AuthenticationCodeSize;
    if (compressedSize < overhead)
        return std::nullopt;
    AesDataLayout layout;
    layout.verifierOffset = field.saltSize();
    layout.encryptedOffset = layout.verifierOffset + aes::VerifierSize;
    layout.encryptedSize = compressedSize - overhead;
    layout.authenticationCodeOffset = layout.encryptedOffset + layout.encryptedSize;
    return layout;
}

} // namespace quarvo
