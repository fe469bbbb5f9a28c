#include "core/convert/ArchiveConverter.h"

#include "core/base/ByteReader.h"
#include "core/convert/DosStub.h"
#include "core/convert/ShortNames.h"
#include "core/convert/WindowsImage.h"
#include "core/zip/ArchiveFile.h"
#include "core/zip/EndRecordSearch.h"
#include "core/zip/ZipFormat.h"
#include "core/zip/ZipRecords.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

namespace quarvo {

namespace {

namespace zf = zipformat;

constexpr size_t CopyBlockSize = 64 * 1024;
// The longest data descriptor (signature and 8-byte sizes), and the signature after it that tells
// where it ends.
constexpr size_t DescriptorLookahead = zf::SignatureSize + zf::Zip64DataDescriptorSize + zf::SignatureSize;
// ZIP64 end record (APPNOTE 4.3.14): what its "size of the record" field counts, the 56 bytes less
// the signature and the field itself.
constexpr uint64_t Zip64EndRecordRemainder = zf::Zip64EndRecordSize - 12;

ConvertError damaged(std::string detail)
{
    return {ConvertFailure::DamagedArchive, std::move(detail)};
}

ConvertError unreadable()
{
    return {ConvertFailure::SourceUnreadable, "a read ended early"};
}

std::string_view asText(std::span<const uint8_t> bytes)
{
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

// One entry as the central directory gives it, and where its local record lies in the source.
struct SourceEntry {
    CentralHeader central; // spans into the directory bytes, which outlive it
    WideHeaderValues wide;
    uint64_t localOffset = 0; // in the source file, any prefix counted
    uint64_t recordEnd = 0;   // where the next record or the directory begins
};

// Where an entry went in the new file and under which name.
struct WrittenEntry {
    uint64_t localOffset = 0;
    std::string centralName;
};

// The extra field without its ZIP64 block, and the new ZIP64 block in front when values need one.
std::string rebuiltExtraField(std::span<const uint8_t> extra, const std::vector<uint64_t>& wideValues)
{
    std::vector<uint8_t> out;
    if (!wideValues.empty()) {
        appendLE16(out, zf::extra::Zip64);
        appendLE16(out, static_cast<uint16_t>(wideValues.size() * 8));
        for (uint64_t value : wideValues) {
            appendLE32(out, static_cast<uint32_t>(value));
            appendLE32(out, static_cast<uint32_t>(value >> 32));
        }
    }
    ByteReader reader(extra);
    while (reader.remaining() >= zf::extra::BlockHeaderSize) {
        const size_t start = reader.offset();
        const uint16_t id = reader.readLE16();
        const uint16_t size = reader.readLE16();
        std::span<const uint8_t> data = reader.take(size);
        if (!reader.ok()) {
            // A block that runs past the field is kept as it stands: readers stop at it anyway.
            out.insert(out.end(), extra.begin() + static_cast<std::ptrdiff_t>(start), extra.end());
            return std::string(asText(out));
        }
        if (id == zf::extra::Zip64)
            continue;
        out.insert(out.end(), extra.begin() + static_cast<std::ptrdiff_t>(start), data.end());
    }
    out.insert(out.end(), extra.begin() + static_cast<std::ptrdiff_t>(extra.size() - reader.remaining()),
               extra.end());
    return std::string(asText(out));
}

class ConvertedArchiveWriter {
  public:
    ConvertedArchiveWriter(ByteSource& source, ReplacingFile& out, ConversionMode mode)
        : m_source(source), m_out(out), m_mode(mode)
    {
    }

    Result<Ok, ConvertError> write(const ConversionStubs& stubs);

  private:
    bool shortensNames() const
    {
        return m_mode == ConversionMode::DosExe || m_mode == ConversionMode::WindowsExe;
    }
    Result<Ok, ConvertError> writeProgramPart(const ConversionStubs& stubs);
    Result<Ok, ConvertError> readDirectory();
    Result<Ok, ConvertError> parseEntries();
    Result<Ok, ConvertError> copyEntry(const SourceEntry& entry);
    Result<Ok, ConvertError> copyBytes(uint64_t offset, uint64_t count);
    Result<uint64_t, ConvertError> descriptorLength(const SourceEntry& entry, const LocalHeader& local,
                                                    uint64_t dataEnd);
    Result<Ok, ConvertError> writeCentralHeader(const SourceEntry& entry, const WrittenEntry& written);
    Result<Ok, ConvertError> writeEndRecords(uint64_t directoryStart);
    bool put(std::span<const uint8_t> bytes) { return m_out.write(bytes); }
    Result<Ok, ConvertError> writeFailed() const
    {
        return ConvertError{ConvertFailure::WriteFailed, "a write failed"};
    }

    ByteSource& m_source;
    ReplacingFile& m_out;
    ConversionMode m_mode;
    ShortNameMap m_shortNames;
    EndRecordCandidate m_endRecord;
    DirectoryLocation m_location;
    std::vector<uint8_t> m_directory;
    std::vector<SourceEntry> m_entries;
    std::vector<WrittenEntry> m_written;
};

Result<Ok, ConvertError> ConvertedArchiveWriter::write(const ConversionStubs& stubs)
{
    if (Result<Ok, ConvertError> done = readDirectory(); !done)
        return done;
    if (Result<Ok, ConvertError> done = parseEntries(); !done)
        return done;
    if (Result<Ok, ConvertError> done = writeProgramPart(stubs); !done)
        return done;
    for (const SourceEntry& entry : m_entries) {
        if (Result<Ok, ConvertError> done = copyEntry(entry); !done)
            return done;
    }
    const uint64_t directoryStart = m_out.position();
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (Result<Ok, ConvertError> done = writeCentralHeader(m_entries[i], m_written[i]); !done)
            return done;
    }
    return writeEndRecords(directoryStart);
}

Result<Ok, ConvertError> ConvertedArchiveWriter::writeProgramPart(const ConversionStubs& stubs)
{
    switch (m_mode) {
    case ConversionMode::Zip:
        return Ok{};
    case ConversionMode::LinuxExtractor:
        if (stubs.linuxExtractor.empty())
            return ConvertError{ConvertFailure::MissingExtractor, {}};
        return put(stubs.linuxExtractor) ? Result<Ok, ConvertError>(Ok{}) : writeFailed();
    case ConversionMode::DosExe:
    case ConversionMode::WindowsExe:
        break;
    }
    Result<DosStubLayout, ConvertError> stub = layOutDosStub(stubs.dosStub);
    if (!stub)
        return stub.error();
    const std::vector<uint8_t> padding(stub->paddedLength - stub->programLength, 0);
    if (!put(stub->program) || !put(padding))
        return writeFailed();
    if (m_mode == ConversionMode::WindowsExe) {
        Result<std::vector<uint8_t>, ConvertError> image =
            relocateWindowsImage(stubs.windowsImageRecord, stub->paddedLength);
        if (!image)
            return image.error();
        if (!put(*image))
            return writeFailed();
    }
    return Ok{};
}

Result<Ok, ConvertError> ConvertedArchiveWriter::readDirectory()
{
    Result<std::optional<EndRecordCandidate>> chosen = chooseEndRecord(m_source);
    if (!chosen)
        return unreadable();
    if (!chosen->has_value())
        return ConvertError{ConvertFailure::NotAnArchive, "it has no end of central directory record"};
    m_endRecord = **chosen;
    if (m_endRecord.fields.thisDisk != 0 ||
        m_endRecord.fields.entriesOnThisDisk != m_endRecord.fields.entriesTotal)
        return ConvertError{ConvertFailure::SpannedArchive, {}};
    m_location = locateDirectory(m_source, m_endRecord);
    if (m_location.fit == DirectoryLocation::Fit::None ||
        lacksUsableZip64EndRecord(m_endRecord.fields, m_location))
        return damaged("its central directory is not where its end record says");
    m_directory.resize(m_location.size);
    if (m_source.readAt(m_location.start, m_directory) != m_directory.size())
        return unreadable();
    return Ok{};
}

Result<Ok, ConvertError> ConvertedArchiveWriter::parseEntries()
{
    std::span<const uint8_t> rest(m_directory);
    while (!rest.empty()) {
        Result<CentralHeader> header = parseCentralHeader(rest);
        if (!header)
            return damaged("central directory record " + std::to_string(m_entries.size() + 1) + ": " +
                           header.error().message);
        SourceEntry entry;
        entry.central = *header;
        if (widenCentralFields(header->fields, header->extra, m_source.size(), entry.wide) ==
            Zip64Fields::Damaged)
            return damaged("the ZIP64 field of central directory record " +
                           std::to_string(m_entries.size() + 1));
        entry.localOffset = entry.wide.localHeaderOffset + m_location.prependedLength;
        m_entries.push_back(entry);
        rest = rest.subspan(header->recordSize);
    }
    if (m_entries.size() != m_location.entriesTotal)
        return damaged("its end record counts " + std::to_string(m_location.entriesTotal) +
                       " entries, its directory " + std::to_string(m_entries.size()));
    // Each record ends where the next one in the file begins, or where the directory does; two
    // entries at one offset would share their data, and a record past the directory lies.
    std::vector<uint64_t> starts;
    for (const SourceEntry& entry : m_entries)
        starts.push_back(entry.localOffset);
    std::sort(starts.begin(), starts.end());
    if (std::adjacent_find(starts.begin(), starts.end()) != starts.end())
        return damaged("two entries share one local record");
    for (SourceEntry& entry : m_entries) {
        auto next = std::upper_bound(starts.begin(), starts.end(), entry.localOffset);
        entry.recordEnd = next == starts.end() ? m_location.start : *next;
        if (entry.localOffset >= m_location.start)
            return damaged("a local record lies past the central directory");
    }
    return Ok{};
}

Result<Ok, ConvertError> ConvertedArchiveWriter::copyBytes(uint64_t offset, uint64_t count)
{
    std::vector<uint8_t> block(static_cast<size_t>(std::min<uint64_t>(count, CopyBlockSize)));
    while (count > 0) {
        std::span<uint8_t> piece(block.data(), static_cast<size_t>(std::min<uint64_t>(count, block.size())));
        if (m_source.readAt(offset, piece) != piece.size())
            return unreadable();
        if (!put(piece))
            return writeFailed();
        offset += piece.size();
        count -= piece.size();
    }
    return Ok{};
}

Result<uint64_t, ConvertError>
ConvertedArchiveWriter::descriptorLength(const SourceEntry& entry, const LocalHeader& local, uint64_t dataEnd)
{
    // Either header may be the one that says so: the central one drives the copy, and the local one
    // tells what really follows the data.
    if (!((local.fields.flags | entry.central.fields.flags) & zf::flag::DataDescriptor))
        return uint64_t{0};
    const uint64_t available = std::min<uint64_t>(entry.recordEnd - dataEnd, DescriptorLookahead);
    std::vector<uint8_t> bytes(static_cast<size_t>(available));
    if (m_source.readAt(dataEnd, bytes) != bytes.size())
        return unreadable();
    DescriptorExpectation expected;
    expected.crc32 = entry.central.fields.crc32;
    expected.compressedSize = entry.wide.compressedSize;
    expected.uncompressedSize = entry.wide.uncompressedSize;
    expected.zip64 = findExtraBlock(local.extra, zf::extra::Zip64).has_value();
    std::optional<size_t> length =
        measureDataDescriptor(bytes, dataEnd + available == entry.recordEnd, expected);
    if (!length)
        return damaged("the data descriptor of " + std::string(asText(entry.central.name)) + " is cut short");
    return uint64_t{*length};
}

Result<Ok, ConvertError> ConvertedArchiveWriter::copyEntry(const SourceEntry& entry)
{
    const std::string entryName(asText(entry.central.name));
    std::array<uint8_t, zf::LocalHeaderSize> fixed{};
    if (entry.recordEnd - entry.localOffset < fixed.size())
        return damaged("the local record of " + entryName + " is cut short");
    if (m_source.readAt(entry.localOffset, fixed) != fixed.size())
        return unreadable();
    ByteReader lengths(std::span<const uint8_t>(fixed).subspan(zf::local::NameLength));
    const size_t headerSize = zf::LocalHeaderSize + lengths.readLE16() + lengths.readLE16();
    std::vector<uint8_t> headerBytes(headerSize);
    if (entry.recordEnd - entry.localOffset < headerSize)
        return damaged("the local header of " + entryName + " runs into the next record");
    if (m_source.readAt(entry.localOffset, headerBytes) != headerBytes.size())
        return unreadable();
    Result<LocalHeader> local = parseLocalHeader(headerBytes);
    if (!local)
        return damaged("no local header where the directory puts " + entryName);
    const uint64_t dataStart = entry.localOffset + headerSize;
    if (entry.wide.compressedSize > entry.recordEnd - dataStart)
        return damaged("the data of " + entryName + " runs into the next record");
    const uint64_t dataEnd = dataStart + entry.wide.compressedSize;
    Result<uint64_t, ConvertError> descriptor = descriptorLength(entry, *local, dataEnd);
    if (!descriptor)
        return descriptor.error();

    WrittenEntry written;
    written.localOffset = m_out.position();
    std::string localName(asText(local->name));
    written.centralName = entryName;
    if (shortensNames()) {
        written.centralName = m_shortNames.shortNameOf(entryName);
        localName = written.centralName;
    }
    std::vector<uint8_t> header;
    appendLocalHeader(header, local->fields, localName, asText(local->extra));
    if (!put(header))
        return writeFailed();
    if (Result<Ok, ConvertError> copied = copyBytes(dataStart, entry.wide.compressedSize + *descriptor);
        !copied)
        return copied;
    m_written.push_back(std::move(written));
    return Ok{};
}

Result<Ok, ConvertError> ConvertedArchiveWriter::writeCentralHeader(const SourceEntry& entry,
                                                                    const WrittenEntry& written)
{
    CentralHeaderFields fields = entry.central.fields;
    const bool offsetTooWide = written.localOffset >= zf::Max32;
    const bool hadZip64 = findExtraBlock(entry.central.extra, zf::extra::Zip64).has_value();
    std::string extra(asText(entry.central.extra));
    if (hadZip64 || offsetTooWide) {
        // The ZIP64 block holds only the saturated fields, in a fixed order; the offset changed, so
        // the block is written anew. A single-disk archive starts every entry on disk 0.
        std::vector<uint64_t> values;
        if (fields.uncompressedSize == zf::Max32)
            values.push_back(entry.wide.uncompressedSize);
        if (fields.compressedSize == zf::Max32)
            values.push_back(entry.wide.compressedSize);
        if (offsetTooWide)
            values.push_back(written.localOffset);
        fields.diskNumberStart = 0;
        extra = rebuiltExtraField(entry.central.extra, values);
        if (!values.empty())
            fields.versionNeeded = std::max<uint16_t>(fields.versionNeeded, zf::version::Zip64);
    }
    fields.localHeaderOffset = offsetTooWide ? zf::Max32 : static_cast<uint32_t>(written.localOffset);
    if (extra.size() > zf::Max16)
        return ConvertError{ConvertFailure::TooLarge, "an extra field would pass 65535 bytes"};
    std::vector<uint8_t> header;
    appendCentralHeader(header, fields, written.centralName, extra, asText(entry.central.comment));
    return put(header) ? Result<Ok, ConvertError>(Ok{}) : writeFailed();
}

Result<Ok, ConvertError> ConvertedArchiveWriter::writeEndRecords(uint64_t directoryStart)
{
    const uint64_t count = m_entries.size();
    const uint64_t directorySize = m_out.position() - directoryStart;
    const bool zip64 =
        m_location.zip64 || count >= zf::Max16 || directoryStart >= zf::Max32 || directorySize >= zf::Max32;
    std::vector<uint8_t> records;
    if (zip64) {
        const uint64_t recordOffset = m_out.position();
        auto append64 = [&records](uint64_t value) {
            appendLE32(records, static_cast<uint32_t>(value));
            appendLE32(records, static_cast<uint32_t>(value >> 32));
        };
        appendLE32(records, zf::Zip64EndRecordSignature); // APPNOTE 4.3.14
        append64(Zip64EndRecordRemainder);
        appendLE16(records, zf::version::Zip64); // made by
        appendLE16(records, zf::version::Zip64); // needed
        appendLE32(records, 0);                  // this disk
        appendLE32(records, 0);                  // disk with the directory
        append64(count);                         // entries on this disk
        append64(count);                         // entries in all
        append64(directorySize);
        append64(directoryStart);
        appendLE32(records, zf::Zip64EndLocatorSignature); // APPNOTE 4.3.15
        appendLE32(records, 0);                            // disk with the ZIP64 end record
        append64(recordOffset);
        appendLE32(records, 1); // disks in all
    }
    // The archive comment, as much of it as the file holds.
    const uint64_t commentStart = m_endRecord.offset + zf::EndRecordSize;
    const uint64_t commentLength = std::min<uint64_t>(
        m_endRecord.fields.commentLength, m_source.size() - std::min(m_source.size(), commentStart));
    std::vector<uint8_t> comment(static_cast<size_t>(commentLength));
    if (m_source.readAt(commentStart, comment) != comment.size())
        return unreadable();
    EndRecordFields end;
    end.entriesOnThisDisk = static_cast<uint16_t>(std::min<uint64_t>(count, zf::Max16));
    end.entriesTotal = end.entriesOnThisDisk;
    end.directorySize = static_cast<uint32_t>(std::min<uint64_t>(directorySize, zf::Max32));
    end.directoryOffset = static_cast<uint32_t>(std::min<uint64_t>(directoryStart, zf::Max32));
    appendEndRecord(records, end, asText(comment));
    return put(records) ? Result<Ok, ConvertError>(Ok{}) : writeFailed();
}

} // namespace

Result<Ok, ConvertError> writeConvertedArchive(ByteSource& source, ReplacingFile& out, ConversionMode mode,
                                               const ConversionStubs& stubs)
{
    return ConvertedArchiveWriter(source, out, mode).write(stubs);
}

Result<Ok, ConvertError> convertArchive(const std::string& sourcePath, const std::string& targetPath,
                                        ConversionMode mode, const ConversionStubs& stubs,
                                        ReplacingFile::WriteCall write)
{
    ArchiveFile source;
    if (Result<Ok, OpenError> opened = source.open(sourcePath); !opened)
        return ConvertError{ConvertFailure::SourceUnreadable, opened.error().message};
    Result<ReplacingFile, ConvertError> out =
        ReplacingFile::create(targetPath, mode == ConversionMode::LinuxExtractor, std::move(write));
    if (!out)
        return out.error();
    if (Result<Ok, ConvertError> written = writeConvertedArchive(source, *out, mode, stubs); !written)
        return written;
    return out->commit();
}

} // namespace quarvo
