#include "core/zip/EndRecordSearch.h"

#include "core/zip/ZipFormat.h"

#include <algorithm>
#include <array>

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

bool pointsAtCentralDirectory(ByteSource& source, const EndRecordCandidate& candidate)
{
    const EndRecordFields& fields = candidate.fields;
    if (fields.thisDisk != 0 || fields.directoryStartDisk != 0 ||
        fields.entriesOnThisDisk != fields.entriesTotal)
        return false;
    if (candidate.offset + zipformat::EndRecordSize + fields.commentLength > source.size())
        return false;
    if (uint64_t{fields.directoryOffset} + fields.directorySize != candidate.offset)
        return false;
    if (fields.entriesTotal == 0)
        return fields.directorySize == 0;
    if (uint64_t{fields.entriesTotal} * zipformat::CentralHeaderSize > fields.directorySize)
        return false;
    std::array<uint8_t, 4> signature{};
    if (source.readAt(fields.directoryOffset, signature) != signature.size())
        return false;
    uint32_t value =
        signature[0] | signature[1] << 8 | signature[2] << 16 | static_cast<uint32_t>(signature[3]) << 24;
    return value == zipformat::CentralHeaderSignature;
}

} // namespace quarvo
