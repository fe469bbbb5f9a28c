#pragma once

// The few constants of the TAR header that the engine reads itself (libarchive parses the rest):
// POSIX.1-1988 ustar, IEEE Std 1003.1, "pax" section "ustar Interchange Format", whose header the
// older v7 and GNU formats share in these fields.

#include <cstddef>

namespace quarvo::tarformat {

// Headers and data are kept in blocks of this size.
constexpr size_t BlockSize = 512;

namespace header {
constexpr size_t Checksum = 148; // 8 bytes: octal sum of the header's bytes
constexpr size_t ChecksumLength = 8;
constexpr size_t Magic = 257; // "ustar" (ustar, pax, GNU); absent in v7 headers
} // namespace header

// While the checksum is summed its own field counts as eight spaces.
constexpr unsigned ChecksumFieldValue = 8 * ' ';

} // namespace quarvo::tarformat
