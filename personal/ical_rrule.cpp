// Recurrence rules: reading, writing and expanding the day-level part of RRULE that a calendar
// of dated items needs (no hourly or finer frequencies).
#include <algorithm>
#include <cctype>
#include <charconv>
#include <set>

#include "personal/ical.h"

namespace kv {
namespace {

const char* const kDayCodes[7] = {"SU", "MO", "TU", "WE", "TH", "FR", "SA"};

int WeekdayOfJdn(int32_t jdn) { return static_cast<int>((jdn + 1) % 7); }  // 0 = Sunday

bool ParseInt(std::string_view s, int& out) {
  if (!s.empty() && s[0] == '+') s.remove_prefix(1);
  if (s.empty() || s.size() > 9) return false;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return ec == std::errc() && p == s.data() + s.size();
}

int DayCode(std::string_view s) {
  for (int i = 0; i < 7; ++i)
    if (s == kDayCodes[i]) return i;
  return -1;
}

bool ParseIntList(std::string_view value, int lo, int hi, std::vector<int>& out) {
  for (const std::string& part : SplitEscaped(value, ',')) {
    int v = 0;
    if (!ParseInt(part, v) || v == 0 || v < lo || v > hi) return false;
    out.push_back(v);
  }
  return !out.empty();
}

// A date or date-time value "YYYYMMDD[THHMMSS[Z]]".
bool ParseUntil(std::string_view s, RecurRule& rule) {
  auto digits = [&](size_t from, size_t n, int& v) {
    v = 0;
    for (size_t i = from; i < from + n; ++i) {
      if (i >= s.size() || !std::isdigit(static_cast<unsigned char>(s[i]))) return false;
      v = v * 10 + (s[i] - '0');
    }
    return true;
  };
  int y, m, d, hh = 23, mm = 59;
  if (!digits(0, 4, y) || !digits(4, 2, m) || !digits(6, 2, d) || !IsValidDate(m, d, y)) return false;
  rule.untilDate = s.size() == 8;
  if (!rule.untilDate) {
    int ss;
    if (s.size() < 15 || s[8] != 'T' || !digits(9, 2, hh) || !digits(11, 2, mm) || !digits(13, 2, ss) || hh > 23 ||
        mm > 59)
      return false;
    rule.untilUtc = s.size() == 16 && s[15] == 'Z';
    if (s.size() != 15 && !rule.untilUtc) return false;
  } else if (s.size() != 8) {
    return false;
  }
  rule.until = DateStamp{y, static_cast<uint16_t>(m), static_cast<uint16_t>(d), static_cast<uint16_t>(hh),
                         static_cast<uint16_t>(mm)};
  return true;
}

// The days (1 ... length) of a month that BYMONTHDAY and BYDAY pick; `defaultDay` when the
// rule has neither.
std::set<int> MonthDays(const RecurRule& rule, int year, int month, int defaultDay) {
  std::set<int> days;
  int len = MonthLength(month, year);
  if (rule.byMonthDay.empty() && rule.byDay.empty()) {
    if (defaultDay <= len) days.insert(defaultDay);
    return days;
  }
  std::set<int> md, bd;
  for (int v : rule.byMonthDay) {
    int d = v > 0 ? v : len + v + 1;
    if (d >= 1 && d <= len) md.insert(d);
  }
  int32_t first = JulianDayNumber(month, 1, year);
  for (auto [ord, wd] : rule.byDay) {
    std::vector<int> all;
    for (int d = 1; d <= len; ++d)
      if (WeekdayOfJdn(first + d - 1) == wd) all.push_back(d);
    if (ord == 0) bd.insert(all.begin(), all.end());
    else if (ord > 0 && ord <= static_cast<int>(all.size())) bd.insert(all[static_cast<size_t>(ord - 1)]);
    else if (ord < 0 && -ord <= static_cast<int>(all.size())) bd.insert(all[all.size() - static_cast<size_t>(-ord)]);
  }
  if (rule.byMonthDay.empty()) return bd;
  if (rule.byDay.empty()) return md;
  for (int d : md)
    if (bd.count(d)) days.insert(d);
  return days;
}

bool MonthDayMatches(const std::vector<int>& byMonthDay, int year, int month, int day) {
  if (byMonthDay.empty()) return true;
  int len = MonthLength(month, year);
  return std::any_of(byMonthDay.begin(), byMonthDay.end(), [&](int v) { return (v > 0 ? v : len + v + 1) == day; });
}

bool InList(const std::vector<int>& list, int v) { return list.empty() || std::find(list.begin(), list.end(), v) != list.end(); }

}  // namespace

bool ParseRecurRule(std::string_view text, RecurRule& rule, std::string& why) {
  rule = RecurRule{};
  std::string upper(text);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  for (const std::string& part : SplitEscaped(upper, ';')) {
    if (part.empty()) continue;
    size_t eq = part.find('=');
    if (eq == std::string::npos) {
      why = "RRULE part \"" + part + "\" has no value";
      return false;
    }
    std::string key = part.substr(0, eq), value = part.substr(eq + 1);
    if (key == "FREQ") {
      if (value == "DAILY") rule.freq = RecurRule::kDaily;
      else if (value == "WEEKLY") rule.freq = RecurRule::kWeekly;
      else if (value == "MONTHLY") rule.freq = RecurRule::kMonthly;
      else if (value == "YEARLY") rule.freq = RecurRule::kYearly;
      else if (value == "HOURLY" || value == "MINUTELY" || value == "SECONDLY") {
        why = "RRULE FREQ=" + value + " repeats within a day";
        return false;
      } else {
        why = "RRULE FREQ=" + value + " is not a frequency";
        return false;
      }
    } else if (key == "INTERVAL") {
      if (!ParseInt(value, rule.interval) || rule.interval < 1 || rule.interval > 10000) {
        why = "RRULE INTERVAL=" + value + " is not 1 ... 10000";
        return false;
      }
    } else if (key == "COUNT") {
      if (!ParseInt(value, rule.count) || rule.count < 1 || rule.count > 1000000) {
        why = "RRULE COUNT=" + value + " is not a positive count";
        return false;
      }
    } else if (key == "UNTIL") {
      if (!ParseUntil(value, rule)) {
        why = "RRULE UNTIL=" + value + " is not a date";
        return false;
      }
    } else if (key == "BYDAY") {
      for (const std::string& d : SplitEscaped(value, ',')) {
        if (d.size() < 2 || DayCode(d.substr(d.size() - 2)) < 0) {
          why = "RRULE BYDAY=" + value + " is not a list of days";
          return false;
        }
        int ord = 0;
        std::string num = d.substr(0, d.size() - 2);
        if (!num.empty() && (!ParseInt(num, ord) || ord == 0 || ord < -53 || ord > 53)) {
          why = "RRULE BYDAY=" + value + " is not a list of days";
          return false;
        }
        rule.byDay.emplace_back(ord, DayCode(d.substr(d.size() - 2)));
      }
    } else if (key == "BYMONTHDAY") {
      if (!ParseIntList(value, -31, 31, rule.byMonthDay)) {
        why = "RRULE BYMONTHDAY=" + value + " is not a list of days of the month";
        return false;
      }
    } else if (key == "BYMONTH") {
      if (!ParseIntList(value, 1, 12, rule.byMonth)) {
        why = "RRULE BYMONTH=" + value + " is not a list of months";
        return false;
      }
    } else if (key == "BYSETPOS") {
      if (!ParseIntList(value, -366, 366, rule.bySetPos)) {
        why = "RRULE BYSETPOS=" + value + " is not a list of positions";
        return false;
      }
    } else if (key == "WKST") {
      rule.weekStart = DayCode(value);
      if (rule.weekStart < 0) {
        why = "RRULE WKST=" + value + " is not a day";
        return false;
      }
    } else {
      why = "RRULE " + key + " is not supported";
      return false;
    }
  }
  if (rule.freq == RecurRule::kNone) {
    why = "RRULE without FREQ";
    return false;
  }
  if (rule.count && rule.until) {
    why = "RRULE has both COUNT and UNTIL";
    return false;
  }
  bool ordinals = std::any_of(rule.byDay.begin(), rule.byDay.end(), [](auto p) { return p.first != 0; });
  if (ordinals && (rule.freq == RecurRule::kDaily || rule.freq == RecurRule::kWeekly)) {
    why = "RRULE BYDAY with a number needs FREQ=MONTHLY or YEARLY";
    return false;
  }
  return true;
}

std::string FormatRecurRule(const RecurRule& rule) {
  static const char* const freqs[] = {"", "DAILY", "WEEKLY", "MONTHLY", "YEARLY"};
  std::string out = std::string("FREQ=") + freqs[rule.freq];
  if (rule.interval > 1) out += ";INTERVAL=" + std::to_string(rule.interval);
  if (rule.count) out += ";COUNT=" + std::to_string(rule.count);
  if (rule.until) {
    char buf[64];
    const DateStamp& u = *rule.until;
    if (rule.untilDate)
      std::snprintf(buf, sizeof buf, "%04d%02d%02d", u.year, u.month, u.day);
    else
      std::snprintf(buf, sizeof buf, "%04d%02d%02dT%02d%02d00%s", u.year, u.month, u.day, u.hour, u.minute,
                    rule.untilUtc ? "Z" : "");
    out += ";UNTIL=";
    out += buf;
  }
  auto list = [&](const char* name, const std::vector<int>& v) {
    if (v.empty()) return;
    out += std::string(";") + name + "=";
    for (size_t i = 0; i < v.size(); ++i) {
      if (i) out.push_back(',');
      out.append(std::to_string(v[i]));
    }
  };
  list("BYMONTH", rule.byMonth);
  list("BYMONTHDAY", rule.byMonthDay);
  if (!rule.byDay.empty()) {
    out += ";BYDAY=";
    for (size_t i = 0; i < rule.byDay.size(); ++i) {
      if (i) out += ",";
      if (rule.byDay[i].first) out += std::to_string(rule.byDay[i].first);
      out += kDayCodes[rule.byDay[i].second];
    }
  }
  list("BYSETPOS", rule.bySetPos);
  if (rule.weekStart != 1) out += std::string(";WKST=") + kDayCodes[rule.weekStart];
  return out;
}

std::vector<int32_t> ExpandRecurRule(const RecurRule& rule, int32_t startDay, int32_t lastDay, size_t limit,
                                     std::optional<int32_t> untilDay) {
  std::vector<int32_t> out;
  if (limit == 0) return out;
  int32_t stop = lastDay;
  if (untilDay) stop = std::min(stop, *untilDay);
  size_t produced = 0;
  auto take = [&](int32_t day) {  // false when the expansion is over
    if (rule.count && produced >= static_cast<size_t>(rule.count)) return false;
    if (untilDay && day > *untilDay) return false;
    ++produced;
    if (day > lastDay) return false;
    out.push_back(day);
    return out.size() < limit;
  };
  if (!take(startDay)) return out;
  DateStamp s = DateOfJulianDay(startDay);
  const int interval = std::max(1, rule.interval);
  const bool anyByDay = !rule.byDay.empty();
  std::vector<int32_t> candidates;
  // Periods are generated until one begins after the stop day; a rule that never matches
  // (31 February) ends there too.
  for (int64_t period = 0;; ++period) {
    candidates.clear();
    int32_t periodFirst = 0;
    switch (rule.freq) {
      case RecurRule::kDaily: {
        int32_t d = startDay + static_cast<int32_t>(period * interval);
        periodFirst = d;
        DateStamp ds = DateOfJulianDay(d);
        if (InList(rule.byMonth, ds.month) &&
            MonthDayMatches(rule.byMonthDay, ds.year, ds.month, ds.day) &&
            (!anyByDay || std::any_of(rule.byDay.begin(), rule.byDay.end(), [&](auto p) { return p.second == WeekdayOfJdn(d); })))
          candidates.push_back(d);
        break;
      }
      case RecurRule::kWeekly: {
        int32_t weekFirst = startDay - (WeekdayOfJdn(startDay) - rule.weekStart + 7) % 7 + static_cast<int32_t>(period * 7 * interval);
        periodFirst = weekFirst;
        for (int32_t d = weekFirst; d < weekFirst + 7; ++d) {
          int wd = WeekdayOfJdn(d);
          bool dayOk = anyByDay ? std::any_of(rule.byDay.begin(), rule.byDay.end(), [&](auto p) { return p.second == wd; })
                                : wd == WeekdayOfJdn(startDay);
          DateStamp ds = DateOfJulianDay(d);
          if (dayOk && InList(rule.byMonth, ds.month)) candidates.push_back(d);
        }
        break;
      }
      case RecurRule::kMonthly: {
        int64_t months = static_cast<int64_t>(s.year) * 12 + (s.month - 1) + period * interval;
        int y = static_cast<int>(months / 12), m = static_cast<int>(months % 12) + 1;
        if (y > 9999) return out;
        periodFirst = JulianDayNumber(m, 1, y);
        if (InList(rule.byMonth, m))
          for (int d : MonthDays(rule, y, m, s.day)) candidates.push_back(periodFirst + d - 1);
        break;
      }
      case RecurRule::kYearly: {
        int y = s.year + static_cast<int>(period * interval);
        if (y > 9999) return out;
        periodFirst = JulianDayNumber(1, 1, y);
        bool ordinals = std::any_of(rule.byDay.begin(), rule.byDay.end(), [](auto p) { return p.first != 0; });
        if (rule.byMonth.empty() && ordinals) {
          // The nth weekday of the whole year.
          int len = YearLength(y);
          std::set<int32_t> picked;
          for (auto [ord, wd] : rule.byDay) {
            std::vector<int32_t> all;
            for (int32_t d = periodFirst; d < periodFirst + len; ++d)
              if (WeekdayOfJdn(d) == wd) all.push_back(d);
            if (ord == 0) picked.insert(all.begin(), all.end());
            else if (ord > 0 && ord <= static_cast<int>(all.size())) picked.insert(all[static_cast<size_t>(ord - 1)]);
            else if (ord < 0 && -ord <= static_cast<int>(all.size())) picked.insert(all[all.size() - static_cast<size_t>(-ord)]);
          }
          for (int32_t d : picked) {
            DateStamp ds = DateOfJulianDay(d);
            if (MonthDayMatches(rule.byMonthDay, y, ds.month, ds.day))
              candidates.push_back(d);
          }
        } else {
          std::vector<int> months = rule.byMonth;
          if (months.empty()) {
            if (rule.byMonthDay.empty() && !anyByDay) months = {s.month};
            else for (int m = 1; m <= 12; ++m) months.push_back(m);
          }
          std::sort(months.begin(), months.end());
          months.erase(std::unique(months.begin(), months.end()), months.end());
          for (int m : months)
            for (int d : MonthDays(rule, y, m, s.day)) candidates.push_back(JulianDayNumber(m, d, y));
        }
        break;
      }
      case RecurRule::kNone:
        return out;
    }
    if (periodFirst > stop) return out;
    std::sort(candidates.begin(), candidates.end());
    if (!rule.bySetPos.empty()) {
      std::vector<int32_t> chosen;
      int n = static_cast<int>(candidates.size());
      for (int pos : rule.bySetPos) {
        int i = pos > 0 ? pos - 1 : n + pos;
        if (i >= 0 && i < n) chosen.push_back(candidates[static_cast<size_t>(i)]);
      }
      std::sort(chosen.begin(), chosen.end());
      chosen.erase(std::unique(chosen.begin(), chosen.end()), chosen.end());
      candidates.swap(chosen);
    }
    for (int32_t d : candidates) {
      if (d <= startDay) continue;
      if (!take(d)) return out;
    }
  }
}

}  // namespace kv
