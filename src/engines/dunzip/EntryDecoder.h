#pragma once

#include "core/zip/ByteSource.h"
#include "core/zip/WinZipAesField.h"
#include "engines/dunzip/DecodeStatus.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string_view>

namespace quarvo {

// What to decode: an entry's data as the central directory describes it.
struct DecodeRequest {
    uint64_t dataOffset = 0;     // first byte after the local header
    uint64_t compressedSize = 0; // including the encryption header, salt or authentication code
    uint64_t uncompressedSize = 0;
    uint32_t crc32 = 0;
    // The compression method (under AES, the one its field names); the caller refuses those
    // isDecodableMethod does not accept.
    uint16_t method = 0;
    uint16_t flags = 0; // the general-purpose bits: LZMA's end marker is told there
    bool encrypted = false;
    std::string_view password;
    uint8_t checkByte = 0; // what the decrypted traditional encryption header must end with
    // Set for AES encryption, which replaces the traditional cipher.
    std::optional<WinZipAesField> aes;
};

struct DecodeResult {
    DecodeStatus status = DecodeStatus::Ok;
    uint32_t actualCrc32 = 0;
    uint64_t bytesOut = 0;
};

// Receives decoded data in order; returns false when it cannot take it.
using DecodeSink = std::function<bool(std::span<const uint8_t>)>;
// Told the number of decoded bytes so far, often (at least every 64 KiB); returns false to stop.
using DecodeProgress = std::function<bool(uint64_t bytesOut)>;

// Decodes one entry's data from the archive: decrypts it when asked (the traditional cipher or AES,
// whose authentication code is checked), decompresses or copies it, never produces more than the
// declared size, and checks size and CRC-32. Memory stays bounded: deflated entries up to a few MiB
// are inflated in one call, everything else streamed in 64 KiB pieces.
DecodeResult decodeEntry(ByteSource& source, const DecodeRequest& request, const DecodeSink& sink,
                         const DecodeProgress& progress);

// Whether decodeEntry can decompress data of this method.
bool isDecodableMethod(uint16_t method);

} // namespace quarvo
