#include "viewer/HexFormat.h"

#include <algorithm>

namespace quarvo::viewer {

namespace {

constexpr char hexDigits[] = "0123456789abcdef";
constexpr int minimumOffsetDigits = 8;

void appendHex(std::string& line, uint64_t value, int digits)
{
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
        line += hexDigits[(value >> shift) & 0xF];
}

} // namespace

int hexOffsetDigits(uint64_t fileSize)
{
    const uint64_t lastOffset = fileSize == 0 ? 0 : fileSize - 1;
    int digits = 1;
    while (digits < 16 && (lastOffset >> (digits * 4)) != 0)
        ++digits;
    return std::max(digits, minimumOffsetDigits);
}

std::string hexDumpLine(uint64_t offset, std::span<const unsigned char> bytes, int offsetDigits)
{
    bytes = bytes.first(std::min(bytes.size(), HexBytesPerLine));
    std::string line;
    line.reserve(static_cast<size_t>(offsetDigits) + 2 + HexBytesPerLine * 4 + 3);
    appendHex(line, offset, offsetDigits);
    line += ' ';
    for (size_t i = 0; i < HexBytesPerLine; ++i) {
        line += i == HexBytesPerLine / 2 ? "  " : " ";
        if (i < bytes.size())
            appendHex(line, bytes[i], 2);
        else
            line += "  ";
    }
    line += "  ";
    for (unsigned char byte : bytes)
        line += byte >= 0x20 && byte < 0x7F ? static_cast<char>(byte) : '.';
    return line;
}

uint64_t hexLineCount(uint64_t fileSize)
{
    return fileSize / HexBytesPerLine + (fileSize % HexBytesPerLine != 0 ? 1 : 0);
}

} // namespace quarvo::viewer
