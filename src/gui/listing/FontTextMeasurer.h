#pragma once

#include "core/listing/ColumnLayout.h"

#include <QFontMetrics>
#include <QFontMetricsF>

#include <array>

namespace quarvo::gui {

// Measures listing texts in a font for the column layout. A layout measures three texts of every
// shown entry, and shaping each one through QFontMetrics costs about five microseconds: an archive of
// 100,000 entries would take well over a second. Plain ASCII texts are therefore summed from the
// advances of their characters, measured once; this never comes out narrower than the shaped text
// (kerning only ever narrows it), so no column is cut short. Other texts are shaped exactly.
class FontTextMeasurer : public TextMeasurer {
public:
    explicit FontTextMeasurer(const QFont& font);

    int32_t textWidth(std::string_view text) const override;
    int32_t averageCharacterWidth() const override;

private:
    QFontMetrics m_metrics;
    std::array<qreal, 128> m_asciiAdvances{};
};

} // namespace quarvo::gui
