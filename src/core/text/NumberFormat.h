#pragma once

#include <cstdint>
#include <string>

namespace quarvo {

// Decimal digits of value with a "," before every group of three counted from the right:
// 0 gives "0", 1000 gives "1,000", 5368709120 gives "5,368,709,120" (at most 26 characters).
std::string formatThousands(uint64_t value);

// The figure and unit that close a summary line, ending in ")". Below 1,024 bytes the exact count
// and " Bytes)"; above that a figure in KB, MB or GB. The unit changes at powers of 1,024 but the
// figure is the count of the next smaller unit divided by 1,000 and truncated to two decimals, so
// 1,536 bytes read "1.53 KB)" and 1,048,575 bytes read "1,048.57 KB)". GB is the largest unit.
std::string formatSize(uint64_t bytes);

} // namespace quarvo
