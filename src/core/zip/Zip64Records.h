#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quarvo {

// When a writer needs ZIP64 records (APPNOTE 4.4.1.4): a 32-bit field holding 0xFFFFFFFF, or a
// 16-bit count holding 0xFFFF, means "the value is in the ZIP64 record", so a value equal to the
// marker needs ZIP64 just as a larger one does. A plain archive thus holds at most 65,534 entries
// and sizes and offsets up to 0xFFFFFFFE, which is also how the program's readers take such fields.
constexpr bool valueNeedsZip64(uint64_t value)
{
    return value >= 0xFFFFFFFFull;
}
constexpr bool countNeedsZip64(uint64_t count)
{
    return count >= 0xFFFFull;
}

// The values a ZIP64 extended information extra field (4.5.3) stands for; each one present is
// written, in the format's order, and its header field is saturated.
struct Zip64ExtraValues {
    std::optional<uint64_t> uncompressedSize;
    std::optional<uint64_t> compressedSize;
    std::optional<uint64_t> localHeaderOffset;

    bool empty() const { return !uncompressedSize && !compressedSize && !localHeaderOffset; }
};

// The whole extra-field block: id 0x0001, data size, then the values present at 8 bytes each.
std::string makeZip64ExtraBlock(const Zip64ExtraValues& values);

// The extra field without any block of the given id (a block whose size runs past the field ends
// the walk, and the rest is kept as it stands).
std::string withoutExtraBlock(std::string_view extraField, uint16_t headerId);

// The values of a ZIP64 end of central directory record (4.3.14) of a single-disk archive.
struct Zip64EndValues {
    uint16_t versionMadeBy = 0;
    uint64_t entries = 0;
    uint64_t directorySize = 0;
    uint64_t directoryOffset = 0;
};

// Appends the ZIP64 end record (without extensible data), then the locator (4.3.15) naming it at
// recordOffset, which is where out's new bytes start in the file.
void appendZip64EndRecords(std::vector<uint8_t>& out, const Zip64EndValues& values, uint64_t recordOffset);

// Appends a data descriptor with its signature and 8-byte sizes (4.3.9.2), the form a reader
// expects after a local header that carries a ZIP64 extra field.
void appendZip64DataDescriptor(std::vector<uint8_t>& out, uint32_t crc32, uint64_t compressedSize,
                               uint64_t uncompressedSize);

void appendLE64(std::vector<uint8_t>& out, uint64_t value);

} // namespace quarvo
