#include "core/zip/ZipNames.h"

#include "core/base/ByteReader.h"
#include "core/zip/Crc32.h"
#include "core/zip/ZipFormat.h"
#include "core/zip/ZipRecords.h"

#include <algorithm>
#include <array>
#include <optional>

namespace quarvo {

namespace {

// Code page 437 to Unicode, every byte value.
constexpr std::array<uint16_t, 256> CodePage437 = {
    0x0000, 0x0001, 0x0002, 0x0003, 0x0004, 0x0005, 0x0006, 0x0007, 0x0008, 0x0009, 0x000A, 0x000B, 0x000C,
    0x000D, 0x000E, 0x000F, 0x0010, 0x0011, 0x0012, 0x0013, 0x0014, 0x0015, 0x0016, 0x0017, 0x0018, 0x0019,
    0x001A, 0x001B, 0x001C, 0x001D, 0x001E, 0x001F, 0x0020, 0x0021, 0x0022, 0x0023, 0x0024, 0x0025, 0x0026,
    0x0027, 0x0028, 0x0029, 0x002A, 0x002B, 0x002C, 0x002D, 0x002E, 0x002F, 0x0030, 0x0031, 0x0032, 0x0033,
    0x0034, 0x0035, 0x0036, 0x0037, 0x0038, 0x0039, 0x003A, 0x003B, 0x003C, 0x003D, 0x003E, 0x003F, 0x0040,
    0x0041, 0x0042, 0x0043, 0x0044, 0x0045, 0x0046, 0x0047, 0x0048, 0x0049, 0x004A, 0x004B, 0x004C, 0x004D,
    0x004E, 0x004F, 0x0050, 0x0051, 0x0052, 0x0053, 0x0054, 0x0055, 0x0056, 0x0057, 0x0058, 0x0059, 0x005A,
    0x005B, 0x005C, 0x005D, 0x005E, 0x005F, 0x0060, 0x0061, 0x0062, 0x0063, 0x0064, 0x0065, 0x0066, 0x0067,
    0x0068, 0x0069, 0x006A, 0x006B, 0x006C, 0x006D, 0x006E, 0x006F, 0x0070, 0x0071, 0x0072, 0x0073, 0x0074,
    0x0075, 0x0076, 0x0077, 0x0078, 0x0079, 0x007A, 0x007B, 0x007C, 0x007D, 0x007E, 0x007F, 0x00C7, 0x00FC,
    0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4,
    0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9, 0x00FF, 0x00D6, 0x00DC, 0x00A2,
    0x00A3, 0x00A5, 0x20A7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF,
    0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB, 0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561,
    0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510, 0x2514, 0x2534, 0x252C,
    0x251C, 0x2500, 0x253C, 0x255E, 0x255F, 0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C, 0x2588, 0x2584,
    0x258C, 0x2590, 0x2580, 0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4, 0x03A6, 0x0398,
    0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229, 0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7,
    0x2248, 0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,
};

void appendUtf8(std::string& out, uint32_t codePoint)
{
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | codePoint >> 6);
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | codePoint >> 12);
        out += static_cast<char>(0x80 | (codePoint >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

void appendHexEscape(std::string& out, uint32_t value)
{
    constexpr char Digits[] = "0123456789ABCDEF";
    out += "\\x";
    out += Digits[value >> 4 & 0xF];
    out += Digits[value & 0xF];
}

// Length of the valid UTF-8 sequence starting at text[i], or 0 when it is not one.
size_t validSequenceLength(std::string_view text, size_t i)
{
    auto byte = [&](size_t k) { return static_cast<uint8_t>(text[k]); };
    uint8_t lead = byte(i);
    if (lead < 0x80)
        return 1;
    size_t length;
    uint32_t minimum;
    uint32_t codePoint;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, minimum = 0x80, codePoint = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, minimum = 0x800, codePoint = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, minimum = 0x10000, codePoint = lead & 0x07;
    } else {
        return 0;
    }
    if (text.size() - i < length)
        return 0;
    for (size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
        codePoint = codePoint << 6 | (byte(i + k) & 0x3F);
    }
    if (codePoint < minimum || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return 0;
    return length;
}

} // namespace

std::string codePage437ToUtf8(std::span<const uint8_t> bytes)
{
    // Most names are ASCII, which code page 437 shares; they need no table.
    const bool ascii =
        std::all_of(bytes.begin(), bytes.end(), [](uint8_t byte) { return byte < 0x80; });
    if (ascii)
        return std::string(bytes.begin(), bytes.end());
    std::string out;
    out.reserve(bytes.size());
    for (uint8_t byte : bytes)
        appendUtf8(out, CodePage437[byte]);
    return out;
}

bool isValidUtf8(std::string_view text)
{
    for (size_t i = 0; i < text.size();) {
        size_t length = validSequenceLength(text, i);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

std::string decodeArchiveText(std::span<const uint8_t> stored, uint16_t flags)
{
    std::string_view text(reinterpret_cast<const char*>(stored.data()), stored.size());
    if (!(flags & zipformat::flag::Utf8Names)) {
        // Info-ZIP's zip on Linux stores names as the file system gives them, UTF-8, without bit
        // 11. Text that is valid UTF-8 and not plain ASCII is very unlikely to be meant as code
        // page 437 (it would need an accented letter or box line followed by just the right
        // symbols), so it is taken as UTF-8.
        if (isValidUtf8(text))
            return std::string(text);
        return codePage437ToUtf8(stored);
    }
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        size_t length = validSequenceLength(text, i);
        if (length == 0) {
            appendHexEscape(out, static_cast<uint8_t>(text[i]));
            ++i;
        } else {
            out.append(text.substr(i, length));
            i += length;
        }
    }
    return out;
}

std::string escapeControlCharacters(std::string_view utf8)
{
    std::string out;
    appendWithControlCharactersEscaped(out, utf8);
    return out;
}

void appendWithControlCharactersEscaped(std::string& out, std::string_view utf8)
{
    // A name without control bytes or the lead byte of a C1 control is appended as it is.
    const bool plain = std::none_of(utf8.begin(), utf8.end(), [](char c) {
        const auto byte = static_cast<uint8_t>(c);
        return byte < 0x20 || byte == 0x7F || byte == 0xC2;
    });
    if (plain) {
        out += utf8;
        return;
    }
    out.reserve(out.size() + utf8.size());
    for (size_t i = 0; i < utf8.size(); ++i) {
        uint8_t byte = static_cast<uint8_t>(utf8[i]);
        bool c1 = byte == 0xC2 && i + 1 < utf8.size() && static_cast<uint8_t>(utf8[i + 1]) >= 0x80 &&
                  static_cast<uint8_t>(utf8[i + 1]) <= 0x9F;
        if (byte < 0x20 || byte == 0x7F) {
            appendHexEscape(out, byte);
        } else if (c1) {
            appendHexEscape(out, static_cast<uint8_t>(utf8[++i]));
        } else {
            out += static_cast<char>(byte);
        }
    }
}

uint32_t crc32OfBytes(std::span<const uint8_t> bytes)
{
    Crc32 crc;
    crc.update(bytes);
    return crc.value();
}

std::string decodeEntryName(std::span<const uint8_t> stored, uint16_t flags, std::span<const uint8_t> extraField)
{
    if (!(flags & zipformat::flag::Utf8Names)) {
        // Version byte, CRC-32 of the stored name, then the name in UTF-8.
        std::optional<std::span<const uint8_t>> block = findExtraBlock(extraField, zipformat::extra::UnicodePath);
        if (block && block->size() > 5 && (*block)[0] == 1) {
            ByteReader reader(block->subspan(1));
            const uint32_t crc = reader.readLE32();
            std::string_view utf8(reinterpret_cast<const char*>(block->data()) + 5, block->size() - 5);
            if (crc == crc32OfBytes(stored) && isValidUtf8(utf8))
                return std::string(utf8);
        }
    }
    return decodeArchiveText(stored, flags);
}

} // namespace quarvo
