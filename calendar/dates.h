// Gregorian date arithmetic: the date-time record, minute keys, day numbers, Julian day
// numbers, weekdays, week numbers and Easter. The proleptic Gregorian calendar is used for
// every year; there is no switch to the Julian calendar. Dates are valid from 1 January of
// year 1 to 31 December 9999.
#pragma once

#include <cstdint>

namespace kv {

// A date and time of day; the date-only form uses the first three fields.
struct DateStamp {
  int32_t year = 0;
  uint16_t month = 0;  // 1 = January
  uint16_t day = 0;
  uint16_t hour = 0;
  uint16_t minute = 0;

  friend bool operator==(const DateStamp&, const DateStamp&) = default;
};

// Sortable minute key: every month counts as 31 days, so keys sort in date order and two keys
// of one day differ by true minutes, but a difference across a month end is not a duration.
// Taken modulo 2^32, so keys of mid-October 8017 and later wrap.
using MinuteKey = uint32_t;

constexpr int kMinutesPerDay = 1440;

// The day of a stamp, its time of day cleared.
constexpr DateStamp DateOnly(DateStamp d) {
  d.hour = d.minute = 0;
  return d;
}
// Minutes folded into one day, 0 ... 1439 (a negative count from the day's end).
constexpr int MinuteOfDay(int minutes) { return ((minutes % kMinutesPerDay) + kMinutesPerDay) % kMinutesPerDay; }
constexpr uint32_t kKeyMinutesPerYear = 535680;   // 12 * 31 days
constexpr uint32_t kKeyMinutesPerMonth = 44640;   // 31 days

MinuteKey MakeMinuteKey(const DateStamp& stamp);
MinuteKey MakeMinuteKey(int year, int month, int day, int hour = 0, int minute = 0);
DateStamp SplitMinuteKey(MinuteKey key);

bool IsLeapYear(int year);
int YearLength(int year);                  // 365 or 366
int MonthLength(int month, int year);      // 28 ... 31; 0 for a month outside 1 ... 12
bool IsValidDate(int month, int day, int year);  // year 1 ... 9999

// What one weekday computation yields about a date.
struct DateFacts {
  int weekday = 0;          // 0 = Sunday ... 6 = Saturday
  int dayOfYear = 0;        // 1 January = 1
  int yearLength = 0;       // 365 or 366
  int februaryLength = 0;   // 28 or 29
  int32_t dayNumber = 0;    // 1 January of year 1 = 1
};

DateFacts ExamineDate(int month, int day, int year);
int Weekday(int month, int day, int year);
int DayOfYear(int month, int day, int year);
int32_t DayNumber(int month, int day, int year);

// Astronomical integer day count (1 January 2000 = 2451545) and its inverse.
int32_t JulianDayNumber(int month, int day, int year);
DateStamp DateOfJulianDay(int32_t jdn);  // hour and minute are 0

// The date a signed number of days away.
DateStamp AddDays(int month, int day, int year, int32_t days);

// Week number, weeks running Monday to Sunday; week 1 is the first week holding at least five
// days of January.
int WeekNumber(int month, int day, int year);

// Easter Sunday of a Gregorian year. The last answer is kept with its year.
struct MonthDay {
  int month = 0;
  int day = 0;
  friend bool operator==(const MonthDay&, const MonthDay&) = default;
};
MonthDay EasterSunday(int year);

// Month grid: the column (0 ... 6) of the 1st when the grid starts on firstWeekday, and the
// number of rows (4, 5 or 6) the month needs.
int MonthGridColumn(int month, int year, int firstWeekday);
int MonthGridRows(int month, int year, int firstWeekday);

}  // namespace kv
