#include "engines/dzip/DateArgument.h"

#include <charconv>
#include <string>
#include <vector>

namespace quarvo {

namespace {

bool isDigits(std::string_view text)
{
    if (text.empty())
        return false;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

int numberOf(std::string_view digits)
{
    int value = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return value;
}

int daysInMonth(int year, int month)
{
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

std::optional<CalendarDay> validDay(int year, int month, int day)
{
    if (month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month))
        return std::nullopt;
    return CalendarDay{year, month, day};
}

int expandYear(std::string_view digits)
{
    const int year = numberOf(digits);
    if (digits.size() == 4)
        return year;
    return year < 80 ? 2000 + year : 1900 + year;
}

// Splits at one separator kind; empty when the text holds none of the three or mixes them.
std::vector<std::string_view> splitAtSeparator(std::string_view text)
{
    const size_t first = text.find_first_of("/-.");
    if (first == std::string_view::npos)
        return {};
    const char separator = text[first];
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == separator) {
            parts.push_back(text.substr(start, i - start));
            start = i + 1;
        } else if (text[i] == '/' || text[i] == '-' || text[i] == '.') {
            return {};
        }
    }
    return parts;
}

} // namespace

std::optional<CalendarDay> parseDateArgument(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);

    if (isDigits(text) && (text.size() == 6 || text.size() == 8))
        return validDay(expandYear(text.substr(4)), numberOf(text.substr(0, 2)), numberOf(text.substr(2, 2)));

    const std::vector<std::string_view> parts = splitAtSeparator(text);
    if (parts.size() != 3)
        return std::nullopt;
    for (std::string_view part : parts) {
        if (!isDigits(part))
            return std::nullopt;
    }
    if (parts[0].size() == 4 && text[4] == '-' && parts[1].size() == 2 && parts[2].size() == 2)
        return validDay(numberOf(parts[0]), numberOf(parts[1]), numberOf(parts[2]));
    if (parts[0].size() > 2 || parts[1].size() > 2 || (parts[2].size() != 2 && parts[2].size() != 4))
        return std::nullopt;
    return validDay(expandYear(parts[2]), numberOf(parts[0]), numberOf(parts[1]));
}

CalendarDay localDayOf(std::time_t time)
{
    std::tm local{};
    localtime_r(&time, &local);
    return CalendarDay{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

} // namespace quarvo
