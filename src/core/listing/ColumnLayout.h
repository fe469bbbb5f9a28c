#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace quarvo {

struct ZipEntry;

// The pixel positions that the rows and the column header bar of a detailed listing share, measured
// from a row's left edge before horizontal scrolling. Every character of a date, time, size, ratio
// and attribute field has its own cell, as wide as the widest character that can stand there, so
// figures line up digit under digit even in a proportional font.
constexpr size_t columnEdgeCount = 76;
using ColumnEdges = std::array<int32_t, columnEdgeCount>;

// What the edges mean: right edges unless said otherwise.
namespace columnEdge {
constexpr size_t NameLeft = 0; // the marker cell lies left of it
constexpr size_t NameRight = 1;
constexpr size_t DateFirstCell = 2; // 2..9: month, month, "/", day, day, "/", year, year
constexpr size_t DateRight = 9;
constexpr size_t TimeFirstCell = 10; // 10..14: hour, hour, ":", minute, minute
constexpr size_t TimeRight = 14;
// A size takes up to 26 cells: 20 digits of a 64-bit number and their 6 commas.
constexpr size_t SizeRight = 40;       // 15..40: the cells of the size, used from the right
constexpr size_t CompressedRight = 66; // 41..66: the same for the compressed size
constexpr size_t RatioFirstCell = 67;  // 67..70: three digits and "%"
constexpr size_t RatioRight = 70;
constexpr size_t AttributeFirstCell = 71; // 71..74: the four attribute letters
constexpr size_t AttributesRight = 74;
constexpr size_t PathLeft = 75; // left edge of the path-and-comment column
} // namespace columnEdge

// Measures texts in the listing's font; the GUI adapts its font metrics, tests use fixed widths.
class TextMeasurer {
  public:
    virtual ~TextMeasurer() = default;
    // Width of text in pixels.
    virtual int32_t textWidth(std::string_view text) const = 0;
    // The font's average character width, the gap left before each column.
    virtual int32_t averageCharacterWidth() const = 0;
};

// The measurements of one layout and the edges worked out from them.
struct ColumnLayout {
    ColumnEdges edges{};
    // Width of a whole detailed row: the horizontal extent of the list and of the header.
    int32_t totalWidth = 0;
    int32_t averageCharacterWidth = 0;

    int32_t nameWidth = 0;      // widest file-name part of the shown entries
    int32_t fullNameWidth = 0;  // widest full stored name
    int32_t pathWidth = 0;      // widest path-and-comment text
    int32_t markerWidth = 0;    // widest of "-", " ", "+", "*"
    int32_t attributeWidth = 0; // widest of "r", "h", "s", "d", "-"
    int32_t digitWidth = 0;     // widest of "0" to "9"
    int32_t colonWidth = 0;
    int32_t slashWidth = 0;
    int32_t percentWidth = 0;
    int32_t commaWidth = 0;

    // Digits and commas of the largest size shown, written with thousands separators.
    int32_t sizeDigits = 0;
    int32_t sizeCommas = 0;
    int32_t compressedDigits = 0;
    int32_t compressedCommas = 0;
};

// Lays out the columns of a detailed listing for the entries it shows (all of them, also those a
// failed row insertion left out). Each column is as wide as its widest content or its title, plus
// one average character width of gap before it. With no entries the columns take their title widths
// (and one digit for each size).
ColumnLayout layoutColumns(std::span<ZipEntry* const> shownEntries, const TextMeasurer& measurer);

// The width of each column of the names-only listing: the widest full name, the marker cell and a
// gap.
int32_t nameOnlyColumnWidth(const ColumnLayout& layout);

} // namespace quarvo
