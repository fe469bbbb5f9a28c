#pragma once

#include "core/printing/ListingPrintout.h"

#include <QPrinter>

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

    ListingPrinter();

    QPrinter& printer() { return m_printer; }

    // Print: the print dialog, then every page, or the pages chosen in the dialog.
    Outcome print(const ListingPrintout& printout, QWidget* parent);
    // Print Preview: the pages in the preview dialog, from which they can be printed too. It starts
    // with previewPages pages side by side (1 or 2; anything else leaves Qt's default), and the
    // number shown when it closes is written back.
    void preview(const ListingPrintout& printout, int& previewPages, QWidget* parent);
    // Print Setup: the page set-up dialog (paper, orientation, margins) for the shared printer.
    void setUpPage(QWidget* parent);

    // What a failed print is told with: names the file or the printer that could not be written.
    QString failureText() const;

private:
    void nameDocument(const ListingPrintout& printout);

    QPrinter m_printer;
};

} // namespace quarvo::gui
