#include "calendar/jewish_observance.h"

#include <algorithm>

#include "calendar/date_format.h"
#include "resources/strings.h"
#include "base/messages.h"

namespace kv {
namespace {

bool IsPersonal(int kind) { return kind == kYahrzeit || kind == kJewishBirthday; }

DateStamp DateOfDayNumber(int32_t n) { return DateOfJulianDay(n + 1721425); }

// The month an Adar event is observed in, for a year.
int AdarMonth(const JewishRule& r, bool leapYear) {
  if (!leapYear) return kAdar;
  if (IsPersonal(r.kind) && r.year != 0) {
    if (r.flags & kJewishInLeapYear) return (r.flags & kJewishInSecondAdar) ? kAdarII : kAdar;
    return ((r.flags & kJewishAfterSunset) && r.day == 1) ? kAdar : kAdarII;
  }
  return kAdarII;
}

bool ValidAlternative(int month, int day) { return month >= 1 && month <= 13 && day >= 1 && day <= 30; }

}  // namespace

bool ObservanceInYear(const JewishRule& r, int jy, JewishObservance& out) {
  if (r.kind < kJewishAnnualDate || r.kind > kJewishBirthday) return false;
  if (r.month < 1 || r.month > 13 || r.day < 1 || r.day > 30) return false;
  if (jy < kFirstJewishYear || jy > kLastJewishYear) return false;
  bool personal = IsPersonal(r.kind);
  if (personal && r.year != 0 && jy < r.year) return false;
  JewishYearFacts f = JewishYearOf(jy);
  bool eventYear = personal && jy == r.year;
  int m = r.month, d = r.day;
  if (m == kAdar || m == kAdarII) m = AdarMonth(r, f.leap);

  if (r.kind == kYahrzeit && !eventYear) {
    int which = -1;
    if ((r.month == kCheshvan || r.month == kKislev) && r.day == 30) which = JewishMonthLength(r.month, f) == 30 ? 0 : 1;
    else if (r.month == kAdar || r.month == kAdarII) which = f.leap ? 1 : 0;
    if (which >= 0 && ValidAlternative(r.altMonth[which], r.altDay[which])) {
      m = r.altMonth[which];
      d = r.altDay[which];
    }
  }
  if (m == kAdarII && !f.leap) m = kAdar;

  int year = jy;
  int len = JewishMonthLength(m, f);
  if (d > len) {
    if (personal) {
      d = 1;
      if (m == kElul) ++year;
      m = NextJewishMonth(m, f.leap);
    } else {
      d = len;
    }
  }
  int32_t n = JewishDayNumber(JewishDate{year, m, d});
  if (eventYear && (r.flags & kJewishAfterSunset)) --n;
  if (r.kind == kJewishAnnualFast && n % 7 == 6) {
    if (d == 13) n -= 2;
    else if (!(m == kTishrei && d == 10)) n += 1;
  }
  out.date = DateOfDayNumber(n);
  out.jewishYear = jy;
  out.eventYear = eventYear;
  return true;
}

void ObservancesInMonth(const JewishRule& r, int year, int month, std::vector<JewishObservance>& out) {
  if (month < 1 || month > 12 || year < 1583 || year > 9999) return;
  int length = MonthLength(month, year);
  int32_t first = DayNumber(month, 1, year);
  int32_t last = first + length - 1;
  JewishDate start = GregorianToJewish(month, 1, year);
  JewishDate end = GregorianToJewish(month, length, year);
  size_t begin = out.size();

  if (r.kind == kRoshChodesh) {
    // The 1st of every month but Tishrei (Rosh Hashanah), and the 30th of every 30-day month.
    JewishDate j = start;
    JewishYearFacts f = JewishYearOf(j.year);
    for (int32_t n = first; n <= last; ++n) {
      if ((j.day == 1 && j.month != kTishrei) || j.day == 30) {
        JewishObservance o;
        o.date = DateOfDayNumber(n);
        o.jewishYear = j.year;
        out.push_back(o);
      }
      if (++j.day > JewishMonthLength(j.month, f)) {
        j.day = 1;
        if (j.month == kElul) f = JewishYearOf(++j.year);
        j.month = NextJewishMonth(j.month, f.leap);
      }
    }
    return;
  }

  // A month meets at most two Jewish years; a carry (a fast moved to Sunday, a period) can
  // bring the year before into it too.
  for (int jy = start.year - 1; jy <= end.year; ++jy) {
    JewishObservance o;
    if (!ObservanceInYear(r, jy, o)) continue;
    int32_t n = DayNumber(o.date.month, o.date.day, o.date.year);
    int days = r.kind == kJewishAnnualPeriod ? std::max(r.periodDays, 1) : 1;
    for (int i = 0; i < days; ++i) {
      if (n + i < first || n + i > last) continue;
      JewishObservance day = o;
      day.date = DateOfDayNumber(n + i);
      out.push_back(day);
    }
  }
  std::stable_sort(out.begin() + static_cast<long>(begin), out.end(), [](const auto& a, const auto& b) {
    return MakeMinuteKey(a.date) < MakeMinuteKey(b.date);
  });
}

// ---- "Yahzeit Observance" -----------------------------------------------------------------

bool NeedsYahrzeitObservance(const JewishDate& death) {
  return ((death.month == kCheshvan || death.month == kKislev) && death.day == 30) || death.month == kAdar ||
         death.month == kAdarII;
}

namespace {

constexpr int kTitle30Days = 20131;      // "30 Days in %s"
constexpr int kTitle29Days = 20132;      // "29 Days in %s"
constexpr int kTitleNonLeap = 20133;     // "Non-leap Years"
constexpr int kTitleLeap = 20134;        // "Leap Years"
constexpr int kDeathSentence = 20135;    // "The death occurred %s sunset of the %d%s day of %s in the year %d."
constexpr int kAfter = 20136;
constexpr int kBefore = 20137;
constexpr int kMonthSentence = 20138;    // "The first anniversary month of %s in the year %d contains %d days."
constexpr int kBadValue = 20139;         // "Bad value entered at cursor position, please correct."

// Longest a chosen month can be in the years a case stands for.
int CaseMonthLength(int month, bool adarCase, int caseIndex, int deathMonth) {
  if (adarCase) {
    bool leap = caseIndex == 1;
    if (month == kAdar) return leap ? 30 : 29;
    if (month == kAdarII) return leap ? 29 : 0;
    return month == kNisan ? 30 : 0;
  }
  if (month == deathMonth) return caseIndex == 0 ? 30 : 29;
  if (month == kKislev) return 30;  // after a 29-day Cheshvan, Kislev may have 30 days
  return month == kTevet ? 29 : 0;
}

}  // namespace

YahrzeitObservanceForm MakeYahrzeitObservanceForm(const JewishDate& death, bool afterSunset) {
  YahrzeitObservanceForm form;
  bool leap = IsJewishLeapYear(death.year);
  std::string monthName = JewishMonthName(death.month, leap);
  if (death.month == kAdar || death.month == kAdarII) {
    form.cases[0].title = StringText(kTitleNonLeap);
    form.cases[0].months = {kAdar, kNisan};
    form.cases[0].monthNames = {JewishMonthName(kAdar, false), JewishMonthName(kNisan, false)};
    form.cases[0].month = kAdar;
    form.cases[0].day = std::min(death.day, 29);
    form.cases[1].title = StringText(kTitleLeap);
    form.cases[1].months = {kAdar, kAdarII};
    form.cases[1].monthNames = {JewishMonthName(kAdar, true), JewishMonthName(kAdarII, true)};
    // The same Adar as the death in a leap year; the second Adar for a death in a common year.
    form.cases[1].month = (leap && death.month == kAdar) ? kAdar : kAdarII;
    form.cases[1].day = form.cases[1].month == kAdarII ? std::min(death.day, 29) : death.day;
  } else {
    int next = death.month + 1;
    std::string base = JewishMonthName(death.month, leap);
    form.cases[0].title = FormatText(std::string(StringText(kTitle30Days)).c_str(), base.c_str());
    form.cases[1].title = FormatText(std::string(StringText(kTitle29Days)).c_str(), base.c_str());
    for (YahrzeitCase& c : form.cases) {
      c.months = {death.month, next};
      c.monthNames = {base, JewishMonthName(next, leap)};
    }
    form.cases[0].month = death.month;
    form.cases[0].day = 30;
    form.cases[1].month = next;
    form.cases[1].day = 1;
    int anniversaryYear = death.year + 1;
    form.monthSentence = FormatText(std::string(StringText(kMonthSentence)).c_str(), base.c_str(), anniversaryYear,
                                    JewishMonthLength(death.month, anniversaryYear));
  }
  form.deathSentence = FormatText(std::string(StringText(kDeathSentence)).c_str(),
                                  std::string(StringText(afterSunset ? kAfter : kBefore)).c_str(), death.day,
                                  OrdinalSuffix(death.day), monthName.c_str(), death.year);
  return form;
}

void FillYahrzeitAlternatives(JewishRule& rule) {
  JewishDate death{rule.year, (rule.flags & kJewishInSecondAdar) && rule.month == kAdar ? kAdarII : rule.month, rule.day};
  if (!NeedsYahrzeitObservance(death)) return;
  YahrzeitObservanceForm form = MakeYahrzeitObservanceForm(death, rule.flags & kJewishAfterSunset);
  for (int i = 0; i < 2; ++i) {
    rule.altMonth[i] = form.cases[i].month;
    rule.altDay[i] = form.cases[i].day;
  }
}

int CheckYahrzeitObservance(const YahrzeitObservanceForm& form, const JewishDate& death) {
  bool adarCase = death.month == kAdar || death.month == kAdarII;
  for (int i = 0; i < 2; ++i) {
    const YahrzeitCase& c = form.cases[i];
    int len = CaseMonthLength(c.month, adarCase, i, death.month);
    if (c.day < 1 || c.day > len) {
      ShowMessage(std::string(StringText(kBadValue)));
      return i;
    }
  }
  return -1;
}

uint16_t PackYahrzeitDays(int day0, int day1) {
  return static_cast<uint16_t>((day0 & 0xFF) | ((day1 & 0xFF) << 8));
}

uint16_t PackYahrzeitMonths(int month0, int month1) {
  return static_cast<uint16_t>((month0 & 0x0F) | ((month1 & 0x0F) << 4));
}

}  // namespace kv
