#include "gui/listing/PlacedTextRenderer.h"

#include <QPainter>

#include <vector>

namespace quarvo::gui {

namespace {

constexpr unsigned firstPrintable = 0x20;
constexpr unsigned lastPrintable = 0x7E;

QString toQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

} // namespace

PlacedTextRenderer::PlacedTextRenderer(const QFont& font)
    : m_font(font), m_metrics(font), m_rawFont(QRawFont::fromFont(font))
{
    if (!m_rawFont.isValid())
        return;
    QString printable;
    for (unsigned c = firstPrintable; c <= lastPrintable; ++c)
        printable.append(QChar(char16_t(c)));
    QList<quint32> glyphs = m_rawFont.glyphIndexesForString(printable);
    if (glyphs.size() != printable.size())
        return;
    QList<QPointF> advances = m_rawFont.advancesForGlyphIndexes(glyphs);
    m_fastPath = true;
    for (unsigned c = firstPrintable; c <= lastPrintable; ++c) {
        qsizetype i = qsizetype(c - firstPrintable);
        // A character the font lacks would come out as an empty box; such texts go the slow way,
        // where font fallback finds the glyph elsewhere.
        m_glyphs[c] = glyphs[i];
        m_advances[c] = glyphs[i] == 0 ? -1 : advances[i].x();
    }
}

bool PlacedTextRenderer::takesFastPath(std::string_view text) const
{
    if (!m_fastPath)
        return false;
    for (char c : text) {
        auto code = static_cast<unsigned char>(c);
        if (code < firstPrintable || code > lastPrintable || m_advances[code] < 0)
            return false;
    }
    return true;
}

qreal PlacedTextRenderer::textWidth(std::string_view text) const
{
    if (!takesFastPath(text))
        return m_metrics.horizontalAdvance(toQString(text));
    qreal width = 0;
    for (char c : text)
        width += m_advances[static_cast<unsigned char>(c)];
    return width;
}

qreal PlacedTextRenderer::leftEdge(const PlacedText& text, qreal width)
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

QGlyphRun PlacedTextRenderer::glyphRun(QPointF rowOrigin, std::span<const PlacedText> texts) const
{
    QList<quint32> glyphs;
    QList<QPointF> positions;
    const qreal baseline = rowOrigin.y() + m_metrics.ascent();
    for (const PlacedText& placed : texts) {
        if (!takesFastPath(placed.text))
            continue;
        qreal x = rowOrigin.x() + leftEdge(placed, textWidth(placed.text));
        for (char c : placed.text) {
            auto code = static_cast<unsigned char>(c);
            glyphs.append(m_glyphs[code]);
            positions.append(QPointF(x, baseline));
            x += m_advances[code];
        }
    }
    QGlyphRun run;
    run.setRawFont(m_rawFont);
    run.setGlyphIndexes(glyphs);
    run.setPositions(positions);
    run.setUnderline(m_font.underline());
    run.setStrikeOut(m_font.strikeOut());
    return run;
}

void PlacedTextRenderer::draw(QPainter& painter, QPointF rowOrigin, std::span<const PlacedText> texts) const
{
    QGlyphRun run = glyphRun(rowOrigin, texts);
    if (!run.glyphIndexes().isEmpty())
        painter.drawGlyphRun(QPointF(0, 0), run);
    const qreal baseline = rowOrigin.y() + m_metrics.ascent();
    for (const PlacedText& placed : texts) {
        if (takesFastPath(placed.text))
            continue;
        QString text = toQString(placed.text);
        qreal left = leftEdge(placed, m_metrics.horizontalAdvance(text));
        painter.setFont(m_font);
        painter.drawText(QPointF(rowOrigin.x() + left, baseline), text);
    }
}

} // namespace quarvo::gui
