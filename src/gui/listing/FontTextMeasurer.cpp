#include "gui/listing/FontTextMeasurer.h"

#include "gui/listing/PlacedTextRenderer.h"

#include <cmath>

namespace quarvo::gui {

FontTextMeasurer::FontTextMeasurer(const PlacedTextRenderer& renderer)
    : m_renderer(renderer), m_metrics(renderer.font())
{
}

int32_t FontTextMeasurer::textWidth(std::string_view text) const
{
    // Sums of fractional advances pick up rounding noise; a hair over a whole pixel is that pixel.
    return int32_t(std::ceil(m_renderer.textWidth(text) - 1.0 / 64));
}

int32_t FontTextMeasurer::averageCharacterWidth() const
{
    return m_metrics.averageCharWidth();
}

} // namespace quarvo::gui
