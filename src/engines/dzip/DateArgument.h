#pragma once

#include <ctime>
#include <optional>
#include <string_view>

namespace quarvo {

// A calendar day as the date field of a command names it.
struct CalendarDay {
    int year = 0;
    int month = 0; // 1..12
    int day = 0;   // 1..31

    auto operator<=>(const CalendarDay&) const = default;
};

// Parses the date of "add only files dated on or after": MM-DD-YY, MM-DD-YYYY (the separators "/",
// "-" or ".", the same one twice; one-digit months and days allowed), MMDDYY, MMDDYYYY, and ISO
// YYYY-MM-DD. A two-digit year below 80 is 20YY, otherwise 19YY. Returns nothing for any other
// text or for a day that does not exist.
std::optional<CalendarDay> parseDateArgument(std::string_view text);

// The local calendar day of a point in time.
CalendarDay localDayOf(std::time_t time);

} // namespace quarvo
