#include "core/convert/DosStub.h"

#include "core/base/ByteReader.h"
#include "core/convert/ExecutableFormat.h"

#include <optional>
#include <string>

namespace quarvo {

namespace {

using namespace exeformat;

uint16_t le16At(std::span<const uint8_t> bytes, size_t offset)
{
    ByteReader reader(bytes.subspan(offset));
    return reader.readLE16();
}

uint32_t le32At(std::span<const uint8_t> bytes, size_t offset)
{
    ByteReader reader(bytes.subspan(offset));
    return reader.readLE32();
}

void putLE16(std::vector<uint8_t>& bytes, size_t offset, uint16_t value)
{
    bytes[offset] = static_cast<uint8_t>(value);
    bytes[offset + 1] = static_cast<uint8_t>(value >> 8);
}

void putLE32(std::vector<uint8_t>& bytes, size_t offset, uint32_t value)
{
    for (size_t i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

ConvertError badStub(std::string detail)
{
    return {ConvertFailure::BadDosStub, std::move(detail)};
}

// Whether the header's new-header offset names an "NE" header inside the file.
bool pointsAtNeHeader(std::span<const uint8_t> file)
{
    if (le16At(file, mz::RelocationTableOffset) < mz::NewStyleRelocationOffset)
        return false;
    uint64_t offset = le32At(file, mz::NewHeaderOffset);
    return offset + 2 <= file.size() && le16At(file, static_cast<size_t>(offset)) == ne::Signature;
}

} // namespace

std::optional<uint32_t> dosProgramLength(std::span<const uint8_t> header)
{
    if (header.size() < mz::HeaderSize)
        return std::nullopt;
    uint32_t lastPage = le16At(header, mz::BytesInLastPage);
    uint32_t pages = le16At(header, mz::PageCount);
    if (pages == 0 || lastPage > mz::PageSize)
        return std::nullopt;
    // A count of 0 in the last page means the whole page is used.
    if (lastPage == 0)
        lastPage = mz::PageSize;
    return (pages - 1) * static_cast<uint32_t>(mz::PageSize) + lastPage;
}

Result<DosStubLayout, ConvertError> layOutDosStub(std::span<const uint8_t> file)
{
    if (file.size() < mz::HeaderSize)
        return badStub("its header is shorter than 64 bytes");
    if (le16At(file, 0) != mz::Signature)
        return badStub("it does not start with \"MZ\"");
    std::optional<uint32_t> length = dosProgramLength(file);
    if (!length)
        return badStub("its page count is impossible");
    if (*length < mz::HeaderSize)
        return badStub("its header says it is shorter than its header");
    if (*length > file.size())
        return badStub("its header says it is longer than the file");
    if (pointsAtNeHeader(file))
        return badStub("it is a Windows program, not an MS-DOS one");

    DosStubLayout layout;
    layout.programLength = *length;
    layout.paddedLength = (*length & ~uint32_t{mz::ParagraphSize - 1}) + mz::ParagraphSize;
    layout.program.assign(file.begin(), file.begin() + *length);
    putLE16(layout.program, mz::Checksum, 0);
    putLE32(layout.program, mz::NewHeaderOffset, layout.paddedLength);
    return layout;
}

} // namespace quarvo
