// When events defined by Jewish dates are observed: annual dates, periods, fasts (with the
// Sabbath rule), Yahrzeit (with the chosen alternatives for dates that do not exist every
// year), Jewish birthdays and Rosh Chodesh; and the "Yahzeit Observance" choices.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "calendar/dates.h"
#include "calendar/jewish.h"

namespace kv {

enum JewishEventKind : int {
  kJewishAnnualDate = 60,
  kJewishAnnualPeriod = 61,
  kJewishAnnualFast = 62,
  kYahrzeit = 63,
  kJewishBirthday = 64,
  kRoshChodesh = 65,
};

// Flag bits of Yahrzeit and Jewish birthdays.
constexpr int kJewishInSecondAdar = 1;   // the event fell in the second Adar
constexpr int kJewishInLeapYear = 2;     // the event's year was a leap year
constexpr int kJewishAfterSunset = 4;    // the event happened after sunset

// The rule of one Jewish event, as the overlay record stores it.
struct JewishRule {
  int kind = kJewishAnnualDate;
  int year = 0;        // Jewish year of the event; 0 = none
  int month = 0;       // 1 ... 12 (the second Adar is 6 with kJewishInSecondAdar)
  int day = 0;
  int flags = 0;       // Yahrzeit and birthday flag bits
  int periodDays = 1;  // kind 61
  // Yahrzeit alternatives: [0] for a 30-day month / a common year, [1] for a 29-day month / a
  // leap year. Month 0 = not chosen.
  int altMonth[2] = {0, 0};
  int altDay[2] = {0, 0};
};

struct JewishObservance {
  DateStamp date;          // Gregorian day
  int32_t jewishYear = 0;  // the Jewish year whose observance this is
  bool eventYear = false;  // Yahrzeit or birthday: the year of the event itself
};

// The day on which the rule is observed in one Jewish year (the first day for a period); false
// when it is not observed that year (a Yahrzeit or birthday before the event's year, Rosh
// Chodesh, which has many days, or an unknown kind).
bool ObservanceInYear(const JewishRule& rule, int jewishYear, JewishObservance& out);

// Every day of a Gregorian month on which the rule is observed, in date order: one per
// observance, a day per day of a period, every Rosh Chodesh day.
void ObservancesInMonth(const JewishRule& rule, int year, int month, std::vector<JewishObservance>& out);

// ---- "Yahzeit Observance" -----------------------------------------------------------------

// True when a Yahrzeit on this date needs the observance choices: the 30th of Cheshvan or
// Kislev, or any day of Adar.
bool NeedsYahrzeitObservance(const JewishDate& death);

struct YahrzeitCase {
  std::string title;         // "30 Days in Kislev", "Non-leap Years", ...
  std::vector<int> months;   // months offered, in order
  std::vector<std::string> monthNames;
  int month = 0;             // chosen month
  int day = 0;               // chosen day
};

struct YahrzeitObservanceForm {
  YahrzeitCase cases[2];
  std::string deathSentence;  // "The death occurred after sunset of the 30th day of ..."
  std::string monthSentence;  // Cheshvan and Kislev: "The first anniversary month of ..."
};

// The dialog's contents for a death, with the usual choices preselected: the 30th (or the 1st
// of the following month when the month is short), Adar in common years and the second Adar in
// leap years.
YahrzeitObservanceForm MakeYahrzeitObservanceForm(const JewishDate& death, bool afterSunset);
// The preselection stored on the rule (its alternatives), for events made without the dialog.
void FillYahrzeitAlternatives(JewishRule& rule);

// Checks the chosen days; on the first out of its month's range tells the user ("Bad value
// entered at cursor position, please correct.") and returns its case (0 or 1); -1 when good.
int CheckYahrzeitObservance(const YahrzeitObservanceForm& form, const JewishDate& death);

// Alternatives packed as the record holds them: days low byte / high byte, months low 4 bits /
// high 4 bits.
uint16_t PackYahrzeitDays(int day0, int day1);
uint16_t PackYahrzeitMonths(int month0, int month1);

}  // namespace kv
