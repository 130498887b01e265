#include "calendar/dates.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

TEST(Dates, KnownDaysLeapYearsAndMonthLengths) {
  EXPECT_EQ(DayNumber(1, 1, 1), 1);
  EXPECT_EQ(Weekday(1, 1, 1), 1);  // Monday
  EXPECT_EQ(JulianDayNumber(1, 1, 2000), 2451545);
  EXPECT_EQ(Weekday(1, 1, 2000), 6);  // Saturday
  EXPECT_EQ(JulianDayNumber(10, 15, 1582), 2299161);  // the first Gregorian day
  EXPECT_EQ(JulianDayNumber(12, 31, 9999), 5373484);
  EXPECT_EQ(MonthLength(2, 1900), 28);
  EXPECT_EQ(MonthLength(2, 2000), 29);
  EXPECT_EQ(MonthLength(13, 2026), 0);
  EXPECT_EQ(ExamineDate(6, 1, 1900).februaryLength, 28);
  EXPECT_EQ(ExamineDate(6, 1, 2000).yearLength, 366);
  EXPECT_EQ(DayOfYear(3, 1, 2023), 60);
  EXPECT_EQ(DayOfYear(3, 1, 2024), 61);
  EXPECT_EQ(DayOfYear(12, 31, 2024), 366);
  const struct { int m, d, y; bool valid; } dates[] = {
      {2, 30, 2024, false}, {2, 29, 2023, false}, {2, 29, 2024, true}, {2, 29, 1900, false},
      {13, 1, 2024, false}, {1, 1, 0, false},     {1, 1, 10000, false}, {12, 31, 9999, true},
  };
  for (const auto& c : dates) EXPECT_EQ(IsValidDate(c.m, c.d, c.y), c.valid) << c.y << '-' << c.m << '-' << c.d;
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
  EXPECT_EQ(AddDays(1, 1, 2000, 10000), (DateStamp{2027, 5, 19}));
}

TEST(MinuteKeys, MonthsCountThirtyOneDays) {
  EXPECT_EQ(MakeMinuteKey(2026, 2, 1) - MakeMinuteKey(2026, 1, 31), 1440u);
  EXPECT_EQ(MakeMinuteKey(2026, 5, 1) - MakeMinuteKey(2026, 4, 30), 2880u);
  EXPECT_EQ(MakeMinuteKey(2026, 3, 1) - MakeMinuteKey(2026, 2, 28), 4 * 1440u);
  EXPECT_EQ(MakeMinuteKey(2026, 7, 4, 13, 45) - MakeMinuteKey(2026, 7, 4), 13 * 60 + 45u);
  // Keys are taken modulo 2^32, which covers the years up to 8016; past that they wrap.
  EXPECT_LT(MakeMinuteKey(8017, 10, 15), MakeMinuteKey(8017, 10, 14));
}

TEST(MinuteKeys, RoundTripAndOrderOverEveryDayTheKeyHolds) {
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
  // 2026 begins on a Thursday: 1-4 January belong to the last week of 2025, its 53rd. 2025 begins
  // on a Wednesday: that week is week 1, and 30/31 December 2024 belong to it. Unlike ISO 8601
  // (four days), a year starting on Thursday or Friday (2021) has its first days in the old year.
  const struct { int m, d, y, week; } cases[] = {
      {1, 1, 2026, 53},  {1, 4, 2026, 53},  {12, 29, 2025, 53}, {1, 5, 2026, 1},  {1, 1, 2025, 1},
      {12, 30, 2024, 1}, {12, 31, 2024, 1}, {12, 29, 2024, 52}, {1, 3, 2021, 53}, {12, 31, 2020, 53},
  };
  for (const auto& c : cases) EXPECT_EQ(WeekNumber(c.m, c.d, c.y), c.week) << c.y << '-' << c.m << '-' << c.d;
}

TEST(Easter, KnownDates) {
  // Including the earliest (22 March) and latest (25 April) possible dates.
  const struct { int year; MonthDay date; } cases[] = {
      {2024, {3, 31}}, {2025, {4, 20}}, {2038, {4, 25}}, {2000, {4, 23}}, {2008, {3, 23}},
      {1818, {3, 22}}, {2285, {3, 22}}, {1943, {4, 25}}, {2026, {4, 5}},  {2026, {4, 5}},  // cached
  };
  for (const auto& c : cases) EXPECT_EQ(EasterSunday(c.year), c.date) << c.year;
}

TEST(Easter, AlwaysASundayBetweenTheTwentySecondOfMarchAndTheTwentyFifthOfApril) {
  for (int year = 1583; year <= 9999; ++year) {
    MonthDay e = EasterSunday(year);
    ASSERT_EQ(Weekday(e.month, e.day, year), 0) << year;
    ASSERT_TRUE((e.month == 3 && e.day >= 22) || (e.month == 4 && e.day <= 25)) << year;
  }
}

TEST(MonthGrid, ColumnAndRows) {
  // February 2015 starts on a Sunday and fills exactly four rows; August 2026 starts on a
  // Saturday and needs 6 rows, from Saturday on 5.
  const struct { int m, y, firstDay, column, rows; } cases[] = {
      {2, 2015, 0, 0, 4}, {2, 2015, 1, 6, 5}, {8, 2026, 0, 6, 6}, {8, 2026, 1, 5, 6}, {8, 2026, 6, 0, 5},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MonthGridColumn(c.m, c.y, c.firstDay), c.column) << c.m << " " << c.firstDay;
    EXPECT_EQ(MonthGridRows(c.m, c.y, c.firstDay), c.rows) << c.m << " " << c.firstDay;
  }
}

}  // namespace
}  // namespace kv
