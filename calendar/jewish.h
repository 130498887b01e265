// The Jewish calendar: the new year from the molad and its postponements, the six year types,
// the month order of leap years, conversion to and from Gregorian dates through a table of
// known new years, month names (with the user's "Jewish Setup" names) and Jewish date pictures.
//
// Conversions are exact and cheap: the day number of every 1 Tishrei from 5343 (1582) to 13761
// (10000) is computed once, on first use, by walking year lengths out from the anchor table, so
// a conversion is a table look-up and a walk over at most thirteen months.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "calendar/dates.h"

namespace kv {

struct JewishDate {
  int32_t year = 0;  // e.g. 5787
  int month = 0;     // 1 = Tishrei ... 12 = Elul; 13 = the second Adar of a leap year
  int day = 0;       // 1 ... 30
  friend bool operator==(const JewishDate&, const JewishDate&) = default;
};

enum JewishMonth : int {
  kTishrei = 1, kCheshvan, kKislev, kTevet, kShevat, kAdar, kNisan, kIyar, kSivan, kTammuz, kAv, kElul, kAdarII
};

// The years the conversions cover: 1 Tishrei 5343 is 18 September 1582; 13761 begins in 10000.
constexpr int kFirstJewishYear = 5343;
constexpr int kLastJewishYear = 13760;
// The display may not go below these (they keep every conversion above the first anchor).
constexpr int kMinJewishModeGregorianYear = 1703;
constexpr int kMinGregorianModeJewishYear = 5463;

// Weekday (0 = Sunday) of 1 Tishrei of year + 1, and whether `year` is a leap year.
struct NewYearFacts {
  int weekday = 0;
  bool leap = false;
};
NewYearFacts NewYearWeekday(int year);

// The molad of Tishrei of year + 1: its weekday and its parts (1080 an hour) since midnight.
struct Molad {
  int weekday = 0;
  int parts = 0;
};
Molad MoladOfNextTishrei(int year);

bool IsJewishLeapYear(int year);

// Everything a year's type decides.
struct JewishYearFacts {
  int year = 0;
  int type = 0;            // 1 ... 6: 353, 354, 355 days (common), 383, 384, 385 (leap)
  int length = 0;
  bool leap = false;
  int cheshvan = 29;       // 29 or 30
  int kislev = 30;         // 29 or 30
  int adar = 29;           // 30 in a leap year (Adar I), 29 otherwise
  int32_t newYear = 0;     // DayNumber of 1 Tishrei
};

// Pure look-up for any year of the covered range (computed from the molad when outside it).
JewishYearFacts JewishYearOf(int year);

// Length of a month of a year (13 has 29 days in a leap year, 0 in a common one).
int JewishMonthLength(int month, const JewishYearFacts& year);
int JewishMonthLength(int month, int year);

// The month after `month` in the year's order: 1 ... 6, 13, 7 ... 12 in a leap year; after 12
// comes 1 (of the next year).
int NextJewishMonth(int month, bool leap);
// The month before, the inverse (before 1 comes 12 of the previous year).
int PreviousJewishMonth(int month, bool leap);

// The examined year: the year being shown. Month 6's displayed name follows its leap flag, and
// every drawing of a Jewish month examines its year first. Conversions never change it.
void ExamineJewishYear(int year);
const JewishYearFacts& ExaminedJewishYear();
void ResetJewishCalendar();  // examined year back to none, month names rebuilt (for tests)

// Conversions. Both accept any date of the covered range; outside it the result is clamped to
// the range's ends. JewishDate months and days outside a year's months are carried forward in
// the year's order the way the day count of the conversion carries them.
JewishDate GregorianToJewish(int month, int day, int year);
DateStamp JewishToGregorian(const JewishDate& date);
int32_t JewishDayNumber(const JewishDate& date);  // DayNumber of the Gregorian day
// In place on a date record (year, month, day; hour and minute kept).
void ToJewishInPlace(DateStamp& date);
void ToGregorianInPlace(DateStamp& date);
bool IsValidJewishDate(const JewishDate& date);

// Month names. Built-in names, replaced by non-empty "Jewish Setup" values "M1" ... "M12"
// (at most 15 characters). Call RebuildJewishMonthNames after start-up and after the setup
// dialog closes with OK.
void RebuildJewishMonthNames();
// Name of a month for a leap or a common year: 6 is "Adar I" in a leap year and "Adar" in a
// common one; 13 is "Adar II".
std::string JewishMonthName(int month, bool leap);
// Spaced capitals for large headings: "T I S H R E I"; "A D A R   I"; "A D A R   I I".
std::string JewishSpacedMonthName(int month, bool leap);
// Month 6 takes the form of the examined year.
std::string ExaminedJewishMonthName(int month);
// The user's or built-in base name of month 1 ... 12 (without " I"/" II").
std::string JewishBaseMonthName(int month);

// A Jewish date through a date picture (M, MM, MMM, MMMM, d, dd, ddd, dddd, yy, yyyy); the
// weekday names come from the Gregorian date of the same day.
std::string FormatJewishDate(std::string_view picture, const JewishDate& date);
std::string FormatJewishLongDate(const JewishDate& date);
std::string FormatJewishShortDate(const JewishDate& date);

// Mode switches: false (after telling the user) when the shown year is below the limit.
bool CheckSwitchToGregorian(int shownJewishYear);  // "Jewish year must be at least 5463"
bool CheckSwitchToJewish(int shownGregorianYear);   // "Gregorian year must be at least 1703"

// Candle-lighting and Havdalah offsets of the "Jewish Setup" dialog.
struct JewishSetup {
  bool candleLighting = false;
  int candleMinutes = 18;   // minutes before sunset, 1 ... 120
  bool havdalah = false;
  int havdalahMinutes = 42; // minutes after sunset, 1 ... 120
};
enum class JewishSetupField { None, CandleMinutes, HavdalahMinutes };
// Checks the offsets of the settings that are switched on; on the first bad one tells the user
// and returns the field to focus.
JewishSetupField CheckJewishSetup(const JewishSetup& setup);

}  // namespace kv
