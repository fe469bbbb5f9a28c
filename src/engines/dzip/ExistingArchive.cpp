#include "engines/dzip/ExistingArchive.h"

#include "core/zip/EndRecordSearch.h"
#include "core/zip/ZipFormat.h"
#include "core/zip/ZipNames.h"

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
// bit 3 says there is one. Fails when any of it runs past limit (where the directory starts).
bool measureLocalRecord(ByteSource& source, ExistingEntry& entry, uint64_t limit)
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
    if (!parseLocalHeader(bytes).ok())
        return false;
    uint64_t end = offset + headerSize + entry.fields.compressedSize;
    if (end > limit)
        return false;
    if (entry.fields.flags & zipformat::flag::DataDescriptor) {
        // The descriptor's signature is optional; when it is there the record is four bytes longer.
        uint64_t descriptorSize = zipformat::DataDescriptorSize;
        std::vector<uint8_t> signature;
        if (end + 4 <= limit && readExactly(source, end, 4, signature) &&
            (signature[0] | signature[1] << 8 | signature[2] << 16 |
             static_cast<uint32_t>(signature[3]) << 24) == zipformat::DataDescriptorSignature)
            descriptorSize += 4;
        if (end + descriptorSize > limit)
            return false;
        end += descriptorSize;
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
    for (uint64_t offset : hits.value()) {
        auto candidate = readEndRecordAt(source, offset);
        if (candidate.ok() && pointsAtCentralDirectory(source, candidate.value())) {
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
                               "The archive spans several disks; it cannot be changed.");
        }
        return problem(ArchiveProblem::NotZip, "The file is not a ZIP archive, or its directory is damaged.");
    }
    const EndRecordFields& fields = end->fields;
    if (fields.entriesTotal == zipformat::Max16 || fields.directoryOffset == zipformat::Max32 ||
        fields.directorySize == zipformat::Max32)
        return problem(ArchiveProblem::Zip64,
                       "The archive uses ZIP64 records, which cannot be changed here.");

    ExistingArchive archive;
    std::vector<uint8_t> bytes;
    if (!readExactly(source, end->offset + zipformat::EndRecordSize, fields.commentLength, bytes))
        return problem(ArchiveProblem::Damaged, "The archive comment runs past the end of the file.");
    archive.comment = textOf(bytes);

    std::vector<uint8_t> directory;
    if (!readExactly(source, fields.directoryOffset, fields.directorySize, directory))
        return problem(ArchiveProblem::ReadError, "The archive's directory cannot be read.");
    size_t position = 0;
    archive.prefixSize = fields.directoryOffset;
    while (position < directory.size()) {
        auto header = parseCentralHeader(std::span<const uint8_t>(directory).subspan(position));
        if (!header.ok())
            return problem(ArchiveProblem::Damaged, "The archive's directory is damaged.");
        ExistingEntry entry;
        entry.fields = header->fields;
        entry.rawName = textOf(header->name);
        entry.extra = textOf(header->extra);
        entry.comment = textOf(header->comment);
        entry.name = decodeArchiveText(header->name, entry.fields.flags);
        entry.localOffset = entry.fields.localHeaderOffset;
        if (entry.fields.compressedSize == zipformat::Max32 ||
            entry.fields.uncompressedSize == zipformat::Max32 ||
            entry.fields.localHeaderOffset == zipformat::Max32)
            return problem(ArchiveProblem::Zip64,
                           "The archive uses ZIP64 records, which cannot be changed here.");
        if (!measureLocalRecord(source, entry, fields.directoryOffset))
            return problem(ArchiveProblem::Damaged, "The entry " + entry.name + " is damaged.");
        archive.prefixSize = std::min<uint64_t>(archive.prefixSize, entry.localOffset);
        archive.entries.push_back(std::move(entry));
        position += header->recordSize;
    }
    if (archive.entries.size() != fields.entriesTotal)
        return problem(ArchiveProblem::Damaged, "The archive's entry count does not match its directory.");
    return archive;
}

} // namespace quarvo
