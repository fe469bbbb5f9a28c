#pragma once

#include "core/listing/ColumnLayout.h"

#include <QFontMetricsF>

class QFont;
class QPaintDevice;

namespace quarvo::gui {

// The printer font's measurements in the printer's device units, for the page layout of the core:
// the widths of texts, the average character width that places the columns, and the line height.
class PrinterTextMeasurer : public TextMeasurer {
public:
    PrinterTextMeasurer(const QFont& font, QPaintDevice* device);

    // Rounded up, so that a right-aligned text never reaches past its column.
    int32_t textWidth(std::string_view text) const override;
    int32_t averageCharacterWidth() const override;
    int32_t lineHeight() const;
    // From a line's top edge down to the baseline its text is drawn on.
    qreal ascent() const { return m_metrics.ascent(); }

private:
    QFontMetricsF m_metrics;
};

} // namespace quarvo::gui
