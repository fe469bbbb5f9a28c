#include "gui/listing/PlacedTextPainter.h"

#include <QFontMetrics>
#include <QPainter>

namespace quarvo::gui {

int placedTextLeft(const PlacedText& text, int width)
{
    switch (text.alignment) {
    case TextAlignment::Left:
        return text.x;
    case TextAlignment::Right:
        return text.x - width;
    case TextAlignment::Centre:
        break;
    }
    return text.x - width / 2;
}

void drawPlacedTexts(QPainter& painter, const QFontMetrics& metrics, QPoint rowOrigin,
                     std::span<const PlacedText> texts)
{
    const int baseline = rowOrigin.y() + metrics.ascent();
    for (const PlacedText& placed : texts) {
        QString text = QString::fromStdString(placed.text);
        int width = placed.alignment == TextAlignment::Left ? 0 : metrics.horizontalAdvance(text);
        painter.drawText(QPoint(rowOrigin.x() + placedTextLeft(placed, width), baseline), text);
    }
}

} // namespace quarvo::gui
