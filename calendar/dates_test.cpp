#include "calendar/dates.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

TEST(Dates, KnownDays) {
  EXPECT_EQ(DayNumber(1, 1, 1), 1);
  EXPECT_EQ(Weekday(1, 1, 1), 1);  // Monday
  EXPECT_EQ(JulianDayNumber(1, 1, 2000), 2451545);
  EXPECT_EQ(Weekday(1, 1, 2000), 6);  // Saturday
  EXPECT_EQ(Weekday(12, 5, 2026), 6);
  EXPECT_EQ(Weekday(10, 15, 1582 + 1), Weekday(10, 15, 1583));
  EXPECT_EQ(JulianDayNumber(10, 15, 1582), 2299161);  // the first Gregorian day
  EXPECT_EQ(JulianDayNumber(12, 31, 9999), 5373484);
}

TEST(Dates, LeapYearsAndMonthLengths) {
  EXPECT_FALSE(IsLeapYear(1900));
  EXPECT_TRUE(IsLeapYear(2000));
  EXPECT_TRUE(IsLeapYear(2024));
  EXPECT_FALSE(IsLeapYear(2023));
  EXPECT_EQ(MonthLength(2, 1900), 28);
  EXPECT_EQ(MonthLength(2, 2000), 29);
  EXPECT_EQ(MonthLength(4, 2026), 30);
  EXPECT_EQ(MonthLength(13, 2026), 0);
  EXPECT_EQ(ExamineDate(6, 1, 1900).februaryLength, 28);
  EXPECT_EQ(ExamineDate(6, 1, 2000).februaryLength, 29);
  EXPECT_EQ(ExamineDate(6, 1, 2000).yearLength, 366);
  EXPECT_FALSE(IsValidDate(2, 30, 2024));
  EXPECT_FALSE(IsValidDate(2, 29, 2023));
  EXPECT_TRUE(IsValidDate(2, 29, 2024));
  EXPECT_FALSE(IsValidDate(13, 1, 2024));
  EXPECT_FALSE(IsValidDate(1, 1, 0));
  EXPECT_FALSE(IsValidDate(1, 1, 10000));
}

TEST(Dates, DayOfYear) {
  EXPECT_EQ(DayOfYear(1, 1, 2023), 1);
  EXPECT_EQ(DayOfYear(2, 28, 2023), 59);
  EXPECT_EQ(DayOfYear(3, 1, 2023), 60);
  EXPECT_EQ(DayOfYear(2, 29, 2024), 60);
  EXPECT_EQ(DayOfYear(3, 1, 2024), 61);
  EXPECT_EQ(DayOfYear(12, 31, 2023), 365);
  EXPECT_EQ(DayOfYear(12, 31, 2024), 366);
}

// Every day from 1 January of year 1 to 31 December 9999, walked one at a time: each count
// steps by one, weekdays cycle, days of the year restart each January, and the Julian day
// number converts back to the same date.
TEST(Dates, EveryDayOfTheWholeRangeIsConsistent) {
  int32_t expectedDayNumber = 1;
  int expectedWeekday = 1;
  int32_t expectedJdn = 1721426;
  for (int year = 1; year <= 9999; ++year) {
    int dayOfYear = 0;
    for (int month = 1; month <= 12; ++month) {
      for (int day = 1; day <= MonthLength(month, year); ++day) {
        ++dayOfYear;
        DateFacts f = ExamineDate(month, day, year);
        ASSERT_EQ(f.dayNumber, expectedDayNumber) << year << '-' << month << '-' << day;
        ASSERT_EQ(f.weekday, expectedWeekday) << year << '-' << month << '-' << day;
        ASSERT_EQ(f.dayOfYear, dayOfYear) << year << '-' << month << '-' << day;
        int32_t jdn = JulianDayNumber(month, day, year);
        ASSERT_EQ(jdn, expectedJdn) << year << '-' << month << '-' << day;
        DateStamp back = DateOfJulianDay(jdn);
        ASSERT_TRUE(back.year == year && back.month == month && back.day == day) << jdn;
        ++expectedDayNumber;
        ++expectedJdn;
        expectedWeekday = (expectedWeekday + 1) % 7;
      }
    }
    ASSERT_EQ(dayOfYear, YearLength(year));
  }
}

TEST(Dates, AddDaysCrossesMonthAndYearEnds) {
  EXPECT_EQ(AddDays(12, 31, 2026, 1), (DateStamp{2027, 1, 1}));
  EXPECT_EQ(AddDays(1, 1, 2027, -1), (DateStamp{2026, 12, 31}));
  EXPECT_EQ(AddDays(2, 28, 2024, 1), (DateStamp{2024, 2, 29}));
  EXPECT_EQ(AddDays(2, 28, 2023, 1), (DateStamp{2023, 3, 1}));
  EXPECT_EQ(AddDays(3, 1, 2024, -366), (DateStamp{2023, 3, 1}));
  EXPECT_EQ(AddDays(6, 15, 2026, 0), (DateStamp{2026, 6, 15}));
  EXPECT_EQ(AddDays(1, 1, 2000, 10000), (DateStamp{2027, 5, 19}));
}

TEST(MinuteKeys, FormulaAndMonthsOfThirtyOneDays) {
  EXPECT_EQ(MakeMinuteKey(2026, 1, 1), ((2026u * 12 + 1) * 31 + 1 - 32) * 24 * 60);
  EXPECT_EQ(MakeMinuteKey(2026, 2, 1) - MakeMinuteKey(2026, 1, 31), 1440u);
  EXPECT_EQ(MakeMinuteKey(2026, 5, 1) - MakeMinuteKey(2026, 4, 30), 2880u);
  EXPECT_EQ(MakeMinuteKey(2026, 3, 1) - MakeMinuteKey(2026, 2, 28), 4 * 1440u);
  EXPECT_EQ(MakeMinuteKey(2026, 7, 4, 13, 45) - MakeMinuteKey(2026, 7, 4), 13 * 60 + 45u);
  EXPECT_EQ(MakeMinuteKey(DateStamp{2026, 7, 4, 13, 45}), MakeMinuteKey(2026, 7, 4, 13, 45));
}

TEST(MinuteKeys, RoundTripAndOrderOverEveryDayTheKeyHolds) {
  // Keys are taken modulo 2^32, which covers the years up to 8016.
  MinuteKey previous = 0;
  for (int year = 1583; year <= 8016; ++year) {
    for (int month = 1; month <= 12; ++month) {
      for (int day = 1; day <= MonthLength(month, year); ++day) {
        int hour = (day * 7) % 24, minute = (day * 13 + month) % 60;
        MinuteKey key = MakeMinuteKey(year, month, day, hour, minute);
        ASSERT_GT(key, previous) << year << '-' << month << '-' << day;
        DateStamp back = SplitMinuteKey(key);
        ASSERT_EQ(back, (DateStamp{year, static_cast<uint16_t>(month), static_cast<uint16_t>(day),
                                   static_cast<uint16_t>(hour), static_cast<uint16_t>(minute)}));
        previous = key;
      }
    }
  }
}

TEST(MinuteKeys, KeysWrapModuloTwoToTheThirtyTwo) {
  EXPECT_LT(MakeMinuteKey(8017, 10, 15), MakeMinuteKey(8017, 10, 14));
  MinuteKey key = MakeMinuteKey(8100, 1, 1);
  EXPECT_EQ(key, static_cast<uint32_t>((8100ull * 12 + 1) * 31 * 1440 - 31ull * 1440));
}

// Independent model of the week rule: week 1 starts on the Monday of the first Monday-to-Sunday
// week that holds at least five days of January.
int ReferenceWeek(int month, int day, int year) {
  auto weekOneStart = [](int y) {
    int32_t jan1 = DayNumber(1, 1, y);
    int j = (Weekday(1, 1, y) + 6) % 7;  // Monday = 0
    return j <= 2 ? jan1 - j : jan1 + (7 - j);
  };
  int32_t dn = DayNumber(month, day, year);
  if (dn >= weekOneStart(year + 1)) return 1;
  int32_t start = weekOneStart(year);
  if (dn < start) start = weekOneStart(year - 1);
  return (dn - start) / 7 + 1;
}

TEST(WeekNumbers, MatchTheFiveDayRuleForEveryDay) {
  for (int year = 1584; year <= 2600; ++year)
    for (int month = 1; month <= 12; ++month)
      for (int day = 1; day <= MonthLength(month, year); ++day)
        ASSERT_EQ(WeekNumber(month, day, year), ReferenceWeek(month, day, year)) << year << '-' << month << '-' << day;
}

TEST(WeekNumbers, EdgesOfTheYear) {
  // 2026 begins on a Thursday: 1-4 January belong to the last week of 2025, its 53rd.
  EXPECT_EQ(Weekday(1, 1, 2026), 4);
  EXPECT_EQ(WeekNumber(1, 1, 2026), 53);
  EXPECT_EQ(WeekNumber(1, 4, 2026), 53);
  EXPECT_EQ(WeekNumber(12, 29, 2025), 53);
  EXPECT_EQ(WeekNumber(1, 5, 2026), 1);
  // 2025 begins on a Wednesday: that week is week 1, and 30/31 December 2024 belong to it.
  EXPECT_EQ(Weekday(1, 1, 2025), 3);
  EXPECT_EQ(WeekNumber(1, 1, 2025), 1);
  EXPECT_EQ(WeekNumber(12, 30, 2024), 1);
  EXPECT_EQ(WeekNumber(12, 31, 2024), 1);
  EXPECT_EQ(WeekNumber(12, 29, 2024), 52);
  // Unlike ISO 8601 (four days), a year starting on Thursday has its first days in the old year,
  // and one starting on Friday 2021 likewise.
  EXPECT_EQ(WeekNumber(1, 3, 2021), 53);
  EXPECT_EQ(WeekNumber(12, 31, 2020), 53);
}

TEST(Easter, KnownDates) {
  EXPECT_EQ(EasterSunday(2024), (MonthDay{3, 31}));
  EXPECT_EQ(EasterSunday(2025), (MonthDay{4, 20}));
  EXPECT_EQ(EasterSunday(2038), (MonthDay{4, 25}));
  EXPECT_EQ(EasterSunday(2000), (MonthDay{4, 23}));
  EXPECT_EQ(EasterSunday(2008), (MonthDay{3, 23}));
  EXPECT_EQ(EasterSunday(1818), (MonthDay{3, 22}));
  EXPECT_EQ(EasterSunday(2285), (MonthDay{3, 22}));
  EXPECT_EQ(EasterSunday(1943), (MonthDay{4, 25}));
  EXPECT_EQ(EasterSunday(2026), (MonthDay{4, 5}));
  // A repeated year is answered from the cache with the same result.
  EXPECT_EQ(EasterSunday(2026), (MonthDay{4, 5}));
}

TEST(Easter, AlwaysASundayBetweenTheTwentySecondOfMarchAndTheTwentyFifthOfApril) {
  for (int year = 1583; year <= 9999; ++year) {
    MonthDay e = EasterSunday(year);
    ASSERT_EQ(Weekday(e.month, e.day, year), 0) << year;
    ASSERT_TRUE((e.month == 3 && e.day >= 22) || (e.month == 4 && e.day <= 25)) << year;
  }
}

TEST(MonthGrid, ColumnAndRows) {
  // February 2015 starts on a Sunday and fills exactly four rows.
  EXPECT_EQ(MonthGridColumn(2, 2015, 0), 0);
  EXPECT_EQ(MonthGridRows(2, 2015, 0), 4);
  EXPECT_EQ(MonthGridRows(2, 2015, 1), 5);
  // August 2026 starts on a Saturday and needs 6 rows; from Saturday on, 5.
  EXPECT_EQ(MonthGridColumn(8, 2026, 0), 6);
  EXPECT_EQ(MonthGridRows(8, 2026, 0), 6);
  EXPECT_EQ(MonthGridColumn(8, 2026, 1), 5);
  EXPECT_EQ(MonthGridRows(8, 2026, 1), 6);
  EXPECT_EQ(MonthGridColumn(8, 2026, 6), 0);
  EXPECT_EQ(MonthGridRows(8, 2026, 6), 5);
  EXPECT_EQ(MonthGridRows(12, 2026, 0), 5);
}

}  // namespace
}  // namespace kv
