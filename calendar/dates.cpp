#include "calendar/dates.h"

namespace kv {
namespace {

constexpr int kMonthLengths[13] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

}  // namespace

MinuteKey MakeMinuteKey(int year, int month, int day, int hour, int minute) {
  // Unsigned arithmetic gives the modulo 2^32 the key is defined with.
  uint32_t key = static_cast<uint32_t>(year) * 12u + static_cast<uint32_t>(month);
  key = key * 31u + static_cast<uint32_t>(day) - 32u;
  key = key * 24u + static_cast<uint32_t>(hour);
  return key * 60u + static_cast<uint32_t>(minute);
}

MinuteKey MakeMinuteKey(const DateStamp& s) { return MakeMinuteKey(s.year, s.month, s.day, s.hour, s.minute); }

DateStamp SplitMinuteKey(MinuteKey key) {
  DateStamp s;
  s.year = static_cast<int32_t>(key / kKeyMinutesPerYear);
  uint32_t rest = key % kKeyMinutesPerYear;
  s.month = static_cast<uint16_t>(rest / kKeyMinutesPerMonth + 1);
  rest %= kKeyMinutesPerMonth;
  s.day = static_cast<uint16_t>(rest / 1440 + 1);
  rest %= 1440;
  s.hour = static_cast<uint16_t>(rest / 60);
  s.minute = static_cast<uint16_t>(rest % 60);
  return s;
}

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int YearLength(int year) { return IsLeapYear(year) ? 366 : 365; }

int MonthLength(int month, int year) {
  if (month < 1 || month > 12) return 0;
  return (month == 2 && IsLeapYear(year)) ? 29 : kMonthLengths[month];
}

bool IsValidDate(int month, int day, int year) {
  return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= MonthLength(month, year);
}

int DayOfYear(int month, int day, int year) {
  // (month + 2) * 30.55 in whole numbers: 3055 / 100.
  int n = (month + 2) * 3055 / 100 + day - 91;
  bool leap = IsLeapYear(year);
  if (n > (leap ? 60 : 59)) n -= leap ? 1 : 2;
  return n;
}

DateFacts ExamineDate(int month, int day, int year) {
  DateFacts f;
  f.yearLength = YearLength(year);
  f.februaryLength = f.yearLength == 366 ? 29 : 28;
  f.dayOfYear = DayOfYear(month, day, year);
  // Whole 400-year cycles, centuries, four-year groups and single years, each a fixed count
  // of days; ending the count at the year's last day and stepping back to the date.
  int32_t q = year / 400;
  int32_t r = year % 400;
  int32_t c = r % 100;
  f.dayNumber = q * 146097 + (r / 100) * 36524 + (c / 4) * 1461 + (year % 4) * 365 + f.dayOfYear - f.yearLength;
  f.weekday = f.dayNumber % 7;
  return f;
}

int Weekday(int month, int day, int year) { return ExamineDate(month, day, year).weekday; }

int32_t DayNumber(int month, int day, int year) { return ExamineDate(month, day, year).dayNumber; }

int32_t JulianDayNumber(int month, int day, int year) {
  int32_t m = month;
  int32_t y = year;
  if (m > 2) {
    m -= 3;
  } else {
    m += 9;
    --y;
  }
  int32_t century = y / 100;
  int32_t yy = y % 100;
  return (153 * m + 2) / 5 + (yy * 1461) / 4 + (century * 146097) / 4 + day + 1721119;
}

DateStamp DateOfJulianDay(int32_t jdn) {
  // Exact inverse of JulianDayNumber: centuries, then years of the century, then March-based
  // months.
  int32_t j = jdn - 1721119;
  int32_t century = (4 * j - 1) / 146097;
  j = 4 * j - 1 - 146097 * century;
  int32_t d = j / 4;
  int32_t yy = (4 * d + 3) / 1461;
  d = 4 * d + 3 - 1461 * yy;
  d = (d + 4) / 4;
  int32_t m = (5 * d - 3) / 153;
  d = 5 * d - 3 - 153 * m;
  d = (d + 5) / 5;
  int32_t y = 100 * century + yy;
  if (m < 10) {
    m += 3;
  } else {
    m -= 9;
    ++y;
  }
  DateStamp s;
  s.year = y;
  s.month = static_cast<uint16_t>(m);
  s.day = static_cast<uint16_t>(d);
  return s;
}

DateStamp AddDays(int month, int day, int year, int32_t days) {
  return DateOfJulianDay(JulianDayNumber(month, day, year) + days);
}

int WeekNumber(int month, int day, int year) {
  // Weekday of 1 January counted from Monday = 0.
  auto mondayBased = [](int y) { return (Weekday(1, 1, y) + 6) % 7; };
  int j = mondayBased(year);
  int d = DayOfYear(month, day, year);
  int n = j <= 2 ? d + j : d + j - 7;
  if (n >= 365) {
    int weekday = Weekday(month, day, year);
    if ((weekday == 1 && (day == 30 || day == 31)) || (weekday == 2 && day == 31)) return 1;
    return (n - 1) / 7 + 1;
  }
  if (n < 1) {
    int jPrev = mondayBased(year - 1);
    n = day + YearLength(year - 1) + jPrev;
    if (jPrev >= 3) n -= 7;
    return (n - 1) / 7 + 1;
  }
  return (n - 1) / 7 + 1;
}

MonthDay EasterSunday(int year) {
  static int cachedYear = 0;
  static MonthDay cached;
  if (year == cachedYear && cachedYear != 0) return cached;
  int a = year % 19, b = year / 100, c = year % 100, d = b / 4, e = b % 4;
  int f = (b + 8) / 25, g = (b - f + 1) / 3;
  int h = (19 * a + b - d - g + 15) % 30;
  int i = c / 4, k = c % 4;
  int l = (32 + 2 * e + 2 * i - h - k) % 7;
  int m = (a + 11 * h + 22 * l) / 451;
  int t = h + l - 7 * m + 114;
  cached = MonthDay{t / 31, t % 31 + 1};
  cachedYear = year;
  return cached;
}

int MonthGridColumn(int month, int year, int firstWeekday) {
  return ((Weekday(month, 1, year) - firstWeekday) % 7 + 7) % 7;
}

int MonthGridRows(int month, int year, int firstWeekday) {
  int cells = MonthGridColumn(month, year, firstWeekday) + MonthLength(month, year);
  return cells < 29 ? 4 : cells < 36 ? 5 : 6;
}

}  // namespace kv
