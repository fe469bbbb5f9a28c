#include "engines/dunzip/ArchiveIndex.h"

#include "core/base/ByteReader.h"
#include "core/zip/DirectoryError.h"
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

// A problem the document's reader finds too, in the words it uses.
IndexError badArchive(const DirectoryError& error)
{
    return badArchive(describeDirectoryError(error));
}

// How much of the archive one read brings in while local headers are looked up in order.
constexpr size_t HeaderWindowSize = 64 * 1024;

// Reads bytes at ascending offsets through one window, so an archive of many small entries costs a
// read per window rather than one per entry.
class HeaderWindow {
  public:
    explicit HeaderWindow(ByteSource& source) : m_source(source) {}

    // Fills into with the bytes at offset; false when the archive has fewer.
    bool read(uint64_t offset, std::span<uint8_t> into)
    {
        if (!holds(offset, into.size())) {
            m_buffer.resize(HeaderWindowSize);
            m_start = offset;
            m_count = m_source.readAt(offset, m_buffer);
            if (!holds(offset, into.size()))
                return false;
        }
        std::copy_n(m_buffer.begin() + static_cast<ptrdiff_t>(offset - m_start), into.size(), into.begin());
        return true;
    }

  private:
    // Compared by subtraction: offsets near 2^64 would wrap a sum.
    bool holds(uint64_t offset, size_t size) const
    {
        return offset >= m_start && offset - m_start <= m_count && m_count - (offset - m_start) >= size;
    }

    ByteSource& m_source;
    std::vector<uint8_t> m_buffer;
    uint64_t m_start = 0;
    size_t m_count = 0;
};

IndexError unreadable()
{
    return IndexError{EngineResult::CannotOpenArchive,
                      describeDirectoryError({.problem = DirectoryProblem::CannotRead})};
}

IndexError damagedHeader(int32_t index, std::string detail)
{
    return badArchive({.problem = DirectoryProblem::DamagedHeader,
                       .entry = static_cast<uint64_t>(index) + 1,
                       .detail = std::move(detail)});
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
    WideHeaderValues wide;
    // A saturated field without a ZIP64 value (TooLarge) is taken as it stands: it may be a real
    // size of 4 GiB less one byte, and the local header is checked against it anyway.
    if (widenCentralFields(header.fields, header.extra, fileSize, wide) == Zip64Fields::Damaged)
        entry.damage = "its ZIP64 extra field is short or points beyond the end of the file";
    else if (wide.diskNumberStart != 0)
        entry.damage = "it starts on another disk of a split set";
    entry.compressedSize = wide.compressedSize;
    entry.uncompressedSize = wide.uncompressedSize;
    entry.localHeaderOffset = wide.localHeaderOffset + prependedLength;
    if (prependedLength != 0 && entry.localHeaderOffset >= fileSize)
        return damagedHeader(index, "with the data in front of the archive its local header lies beyond "
                                    "the end of the file");
    entry.unixModificationTime = extendedModificationTime(header.extra);
    if (header.fields.method == zf::method::Aes) {
        Result<WinZipAesField, AesFieldError> aes = parseWinZipAesField(header.extra);
        if (aes)
            entry.aes = aes.value();
        else
            entry.aesProblem = aes.error();
    }
    return entry;
}

} // namespace

Result<ArchiveIndex, IndexError> ArchiveIndex::load(ByteSource& source)
{
    Result<std::vector<uint64_t>> hits = findEndRecordSignatures(source, EndRecordSearchMode::AllHits);
    if (!hits)
        return unreadable();
    if (hits->empty())
        return badArchive({.problem = classifyFileWithoutEndRecord(source)});

    // The archive's own end record, not the same bytes inside its comment, says what it is.
    Result<std::optional<EndRecordCandidate>> chosen = chooseEndRecord(source);
    if (!chosen)
        return unreadable();
    if (const std::optional<EndRecordCandidate>& end = chosen.value()) {
        // The entries' data may lie on any disk of the set, so even a directory that is wholly on
        // this one is no use.
        if (end->fields.thisDisk != 0 || end->fields.directoryStartDisk != 0)
            return badArchive({.problem = DirectoryProblem::LastSplitPart});
        if (lacksUsableZip64EndRecord(end->fields, locateDirectory(source, *end)))
            return badArchive({.problem = DirectoryProblem::Zip64RecordMissing});
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
        return badArchive({.problem = DirectoryProblem::DirectoryNotFound});
    if (consistent.size() > 1)
        return badArchive("The archive is ambiguous: " + std::to_string(consistent.size()) +
                          " end of central directory records describe different directories.");

    ArchiveIndex index;
    index.end = consistent.front().first;
    index.directory = consistent.front().second;
    const DirectoryLocation& where = index.directory;
    // The size was checked against the file, which was read to find it.
    std::vector<uint8_t> directory(static_cast<size_t>(where.size));
    if (source.readAt(where.start, directory) != directory.size())
        return unreadable();
    std::span<const uint8_t> rest(directory);
    index.entries.reserve(static_cast<size_t>(where.entriesTotal));
    // Headers are read to the end of the directory, not just as many as the end record counts:
    // writers without ZIP64 records (Java's ZipOutputStream before version 7, older Info-ZIP zip,
    // many small writers) keep only the low 16 bits of a count above 65,535. Such a directory is
    // whole when the headers fill it exactly and their number agrees with the count in those bits.
    for (int32_t i = 0; !rest.empty(); ++i) {
        Result<CentralHeader> header = parseCentralHeader(rest);
        if (!header)
            return damagedHeader(i, header.error().message);
        Result<ArchiveEntry, IndexError> entry =
            entryFrom(header.value(), i, source.size(), where.prependedLength);
        if (!entry)
            return entry.error();
        index.entries.push_back(std::move(entry.value()));
        rest = rest.subspan(header->recordSize);
    }
    const size_t count = index.entries.size();
    const uint64_t total = where.entriesTotal;
    const bool countAgrees = count == total || (count > zf::Max16 && (count & zf::Max16) == total);
    if (!countAgrees)
        return badArchive({.problem = DirectoryProblem::EntryCountMismatch,
                           .entriesFound = count,
                           .entriesCounted = total});
    return index;
}

OverlapReport findOverlappingEntries(ByteSource& source, const std::vector<ArchiveEntry>& entries)
{
    std::vector<size_t> byOffset(entries.size());
    for (size_t i = 0; i < entries.size(); ++i)
        byOffset[i] = i;
    std::stable_sort(byOffset.begin(), byOffset.end(), [&](size_t a, size_t b) {
        return entries[a].localHeaderOffset < entries[b].localHeaderOffset;
    });
    HeaderWindow window(source);
    std::vector<EntrySpan> spans;
    spans.reserve(entries.size());
    for (size_t i : byOffset) {
        if (!entries[i].damage.empty())
            continue;
        std::array<uint8_t, zf::LocalHeaderSize> bytes{};
        uint64_t offset = entries[i].localHeaderOffset;
        if (!window.read(offset, bytes))
            continue;
        ByteReader reader(bytes);
        if (reader.readLE32() != zf::LocalHeaderSignature)
            continue;
        reader.skip(zf::local::NameLength - 4);
        uint16_t nameLength = reader.readLE16();
        uint16_t extraLength = reader.readLE16();
        uint64_t dataEnd =
            offset + zf::LocalHeaderSize + nameLength + extraLength + entries[i].compressedSize;
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
