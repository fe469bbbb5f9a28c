#pragma once

#include "core/printing/ListingPrintout.h"

#include <QPrinter>

#include <functional>
#include <optional>

class QWidget;

namespace quarvo::gui {

// The application's one printer and the dialogs around it: Print Setup changes it, Print and Print
// Preview use it, so a paper size or orientation chosen once holds for every listing printed
// afterwards. On a machine without printers it writes PDF files: Qt's print dialog then offers
// "Print to File (PDF)" and asks for the file's name.
class ListingPrinter {
public:
    enum class Outcome {
        Printed,
        Cancelled,
        Failed, // the printer (or the PDF file) could not be written
    };

    // Hands over the listing as it is shown at the moment the pages are drawn, or nothing when the
    // window has gone meanwhile. The dialogs run event loops, in which a document may be re-read or
    // closed, so rows are never kept across one.
    using PrintoutSource = std::function<std::optional<ListingPrintout>()>;

    ListingPrinter();

    QPrinter& printer() { return m_printer; }

    // Print: the print dialog, then every page, or the pages chosen in the dialog.
    Outcome print(const PrintoutSource& source, QWidget* parent);
    // Print Preview: the pages in the preview dialog, from which they can be printed too. It starts
    // with previewPages pages side by side (1 or 2; anything else leaves Qt's default), and the
    // number shown when it closes is written back.
    void preview(const PrintoutSource& source, int& previewPages, QWidget* parent);
    // Print Setup: the page set-up dialog (paper, orientation, margins) for the shared printer.
    void setUpPage(QWidget* parent);

    // What a failed print is told with: names the file or the printer that could not be written.
    QString failureText() const;

private:
    // The print queue, and the PDF file name the print dialog suggests, show the archive's name.
    void nameDocument(const PrintoutSource& source);

    QPrinter m_printer;
};

} // namespace quarvo::gui
