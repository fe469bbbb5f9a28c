#include "viewer/ContentSniffer.h"

#include <gtest/gtest.h>

#include <string>

namespace quarvo::viewer {
namespace {

std::span<const unsigned char> bytesOf(const std::string& text)
{
    return {reinterpret_cast<const unsigned char*>(text.data()), text.size()};
}

struct SniffCase {
    const char* what;
    std::string bytes;
    ContentKind kind;
    TextEncoding encoding = TextEncoding::Utf8; // compared for text only
    std::string_view imageFormat = {};          // compared for images only
    bool atEndOfFile = true;
};

const SniffCase sniffCases[] = {
    {"empty file", "", ContentKind::Text, TextEncoding::Utf8},
    {"ASCII with CR LF and tab", "one\r\n\ttwo\r\n", ContentKind::Text, TextEncoding::Utf8},
    {"UTF-8 without BOM", "gr\xC3\xBC\xC3\x9Fli \xE2\x82\xAC \xF0\x9F\x98\x80\n", ContentKind::Text,
     TextEncoding::Utf8},
    {"UTF-8 with BOM", "\xEF\xBB\xBFgr\xC3\xBC\xC3\x9Fli\n", ContentKind::Text, TextEncoding::Utf8WithBom},
    {"UTF-16 LE with BOM", std::string("\xFF\xFEh\0i\0\n\0", 8), ContentKind::Text,
     TextEncoding::Utf16LittleEndian},
    {"UTF-16 BE with BOM", std::string("\xFE\xFF\0h\0i\0\n", 8), ContentKind::Text,
     TextEncoding::Utf16BigEndian},
    {"UTF-32 LE BOM is not UTF-16", std::string("\xFF\xFE\0\0h\0\0\0", 8), ContentKind::Binary},
    {"Latin-1 text", "na\xEFve caf\xE9\n", ContentKind::Text, TextEncoding::Windows1252},
    {"Windows-1252 quotes and euro", "\x93quoted\x94 costs \x80 5\n", ContentKind::Text,
     TextEncoding::Windows1252},
    {"overlong UTF-8 is not UTF-8", "x\xC0\xAFz", ContentKind::Text, TextEncoding::Windows1252},
    {"UTF-8 surrogate is not UTF-8", "x\xED\xA0\x80z", ContentKind::Text, TextEncoding::Windows1252},
    {"UTF-8 cut off by the block", "caf\xC3", ContentKind::Text, TextEncoding::Utf8, {}, false},
    {"UTF-8 cut off by the file", "caf\xC3", ContentKind::Text, TextEncoding::Windows1252, {}, true},
    {"colours, overstrike, DOS end mark", "\x1B[1mbold\x1B[0m _\x08x\x1A", ContentKind::Text,
     TextEncoding::Utf8},
    {"byte undefined in Windows-1252", "xyz\x81xyz", ContentKind::Binary},
    {"NUL byte", std::string("xyz\0xyz", 7), ContentKind::Binary},
    {"other control character", "xyz\x01xyz", ContentKind::Binary},
    {"executable header", std::string("\177ELF\x02\x01\x01\0\0\0", 10), ContentKind::Binary},
    {"PNG signature", std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16), ContentKind::Image, {}, "PNG"},
    {"JPEG signature", "\xFF\xD8\xFF\xE0", ContentKind::Image, {}, "JPEG"},
    {"GIF signature", "GIF89a\x01", ContentKind::Image, {}, "GIF"},
    {"BMP header", std::string("BM\x46\0\0\0\0\0\0\0\x36\0\0\0", 14), ContentKind::Image, {}, "BMP"},
    {"text beginning with BM", "BMW and BMX bikes\n", ContentKind::Text, TextEncoding::Utf8},
    {"WebP header", std::string("RIFF\x24\0\0\0WEBPVP8 ", 16), ContentKind::Image, {}, "WEBP"},
    {"RIFF that is not WebP", std::string("RIFF\x24\0\0\0WAVEfmt ", 16), ContentKind::Binary},
    // Cut short, the signature is no image; its bytes happen to be valid Windows-1252.
    {"PNG signature cut short", "\x89PNG\r\n", ContentKind::Text, TextEncoding::Windows1252},
};

TEST(ContentSniffer, TellsTextImagesAndBinaryFromTheFirstBlock)
{
    for (const SniffCase& test : sniffCases) {
        SCOPED_TRACE(test.what);
        const ContentGuess guess = sniffContent(bytesOf(test.bytes), test.atEndOfFile);
        EXPECT_EQ(guess.kind, test.kind);
        if (test.kind == ContentKind::Text) {
            EXPECT_EQ(encodingName(guess.encoding), encodingName(test.encoding));
        }
        if (test.kind == ContentKind::Image) {
            EXPECT_EQ(guess.imageFormat, test.imageFormat);
        }
    }
}

TEST(ContentSniffer, ImageSignatureAloneDoesNotMakeTextBinary)
{
    // An image that fails to decode is shown by its bytes: the text check judges them on their own.
    const std::string gif = "GIF89a is the name of a format\n";
    EXPECT_EQ(sniffImageFormat(bytesOf(gif)), "GIF");
    EXPECT_EQ(sniffTextEncoding(bytesOf(gif), true), TextEncoding::Utf8);
}

} // namespace
} // namespace quarvo::viewer
