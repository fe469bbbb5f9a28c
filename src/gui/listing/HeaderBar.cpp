#include "gui/listing/HeaderBar.h"

#include "core/listing/HeaderTitles.h"
#include "core/listing/SelectionSummary.h"
#include "gui/listing/ListingTexts.h"
#include "gui/listing/ListingView.h"
#include "gui/listing/PlacedTextRenderer.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

namespace quarvo::gui {

namespace {

const QColor barColour(192, 192, 192);

} // namespace

HeaderBar::HeaderBar(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setHeaderFont(font());
}

void HeaderBar::setListing(ListingView* listing)
{
    if (m_listing)
        disconnect(m_listing, nullptr, this, nullptr);
    m_listing = listing;
    if (listing) {
        connect(listing, &ListingView::columnsChanged, this, qOverload<>(&QWidget::update));
        connect(listing, &ListingView::listFontChanged, this, &HeaderBar::setHeaderFont);
        setHeaderFont(listing->font());
    }
    update();
}

void HeaderBar::setHeaderFont(const QFont& font)
{
    setFont(font);
    setFixedHeight(QFontMetrics(font).height() + 1);
    update();
}

QSize HeaderBar::sizeHint() const
{
    return {QWidget::sizeHint().width(), fontMetrics().height() + 1};
}

int HeaderBar::rowLeft() const
{
    if (!m_listing)
        return 0;
    // The rows start at the left of the listing's viewport, which its frame may push right of the
    // bar's left edge.
    QWidget* viewport = m_listing->viewport();
    return viewport->mapTo(window(), QPoint(0, 0)).x() - mapTo(window(), QPoint(0, 0)).x() -
           m_listing->horizontalScrollBar()->value();
}

void HeaderBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), barColour);
    // The bar's bottom pixel row is its border against the listing.
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawLine(0, height() - 1, width() - 1, height() - 1);
    if (!m_listing)
        return;
    painter.setPen(palette().color(QPalette::WindowText));
    const ColumnLayout& layout = m_listing->columnLayout();
    auto titles = headerTitlePlacements(layout.edges, layout.averageCharacterWidth, rowLeft());
    m_listing->textRenderer().draw(painter, QPointF(0, 0), titles);
}

void HeaderBar::enterEvent(QEnterEvent* event)
{
    QWidget::enterEvent(event);
    if (m_listing)
        emit statusTextRequested(ListingText::headerBarPrompt());
}

void HeaderBar::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    emit statusTextRequested(ListingText::idlePrompt());
}

void HeaderBar::mousePressEvent(QMouseEvent* event)
{
    QWidget::mousePressEvent(event);
    if (event->button() != Qt::LeftButton || !rect().contains(event->position().toPoint()))
        return;
    if (m_listing) {
        m_listing->selectAllRows(
            headerClickSelectsAll(size_t(m_listing->rowCount()), size_t(m_listing->selectedRowCount())));
    }
    emit statusTextRequested(ListingText::idlePrompt());
}

} // namespace quarvo::gui
