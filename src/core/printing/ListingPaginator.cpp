#include "core/printing/ListingPaginator.h"

#include "core/listing/ColumnLayout.h"
#include "core/printing/PrintColumns.h"
#include "core/printing/PrintedRow.h"
#include "core/printing/TextWrap.h"
#include "core/text/PathParts.h"

#include <algorithm>

namespace quarvo {

ListingPaginator::ListingPaginator(const ListingPrintout& printout, const PrintArea& area,
                                   const TextMeasurer& measurer)
    : m_printout(printout), m_area(area), m_measurer(measurer),
      m_commentDone(printout.kind != PrintedListingKind::Zip)
{
    if (!m_commentDone)
        m_commentLines = wrapText(printout.archiveComment, area.width, measurer);
}

bool ListingPaginator::hasNextPage() const
{
    return m_pageCount == 0 || !m_commentDone || m_nextRow < m_printout.rows.size();
}

PrintedPage ListingPaginator::nextPage()
{
    PrintedPage page;
    page.number = ++m_pageCount;
    m_y = m_area.top;
    if (page.number == 1)
        placeHeading(page);
    if (placeComment(page) && placeRows(page))
        return page;
    placePageNumber(page);
    return page;
}

void ListingPaginator::placeHeading(PrintedPage& page)
{
    placeCentred(page, m_y, std::string(fileNamePart(m_printout.archivePath)));
    m_y += 2 * m_area.lineHeight;
}

bool ListingPaginator::placeComment(PrintedPage& page)
{
    for (; m_nextCommentLine < m_commentLines.size(); ++m_nextCommentLine) {
        if (!pageHasRoom(page))
            return false;
        page.texts.push_back({m_y, {m_area.left, TextAlignment::Left, m_commentLines[m_nextCommentLine]}});
        m_y += m_area.lineHeight;
    }
    if (!m_commentDone) {
        // The gap between the comment and the rows, on the page where the comment ends.
        m_y += m_area.lineHeight;
        m_commentDone = true;
    }
    return true;
}

bool ListingPaginator::placeRows(PrintedPage& page)
{
    for (; m_nextRow < m_printout.rows.size(); ++m_nextRow) {
        if (!pageHasRoom(page))
            return false;
        const ZipEntry& entry = *m_printout.rows[m_nextRow];
        std::vector<PageText> texts = printedRowTexts(entry, m_printout.kind, m_area, m_y, m_measurer);
        page.texts.insert(page.texts.end(), std::make_move_iterator(texts.begin()),
                          std::make_move_iterator(texts.end()));
        m_y += printedRowLineCount(entry, m_printout.kind) * m_area.lineHeight;
    }
    return true;
}

// A line fits while more than the reserved strip is left below it. A page that holds nothing yet
// takes its first line regardless: without that a page shorter than the strip would never end.
bool ListingPaginator::pageHasRoom(const PrintedPage& page) const
{
    if (page.texts.empty())
        return true;
    return m_y < m_area.bottom() - printColumn::ReservedBottomLines * m_area.lineHeight;
}

void ListingPaginator::placePageNumber(PrintedPage& page)
{
    int32_t strip = std::max(0, m_area.bottom() - m_y - m_area.lineHeight);
    placeCentred(page, m_y + strip / 2, "Page " + std::to_string(page.number));
}

void ListingPaginator::placeCentred(PrintedPage& page, int32_t y, std::string text)
{
    int32_t x = m_area.left + (m_area.width - m_measurer.textWidth(text)) / 2;
    page.texts.push_back({y, {x, TextAlignment::Left, std::move(text)}});
}

std::vector<PrintedPage> paginateListing(const ListingPrintout& printout, const PrintArea& area,
                                         const TextMeasurer& measurer)
{
    std::vector<PrintedPage> pages;
    ListingPaginator paginator(printout, area, measurer);
    while (paginator.hasNextPage())
        pages.push_back(paginator.nextPage());
    return pages;
}

} // namespace quarvo
