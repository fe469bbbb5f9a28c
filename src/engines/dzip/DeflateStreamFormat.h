#pragma once

#include <cstddef>
#include <cstdint>

// The raw deflate stream's block layout (RFC 1951, section 3.2.3 and 3.2.4), as far as the writer
// joins streams made piece by piece.
namespace quarvo::deflateformat {

// Each block starts with the BFINAL bit, set only on the stream's last block, then two bits of
// BTYPE; bits are packed from the least significant bit of each byte.
constexpr uint8_t FinalBlockBit = 0x01;
constexpr unsigned BlockHeaderBits = 3;
// A stored block (BTYPE 00) skips to the next byte boundary after its header, then gives LEN and
// its complement NLEN, 16 bits each, then LEN bytes as they are.
constexpr size_t StoredBlockMaximum = 0xFFFF;
constexpr size_t StoredLengthFieldsSize = 4;

} // namespace quarvo::deflateformat
