#pragma once

#include "gui/app/DocumentWindow.h"
#include "gui/app/ZipListingSource.h"
#include "gui/printing/PrintableListing.h"

namespace quarvo {
class AppSettings;
class ZipDocument;
} // namespace quarvo

namespace quarvo::gui {

class ListingPane;

// The window of an open ZIP archive: the column header bar over the listing, the listing's view
// commands, and the archive's own commands (refresh, info, delete the archive file, adding, deleting,
// extracting, viewing, running and checking out entries, show parent). Its title is
// the archive's name with the listing's filter: "NAME.ZIP(*.*)", with a leading "*" for an archive
// opened from inside another one. Its listing prints with the archive's comment under the name.
class ZipWindow : public DocumentWindow, public PrintableListing {
    Q_OBJECT
public:
    ZipWindow(ZipDocument& document, AppSettings& settings, QWidget* parent = nullptr);
    ~ZipWindow() override;

    ListingPane& pane() const { return *m_pane; }

    QString titleText() const override;
    const SummaryProvider* summaryProvider() const override;
    void releaseDocument() override;

    bool handlesCommand(int id) const override;
    bool isCommandEnabled(int id) const override;
    std::optional<bool> commandCheck(int id) const override;
    void runCommand(int id) override;
    // The add family answers whether the engine ran and succeeded; New ZIP keeps the archive only then.
    bool runCommandWithResult(int id) override;

    void onDocumentUpdate(View* sender, int hint) override;

    bool canPrintListing() const override { return m_zip != nullptr; }
    ListingPrintout listingPrintout() const override;

private:
    bool isDocumentCommand(int id) const;

    ZipDocument* m_zip;
    ZipListingSource m_source;
    ListingPane* m_pane;
};

} // namespace quarvo::gui
