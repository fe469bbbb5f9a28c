#include "viewer/ContentSniffer.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace quarvo::viewer {

namespace {

using Bytes = std::span<const unsigned char>;

bool startsWith(Bytes bytes, std::string_view prefix, size_t at = 0)
{
    if (bytes.size() < at + prefix.size())
        return false;
    return std::equal(
        prefix.begin(), prefix.end(), bytes.begin() + at,
        [](char expected, unsigned char actual) { return static_cast<unsigned char>(expected) == actual; });
}

// A bitmap file header has two reserved 16-bit fields that writers leave zero; requiring them keeps
// a text file that happens to begin with "BM" a text file.
bool isBitmapHeader(Bytes bytes)
{
    constexpr size_t reservedOffset = 6;
    constexpr size_t headerSize = 14;
    if (!startsWith(bytes, "BM") || bytes.size() < headerSize)
        return false;
    return std::all_of(bytes.begin() + reservedOffset, bytes.begin() + reservedOffset + 4,
                       [](unsigned char byte) { return byte == 0; });
}

// Control characters that plain text files carry; any other C0 control means binary.
bool isTextControl(unsigned char byte)
{
    switch (byte) {
    case '\t':
    case '\n':
    case '\v':
    case '\f':
    case '\r':
    case 0x08: // backspace: overstrike in formatted manual pages
    case 0x1B: // escape: terminal colour sequences in logs
    case 0x1A: // DOS end-of-file mark at the end of old text files
        return true;
    default:
        return byte >= 0x20;
    }
}

// The length of the UTF-8 sequence starting at bytes[at] when it is complete and well formed
// (shortest form, no surrogates, at most U+10FFFF); 0 when it is malformed; SIZE_MAX when the
// bytes end inside a sequence that is well formed so far.
size_t utf8SequenceLength(Bytes bytes, size_t at)
{
    const unsigned char lead = bytes[at];
    size_t length = 0;
    unsigned char secondLow = 0x80, secondHigh = 0xBF; // the allowed range of the second byte
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        secondLow = lead == 0xE0 ? 0xA0 : 0x80;  // no overlong forms
        secondHigh = lead == 0xED ? 0x9F : 0xBF; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        secondLow = lead == 0xF0 ? 0x90 : 0x80;  // no overlong forms
        secondHigh = lead == 0xF4 ? 0x8F : 0xBF; // nothing above U+10FFFF
    } else {
        return 0;
    }
    for (size_t i = 1; i < length; ++i) {
        if (at + i >= bytes.size())
            return SIZE_MAX;
        const unsigned char low = i == 1 ? secondLow : 0x80;
        const unsigned char high = i == 1 ? secondHigh : 0xBF;
        if (bytes[at + i] < low || bytes[at + i] > high)
            return 0;
    }
    return length;
}

bool isUtf8(Bytes bytes, bool atEndOfFile)
{
    for (size_t at = 0; at < bytes.size();) {
        size_t length = utf8SequenceLength(bytes, at);
        if (length == SIZE_MAX)
            return !atEndOfFile;
        if (length == 0)
            return false;
        at += length;
    }
    return true;
}

// Windows-1252 leaves these five bytes unassigned; Latin-1 makes them C1 controls, which no text
// file holds either.
bool isUndefinedInWindows1252(unsigned char byte)
{
    return byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
}

struct ByteOrderMark {
    std::string_view bytes;
    TextEncoding encoding;
};

constexpr std::array<ByteOrderMark, 3> byteOrderMarks{{
    {"\xEF\xBB\xBF", TextEncoding::Utf8WithBom},
    {"\xFF\xFE", TextEncoding::Utf16LittleEndian},
    {"\xFE\xFF", TextEncoding::Utf16BigEndian},
}};

// Bytes at the start of the file, and optionally more bytes further in.
struct ImageSignature {
    std::string_view start;
    std::string_view later;
    size_t laterOffset;
    std::string_view format;
};

// The formats Qt reads without extra plug-ins (BMP is checked apart), and WebP, which the common
// plug-in package adds.
constexpr std::array<ImageSignature, 5> imageSignatures{{
    {"\x89PNG\r\n\x1A\n", {}, 0, "PNG"},
    {"\xFF\xD8\xFF", {}, 0, "JPEG"},
    {"GIF87a", {}, 0, "GIF"},
    {"GIF89a", {}, 0, "GIF"},
    {"RIFF", "WEBP", 8, "WEBP"}, // the chunk size lies between the two
}};

} // namespace

std::optional<std::string_view> sniffImageFormat(Bytes bytes)
{
    for (const ImageSignature& signature : imageSignatures) {
        if (startsWith(bytes, signature.start) && startsWith(bytes, signature.later, signature.laterOffset))
            return signature.format;
    }
    if (isBitmapHeader(bytes))
        return "BMP";
    return std::nullopt;
}

std::optional<TextEncoding> sniffTextEncoding(Bytes bytes, bool atEndOfFile)
{
    // FF FE 00 00 starts UTF-32 little-endian text, not UTF-16.
    if (!startsWith(bytes, std::string_view("\xFF\xFE\0\0", 4))) {
        for (const ByteOrderMark& mark : byteOrderMarks) {
            if (startsWith(bytes, mark.bytes))
                return mark.encoding;
        }
    }
    if (!std::all_of(bytes.begin(), bytes.end(), isTextControl))
        return std::nullopt;
    if (isUtf8(bytes, atEndOfFile))
        return TextEncoding::Utf8;
    if (std::any_of(bytes.begin(), bytes.end(), isUndefinedInWindows1252))
        return std::nullopt;
    return TextEncoding::Windows1252;
}

ContentGuess sniffContent(Bytes bytes, bool atEndOfFile)
{
    if (std::optional<std::string_view> format = sniffImageFormat(bytes))
        return {ContentKind::Image, TextEncoding::Utf8, *format};
    if (std::optional<TextEncoding> encoding = sniffTextEncoding(bytes, atEndOfFile))
        return {ContentKind::Text, *encoding, {}};
    return {};
}

std::string_view encodingName(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8:
        return "UTF-8";
    case TextEncoding::Utf8WithBom:
        return "UTF-8 with BOM";
    case TextEncoding::Utf16LittleEndian:
        return "UTF-16 LE";
    case TextEncoding::Utf16BigEndian:
        return "UTF-16 BE";
    case TextEncoding::Windows1252:
        return "Windows-1252";
    }
    return {};
}

} // namespace quarvo::viewer
