#pragma once

#include "core/framework/View.h"
#include "core/listing/ColumnLayout.h"
#include "core/listing/SelectionList.h"
#include "core/listing/SelectionSummary.h"
#include "core/listing/SortOrder.h"
#include "gui/listing/StatusSummary.h"

#include <QListView>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QMimeData;

namespace quarvo {
struct ZipEntry;
}

namespace quarvo::gui {

class ListingDelegate;
class ListingModel;
class ListingSource;
class PlacedTextRenderer;

// The listing of an archive: one row per entry that passes the filter, in one of the eight sort
// orders, either detailed (eight columns laid out to the pixel, under the column header bar) or
// names only (several columns of full names). The selection lives in the entries, so every view of
// the document and a re-read keep it: a change here is written to the entries and the other views
// are told (update hint 1). The keyboard and mouse follow the extended selection of list boxes: a
// click selects one row, Shift extends from the anchor, Ctrl toggles, the keys move the caret.
class ListingView : public QListView, public View, public SummaryProvider {
    Q_OBJECT
public:
    // Attaches to the source's document; fill the rows with fillList() once the font is set.
    explicit ListingView(ListingSource& source, QWidget* parent = nullptr);
    ~ListingView() override;

    ListingSource& source() const { return m_source; }
    // The document is going away before the listing: the listing drops its rows, stops being a
    // view of the document and never touches the source again.
    void releaseSource();
    bool hasSource() const { return m_sourceAttached; }
    ListingModel& listingModel() const { return *m_model; }

    // Rebuilds the rows from the source's entries with the filter and the sort order, lays out the
    // columns and reselects the rows whose entries are selected. Reports its progress as status texts.
    void fillList();
    // Sorts by the given order (rebuilding even when it is the current one). The columns keep their
    // widths when the rows shown are the ones they were laid out for: the order changes no width.
    void setSort(SortOrder order);
    SortOrder sortOrder() const { return m_sortOrder; }
    // Shows the entries whose stored names match the filter, taken as typed: "*.*" shows every
    // entry, an empty filter none.
    void setFilter(std::string filter);
    const std::string& filter() const { return m_filter; }
    // Detailed rows (true) or names only in several columns. The caret, the selection and the font
    // stay as they were.
    void setDisplayMode(bool detailed);
    bool showsDetails() const { return m_showDetails; }
    // Rows are one font height tall; the columns are laid out again in the new font.
    void setListFont(const QFont& font);
    // Lays out the columns for the shown entries in the current font and scrolls to the left end.
    void layoutColumns();
    const ColumnLayout& columnLayout() const;
    // Places the texts of the rows and of the column titles in the listing's font.
    const PlacedTextRenderer& textRenderer() const { return *m_renderer; }
    int rowHeight() const;

    int rowCount() const;
    int selectedRowCount() const;
    // The caret row's entry (the row with the focus rectangle, selected or not); null when none.
    ZipEntry* caretEntry() const;
    // The selected rows' entries in list order.
    std::vector<ZipEntry*> selectedEntries() const;
    // The selected entries as the ZIP engines take them, and as the TAR reader does.
    SelectionList buildSelectionList() const;
    SelectionList buildTarSelectionList() const;

    // Selects every row (true) or none, then recounts.
    void selectAllRows(bool select);
    // The user changed the selection: writes it to the entries, counts it, refreshes the status bar
    // and tells the document's other views.
    void recountSelection();
    // Another view changed the selection, or the list was refilled: selects the rows whose entries
    // are selected and counts them, telling no one.
    void applySelection();
    SelectionSummary selectionSummary() const { return m_summary; }

    StatusSummary statusSummary() const override;
    void onDocumentUpdate(View* sender, int hint) override;

    // Lets the selected entries be dragged out of the listing: a drag begun on a selected row asks
    // makeData for what it carries (it keeps the data; Qt owns it). Without it nothing is dragged.
    using EntryDragData = std::function<QMimeData*(const std::vector<ZipEntry*>& entries)>;
    void setEntryDragData(EntryDragData makeData);
    const EntryDragData& entryDragData() const { return m_entryDragData; }

    // Ctrl+A selects everything through the same path as the menu.
    void selectAll() override;
    // Typing letters does not jump between rows.
    void keyboardSearch(const QString&) override {}

signals:
    // A text for the status bar's message pane, to be shown at once (progress texts come while the
    // listing is busy and no events are processed). The idle prompt asks for the summaries.
    void statusTextRequested(const QString& text);
    // The layout, font or horizontal position changed: the column header bar repaints.
    void columnsChanged();
    void listFontChanged(const QFont& font);
    void displayModeChanged(bool detailed);
    void filterChanged();
    // A row was double-clicked: view the caret row's entry.
    void viewEntryRequested(ZipEntry* entry);

protected:
    void paintEvent(QPaintEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;

  private:
    // fillList, laying out the columns again always, or only when the shown rows changed.
    void fill(bool layOutAlways);
    void applyDisplayForm();
    void restoreCaret(int caret);
    std::vector<bool> selectedRowFlags() const;

    ListingSource& m_source;
    ListingModel* m_model;
    ListingDelegate* m_delegate;
    std::shared_ptr<const PlacedTextRenderer> m_renderer;
    SortOrder m_sortOrder = defaultSortOrder;
    std::string m_filter;
    // The rows the columns were last laid out for by a fill, in the source's order.
    std::vector<ZipEntry*> m_laidOutRows;
    bool m_showDetails = true;
    SelectionSummary m_summary;
    // Set while the listing changes the selection itself, which is no user's change to write back.
    bool m_applyingSelection = false;
    bool m_sourceAttached = true;
    EntryDragData m_entryDragData;
};

} // namespace quarvo::gui
