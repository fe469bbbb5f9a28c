#include "engines/dzip/DateArgument.h"

#include <gtest/gtest.h>

using namespace quarvo;

TEST(DateArgument, AcceptsTheListedFormsAndNothingElse)
{
    struct Case {
        const char* text;
        std::optional<CalendarDay> day;
    } cases[] = {
        {"06-15-2010", CalendarDay{2010, 6, 15}},
        {"06/15/10", CalendarDay{2010, 6, 15}},
        {"06.15.99", CalendarDay{1999, 6, 15}},
        {"6-5-2024", CalendarDay{2024, 6, 5}},
        {"061510", CalendarDay{2010, 6, 15}},
        {"06152010", CalendarDay{2010, 6, 15}},
        {"2024-02-29", CalendarDay{2024, 2, 29}},
        {" 2024-01-31 ", CalendarDay{2024, 1, 31}},
        {"01-01-80", CalendarDay{1980, 1, 1}},
        {"01-01-79", CalendarDay{2079, 1, 1}},
        {"2023-02-29", std::nullopt}, // not a leap year
        {"13-01-2024", std::nullopt},
        {"00-10-2024", std::nullopt},
        {"04-31-2024", std::nullopt},
        {"06-15/2010", std::nullopt}, // mixed separators
        {"2024/01/05", std::nullopt}, // ISO only with "-"
        {"2024-1-5", std::nullopt},
        {"06-15-201", std::nullopt},
        {"0615201", std::nullopt},
        {"", std::nullopt},
        {"yesterday", std::nullopt},
        {"06-15", std::nullopt},
        {"06-15-2010-1", std::nullopt},
        {"+6-15-2010", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseDateArgument(c.text), c.day) << '"' << c.text << '"';
}
