#include "gui/listing/FontTextMeasurer.h"

#include <cmath>

namespace quarvo::gui {

FontTextMeasurer::FontTextMeasurer(const QFont& font) : m_metrics(font)
{
    QFontMetricsF exact(font);
    for (size_t c = 0; c < m_asciiAdvances.size(); ++c)
        m_asciiAdvances[c] = exact.horizontalAdvance(QChar(char16_t(c)));
}

int32_t FontTextMeasurer::textWidth(std::string_view text) const
{
    qreal width = 0;
    for (char c : text) {
        auto code = static_cast<unsigned char>(c);
        if (code >= m_asciiAdvances.size())
            return m_metrics.horizontalAdvance(QString::fromUtf8(text.data(), qsizetype(text.size())));
        width += m_asciiAdvances[code];
    }
    // Sums of fractional advances pick up rounding noise; a hair over a whole pixel is that pixel.
    return int32_t(std::ceil(width - 1.0 / 64));
}

int32_t FontTextMeasurer::averageCharacterWidth() const
{
    return m_metrics.averageCharWidth();
}

} // namespace quarvo::gui
