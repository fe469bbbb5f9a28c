#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quarvo {

class TextMeasurer;

// Breaks a text into the lines it takes when printed within width, as measured by measurer.
// A line break (LF, CR LF or CR) always ends a line; within a paragraph words separated by spaces
// fill each line as far as they fit, and the spaces between words on a line (indentation too) stay
// as they were, while spaces at a break are dropped. A word wider than the whole width is broken
// between characters, never inside a UTF-8 sequence, with at least one character on every line, so
// nothing runs past the edge and a narrow width still ends. An empty paragraph is an empty line;
// line breaks at the very end add none, and an empty text gives no lines at all.
std::vector<std::string> wrapText(std::string_view text, int32_t width, const TextMeasurer& measurer);

} // namespace quarvo
