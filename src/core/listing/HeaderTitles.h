#pragma once

#include "core/listing/ColumnLayout.h"
#include "core/listing/PlacedText.h"

#include <array>

namespace quarvo {

// Where the column header bar draws the eight titles for rows whose left edge is at rowLeft
// (negative while the listing is scrolled to the right). "Name" starts at the name column and
// "Path->Comment" at its column; every other title is centred in the gap that starts one average
// character width right of the previous column's right edge and ends at its own column's right edge.
std::array<PlacedText, 8> headerTitlePlacements(const ColumnEdges& edges, int32_t averageCharacterWidth,
                                                int32_t rowLeft);

} // namespace quarvo
