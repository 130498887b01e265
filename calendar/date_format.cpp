#include "calendar/date_format.h"

#include <cctype>
#include <cstdio>

#include "calendar/dates.h"
#include "resources/strings.h"

namespace kv {

const char* OrdinalSuffix(int number) {
  switch (number % 10) {
    case 1: return number == 11 ? "th" : "st";
    case 2: return number == 12 ? "th" : "nd";
    case 3: return number == 13 ? "th" : "rd";
    default: return "th";
  }
}

std::string Possessive(std::string_view name) {
  std::string out(name);
  char last = name.empty() ? '\0' : static_cast<char>(std::toupper(static_cast<unsigned char>(name.back())));
  out += (last == 'S' || last == 'X') ? "' " : "'s ";
  return out;
}

std::string FormatDatePicture(std::string_view picture, const PictureDate& date) {
  std::string out;
  bool literal = false;
  size_t i = 0;
  auto run = [&](char c) {
    size_t n = 0;
    while (i + n < picture.size() && picture[i + n] == c) ++n;
    return n;
  };
  char buf[16];
  while (i < picture.size()) {
    char c = picture[i];
    if (c == '\'') {
      literal = !literal;
      ++i;
      continue;
    }
    if (literal) {
      out += c;
      ++i;
      continue;
    }
    if (c == 'M' || c == 'd') {
      size_t n = run(c);
      if (n > 4) n = 4;
      int number = c == 'M' ? date.month : date.day;
      std::string_view name = c == 'M' ? date.monthName : date.weekdayName;
      if (n == 1) std::snprintf(buf, sizeof buf, "%d", number), out += buf;
      else if (n == 2) std::snprintf(buf, sizeof buf, "%02d", number), out += buf;
      else if (n == 3) out += name.substr(0, 3);
      else out += name;
      i += n;
    } else if (c == 'y') {
      if (run('y') >= 4) {
        std::snprintf(buf, sizeof buf, "%d", date.year);
        i += 4;
      } else {
        std::snprintf(buf, sizeof buf, "%02d", date.year % 100);
        i += 2;
      }
      out += buf;
    } else {
      out += c;
      ++i;
    }
  }
  return out;
}

std::string FormatGregorianDate(std::string_view picture, int month, int day, int year) {
  const CalendarNames& names = Names();
  PictureDate d;
  d.year = year;
  d.month = month;
  d.day = day;
  d.monthName = month >= 1 && month <= 12 ? std::string_view(names.months[month]) : std::string_view();
  d.weekdayName = names.weekdays[Weekday(month, day, year)];
  return FormatDatePicture(picture, d);
}

std::string FormatLongDate(int month, int day, int year) {
  return FormatGregorianDate(Regional().longDatePicture, month, day, year);
}

std::string FormatShortDate(int month, int day, int year) {
  return FormatGregorianDate(Regional().shortDatePicture, month, day, year);
}

namespace {

int TwelveHour(int hour) { return hour % 12 == 0 ? 12 : hour % 12; }

}  // namespace

std::string FormatTimeOfDay(int minutes, const RegionalSettings& r) {
  int hour = minutes / 60;
  int minute = minutes % 60;
  char buf[32];
  const char* hourFormat = r.hourLeadingZero ? "%02d%c%02d" : "%d%c%02d";
  if (r.clock24) {
    std::snprintf(buf, sizeof buf, hourFormat, hour, r.timeSeparator, minute);
  } else {
    std::snprintf(buf, sizeof buf, r.hourLeadingZero ? "%02d%c%02d %s" : "%d%c%02d %s", TwelveHour(hour),
                  r.timeSeparator, minute, (hour < 12 ? r.morning : r.afternoon).c_str());
  }
  return buf;
}

std::string FormatTimeCompact(int minutes, const RegionalSettings& r, Designator designator,
                              const MeasureText& measure, int* digitWidth) {
  if (minutes > kMinutesPerDay) minutes -= (minutes - 1) / kMinutesPerDay * kMinutesPerDay;
  int hour = minutes / 60;
  int minute = minutes % 60;
  int shownHour = r.clock24 ? hour : TwelveHour(hour);
  char buf[32];
  std::snprintf(buf, sizeof buf, r.hourLeadingZero ? "%02d%c%02d" : "%d%c%02d", shownHour, r.timeSeparator, minute);
  std::string out = buf;
  if (!r.clock24) {
    // Hour 24 (an end at midnight) is morning, like hour 0.
    bool morning = hour % 24 < 12;
    if (designator == Designator::Letter) out += morning ? 'a' : 'p';
    else out += ' ', out += morning ? r.morning : r.afternoon;
  }
  if (digitWidth) *digitWidth = (measure && shownHour < 10 && !r.hourLeadingZero) ? measure("0") : 0;
  return out;
}

std::string JulianDayLabel(int month, int day, int year) {
  int dayOfYear = DayOfYear(month, day, year);
  return FormatText("%d/%d", dayOfYear, YearLength(year) - dayOfYear);
}

std::string WeekLabel(int month, int day, int year) {
  return FormatText("%s %d", std::string(StringText(IDS_WEEK)).c_str(), WeekNumber(month, day, year));
}

}  // namespace kv
