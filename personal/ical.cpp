#include "personal/ical.h"
#include "personal/ical_internal.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>

#include "calendar/clock.h"
#include "calendar/zone_conversion.h"
#include "overlays/overlay_file.h"
#include "overlays/overlay_rules.h"
#include "personal/notes.h"
#include "personal/schedule.h"
#include "personal/schedule_store.h"
#include "personal/todo.h"
#include "resources/strings.h"
#include "base/text_encoding.h"
#include "base/messages.h"
#include "sky/zones.h"
#include "store/container.h"
#include "store/db_files.h"
#include "base/file_io.h"
#include "store/todo_file.h"

namespace kv {
using namespace ical_detail;
namespace {

constexpr const char* kProductId = "-//Quorvex//Kalvora//EN";
constexpr int kCallerExport = 1101;            // reading month files as the range listing does

std::string Text(int id) { return std::string(StringText(id)); }

const char* const kDayCodes[7] = {"SU", "MO", "TU", "WE", "TH", "FR", "SA"};

int32_t Jdn(const DateStamp& d) { return JulianDayNumber(d.month, d.day, d.year); }
int32_t Jdn(int year, int month, int day) { return JulianDayNumber(month, day, year); }

std::string DateValue(const DateStamp& d) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "%04d%02d%02d", d.year, d.month, d.day);
  return buf;
}
std::string DateTimeValue(const DateStamp& d, bool utc = false) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04d%02d%02dT%02d%02d00%s", d.year, d.month, d.day, d.hour, d.minute, utc ? "Z" : "");
  return buf;
}

std::string Hex(const uint8_t* p, size_t n) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (size_t i = 0; i < n; ++i) out += digits[p[i] >> 4], out += digits[p[i] & 15];
  return out;
}
}  // namespace
namespace ical_detail {
bool Unhex(std::string_view s, uint8_t* p, size_t n) {
  if (s.size() != 2 * n) return false;
  auto v = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : std::toupper(static_cast<unsigned char>(c)) - 'A' + 10; };
  for (size_t i = 0; i < n; ++i) {
    char a = s[2 * i], b = s[2 * i + 1];
    if (!std::isxdigit(static_cast<unsigned char>(a)) || !std::isxdigit(static_cast<unsigned char>(b))) return false;
    p[i] = static_cast<uint8_t>(v(a) * 16 + v(b));
  }
  return true;
}
}  // namespace ical_detail
namespace {

// UTF-8 → the program's single-byte text, counting the characters it cannot hold.
}  // namespace
namespace ical_detail {
std::string ToAnsi(std::string_view utf8, int& lost) {
  std::string out;
  for (size_t i = 0; i < utf8.size();) {
    uint32_t cp = 0;
    if (!DecodeUtf8(utf8, i, cp)) {
      ++i;
      ++lost;
      out += '?';
      continue;
    }
    int b = AnsiOfUnicode(cp);
    if (b < 0) {
      ++lost;
      out += '?';
    } else {
      out += static_cast<char>(b);
    }
  }
  return out;
}
}  // namespace ical_detail
namespace {

// A plain UTC zone for conversions (no daylight rule).
}  // namespace
namespace ical_detail {
const ZoneRecord& UtcZone() {
  static const ZoneRecord utc = [] {
    ZoneRecord z;
    z.keyName = "UTC";
    return z;
  }();
  return utc;
}
}  // namespace ical_detail
namespace {

// ---- time-zone names ----------------------------------------------------------------------------

std::vector<std::pair<std::string, std::string>>& ZoneNames() {
  static std::vector<std::pair<std::string, std::string>> names;
  return names;
}

std::string OffsetText(int minutes) {
  char buf[32];
  int a = std::abs(minutes);
  std::snprintf(buf, sizeof buf, "%c%02d%02d", minutes < 0 ? '-' : '+', a / 60, a % 60);
  return buf;
}

bool ParseOffset(std::string_view s, int& minutes) {
  if (s.size() != 5 && s.size() != 7) return false;
  if (s[0] != '+' && s[0] != '-') return false;
  for (size_t i = 1; i < s.size(); ++i)
    if (!std::isdigit(static_cast<unsigned char>(s[i]))) return false;
  minutes = ((s[1] - '0') * 10 + (s[2] - '0')) * 60 + (s[3] - '0') * 10 + (s[4] - '0');
  if (s[0] == '-') minutes = -minutes;
  return true;
}

std::string RuleByDay(const ZoneDate& d) {
  return (d.week >= 5 ? std::string("-1") : std::to_string(d.week)) + kDayCodes[std::clamp(d.weekday, 0, 6)];
}

// The VTIMEZONE of a zone, from the zone table's rule.
void WriteZone(ContentWriter& w, const ZoneRecord& z, const std::string& tzid) {
  w.Begin("VTIMEZONE");
  w.Text("TZID", tzid);
  int standard = -z.bias;
  if (!z.HasDaylightRule()) {
    w.Begin("STANDARD");
    w.Property("DTSTART", "", "19700101T000000");
    w.Property("TZOFFSETFROM", "", OffsetText(standard));
    w.Property("TZOFFSETTO", "", OffsetText(standard));
    w.End("STANDARD");
  } else {
    int daylight = standard + 60;
    auto part = [&](const char* name, const ZoneDate& d, int from, int to) {
      w.Begin(name);
      DateStamp onset{1970, static_cast<uint16_t>(d.month), static_cast<uint16_t>(RuleDay(d, 1970)),
                      static_cast<uint16_t>(d.minutes / 60), static_cast<uint16_t>(d.minutes % 60)};
      w.Property("DTSTART", "", DateTimeValue(onset));
      w.Property("RRULE", "", "FREQ=YEARLY;BYMONTH=" + std::to_string(d.month) + ";BYDAY=" + RuleByDay(d));
      w.Property("TZOFFSETFROM", "", OffsetText(from));
      w.Property("TZOFFSETTO", "", OffsetText(to));
      w.End(name);
    };
    part("DAYLIGHT", z.daylightDate, standard, daylight);
    part("STANDARD", z.standardDate, daylight, standard);
  }
  w.End("VTIMEZONE");
}

// ---- parsed values --------------------------------------------------------------------------------

struct TimeValue {
  DateStamp local;      // in `zone` (or floating)
  bool allDay = false;
  int zone = -1;        // zone id; -1: floating or unknown
  bool utc = false;
  bool ok = false;
  std::string badZone;  // a TZID that matched nothing
};

}  // namespace
namespace ical_detail {
bool ParseDateText(std::string_view s, DateStamp& d, bool& hasTime, bool& utc) {
  auto num = [&](size_t from, size_t n, int& v) {
    v = 0;
    for (size_t i = from; i < from + n; ++i) {
      if (i >= s.size() || !std::isdigit(static_cast<unsigned char>(s[i]))) return false;
      v = v * 10 + (s[i] - '0');
    }
    return true;
  };
  int y, m, day;
  if (!num(0, 4, y) || !num(4, 2, m) || !num(6, 2, day) || !IsValidDate(m, day, y)) return false;
  d = DateStamp{y, static_cast<uint16_t>(m), static_cast<uint16_t>(day), 0, 0};
  hasTime = false;
  utc = false;
  if (s.size() == 8) return true;
  int hh, mm, ss;
  if (s.size() < 15 || s[8] != 'T' || !num(9, 2, hh) || !num(11, 2, mm) || !num(13, 2, ss) || hh > 23 || mm > 59 || ss > 60)
    return false;
  if (s.size() == 16 && (s[15] == 'Z' || s[15] == 'z')) utc = true;
  else if (s.size() != 15) return false;
  hasTime = true;
  d.hour = static_cast<uint16_t>(hh);
  d.minute = static_cast<uint16_t>(mm);
  return true;
}
}  // namespace ical_detail
namespace {

// Minutes of a DURATION ("P1D", "-PT15M", "P2W", "PT1H30M"); false when malformed.
}  // namespace
namespace ical_detail {
bool ParseDuration(std::string_view s, int64_t& minutes) {
  bool neg = false;
  if (!s.empty() && (s[0] == '+' || s[0] == '-')) neg = s[0] == '-', s.remove_prefix(1);
  if (s.empty() || s[0] != 'P') return false;
  s.remove_prefix(1);
  int64_t total = 0, n = 0;
  bool digits = false, timePart = false, any = false;
  for (char c : s) {
    if (std::isdigit(static_cast<unsigned char>(c))) {
      n = n * 10 + (c - '0');
      if (n > 100000000) return false;
      digits = true;
      continue;
    }
    if (c == 'T') {
      if (digits || timePart) return false;
      timePart = true;
      continue;
    }
    if (!digits) return false;
    switch (c) {
      case 'W': total += n * 7 * kMinutesPerDay; break;
      case 'D': total += n * kMinutesPerDay; break;
      case 'H': if (!timePart) return false; total += n * 60; break;
      case 'M': if (!timePart) return false; total += n; break;
      case 'S': if (!timePart) return false; total += n / 60; break;
      default: return false;
    }
    n = 0;
    digits = false;
    any = true;
  }
  if (digits || !any) return false;
  minutes = neg ? -total : total;
  return true;
}
}  // namespace ical_detail
namespace {

// The weekday rule of a VTIMEZONE part: month, weekday, week (5 = last) and minutes.
bool ZonePartRule(const ContentComponent& part, ZoneDate& date, int& offsetTo) {
  const ContentProperty* to = part.Find("TZOFFSETTO");
  const ContentProperty* start = part.Find("DTSTART");
  if (!to || !start || !ParseOffset(to->value, offsetTo)) return false;
  DateStamp d;
  bool hasTime = false, utc = false;
  if (!ParseDateText(start->value, d, hasTime, utc)) return false;
  date.minutes = d.hour * 60 + d.minute;
  const ContentProperty* rr = part.Find("RRULE");
  if (!rr) {
    date.month = 0;
    return true;
  }
  RecurRule rule;
  std::string why;
  if (!ParseRecurRule(rr->value, rule, why) || rule.freq != RecurRule::kYearly || rule.byMonth.size() != 1 ||
      rule.byDay.size() != 1)
    return false;
  date.month = rule.byMonth[0];
  date.weekday = rule.byDay[0].second;
  int ord = rule.byDay[0].first;
  if (ord == 0 && rule.byMonthDay.size() == 7) ord = (rule.byMonthDay[0] - 1) / 7 + 1;  // "BYMONTHDAY=8,...,14"
  date.week = ord < 0 ? 5 : std::clamp(ord, 1, 5);
  return true;
}

// A zone of the table with the same offsets and rules as a VTIMEZONE; 0 when none.
}  // namespace
namespace ical_detail {
int ZoneOfVtimezone(const ContentComponent& vtz) {
  // The parts in force now: the latest DTSTART of each kind.
  const ContentComponent* standard = nullptr;
  const ContentComponent* daylight = nullptr;
  for (const ContentComponent& c : vtz.children) {
    const ContentComponent*& slot = c.name == "STANDARD" ? standard : c.name == "DAYLIGHT" ? daylight : standard;
    if (c.name != "STANDARD" && c.name != "DAYLIGHT") continue;
    const ContentProperty* s = c.Find("DTSTART");
    const ContentProperty* best = slot ? slot->Find("DTSTART") : nullptr;
    if (!slot || (s && best && s->value > best->value)) slot = &c;
  }
  if (!standard) return 0;
  ZoneDate stdDate, dstDate;
  int stdOffset = 0, dstOffset = 0;
  if (!ZonePartRule(*standard, stdDate, stdOffset)) return 0;
  bool rule = daylight && ZonePartRule(*daylight, dstDate, dstOffset) && stdDate.month && dstDate.month;
  int found = 0;
  for (const ZoneRecord& z : ZoneTable()) {
    if (-z.bias != stdOffset || z.HasDaylightRule() != rule) continue;
    if (rule && (dstOffset != stdOffset + 60 || z.standardDate.month != stdDate.month ||
                 z.standardDate.weekday != stdDate.weekday || z.standardDate.week != stdDate.week ||
                 z.daylightDate.month != dstDate.month || z.daylightDate.weekday != dstDate.weekday ||
                 z.daylightDate.week != dstDate.week))
      continue;
    if (!found || (z.flag == 0 && FindZone(found)->flag != 0)) found = z.id;
  }
  return found;
}
}  // namespace ical_detail
namespace {

}  // namespace

bool ical_detail::AskToImport(std::string ready, int lostCharacters, size_t skipped, const std::string& caption) {
  UserMessage ask;
  ask.text = std::move(ready);
  // Appended piece by piece: GCC 12 warns falsely about a literal in front of a temporary.
  if (lostCharacters) ask.text.append("\n\n").append(FormatText(Text(kStrIcalLost).c_str(), lostCharacters));
  if (skipped) ask.text.append("\n\n").append(FormatText(Text(kStrIcalSkipped).c_str(), static_cast<int>(skipped)));
  ask.caption = caption;
  ask.icon = MsgIcon::Question;
  ask.beep = MsgBeep::Question;
  ask.buttons = MsgButtons::OkCancel;
  return ShowUserMessage(ask) == MsgAnswer::Ok;
}

std::string ical_detail::CrLf(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 8);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
    out += text[i];
  }
  return out;
}

// ---- time-zone names (public) -------------------------------------------------------------------

bool LoadZoneNames(const std::string& path) {
  std::string text;
  if (!ReadWholeFile(path, &text)) return false;
  std::vector<std::pair<std::string, std::string>> names;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    std::string line = text.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
    pos = end == std::string::npos ? text.size() : end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t comma = line.find(',');
    if (line.empty() || line[0] == '#' || comma == std::string::npos) continue;
    names.emplace_back(line.substr(0, comma), line.substr(comma + 1));
  }
  SetZoneNames(std::move(names));
  return true;
}

void SetZoneNames(std::vector<std::pair<std::string, std::string>> names) { ZoneNames() = std::move(names); }

std::string TzNameOfZoneKey(std::string_view key) {
  for (const auto& [tz, k] : ZoneNames())
    if (k == key) return tz;
  return {};
}

int ZoneIdOfTzid(std::string_view tzid) {
  while (!tzid.empty() && (tzid.front() == '/' || tzid.front() == ' ')) tzid.remove_prefix(1);
  if (tzid.empty()) return 0;
  for (const ZoneRecord& z : ZoneTable())
    if (z.keyName == tzid) return z.id;
  for (const auto& [tz, k] : ZoneNames()) {
    if (tz != tzid) continue;
    for (const ZoneRecord& z : ZoneTable())
      if (z.keyName == k) return z.id;
  }
  // Some programs name the zone by its display text, "(UTC+01:00) Amsterdam, Berlin, ...".
  for (const ZoneRecord& z : ZoneTable())
    if (!z.display.empty() && Utf8FromAnsi(z.display) == tzid) return z.id;
  // A tz name that ends in a known one ("/mozilla.org/20050126_1/Europe/Berlin").
  for (const auto& [tz, k] : ZoneNames()) {
    if (tzid.size() > tz.size() && tzid.substr(tzid.size() - tz.size()) == tz && tzid[tzid.size() - tz.size() - 1] == '/')
      for (const ZoneRecord& z : ZoneTable())
        if (z.keyName == k) return z.id;
  }
  return 0;
}

// ==== export ========================================================================================

namespace {

struct ExportItem {
  DateStamp date;       // as stored
  uint16_t id = 0;
  uint8_t flag = 0;
  SchedRecord record;
  std::string note;
};

std::string ZoneTzid(const ZoneRecord& z) {
  std::string tz = TzNameOfZoneKey(z.keyName);
  return tz.empty() ? Utf8FromAnsi(z.keyName) : tz;
}

class Exporter {
 public:
  explicit Exporter(ContentWriter& w) : w_(w) {
    CurrentTime now = CurrentDateTime();
    const ZoneRecord* here = FindZone(CurrentZone());
    DateStamp utc = here ? ConvertBetweenZones(now.stamp, here, &UtcZone()) : now.stamp;
    stamp_ = DateTimeValue(utc, true);
  }

  // The TZID parameter of a zone (the zone remembered for its VTIMEZONE); empty when the zone
  // is unknown and times are written as floating local times.
  std::string ZoneParam(int zone) {
    const ZoneRecord* z = FindZone(zone);
    if (!z) return {};
    std::string tzid = ZoneTzid(*z);
    zones_[zone] = tzid;
    std::string quoted = tzid.find_first_of(",;:") == std::string::npos ? tzid : "\"" + tzid + "\"";
    return ";TZID=" + quoted;
  }

  void Stamp() { w_.Property("DTSTAMP", "", stamp_); }

  void ScheduleEvent(const ExportItem& first, const std::string& uid, const RecurRule* rule,
                     const std::vector<int32_t>& exdates) {
    const SchedRecord& r = first.record;
    std::string tz = ZoneParam(r.zone);
    w_.Begin("VEVENT");
    w_.Text("UID", uid);
    Stamp();
    DateStamp start = AddMinutes(DateStamp{first.date.year, first.date.month, first.date.day, 0, 0}, r.start);
    DateStamp end = AddMinutes(DateStamp{first.date.year, first.date.month, first.date.day, 0, 0}, r.end);
    w_.Property("DTSTART", tz, DateTimeValue(start));
    w_.Property("DTEND", tz, DateTimeValue(end));
    w_.Text("SUMMARY", Utf8FromAnsi(r.title));
    if (!first.note.empty()) w_.Text("DESCRIPTION", Utf8FromAnsi(first.note));
    if (rule) {
      w_.Property("RRULE", "", FormatRecurRule(*rule));
      for (int32_t d : exdates) {
        DateStamp day = DateOfJulianDay(d);
        w_.Property("EXDATE", tz, DateTimeValue(AddMinutes(day, r.start)));
      }
    }
    if (first.flag & kSchedFlagMonthCalendar) w_.Property("X-KALVORA-MONTH-CALENDAR", "", "1");
    if (r.sound) w_.Property("X-KALVORA-SOUND", "", std::to_string(r.sound));
    w_.Property("X-KALVORA-ALARM", "", std::to_string(r.alarm));
    if (r.armed) {
      int lead = r.start - r.alarm;
      w_.Begin("VALARM");
      w_.Property("ACTION", "", "DISPLAY");
      w_.Text("DESCRIPTION", Utf8FromAnsi(r.title));
      w_.Property("TRIGGER", "", lead == 0 ? "PT0S" : (lead > 0 ? "-PT" : "PT") + std::to_string(std::abs(lead)) + "M");
      w_.End("VALARM");
    }
    w_.End("VEVENT");
  }

  void Zones() {
    for (const auto& [id, tzid] : zones_)
      if (const ZoneRecord* z = FindZone(id)) WriteZone(w_, *z, tzid);
  }

 private:
  ContentWriter& w_;
  std::string stamp_;
  std::map<int, std::string> zones_;
};

// Every stored item of the dates, read month by month, notes read after each month is closed.
// The month keys of the range that have a month file: from the folder's listing (a range of
// centuries would otherwise mean a million-odd look-ups), else month by month.
std::vector<uint32_t> MonthsWithFiles(const DateStamp& from, const DateStamp& to) {
  std::vector<uint32_t> keys;
  uint32_t a = MonthKey(from.year, from.month), b = MonthKey(to.year, to.month);
  std::error_code error;
  std::filesystem::directory_iterator it(std::filesystem::path(DatabaseFolder()), error);
  if (!error) {
    for (; it != std::filesystem::directory_iterator(); it.increment(error)) {
      if (error) break;
      std::string name = it->path().filename().string();
      if (name.size() != 13) continue;
      int year = 0;
      if (std::sscanf(name.c_str() + 4, "%4d", &year) != 1) continue;
      for (int m = 1; m <= 12; ++m) {
        uint32_t key = MonthKey(year, m);
        if (MonthFileName(key) == name && key >= a && key <= b) keys.push_back(key);
      }
    }
    if (!error) {
      std::sort(keys.begin(), keys.end());
      return keys;
    }
    keys.clear();
  }
  for (int y = from.year, m = from.month; y < to.year || (y == to.year && m <= to.month);) {
    keys.push_back(MonthKey(y, m));
    if (++m > 12) m = 1, ++y;
  }
  return keys;
}

std::vector<ExportItem> ReadItems(const DateStamp& from, const DateStamp& to) {
  std::vector<ExportItem> items;
  int32_t first = Jdn(from), last = Jdn(to);
  for (uint32_t key : MonthsWithFiles(from, to)) {
    int y = static_cast<int>(key >> 16), m = static_cast<int>(key & 0xFFFF);
    size_t before = items.size();
    if (FileExists(MonthFilePath(key)) && DbOpen(kDbModeRead, key, kCallerExport)) {
      for (int d = 1; d <= MonthLength(m, y); ++d) {
        int32_t dn = Jdn(y, m, d);
        if (dn < first || dn > last) continue;
        for (StoredSchedItem& it : ReadDayItems(key, d))
          items.push_back(ExportItem{DateStamp{y, static_cast<uint16_t>(m), static_cast<uint16_t>(d), 0, 0}, it.id,
                                     it.flag, std::move(it.record), {}});
      }
      DbClose();
    }
    for (size_t i = before; i < items.size(); ++i) {
      ExportItem& it = items[i];
      if (it.record.noteId)
        if (auto note = NoteFindSchedule(y, m, it.date.day, it.record.noteId)) it.note = note->text;
    }
  }
  return items;
}

bool SameItem(const ExportItem& a, const ExportItem& b) {
  const SchedRecord &x = a.record, &y = b.record;
  return x.start == y.start && x.end == y.end && x.alarm == y.alarm && x.sound == y.sound && x.armed == y.armed &&
         x.title == y.title && x.zone == y.zone && x.recurKind == y.recurKind && x.recurCount == y.recurCount &&
         a.flag == b.flag && b.note.empty();
}

// The RRULE of a schedule series kind starting on `first` (N for kinds 3, 13 and 14).
std::optional<RecurRule> SeriesRule(int kind, int n, const DateStamp& first) {
  RecurRule r;
  int wd = Weekday(first.month, first.day, first.year);
  int week = (first.day - 1) / 7 + 1;
  switch (kind) {
    case 2: r.freq = RecurRule::kWeekly; r.byDay = {{0, wd}}; break;
    case 3: r.freq = RecurRule::kDaily; r.interval = n < 1 ? 14 : n; break;
    case 4: r.freq = RecurRule::kMonthly; r.byMonthDay = {first.day}; break;
    case 5: r.freq = RecurRule::kMonthly; r.byDay = {{week, wd}}; break;
    case 6: r.freq = RecurRule::kYearly; r.byMonth = {first.month}; r.byMonthDay = {first.day}; break;
    case 7: r.freq = RecurRule::kYearly; r.byMonth = {first.month}; r.byDay = {{week, wd}}; break;
    case 11: r.freq = RecurRule::kDaily; break;
    case 13: r.freq = RecurRule::kMonthly; r.interval = n < 1 ? 2 : n; r.byMonthDay = {first.day}; break;
    case 14: r.freq = RecurRule::kYearly; r.interval = n < 1 ? 2 : n; r.byMonth = {first.month}; r.byMonthDay = {first.day}; break;
    case 25: r.freq = RecurRule::kMonthly; r.byDay = {{-1, wd}}; break;
    case 26: r.freq = RecurRule::kMonthly; r.byMonthDay = {-1}; break;
    case 27: r.freq = RecurRule::kYearly; r.byMonth = {first.month}; r.byDay = {{-1, wd}}; break;
    default: return std::nullopt;
  }
  return r;
}

std::vector<int32_t> SeriesDays(int kind, int n, const DateStamp& first, const DateStamp& last) {
  std::vector<int32_t> out;
  for (const SchedRequest& q : SchedOccurrences(kind, n, first, last)) out.push_back(Jdn(q.year, q.month, q.day));
  return out;
}

// A series as one VEVENT: the kind's RRULE with COUNT from the first to the last stored
// occurrence, the dates missing in between as EXDATEs. Nothing when the stored dates are not
// all days of the rule (then they go out one by one).
bool ExportSeries(Exporter& ex, const std::vector<const ExportItem*>& group, IcalExportResult& result) {
  const ExportItem& first = *group.front();
  for (const ExportItem* it : group)
    if (!SameItem(first, *it) && it != &first) return false;
  int kind = first.record.recurKind;
  std::vector<int32_t> stored;
  for (const ExportItem* it : group) stored.push_back(Jdn(it->date));
  std::vector<int> ns{first.record.recurCount};
  if (kind == 13 || kind == 14) {
    // N is not stored for these kinds: the gap between the first two dates tells it.
    if (group.size() < 2) return false;
    const DateStamp &a = group[0]->date, &b = group[1]->date;
    int gap = kind == 13 ? (b.year - a.year) * 12 + b.month - a.month : b.year - a.year;
    ns = {gap};
  }
  for (int n : ns) {
    std::optional<RecurRule> rule = SeriesRule(kind, n, first.date);
    if (!rule) return false;
    std::vector<int32_t> days = SeriesDays(kind, n, first.date, group.back()->date);
    if (days.empty() || days.front() != stored.front() || days.back() != stored.back()) continue;
    if (!std::includes(days.begin(), days.end(), stored.begin(), stored.end())) continue;
    rule->count = static_cast<int>(days.size());
    // The RRULE must say exactly what the series code says.
    if (ExpandRecurRule(*rule, days.front(), days.back(), days.size() + 1) != days) continue;
    std::vector<int32_t> missing;
    std::set_difference(days.begin(), days.end(), stored.begin(), stored.end(), std::back_inserter(missing));
    char uid[64];
    std::snprintf(uid, sizeof uid, "kalvora-series-%u@kalvora", first.record.seriesId);
    ex.ScheduleEvent(first, uid, &*rule, missing);
    ++result.events;
    ++result.series;
    return true;
  }
  return false;
}

void ExportSchedule(Exporter& ex, const IcalExportOptions& options, IcalExportResult& result) {
  std::vector<ExportItem> items = ReadItems(options.from, options.to);
  std::map<uint32_t, std::vector<const ExportItem*>> series;
  for (const ExportItem& it : items)
    if (it.record.seriesId && it.record.recurKind >= 2) series[it.record.seriesId].push_back(&it);
  std::set<uint32_t> done;
  for (auto& [id, group] : series) {
    std::sort(group.begin(), group.end(), [](const ExportItem* a, const ExportItem* b) { return Jdn(a->date) < Jdn(b->date); });
    if (group.size() >= 2 && ExportSeries(ex, group, result)) done.insert(id);
  }
  for (const ExportItem& it : items) {
    char uid[96];
    if (it.record.seriesId && done.count(it.record.seriesId)) continue;
    if (it.record.seriesId)  // one by one, tied by the series' UID prefix
      std::snprintf(uid, sizeof uid, "kalvora-series-%u-%04d%02d%02d-%u@kalvora", it.record.seriesId, it.date.year,
                    it.date.month, it.date.day, it.id);
    else
      std::snprintf(uid, sizeof uid, "kalvora-item-%04d%02d%02d-%u@kalvora", it.date.year, it.date.month, it.date.day, it.id);
    ex.ScheduleEvent(it, uid, nullptr, {});
    ++result.events;
  }
}

void ExportToDo(Exporter& ex, ContentWriter& w, IcalExportResult& result) {
  struct Row {
    uint16_t slot;
    MinuteKey activate, required;
    ToDoRecord record;
    std::string note;
  };
  std::vector<Row> rows;
  if (!FileExists(ToDoFilePath()) || !ToDoStoreOpen(kDbModeRead, kCallerToDoLoad)) return;
  for (const ToDoListed& l : ToDoListOrder())
    if (std::optional<ToDoItem> item = ToDoReadItem(l.slot))
      rows.push_back(Row{l.slot, l.activate, l.sortKey, ParseToDoRecord(*item), {}});
  ToDoStoreClose();
  for (Row& r : rows)
    if (r.record.noteId)
      if (auto note = NoteFindToDo(r.record.noteId)) r.note = note->text;
  for (const Row& r : rows) {
    w.Begin("VTODO");
    char uid[64];
    std::snprintf(uid, sizeof uid, "kalvora-todo-%u-%u@kalvora", r.slot, r.activate);
    w.Text("UID", uid);
    ex.Stamp();
    w.Text("SUMMARY", Utf8FromAnsi(r.record.text));
    DateStamp activate = SplitMinuteKey(r.activate), required = SplitMinuteKey(r.required);
    w.Property("DTSTART", ";VALUE=DATE", DateValue(activate));
    if (required.hour * 60 + required.minute == kToDoNoTime)
      w.Property("DUE", ";VALUE=DATE", DateValue(required));
    else
      w.Property("DUE", ex.ZoneParam(r.record.zone), DateTimeValue(required));
    static const int priorities[] = {1, 1, 5, 9};
    w.Property("PRIORITY", "", std::to_string(priorities[std::clamp<int>(r.record.priority, 1, 3)]));
    if (r.record.completed) {
      w.Property("STATUS", "", "COMPLETED");
      const ZoneRecord* here = FindZone(CurrentZone());
      DateStamp done = SplitMinuteKey(r.record.completed);
      w.Property("COMPLETED", "", DateTimeValue(here ? ConvertBetweenZones(done, here, &UtcZone()) : done, true));
      w.Property("X-KALVORA-COMPLETED", "", DateTimeValue(done));
    } else {
      w.Property("STATUS", "", "NEEDS-ACTION");
    }
    if (!r.note.empty()) w.Text("DESCRIPTION", Utf8FromAnsi(r.note));
    w.End("VTODO");
    ++result.todos;
  }
}

// ---- overlays ---------------------------------------------------------------------------------

// The days of an event from the first through the last year, as the calendar shows them.
std::vector<int32_t> EventDays(const OverlayEvent& e, int firstYear, int lastYear) {
  std::vector<int32_t> days;
  RangeKeys range = RangeKeysOf(e);
  std::vector<EventHit> hits;
  for (int y = firstYear; y <= lastYear; ++y)
    for (int m = 1; m <= 12; ++m) {
      hits.clear();
      EventHitsInMonth(e, y, m, range, hits);
      for (const EventHit& h : hits) days.push_back(Jdn(h.date));
    }
  std::sort(days.begin(), days.end());
  days.erase(std::unique(days.begin(), days.end()), days.end());
  return days;
}

// The RRULE a rule kind would be written as (before checking it against the calendar's days).
std::optional<RecurRule> OverlayRule(const OverlayEvent& e, const DateStamp& first) {
  RecurRule r;
  int wd = std::clamp<int>(e.param, 0, 6);
  int week = (e.day - 1) / 7 + 1;
  int n = static_cast<int>(e.param) - 6;
  switch (e.kind) {
    case kKindWeekly: r.freq = RecurRule::kWeekly; r.byDay = {{0, wd}}; break;
    case kKindEveryNDays: r.freq = RecurRule::kDaily; r.interval = n < 1 ? 14 : n; break;
    case kKindMonthlyDay: r.freq = RecurRule::kMonthly; r.byMonthDay = {e.day}; break;
    case kKindMonthlyNthWeekday: r.freq = RecurRule::kMonthly; r.byDay = {{week, wd}}; break;
    case kKindMonthlyLastWeekday: r.freq = RecurRule::kMonthly; r.byDay = {{-1, wd}}; break;
    case kKindMonthlyLastDay: r.freq = RecurRule::kMonthly; r.byMonthDay = {-1}; break;
    case kKindAnnual:
    case kKindBirthday:
    case kKindAnniversary: r.freq = RecurRule::kYearly; r.byMonth = {e.month}; r.byMonthDay = {e.day}; break;
    case kKindAnnualNthWeekday: r.freq = RecurRule::kYearly; r.byMonth = {e.month}; r.byDay = {{week, wd}}; break;
    case kKindAnnualLastWeekday: r.freq = RecurRule::kYearly; r.byMonth = {e.month}; r.byDay = {{-1, wd}}; break;
    case kKindFloating:
      r.freq = RecurRule::kYearly;
      r.byMonth = {e.month};
      r.byDay = {{0, wd}};
      for (int d = e.day; d < e.day + 7; ++d) r.byMonthDay.push_back(d);
      break;
    case kKindEveryDay: r.freq = RecurRule::kDaily; break;
    case kKindEveryNMonths: r.freq = RecurRule::kMonthly; r.interval = n < 1 ? 2 : n; r.byMonthDay = {first.day}; break;
    case kKindEveryNYears:
      r.freq = RecurRule::kYearly;
      r.interval = n < 1 ? 2 : n;
      r.byMonth = {first.month};
      r.byMonthDay = {first.day};
      break;
    default: return std::nullopt;  // once, Easter, the Jewish kinds: dates
  }
  if (HasDateRange(e) && e.endDay && e.endYear < 9999) {  // a range to the year 9999 has no end
    r.until = DateStamp{e.endYear, e.endMonth, e.endDay, 0, 0};
    r.untilDate = true;
  }
  return r;
}

void ExportOverlay(ContentWriter& w, Exporter& ex, const OverlayImage& image, const IcalExportOptions& options,
                   IcalExportResult& result) {
  uint8_t header[kAccentSize];
  SerializeAccent(image.header.accent, header);
  w.Property("X-KALVORA-OVERLAY-ACCENT", "", Hex(header, kAccentSize));
  for (size_t i = 0; i < image.events.size(); ++i) {
    const OverlayEvent& e = image.events[i];
    std::vector<int32_t> days = EventDays(e, options.firstYear, options.lastYear);
    int32_t lastDay = Jdn(options.lastYear, 12, 31);
    if (days.empty()) {
      // An event of other years (a single date, or a rule whose date range lies outside these
      // years) goes out with its own years, so that the overlay comes back whole.
      int y0 = 0, y1 = 0;
      if (e.kind == kKindOnce) {
        y0 = y1 = e.year;
      } else if (HasDateRange(e) && !IsJewishKind(e.kind)) {
        y0 = e.year;
        y1 = std::min<int>(e.endYear, y0 + 100);
      }
      if (y0 >= 1583 && y1 <= 9998 && y0 <= y1) {
        days = EventDays(e, y0, y1);
        lastDay = Jdn(y1, 12, 31);
      }
    }
    if (days.empty()) {
      ++result.overlayEmpty;
      continue;
    }
    DateStamp first = DateOfJulianDay(days.front());
    std::optional<RecurRule> rule = OverlayRule(e, first);
    if (rule) {
      std::optional<int32_t> until;
      if (rule->until) until = Jdn(*rule->until);
      std::vector<int32_t> expanded = ExpandRecurRule(*rule, days.front(), lastDay, days.size() + 1, until);
      if (expanded != days) rule.reset();
    }
    w.Begin("VEVENT");
    uint8_t fixed[kEventFixedSize];
    SerializeEventFixed(e, fixed);
    w.Text("UID", "kalvora-overlay-" + std::to_string(i + 1) + "-" + Hex(fixed, 8) + "@kalvora");
    ex.Stamp();
    w.Property("DTSTART", ";VALUE=DATE", DateValue(first));
    w.Property("DTEND", ";VALUE=DATE", DateValue(DateOfJulianDay(days.front() + 1)));
    w.Text("SUMMARY", Utf8FromAnsi(e.description));
    w.Property("TRANSP", "", "TRANSPARENT");
    if (rule) {
      w.Property("RRULE", "", FormatRecurRule(*rule));
    } else if (days.size() > 1) {
      ++result.overlayAsDates;
      // Several dates per line keep the file short; the writer folds long lines.
      for (size_t j = 1; j < days.size(); j += 40) {
        std::string list;
        for (size_t k = j; k < std::min(days.size(), j + 40); ++k) {
          if (k > j) list.push_back(',');
          list.append(DateValue(DateOfJulianDay(days[k])));
        }
        w.Property("RDATE", ";VALUE=DATE", list);
      }
    }
    w.Property("X-KALVORA-EVENT", "", Hex(fixed, kEventFixedSize));
    w.Property("X-KALVORA-HIGHLIGHT", "", std::to_string(e.accent.highlight));
    uint8_t accent[kAccentSize];
    SerializeAccent(e.accent, accent);
    w.Property("X-KALVORA-ACCENT", "", Hex(accent, kAccentSize));
    w.End("VEVENT");
    ++result.overlayEvents;
  }
}

}  // namespace

IcalExportResult IcalExport(const IcalExportOptions& options) {
  IcalExportResult result;
  ContentWriter w;
  w.Begin("VCALENDAR");
  w.Property("VERSION", "", "2.0");
  w.Text("PRODID", kProductId);
  w.Property("CALSCALE", "", "GREGORIAN");
  OverlayImage image;
  if (!options.overlayPath.empty()) {
    int r = ReadOverlayFile(options.overlayPath, image);
    if (r == kOverlayBadHeader || r == kOverlayCannotOpen) {
      result.error = "the overlay " + options.overlayPath + " cannot be read";
      return result;
    }
    std::string name = options.overlayPath;
    size_t slash = name.find_last_of("/\\");
    if (slash != std::string::npos) name = name.substr(slash + 1);
    size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    w.Text("X-WR-CALNAME", Utf8FromAnsi(name));
  }
  // The body is written apart so that the time zones it uses can go first.
  ContentWriter body;
  Exporter bodyEx(body);
  if (options.schedule) ExportSchedule(bodyEx, options, result);
  if (options.todo) ExportToDo(bodyEx, body, result);
  if (!options.overlayPath.empty()) ExportOverlay(body, bodyEx, image, options, result);
  size_t bodyEnd = body.Result().size();
  bodyEx.Zones();  // the time zones the body used, moved in front of it
  std::string all = body.Take();
  result.text = w.Take() + all.substr(bodyEnd) + all.substr(0, bodyEnd);
  ContentWriter tail;
  tail.End("VCALENDAR");
  result.text += tail.Result();
  result.ok = true;
  return result;
}

bool IcalExportFile(const std::string& path, const IcalExportOptions& options, IcalExportResult& result) {
  result = IcalExport(options);
  if (!result.ok) return false;
  if (!WriteFileReplacing(path, std::vector<uint8_t>(result.text.begin(), result.text.end()))) {
    ShowMessage(FormatText(Text(kStrIcalWriteFailed).c_str(), path.c_str()), MsgIcon::Warning);
    result.ok = false;
    result.error = "cannot write " + path;
    return false;
  }
  return true;
}

}  // namespace kv
