#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace quarvo {

// The StreamType of a stream whose first bytes are head (all of them when the stream is shorter
// than streamformat::LongestSignature): a compressed kind by its signature, else StreamType::Plain.
uint32_t streamTypeOf(std::span<const uint8_t> head);

// The kind's name as messages use it: "GZIP", "compress (LZW)", "BZIP2", "XZ", "Zstandard", "LZIP";
// "plain" for StreamType::Plain and an unknown value.
std::string_view streamTypeName(uint32_t type);

// Whether unpacked data beginning with head is a TAR archive as far as its first block tells: a
// header whose checksum holds, or a block of zeros (the end marker of an archive without entries).
// Data shorter than one block is not TAR.
bool startsLikeTar(std::span<const uint8_t> head);

} // namespace quarvo
