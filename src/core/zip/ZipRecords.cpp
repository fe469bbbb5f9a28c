#include "core/zip/ZipRecords.h"

#include "core/base/ByteReader.h"
#include "core/zip/ZipEntry.h"
#include "core/zip/ZipFormat.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace quarvo {

namespace {

Error truncated(const char* record)
{
    return Error{std::string("truncated ") + record};
}

CentralHeaderFields readCentralFields(ByteReader& reader)
{
    CentralHeaderFields fields;
    fields.versionMadeBy = reader.readLE16();
    fields.versionNeeded = reader.readLE16();
    fields.flags = reader.readLE16();
    fields.method = reader.readLE16();
    fields.modTime = reader.readLE16();
    fields.modDate = reader.readLE16();
    fields.crc32 = reader.readLE32();
    fields.compressedSize = reader.readLE32();
    fields.uncompressedSize = reader.readLE32();
    fields.nameLength = reader.readLE16();
    fields.extraLength = reader.readLE16();
    fields.commentLength = reader.readLE16();
    fields.diskNumberStart = reader.readLE16();
    fields.internalAttributes = reader.readLE16();
    fields.externalAttributes = reader.readLE32();
    fields.localHeaderOffset = reader.readLE32();
    return fields;
}

std::string_view capped(std::string_view text)
{
    return text.substr(0, zipformat::Max16);
}

void appendBytes(std::vector<uint8_t>& out, std::string_view bytes)
{
    out.insert(out.end(), bytes.begin(), bytes.end());
}

} // namespace

Result<EndRecordFields> parseEndRecordFields(std::span<const uint8_t> bytes)
{
    ByteReader reader(bytes);
    EndRecordFields fields;
    fields.thisDisk = reader.readLE16();
    fields.directoryStartDisk = reader.readLE16();
    fields.entriesOnThisDisk = reader.readLE16();
    fields.entriesTotal = reader.readLE16();
    fields.directorySize = reader.readLE32();
    fields.directoryOffset = reader.readLE32();
    fields.commentLength = reader.readLE16();
    if (!reader.ok())
        return truncated("end of central directory record");
    return fields;
}

Result<CentralHeaderFields> parseCentralHeaderFields(std::span<const uint8_t> bytes)
{
    ByteReader reader(bytes);
    CentralHeaderFields fields = readCentralFields(reader);
    if (!reader.ok())
        return truncated("central directory header");
    return fields;
}

Result<CentralHeader> parseCentralHeader(std::span<const uint8_t> bytes)
{
    ByteReader reader(bytes);
    if (reader.readLE32() != zipformat::CentralHeaderSignature)
        return Error{reader.ok() ? "not a central directory header" : "truncated central directory header"};
    CentralHeader header;
    header.fields = readCentralFields(reader);
    if (!reader.ok())
        return truncated("central directory header");
    header.name = reader.take(header.fields.nameLength);
    header.extra = reader.take(header.fields.extraLength);
    header.comment = reader.take(header.fields.commentLength);
    if (!reader.ok())
        return Error{"central directory header runs past the end of the directory"};
    header.recordSize = reader.offset();
    return header;
}

Result<LocalHeader> parseLocalHeader(std::span<const uint8_t> bytes)
{
    ByteReader reader(bytes);
    if (reader.readLE32() != zipformat::LocalHeaderSignature)
        return Error{reader.ok() ? "not a local file header" : "truncated local file header"};
    LocalHeader header;
    header.fields.versionNeeded = reader.readLE16();
    header.fields.flags = reader.readLE16();
    header.fields.method = reader.readLE16();
    header.fields.modTime = reader.readLE16();
    header.fields.modDate = reader.readLE16();
    header.fields.crc32 = reader.readLE32();
    header.fields.compressedSize = reader.readLE32();
    header.fields.uncompressedSize = reader.readLE32();
    header.fields.nameLength = reader.readLE16();
    header.fields.extraLength = reader.readLE16();
    if (!reader.ok())
        return truncated("local file header");
    header.name = reader.take(header.fields.nameLength);
    header.extra = reader.take(header.fields.extraLength);
    if (!reader.ok())
        return Error{"local file header runs past the end of the file"};
    header.recordSize = reader.offset();
    return header;
}

Result<DataDescriptor> parseDataDescriptor(std::span<const uint8_t> bytes)
{
    ByteReader reader(bytes);
    DataDescriptor descriptor;
    uint32_t first = reader.readLE32();
    if (first == zipformat::DataDescriptorSignature && reader.remaining() >= zipformat::DataDescriptorSize) {
        descriptor.crc32 = reader.readLE32();
    } else {
        descriptor.crc32 = first;
    }
    descriptor.compressedSize = reader.readLE32();
    descriptor.uncompressedSize = reader.readLE32();
    if (!reader.ok())
        return truncated("data descriptor");
    descriptor.recordSize = reader.offset();
    return descriptor;
}

std::optional<std::span<const uint8_t>> findExtraBlock(std::span<const uint8_t> extraField, uint16_t headerId)
{
    ByteReader reader(extraField);
    while (reader.remaining() >= zipformat::extra::BlockHeaderSize) {
        uint16_t id = reader.readLE16();
        uint16_t size = reader.readLE16();
        std::span<const uint8_t> data = reader.take(size);
        if (!reader.ok())
            return std::nullopt;
        if (id == headerId)
            return data;
    }
    return std::nullopt;
}

namespace {

// One field of a header that a ZIP64 extra field may hold, in the order the field keeps them.
struct WideField {
    uint64_t* value;
    uint64_t saturated;
    uint64_t limit;
    size_t width; // bytes in the ZIP64 extra field
};

Zip64Fields widenFields(std::span<const WideField> order, std::span<const uint8_t> extraField)
{
    const bool saturated =
        std::any_of(order.begin(), order.end(), [](const WideField& f) { return *f.value == f.saturated; });
    if (!saturated)
        return Zip64Fields::Resolved;
    std::optional<std::span<const uint8_t>> block = findExtraBlock(extraField, zipformat::extra::Zip64);
    if (!block)
        return Zip64Fields::TooLarge;
    ByteReader reader(*block);
    for (const WideField& field : order) {
        if (*field.value != field.saturated)
            continue;
        const uint64_t value = field.width == 8 ? reader.readLE64() : reader.readLE32();
        if (!reader.ok())
            return Zip64Fields::Damaged;
        if (value > field.limit)
            return Zip64Fields::Damaged;
        *field.value = value;
    }
    return Zip64Fields::Resolved;
}

} // namespace

Zip64Fields widenCentralFields(const CentralHeaderFields& fields, std::span<const uint8_t> extraField,
                               uint64_t fileSize, WideHeaderValues& values)
{
    values.uncompressedSize = fields.uncompressedSize;
    values.compressedSize = fields.compressedSize;
    values.localHeaderOffset = fields.localHeaderOffset;
    uint64_t disk = fields.diskNumberStart;
    const std::array<WideField, 4> order = {
        WideField{&values.uncompressedSize, zipformat::Max32, UINT64_MAX, 8},
        WideField{&values.compressedSize, zipformat::Max32, fileSize, 8},
        WideField{&values.localHeaderOffset, zipformat::Max32, fileSize, 8},
        WideField{&disk, zipformat::Max16, UINT32_MAX, 4},
    };
    const Zip64Fields result = widenFields(order, extraField);
    values.diskNumberStart = static_cast<uint32_t>(disk);
    return result;
}

Zip64Fields widenLocalFields(const LocalHeaderFields& fields, std::span<const uint8_t> extraField,
                             uint64_t fileSize, WideHeaderValues& values)
{
    values.uncompressedSize = fields.uncompressedSize;
    values.compressedSize = fields.compressedSize;
    values.localHeaderOffset = 0;
    values.diskNumberStart = 0;
    const std::array<WideField, 2> order = {
        WideField{&values.uncompressedSize, zipformat::Max32, UINT64_MAX, 8},
        WideField{&values.compressedSize, zipformat::Max32, fileSize, 8},
    };
    return widenFields(order, extraField);
}

void assignHeaderFields(ZipEntry& entry, const CentralHeaderFields& fields)
{
    entry.versionMadeBy = fields.versionMadeBy;
    entry.versionNeeded = fields.versionNeeded;
    entry.flags = fields.flags;
    entry.method = fields.method;
    entry.modTime = fields.modTime;
    entry.modDate = fields.modDate;
    entry.crc32 = fields.crc32;
    entry.compressedSize = fields.compressedSize;
    entry.uncompressedSize = fields.uncompressedSize;
    entry.nameLength = fields.nameLength;
    entry.extraLength = fields.extraLength;
    entry.commentLength = fields.commentLength;
    entry.diskNumberStart = fields.diskNumberStart;
    entry.internalAttributes = fields.internalAttributes;
    entry.externalAttributes = fields.externalAttributes;
    entry.localHeaderOffset = fields.localHeaderOffset;
}

void appendLE16(std::vector<uint8_t>& out, uint16_t value)
{
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void appendLE32(std::vector<uint8_t>& out, uint32_t value)
{
    appendLE16(out, static_cast<uint16_t>(value));
    appendLE16(out, static_cast<uint16_t>(value >> 16));
}

void appendLocalHeader(std::vector<uint8_t>& out, const LocalHeaderFields& fields, std::string_view name,
                       std::string_view extraField)
{
    name = capped(name);
    extraField = capped(extraField);
    appendLE32(out, zipformat::LocalHeaderSignature);
    appendLE16(out, fields.versionNeeded);
    appendLE16(out, fields.flags);
    appendLE16(out, fields.method);
    appendLE16(out, fields.modTime);
    appendLE16(out, fields.modDate);
    appendLE32(out, fields.crc32);
    appendLE32(out, fields.compressedSize);
    appendLE32(out, fields.uncompressedSize);
    appendLE16(out, static_cast<uint16_t>(name.size()));
    appendLE16(out, static_cast<uint16_t>(extraField.size()));
    appendBytes(out, name);
    appendBytes(out, extraField);
}

void appendCentralHeader(std::vector<uint8_t>& out, const CentralHeaderFields& fields, std::string_view name,
                         std::string_view extraField, std::string_view comment)
{
    name = capped(name);
    extraField = capped(extraField);
    comment = capped(comment);
    appendLE32(out, zipformat::CentralHeaderSignature);
    appendLE16(out, fields.versionMadeBy);
    appendLE16(out, fields.versionNeeded);
    appendLE16(out, fields.flags);
    appendLE16(out, fields.method);
    appendLE16(out, fields.modTime);
    appendLE16(out, fields.modDate);
    appendLE32(out, fields.crc32);
    appendLE32(out, fields.compressedSize);
    appendLE32(out, fields.uncompressedSize);
    appendLE16(out, static_cast<uint16_t>(name.size()));
    appendLE16(out, static_cast<uint16_t>(extraField.size()));
    appendLE16(out, static_cast<uint16_t>(comment.size()));
    appendLE16(out, fields.diskNumberStart);
    appendLE16(out, fields.internalAttributes);
    appendLE32(out, fields.externalAttributes);
    appendLE32(out, fields.localHeaderOffset);
    appendBytes(out, name);
    appendBytes(out, extraField);
    appendBytes(out, comment);
}

void appendDataDescriptor(std::vector<uint8_t>& out, uint32_t crc32, uint32_t compressedSize,
                          uint32_t uncompressedSize)
{
    appendLE32(out, zipformat::DataDescriptorSignature);
    appendLE32(out, crc32);
    appendLE32(out, compressedSize);
    appendLE32(out, uncompressedSize);
}

void appendEndRecord(std::vector<uint8_t>& out, const EndRecordFields& fields, std::string_view comment)
{
    comment = capped(comment);
    appendLE32(out, zipformat::EndRecordSignature);
    appendLE16(out, fields.thisDisk);
    appendLE16(out, fields.directoryStartDisk);
    appendLE16(out, fields.entriesOnThisDisk);
    appendLE16(out, fields.entriesTotal);
    appendLE32(out, fields.directorySize);
    appendLE32(out, fields.directoryOffset);
    appendLE16(out, static_cast<uint16_t>(comment.size()));
    appendBytes(out, comment);
}

namespace {

bool isRecordSignature(uint32_t value)
{
    using namespace zipformat;
    return value == LocalHeaderSignature || value == CentralHeaderSignature ||
           value == DigitalSignatureSignature || value == Zip64EndRecordSignature ||
           value == Zip64EndLocatorSignature || value == EndRecordSignature;
}

uint32_t signatureAt(std::span<const uint8_t> bytes, size_t offset)
{
    ByteReader reader(bytes.subspan(std::min(offset, bytes.size())));
    return reader.readLE32();
}

} // namespace

std::optional<size_t> measureDataDescriptor(std::span<const uint8_t> bytes, bool atBoundary,
                                            const DescriptorExpectation& expected)
{
    struct Form {
        bool signature;
        bool wide;
    };
    // With the signature first: when the first four bytes equal it, they are taken as one unless
    // only the reading without it agrees with the directory.
    constexpr std::array<Form, 4> forms = {{{true, false}, {true, true}, {false, false}, {false, true}}};
    const bool signed_ = signatureAt(bytes, 0) == zipformat::DataDescriptorSignature;
    std::optional<size_t> best;
    int bestRank = -1;
    for (const Form& form : forms) {
        const size_t lead = form.signature ? zipformat::SignatureSize : 0;
        const size_t size =
            lead + (form.wide ? zipformat::Zip64DataDescriptorSize : zipformat::DataDescriptorSize);
        if (size > bytes.size() || (form.signature && !signed_))
            continue;
        ByteReader reader(bytes.subspan(lead));
        const uint32_t crc = reader.readLE32();
        const uint64_t compressed = form.wide ? reader.readLE64() : reader.readLE32();
        const uint64_t uncompressed = form.wide ? reader.readLE64() : reader.readLE32();
        const bool agrees = crc == expected.crc32 && compressed == expected.compressedSize &&
                            uncompressed == expected.uncompressedSize;
        const bool followed = size == bytes.size() ? atBoundary
                                                   : bytes.size() >= size + zipformat::SignatureSize &&
                                                         isRecordSignature(signatureAt(bytes, size));
        const int rank = (agrees ? 4 : 0) + (followed ? 2 : 0) + (form.wide == expected.zip64 ? 1 : 0);
        if (rank > bestRank) {
            best = size;
            bestRank = rank;
        }
    }
    return best;
}

} // namespace quarvo
