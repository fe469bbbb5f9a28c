#pragma once

#include "core/base/Result.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace quarvo {

struct ZipEntry;

// The seven fields of an end of central directory record, in file order.
struct EndRecordFields {
    uint16_t thisDisk = 0;
    uint16_t directoryStartDisk = 0;
    uint16_t entriesOnThisDisk = 0;
    uint16_t entriesTotal = 0;
    uint32_t directorySize = 0;
    uint32_t directoryOffset = 0;
    uint16_t commentLength = 0;

    bool operator==(const EndRecordFields&) const = default;
};

// The sixteen fields of a central directory file header, in file order.
struct CentralHeaderFields {
    uint16_t versionMadeBy = 0;
    uint16_t versionNeeded = 0;
    uint16_t flags = 0;
    uint16_t method = 0;
    uint16_t modTime = 0;
    uint16_t modDate = 0;
    uint32_t crc32 = 0;
    uint32_t compressedSize = 0;
    uint32_t uncompressedSize = 0;
    uint16_t nameLength = 0;
    uint16_t extraLength = 0;
    uint16_t commentLength = 0;
    uint16_t diskNumberStart = 0;
    uint16_t internalAttributes = 0;
    uint32_t externalAttributes = 0;
    uint32_t localHeaderOffset = 0;
};

// A whole central directory file header; the spans point into the parsed bytes.
struct CentralHeader {
    CentralHeaderFields fields;
    std::span<const uint8_t> name;
    std::span<const uint8_t> extra;
    std::span<const uint8_t> comment;
    // Bytes of the record: signature, fixed part, name, extra field and comment.
    size_t recordSize = 0;
};

// The fields of a local file header, in file order.
struct LocalHeaderFields {
    uint16_t versionNeeded = 0;
    uint16_t flags = 0;
    uint16_t method = 0;
    uint16_t modTime = 0;
    uint16_t modDate = 0;
    uint32_t crc32 = 0;
    uint32_t compressedSize = 0;
    uint32_t uncompressedSize = 0;
    uint16_t nameLength = 0;
    uint16_t extraLength = 0;
};

// A whole local file header; the spans point into the parsed bytes.
struct LocalHeader {
    LocalHeaderFields fields;
    std::span<const uint8_t> name;
    std::span<const uint8_t> extra;
    // Bytes from the signature to the first byte of the entry's data.
    size_t recordSize = 0;
};

// The data descriptor that follows an entry's data when flag bit 3 is set.
struct DataDescriptor {
    uint32_t crc32 = 0;
    uint32_t compressedSize = 0;
    uint32_t uncompressedSize = 0;
    // 16 with the optional signature, 12 without.
    size_t recordSize = 0;
};

// Parses the 18 bytes that follow an end record's signature. Fails when fewer are given.
Result<EndRecordFields> parseEndRecordFields(std::span<const uint8_t> bytes);

// Parses the 42 bytes that follow a central header's signature. Fails when fewer are given.
Result<CentralHeaderFields> parseCentralHeaderFields(std::span<const uint8_t> bytes);

// Parses a central directory file header starting at its signature, with its name, extra field and
// comment. Fails on a wrong signature or when any declared length runs past the bytes given.
Result<CentralHeader> parseCentralHeader(std::span<const uint8_t> bytes);

// Parses a local file header starting at its signature, with its name and extra field. Fails on a
// wrong signature or when a declared length runs past the bytes given.
Result<LocalHeader> parseLocalHeader(std::span<const uint8_t> bytes);

// Parses a data descriptor, with or without its optional signature. When the first four bytes equal
// the signature they are taken as one, which is how every reader of the format settles the
// ambiguity. Fails when the bytes do not hold a whole descriptor.
Result<DataDescriptor> parseDataDescriptor(std::span<const uint8_t> bytes);

// The data of the first extra-field block with the given header id, or nothing. Blocks whose
// declared size runs past the field end the walk.
std::optional<std::span<const uint8_t>> findExtraBlock(std::span<const uint8_t> extraField,
                                                       uint16_t headerId);

// What a ZIP64 extra field made of a header's saturated fields.
enum class Zip64Fields {
    Resolved, // every saturated field now holds its value (or none was saturated)
    TooLarge, // a saturated field has no ZIP64 value to stand for it
    Damaged,  // the field is too short or a value lies beyond the end of the file
};

// A header's sizes, local header offset and disk, at their full width.
struct WideHeaderValues {
    uint64_t uncompressedSize = 0;
    uint64_t compressedSize = 0;
    uint64_t localHeaderOffset = 0;
    uint32_t diskNumberStart = 0;

    bool operator==(const WideHeaderValues&) const = default;
};

// The values of a central header, each saturated field (0xFFFFFFFF, 0xFFFF for the disk) taken from
// its ZIP64 extra field, which holds only the saturated ones, in the order uncompressed size,
// compressed size, local header offset, disk. Resolved, or TooLarge when a saturated field has no
// value there (a reader may still take the field as it stands), or Damaged when the extra field is
// too short or a compressed size or offset lies beyond fileSize. Values are filled either way, with
// the fields as they stand where nothing better is known.
Zip64Fields widenCentralFields(const CentralHeaderFields& fields, std::span<const uint8_t> extraField,
                               uint64_t fileSize, WideHeaderValues& values);

// The same for a local header's sizes (it has no offset or disk).
Zip64Fields widenLocalFields(const LocalHeaderFields& fields, std::span<const uint8_t> extraField,
                             uint64_t fileSize, WideHeaderValues& values);

// Copies the sixteen header fields into an entry.
void assignHeaderFields(ZipEntry& entry, const CentralHeaderFields& fields);

// Writers for the same records, for the compression engine and for tests. Each appends the whole
// record, signature first, to out. The lengths in the fields are ignored: the given name, extra
// field and comment decide them (each must be at most 65535 bytes; longer ones are cut, so callers
// check before).
void appendLocalHeader(std::vector<uint8_t>& out, const LocalHeaderFields& fields, std::string_view name,
                       std::string_view extraField = {});
void appendCentralHeader(std::vector<uint8_t>& out, const CentralHeaderFields& fields, std::string_view name,
                         std::string_view extraField = {}, std::string_view comment = {});
void appendDataDescriptor(std::vector<uint8_t>& out, uint32_t crc32, uint32_t compressedSize,
                          uint32_t uncompressedSize);
void appendEndRecord(std::vector<uint8_t>& out, const EndRecordFields& fields, std::string_view comment = {});

// Appends a little-endian field; the writers above are built from these.
void appendLE16(std::vector<uint8_t>& out, uint16_t value);
void appendLE32(std::vector<uint8_t>& out, uint32_t value);

// What the directory says about an entry whose data a data descriptor follows.
struct DescriptorExpectation {
    uint32_t crc32 = 0;
    uint64_t compressedSize = 0;
    uint64_t uncompressedSize = 0;
    bool zip64 = false; // the local header has a ZIP64 extra field, so 8-byte sizes are likely
};

// Measures the data descriptor at the start of bytes, which run from the end of an entry's data
// towards the next record; atBoundary says that they end exactly where the next record or the
// directory begins. A descriptor takes four forms: 12 or 16 bytes (without and with its signature)
// with 4-byte sizes, 20 or 24 with 8-byte sizes (Info-ZIP's zip writes those when it reads from a
// pipe). The form chosen is the one whose fields agree with the expectation and that is followed by
// a record signature or the boundary; failing both, the one that agrees, then the one so followed,
// then the width the local header suggests. Nothing when no form fits in bytes.
std::optional<size_t> measureDataDescriptor(std::span<const uint8_t> bytes, bool atBoundary,
                                            const DescriptorExpectation& expected);

} // namespace quarvo
