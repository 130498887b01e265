#include "calendar/jewish.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "calendar/date_format.h"
#include "calendar/regional.h"
#include "resources/strings.h"
#include "base/messages.h"
#include "base/settings.h"

namespace kv {
namespace {

constexpr int kPartsPerDay = 25920;    // 24 hours of 1080 parts
constexpr int kPartsPerWeek = 181440;
constexpr int kMonthParts = 765433;     // 29 days 12 hours 793 parts

// Known new years: the Gregorian year, the September day of 1 Tishrei, the Jewish year.
struct Anchor {
  int gregorianYear;
  int septemberDay;
  int jewishYear;
};
constexpr Anchor kAnchors[] = {
    {1699, 24, 5460}, {1839, 9, 5600},  {1900, 24, 5661}, {1939, 14, 5700}, {1960, 22, 5721}, {1987, 24, 5748},
    {1988, 12, 5749}, {1989, 30, 5750}, {1990, 20, 5751}, {1991, 9, 5752},  {1992, 28, 5753}, {1993, 16, 5754},
    {1994, 6, 5755},  {1995, 25, 5756}, {2039, 19, 5800}, {2139, 24, 5900},
};

constexpr int kTypeLengths[7] = {0, 353, 354, 355, 383, 384, 385};

int TypeOf(int length) {
  for (int t = 1; t <= 6; ++t)
    if (kTypeLengths[t] == length) return t;
  return 0;
}

JewishYearFacts FactsFromLength(int year, int length, int32_t newYear) {
  JewishYearFacts f;
  f.year = year;
  f.type = TypeOf(length);
  f.length = length;
  f.leap = f.type >= 4;
  f.cheshvan = (f.type == 3 || f.type == 6) ? 30 : 29;
  f.kislev = (f.type == 1 || f.type == 4) ? 29 : 30;
  f.adar = f.leap ? 30 : 29;
  f.newYear = newYear;
  return f;
}

// Year length from the new-year weekdays (examine year).
int LengthFromWeekdays(int year) {
  int a = NewYearWeekday(year - 1).weekday;
  NewYearFacts b = NewYearWeekday(year);
  int d = ((b.weekday - a) % 7 + 7) % 7;
  if (b.leap) return d == 5 ? 383 : d == 6 ? 384 : 385;
  return d == 3 ? 353 : d == 4 ? 354 : 355;
}

// The day numbers of 1 Tishrei of every covered year, from the anchor table outwards.
struct YearTable {
  std::vector<int32_t> newYear;  // index year - kFirstJewishYear; one extra for kLastJewishYear + 1
  std::vector<uint16_t> length;

  YearTable() {
    size_t count = static_cast<size_t>(kLastJewishYear - kFirstJewishYear + 2);
    newYear.resize(count);
    length.resize(count);
    for (size_t i = 0; i < count; ++i) length[i] = static_cast<uint16_t>(LengthFromWeekdays(kFirstJewishYear + static_cast<int>(i)));
    // Each anchor fixes its year; the years between anchors follow from the lengths. The
    // years before the first anchor count backwards from it.
    const Anchor& first = kAnchors[0];
    size_t firstIndex = static_cast<size_t>(first.jewishYear - kFirstJewishYear);
    newYear[firstIndex] = DayNumber(9, first.septemberDay, first.gregorianYear);
    for (size_t i = firstIndex; i-- > 0;) newYear[i] = newYear[i + 1] - length[i];
    size_t anchor = 0;
    for (size_t i = firstIndex + 1; i < count; ++i) {
      int year = kFirstJewishYear + static_cast<int>(i);
      if (anchor + 1 < std::size(kAnchors) && kAnchors[anchor + 1].jewishYear == year) {
        ++anchor;
        newYear[i] = DayNumber(9, kAnchors[anchor].septemberDay, kAnchors[anchor].gregorianYear);
      } else {
        newYear[i] = newYear[i - 1] + length[i - 1];
      }
    }
  }
};

const YearTable& Table() {
  static const YearTable table;
  return table;
}

int ClampYear(int year) { return std::clamp(year, kFirstJewishYear, kLastJewishYear); }

struct JewishState {
  JewishYearFacts examined;
  std::string names[13];  // [1] ... [12] base names
  bool namesBuilt = false;
};

JewishState& State() {
  static JewishState state;
  return state;
}

constexpr int kBuiltInNameFirst = 20100;  // "Tishrei" ... "Elul"
constexpr int kLeapSuffixFirst = 20112;   // " I"
constexpr int kLeapSuffixSecond = 20113;  // " II"
constexpr int kSpacedLeapSuffix = 20114;  // "   I"

std::string Spaced(std::string_view name) {
  std::string out;
  for (char c : name) {
    out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    out += ' ';
  }
  if (!out.empty()) out.pop_back();
  return out;
}

}  // namespace

Molad MoladOfNextTishrei(int year) {
  int q = year / 1900, r = year % 1900, k = r / 19, p = r % 19;
  int leapMonthsBefore = (7 * p + 1) / 19;
  int64_t b = (static_cast<int64_t>(q) * 76780 + 25044) % kPartsPerWeek + static_cast<int64_t>(k) * 69715;
  int64_t t = (b % kPartsPerWeek) + static_cast<int64_t>(12 * p + leapMonthsBefore) * kMonthParts;
  return Molad{static_cast<int>((t % kPartsPerWeek) / kPartsPerDay), static_cast<int>((t % kPartsPerWeek) % kPartsPerDay)};
}

NewYearFacts NewYearWeekday(int year) {
  int p = year % 1900 % 19;
  bool leap = p == 0 || p == 3 || p == 6 || p == 8 || p == 11 || p == 14 || p == 17;
  bool nextLeap = p == 2 || p == 5 || p == 7 || p == 10 || p == 13 || p == 16 || p == 18;
  Molad molad = MoladOfNextTishrei(year);
  int w = molad.weekday;
  int f = molad.parts;
  // Postponed when the molad falls at or after noon, or (before a common year) on Tuesday
  // from 3 h 204 parts; a leap year's successor on a Monday waits from 9 h 589 parts.
  bool postpone = !(f < 12960 && !(!nextLeap && w == 2 && f >= 3444));
  int day = w;
  if (postpone || (leap && w == 1 && f >= 10309)) day = (w + 1) % 7;
  if (day == 0 || day == 3 || day == 5) day = (day + 1) % 7;
  return NewYearFacts{day, leap};
}

bool IsJewishLeapYear(int year) { return (7 * static_cast<int64_t>(year) + 1) % 19 < 7; }

JewishYearFacts JewishYearOf(int year) {
  if (year < kFirstJewishYear || year > kLastJewishYear + 1) return FactsFromLength(year, LengthFromWeekdays(year), 0);
  const YearTable& t = Table();
  size_t i = static_cast<size_t>(year - kFirstJewishYear);
  return FactsFromLength(year, t.length[i], t.newYear[i]);
}

int JewishMonthLength(int month, const JewishYearFacts& y) {
  switch (month) {
    case kCheshvan: return y.cheshvan;
    case kKislev: return y.kislev;
    case kAdar: return y.adar;
    case kAdarII: return y.leap ? 29 : 0;
    default: return month >= 1 && month <= 12 ? (month % 2 == 1 ? 30 : 29) : 0;
  }
}

int JewishMonthLength(int month, int year) { return JewishMonthLength(month, JewishYearOf(year)); }

int NextJewishMonth(int month, bool leap) {
  if (leap && month == kAdar) return kAdarII;
  if (month == kAdarII) return kNisan;
  return month >= 12 ? 1 : month + 1;
}

int PreviousJewishMonth(int month, bool leap) {
  if (leap && month == kNisan) return kAdarII;
  if (month == kAdarII) return kAdar;
  return month <= 1 ? 12 : month - 1;
}

void ExamineJewishYear(int year) {
  JewishState& s = State();
  if (s.examined.year != year) s.examined = JewishYearOf(year);
}

const JewishYearFacts& ExaminedJewishYear() { return State().examined; }

void ResetJewishCalendar() {
  State().examined = JewishYearFacts{};
  RebuildJewishMonthNames();
}

JewishDate GregorianToJewish(int month, int day, int year) {
  const YearTable& t = Table();
  int32_t n = DayNumber(month, day, year);
  n = std::clamp(n, t.newYear.front(), t.newYear[t.newYear.size() - 1] - 1);
  // The Jewish year that begins in the autumn of `year` is year + 3761.
  int jy = ClampYear(year + 3761);
  while (jy > kFirstJewishYear && n < t.newYear[static_cast<size_t>(jy - kFirstJewishYear)]) --jy;
  while (jy < kLastJewishYear && n >= t.newYear[static_cast<size_t>(jy + 1 - kFirstJewishYear)]) ++jy;
  JewishYearFacts f = JewishYearOf(jy);
  int32_t rest = n - f.newYear;
  int m = kTishrei;
  for (;;) {
    int len = JewishMonthLength(m, f);
    if (rest < len || m == kElul) break;
    rest -= len;
    m = NextJewishMonth(m, f.leap);
  }
  return JewishDate{jy, m, static_cast<int>(rest) + 1};
}

int32_t JewishDayNumber(const JewishDate& date) {
  JewishYearFacts f = JewishYearOf(ClampYear(date.year));
  int32_t n = date.day - 1;
  int target = date.month;
  if (target == kAdarII && !f.leap) target = kAdar;
  if (target >= 1 && target <= 13) {
    for (int m = kTishrei; m != target; m = NextJewishMonth(m, f.leap)) {
      n += JewishMonthLength(m, f);
    }
  }
  return f.newYear + n;
}

DateStamp JewishToGregorian(const JewishDate& date) {
  int32_t n = JewishDayNumber(date);
  // DayNumber to date through the Julian day number: DayNumber 1 is JDN 1721426.
  return DateOfJulianDay(n + 1721425);
}

void ToJewishInPlace(DateStamp& date) {
  JewishDate j = GregorianToJewish(date.month, date.day, date.year);
  date.year = j.year;
  date.month = static_cast<uint16_t>(j.month);
  date.day = static_cast<uint16_t>(j.day);
}

void ToGregorianInPlace(DateStamp& date) {
  DateStamp g = JewishToGregorian(JewishDate{date.year, date.month, date.day});
  date.year = g.year;
  date.month = g.month;
  date.day = g.day;
}

bool IsValidJewishDate(const JewishDate& d) {
  if (d.year < kFirstJewishYear || d.year > kLastJewishYear) return false;
  int len = JewishMonthLength(d.month, d.year);
  return d.day >= 1 && d.day <= len;
}

void RebuildJewishMonthNames() {
  JewishState& s = State();
  for (int m = 1; m <= 12; ++m) {
    std::string user = RegReadSetting("Jewish Setup", FormatText("M%d", m));
    if (user.size() > 15) user.resize(15);
    s.names[m] = user.empty() ? std::string(StringText(kBuiltInNameFirst + m - 1)) : user;
  }
  s.namesBuilt = true;
}

std::string JewishBaseMonthName(int month) {
  JewishState& s = State();
  if (!s.namesBuilt) RebuildJewishMonthNames();
  if (month == kAdarII) month = kAdar;
  return month >= 1 && month <= 12 ? s.names[month] : std::string();
}

std::string JewishMonthName(int month, bool leap) {
  std::string name = JewishBaseMonthName(month);
  if (month == kAdarII) name += StringText(kLeapSuffixSecond);
  else if (month == kAdar && leap) name += StringText(kLeapSuffixFirst);
  return name;
}

std::string JewishSpacedMonthName(int month, bool leap) {
  if (month == kAdar && leap) return Spaced(JewishBaseMonthName(kAdar)) + std::string(StringText(kSpacedLeapSuffix));
  return Spaced(JewishMonthName(month, leap));
}

std::string ExaminedJewishMonthName(int month) { return JewishMonthName(month, ExaminedJewishYear().leap); }

std::string FormatJewishDate(std::string_view picture, const JewishDate& date) {
  DateStamp g = JewishToGregorian(date);
  std::string monthName = JewishMonthName(date.month, JewishYearOf(ClampYear(date.year)).leap);
  PictureDate p;
  p.year = date.year;
  p.month = date.month;
  p.day = date.day;
  p.monthName = monthName;
  p.weekdayName = Names().weekdays[Weekday(g.month, g.day, g.year)];
  return FormatDatePicture(picture, p);
}

std::string FormatJewishLongDate(const JewishDate& date) { return FormatJewishDate(Regional().longDatePicture, date); }
std::string FormatJewishShortDate(const JewishDate& date) { return FormatJewishDate(Regional().shortDatePicture, date); }

bool CheckSwitchToGregorian(int shownJewishYear) {
  if (shownJewishYear >= kMinGregorianModeJewishYear) return true;
  ShowMessage(std::string(StringText(20120)));
  return false;
}

bool CheckSwitchToJewish(int shownGregorianYear) {
  if (shownGregorianYear >= kMinJewishModeGregorianYear) return true;
  ShowMessage(std::string(StringText(20121)));
  return false;
}

JewishSetupField CheckJewishSetup(const JewishSetup& s) {
  auto bad = [](bool on, int minutes) { return on && (minutes < 1 || minutes > 120); };
  JewishSetupField field = bad(s.candleLighting, s.candleMinutes) ? JewishSetupField::CandleMinutes
                           : bad(s.havdalah, s.havdalahMinutes)   ? JewishSetupField::HavdalahMinutes
                                                                  : JewishSetupField::None;
  if (field != JewishSetupField::None) ShowMessage(std::string(StringText(20122)));
  return field;
}

}  // namespace kv
