#pragma once

#include "gui/app/DocumentWindow.h"
#include "gui/listing/ListingSource.h"
#include "gui/printing/PrintableListing.h"

#include <memory>

namespace quarvo {
class AppSettings;
class ArchiveDocument;
} // namespace quarvo

namespace quarvo::gui {

class ListingPane;

// The window of an open archive, ZIP or TAR: the column header bar over the listing, the listing's
// view commands, the entry commands (view, run, check out, show parent), the extract family, and
// the archive's own commands every kind has (refresh, info, delete the archive file). Its title is
// the archive's name with the listing's filter: "NAME.ZIP(*.*)", with a leading "*" for an archive
// opened from inside another one. A kind adds its own commands and its extract dialog.
class ArchiveWindow : public DocumentWindow, public PrintableListing {
    Q_OBJECT
public:
    ArchiveWindow(ArchiveDocument& archive, std::unique_ptr<ListingSource> source, AppSettings& settings,
                  QWidget* parent = nullptr);
    ~ArchiveWindow() override;

    ListingPane& pane() const { return *m_pane; }

    QString titleText() const override;
    const SummaryProvider* summaryProvider() const override;
    void releaseDocument() override;

    bool handlesCommand(int id) const override;
    bool isCommandEnabled(int id) const override;
    std::optional<bool> commandCheck(int id) const override;
    void runCommand(int id) override;

    void onDocumentUpdate(View* sender, int hint) override;

    bool canPrintListing() const override { return m_archive != nullptr; }
    ListingPrintout listingPrintout() const override;

protected:
    // The archive shown; null once the document is released.
    ArchiveDocument* archive() const { return m_archive; }

    // The commands of the archive's kind beyond those of every archive; the document's guard says
    // whether each is enabled.
    virtual bool isKindCommand(int) const { return false; }
    virtual void runKindCommand(int) {}
    // The extract family through the kind's extract dialog.
    virtual void runExtractCommand(int id) = 0;
    // The printout's heading: its kind, the archive's path and, for ZIP, its comment. The rows are
    // the listing's.
    virtual ListingPrintout printoutHeading() const = 0;

private:
    bool isArchiveCommand(int id) const;

    ArchiveDocument* m_archive;
    std::unique_ptr<ListingSource> m_source;
    ListingPane* m_pane;
};

} // namespace quarvo::gui
