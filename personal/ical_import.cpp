// Reading an .ics file into the schedule, the to-do list and an overlay: every item is planned
// first (nothing is written while the file may still turn out to be malformed or too large),
// the user is asked once, then the stores are written through their own modules.
#include <algorithm>
#include <cctype>
#include <map>
#include <set>

#include "calendar/clock.h"
#include "calendar/zone_conversion.h"
#include "overlays/overlay_file.h"
#include "overlays/overlay_rules.h"
#include "personal/ical.h"
#include "personal/ical_internal.h"
#include "personal/notes.h"
#include "personal/schedule.h"
#include "personal/schedule_store.h"
#include "personal/todo.h"
#include "resources/strings.h"
#include "base/text_encoding.h"
#include "base/messages.h"
#include "sky/zones.h"
#include "store/container.h"
#include "store/container_format.h"
#include "store/db_files.h"
#include "base/file_io.h"
#include "store/todo_file.h"

namespace kv {
using namespace ical_detail;
namespace {

constexpr size_t kMaxOccurrences = 20000;   // of one recurring item
constexpr size_t kMaxOverlayDates = 400;    // an overlay rule kept as single dates
constexpr size_t kMaxToDoSlots = 65535;
constexpr int kStrIcalNoTitle = 25208;
constexpr int kStrSchedWriteError = 24001;   // "Error detected updating schedule to disk."

std::string Text(int id) { return std::string(StringText(id)); }

int32_t Jdn(const DateStamp& d) { return JulianDayNumber(d.month, d.day, d.year); }

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// A date or date-time value in the zone it names.
struct TimeValue {
  DateStamp local;
  bool allDay = false;
  int zone = 0;
  bool ok = false;
  std::string badZone;
};

// The schedule series kind (with N) of a rule starting on `first`; 0 when none fits.
std::pair<int, int> SeriesKindOf(const RecurRule& r, const DateStamp& first) {
  if (!r.bySetPos.empty() || (!r.byMonth.empty() && r.freq != RecurRule::kYearly)) return {0, 0};
  int wd = Weekday(first.month, first.day, first.year);
  bool oneDay = r.byDay.size() == 1;
  int ord = oneDay ? r.byDay[0].first : 0;
  switch (r.freq) {
    case RecurRule::kDaily:
      if (!r.byDay.empty() || !r.byMonthDay.empty()) return {0, 0};
      return r.interval == 1 ? std::pair{11, 0} : r.interval <= 120 ? std::pair{3, r.interval} : std::pair{0, 0};
    case RecurRule::kWeekly:
      if (r.byDay.size() > 1 || !r.byMonthDay.empty() || (oneDay && r.byDay[0].second != wd)) return {0, 0};
      return r.interval == 1 ? std::pair{2, 0} : r.interval * 7 <= 120 ? std::pair{3, r.interval * 7} : std::pair{0, 0};
    case RecurRule::kMonthly:
      if (r.byDay.empty() && r.byMonthDay.size() <= 1) {
        int md = r.byMonthDay.empty() ? first.day : r.byMonthDay[0];
        if (md == -1 && r.interval == 1) return {26, 0};
        if (md != first.day) return {0, 0};
        return r.interval == 1 ? std::pair{4, 0} : r.interval <= 120 ? std::pair{13, r.interval} : std::pair{0, 0};
      }
      if (oneDay && r.byMonthDay.empty() && r.interval == 1 && r.byDay[0].second == wd)
        return ord == -1 ? std::pair{25, 0} : ord >= 1 && ord <= 4 ? std::pair{5, 0} : std::pair{0, 0};
      return {0, 0};
    case RecurRule::kYearly:
      if (r.byMonth.size() > 1 || (r.byMonth.size() == 1 && r.byMonth[0] != first.month)) return {0, 0};
      if (r.byDay.empty() && r.byMonthDay.size() <= 1) {
        if (!r.byMonthDay.empty() && r.byMonthDay[0] != first.day) return {0, 0};
        return r.interval == 1 ? std::pair{6, 0} : r.interval <= 120 ? std::pair{14, r.interval} : std::pair{0, 0};
      }
      if (oneDay && r.byMonthDay.empty() && r.interval == 1 && r.byMonth.size() == 1 && r.byDay[0].second == wd)
        return ord == -1 ? std::pair{27, 0} : ord >= 1 && ord <= 4 ? std::pair{7, 0} : std::pair{0, 0};
      return {0, 0};
    default:
      return {0, 0};
  }
}

// The overlay event a rule of an all-day event would be (checked against the rule's days later).
std::optional<OverlayEvent> OverlayEventOf(const RecurRule& r, const DateStamp& first) {
  OverlayEvent e;
  e.year = static_cast<int16_t>(first.year);
  e.month = first.month;
  e.day = first.day;
  auto [kind, n] = SeriesKindOf(r, first);
  int wd = Weekday(first.month, first.day, first.year);
  switch (kind) {
    case 0: return std::nullopt;
    case 2: case 25: case 27: e.param = static_cast<uint16_t>(wd); break;
    case 5: case 7: e.param = static_cast<uint16_t>(wd); e.day = static_cast<uint16_t>((first.day - 1) / 7 * 7 + 1); break;
    case 3: case 13: case 14: e.param = static_cast<uint16_t>(n + 6); break;
    default: break;
  }
  e.kind = static_cast<uint16_t>(kind);
  return e;
}

std::vector<int32_t> OverlayDays(const OverlayEvent& e, int32_t first, int32_t last) {
  std::vector<int32_t> days;
  RangeKeys range = RangeKeysOf(e);
  std::vector<EventHit> hits;
  DateStamp a = DateOfJulianDay(first), b = DateOfJulianDay(last);
  for (int y = a.year, m = a.month; y < b.year || (y == b.year && m <= b.month);) {
    hits.clear();
    EventHitsInMonth(e, y, m, range, hits);
    for (const EventHit& h : hits) {
      int32_t d = Jdn(h.date);
      if (d >= first && d <= last) days.push_back(d);
    }
    if (++m > 12) m = 1, ++y;
  }
  std::sort(days.begin(), days.end());
  days.erase(std::unique(days.begin(), days.end()), days.end());
  return days;
}

struct PlannedItem {
  int line = 0;
  SchedItem item;              // record, flag, date
  int kind = 0;                // 0: single items on `days`; else a series from the first through `until`
  int n = 0;
  std::vector<int32_t> days;   // every day stored (single items) or of the series
  std::vector<int32_t> removed;  // series days to delete after storing (exceptions)
  std::string note;
};

struct PlannedToDo {
  int line = 0;
  ToDoForm form;
  MinuteKey completed = 0;
  std::string note;
};

class Importer {
 public:
  Importer(const IcalImportOptions& options, IcalImportResult& result) : options_(options), r_(result) {}

  void Calendar(const ContentComponent& cal) {
    if (const ContentProperty* a = cal.Find("X-KALVORA-OVERLAY-ACCENT")) {
      uint8_t bytes[kAccentSize];
      if (Unhex(a->value, bytes, kAccentSize)) {
        Accent accent;
        ParseAccent(bytes, accent);
        overlayAccent_ = accent;
      }
    }
    for (const ContentComponent& c : cal.children)
      if (c.name == "VTIMEZONE")
        if (const ContentProperty* id = c.Find("TZID")) zones_[UnescapeText(id->value)] = &c;
    // Changed occurrences (RECURRENCE-ID) are exceptions of their series, stored on their own.
    for (const ContentComponent& c : cal.children)
      if (c.name == "VEVENT")
        if (const ContentProperty* rid = c.Find("RECURRENCE-ID"); rid && c.Find("UID")) {
          TimeValue t = Time(*rid);
          if (t.ok) overridden_[c.Find("UID")->value].insert(Jdn(t.local));
        }
    for (const ContentComponent& c : cal.children) {
      if (c.name == "VEVENT") Event(c);
      else if (c.name == "VTODO") ToDo(c);
      else if (c.name == "VJOURNAL" || c.name == "VFREEBUSY") Skip(c.line, c.name + " is not imported");
    }
  }

  int EventCount() const {
    int n = static_cast<int>(overlay_.size());
    for (const PlannedItem& p : items_)
      n += static_cast<int>(p.days.size() - (p.kind ? p.removed.size() : 0));
    return n;
  }
  int ToDoCount() const { return static_cast<int>(todos_.size()); }

  bool WithinLimits() {
    if (todos_.empty()) return true;
    size_t existing = 0;
    if (FileExists(ToDoFilePath()) && ToDoStoreOpen(kDbModeRead, kCallerToDoLoad)) {
      existing = ToDoListOrder().size();
      ToDoStoreClose();
    }
    if (existing + todos_.size() > kMaxToDoSlots) {
      r_.error = {todos_.front().line, "the to-do list cannot hold " + std::to_string(todos_.size()) + " more items"};
      return false;
    }
    return true;
  }

  void Store() {
    StoreSchedule();
    StoreToDo();
    StoreOverlay();
  }

 private:
  void Skip(int line, std::string why) { r_.skipped.push_back({line, std::move(why)}); }

  std::string Ansi(const ContentProperty* p) { return p ? ToAnsi(UnescapeText(p->value), r_.lostCharacters) : std::string(); }

  TimeValue Time(const ContentProperty& p, std::string_view value = {}) {
    TimeValue t;
    if (value.empty()) value = p.value;
    bool hasTime = false, utc = false;
    if (!ParseDateText(value, t.local, hasTime, utc)) return t;
    t.allDay = !hasTime;
    t.ok = true;
    if (t.allDay) return t;
    if (utc) {
      t.zone = ZoneIdOfTzid("UTC");
      if (!t.zone) {  // no UTC zone in the table: the time in the zone in use
        t.zone = CurrentZone();
        if (const ZoneRecord* here = FindZone(t.zone)) t.local = ConvertBetweenZones(t.local, &UtcZone(), here);
      }
      return t;
    }
    std::string tzid = p.Param("TZID");
    if (tzid.empty()) {
      t.zone = CurrentZone();  // a floating time: the time wherever the user is
      return t;
    }
    t.zone = ZoneIdOfTzid(tzid);
    if (!t.zone) {
      auto z = zones_.find(tzid);
      if (z != zones_.end()) t.zone = ZoneOfVtimezone(*z->second);
    }
    if (!t.zone) t.badZone = tzid;
    return t;
  }

  // Dates of EXDATE values and overridden occurrences.
  std::set<int32_t> Exceptions(const ContentComponent& c) {
    std::set<int32_t> out;
    for (const ContentProperty* p : c.FindAll("EXDATE"))
      for (const std::string& v : SplitEscaped(p->value, ',')) {
        TimeValue t = Time(*p, v);
        if (t.ok) out.insert(Jdn(t.local));
        else Skip(p->line, "EXDATE value \"" + v + "\" is not a date");
      }
    if (const ContentProperty* uid = c.Find("UID"); uid && !c.Find("RECURRENCE-ID")) {
      auto o = overridden_.find(uid->value);
      if (o != overridden_.end()) out.insert(o->second.begin(), o->second.end());
    }
    return out;
  }

  std::vector<int32_t> ExtraDates(const ContentComponent& c) {
    std::vector<int32_t> out;
    for (const ContentProperty* p : c.FindAll("RDATE"))
      for (const std::string& v : SplitEscaped(p->value, ',')) {
        TimeValue t = Time(*p, v.substr(0, v.find('/')));
        if (t.ok) out.push_back(Jdn(t.local));
        else Skip(p->line, "RDATE value \"" + v + "\" is not a date");
      }
    return out;
  }

  // The days of a recurring item within the window, before exceptions; false with a skip.
  bool RuleDays(const ContentComponent& c, const TimeValue& start, std::vector<int32_t>& days, RecurRule& rule) {
    std::vector<const ContentProperty*> rules = c.FindAll("RRULE");
    if (rules.empty()) return true;
    if (rules.size() > 1) {
      Skip(rules[1]->line, "more than one RRULE");
      return false;
    }
    std::string why;
    if (!ParseRecurRule(rules[0]->value, rule, why)) {
      Skip(rules[0]->line, why);
      return false;
    }
    std::optional<int32_t> untilDay;
    if (rule.until) {
      DateStamp u = *rule.until;
      if (rule.untilUtc && !start.allDay)
        if (const ZoneRecord* z = FindZone(start.zone)) u = ConvertBetweenZones(u, &UtcZone(), z);
      untilDay = Jdn(u);
      if (!rule.untilDate && !start.allDay && u.hour * 60 + u.minute < start.local.hour * 60 + start.local.minute)
        --*untilDay;
    }
    int32_t first = Jdn(start.local);
    int32_t last = options_.to ? Jdn(*options_.to) : Jdn(DateStamp{std::min(start.local.year + 10, 9999), 12, 31, 0, 0});
    days = ExpandRecurRule(rule, first, last, kMaxOccurrences, untilDay);
    if (days.size() >= kMaxOccurrences)
      Skip(rules[0]->line, "only the first " + std::to_string(kMaxOccurrences) + " occurrences are imported");
    return true;
  }

  void Event(const ContentComponent& c) {
    const ContentProperty* dtstart = c.Find("DTSTART");
    if (!dtstart) return Skip(c.line, "VEVENT without DTSTART");
    TimeValue start = Time(*dtstart);
    if (!start.ok) return Skip(dtstart->line, "DTSTART \"" + dtstart->value + "\" is not a date or date-time");
    if (start.allDay || Upper(dtstart->Param("VALUE")) == "DATE") return AllDay(c, start);
    if (!start.badZone.empty()) return Skip(dtstart->line, "unknown time zone \"" + start.badZone + "\"");

    // The end in minutes after the start date's midnight.
    int64_t duration = 0;
    if (const ContentProperty* dtend = c.Find("DTEND")) {
      TimeValue end = Time(*dtend);
      if (!end.ok || !end.badZone.empty()) return Skip(dtend->line, "DTEND \"" + dtend->value + "\" cannot be read");
      DateStamp endLocal = end.local;
      if (end.zone != start.zone)
        endLocal = ConvertBetweenZones(end.local, FindZone(end.zone), FindZone(start.zone));
      // In 64 bits: a file may put the end thousands of years away.
      duration = static_cast<int64_t>(Jdn(endLocal) - Jdn(start.local)) * kMinutesPerDay +
                 (endLocal.hour * 60 + endLocal.minute) - (start.local.hour * 60 + start.local.minute);
    } else if (const ContentProperty* dur = c.Find("DURATION")) {
      if (!ParseDuration(dur->value, duration)) return Skip(dur->line, "DURATION \"" + dur->value + "\" cannot be read");
    }
    int startMinute = start.local.hour * 60 + start.local.minute;
    if (duration < 0) return Skip(c.line, "the event ends before it starts");
    if (startMinute + duration > 32767) return Skip(c.line, "the event lasts longer than the schedule can keep (22 days)");

    PlannedItem p;
    p.line = c.line;
    SchedRecord& rec = p.item.record;
    rec.start = static_cast<int16_t>(startMinute);
    rec.end = static_cast<int16_t>(startMinute + duration);
    std::string title = Ansi(c.Find("SUMMARY"));
    for (char& ch : title)
      if (ch == '\n' || ch == '\r' || ch == '\t') ch = ' ';
    std::string note = Ansi(c.Find("DESCRIPTION"));
    if (title.empty()) title = Text(kStrIcalNoTitle);
    if (title.size() > kSchedTitleMax) {
      ++r_.shortened;
      note = note.empty() ? title : title + "\r\n\r\n" + note;
      title.resize(kSchedTitleMax);
    }
    note = CrLf(note);  // notes keep CR LF
    rec.title = title;
    p.note = note;
    rec.zone = static_cast<uint8_t>(start.zone);
    p.item.flag = kSchedFlagItem;
    if (const ContentProperty* mc = c.Find("X-KALVORA-MONTH-CALENDAR"); mc && mc->value == "1")
      p.item.flag |= kSchedFlagMonthCalendar;
    rec.alarm = rec.start;
    if (const ContentProperty* a = c.Find("X-KALVORA-ALARM")) {
      int v = 0;
      if (std::sscanf(a->value.c_str(), "%d", &v) == 1) rec.alarm = static_cast<int16_t>(std::clamp(v, -32768, 32767));
    }
    if (const ContentProperty* s = c.Find("X-KALVORA-SOUND")) {
      int v = 0;
      if (std::sscanf(s->value.c_str(), "%d", &v) == 1 && v >= 0 && v <= 8) rec.sound = static_cast<uint8_t>(v);
    }
    for (const ContentComponent& alarm : c.children) {
      if (alarm.name != "VALARM") continue;
      const ContentProperty* trigger = alarm.Find("TRIGGER");
      int64_t offset = 0;
      if (!trigger || Upper(trigger->Param("VALUE")) == "DATE-TIME" || !ParseDuration(trigger->value, offset)) {
        Skip(alarm.line, "only alarms set relative to the event are kept");
        continue;
      }
      int64_t base = Upper(trigger->Param("RELATED")) == "END" ? rec.end : rec.start;
      int64_t at = base + offset;
      if (at > rec.start || at < -32768) {
        Skip(alarm.line, "an alarm after the start or weeks before it is not kept");
        continue;
      }
      rec.alarm = static_cast<int16_t>(at);
      rec.armed = 1;
      break;
    }

    std::vector<int32_t> days;
    RecurRule rule;
    if (!RuleDays(c, start, days, rule)) return;
    std::vector<int32_t> extra = ExtraDates(c);
    int32_t from = options_.from ? Jdn(*options_.from) : INT32_MIN;
    int32_t to = options_.to ? Jdn(*options_.to) : INT32_MAX;
    if (days.empty()) {  // a single event: stored whatever the window
      days.push_back(Jdn(start.local));
      from = INT32_MIN, to = INT32_MAX;
    }
    std::set<int32_t> except = Exceptions(c);
    std::vector<int32_t> inWindow;
    for (int32_t d : days)
      if (d >= from && d <= to) inWindow.push_back(d);
    auto [kind, n] = SeriesKindOf(rule, start.local);
    if (c.Find("RRULE") && kind && extra.empty() && inWindow.size() >= 2) {
      DateStamp a = DateOfJulianDay(inWindow.front()), b = DateOfJulianDay(inWindow.back());
      std::vector<int32_t> series;
      for (const SchedRequest& q : SchedOccurrences(kind, n, a, b)) series.push_back(Jdn(DateStamp{q.year, static_cast<uint16_t>(q.month), static_cast<uint16_t>(q.day), 0, 0}));
      if (series == inWindow) {
        p.kind = kind;
        p.n = n;
        p.days = inWindow;
        for (int32_t d : inWindow)
          if (except.count(d)) p.removed.push_back(d);
        if (p.removed.size() < p.days.size()) items_.push_back(std::move(p));
        return;
      }
    }
    for (int32_t d : extra)
      if (d >= from && d <= to) inWindow.push_back(d);
    std::sort(inWindow.begin(), inWindow.end());
    inWindow.erase(std::unique(inWindow.begin(), inWindow.end()), inWindow.end());
    for (int32_t d : inWindow)
      if (!except.count(d)) p.days.push_back(d);
    if (!p.days.empty()) items_.push_back(std::move(p));
  }

  void AllDay(const ContentComponent& c, const TimeValue& start) {
    if (options_.overlayPath.empty())
      return Skip(c.line, "an all-day event goes into an overlay: name one to import it");
    std::string description = Ansi(c.Find("SUMMARY"));
    if (description.empty()) description = Text(kStrIcalNoTitle);
    if (description.size() >= kDescriptionSize) {
      ++r_.shortened;
      description.resize(kDescriptionSize - 1);
    }
    // An event this program wrote comes back as it was.
    std::optional<OverlayEvent> kept;
    if (const ContentProperty* x = c.Find("X-KALVORA-EVENT")) {
      uint8_t fixed[kEventFixedSize];
      OverlayEvent e;
      if (Unhex(x->value, fixed, kEventFixedSize)) {
        ParseEventFixed(fixed, e);
        // Moved in another program: the record no longer falls on the event's first day, and
        // the event's own dates and rule are taken instead.
        int32_t first = Jdn(start.local);
        if (OverlayDays(e, first, first) == std::vector<int32_t>{first}) {
          e.description = description;
          overlay_.push_back(std::move(e));
          return;
        }
        Skip(x->line, "the event was changed in another program; its dates and rule are taken, not its stored rule");
        kept = e;
      } else {
        Skip(x->line, "X-KALVORA-EVENT cannot be read; the event is taken from its rule");
      }
    }
    OverlayEvent base;
    base.description = description;
    base.flags = kFlagBelowTimed;
    base.weight = static_cast<int16_t>(kBelowWeightBase - 999);
    base.zone = static_cast<uint16_t>(CurrentZone());
    if (kept) {  // its look and its place in the day's list stay
      base.accent = kept->accent;
      base.flags = static_cast<uint16_t>(kept->flags & ~kWeekendRuleMask);
      base.weight = kept->weight;
      base.sameTime = kept->sameTime;
      base.zone = kept->zone;
    }
    int64_t length = kMinutesPerDay;
    if (const ContentProperty* dtend = c.Find("DTEND")) {
      TimeValue end = Time(*dtend);
      if (end.ok) length = static_cast<int64_t>(Jdn(end.local) - Jdn(start.local)) * kMinutesPerDay;
    } else if (const ContentProperty* dur = c.Find("DURATION")) {
      ParseDuration(dur->value, length);
    }
    int spanDays = static_cast<int>(std::max<int64_t>(1, (length + kMinutesPerDay - 1) / kMinutesPerDay));
    auto once = [&](int32_t day) {
      OverlayEvent e = base;
      DateStamp d = DateOfJulianDay(day);
      e.kind = kKindOnce;
      e.year = static_cast<int16_t>(d.year), e.month = d.month, e.day = d.day;
      overlay_.push_back(e);
    };
    std::vector<int32_t> extra = ExtraDates(c);
    if (!c.Find("RRULE")) {
      if (spanDays > 1) {  // a run of days: every day within a date range
        OverlayEvent e = base;
        DateStamp last = DateOfJulianDay(Jdn(start.local) + spanDays - 1);
        e.kind = kKindEveryDay;
        e.year = static_cast<int16_t>(start.local.year), e.month = start.local.month, e.day = start.local.day;
        e.endYear = static_cast<int16_t>(last.year), e.endMonth = last.month, e.endDay = last.day;
        overlay_.push_back(e);
      } else {
        once(Jdn(start.local));
      }
      for (int32_t d : extra) once(d);
      return;
    }
    if (spanDays > 1) Skip(c.line, "a recurring event of " + std::to_string(spanDays) + " days keeps only its first day");
    std::vector<int32_t> days;
    RecurRule rule;
    if (!RuleDays(c, start, days, rule)) return;
    std::set<int32_t> except = Exceptions(c);
    std::vector<int32_t> wanted;
    for (int32_t d : days)
      if (!except.count(d) && (!options_.from || d >= Jdn(*options_.from))) wanted.push_back(d);
    for (int32_t d : extra) wanted.push_back(d);
    std::sort(wanted.begin(), wanted.end());
    wanted.erase(std::unique(wanted.begin(), wanted.end()), wanted.end());
    if (wanted.empty()) return;
    bool bounded = rule.count || rule.until;
    if (std::optional<OverlayEvent> rk = OverlayEventOf(rule, DateOfJulianDay(wanted.front())); rk && extra.empty()) {
      OverlayEvent e = base;
      e.kind = rk->kind, e.year = rk->year, e.month = rk->month, e.day = rk->day, e.param = rk->param;
      bool ranged = bounded || e.kind == kKindEveryNDays || e.kind == kKindEveryDay || e.kind == kKindEveryNMonths ||
                    e.kind == kKindEveryNYears;
      if (ranged) {
        DateStamp last = bounded ? DateOfJulianDay(wanted.back()) : DateStamp{9999, 12, 31, 0, 0};
        e.endYear = static_cast<int16_t>(last.year), e.endMonth = last.month, e.endDay = last.day;
        if (e.kind == kKindMonthlyNthWeekday || e.kind == kKindAnnualNthWeekday) {
          // The range starts on the stored date, the week's first day: begin at the first hit.
          e.day = static_cast<uint16_t>(e.day);
        }
      }
      if (OverlayDays(e, wanted.front(), wanted.back()) == wanted) {
        overlay_.push_back(e);
        return;
      }
    }
    if (wanted.size() > kMaxOverlayDates)
      return Skip(c.Find("RRULE")->line, "the rule cannot be said as an overlay rule and has " + std::to_string(wanted.size()) +
                                         " dates (" + std::to_string(kMaxOverlayDates) + " at most are kept one by one)");
    for (int32_t d : wanted) once(d);
  }

  void ToDo(const ContentComponent& c) {
    PlannedToDo t;
    t.line = c.line;
    std::string text = Ansi(c.Find("SUMMARY"));
    for (char& ch : text)
      if (ch == '\n' || ch == '\r' || ch == '\t') ch = ' ';
    std::string note = Ansi(c.Find("DESCRIPTION"));
    if (text.empty()) text = Text(kStrIcalNoTitle);
    if (text.size() > kToDoTextMax) {
      ++r_.shortened;
      note = note.empty() ? text : text + "\r\n\r\n" + note;
      text.resize(kToDoTextMax);
    }
    t.form.text = text;
    t.note = CrLf(note);
    DateStamp today = CurrentDateTime().stamp;
    today.hour = today.minute = 0;
    std::optional<DateStamp> activate, due;
    if (const ContentProperty* s = c.Find("DTSTART")) {
      TimeValue v = Time(*s);
      if (!v.ok) return Skip(s->line, "DTSTART \"" + s->value + "\" is not a date");
      activate = v.local;
    }
    t.form.timeOfDay = kToDoNoTime;
    if (const ContentProperty* d = c.Find("DUE")) {
      TimeValue v = Time(*d);
      if (!v.ok) return Skip(d->line, "DUE \"" + d->value + "\" is not a date");
      if (!v.badZone.empty()) return Skip(d->line, "unknown time zone \"" + v.badZone + "\"");
      due = v.local;
      if (!v.allDay) {
        t.form.timeOfDay = std::min(v.local.hour * 60 + v.local.minute, kToDoNoTime);
        t.form.zone = static_cast<uint8_t>(v.zone);
      }
    }
    DateStamp required = due ? *due : activate ? *activate : today;
    DateStamp act = activate ? *activate : (Jdn(today) < Jdn(required) ? today : required);
    if (Jdn(act) > Jdn(required)) act = required;
    t.form.activate = DateStamp{act.year, act.month, act.day, 0, 0};
    t.form.required = DateStamp{required.year, required.month, required.day, 0, 0};
    int priority = 0;
    if (const ContentProperty* p = c.Find("PRIORITY")) std::sscanf(p->value.c_str(), "%d", &priority);
    t.form.priority = priority >= 1 && priority <= 4 ? 1 : priority >= 6 && priority <= 9 ? 3 : 2;
    const ContentProperty* status = c.Find("STATUS");
    const ContentProperty* completed = c.Find("COMPLETED");
    if ((status && Upper(status->value) == "COMPLETED") || completed) {
      DateStamp when = CurrentDateTime().stamp;
      if (const ContentProperty* own = c.Find("X-KALVORA-COMPLETED")) {
        TimeValue v = Time(*own);
        if (v.ok) when = v.local;
      } else if (completed) {
        TimeValue v = Time(*completed);
        if (v.ok) when = v.zone == CurrentZone() ? v.local : ConvertBetweenZones(v.local, FindZone(v.zone), FindZone(CurrentZone()));
      }
      t.completed = MakeMinuteKey(when);
      if (t.completed == 0) t.completed = 1;
    }
    todos_.push_back(std::move(t));
  }

  void StoreSchedule() {
    for (PlannedItem& p : items_) {
      auto dateOf = [](int32_t d, SchedItem& item) {
        DateStamp s = DateOfJulianDay(d);
        item.year = s.year, item.month = s.month, item.day = s.day;
      };
      if (p.kind) {
        SchedSaveRequest req;
        req.item = p.item;
        req.item.action = kSchedActionNew;
        req.item.record.recurKind = static_cast<uint8_t>(p.kind);
        dateOf(p.days.front(), req.item);
        req.until = DateOfJulianDay(p.days.back());
        req.recurN = p.n;
        req.caption = options_.caption;
        SchedSaveResult saved = SchedSave(req);
        if (!saved.ok) {
          Skip(p.line, "not stored (cancelled, or a conflict with an item already in the schedule)");
          continue;
        }
        r_.events += saved.stored;
        if (saved.stored < static_cast<int>(p.days.size()) - static_cast<int>(p.removed.size()))
          Skip(p.line, std::to_string(p.days.size() - p.removed.size() - static_cast<size_t>(saved.stored)) +
                           " occurrences conflict with items already in the schedule and were left out");
        for (int32_t d : p.removed) {
          DateStamp s = DateOfJulianDay(d);
          SchedRequest at{s.year, s.month, s.day};
          uint16_t id = SchedFindInSeries(at, saved.seriesId);
          std::optional<SchedItem> stored = id ? SchedReadItem(s.year, s.month, s.day, id) : std::nullopt;
          if (!stored) continue;
          SchedSaveRequest del;
          del.item = *stored;
          del.item.action = kSchedActionDelete;
          del.item.record.recurKind = 0;
          if (SchedSave(del).ok) --r_.events;
        }
        if (!p.note.empty() && !saved.ids.empty()) {
          DateStamp s = DateOfJulianDay(p.days.front());
          if (p.removed.empty() || p.removed.front() != p.days.front()) {
            NoteContext nc = ScheduleNoteContext(s.year, s.month, s.day, saved.ids.front(), 0);
            NoteSave(nc, p.note);
          }
        }
        continue;
      }
      singles_.push_back(&p);
    }
    StoreSingles();
  }

  // Single items go in month by month. The schedule's own storing opens a month file three times
  // per item for its conflict check and once more to write it, which for a calendar of tens of
  // thousands of items takes many seconds. The check here is the same (the item's day and both
  // neighbours, times in the zone in use, touching items do not overlap), against what is stored
  // and what this import stored before it; a conflict is listed with its line rather than shown
  // as one message box per item.
  void StoreSingles() {
    struct Occurrence {
      int32_t day;
      const PlannedItem* plan;
      uint16_t id = 0;
    };
    std::vector<Occurrence> all;
    for (const PlannedItem* p : singles_)
      for (int32_t d : p->days) all.push_back({d, p});
    std::stable_sort(all.begin(), all.end(), [](const Occurrence& a, const Occurrence& b) { return a.day < b.day; });
    std::map<int32_t, std::vector<std::pair<int, int>>> busy;  // day → times in the zone in use
    std::set<uint32_t> loaded;
    auto load = [&](int32_t day) {
      DateStamp s = DateOfJulianDay(day);
      uint32_t key = MonthKey(s.year, s.month);
      if (!loaded.insert(key).second) return;
      if (!FileExists(MonthFilePath(key)) || !DbOpen(kDbModeRead, key, kCallerSchedConflict)) return;
      for (int d = 1; d <= MonthLength(s.month, s.year); ++d)
        for (const StoredSchedItem& it : ReadDayItems(key, d)) {
          int shift = ZoneShift(it.record, s.year, s.month, d);
          busy[Jdn(DateStamp{s.year, s.month, static_cast<uint16_t>(d), 0, 0})].emplace_back(it.record.start + shift,
                                                                                              it.record.end + shift);
        }
      DbClose();
    };
    std::vector<Occurrence> accepted;
    for (Occurrence& o : all) {
      DateStamp s = DateOfJulianDay(o.day);
      const SchedRecord& rec = o.plan->item.record;
      int shift = ZoneShift(rec, s.year, s.month, s.day);
      int start = rec.start + shift, end = rec.end + shift;
      bool conflict = false;
      for (int off : {-1, 0, 1}) {
        load(o.day + off);
        auto it = busy.find(o.day + off);
        if (it == busy.end() || end <= start) continue;
        for (auto [a, b] : it->second) {
          a += off * kMinutesPerDay, b += off * kMinutesPerDay;
          if (b > a && a < end && b > start) conflict = true;
        }
      }
      if (conflict) {
        char date[32];
        std::snprintf(date, sizeof date, "%04d-%02d-%02d", s.year, s.month, s.day);
        Skip(o.plan->line, std::string("the occurrence on ") + date + " conflicts with an item already in the schedule");
        continue;
      }
      busy[o.day].emplace_back(start, end);
      accepted.push_back(o);
    }
    bool failed = false;
    for (size_t i = 0; i < accepted.size();) {
      DateStamp s = DateOfJulianDay(accepted[i].day);
      uint32_t key = MonthKey(s.year, s.month);
      size_t j = i;
      while (j < accepted.size()) {
        DateStamp t = DateOfJulianDay(accepted[j].day);
        if (MonthKey(t.year, t.month) != key) break;
        ++j;
      }
      if (DbOpen(kDbModeWrite, key, kCallerSchedWrite)) {
        for (size_t k = i; k < j; ++k) {
          DbRequest r;
          r.chain = key;
          r.day = static_cast<uint8_t>(DateOfJulianDay(accepted[k].day).day);
          r.type = kDbTypeSchedItem;
          r.mode = accepted[k].plan->item.flag;
          SchedRecord rec = accepted[k].plan->item.record;
          rec.recurKind = 0;
          rec.seriesId = 0;
          r.block = SerializeSchedRecord(rec);
          if (DbAccess(kDbWrite, r)) {
            accepted[k].id = r.id;
            ++r_.events;
          } else {
            failed = true;
            Skip(accepted[k].plan->line, "the item could not be written");
          }
        }
        DbClose();
      } else {
        failed = true;
        for (size_t k = i; k < j; ++k) Skip(accepted[k].plan->line, "the month file could not be written");
      }
      i = j;
    }
    if (failed) ShowMessage(Text(kStrSchedWriteError), MsgIcon::Warning);
    for (const Occurrence& o : accepted) {
      if (!o.id || o.plan->note.empty()) continue;
      DateStamp s = DateOfJulianDay(o.day);
      NoteContext nc = ScheduleNoteContext(s.year, s.month, s.day, o.id, 0);
      NoteSave(nc, o.plan->note);
    }
  }

  void StoreToDo() {
    for (const PlannedToDo& t : todos_) {
      ToDoSaveResult saved = ToDoSave(t.form);
      if (!saved.Ok()) {
        Skip(t.line, "the to-do item could not be stored");
        continue;
      }
      ++r_.todos;
      if (t.completed && ToDoStoreOpen(kDbModeWrite, kCallerToDoLoad)) {
        if (std::optional<ToDoItem> item = ToDoReadItem(saved.slot)) {
          SetToDoItemCompletion(*item, t.completed);
          ToDoWriteItem(*item, saved.slot);
        }
        ToDoStoreClose();
      }
      if (!t.note.empty()) {
        NoteContext nc = ToDoNoteContext(saved.slot, 0);
        NoteSave(nc, t.note);
      }
    }
  }

  void StoreOverlay() {
    if (overlay_.empty()) return;
    OverlayImage image;
    if (overlayAccent_) image.header.accent = *overlayAccent_;
    if (FileExists(options_.overlayPath)) {
      int read = ReadOverlayFile(options_.overlayPath, image);
      if (read == kOverlayBadHeader || read == kOverlayCannotOpen) {
        Skip(0, "the overlay " + options_.overlayPath + " cannot be read; its events were not imported");
        return;
      }
    }
    image.events.insert(image.events.end(), overlay_.begin(), overlay_.end());
    SortForSave(image.events);
    std::vector<uint8_t> bytes = SerializeOverlay(image);
    if (!WriteFileReplacing(options_.overlayPath, bytes)) {
      ShowMessage(FormatText(Text(kStrIcalWriteFailed).c_str(), options_.overlayPath.c_str()), MsgIcon::Warning);
      Skip(0, "the overlay " + options_.overlayPath + " cannot be written");
      return;
    }
    r_.overlayEvents = static_cast<int>(overlay_.size());
  }

  const IcalImportOptions& options_;
  IcalImportResult& r_;
  std::map<std::string, const ContentComponent*> zones_;
  std::map<std::string, std::set<int32_t>> overridden_;
  std::vector<PlannedItem> items_;
  std::vector<const PlannedItem*> singles_;
  std::vector<PlannedToDo> todos_;
  std::vector<OverlayEvent> overlay_;
  std::optional<Accent> overlayAccent_;
};

}  // namespace

IcalImportResult IcalImport(std::string_view text, const IcalImportOptions& options) {
  IcalImportResult result;
  std::string caption = options.caption.empty() ? std::string(StringText(IDS_PRODUCT_NAME)) : options.caption;
  auto refuse = [&](int id) {
    UserMessage m;
    m.text = FormatText(Text(id).c_str(), result.error.line, AnsiFromUtf8(result.error.why).c_str());
    m.caption = caption;
    m.icon = MsgIcon::Warning;
    m.beep = MsgBeep::Warning;
    ShowUserMessage(m);
    return result;
  };
  std::vector<ContentComponent> top;
  if (!ParseContentLines(text, top, result.error)) return refuse(kStrIcalMalformed);
  Importer importer(options, result);
  bool any = false;
  for (const ContentComponent& c : top) {
    if (c.name != "VCALENDAR") continue;
    any = true;
    importer.Calendar(c);
  }
  if (!any) {
    result.error = {top.front().line, "BEGIN:" + top.front().name + " where BEGIN:VCALENDAR was expected"};
    return refuse(kStrIcalMalformed);
  }
  if (!importer.WithinLimits()) return refuse(kStrIcalTooMany);
  if (!ical_detail::AskToImport(FormatText(Text(kStrIcalReady).c_str(), importer.EventCount(), importer.ToDoCount()),
                                result.lostCharacters, result.skipped.size(), caption)) {
    result.cancelled = true;
    return result;
  }
  importer.Store();
  result.ok = true;
  return result;
}

IcalImportResult IcalImportFile(const std::string& path, const IcalImportOptions& options) {
  std::string text;
  if (!ReadWholeFile(path, &text)) {
    IcalImportResult result;
    result.error = {0, "cannot read " + path};
    ShowMessage(FormatText(Text(kStrIcalReadFailed).c_str(), path.c_str()), MsgIcon::Warning);
    return result;
  }
  return IcalImport(text, options);
}

std::string IcalImportReport(const IcalImportResult& result) {
  std::string text = FormatText(Text(kStrIcalDone).c_str(), result.events + result.overlayEvents, result.todos);
  if (result.lostCharacters) text += "\n\n" + FormatText(Text(kStrIcalLost).c_str(), result.lostCharacters);
  if (!result.skipped.empty())
    text += "\n\n" + FormatText(Text(kStrIcalSkipped).c_str(), static_cast<int>(result.skipped.size()));
  return text;
}

}  // namespace kv
