#include "core/zip/EndRecordSearch.h"

#include "core/base/ByteReader.h"
#include "core/zip/ZipFormat.h"

#include <algorithm>
#include <array>
#include <optional>

namespace quarvo {

namespace {

constexpr size_t Overlap = 3;

bool isSignatureAt(const uint8_t* bytes)
{
    return bytes[0] == 0x50 && bytes[1] == 0x4b && bytes[2] == 0x05 && bytes[3] == 0x06;
}

} // namespace

Result<std::vector<uint64_t>> findEndRecordSignatures(ByteSource& source, EndRecordSearchMode mode)
{
    std::vector<uint64_t> hits;
    const uint64_t length = source.size();
    if (length < zipformat::EndRecordSize)
        return hits;
    // The block, then the first three bytes of the block read before it (zeros in the first pass),
    // then a terminator: the scan at the last three positions looks into them.
    std::array<uint8_t, endsearch::BlockSize + Overlap + 1> buffer{};
    uint64_t blockStart = length - std::min<uint64_t>(length, endsearch::BlockSize);
    size_t blockLength = static_cast<size_t>(length - blockStart);
    for (;;) {
        if (source.readAt(blockStart, std::span(buffer.data(), blockLength)) != blockLength)
            return Error{"the end of the file cannot be read"};
        for (size_t i = blockLength; i-- > 0;) {
            if (!isSignatureAt(buffer.data() + i))
                continue;
            hits.push_back(blockStart + i);
            if (mode == EndRecordSearchMode::FirstHit)
                return hits;
        }
        if (blockStart == 0)
            return hits;
        uint64_t nextStart = blockStart - std::min<uint64_t>(blockStart, endsearch::BlockSize);
        if (length - nextStart > endsearch::MaximumDistance)
            return hits;
        size_t nextLength = static_cast<size_t>(blockStart - nextStart);
        std::array<uint8_t, Overlap> carried{};
        std::copy_n(buffer.begin(), Overlap, carried.begin());
        std::fill(buffer.begin(), buffer.end(), 0);
        std::copy(carried.begin(), carried.end(), buffer.begin() + static_cast<ptrdiff_t>(nextLength));
        blockStart = nextStart;
        blockLength = nextLength;
    }
}

Result<EndRecordCandidate> readEndRecordAt(ByteSource& source, uint64_t offset)
{
    std::array<uint8_t, zipformat::EndRecordFieldsSize> bytes{};
    if (source.readAt(offset + 4, bytes) != bytes.size())
        return Error{"truncated end of central directory record"};
    Result<EndRecordFields> fields = parseEndRecordFields(bytes);
    if (!fields)
        return fields.error();
    return EndRecordCandidate{offset, fields.value()};
}

namespace {

uint32_t signatureAt(ByteSource& source, uint64_t offset)
{
    std::array<uint8_t, 4> bytes{};
    if (source.readAt(offset, bytes) != bytes.size())
        return 0;
    ByteReader reader(bytes);
    return reader.readLE32();
}

// The values of a ZIP64 end record, and where it really is.
struct Zip64End {
    uint64_t offset = 0;         // found in the file
    uint64_t recordedOffset = 0; // as the locator gives it
    uint64_t entriesTotal = 0;
    uint64_t directorySize = 0;
    uint64_t directoryOffset = 0;
};

// Reads the locator right before the end record and the ZIP64 end record it names. The record is
// looked for at the recorded offset, and then right before the locator (where every writer puts it)
// for an archive with data in front of it. Nothing when there is no locator; an error when there is
// one but no sound record.
Result<std::optional<Zip64End>> readZip64End(ByteSource& source, uint64_t endOffset)
{
    if (endOffset < zipformat::Zip64EndLocatorSize)
        return std::optional<Zip64End>{};
    const uint64_t locatorOffset = endOffset - zipformat::Zip64EndLocatorSize;
    std::array<uint8_t, zipformat::Zip64EndLocatorSize> locator{};
    if (source.readAt(locatorOffset, locator) != locator.size())
        return std::optional<Zip64End>{};
    ByteReader l(locator);
    if (l.readLE32() != zipformat::Zip64EndLocatorSignature)
        return std::optional<Zip64End>{};
    const uint32_t recordDisk = l.readLE32();
    Zip64End end;
    end.recordedOffset = l.readLE64();
    const uint32_t totalDisks = l.readLE32();
    if (recordDisk != 0 || totalDisks > 1)
        return Error{"the ZIP64 end record is on another disk"};
    std::array<uint8_t, zipformat::Zip64EndRecordSize> record{};
    auto readRecord = [&](uint64_t offset) {
        if (offset > locatorOffset || locatorOffset - offset < record.size() ||
            source.readAt(offset, record) != record.size())
            return false;
        ByteReader r(record);
        if (r.readLE32() != zipformat::Zip64EndRecordSignature)
            return false;
        // The record size counts what follows its own field; extensible data may follow the fixed
        // part, but the record must end where the locator begins.
        uint64_t recordSize = r.readLE64();
        return recordSize <= locatorOffset - offset - 12 && offset + 12 + recordSize == locatorOffset;
    };
    if (readRecord(end.recordedOffset))
        end.offset = end.recordedOffset;
    else if (readRecord(locatorOffset - std::min<uint64_t>(locatorOffset, record.size())))
        end.offset = locatorOffset - record.size();
    else
        return Error{"the ZIP64 end record is missing or damaged"};
    ByteReader r(record);
    r.skip(4 + 8 + 2 + 2);
    const uint32_t thisDisk = r.readLE32();
    const uint32_t directoryDisk = r.readLE32();
    const uint64_t entriesOnThisDisk = r.readLE64();
    end.entriesTotal = r.readLE64();
    end.directorySize = r.readLE64();
    end.directoryOffset = r.readLE64();
    if (thisDisk != 0 || directoryDisk != 0 || entriesOnThisDisk != end.entriesTotal)
        return Error{"the ZIP64 end record describes a set of several disks"};
    return std::optional<Zip64End>{end};
}

// The 64-bit value when the 32-bit field is saturated, else the field.
uint64_t widen(uint64_t field, uint64_t saturated, uint64_t wide)
{
    return field == saturated ? wide : field;
}

} // namespace

DirectoryLocation locateDirectory(ByteSource& source, const EndRecordCandidate& candidate)
{
    using Fit = DirectoryLocation::Fit;
    const EndRecordFields& fields = candidate.fields;
    DirectoryLocation location;
    if (fields.thisDisk != 0 || fields.directoryStartDisk != 0 ||
        fields.entriesOnThisDisk != fields.entriesTotal)
        return location;
    if (candidate.offset + zipformat::EndRecordSize + fields.commentLength > source.size())
        return location;

    uint64_t directoryEnd = candidate.offset;
    uint64_t directoryOffset = fields.directoryOffset;
    location.size = fields.directorySize;
    location.entriesTotal = fields.entriesTotal;
    Result<std::optional<Zip64End>> zip64 = readZip64End(source, candidate.offset);
    if (!zip64) {
        location.zip64 = true;
        return location;
    }
    if (zip64->has_value()) {
        const Zip64End& z = **zip64;
        location.zip64 = true;
        location.entriesTotal = widen(fields.entriesTotal, zipformat::Max16, z.entriesTotal);
        location.size = widen(fields.directorySize, zipformat::Max32, z.directorySize);
        directoryOffset = widen(fields.directoryOffset, zipformat::Max32, z.directoryOffset);
        directoryEnd = z.offset;
    }
    // Every central header takes at least 46 bytes: a count the size cannot hold is a lie. The count
    // is divided rather than the size multiplied, which a 64-bit count could wrap.
    if (location.size > directoryEnd ||
        location.entriesTotal > location.size / zipformat::CentralHeaderSize ||
        (location.entriesTotal == 0 && location.size != 0))
        return location;
    location.start = directoryEnd - location.size;
    // An empty directory has no positions to shift: behind a stub it is read where it is recorded.
    if (location.start < directoryOffset || (location.start > directoryOffset && location.entriesTotal == 0))
        return location;
    location.prependedLength = location.start - directoryOffset;
    // Data in front of the archive moves the ZIP64 end record by the same length as the directory.
    if (zip64->has_value() && (*zip64)->offset - (*zip64)->recordedOffset != location.prependedLength)
        return location;
    if (location.entriesTotal != 0 &&
        signatureAt(source, location.start) != zipformat::CentralHeaderSignature)
        return location;
    location.fit = location.prependedLength == 0 ? Fit::Exact : Fit::Shifted;
    return location;
}

bool lacksUsableZip64EndRecord(const EndRecordFields& fields, const DirectoryLocation& location)
{
    if (location.fit != DirectoryLocation::Fit::None)
        return false;
    const bool saturated =
        fields.entriesTotal == zipformat::Max16 || fields.entriesOnThisDisk == zipformat::Max16 ||
        fields.directorySize == zipformat::Max32 || fields.directoryOffset == zipformat::Max32;
    return location.zip64 || saturated;
}

Result<std::optional<EndRecordCandidate>> chooseEndRecord(ByteSource& source)
{
    Result<std::vector<uint64_t>> hits = findEndRecordSignatures(source, EndRecordSearchMode::AllHits);
    if (!hits)
        return hits.error();
    std::optional<EndRecordCandidate> best;
    int bestRank = -1;
    for (uint64_t offset : hits.value()) {
        Result<EndRecordCandidate> candidate = readEndRecordAt(source, offset);
        if (!candidate)
            continue;
        const bool reachesEnd =
            offset + zipformat::EndRecordSize + candidate->fields.commentLength == source.size();
        const DirectoryLocation::Fit fit = locateDirectory(source, candidate.value()).fit;
        const bool found = fit == DirectoryLocation::Fit::Exact || fit == DirectoryLocation::Fit::Shifted;
        const int rank = (reachesEnd ? 2 : 0) + (found ? 1 : 0);
        if (rank > bestRank) {
            best = candidate.value();
            bestRank = rank;
        }
    }
    return best;
}

bool pointsAtCentralDirectory(ByteSource& source, const EndRecordCandidate& candidate)
{
    // Exactly where recorded and ending at the end record itself: no ZIP64 end record in between.
    DirectoryLocation location = locateDirectory(source, candidate);
    return location.fit == DirectoryLocation::Fit::Exact &&
           location.start + location.size == candidate.offset;
}

} // namespace quarvo
