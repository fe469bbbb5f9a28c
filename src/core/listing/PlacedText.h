#pragma once

#include <cstdint>
#include <string>

namespace quarvo {

// How a text stands at its x position.
enum class TextAlignment {
    Left,   // starts at x
    Right,  // ends at x
    Centre, // its middle is at x
};

// One text of a row or of the header, ready for a painter: where it goes along the row, in pixels
// from the row's left edge, and how it is aligned there. All texts of a row sit at its top edge.
struct PlacedText {
    int32_t x = 0;
    TextAlignment alignment = TextAlignment::Left;
    std::string text;

    friend bool operator==(const PlacedText&, const PlacedText&) = default;
};

} // namespace quarvo
