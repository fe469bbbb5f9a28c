#include "core/tar/TarListEntry.h"

#include "core/text/DosDateTime.h"
#include "core/zip/ZipFormat.h"
#include "core/zip/ZipNames.h"

#include <cstring>

namespace quarvo {

namespace {

constexpr uint16_t SecondsMask = 0x1F;
constexpr uint32_t OwnerWrite = 0200;

std::string decodedName(const char* stored)
{
    if (!stored)
        return {};
    const auto* bytes = reinterpret_cast<const uint8_t*>(stored);
    return decodeArchiveText({bytes, std::strlen(stored)}, zipformat::flag::Utf8Names);
}

} // namespace

std::unique_ptr<TarListEntry> makeTarListEntry(const TarEntryRecord& record, int32_t index)
{
    auto entry = std::make_unique<TarListEntry>();
    entry->index = index;
    entry->name = decodedName(record.name);
    entry->linkTarget = decodedName(record.secondName);
    entry->nameLength = static_cast<uint16_t>(std::min<size_t>(entry->name.size(), UINT16_MAX));
    entry->mode = record.mode;
    entry->crc32 = record.crc32;
    entry->compressedSize = record.size;
    entry->uncompressedSize = record.size;
    DosDateTime packed = dosDateTimeFromTime(static_cast<std::time_t>(record.modificationTime));
    entry->modDate = packed.date;
    entry->modTime = static_cast<uint16_t>(packed.time & ~SecondsMask);
    if (!entry->name.empty() && entry->name.back() == '/')
        entry->externalAttributes |= zipformat::attribute::DosDirectory;
    if (!(record.mode & OwnerWrite))
        entry->externalAttributes |= zipformat::attribute::DosReadOnly;
    return entry;
}

} // namespace quarvo
