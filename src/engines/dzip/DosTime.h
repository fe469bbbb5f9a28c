#pragma once

#include <cstdint>
#include <ctime>

namespace quarvo {

// An MS-DOS packed date and time (APPNOTE 4.4.6), the only time a ZIP directory entry must carry.
struct DosDateTime {
    uint16_t date = 0; // (year - 1980) << 9 | month << 5 | day
    uint16_t time = 0; // hour << 11 | minute << 5 | seconds / 2

    // The date in the upper half, so stamps compare in time order.
    uint32_t combined() const { return static_cast<uint32_t>(date) << 16 | time; }
};

// The local time of a point in time as MS-DOS fields, seconds rounded down to even. Times before
// 1980 become 1980-01-01 00:00:00 and times after 2107 the last representable second, because the
// fields cannot hold them.
DosDateTime toDosDateTime(std::time_t time);

// The point in time of MS-DOS fields read as local time; fields out of range are normalised the
// way mktime does.
std::time_t fromDosDateTime(DosDateTime stamp);

} // namespace quarvo
