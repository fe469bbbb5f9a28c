#pragma once

#include "core/listing/ColumnLayout.h"

#include <QFontMetrics>

namespace quarvo::gui {

class PlacedTextRenderer;

// Measures listing texts for the column layout exactly as the renderer will place them, so a cell
// is never narrower than what is drawn in it. Widths are rounded up to whole pixels.
class FontTextMeasurer : public TextMeasurer {
public:
    explicit FontTextMeasurer(const PlacedTextRenderer& renderer);

    int32_t textWidth(std::string_view text) const override;
    int32_t averageCharacterWidth() const override;

private:
    const PlacedTextRenderer& m_renderer;
    QFontMetrics m_metrics;
};

} // namespace quarvo::gui
