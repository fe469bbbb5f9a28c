#pragma once

#include "core/printing/ListingPrintout.h"
#include "core/printing/PrintedPage.h"

#include <vector>

namespace quarvo {

class TextMeasurer;

// How many lines a row takes on paper: two in the ZIP listing when the file name is longer than
// twelve characters (the name alone, then the other columns), otherwise one.
int32_t printedRowLineCount(const ZipEntry& entry, PrintedListingKind kind);

// The texts of one printed row whose first line has its top at y: the file name at the left edge of
// the area; the date, time, size, compressed size, ratio and attribute letters each ending at its
// fixed column (measured in the printer font's average character width, placed by its measured
// width); the directory part, with "->" and the entry's comment when it has one, from the last
// column on. There is no marker cell.
std::vector<PageText> printedRowTexts(const ZipEntry& entry, PrintedListingKind kind, const PrintArea& area,
                                      int32_t y, const TextMeasurer& measurer);

} // namespace quarvo
