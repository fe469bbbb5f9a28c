#pragma once

#include "core/zip/ByteSource.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

namespace quarvo {

// What to decode: an entry's data as the central directory describes it.
struct DecodeRequest {
    uint64_t dataOffset = 0;     // first byte after the local header
    uint64_t compressedSize = 0; // including the 12-byte encryption header when encrypted
    uint64_t uncompressedSize = 0;
    uint32_t crc32 = 0;
    uint16_t method = 0; // stored or deflated; the caller refuses the others
    bool encrypted = false;
    std::string_view password;
    uint8_t checkByte = 0; // what the decrypted encryption header must end with
};

enum class DecodeStatus {
    Ok,
    WrongPassword, // the encryption header's check byte does not match
    CrcMismatch,   // the data decoded to the declared size but its CRC-32 differs
    TooLong,       // the data would decode to more than the declared size; decoding stopped there
    EndsEarly,     // every compressed byte was there, but they decode to less than the declared size: the
                   // deflate stream ended early, or a stored entry holds fewer bytes than it declares
    Truncated,     // the archive ends before the entry's compressed data does
    Corrupt,       // the compressed stream is not valid deflate data, or does not end within the
                   // entry's compressed size
    ReadError,     // the archive could not be read
    OutputFailed,  // the sink refused the data (a write error)
    Cancelled,     // the progress callback asked to stop
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

// Decodes one entry's data from the archive: decrypts it when asked, inflates or copies it, never
// produces more than the declared size, and checks size and CRC-32. Memory stays bounded: entries
// up to a few MiB are inflated in one call, larger ones streamed in 64 KiB pieces.
DecodeResult decodeEntry(ByteSource& source, const DecodeRequest& request, const DecodeSink& sink,
                         const DecodeProgress& progress);

} // namespace quarvo
