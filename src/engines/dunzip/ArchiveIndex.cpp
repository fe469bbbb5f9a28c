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

bool hasZip64Locator(ByteSource& source, uint64_t endOffset)
{
    if (endOffset < zf::Zip64EndLocatorSize)
        return false;
    std::array<uint8_t, 4> signature{};
    if (source.readAt(endOffset - zf::Zip64EndLocatorSize, signature) != signature.size())
        return false;
    ByteReader reader(signature);
    return reader.readLE32() == zf::Zip64EndLocatorSignature;
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

ArchiveEntry entryFrom(const CentralHeader& header, int32_t index)
{
    ArchiveEntry entry;
    entry.fields = header.fields;
    entry.storedName.assign(header.name.begin(), header.name.end());
    entry.name = decodeArchiveText(header.name, header.fields.flags);
    entry.index = index;
    const CentralHeaderFields& f = header.fields;
    entry.needsZip64 = f.compressedSize == zf::Max32 || f.uncompressedSize == zf::Max32 ||
                       f.localHeaderOffset == zf::Max32 || f.diskNumberStart == zf::Max16 ||
                       findExtraBlock(header.extra, zf::extra::Zip64).has_value();
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
    if (nearest && (hasZip64Locator(source, nearest->offset) || endRecordNeedsZip64(nearest->fields)))
        return IndexError{EngineResult::TooLarge,
                          "This is a ZIP64 archive; ZIP64 archives are not supported yet."};
    if (nearest && (nearest->fields.thisDisk != 0 || nearest->fields.directoryStartDisk != 0))
        return badArchive("This archive is one part of a set spread over several disks or files; such sets "
                          "cannot be extracted.");

    std::vector<EndRecordCandidate> consistent;
    for (uint64_t offset : hits.value()) {
        Result<EndRecordCandidate> candidate = readEndRecordAt(source, offset);
        if (candidate && pointsAtCentralDirectory(source, candidate.value()))
            consistent.push_back(candidate.value());
    }
    if (consistent.empty())
        return badArchive(
            "The central directory is damaged: no end of central directory record points at it.");
    if (consistent.size() > 1)
        return badArchive("The archive is ambiguous: " + std::to_string(consistent.size()) +
                          " end of central directory records describe different directories.");

    ArchiveIndex index;
    index.end = consistent.front();
    const EndRecordFields& end = index.end.fields;
    std::vector<uint8_t> directory(end.directorySize);
    if (source.readAt(end.directoryOffset, directory) != directory.size())
        return IndexError{EngineResult::CannotOpenArchive, "The central directory cannot be read."};
    std::span<const uint8_t> rest(directory);
    index.entries.reserve(end.entriesTotal);
    // Headers are read to the end of the directory, not just as many as the end record counts:
    // writers without ZIP64 records (Java's ZipOutputStream before version 7, older Info-ZIP zip,
    // many small writers) keep only the low 16 bits of a count above 65,535. Such a directory is
    // whole when the headers fill it exactly and their number agrees with the count in those bits.
    for (int32_t i = 0; !rest.empty(); ++i) {
        Result<CentralHeader> header = parseCentralHeader(rest);
        if (!header)
            return badArchive("The central directory is damaged at entry " + std::to_string(i + 1) + ": " +
                              header.error().message + ".");
        index.entries.push_back(entryFrom(header.value(), i));
        rest = rest.subspan(header->recordSize);
    }
    const size_t count = index.entries.size();
    if (count < end.entriesTotal)
        return badArchive("The central directory is damaged: it holds " + std::to_string(count) +
                          " entries, its end record counts " + std::to_string(end.entriesTotal) + ".");
    if (count > end.entriesTotal && (count <= zf::Max16 || (count & zf::Max16) != end.entriesTotal))
        return badArchive("The central directory holds more than the " + std::to_string(end.entriesTotal) +
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
