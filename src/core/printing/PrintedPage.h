#pragma once

#include "core/listing/PlacedText.h"

#include <cstdint>
#include <vector>

namespace quarvo {

// The part of a page that may be printed on, in the printer's device units, and the height of one
// line of the printer font.
struct PrintArea {
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t lineHeight = 0;

    int32_t bottom() const { return top + height; }
};

// One single-line text of a printed page: its line's top edge and its position along the line,
// both in device units of the page. Every text is placed left-aligned; right-aligned columns and
// centred titles were resolved with the printer font's widths when the page was laid out.
struct PageText {
    int32_t y = 0;
    PlacedText placed;

    friend bool operator==(const PageText&, const PageText&) = default;
};

// One page of a printed listing, ready to be drawn.
struct PrintedPage {
    uint32_t number = 0; // 1 for the first page
    std::vector<PageText> texts;
};

} // namespace quarvo
