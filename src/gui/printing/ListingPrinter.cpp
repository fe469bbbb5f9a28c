#include "gui/printing/ListingPrinter.h"

#include "core/text/PathParts.h"
#include "gui/printing/ListingPrintJob.h"

#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>

namespace quarvo::gui {

namespace {

// How many pages the preview shows side by side in each of its view modes; nothing for the
// overview of all pages, which no count describes.
std::optional<int> pagesShown(QPrintPreviewWidget::ViewMode mode)
{
    switch (mode) {
    case QPrintPreviewWidget::SinglePageView:
        return 1;
    case QPrintPreviewWidget::FacingPagesView:
        return 2;
    case QPrintPreviewWidget::AllPagesView:
        break;
    }
    return std::nullopt;
}

} // namespace

ListingPrinter::ListingPrinter() : m_printer(QPrinter::HighResolution) {}

void ListingPrinter::nameDocument(const PrintoutSource& source)
{
    if (std::optional<ListingPrintout> printout = source())
        m_printer.setDocName(QString::fromStdString(std::string(fileNamePart(printout->archivePath))));
}

ListingPrinter::Outcome ListingPrinter::print(const PrintoutSource& source, QWidget* parent)
{
    nameDocument(source);
    QPrintDialog dialog(&m_printer, parent);
    // Everything is printed whatever is selected, and there is no "current page" of a listing.
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    if (dialog.exec() != QDialog::Accepted)
        return Outcome::Cancelled;
    std::optional<ListingPrintout> printout = source();
    if (!printout)
        return Outcome::Cancelled;
    return printListing(*printout, m_printer) ? Outcome::Printed : Outcome::Failed;
}

void ListingPrinter::preview(const PrintoutSource& source, int& previewPages, QWidget* parent)
{
    nameDocument(source);
    // A page range chosen for an earlier print would hide the other pages.
    m_printer.setPrintRange(QPrinter::AllPages);
    QPrintPreviewDialog dialog(&m_printer, parent);
    // The preview draws again whenever its page set-up changes, each time from the listing as it is.
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&source](QPrinter* printer) {
        if (std::optional<ListingPrintout> printout = source())
            printListing(*printout, *printer);
    });
    auto* view = dialog.findChild<QPrintPreviewWidget*>();
    if (view && previewPages == 1)
        view->setViewMode(QPrintPreviewWidget::SinglePageView);
    if (view && previewPages == 2)
        view->setViewMode(QPrintPreviewWidget::FacingPagesView);
    dialog.exec();
    if (std::optional<int> shown = view ? pagesShown(view->viewMode()) : std::nullopt)
        previewPages = *shown;
}

void ListingPrinter::setUpPage(QWidget* parent)
{
    QPageSetupDialog(&m_printer, parent).exec();
}

QString ListingPrinter::failureText() const
{
    if (m_printer.outputFormat() == QPrinter::PdfFormat)
        return QStringLiteral("The listing could not be printed: the file %1 could not be written.")
            .arg(m_printer.outputFileName());
    return QStringLiteral("The listing could not be printed on %1.").arg(m_printer.printerName());
}

} // namespace quarvo::gui
