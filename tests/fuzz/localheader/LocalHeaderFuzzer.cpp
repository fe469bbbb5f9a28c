// Feeds arbitrary bytes to the record parsers that read what follows the central directory's
// pointers: local headers, data descriptors and extra fields. None may read past the bytes given,
// and every length they report must lie inside them.

#include "core/zip/ZipFormat.h"
#include "core/zip/ZipNames.h"
#include "core/zip/ZipRecords.h"

#include <cstdint>
#include <cstdlib>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::span<const uint8_t> bytes(data, size);
    if (auto local = quarvo::parseLocalHeader(bytes)) {
        if (local->recordSize > size || local->name.size() != local->fields.nameLength)
            std::abort();
        (void)quarvo::decodeArchiveText(local->name, local->fields.flags);
        (void)quarvo::findExtraBlock(local->extra, quarvo::zipformat::extra::Zip64);
        (void)quarvo::parseDataDescriptor(bytes.subspan(local->recordSize));
    }
    if (auto central = quarvo::parseCentralHeader(bytes)) {
        if (central->recordSize > size)
            std::abort();
        (void)quarvo::escapeControlCharacters(
            quarvo::decodeArchiveText(central->name, central->fields.flags));
        (void)quarvo::findExtraBlock(central->extra, quarvo::zipformat::extra::ExtendedTimestamp);
    }
    (void)quarvo::parseDataDescriptor(bytes);
    return 0;
}
