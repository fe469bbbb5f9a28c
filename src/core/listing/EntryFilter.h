#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "core/listing/SortOrder.h"

namespace quarvo {

struct ZipEntry;

// A new listing shows every entry.
constexpr std::string_view defaultFilter = "*.*";

// The wildcard pattern a listing filter stands for. "*.*" written exactly so means every entry,
// names without a dot included, and becomes "*"; any other text is the pattern as typed, so an
// empty filter shows nothing.
std::string_view effectiveFilterPattern(std::string_view filter);

// Whether a listing with this filter shows the entry (its stored name matches the pattern).
bool passesFilter(const ZipEntry& entry, std::string_view filter);

// The entries a listing with this filter shows, in the order of the archive's directory.
std::vector<ZipEntry*> shownEntries(const std::vector<std::unique_ptr<ZipEntry>>& entries,
                                    std::string_view filter);

// The rows of a listing: the shown entries in the given order.
std::vector<ZipEntry*> listingRows(const std::vector<std::unique_ptr<ZipEntry>>& entries,
                                   std::string_view filter, SortOrder order);

} // namespace quarvo
