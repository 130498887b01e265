// kvtool commands over the Jewish calendar.
#include "calendar/jewish.h"
#include "tools/kvtool/cli.h"

namespace kv::tool {
namespace {

Json JewishYearJson(int year) {
  JewishYearFacts f = JewishYearOf(year);
  DateStamp newYear = JewishToGregorian(JewishDate{year, kTishrei, 1});
  return Json{{"type", f.type}, {"length", f.length}, {"leap", f.leap}, {"newyear", DateText(newYear)}};
}

Command jewish("jewish", "YYYY-MM-DD", [](Args& args) {
  DateStamp d = ParseDate(args.Positional("date"));
  args.Done();
  if (d.year < 1583) throw UsageError("the Jewish calendar is converted from 1583 on");
  JewishDate j = GregorianToJewish(d.month, d.day, d.year);
  Emit(Json{{"year", j.year},
            {"month", j.month},
            {"day", j.day},
            {"monthname", Utf8FromAnsi(JewishMonthName(j.month, IsJewishLeapYear(j.year)))}});
});

Command gregorian("gregorian", "JY JM JD", [](Args& args) {
  int year = static_cast<int>(ParseInteger(args.Positional("Jewish year"), "Jewish year", kFirstJewishYear, kLastJewishYear - 1));
  int month = static_cast<int>(ParseInteger(args.Positional("Jewish month"), "Jewish month", 1, 13));
  int day = static_cast<int>(ParseInteger(args.Positional("Jewish day"), "Jewish day", 1, 30));
  args.Done();
  if (month == kAdarII && !IsJewishLeapYear(year)) throw UsageError(std::to_string(year) + " is not a leap year: it has no month 13");
  int length = JewishMonthLength(month, year);
  if (day > length)
    throw UsageError("month " + std::to_string(month) + " of " + std::to_string(year) + " has " + std::to_string(length) + " days");
  Emit(Json{{"date", DateText(JewishToGregorian(JewishDate{year, month, day}))}});
});

Command jewishYear("jewish-year", "JY", [](Args& args) {
  int year = static_cast<int>(ParseInteger(args.Positional("Jewish year"), "Jewish year", kFirstJewishYear, kLastJewishYear - 1));
  args.Done();
  Emit(JewishYearJson(year));
});

}  // namespace
}  // namespace kv::tool
