// kvtool commands over the Gregorian date arithmetic and the date and time formats.
#include "calendar/date_format.h"
#include "calendar/dates.h"
#include "calendar/time_parse.h"
#include "tools/kvtool/cli.h"

namespace kv::tool {
namespace {

constexpr int32_t kFirstJdn = 1721426;  // 1 January of year 1
constexpr int32_t kLastJdn = 5373484;   // 31 December 9999

Command date("date", "YYYY-MM-DD", [](Args& args) {
  DateStamp d = ParseDate(args.Positional("date"));
  args.Done();
  DateFacts f = ExamineDate(d.month, d.day, d.year);
  Json out;
  out["daynumber"] = f.dayNumber;
  out["jdn"] = JulianDayNumber(d.month, d.day, d.year);
  out["weekday"] = f.weekday;
  out["dayofyear"] = f.dayOfYear;
  out["yearlength"] = f.yearLength;
  out["week"] = WeekNumber(d.month, d.day, d.year);
  out["minutekey"] = MakeMinuteKey(d);
  Emit(out);
});

Command dateFromJdn("date-from-jdn", "N", [](Args& args) {
  auto jdn = static_cast<int32_t>(ParseInteger(args.Positional("Julian day number"), "Julian day number",
                                               kFirstJdn, kLastJdn));
  args.Done();
  Emit(Json{{"date", DateText(DateOfJulianDay(jdn))}});
});

Command easter("easter", "YEAR", [](Args& args) {
  int year = static_cast<int>(ParseInteger(args.Positional("year"), "year", 1583, 9999));
  args.Done();
  MonthDay e = EasterSunday(year);
  Emit(Json{{"month", e.month}, {"day", e.day}});
});

Command formatDate("format-date", "[--short] [--picture P] YYYY-MM-DD", [](Args& args) {
  bool shortForm = args.Flag("short");
  std::optional<std::string> picture = args.Option("picture");
  DateStamp d = ParseDate(args.Positional("date"));
  args.Done();
  if (shortForm && picture) throw UsageError("--short and --picture exclude each other");
  std::string text = picture      ? FormatGregorianDate(AnsiFromUtf8(*picture), d.month, d.day, d.year)
                     : shortForm ? FormatShortDate(d.month, d.day, d.year)
                                 : FormatLongDate(d.month, d.day, d.year);
  Emit(Json{{"text", Utf8FromAnsi(text)}});
});

Command formatTime("format-time", "MINUTES [--24h] [--lzero] [--compact] [--letter]", [](Args& args) {
  RegionalSettings r;
  r.clock24 = args.Flag("24h");
  r.hourLeadingZero = args.Flag("lzero");
  bool compact = args.Flag("compact");
  bool letter = args.Flag("letter");
  std::string text = args.Positional("minutes");
  args.Done();
  if (letter && !compact) throw UsageError("--letter belongs to the compact form (--compact)");
  // The compact form takes times of following days (an end after midnight carries 1440 more).
  int minutes = static_cast<int>(ParseInteger(text, "minutes", 0, compact ? 7 * kMinutesPerDay : kMinutesPerDay - 1));
  std::string out = compact ? FormatTimeCompact(minutes, r, letter ? Designator::Letter : Designator::Full)
                            : FormatTimeOfDay(minutes, r);
  Emit(Json{{"text", Utf8FromAnsi(out)}});
});

Command minutekey("minutekey", "YYYY-MM-DDTHH:MM | --decode N", [](Args& args) {
  std::optional<std::string> decode = args.Option("decode");
  if (decode) {
    args.Done();
    auto key = static_cast<MinuteKey>(ParseInteger(*decode, "key", 0, 4294967295LL));
    DateStamp d = SplitMinuteKey(key);
    if (!IsValidDate(d.month, d.day, d.year))
      throw UsageError("key " + *decode + " does not stand for a real date (it splits into " + DateTimeText(d) + ")");
    Emit(Json{{"date", DateTimeText(d)}});
    return;
  }
  DateStamp d = ParseDateTime(args.Positional("date and time"));
  args.Done();
  Emit(Json{{"key", MakeMinuteKey(d)}});
});

Command parseTime("parse-time", "TEXT [--24h]", [](Args& args) {
  RegionalSettings r;
  r.clock24 = args.Flag("24h");
  std::string text = AnsiFromUtf8(args.Positional("time text"));
  args.Done();
  std::optional<int> minutes = ParseTimeOfDay(text, r);
  if (!minutes) throw Failure("\"" + Utf8FromAnsi(text) + "\" is not a time of day");
  Emit(Json{{"minutes", *minutes}});
});

}  // namespace
}  // namespace kv::tool
