#pragma once

#include "core/listing/SortOrder.h"

#include <vector>

namespace quarvo {

struct ZipEntry;

// Compares two entries in the given order: -1 when a comes first, 1 when b does, 0 when they tie on
// every key (always 0 in CompressionOrder, which compares nothing). A null entry comes before any
// other. Texts compare byte by byte as unsigned values after A-Z are mapped to a-z.
int compareEntries(SortOrder order, const ZipEntry* a, const ZipEntry* b);

// Sorts rows into the given order. The sort is stable, so rows that tie on every key, and all rows
// in CompressionOrder, keep the order they had. O(n log n).
void sortEntries(std::vector<ZipEntry*>& rows, SortOrder order);

} // namespace quarvo
