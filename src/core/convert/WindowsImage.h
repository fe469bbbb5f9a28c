#pragma once

#include "core/base/Result.h"
#include "core/convert/ConvertError.h"

#include <cstdint>
#include <span>
#include <vector>

namespace quarvo {

// Takes the Windows image out of its record (u16 length L, u16 0, u16 original offset O, u16 0, then
// L bytes starting with an "NE" header) and moves it from O to newHeaderOffset: every position the
// image holds counting from the start of the file grows by D = newHeaderOffset - O. Those are the
// non-resident names table, the gangload area when the header has one, the sector of every segment
// that has data in the file, and the sector of every resource. Only images aligned to 16-byte
// sectors are moved. Every table is checked against the image before it is read, and a position
// that would leave its field is refused.
Result<std::vector<uint8_t>, ConvertError> relocateWindowsImage(std::span<const uint8_t> record,
                                                                uint32_t newHeaderOffset);

} // namespace quarvo
