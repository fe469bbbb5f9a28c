#pragma once

#include "core/printing/ListingPrintout.h"
#include "core/printing/PrintedPage.h"

#include <string>
#include <vector>

namespace quarvo {

class TextMeasurer;

// Lays a listing out on pages, one page at a time, as the printer asks for them.
//
// The first page is headed by the archive's file name, centred, and a line's gap; a ZIP listing
// follows it with the archive comment, word-wrapped within the area, and another gap. Then come the
// rows, in the order given, one or two lines each. A page takes a line while more than three lines
// are left below it; otherwise it ends with "Page N" centred in the strip left at its bottom, and
// the next page goes on where it stopped. The last page has no page number.
//
// Every page ends, whatever the sizes: the heading is printed on the first page only, a comment too
// long for a page continues line by line on the next ones, and the first line of comment or the
// first row of a page is printed even where the page is too short to keep the bottom strip free.
// So each page after the first carries at least one line of comment or one row, and a listing of n
// rows never takes more pages than its comment lines and rows together, plus one.
class ListingPaginator {
public:
    // The printout and the measurer must outlive the paginator. The measurer gives the
    // printer font's widths in the area's device units; its average character width places the
    // columns.
    ListingPaginator(const ListingPrintout& printout, const PrintArea& area, const TextMeasurer& measurer);

    // Whether another page follows. There is always a first page, even for an empty listing.
    bool hasNextPage() const;
    // The next page's texts; call only while hasNextPage().
    PrintedPage nextPage();

private:
    // Lays out what is left of the comment; false when the page is full.
    bool placeComment(PrintedPage& page);
    // Lays out rows from the next one on; false when the page is full.
    bool placeRows(PrintedPage& page);
    bool pageHasRoom(const PrintedPage& page) const;
    void placeHeading(PrintedPage& page);
    void placePageNumber(PrintedPage& page);
    void placeCentred(PrintedPage& page, int32_t y, std::string text);

    const ListingPrintout& m_printout;
    PrintArea m_area;
    const TextMeasurer& m_measurer;
    std::vector<std::string> m_commentLines;
    size_t m_nextCommentLine = 0;
    bool m_commentDone;
    size_t m_nextRow = 0;
    uint32_t m_pageCount = 0;
    int32_t m_y = 0;
};

// Every page of a listing at once; for tests and small listings (a printer asks page by page).
std::vector<PrintedPage> paginateListing(const ListingPrintout& printout, const PrintArea& area,
                                         const TextMeasurer& measurer);

} // namespace quarvo
