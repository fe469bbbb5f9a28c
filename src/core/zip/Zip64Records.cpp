#include "core/zip/Zip64Records.h"

#include "core/base/ByteReader.h"
#include "core/zip/ZipFormat.h"
#include "core/zip/ZipRecords.h"

#include <array>
#include <span>

namespace quarvo {

namespace {

void putLE16(std::string& out, uint16_t value)
{
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>(value >> 8));
}

void putLE64(std::string& out, uint64_t value)
{
    for (int shift = 0; shift < 64; shift += 8)
        out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

} // namespace

std::string makeZip64ExtraBlock(const Zip64ExtraValues& values)
{
    std::string data;
    for (const std::optional<uint64_t>& value :
         {values.uncompressedSize, values.compressedSize, values.localHeaderOffset}) {
        if (value)
            putLE64(data, *value);
    }
    std::string block;
    putLE16(block, zipformat::extra::Zip64);
    putLE16(block, static_cast<uint16_t>(data.size()));
    return block + data;
}

std::string withoutExtraBlock(std::string_view extraField, uint16_t headerId)
{
    const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(extraField.data()), extraField.size());
    std::string kept;
    ByteReader reader(bytes);
    while (reader.remaining() >= zipformat::extra::BlockHeaderSize) {
        const size_t start = reader.offset();
        const uint16_t id = reader.readLE16();
        const uint16_t size = reader.readLE16();
        reader.take(size);
        if (!reader.ok())
            return kept + std::string(extraField.substr(start));
        if (id != headerId)
            kept += extraField.substr(start, reader.offset() - start);
    }
    return kept + std::string(extraField.substr(reader.offset()));
}

void appendLE64(std::vector<uint8_t>& out, uint64_t value)
{
    appendLE32(out, static_cast<uint32_t>(value));
    appendLE32(out, static_cast<uint32_t>(value >> 32));
}

void appendZip64EndRecords(std::vector<uint8_t>& out, const Zip64EndValues& values, uint64_t recordOffset)
{
    // The record's size field counts the bytes after itself: everything but signature and field.
    constexpr uint64_t sizeFieldValue = zipformat::Zip64EndRecordSize - zipformat::SignatureSize - 8;
    appendLE32(out, zipformat::Zip64EndRecordSignature);
    appendLE64(out, sizeFieldValue);
    appendLE16(out, values.versionMadeBy);
    appendLE16(out, zipformat::version::Zip64);
    appendLE32(out, 0); // this disk
    appendLE32(out, 0); // the disk where the directory starts
    appendLE64(out, values.entries); // on this disk
    appendLE64(out, values.entries); // in all
    appendLE64(out, values.directorySize);
    appendLE64(out, values.directoryOffset);

    appendLE32(out, zipformat::Zip64EndLocatorSignature);
    appendLE32(out, 0); // the disk of the ZIP64 end record
    appendLE64(out, recordOffset);
    appendLE32(out, 1); // disks in all
}

void appendZip64DataDescriptor(std::vector<uint8_t>& out, uint32_t crc32, uint64_t compressedSize,
                               uint64_t uncompressedSize)
{
    appendLE32(out, zipformat::DataDescriptorSignature);
    appendLE32(out, crc32);
    appendLE64(out, compressedSize);
    appendLE64(out, uncompressedSize);
}

} // namespace quarvo
