#pragma once

#include "gui/app/ArchiveWindow.h"

namespace quarvo {
class ZipDocument;
} // namespace quarvo

namespace quarvo::gui {

// The window of an open ZIP archive: an archive window that adds, moves and deletes entries, and
// prints its listing with the archive's comment under the name.
class ZipWindow : public ArchiveWindow {
    Q_OBJECT
public:
    ZipWindow(ZipDocument& document, AppSettings& settings, QWidget* parent = nullptr);

    // The add family answers whether the engine ran and succeeded; New ZIP keeps the archive only then.
    bool runCommandWithResult(int id) override;
    bool isCommandEnabled(int id) const override;

protected:
    bool isKindCommand(int id) const override;
    void runKindCommand(int id) override;
    void runExtractCommand(int id) override;
    ListingPrintout printoutHeading() const override;

private:
    // The archive shown; null once the document is released.
    ZipDocument* zip() const;
};

} // namespace quarvo::gui
