#pragma once

#include "core/listing/PlacedText.h"

#include <QPoint>

#include <span>

class QFontMetrics;
class QPainter;

namespace quarvo::gui {

// Draws the texts of a listing row or of the column header with the painter's font and pen, each
// at its x from rowOrigin and aligned there as it says, all with their tops at rowOrigin's y.
void drawPlacedTexts(QPainter& painter, const QFontMetrics& metrics, QPoint rowOrigin,
                     std::span<const PlacedText> texts);

// The left edge of a placed text of the given width.
int placedTextLeft(const PlacedText& text, int width);

} // namespace quarvo::gui
