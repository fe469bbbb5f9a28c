#include "core/convert/WindowsImage.h"

#include "core/convert/ExecutableFormat.h"

#include <limits>
#include <string>

namespace quarvo {

namespace {

using namespace exeformat;

constexpr int64_t SectorSize = static_cast<int64_t>(ne::SectorSize);

ConvertError badImage(std::string detail)
{
    return {ConvertFailure::BadWindowsImage, std::move(detail)};
}

// The image being moved: every read and write is checked against its length.
class ImageBytes {
  public:
    explicit ImageBytes(std::vector<uint8_t> bytes) : m_bytes(std::move(bytes)) {}

    bool fits(uint64_t offset, uint64_t count) const
    {
        return offset <= m_bytes.size() && count <= m_bytes.size() - offset;
    }
    uint8_t u8(size_t offset) const { return m_bytes[offset]; }
    uint16_t le16(size_t offset) const
    {
        return static_cast<uint16_t>(m_bytes[offset] | m_bytes[offset + 1] << 8);
    }
    uint32_t le32(size_t offset) const
    {
        return static_cast<uint32_t>(le16(offset)) | static_cast<uint32_t>(le16(offset + 2)) << 16;
    }
    void setLE16(size_t offset, uint16_t value)
    {
        m_bytes[offset] = static_cast<uint8_t>(value);
        m_bytes[offset + 1] = static_cast<uint8_t>(value >> 8);
    }
    void setLE32(size_t offset, uint32_t value)
    {
        setLE16(offset, static_cast<uint16_t>(value));
        setLE16(offset + 2, static_cast<uint16_t>(value >> 16));
    }
    std::vector<uint8_t> release() { return std::move(m_bytes); }

  private:
    std::vector<uint8_t> m_bytes;
};

// Adds delta to a field holding at most maximum; false when the sum leaves 0..maximum.
bool addWithin(uint64_t value, int64_t delta, uint64_t maximum, uint64_t& sum)
{
    int64_t result = static_cast<int64_t>(value) + delta;
    if (result < 0 || static_cast<uint64_t>(result) > maximum)
        return false;
    sum = static_cast<uint64_t>(result);
    return true;
}

bool moveSector16(ImageBytes& image, size_t offset, int64_t sectors)
{
    uint64_t moved = 0;
    if (!addWithin(image.le16(offset), sectors, std::numeric_limits<uint16_t>::max(), moved))
        return false;
    image.setLE16(offset, static_cast<uint16_t>(moved));
    return true;
}

Result<Ok, ConvertError> moveSegments(ImageBytes& image, int64_t sectors)
{
    uint16_t count = image.le16(ne::SegmentCount);
    size_t table = image.le16(ne::SegmentTableOffset);
    if (!image.fits(table, uint64_t{count} * ne::SegmentEntrySize))
        return badImage("its segment table runs past the image");
    for (size_t i = 0; i < count; ++i) {
        size_t entry = table + i * ne::SegmentEntrySize;
        // Sector 0 marks a segment with no data in the file (uninitialised data): nothing to move.
        if (image.le16(entry) == 0)
            continue;
        if (!moveSector16(image, entry, sectors))
            return badImage("a segment would move outside the file");
    }
    return Ok{};
}

Result<Ok, ConvertError> moveResources(ImageBytes& image, int64_t delta)
{
    size_t position = image.le16(ne::ResourceTableOffset);
    // An empty resource table has no bytes: the resident names table starts where it would.
    if (position == image.le16(ne::ResidentNamesOffset))
        return Ok{};
    if (!image.fits(position, 2))
        return badImage("its resource table runs past the image");
    uint16_t shift = image.le16(position);
    if (shift > 15 || delta % (int64_t{1} << shift) != 0)
        return badImage("its resources cannot move by whole sectors");
    const int64_t sectors = delta / (int64_t{1} << shift);
    position += 2;
    for (;;) {
        if (!image.fits(position, 2))
            return badImage("its resource table has no end");
        if (image.le16(position) == 0)
            return Ok{};
        if (!image.fits(position, ne::ResourceTypeHeaderSize))
            return badImage("its resource table runs past the image");
        uint16_t count = image.le16(position + 2);
        position += ne::ResourceTypeHeaderSize;
        if (!image.fits(position, uint64_t{count} * ne::ResourceEntrySize))
            return badImage("its resource table runs past the image");
        for (size_t i = 0; i < count; ++i, position += ne::ResourceEntrySize) {
            if (!moveSector16(image, position, sectors))
                return badImage("a resource would move outside the file");
        }
    }
}

Result<Ok, ConvertError> moveHeaderPositions(ImageBytes& image, int64_t delta)
{
    uint64_t names = 0;
    if (!addWithin(image.le32(ne::NonResidentNamesOffset), delta, std::numeric_limits<uint32_t>::max(),
                   names))
        return badImage("its non-resident names would move outside the file");
    image.setLE32(ne::NonResidentNamesOffset, static_cast<uint32_t>(names));
    if ((image.u8(ne::OtherFlags) & ne::GangloadArea) != 0 &&
        !moveSector16(image, ne::GangloadOffset, delta / SectorSize))
        return badImage("its gangload area would move outside the file");
    return Ok{};
}

} // namespace

Result<std::vector<uint8_t>, ConvertError> relocateWindowsImage(std::span<const uint8_t> record,
                                                                uint32_t newHeaderOffset)
{
    if (record.size() < imagerecord::Size)
        return badImage("its record is shorter than 8 bytes");
    const size_t length =
        static_cast<size_t>(record[imagerecord::ImageLength] | record[imagerecord::ImageLength + 1] << 8);
    const uint32_t originalOffset = static_cast<uint32_t>(record[imagerecord::OriginalOffset] |
                                                          record[imagerecord::OriginalOffset + 1] << 8);
    if (length < ne::HeaderSize || length > record.size() - imagerecord::Size)
        return badImage("its length does not fit the record");
    std::span<const uint8_t> bytes = record.subspan(imagerecord::Size, length);
    ImageBytes image(std::vector<uint8_t>(bytes.begin(), bytes.end()));
    if (image.le16(0) != ne::Signature)
        return badImage("it does not start with \"NE\"");
    if (image.le16(ne::AlignmentShift) != ne::SectorShift)
        return badImage("its segments are not aligned to 16 bytes");
    const int64_t delta = int64_t{newHeaderOffset} - int64_t{originalOffset};
    if (delta % SectorSize != 0)
        return badImage("it cannot move by whole 16-byte sectors");
    if (Result<Ok, ConvertError> moved = moveHeaderPositions(image, delta); !moved)
        return moved.error();
    if (Result<Ok, ConvertError> moved = moveSegments(image, delta / SectorSize); !moved)
        return moved.error();
    if (Result<Ok, ConvertError> moved = moveResources(image, delta); !moved)
        return moved.error();
    return image.release();
}

} // namespace quarvo
