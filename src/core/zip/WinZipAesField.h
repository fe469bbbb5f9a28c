#pragma once

#include "core/base/Result.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace quarvo {

// The WinZip AES extra field (0x9901) of an entry whose method is 99: which AES variant encrypted
// the data and the method that compressed it before. Constructed only by parsing, so its values are
// in range.
struct WinZipAesField {
    uint16_t vendorVersion = 0; // AE-1 or AE-2
    uint8_t strength = 0;       // 1, 2 or 3: 128-, 192- or 256-bit keys
    uint16_t actualMethod = 0;  // the compression method under the encryption

    // Key length in bits: 128, 192 or 256.
    unsigned keyBits() const { return 64 + 64 * strength; }
    // Salt length in bytes: half the key length.
    size_t saltSize() const { return keyBits() / 16; }
    // Whether the entry's CRC-32 is stored and must be checked (AE-1); AE-2 stores 0 there.
    bool checksCrc() const;
};

// Why an AES extra field cannot be used.
enum class AesFieldError {
    Missing,         // the extra field holds no 0x9901 block
    Damaged,         // the block is shorter than its seven bytes
    UnknownVendor,   // the vendor id is not "AE" or the version is neither 1 nor 2
    UnknownStrength, // the strength byte is not 1, 2 or 3
};

// Finds and checks the 0x9901 block in an entry's extra field.
Result<WinZipAesField, AesFieldError> parseWinZipAesField(std::span<const uint8_t> extraField);

// A sentence for the user saying why the field is unusable, without a full stop.
const char* describeAesFieldError(AesFieldError error);

// Appends the whole 0x9901 block, header included, for a new entry.
void appendWinZipAesField(std::vector<uint8_t>& out, const WinZipAesField& field);

// The framing of an AES entry's data: salt, verifier, encrypted data, authentication code. Nothing
// when the entry's compressed size cannot hold salt, verifier and code.
struct AesDataLayout {
    uint64_t saltOffset = 0; // each offset counted from the start of the entry's data
    uint64_t verifierOffset = 0;
    uint64_t encryptedOffset = 0;
    uint64_t encryptedSize = 0;
    uint64_t authenticationCodeOffset = 0;
};
std::optional<AesDataLayout> aesDataLayout(const WinZipAesField& field, uint64_t compressedSize);

} // namespace quarvo
