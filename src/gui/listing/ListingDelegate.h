#pragma once

#include "core/listing/ColumnLayout.h"

#include <QStyledItemDelegate>

#include <memory>

namespace quarvo::gui {

class PlacedTextRenderer;

// Draws the rows of a listing: every character of the date, time, sizes, ratio and attributes at
// its own cell edge so figures line up digit under digit, the marker cell left of the name, the
// path-and-comment column, the selection colours and the focus rectangle. Rows are one font height
// tall; a detailed row is as wide as the whole layout, a names-only row as wide as the widest name.
class ListingDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit ListingDelegate(QObject* parent = nullptr);

    // Takes a new layout, form, row height or font; the view must lay out its items again.
    void setGeometry(const ColumnLayout& layout, bool detailed, int rowHeight,
                     std::shared_ptr<const PlacedTextRenderer> renderer);
    const ColumnLayout& columnLayout() const { return m_layout; }
    bool isDetailed() const { return m_detailed; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // The dotted rectangle around the caret row, also drawn alone for an empty list that has the focus.
    static void drawFocusRectangle(QPainter& painter, const QStyleOptionViewItem& option);

private:
    ColumnLayout m_layout;
    bool m_detailed = true;
    int m_rowHeight = 0;
    std::shared_ptr<const PlacedTextRenderer> m_renderer;
};

} // namespace quarvo::gui
