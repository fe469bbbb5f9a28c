#include "engines/dzip/DosTime.h"

namespace quarvo {

DosDateTime toDosDateTime(std::time_t time)
{
    std::tm local{};
    localtime_r(&time, &local);
    const int year = local.tm_year + 1900;
    if (year < 1980)
        return DosDateTime{static_cast<uint16_t>(1 << 5 | 1), 0};
    if (year > 2107)
        return DosDateTime{static_cast<uint16_t>(127 << 9 | 12 << 5 | 31),
                           static_cast<uint16_t>(23 << 11 | 59 << 5 | 29)};
    DosDateTime stamp;
    stamp.date = static_cast<uint16_t>((year - 1980) << 9 | (local.tm_mon + 1) << 5 | local.tm_mday);
    stamp.time = static_cast<uint16_t>(local.tm_hour << 11 | local.tm_min << 5 | local.tm_sec / 2);
    return stamp;
}

std::time_t fromDosDateTime(DosDateTime stamp)
{
    std::tm local{};
    local.tm_year = (stamp.date >> 9) + 80;
    local.tm_mon = ((stamp.date >> 5) & 0x0F) - 1;
    local.tm_mday = stamp.date & 0x1F;
    local.tm_hour = stamp.time >> 11;
    local.tm_min = (stamp.time >> 5) & 0x3F;
    local.tm_sec = (stamp.time & 0x1F) * 2;
    local.tm_isdst = -1;
    return std::mktime(&local);
}

} // namespace quarvo
