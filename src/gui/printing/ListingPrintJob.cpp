#include "gui/printing/ListingPrintJob.h"

#include "core/printing/ListingPaginator.h"
#include "gui/printing/PrinterTextMeasurer.h"

#include <QPageRanges>
#include <QPainter>
#include <QPrinter>

namespace quarvo::gui {

namespace {

void drawPage(QPainter& painter, const PrintedPage& page, qreal ascent)
{
    for (const PageText& text : page.texts)
        painter.drawText(QPointF(text.placed.x, text.y + ascent), QString::fromStdString(text.placed.text));
}

// The pages the user asked for; every page when no range was chosen.
bool isPageWanted(const QPrinter& printer, uint32_t number)
{
    return printer.printRange() != QPrinter::PageRange || printer.pageRanges().isEmpty() ||
           printer.pageRanges().contains(int(number));
}

} // namespace

bool printListing(const ListingPrintout& printout, QPrinter& printer)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    // The painter starts with the device's default font; the listing's screen font is not used.
    PrinterTextMeasurer measurer(painter.font(), &printer);
    // The painter's origin is the top left corner of the printable area.
    PrintArea area{0, 0, printer.width(), printer.height(), measurer.lineHeight()};
    ListingPaginator paginator(printout, area, measurer);
    bool pagePrinted = false;
    while (paginator.hasNextPage()) {
        PrintedPage page = paginator.nextPage();
        if (!isPageWanted(printer, page.number))
            continue;
        if (pagePrinted && !printer.newPage()) {
            painter.end();
            return false;
        }
        drawPage(painter, page, measurer.ascent());
        pagePrinted = true;
    }
    return painter.end();
}

} // namespace quarvo::gui
