#include "gui/listing/ListingDelegate.h"

#include "core/listing/RowCells.h"
#include "gui/listing/ListingModel.h"
#include "gui/listing/PlacedTextRenderer.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QPainter>

namespace quarvo::gui {

ListingDelegate::ListingDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

void ListingDelegate::setGeometry(const ColumnLayout& layout, bool detailed, int rowHeight,
                                  std::shared_ptr<const PlacedTextRenderer> renderer)
{
    m_layout = layout;
    m_detailed = detailed;
    m_rowHeight = rowHeight;
    m_renderer = std::move(renderer);
}

QSize ListingDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const
{
    int width = m_detailed ? m_layout.totalWidth : nameOnlyColumnWidth(m_layout);
    return {width, m_rowHeight};
}

void ListingDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const auto* entry = index.data(ListingModel::EntryRole).value<const ZipEntry*>();
    if (entry == nullptr || m_renderer == nullptr)
        return;
    const bool selected = option.state & QStyle::State_Selected;
    QRect fill = option.rect;
    // A detailed row is highlighted across the whole visible width, also where the list is wider
    // than its columns.
    if (m_detailed) {
        if (const auto* view = qobject_cast<const QAbstractItemView*>(option.widget))
            fill.setRight(std::max(fill.right(), view->viewport()->width() - 1));
    }
    painter->save();
    painter->fillRect(fill, option.palette.brush(selected ? QPalette::Highlight : QPalette::Base));
    painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));

    std::string marker = index.data(ListingModel::MarkerRole).toString().toStdString();
    std::vector<PlacedText> texts = m_detailed ? detailedRowTexts(*entry, m_layout.edges, marker)
                                               : nameOnlyRowTexts(*entry, m_layout.edges, marker);
    m_renderer->draw(*painter, option.rect.topLeft(), texts);
    painter->restore();

    if (option.state & QStyle::State_HasFocus)
        drawFocusRectangle(*painter, option);
}

void ListingDelegate::drawFocusRectangle(QPainter& painter, const QStyleOptionViewItem& option)
{
    QStyleOptionFocusRect focus;
    focus.QStyleOption::operator=(option);
    // Styles that hide focus frames until the keyboard is used would hide the caret row, which the
    // single-entry commands act on.
    focus.state |= QStyle::State_KeyboardFocusChange;
    focus.backgroundColor =
        option.palette.color(option.state & QStyle::State_Selected ? QPalette::Highlight : QPalette::Base);
    QStyle* style = option.widget ? option.widget->style() : QApplication::style();
    style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, option.widget);
}

} // namespace quarvo::gui
