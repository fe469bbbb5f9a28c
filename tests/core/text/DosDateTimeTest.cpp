#include "core/text/DosDateTime.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

using namespace quarvo;

namespace {

constexpr uint16_t packDate(int year, int month, int day)
{
    return static_cast<uint16_t>((year - 1980) * 512 + month * 32 + day);
}

constexpr uint16_t packTime(int hour, int minute, int second)
{
    return static_cast<uint16_t>(hour * 2048 + minute * 32 + second / 2);
}

TEST(FormatDosDate, ShowsMonthDayAndTwoDigitYear)
{
    EXPECT_EQ(formatDosDate(packDate(1995, 7, 4)), "07/04/95");
    EXPECT_EQ(formatDosDate(packDate(2000, 1, 31)), "01/31/00");
    EXPECT_EQ(formatDosDate(packDate(2003, 12, 9)), "12/09/03");
    EXPECT_EQ(formatDosDate(packDate(2107, 12, 31)), "12/31/07");
    EXPECT_EQ(formatDosDate(0), "00/00/80");
    // The month field has four bits: 15 shows as it is, still in 8 characters.
    EXPECT_EQ(formatDosDate(0xFFFF), "15/31/07");
}

TEST(FormatDosTime, ShowsHoursAndMinutesWithoutSeconds)
{
    EXPECT_EQ(formatDosTime(packTime(0, 0, 0)), "00:00");
    EXPECT_EQ(formatDosTime(packTime(9, 5, 59)), "09:05");
    EXPECT_EQ(formatDosTime(packTime(23, 59, 58)), "23:59");
    EXPECT_EQ(formatDosTime(0xFFFF), "31:63");
}

// Conversions go through local time; the tests pin the time zone so that results are fixed.
class DosDateTimeConversion : public ::testing::Test {
  protected:
    void SetUp() override
    {
        if (const char* zone = std::getenv("TZ"))
            m_previousZone = zone;
        setenv("TZ", "UTC0", 1);
        tzset();
    }
    void TearDown() override
    {
        if (m_previousZone)
            setenv("TZ", m_previousZone->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

  private:
    std::optional<std::string> m_previousZone;
};

TEST_F(DosDateTimeConversion, PacksLocalTimeAndRoundsOddSecondsDown)
{
    // 2001-09-09 01:46:41 UTC
    DosDateTime packed = dosDateTimeFromTime(1000000001);
    EXPECT_EQ(packed.date, packDate(2001, 9, 9));
    EXPECT_EQ(packed.time, packTime(1, 46, 40));
    EXPECT_EQ(timeFromDosDateTime(packed), 1000000000);
}

TEST_F(DosDateTimeConversion, RoundTripsEveryEvenSecondOfTheRange)
{
    const std::time_t samples[] = {
        315532800,  // 1980-01-01 00:00:00
        951782400,  // 2000-02-29 00:00:00
        1700000000, // 2023-11-14 22:13:20
        4354819198, // 2107-12-31 23:59:58
    };
    for (std::time_t time : samples) {
        SCOPED_TRACE(time);
        EXPECT_EQ(timeFromDosDateTime(dosDateTimeFromTime(time)), time);
    }
}

TEST_F(DosDateTimeConversion, ClampsTimesOutsideTheRangeToItsEnds)
{
    const DosDateTime first{packDate(1980, 1, 1), packTime(0, 0, 0)};
    const DosDateTime last{packDate(2107, 12, 31), packTime(23, 59, 58)};
    EXPECT_EQ(dosDateTimeFromTime(0), first);         // 1970
    EXPECT_EQ(dosDateTimeFromTime(315532799), first); // 1979-12-31 23:59:59
    EXPECT_EQ(dosDateTimeFromTime(4354819200), last); // 2108-01-01 00:00:00
    EXPECT_EQ(dosDateTimeFromTime(-86400), first);
}

TEST_F(DosDateTimeConversion, KeepsUnnormalisedFieldsInsideTheirBits)
{
    std::tm local{};
    local.tm_year = 99;
    local.tm_mon = 13;  // would spill into the year
    local.tm_mday = 40; // would spill into the month
    local.tm_hour = 24;
    local.tm_min = 60;
    local.tm_sec = 60;
    DosDateTime packed = dosDateTimeFromLocalTime(local);
    EXPECT_EQ(packed.date, packDate(1999, 12, 31));
    EXPECT_EQ(packed.time, packTime(23, 59, 58));
}

TEST_F(DosDateTimeConversion, PullsInvalidStoredFieldsToTheNearestValidValue)
{
    struct Case {
        DosDateTime packed;
        int year, month, day, hour, minute, second;
    };
    const Case cases[] = {
        {{packDate(1990, 0, 0), 0}, 1990, 1, 1, 0, 0, 0},
        {{packDate(2001, 2, 30), 0}, 2001, 2, 28, 0, 0, 0},
        {{packDate(2004, 2, 31), 0}, 2004, 2, 29, 0, 0, 0},
        {{packDate(2004, 15, 31), 0xFFFF}, 2004, 12, 31, 23, 59, 59},
    };
    for (const Case& c : cases) {
        std::tm local = localTimeFromDosDateTime(c.packed);
        EXPECT_EQ(local.tm_year + 1900, c.year);
        EXPECT_EQ(local.tm_mon + 1, c.month);
        EXPECT_EQ(local.tm_mday, c.day);
        EXPECT_EQ(local.tm_hour, c.hour);
        EXPECT_EQ(local.tm_min, c.minute);
        EXPECT_EQ(local.tm_sec, c.second);
    }
}

} // namespace
