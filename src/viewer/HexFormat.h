#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace quarvo::viewer {

// The hex view's line layout: the offset in hex, two spaces, 16 bytes in hex in two groups of
// eight, two spaces, and the same bytes as characters (printable ASCII as itself, anything else ".").
constexpr size_t HexBytesPerLine = 16;

// How many hex digits the offsets of a file of fileSize bytes need: 8, or more for files past 4 GiB,
// so that every line of one file has the same width.
int hexOffsetDigits(uint64_t fileSize);

// The line for bytes (at most HexBytesPerLine) found at offset. A short last line is padded so that
// its character column lines up with the others:
// "00000010  48 65 6c 6c 6f 0a                                Hello."
std::string hexDumpLine(uint64_t offset, std::span<const unsigned char> bytes, int offsetDigits);

// The number of lines a file of fileSize bytes takes; an empty file takes none.
uint64_t hexLineCount(uint64_t fileSize);

} // namespace quarvo::viewer
