#include "core/listing/EntryOrder.h"

#include "core/base/TextCase.h"
#include "core/listing/EntryColumnTexts.h"
#include "core/text/PathParts.h"
#include "core/zip/ZipEntry.h"

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <span>
#include <string>
#include <string_view>

namespace quarvo {

namespace {

int compareTexts(std::string_view a, std::string_view b)
{
    int result = a.compare(b);
    return result == 0 ? 0 : result < 0 ? -1 : 1;
}

template <typename T> int compareValues(T a, T b)
{
    return a == b ? 0 : a < b ? -1 : 1;
}

// What an entry is sorted by, worked out once per entry rather than once per comparison. The texts
// are views into the entry's name mapped to lower case, so that comparing them as unsigned bytes
// (which string_view::compare does) ignores letter case.
struct SortKey {
    const ZipEntry* entry = nullptr;
    std::string_view name;
    std::string_view fileName;
    std::string_view directory;
    std::string_view extension;
    int ratio = 0;

    SortKey(const ZipEntry* e, std::string_view lowerCaseName)
        : entry(e), name(lowerCaseName), fileName(fileNamePart(name)), directory(directoryPart(name)),
          extension(extensionPart(name)), ratio(entryCompressionRatio(*e))
    {
    }
};

void appendLowerCase(std::string& text, std::string_view name)
{
    for (char c : name)
        text += toLowerAscii(c);
}

// The tie-break most orders share: file name, then directory.
int compareByFileName(const SortKey& a, const SortKey& b)
{
    if (int result = compareTexts(a.fileName, b.fileName))
        return result;
    return compareTexts(a.directory, b.directory);
}

int compareKeys(SortOrder order, const SortKey& a, const SortKey& b)
{
    const ZipEntry& x = *a.entry;
    const ZipEntry& y = *b.entry;
    int result = 0;
    switch (order) {
    case SortOrder::CompressionOrder:
        return 0;
    case SortOrder::FileName:
        return compareByFileName(a, b);
    case SortOrder::Path:
        if ((result = compareTexts(a.directory, b.directory)))
            return result;
        return compareTexts(a.name, b.name);
    case SortOrder::Extension:
        result = compareTexts(a.extension, b.extension);
        break;
    case SortOrder::DateTime:
        if ((result = compareValues(x.modDate, y.modDate)))
            return result;
        result = compareValues(x.modTime, y.modTime);
        break;
    case SortOrder::CompressedSize:
        result = compareValues(x.compressedSize, y.compressedSize);
        break;
    case SortOrder::UncompressedSize:
        result = compareValues(x.uncompressedSize, y.uncompressedSize);
        break;
    case SortOrder::Ratio:
        result = compareValues(a.ratio, b.ratio);
        break;
    }
    return result != 0 ? result : compareByFileName(a, b);
}

} // namespace

int compareEntries(SortOrder order, const ZipEntry* a, const ZipEntry* b)
{
    if (a == nullptr || b == nullptr)
        return compareValues(a != nullptr, b != nullptr);
    std::string lowerA = toLowerAscii(a->name);
    std::string lowerB = toLowerAscii(b->name);
    return compareKeys(order, SortKey(a, lowerA), SortKey(b, lowerB));
}

void sortEntries(std::vector<ZipEntry*>& rows, SortOrder order)
{
    if (order == SortOrder::CompressionOrder)
        return;
    auto nullEnd =
        std::stable_partition(rows.begin(), rows.end(), [](const ZipEntry* e) { return e == nullptr; });
    std::span<ZipEntry*> entries(nullEnd, rows.end());

    // All lower-case names in one block: built first, then viewed, so that it never moves.
    size_t totalLength = 0;
    for (const ZipEntry* entry : entries)
        totalLength += entry->name.size();
    std::string lowerCaseNames;
    lowerCaseNames.reserve(totalLength);
    for (const ZipEntry* entry : entries)
        appendLowerCase(lowerCaseNames, entry->name);

    std::vector<SortKey> keys;
    keys.reserve(entries.size());
    size_t offset = 0;
    for (const ZipEntry* entry : entries) {
        keys.emplace_back(entry, std::string_view(lowerCaseNames).substr(offset, entry->name.size()));
        offset += entry->name.size();
    }

    // Sorting positions rather than keys keeps the moves small.
    std::vector<uint32_t> positions(keys.size());
    std::iota(positions.begin(), positions.end(), 0);
    std::stable_sort(positions.begin(), positions.end(),
                     [&](uint32_t a, uint32_t b) { return compareKeys(order, keys[a], keys[b]) < 0; });
    std::vector<ZipEntry*> sorted;
    sorted.reserve(positions.size());
    for (uint32_t position : positions)
        sorted.push_back(entries[position]);
    std::copy(sorted.begin(), sorted.end(), nullEnd);
}

} // namespace quarvo
