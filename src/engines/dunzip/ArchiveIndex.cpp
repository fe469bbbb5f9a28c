#include "engines/dunzip/ArchiveIndex.h"

#include "core/base/ByteReader.h"
#include "core/zip/ZipFormat.h"
#include "core/zip/ZipNames.h"
#include "engines/api/EngineResult.h"

#include <algorithm>
#include <array>

namespace quarvo {

namespace {

namespace zf = zipformat;

IndexError badArchive(std::string message)
{
    return IndexError{EngineResult::BadArchive, std::move(message)};
}

bool endRecordNeedsZip64(const EndRecordFields& fields)
{
    return fields.entriesTotal == zf::Max16 || fields.entriesOnThisDisk == zf::Max16 ||
           fields.directorySize == zf::Max32 || fields.directoryOffset == zf::Max32;
}

std::optional<int64_t> extendedModificationTime(std::span<const uint8_t> extra)
{
    // Info-ZIP's "UT" block: a flags byte, then the modification time first when bit 0 is set.
    auto block = findExtraBlock(extra, zf::extra::ExtendedTimestamp);
    if (!block || block->size() < 5 || !((*block)[0] & 1))
        return std::nullopt;
    ByteReader reader(block->subspan(1));
    return static_cast<int32_t>(reader.readLE32());
}

Result<ArchiveEntry, IndexError> entryFrom(const CentralHeader& header, int32_t index, uint64_t fileSize,
                                           uint64_t prependedLength)
{
    ArchiveEntry entry;
    entry.fields = header.fields;
    entry.storedName.assign(header.name.begin(), header.name.end());
    entry.name = decodeEntryName(header.name, header.fields.flags, header.extra);
    entry.index = index;
    CentralHeaderFields& f = entry.fields;
    Zip64Fields zip64 =
        resolveZip64Fields(header.extra, fileSize, f.uncompressedSize, f.compressedSize, &f.localHeaderOffset);
    if (zip64 == Zip64Fields::Damaged)
        return badArchive("The central directory is damaged at entry " + std::to_string(index + 1) +
                          ": its ZIP64 extra field is short or points beyond the end of the file.");
    entry.needsZip64 = zip64 == Zip64Fields::TooLarge || f.diskNumberStart == zf::Max16;
    if (zip64 == Zip64Fields::Resolved) {
        const uint64_t offset = uint64_t{f.localHeaderOffset} + prependedLength;
        if (prependedLength != 0 && offset >= fileSize)
            return badArchive("The central directory is damaged at entry " + std::to_string(index + 1) +
                              ": with the data in front of the archive its local header lies beyond the "
                              "end of the file.");
        if (offset > zf::Max32)
            entry.needsZip64 = true;
        else
            f.localHeaderOffset = static_cast<uint32_t>(offset);
    }
    entry.unixModificationTime = extendedModificationTime(header.extra);
    return entry;
}

} // namespace

Result<ArchiveIndex, IndexError> ArchiveIndex::load(ByteSource& source)
{
    Result<std::vector<uint64_t>> hits = findEndRecordSignatures(source, EndRecordSearchMode::AllHits);
    if (!hits)
        return IndexError{EngineResult::CannotOpenArchive, "The archive cannot be read."};
    if (hits->empty())
        return badArchive("This is not a ZIP archive: it has no end of central directory record.");

    Result<EndRecordCandidate> nearest = readEndRecordAt(source, hits->front());
    if (nearest && (nearest->fields.thisDisk != 0 || nearest->fields.directoryStartDisk != 0))
        return badArchive("This archive is one part of a set spread over several disks or files; such sets "
                          "cannot be extracted.");
    const IndexError tooLarge{EngineResult::TooLarge,
                              "This is a ZIP64 archive; ZIP64 archives are not supported yet."};
    if (nearest) {
        DirectoryLocation location = locateDirectory(source, nearest.value());
        if (location.fit == DirectoryLocation::Fit::TooLarge)
            return tooLarge;
        // Saturated fields without a ZIP64 end record that makes sense of them.
        if (location.fit == DirectoryLocation::Fit::None && endRecordNeedsZip64(nearest->fields))
            return tooLarge;
    }

    // A directory at its recorded offset is what the archive says; one found only by assuming data
    // in front of the archive is a fallback, so a stored archive inside this one, whose own end
    // record would fit that way, never makes a whole archive ambiguous.
    std::vector<std::pair<EndRecordCandidate, DirectoryLocation>> exact;
    std::vector<std::pair<EndRecordCandidate, DirectoryLocation>> shifted;
    for (uint64_t offset : hits.value()) {
        Result<EndRecordCandidate> candidate = readEndRecordAt(source, offset);
        if (!candidate)
            continue;
        DirectoryLocation location = locateDirectory(source, candidate.value());
        if (location.fit == DirectoryLocation::Fit::Exact)
            exact.emplace_back(candidate.value(), location);
        else if (location.fit == DirectoryLocation::Fit::Shifted)
            shifted.emplace_back(candidate.value(), location);
    }
    const auto& consistent = exact.empty() ? shifted : exact;
    if (consistent.empty())
        return badArchive(
            "The central directory is damaged: no end of central directory record points at it.");
    if (consistent.size() > 1)
        return badArchive("The archive is ambiguous: " + std::to_string(consistent.size()) +
                          " end of central directory records describe different directories.");

    ArchiveIndex index;
    index.end = consistent.front().first;
    index.directory = consistent.front().second;
    // The engine works with positions in the file: the end record's offset becomes where the
    // directory really begins, as each entry's offset becomes where its local header is.
    if (index.directory.start > zf::Max32)
        return tooLarge;
    index.end.fields.directoryOffset = static_cast<uint32_t>(index.directory.start);
    const DirectoryLocation& where = index.directory;
    std::vector<uint8_t> directory(where.size);
    if (source.readAt(where.start, directory) != directory.size())
        return IndexError{EngineResult::CannotOpenArchive, "The central directory cannot be read."};
    std::span<const uint8_t> rest(directory);
    index.entries.reserve(where.entriesTotal);
    // Headers are read to the end of the directory, not just as many as the end record counts:
    // writers without ZIP64 records (Java's ZipOutputStream before version 7, older Info-ZIP zip,
    // many small writers) keep only the low 16 bits of a count above 65,535. Such a directory is
    // whole when the headers fill it exactly and their number agrees with the count in those bits.
    for (int32_t i = 0; !rest.empty(); ++i) {
        Result<CentralHeader> header = parseCentralHeader(rest);
        if (!header)
            return badArchive("The central directory is damaged at entry " + std::to_string(i + 1) + ": " +
                              header.error().message + ".");
        Result<ArchiveEntry, IndexError> entry =
            entryFrom(header.value(), i, source.size(), where.prependedLength);
        if (!entry)
            return entry.error();
        index.entries.push_back(std::move(entry.value()));
        rest = rest.subspan(header->recordSize);
    }
    const size_t count = index.entries.size();
    const uint64_t total = where.entriesTotal;
    if (count < total)
        return badArchive("The central directory is damaged: it holds " + std::to_string(count) +
                          " entries, its end record counts " + std::to_string(total) + ".");
    if (count > total && (count <= zf::Max16 || (count & zf::Max16) != total))
        return badArchive("The central directory holds more than the " + std::to_string(total) +
                          " entries its end record counts.");
    return index;
}

OverlapReport findOverlappingEntries(ByteSource& source, const std::vector<ArchiveEntry>& entries)
{
    std::vector<EntrySpan> spans;
    spans.reserve(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        std::array<uint8_t, zf::LocalHeaderSize> bytes{};
        uint64_t offset = entries[i].fields.localHeaderOffset;
        if (source.readAt(offset, bytes) != bytes.size())
            continue;
        ByteReader reader(bytes);
        if (reader.readLE32() != zf::LocalHeaderSignature)
            continue;
        reader.skip(zf::local::NameLength - 4);
        uint16_t nameLength = reader.readLE16();
        uint16_t extraLength = reader.readLE16();
        uint64_t dataEnd =
            offset + zf::LocalHeaderSize + nameLength + extraLength + entries[i].fields.compressedSize;
        spans.push_back({offset, dataEnd, i});
    }
    std::sort(spans.begin(), spans.end(),
              [](const EntrySpan& a, const EntrySpan& b) { return a.begin < b.begin; });
    OverlapReport report;
    uint64_t furthestEnd = 0;
    size_t furthestEntry = 0;
    std::vector<bool> overlapping(entries.size(), false);
    for (size_t k = 0; k < spans.size(); ++k) {
        if (k > 0 && spans[k].begin < furthestEnd) {
            overlapping[spans[k].entry] = overlapping[furthestEntry] = true;
            if (!report.firstPair)
                report.firstPair = std::make_pair(furthestEntry, spans[k].entry);
        }
        if (spans[k].end > furthestEnd) {
            furthestEnd = spans[k].end;
            furthestEntry = spans[k].entry;
        }
    }
    report.overlappingEntries = static_cast<size_t>(std::count(overlapping.begin(), overlapping.end(), true));
    return report;
}

} // namespace quarvo
