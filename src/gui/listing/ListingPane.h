#pragma once

#include "core/settings/FontDescription.h"
#include "core/zip/ZipEntry.h"
#include "gui/listing/StatusSummary.h"

#include <QWidget>

#include <functional>
#include <optional>

namespace quarvo {
class AppSettings;
}

namespace quarvo::gui {

class HeaderBar;
class ListingSource;
class ListingView;

// The content of an archive window: the column header bar above the listing, and the listing's own
// commands (display form, sort order, filter, font, selection). The window that hosts it forwards
// these command ids to it and keeps the entry operations (extract, delete, view, ...) to itself,
// asking the listing for the caret entry and the selection.
class ListingPane : public QWidget, public SummaryProvider {
    Q_OBJECT
public:
    // A font chosen in the font dialog, and whether "&Save" closed it.
    struct FontChoice {
        QFont font;
        bool save = false;
    };
    // How the pane asks the user; the tests answer without dialogs. Nothing means Cancel.
    struct Dialogs {
        std::function<std::optional<QString>(const QString& filter, QWidget* parent)> askFilter;
        std::function<std::optional<FontChoice>(const QFont& font, QWidget* parent)> askFont;
    };

    // Builds the bar and the listing in the settings' listing font, and fills the listing. Its
    // status texts come out of statusTextRequested.
    ListingPane(ListingSource& source, AppSettings& settings, QWidget* parent = nullptr);

    ListingView& listing() const { return *m_listing; }
    HeaderBar& headerBar() const { return *m_headerBar; }
    void setDialogs(Dialogs dialogs) { m_dialogs = std::move(dialogs); }

    // The listing's commands: whether an id is one of them, whether it is enabled now, its menu check
    // mark (nothing for commands without one). runCommand returns false for an id that is not a
    // listing command.
    bool handlesCommand(int id) const;
    bool isCommandEnabled(int id) const;
    std::optional<bool> commandCheck(int id) const;
    bool runCommand(int id);

    // Change Filter: asks for a new filter and shows the entries that match it.
    void changeFilter();
    // Change Font: asks for a font for this listing, makes it the default for listings opened later,
    // and with "&Save" writes it to the profile as well.
    void changeFont();
    // The listing font as the settings would keep it.
    const FontDescription& fontDescription() const { return m_fontDescription; }

    StatusSummary statusSummary() const override;

signals:
    // A text for the status bar's message pane from the listing or the header bar; see
    // ListingView::statusTextRequested.
    void statusTextRequested(const QString& text);
    // The filter changed: the window's title ends in "(" + filter + ")".
    void filterChanged();
    // A row was double-clicked: the window views the caret row's entry.
    void viewEntryRequested(quarvo::ZipEntry* entry);

private:
    AppSettings& m_settings;
    HeaderBar* m_headerBar;
    ListingView* m_listing;
    Dialogs m_dialogs;
    FontDescription m_fontDescription;
};

} // namespace quarvo::gui
