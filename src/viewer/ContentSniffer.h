#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

namespace quarvo::viewer {

// How much of a file the viewer looks at to decide how to show it.
constexpr size_t SniffBlockSize = 64 * 1024;

enum class TextEncoding {
    Utf8,
    Utf8WithBom,
    Utf16LittleEndian, // with its byte order mark
    Utf16BigEndian,    // with its byte order mark
    Windows1252,       // the fallback for 8-bit text that is not UTF-8; Latin-1 plus 0x80..0x9F
};

enum class ContentKind { Text, Image, Binary };

// What the first block of a file says about it.
struct ContentGuess {
    ContentKind kind = ContentKind::Binary;
    TextEncoding encoding = TextEncoding::Utf8; // meaningful for Text only
    std::string_view imageFormat;               // "PNG", "JPEG", "GIF", "BMP", "WEBP"; Image only
};

// The image format whose signature starts bytes, as Qt's image readers name it, or nullopt. A
// signature only promises: the image reader decides whether the file really is one.
std::optional<std::string_view> sniffImageFormat(std::span<const unsigned char> bytes);

// The encoding of text that starts with bytes, or nullopt when the bytes are no text. A byte order
// mark decides alone (UTF-8, UTF-16 LE or BE; FF FE 00 00 is UTF-32, which is not taken). Without
// one: a NUL byte means binary; valid UTF-8 is UTF-8; anything else is Windows-1252 unless it holds
// one of its five undefined bytes. Control characters other than the ones text files carry (tab,
// line feed, vertical tab, form feed, carriage return, backspace, escape, and the DOS end-of-file
// mark 0x1A) mean binary in every 8-bit encoding. atEndOfFile says whether the file ends with
// bytes: when it does not, a UTF-8 sequence cut off by the end of the block still counts as valid.
// An empty file is UTF-8 text.
std::optional<TextEncoding> sniffTextEncoding(std::span<const unsigned char> bytes, bool atEndOfFile);

// Image when a signature matches, else text in its encoding, else binary.
ContentGuess sniffContent(std::span<const unsigned char> bytes, bool atEndOfFile);

// The name the status bar shows: "UTF-8", "UTF-8 with BOM", "UTF-16 LE", "UTF-16 BE", "Windows-1252".
std::string_view encodingName(TextEncoding encoding);

} // namespace quarvo::viewer
