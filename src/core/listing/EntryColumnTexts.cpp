#include "core/listing/EntryColumnTexts.h"

#include "core/text/CompressionRatio.h"
#include "core/text/NumberFormat.h"
#include "core/text/PathParts.h"
#include "core/zip/ZipEntry.h"
#include "core/zip/ZipFormat.h"

#include <array>
#include <string_view>

namespace quarvo {

namespace {

namespace attribute = zipformat::attribute;

// The last component of a stored name, ignoring the "/" that ends a directory entry.
std::string_view lastComponent(std::string_view name)
{
    if (!name.empty() && name.back() == '/')
        name.remove_suffix(1);
    return fileNamePart(name);
}

uint8_t attributesFromUnixMode(uint32_t mode, std::string_view name)
{
    uint8_t bits = 0;
    uint32_t type = mode & attribute::UnixTypeMask;
    if (type == attribute::UnixDirectory)
        bits |= attribute::DosDirectory;
    else if (type != 0 && type != attribute::UnixRegular)
        bits |= attribute::DosSystem;
    if ((mode & 0200) == 0)
        bits |= attribute::DosReadOnly;
    if (lastComponent(name).starts_with('.'))
        bits |= attribute::DosHidden;
    return bits;
}

} // namespace

uint8_t dosAttributes(const ZipEntry& entry)
{
    auto bits = static_cast<uint8_t>(entry.externalAttributes & 0xFF);
    uint32_t mode = entry.externalAttributes >> attribute::UnixModeShift;
    if (entry.versionMadeBy >> 8 == zipformat::host::Unix && mode != 0)
        bits |= attributesFromUnixMode(mode, entry.name);
    return bits;
}

std::string attributeLetters(const ZipEntry& entry)
{
    struct Letter {
        uint32_t bit;
        char letter;
    };
    constexpr std::array<Letter, 4> letters = {{
        {attribute::DosDirectory, 'd'},
        {attribute::DosSystem, 's'},
        {attribute::DosHidden, 'h'},
        {attribute::DosReadOnly, 'r'},
    }};
    uint8_t bits = dosAttributes(entry);
    std::string text;
    for (const Letter& letter : letters)
        text += (bits & letter.bit) ? letter.letter : '-';
    return text;
}

std::string pathAndCommentText(const ZipEntry& entry)
{
    std::string text(directoryPart(entry.name));
    if (entry.commentLength != 0)
        text += "->" + entry.comment;
    return text;
}

int entryCompressionRatio(const ZipEntry& entry)
{
    return compressionRatio(entry.compressedSize, entry.uncompressedSize);
}

std::string ratioText(const ZipEntry& entry)
{
    return formatThousands(static_cast<uint32_t>(entryCompressionRatio(entry))) + "%";
}

} // namespace quarvo
