#include "gui/printing/PrinterTextMeasurer.h"

#include <QString>

#include <cmath>

namespace quarvo::gui {

PrinterTextMeasurer::PrinterTextMeasurer(const QFont& font, QPaintDevice* device) : m_metrics(font, device) {}

int32_t PrinterTextMeasurer::textWidth(std::string_view text) const
{
    QString string = QString::fromUtf8(text.data(), qsizetype(text.size()));
    return int32_t(std::ceil(m_metrics.horizontalAdvance(string)));
}

int32_t PrinterTextMeasurer::averageCharacterWidth() const
{
    return int32_t(std::lround(m_metrics.averageCharWidth()));
}

int32_t PrinterTextMeasurer::lineHeight() const
{
    return int32_t(std::ceil(m_metrics.height()));
}

} // namespace quarvo::gui
