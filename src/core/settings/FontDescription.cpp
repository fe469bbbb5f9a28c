#include "core/settings/FontDescription.h"

#include "core/settings/LeadingInteger.h"

#include <array>
#include <cstdint>
#include <utility>

namespace quarvo {

namespace {

constexpr size_t NumericFieldCount = 13;
constexpr int PointsPerInch = 72;
constexpr int DefaultPointSize = 8;

bool isUtf8Continuation(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Text cut to at most count characters, a character being a UTF-8 lead byte with its continuations
// (a stray continuation byte rides along with the character before it).
std::string_view firstCharacters(std::string_view text, size_t count)
{
    size_t characters = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (!isUtf8Continuation(text[i]) && characters++ == count)
            return text.substr(0, i);
    }
    return text;
}

// The numeric fields in stored order, so parsing and writing walk one list.
std::array<int32_t, NumericFieldCount> numericFields(const FontDescription& font)
{
    return {font.height,        font.width,     font.escapement,    font.orientation, font.weight,
            font.italic,        font.underline, font.strikeOut,     font.charSet,     font.outPrecision,
            font.clipPrecision, font.quality,   font.pitchAndFamily};
}

void setNumericField(FontDescription& font, size_t index, int32_t value)
{
    // The one-byte fields keep the low 8 bits, as a byte-sized field of a logical font does.
    auto byte = static_cast<uint8_t>(static_cast<uint32_t>(value) & 0xFF);
    switch (index) {
    case 0:
        font.height = value;
        break;
    case 1:
        font.width = value;
        break;
    case 2:
        font.escapement = value;
        break;
    case 3:
        font.orientation = value;
        break;
    case 4:
        font.weight = value;
        break;
    case 5:
        font.italic = byte;
        break;
    case 6:
        font.underline = byte;
        break;
    case 7:
        font.strikeOut = byte;
        break;
    case 8:
        font.charSet = byte;
        break;
    case 9:
        font.outPrecision = byte;
        break;
    case 10:
        font.clipPrecision = byte;
        break;
    case 11:
        font.quality = byte;
        break;
    case 12:
        font.pitchAndFamily = byte;
        break;
    default:
        break;
    }
}

} // namespace

FontDescription defaultFontDescription(int verticalDpi)
{
    if (verticalDpi <= 0)
        verticalDpi = 96;
    FontDescription font;
    int64_t scaled = int64_t{DefaultPointSize} * verticalDpi;
    font.height = -static_cast<int32_t>((scaled + PointsPerInch / 2) / PointsPerInch);
    return font;
}

FontDescription parseFontDescription(std::string_view text, const FontDescription& defaults)
{
    FontDescription font = defaults;
    size_t index = 0;
    size_t position = 0;
    while (index <= NumericFieldCount) {
        position = text.find_first_not_of(',', position);
        if (position == std::string_view::npos)
            break;
        size_t end = text.find(',', position);
        std::string_view piece = text.substr(position, end == std::string_view::npos ? end : end - position);
        if (index < NumericFieldCount)
            setNumericField(font, index, parseLeadingInteger(piece));
        else if (std::string face = storableFaceName(piece); !face.empty())
            font.faceName = std::move(face); // an empty face could not be written back
        ++index;
        position = end;
    }
    return font;
}

std::string storableFaceName(std::string_view faceName)
{
    faceName = faceName.substr(0, faceName.find_first_of(",\r\n"));
    return std::string(firstCharacters(faceName, FontLimits::FaceNameCharacters));
}

std::string formatFontDescription(const FontDescription& font)
{
    std::string text;
    for (int32_t field : numericFields(font)) {
        text += std::to_string(field);
        text += ',';
    }
    text += storableFaceName(font.faceName);
    return text;
}

} // namespace quarvo
