#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quarvo {

// The font of the archive listings as the profile keeps it: a complete logical font. The text form
// is 14 comma-separated fields without blanks, 13 signed decimal numbers and the face name:
// "-11,0,0,0,400,0,0,0,0,1,2,1,26,MS Sans Serif".
struct FontDescription {
    int32_t height = 0; // negative: character height in pixels; positive: cell height
    int32_t width = 0;
    int32_t escapement = 0;
    int32_t orientation = 0;
    int32_t weight = 400; // 400 normal, 700 bold
    uint8_t italic = 0;
    uint8_t underline = 0;
    uint8_t strikeOut = 0;
    uint8_t charSet = 0;
    uint8_t outPrecision = 1;
    uint8_t clipPrecision = 2;
    uint8_t quality = 1;
    uint8_t pitchAndFamily = 26;
    std::string faceName = "MS Sans Serif"; // at most FontLimits::FaceNameCharacters characters

    bool operator==(const FontDescription&) const = default;
};

namespace FontLimits {
constexpr size_t FaceNameCharacters = 31;
} // namespace FontLimits

// The built-in listing font: 8 points on a screen of verticalDpi dots per inch, so its height is
// -(8 * verticalDpi / 72) rounded to the nearest integer; every other field is the struct default.
FontDescription defaultFontDescription(int verticalDpi);

// Reads a stored description over defaults. Runs of commas count as one separator (leading commas
// are skipped), each of the first 13 pieces present replaces its field in order by the decimal rule
// (a one-byte field keeps the low 8 bits), the 14th piece is the face (storableFaceName: cut to 31
// characters; an empty one keeps the default), and anything missing keeps its default. Never fails.
FontDescription parseFontDescription(std::string_view text, const FontDescription& defaults);

// The stored text of a description, the one-byte fields as 0..255. A face name can hold no comma or
// line break, so it is written only up to the first one, cut to 31 characters: what is written is
// exactly what reads back.
std::string formatFontDescription(const FontDescription& font);

// The face name the text form can carry: up to the first comma or line break and at most 31
// characters, never splitting a UTF-8 sequence.
std::string storableFaceName(std::string_view faceName);

} // namespace quarvo
