#pragma once

#include "core/listing/PlacedText.h"

#include <QFont>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QPointF>
#include <QRawFont>

#include <array>
#include <span>
#include <string_view>

class QPainter;

namespace quarvo::gui {

// Draws the texts of a listing row or of the column header, each at its x from the row's origin and
// aligned there as it says, all with their tops on the row's top edge. A detailed row places some
// forty single characters, one per cell; shaping each as a string of its own made scrolling a
// 100,000-row listing stutter. Printable ASCII is therefore placed from the font's glyphs and
// advances, looked up once per font, and a whole row goes out as one glyph run. Texts with other
// characters (names in other scripts) are shaped and drawn as strings.
class PlacedTextRenderer {
public:
    explicit PlacedTextRenderer(const QFont& font);

    const QFont& font() const { return m_font; }

    // The width of a text as the renderer places it.
    qreal textWidth(std::string_view text) const;

    // The glyphs of the texts that take the fast path, positioned on their baselines from rowOrigin.
    // Texts that do not are left out; see draw.
    QGlyphRun glyphRun(QPointF rowOrigin, std::span<const PlacedText> texts) const;

    // Draws all the texts with the painter's pen.
    void draw(QPainter& painter, QPointF rowOrigin, std::span<const PlacedText> texts) const;

    // The left edge of a text of the given width.
    static qreal leftEdge(const PlacedText& text, qreal width);

private:
    bool takesFastPath(std::string_view text) const;

    QFont m_font;
    QFontMetricsF m_metrics;
    QRawFont m_rawFont;
    std::array<quint32, 128> m_glyphs{};
    std::array<qreal, 128> m_advances{};
    bool m_fastPath = false;
};

} // namespace quarvo::gui
