// Feeds arbitrary bytes to the name decoder. Input: two bytes of general-purpose flags, one byte
// giving the length of the stored name, the name, and the rest as the central extra field.
// Whatever the bytes, every decoded text is valid UTF-8; a flagged name that is valid UTF-8 comes
// back unchanged; a matching Info-ZIP Unicode path field wins for an unflagged name; the name CRC
// agrees with zlib's; and escaping leaves no control character and changes nothing the second time.

#include "FuzzCheck.h"
#include "core/zip/ZipNames.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>
#include <vector>
#include <zlib.h>

using quarvo::fuzz::check;

namespace {

constexpr uint16_t Utf8Flag = 1 << 11;

void checkEscaped(std::string_view utf8)
{
    std::string escaped = quarvo::escapeControlCharacters(utf8);
    check(quarvo::isValidUtf8(escaped));
    for (size_t i = 0; i < escaped.size(); ++i) {
        const auto byte = static_cast<uint8_t>(escaped[i]);
        check(byte >= 0x20 && byte != 0x7F);
        // U+0080-U+009F are C2 80 to C2 9F.
        check(!(byte == 0xC2 && i + 1 < escaped.size() && static_cast<uint8_t>(escaped[i + 1]) <= 0x9F));
    }
    check(quarvo::escapeControlCharacters(escaped) == escaped);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 3)
        return 0;
    const uint16_t flags = static_cast<uint16_t>(data[0] | data[1] << 8);
    std::span<const uint8_t> rest(data + 3, size - 3);
    std::span<const uint8_t> stored = rest.first(std::min<size_t>(data[2], rest.size()));
    std::span<const uint8_t> extra = rest.subspan(stored.size());
    std::string_view storedText(reinterpret_cast<const char*>(stored.data()), stored.size());

    std::string text = quarvo::decodeArchiveText(stored, flags);
    check(quarvo::isValidUtf8(text));
    if ((flags & Utf8Flag) && quarvo::isValidUtf8(storedText))
        check(text == storedText);
    checkEscaped(text);

    std::string name = quarvo::decodeEntryName(stored, flags, extra);
    check(quarvo::isValidUtf8(name));
    if (flags & Utf8Flag)
        check(name == text);
    checkEscaped(name);

    check(quarvo::isValidUtf8(quarvo::codePage437ToUtf8(stored)));
    const uint32_t crc = quarvo::crc32OfBytes(stored);
    check(crc == ::crc32(0, stored.data(), static_cast<uInt>(stored.size())));

    // The rest of the input as the UTF-8 name of a Unicode path field that matches the stored name.
    if (extra.size() <= 0xFFFF - 9) {
        std::vector<uint8_t> field = {0x75, 0x70, static_cast<uint8_t>((extra.size() + 5) & 0xFF),
                                      static_cast<uint8_t>((extra.size() + 5) >> 8), 1,
                                      static_cast<uint8_t>(crc), static_cast<uint8_t>(crc >> 8),
                                      static_cast<uint8_t>(crc >> 16), static_cast<uint8_t>(crc >> 24)};
        field.insert(field.end(), extra.begin(), extra.end());
        std::string_view unicode(reinterpret_cast<const char*>(extra.data()), extra.size());
        std::string fromField = quarvo::decodeEntryName(stored, flags & ~Utf8Flag, field);
        if (!extra.empty() && quarvo::isValidUtf8(unicode))
            check(fromField == unicode);
        else
            check(fromField == quarvo::decodeArchiveText(stored, flags & ~Utf8Flag));
    }
    return 0;
}
