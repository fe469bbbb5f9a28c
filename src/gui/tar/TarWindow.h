#pragma once

#include "gui/app/DocumentWindow.h"
#include "gui/printing/PrintableListing.h"
#include "gui/tar/TarListingSource.h"

namespace quarvo {
class AppSettings;
class TarDocument;
} // namespace quarvo

namespace quarvo::gui {

class ListingPane;

// The window of an open TAR archive, plain or unpacked from a compressed stream: the same listing as
// a ZIP window, read-only, with the archive's own commands (refresh, info, delete the archive file),
// the extract family with the integrity test, and viewing, running and checking out entries and Show
// Parent as in a ZIP window. Its title is the archive's name with the
// listing's filter, as a ZIP window's.
class TarWindow : public DocumentWindow, public PrintableListing {
    Q_OBJECT
public:
    TarWindow(TarDocument& document, AppSettings& settings, QWidget* parent = nullptr);
    ~TarWindow() override;

    ListingPane& pane() const { return *m_pane; }

    QString titleText() const override;
    const SummaryProvider* summaryProvider() const override;
    void releaseDocument() override;

    bool handlesCommand(int id) const override;
    bool isCommandEnabled(int id) const override;
    std::optional<bool> commandCheck(int id) const override;
    void runCommand(int id) override;
    std::optional<CommandWords> commandWords(int id) const override;

    bool canPrintListing() const override { return m_tar != nullptr; }
    ListingPrintout listingPrintout() const override;

    void onDocumentUpdate(View* sender, int hint) override;

private:
    bool isDocumentCommand(int id) const;

    TarDocument* m_tar;
    TarListingSource m_source;
    ListingPane* m_pane;
};

} // namespace quarvo::gui
