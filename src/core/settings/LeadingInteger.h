#pragma once

#include <string_view>

namespace quarvo {

// The decimal rule of profile values and font descriptions: optional blanks, an optional sign, then
// as many decimal digits as follow; anything else ends the number, and text without digits reads as
// 0. A number beyond the 32-bit range saturates at its end of the range instead of wrapping, so a
// huge stored value never turns into a small or negative one.
int parseLeadingInteger(std::string_view text);

} // namespace quarvo
