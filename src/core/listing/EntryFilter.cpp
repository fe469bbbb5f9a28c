#include "core/listing/EntryFilter.h"

#include "core/listing/EntryOrder.h"
#include "core/listing/WildcardMatcher.h"
#include "core/zip/ZipEntry.h"

namespace quarvo {

std::string_view effectiveFilterPattern(std::string_view filter)
{
    return filter == defaultFilter ? std::string_view("*") : filter;
}

bool passesFilter(const ZipEntry& entry, std::string_view filter)
{
    return matches(entry.name, effectiveFilterPattern(filter));
}

std::vector<ZipEntry*> shownEntries(const std::vector<std::unique_ptr<ZipEntry>>& entries,
                                    std::string_view filter)
{
    std::vector<ZipEntry*> shown;
    for (const auto& entry : entries) {
        if (entry && passesFilter(*entry, filter))
            shown.push_back(entry.get());
    }
    return shown;
}

std::vector<ZipEntry*> listingRows(const std::vector<std::unique_ptr<ZipEntry>>& entries,
                                   std::string_view filter, SortOrder order)
{
    std::vector<ZipEntry*> rows = shownEntries(entries, filter);
    sortEntries(rows, order);
    return rows;
}

} // namespace quarvo
