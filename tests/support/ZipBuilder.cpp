#include "support/ZipBuilder.h"

namespace quarvo::testing {

void putLE16(std::string& out, uint32_t value)
{
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8 & 0xFF);
}

void putLE32(std::string& out, uint32_t value)
{
    putLE16(out, value & 0xFFFF);
    putLE16(out, value >> 16);
}

void putLE64(std::string& out, uint64_t value)
{
    putLE32(out, static_cast<uint32_t>(value));
    putLE32(out, static_cast<uint32_t>(value >> 32));
}

uint32_t crc32Of(const std::string& bytes)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (char c : bytes) {
        crc ^= static_cast<uint8_t>(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return ~crc;
}

ZipBuilder::Entry ZipBuilder::stored(std::string name, std::string data)
{
    Entry entry;
    entry.name = std::move(name);
    entry.crc32 = crc32Of(data);
    entry.compressedSize = entry.uncompressedSize = static_cast<uint32_t>(data.size());
    entry.data = std::move(data);
    entry.versionNeeded = 10;
    return entry;
}

ZipBuilder::Entry ZipBuilder::deflated(std::string name, std::string compressed, const std::string& original)
{
    Entry entry;
    entry.name = std::move(name);
    entry.method = 8;
    entry.crc32 = crc32Of(original);
    entry.uncompressedSize = static_cast<uint32_t>(original.size());
    entry.compressedSize = static_cast<uint32_t>(compressed.size());
    entry.data = std::move(compressed);
    return entry;
}

ZipBuilder& ZipBuilder::add(Entry entry)
{
    entry.localHeaderOffset = static_cast<uint32_t>(m_bytes.size());
    std::string& out = m_bytes;
    putLE32(out, 0x04034b50);                                // local file header signature "PK\3\4"
    putLE16(out, entry.versionNeeded);                       // version needed to extract
    putLE16(out, entry.flags);                               // general purpose bit flags
    putLE16(out, entry.method);                              // compression method
    putLE16(out, entry.modTime);                             // last modified time, MS-DOS
    putLE16(out, entry.modDate);                             // last modified date, MS-DOS
    putLE32(out, entry.crc32);                               // CRC-32
    putLE32(out, entry.compressedSize);                      // compressed size
    putLE32(out, entry.uncompressedSize);                    // uncompressed size
    putLE16(out, static_cast<uint32_t>(entry.name.size()));  // file name length
    putLE16(out, static_cast<uint32_t>(entry.extra.size())); // extra field length
    out += entry.name;
    out += entry.extra;
    out += entry.data;
    m_entries.push_back(std::move(entry));
    return *this;
}

ZipBuilder& ZipBuilder::appendRaw(const std::string& bytes)
{
    m_bytes += bytes;
    return *this;
}

std::string ZipBuilder::centralHeader(const Entry& entry)
{
    const std::string& name = entry.useCentralName ? entry.centralName : entry.name;
    std::string out;
    putLE32(out, 0x02014b50);                                  // central file header signature "PK\1\2"
    putLE16(out, entry.versionMadeBy);                         // version made by
    putLE16(out, entry.versionNeeded);                         // version needed to extract
    putLE16(out, entry.flags);                                 // general purpose bit flags
    putLE16(out, entry.method);                                // compression method
    putLE16(out, entry.modTime);                               // last modified time
    putLE16(out, entry.modDate);                               // last modified date
    putLE32(out, entry.crc32);                                 // CRC-32
    putLE32(out, entry.compressedSize);                        // compressed size
    putLE32(out, entry.uncompressedSize);                      // uncompressed size
    putLE16(out, static_cast<uint32_t>(name.size()));          // file name length
    putLE16(out, static_cast<uint32_t>(entry.extra.size()));   // extra field length
    putLE16(out, static_cast<uint32_t>(entry.comment.size())); // file comment length
    putLE16(out, entry.diskNumberStart);                       // disk number start
    putLE16(out, entry.internalAttributes);                    // internal file attributes
    putLE32(out, entry.externalAttributes);                    // external file attributes
    putLE32(out, entry.localHeaderOffset);                     // relative offset of local header
    out += name;
    out += entry.extra;
    out += entry.comment;
    return out;
}

std::string ZipBuilder::endRecord(uint16_t thisDisk, uint16_t startDisk, uint16_t onThisDisk, uint16_t total,
                                  uint32_t size, uint32_t offset, const std::string& comment,
                                  int64_t commentLength)
{
    std::string out;
    putLE32(out, 0x06054b50); // end of central directory signature "PK\5\6"
    putLE16(out, thisDisk);   // number of this disk
    putLE16(out, startDisk);  // disk where the central directory starts
    putLE16(out, onThisDisk); // central directory records on this disk
    putLE16(out, total);      // total central directory records
    putLE32(out, size);       // size of the central directory
    putLE32(out, offset);     // offset of the central directory
    putLE16(out, static_cast<uint32_t>(commentLength >= 0 ? commentLength : int64_t(comment.size())));
    out += comment;
    return out;
}

std::string ZipBuilder::zip64EndRecords(uint64_t entries, uint64_t directorySize, uint64_t directoryOffset,
                                        uint64_t recordOffset)
{
    std::string out;
    putLE32(out, 0x06064b50); // ZIP64 end of central directory record signature "PK\6\6"
    putLE64(out, 44);         // size of the rest of this record
    putLE16(out, 0x032D);     // made by Unix, 4.5
    putLE16(out, 45);         // version needed: 4.5
    putLE32(out, 0);          // number of this disk
    putLE32(out, 0);          // disk where the central directory starts
    putLE64(out, entries);    // central directory records on this disk
    putLE64(out, entries);    // total central directory records
    putLE64(out, directorySize);
    putLE64(out, directoryOffset);
    putLE32(out, 0x07064b50); // ZIP64 end of central directory locator signature "PK\6\7"
    putLE32(out, 0);          // disk with the ZIP64 end record
    putLE64(out, recordOffset);
    putLE32(out, 1); // total number of disks
    return out;
}

std::string ZipBuilder::zip64Extra(std::initializer_list<uint64_t> values)
{
    std::string out;
    putLE16(out, 0x0001); // ZIP64 extended information
    putLE16(out, static_cast<uint32_t>(8 * values.size()));
    for (uint64_t value : values)
        putLE64(out, value);
    return out;
}

std::string ZipBuilder::finish()
{
    return finish(End{});
}

std::string ZipBuilder::finish(const End& end)
{
    uint32_t directoryOffset = static_cast<uint32_t>(m_bytes.size());
    for (const Entry& entry : m_entries)
        m_bytes += centralHeader(entry);
    uint32_t directorySize = static_cast<uint32_t>(m_bytes.size()) - directoryOffset;
    auto pick = [](int64_t given, uint32_t computed) {
        return given >= 0 ? static_cast<uint32_t>(given) : computed;
    };
    uint32_t count = static_cast<uint32_t>(m_entries.size());
    m_bytes += endRecord(
        static_cast<uint16_t>(pick(end.thisDisk, 0)), static_cast<uint16_t>(pick(end.directoryStartDisk, 0)),
        static_cast<uint16_t>(pick(end.entriesOnThisDisk, count)),
        static_cast<uint16_t>(pick(end.entriesTotal, count)), pick(end.directorySize, directorySize),
        pick(end.directoryOffset, directoryOffset), end.comment, end.commentLength);
    return m_bytes;
}

std::string ZipBuilder::emptyEntries(size_t count, const std::string& stub)
{
    ZipBuilder builder;
    builder.appendRaw(stub);
    for (size_t i = 0; i < count; ++i)
        builder.add(stored("e" + std::to_string(i), ""));
    const uint64_t directoryOffset = builder.size();
    std::string directory;
    for (const Entry& entry : builder.entries())
        directory += centralHeader(entry);
    std::string archive = builder.m_bytes + directory;
    const bool zip64 = count >= 0xFFFF;
    if (zip64)
        archive += zip64EndRecords(count, directory.size(), directoryOffset, archive.size());
    const uint16_t counted = zip64 ? 0xFFFF : static_cast<uint16_t>(count);
    return archive + endRecord(0, 0, counted, counted, static_cast<uint32_t>(directory.size()),
                               static_cast<uint32_t>(directoryOffset), "");
}

} // namespace quarvo::testing
