#include "core/text/DosDateTime.h"

#include <algorithm>
#include <cstdio>

namespace quarvo {

namespace {

constexpr int firstYear = 1980;
constexpr int lastYear = 2107;

bool isLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month)
{
    constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}

DosDateTime pack(int year, int month, int day, int hour, int minute, int second)
{
    DosDateTime packed;
    packed.date = static_cast<uint16_t>((year - firstYear) << 9 | month << 5 | day);
    packed.time = static_cast<uint16_t>(hour << 11 | minute << 5 | second / 2);
    return packed;
}

} // namespace

std::string formatDosDate(uint16_t date)
{
    int month = (date >> 5) & 15;
    int day = date & 31;
    int year = (firstYear + (date >> 9)) % 100;
    char text[16];
    std::snprintf(text, sizeof text, "%02d/%02d/%02d", month, day, year);
    return text;
}

std::string formatDosTime(uint16_t time)
{
    int hours = time >> 11;
    int minutes = (time >> 5) & 63;
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d", hours, minutes);
    return text;
}

DosDateTime dosDateTimeFromLocalTime(const std::tm& local)
{
    int year = local.tm_year + 1900;
    if (year < firstYear)
        return pack(firstYear, 1, 1, 0, 0, 0);
    if (year > lastYear)
        return pack(lastYear, 12, 31, 23, 59, 58);
    // Fields are kept inside their bit widths even when the caller's time is not normalised; a leap
    // second (tm_sec 60) keeps to the last even second of its minute.
    return pack(year, std::clamp(local.tm_mon + 1, 1, 12), std::clamp(local.tm_mday, 1, 31),
                std::clamp(local.tm_hour, 0, 23), std::clamp(local.tm_min, 0, 59),
                std::clamp(local.tm_sec, 0, 59));
}

DosDateTime dosDateTimeFromTime(std::time_t time)
{
    std::tm local{};
    if (localtime_r(&time, &local) == nullptr)
        return time < 0 ? pack(firstYear, 1, 1, 0, 0, 0) : pack(lastYear, 12, 31, 23, 59, 58);
    return dosDateTimeFromLocalTime(local);
}

std::tm localTimeFromDosDateTime(DosDateTime packed)
{
    int year = firstYear + (packed.date >> 9);
    int month = std::clamp((packed.date >> 5) & 15, 1, 12);
    int day = std::clamp(packed.date & 31, 1, daysInMonth(year, month));

    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = std::min(packed.time >> 11, 23);
    local.tm_min = std::min((packed.time >> 5) & 63, 59);
    local.tm_sec = std::min((packed.time & 31) * 2, 59);
    local.tm_isdst = -1;
    return local;
}

std::time_t timeFromDosDateTime(DosDateTime packed)
{
    std::tm local = localTimeFromDosDateTime(packed);
    return std::mktime(&local);
}

} // namespace quarvo
