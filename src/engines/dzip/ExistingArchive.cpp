#include "engines/dzip/ExistingArchive.h"

#include "core/zip/EndRecordSearch.h"
#include "core/zip/ZipFormat.h"
#include "core/zip/ZipNames.h"

#include <algorithm>

namespace quarvo {

namespace {

ArchiveReadError problem(ArchiveProblem kind, std::string message)
{
    return ArchiveReadError{kind, std::move(message)};
}

std::string textOf(std::span<const uint8_t> bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

// Finds the extent of an entry's local record: header, data, and the data descriptor when flag
// bit 3 says there is one, in whichever of its four forms it was written (the copy must carry every
// byte). Fails when any of it runs past limit (where the directory starts).
bool measureLocalRecord(ByteSource& source, ExistingEntry& entry, const WideHeaderValues& wide, uint64_t limit)
{
    std::vector<uint8_t> bytes;
    const uint64_t offset = entry.localOffset;
    if (offset + zipformat::LocalHeaderSize > limit ||
        !readExactly(source, offset, zipformat::LocalHeaderSize, bytes))
        return false;
    const uint32_t nameLength = bytes[zipformat::local::NameLength] | bytes[zipformat::local::NameLength + 1]
                                                                          << 8;
    const uint32_t extraLength =
        bytes[zipformat::local::ExtraLength] | bytes[zipformat::local::ExtraLength + 1] << 8;
    const uint64_t headerSize = zipformat::LocalHeaderSize + nameLength + extraLength;
    if (offset + headerSize > limit || !readExactly(source, offset, static_cast<size_t>(headerSize), bytes))
        return false;
    auto header = parseLocalHeader(bytes);
    if (!header.ok())
        return false;
    uint64_t end = offset + headerSize + wide.compressedSize;
    if (end > limit)
        return false;
    if (entry.fields.flags & zipformat::flag::DataDescriptor) {
        DescriptorExpectation expected;
        expected.crc32 = entry.fields.crc32;
        expected.compressedSize = wide.compressedSize;
        expected.uncompressedSize = wide.uncompressedSize;
        expected.zip64 = findExtraBlock(header->extra, zipformat::extra::Zip64).has_value();
        const size_t probe = zipformat::SignatureSize + zipformat::Zip64DataDescriptorSize + zipformat::SignatureSize;
        const size_t available = static_cast<size_t>(std::min<uint64_t>(probe, limit - end));
        std::vector<uint8_t> following;
        if (!readExactly(source, end, available, following))
            return false;
        const std::optional<size_t> descriptorSize =
            measureDataDescriptor(following, available == limit - end, expected);
        if (!descriptorSize)
            return false;
        end += *descriptorSize;
    }
    entry.recordSize = end - offset;
    return true;
}

} // namespace

bool readExactly(ByteSource& source, uint64_t offset, size_t count, std::vector<uint8_t>& out)
{
    out.resize(count);
    return offset <= source.size() && count <= source.size() - offset && source.readAt(offset, out) == count;
}

Result<ExistingArchive, ArchiveReadError> readExistingArchive(ByteSource& source)
{
    auto hits = findEndRecordSignatures(source, EndRecordSearchMode::AllHits);
    if (!hits.ok())
        return problem(ArchiveProblem::ReadError, "The archive cannot be read.");
    std::optional<EndRecordCandidate> end;
    DirectoryLocation location;
    for (uint64_t offset : hits.value()) {
        auto candidate = readEndRecordAt(source, offset);
        if (!candidate.ok())
            continue;
        location = locateDirectory(source, candidate.value());
        if (location.fit == DirectoryLocation::Fit::Exact || location.fit == DirectoryLocation::Fit::Shifted) {
            end = candidate.value();
            break;
        }
    }
    if (!end) {
        for (uint64_t offset : hits.value()) {
            auto candidate = readEndRecordAt(source, offset);
            if (candidate.ok() &&
                (candidate->fields.thisDisk != 0 || candidate->fields.directoryStartDisk != 0))
                return problem(ArchiveProblem::Spanned,
                               "The archive spans several disks, which is not supported here.");
        }
        return problem(ArchiveProblem::NotZip, "The file is not a ZIP archive, or its directory is damaged.");
    }
    // The ZIP64 end record, if any, is not kept as such: the rewrite writes one again exactly when
    // the new archive's count, directory size or offset needs it (zip -fz writes one regardless).
    ExistingArchive archive;
    std::vector<uint8_t> bytes;
    if (!readExactly(source, end->offset + zipformat::EndRecordSize, end->fields.commentLength, bytes))
        return problem(ArchiveProblem::Damaged, "The archive comment runs past the end of the file.");
    archive.comment = textOf(bytes);

    std::vector<uint8_t> directory;
    if (!readExactly(source, location.start, static_cast<size_t>(location.size), directory))
        return problem(ArchiveProblem::ReadError, "The archive's directory cannot be read.");
    size_t position = 0;
    archive.prefixSize = location.start;
    while (position < directory.size()) {
        auto header = parseCentralHeader(std::span<const uint8_t>(directory).subspan(position));
        if (!header.ok())
            return problem(ArchiveProblem::Damaged, "The archive's directory is damaged.");
        ExistingEntry entry;
        entry.fields = header->fields;
        entry.rawName = textOf(header->name);
        entry.extra = textOf(header->extra);
        entry.comment = textOf(header->comment);
        entry.name = decodeEntryName(header->name, entry.fields.flags, header->extra);
        // Saturated fields take their values from the ZIP64 extra field. A field saturated without
        // a value there cannot be told from a real 0xFFFFFFFF, and copying it would carry the doubt on.
        WideHeaderValues wide;
        const Zip64Fields widened = widenCentralFields(entry.fields, header->extra, source.size(), wide);
        if (widened != Zip64Fields::Resolved || wide.diskNumberStart != 0)
            return problem(ArchiveProblem::Damaged, "The entry " + entry.name + " is damaged.");
        entry.compressedSize = wide.compressedSize;
        entry.uncompressedSize = wide.uncompressedSize;
        entry.zip64Fields = entry.fields.compressedSize == zipformat::Max32 ||
                            entry.fields.uncompressedSize == zipformat::Max32 ||
                            entry.fields.localHeaderOffset == zipformat::Max32 ||
                            entry.fields.diskNumberStart == zipformat::Max16;
        // Data joined in front of the archive without adjusting it moves every record by its length.
        entry.localOffset = wide.localHeaderOffset + location.prependedLength;
        if (!measureLocalRecord(source, entry, wide, location.start))
            return problem(ArchiveProblem::Damaged, "The entry " + entry.name + " is damaged.");
        archive.prefixSize = std::min<uint64_t>(archive.prefixSize, entry.localOffset);
        archive.entries.push_back(std::move(entry));
        position += header->recordSize;
    }
    // Writers without ZIP64 records (Java's ZipOutputStream before version 7, older Info-ZIP zip)
    // keep only the low 16 bits of a count above 65,535. The directory was read to its end, so it
    // is whole when its headers agree with those bits, as the readers take it; the rewrite then
    // counts every entry, in ZIP64 end records.
    const size_t count = archive.entries.size();
    const bool countAgrees = count == location.entriesTotal ||
                             (count > zipformat::Max16 && (count & zipformat::Max16) == location.entriesTotal);
    if (!countAgrees)
        return problem(ArchiveProblem::Damaged, "The archive's entry count does not match its directory.");
    return archive;
}

} // namespace quarvo
