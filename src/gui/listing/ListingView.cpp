#include "gui/listing/ListingView.h"

#include "core/framework/Document.h"
#include "core/listing/EntryFilter.h"
#include "core/listing/EntryOrder.h"
#include "core/text/SummaryText.h"
#include "core/zip/ZipEntry.h"
#include "gui/listing/FontTextMeasurer.h"
#include "gui/listing/ListingDelegate.h"
#include "gui/listing/ListingModel.h"
#include "gui/listing/ListingSource.h"
#include "gui/listing/ListingTexts.h"
#include "gui/listing/PlacedTextRenderer.h"

#include <QDrag>
#include <QMimeData>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollBar>

namespace quarvo::gui {

ListingView::ListingView(ListingSource& source, QWidget* parent)
    : QListView(parent), m_source(source), m_model(new ListingModel(source, this)),
      m_delegate(new ListingDelegate(this)), m_renderer(std::make_shared<PlacedTextRenderer>(font())),
      m_filter(defaultFilter)
{
    setModel(m_model);
    setItemDelegate(m_delegate);
    setSelectionMode(ExtendedSelection);
    setSelectionBehavior(SelectRows);
    setEditTriggers(NoEditTriggers);
    setUniformItemSizes(true);
    setMovement(Static);
    setSpacing(0);
    setLayoutMode(SinglePass);
    setHorizontalScrollMode(ScrollPerPixel);
    setVerticalScrollMode(ScrollPerItem);
    setFlow(TopToBottom);
    applyDisplayForm();

    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!m_applyingSelection)
            recountSelection();
    });
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (ZipEntry* entry = m_model->entryAt(index.row()))
            emit viewEntryRequested(entry);
    });
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, &ListingView::columnsChanged);
    m_source.document().attachView(this);
}

ListingView::~ListingView()
{
    releaseSource();
}

void ListingView::releaseSource()
{
    if (!m_sourceAttached)
        return;
    m_sourceAttached = false;
    m_source.document().detachView(this);
    QScopedValueRollback applying(m_applyingSelection, true);
    m_model->setRows({});
    m_summary = {};
}

void ListingView::applyDisplayForm()
{
    // Names only wraps the rows into columns side by side, scrolled sideways.
    setWrapping(!m_showDetails);
    setResizeMode(m_showDetails ? Fixed : Adjust);
}

void ListingView::fillList()
{
    fill(true);
}

void ListingView::fill(bool layOutAlways)
{
    if (!m_sourceAttached)
        return;
    std::vector<ZipEntry*> rows = shownEntries(m_source.entries(), m_filter);
    // One progress text per fill rather than one per row: repainting the status bar for each of
    // 100,000 rows would cost more than the fill itself.
    if (!rows.empty())
        emit statusTextRequested(ListingText::sortingPrefix() + QString::fromStdString(rows.back()->name));
    // Measuring every row's texts costs more than sorting them.
    const bool layOut = layOutAlways || rows != m_laidOutRows;
    if (layOut)
        m_laidOutRows = rows;
    sortEntries(rows, m_sortOrder);
    {
        QScopedValueRollback applying(m_applyingSelection, true);
        m_model->setRows(std::move(rows));
    }
    emit statusTextRequested(ListingText::displayingPrompt());
    if (layOut) {
        layoutColumns();
    } else {
        doItemsLayout();
        horizontalScrollBar()->setValue(0);
    }
    applySelection();
}

void ListingView::setSort(SortOrder order)
{
    m_sortOrder = order;
    fill(false);
}

void ListingView::setFilter(std::string filter)
{
    m_filter = std::move(filter);
    emit filterChanged();
    fillList();
}

void ListingView::setDisplayMode(bool detailed)
{
    if (m_showDetails == detailed)
        return;
    m_showDetails = detailed;
    int caret = currentIndex().row();
    applyDisplayForm();
    fillList();
    emit displayModeChanged(detailed);
    restoreCaret(caret);
}

void ListingView::setListFont(const QFont& font)
{
    setFont(font);
    emit listFontChanged(font);
    layoutColumns();
}

void ListingView::layoutColumns()
{
    if (m_renderer->font() != font())
        m_renderer = std::make_shared<PlacedTextRenderer>(font());
    FontTextMeasurer measurer(*m_renderer);
    m_delegate->setGeometry(quarvo::layoutColumns(m_model->rows(), measurer), m_showDetails, rowHeight(), m_renderer);
    // The rows all have the size the delegate now gives; the view caches it until told.
    emit m_delegate->sizeHintChanged(QModelIndex());
    doItemsLayout();
    horizontalScrollBar()->setValue(0);
    emit columnsChanged();
}

const ColumnLayout& ListingView::columnLayout() const
{
    return m_delegate->columnLayout();
}

int ListingView::rowHeight() const
{
    return fontMetrics().height();
}

int ListingView::rowCount() const
{
    return m_model->rowCount();
}

std::vector<bool> ListingView::selectedRowFlags() const
{
    std::vector<bool> flags(size_t(rowCount()), false);
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        for (int row = range.top(); row <= range.bottom(); ++row)
            flags[size_t(row)] = true;
    }
    return flags;
}

int ListingView::selectedRowCount() const
{
    std::vector<bool> flags = selectedRowFlags();
    return int(std::count(flags.begin(), flags.end(), true));
}

ZipEntry* ListingView::caretEntry() const
{
    return m_model->entryAt(currentIndex().row());
}

std::vector<ZipEntry*> ListingView::selectedEntries() const
{
    std::vector<bool> flags = selectedRowFlags();
    std::span<ZipEntry* const> rows = m_model->rows();
    std::vector<ZipEntry*> selected;
    for (size_t row = 0; row < rows.size(); ++row) {
        if (flags[row])
            selected.push_back(rows[row]);
    }
    return selected;
}

SelectionList ListingView::buildSelectionList() const
{
    return quarvo::buildSelectionList(selectedEntries());
}

SelectionList ListingView::buildTarSelectionList() const
{
    return quarvo::buildTarSelectionList(selectedEntries());
}

void ListingView::selectAllRows(bool select)
{
    {
        QScopedValueRollback applying(m_applyingSelection, true);
        if (select && rowCount() > 0)
            selectionModel()->select(QItemSelection(m_model->index(0), m_model->index(rowCount() - 1)),
                                     QItemSelectionModel::ClearAndSelect);
        else
            selectionModel()->clearSelection();
    }
    recountSelection();
}

void ListingView::selectAll()
{
    selectAllRows(true);
}

void ListingView::recountSelection()
{
    std::vector<bool> flags = selectedRowFlags();
    m_summary = quarvo::recountSelection(m_model->rows(), [&flags](size_t row) { return bool(flags[row]); });
    emit statusTextRequested(ListingText::idlePrompt());
    if (m_sourceAttached)
        m_source.document().updateAllViews(this, UpdateHint::SelectionChanged);
}

void ListingView::applySelection()
{
    std::span<ZipEntry* const> rows = m_model->rows();
    QItemSelection selection;
    for (size_t row = 0; row < rows.size();) {
        if (rows[row] == nullptr || !rows[row]->selected) {
            ++row;
            continue;
        }
        size_t last = row;
        while (last + 1 < rows.size() && rows[last + 1] != nullptr && rows[last + 1]->selected)
            ++last;
        selection.append(QItemSelectionRange(m_model->index(int(row)), m_model->index(int(last))));
        row = last + 1;
    }
    {
        QScopedValueRollback applying(m_applyingSelection, true);
        // Clearing first keeps Qt's comparison of the old and the new selection linear: it compares
        // range against range when both are non-empty.
        selectionModel()->clearSelection();
        if (!selection.isEmpty())
            selectionModel()->select(selection, QItemSelectionModel::Select);
    }
    m_summary = countSelection(rows);
    emit statusTextRequested(ListingText::idlePrompt());
}

StatusSummary ListingView::statusSummary() const
{
    if (!m_sourceAttached)
        return {QString::fromStdString(totalSummaryText(0, 0)), QString::fromStdString(selectedSummaryText(0, 0))};
    return {QString::fromStdString(totalSummaryText(m_source.totalEntryCount(), m_source.totalUncompressedBytes())),
            QString::fromStdString(selectedSummaryText(m_summary.count, m_summary.bytes))};
}

void ListingView::restoreCaret(int caret)
{
    int rows = rowCount();
    if (rows == 0 || caret < 0)
        return;
    QModelIndex index = m_model->index(caret < rows ? caret : rows - 1);
    // Moving the caret of an extended selection would select its row alone.
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    scrollTo(index, PositionAtTop);
}

void ListingView::onDocumentUpdate(View*, int hint)
{
    switch (hint) {
    case UpdateHint::ContentsRebuilt: {
        int caret = currentIndex().row();
        fillList();
        restoreCaret(caret);
        break;
    }
    case UpdateHint::SelectionChanged:
        applySelection();
        break;
    default:
        viewport()->update();
        break;
    }
}

void ListingView::paintEvent(QPaintEvent* event)
{
    QListView::paintEvent(event);
    // An empty list that has the keyboard focus still shows where the caret is.
    if (rowCount() == 0 && hasFocus()) {
        QPainter painter(viewport());
        QStyleOptionViewItem option;
        initViewItemOption(&option);
        option.rect = QRect(0, 0, viewport()->width(), rowHeight());
        option.state |= QStyle::State_HasFocus;
        ListingDelegate::drawFocusRectangle(painter, option);
    }
}

void ListingView::setEntryDragData(EntryDragData makeData)
{
    m_entryDragData = std::move(makeData);
    setDragEnabled(bool(m_entryDragData));
    setDragDropMode(m_entryDragData ? QAbstractItemView::DragOnly : QAbstractItemView::NoDragDrop);
}

void ListingView::startDrag(Qt::DropActions)
{
    if (!m_entryDragData || !m_sourceAttached)
        return;
    const std::vector<ZipEntry*> entries = selectedEntries();
    if (entries.empty())
        return;
    QMimeData* data = m_entryDragData(entries);
    if (!data)
        return;
    // The entries are copied out; the archive keeps them.
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    drag->exec(Qt::CopyAction, Qt::CopyAction);
}

} // namespace quarvo::gui
