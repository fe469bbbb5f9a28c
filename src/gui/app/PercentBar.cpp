#include "gui/app/PercentBar.h"

#include <QPainter>

#include <algorithm>

namespace quarvo::gui {

PercentBar::PercentBar(QWidget* parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void PercentBar::setPercent(int percent)
{
    percent = std::clamp(percent, 0, 100);
    if (percent == m_percent)
        return;
    m_percent = percent;
    update();
}

QRect PercentBar::innerRect() const
{
    return rect().adjusted(1, 1, -1, -1);
}

int PercentBar::fillEdge() const
{
    QRect inner = innerRect();
    return inner.left() + inner.width() * m_percent / 100;
}

QSize PercentBar::sizeHint() const
{
    return {240, fontMetrics().height() + 8};
}

void PercentBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));

    QRect inner = innerRect();
    QRect filled(inner.left(), inner.top(), fillEdge() - inner.left(), inner.height());
    QRect empty(fillEdge(), inner.top(), inner.right() + 1 - fillEdge(), inner.height());
    QString text = QString::number(m_percent) + QLatin1Char('%');

    // The text is drawn twice, each time clipped to one part, so each half of a glyph that straddles
    // the edge takes the colour of its own part.
    painter.fillRect(filled, fillColour);
    painter.setClipRect(filled);
    painter.setPen(emptyColour);
    painter.drawText(inner, Qt::AlignCenter, text);

    painter.setClipRect(empty);
    painter.fillRect(empty, emptyColour);
    painter.setPen(fillColour);
    painter.drawText(inner, Qt::AlignCenter, text);
}

} // namespace quarvo::gui
