#pragma once

#include <cstddef>
#include <cstdint>

namespace quarvo::printColumn {

// Where the columns of a printed row stand, in average character widths of the printer font from
// the left edge of the printable area. The printed layout does not follow the screen's column
// edges: it is fixed, so a long name may overlap the date (TAR) or get a line of its own (ZIP).
constexpr int32_t NameStart = 0;
constexpr int32_t DateEnd = 21;
constexpr int32_t TimeEnd = 27;
constexpr int32_t SizeEnd = 36;
constexpr int32_t CompressedEnd = 45;
constexpr int32_t RatioEnd = 50;
constexpr int32_t AttributesEnd = 55;
constexpr int32_t PathStart = 56;

// In the ZIP listing a file name of more than this many characters stands alone on its line and
// the rest of the row follows on the next.
constexpr size_t LongNameCharacters = 12;

// A row starts only while more than this many lines are left on the page; the rest of the page is
// the strip that carries the page number.
constexpr int32_t ReservedBottomLines = 3;

} // namespace quarvo::printColumn
