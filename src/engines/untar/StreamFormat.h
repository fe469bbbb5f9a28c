#pragma once

// The signatures that tell a compressed stream by its first bytes, one per kind the engine reads.

#include <array>
#include <cstddef>
#include <cstdint>

namespace quarvo::streamformat {

// RFC 1952, 2.3.1: ID1, ID2 and the compression method, of which 8 (deflate) is the only one.
constexpr std::array<uint8_t, 3> Gzip = {0x1F, 0x8B, 0x08};
// The compress program's .Z files: a two-byte magic number, then the flags byte.
constexpr std::array<uint8_t, 2> Compress = {0x1F, 0x9D};
// bzip2: "BZh" and the block size digit '1' to '9'.
constexpr std::array<uint8_t, 3> Bzip2 = {'B', 'Z', 'h'};
// The .xz file format, 2.1.1.1: the header magic bytes.
constexpr std::array<uint8_t, 6> Xz = {0xFD, '7', 'z', 'X', 'Z', 0x00};
// RFC 8878, 3.1.1: the Zstandard frame magic number 0xFD2FB528, little-endian.
constexpr std::array<uint8_t, 4> Zstandard = {0x28, 0xB5, 0x2F, 0xFD};
// The lzip member header: "LZIP" and the version byte.
constexpr std::array<uint8_t, 4> Lzip = {'L', 'Z', 'I', 'P'};

// Enough bytes to tell every kind above apart.
constexpr size_t LongestSignature = 6;

} // namespace quarvo::streamformat
