#pragma once

#include <cstdint>
#include <ctime>
#include <string>

namespace quarvo {

// MS-DOS packed date and time, the form archive entries carry them in:
//   date = (year - 1980) * 512 + month * 32 + day
//   time = hour * 2048 + minute * 32 + seconds / 2
// The format covers 1980-01-01 00:00:00 to 2107-12-31 23:59:58 in steps of two seconds.
struct DosDateTime {
    uint16_t date = 0;
    uint16_t time = 0;

    friend bool operator==(const DosDateTime&, const DosDateTime&) = default;
};

// "MM/DD/YY": month, day and the last two digits of the year, two digits each. Always 8 characters,
// whatever the fields hold (a month field of 0 shows as "00").
std::string formatDosDate(uint16_t date);

// "HH:MM": hours and minutes, two digits each; seconds are not shown. Always 5 characters.
std::string formatDosTime(uint16_t time);

// Packs a broken-down local time. Odd seconds round down. A time before 1980 becomes the first
// moment the format can hold, 1980-01-01 00:00:00; a time after 2107 becomes the last,
// 2107-12-31 23:59:58, so a file's date is never wrapped into another century.
DosDateTime dosDateTimeFromLocalTime(const std::tm& local);

// Packs a calendar time, converted to local time first. Clamped as above.
DosDateTime dosDateTimeFromTime(std::time_t time);

// Unpacks into a broken-down local time (tm_isdst = -1, so the caller's mktime decides). Fields
// outside their range, as a broken producer may write, are pulled to the nearest valid value:
// month 0 reads as January, day 0 as the 1st, February 30 as the last day of February, hour 31 as
// 23, minute 63 as 59, seconds 62 as 59.
std::tm localTimeFromDosDateTime(DosDateTime packed);

// Unpacks into a calendar time, reading the fields as local time (clamped as above).
std::time_t timeFromDosDateTime(DosDateTime packed);

} // namespace quarvo
