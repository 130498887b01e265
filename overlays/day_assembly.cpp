#include "overlays/day_assembly.h"

#include <algorithm>

#include "calendar/date_format.h"
#include "calendar/jewish.h"
#include "calendar/regional.h"
#include "calendar/daylight_markers.h"
#include "overlays/overlay_rules.h"
#include "overlays/overlay_set.h"
#include "resources/strings.h"
#include "base/messages.h"

namespace kv {
namespace {

constexpr int kMsgNoMemory = 21080;  // "Not enough memory to complete operation."

struct Sources {
  ScheduleSource* schedule = nullptr;
  NoteLookup* notes = nullptr;
  MoonPhaseSource* moon = nullptr;
};

Sources& Src() {
  static Sources sources;
  return sources;
}

// Scratch space reused between assemblies.
struct Scratch {
  std::vector<EventHit> hits;
  std::vector<ScheduleItem> items;
  std::vector<MoonQuarter> quarters;
  std::array<uint16_t, 32> last{};  // [day]: pool index of the day's last entry
  bool memoryReported = false;
};

Scratch& Work() {
  static Scratch scratch;
  return scratch;
}

// Where the hits of one Gregorian month land in a slot: slot day = Gregorian day + shift, kept
// when within 1 ... slot length.
struct Placement {
  int gYear, gMonth;
  int shift;
};

DayEntry* NewEntry(int day) {
  AssemblyState& s = Assembly();
  if (s.pool.size() >= kMaxDayEntries) {
    // Reported once per assembly; the gathering goes on without the entry.
    if (!Work().memoryReported) ShowMessage(std::string(StringText(kMsgNoMemory)), MsgIcon::Stop);
    Work().memoryReported = true;
    return nullptr;
  }
  s.pool.emplace_back();
  auto index = static_cast<uint16_t>(s.pool.size());
  DayEntry& e = s.pool.back();
  // Appended at the end of the day's list.
  uint16_t& last = Work().last[static_cast<size_t>(day)];
  if (!last) {
    s.first[static_cast<size_t>(day)] = index;
  } else {
    s.pool[last - 1].next = index;
    e.previous = last;
  }
  last = index;
  return &e;
}

void Merge(DayEntry& entry, const Accent& own, const Accent& overlay) {
  entry.highlight = own.highlight ? own.highlight : overlay.highlight;
  entry.accentFlags = static_cast<uint16_t>(overlay.flags | own.flags);
  entry.icon = (own.flags & kAccentIcon) ? own.icon : overlay.icon;
  bool ownPattern = own.flags & kAccentPattern;
  entry.pattern = ownPattern ? own.pattern : overlay.pattern;
  entry.patternColour = ownPattern ? own.patternColour : overlay.patternColour;
  entry.textColour = (own.flags & kAccentTextColour) ? own.textColour : overlay.textColour;
  entry.reserved = own.reserved;
}

std::string WithTime(int listingWeight, const std::string& text) {
  std::string time = FormatTimeCompact(1440 - listingWeight, Regional(), Designator::Letter);
  std::string out = time + " " + text;
  if (out.size() > kDayEntryTextMax) out.resize(kDayEntryTextMax);
  return out;
}

// The time-change markers as events of kinds 98 and 99.
OverlayEvent MarkerEvent(int kind, const DaylightMarkerRule& rule) {
  OverlayEvent e;
  e.kind = static_cast<uint16_t>(kind);
  e.month = static_cast<uint16_t>(rule.month);
  e.day = static_cast<uint16_t>(rule.firstDay);
  e.param = static_cast<uint16_t>(rule.weekday);
  e.flags = kFlagAboveTimed;
  e.weight = static_cast<int16_t>(kAboveWeightBase - 1);
  return e;
}

void GatherEvents(int slotIndex, const std::vector<Placement>& placements) {
  AssemblyState& s = Assembly();
  MonthSlot& slot = s.slots[static_cast<size_t>(slotIndex)];
  bool current = slotIndex == kSlotCurrent;
  std::vector<EventHit>& hits = Work().hits;
  const std::vector<LoadedEvent>& events = Overlays().events;

  auto place = [&](const EventHit& h, const Placement& p) { return h.date.day + p.shift; };
  auto inSlot = [&](int day) { return day >= 1 && day <= slot.length; };

  for (size_t i = 0; i < events.size(); ++i) {
    const LoadedEvent& le = events[i];
    if (s.options.tabOverlay && le.overlay != s.options.tabOverlay) continue;
    // Small calendars and the year view mark only events that carry their own highlight.
    if (!current && !le.event.accent.highlight) continue;
    RangeKeys range = RangeKeysOf(le.event);
    const Accent& overlayAccent = OverlayAccent(le.overlay);
    for (const Placement& p : placements) {
      hits.clear();
      EventHitsInMonth(le.event, p.gYear, p.gMonth, range, hits);
      for (const EventHit& h : hits) {
        int day = place(h, p);
        if (!inSlot(day)) continue;
        if (!current) {
          slot.marks[static_cast<size_t>(day)] = 1;
          continue;
        }
        s.flags[static_cast<size_t>(day)] |= kDayHasEvent;
        DayEntry* entry = NewEntry(day);
        if (!entry) continue;
        FillEntry(le.event, h, *entry);
        Merge(*entry, le.event.accent, overlayAccent);
        if (le.event.flags & kFlagTimed) entry->text = WithTime(entry->listingWeight, entry->text);
        entry->source = static_cast<int32_t>(i);
        if (entry->highlight) slot.marks[static_cast<size_t>(day)] = 1;
      }
    }
  }

  if (!current || !s.options.timeChanges) return;
  const DaylightMarkers& markers = CurrentDaylightMarkers();
  const std::pair<int, const DaylightMarkerRule*> rules[] = {{kKindDaylightBegins, &markers.daylightBegins},
                                                              {kKindStandardBegins, &markers.standardBegins}};
  for (const auto& [kind, rule] : rules) {
    OverlayEvent e = MarkerEvent(kind, *rule);
    for (const Placement& p : placements) {
      hits.clear();
      EventHitsInMonth(e, p.gYear, p.gMonth, RangeKeys{}, hits);
      for (const EventHit& h : hits) {
        int day = place(h, p);
        if (!inSlot(day)) continue;
        DayEntry* entry = NewEntry(day);
        if (!entry) continue;
        s.flags[static_cast<size_t>(day)] |= kDayHasEvent;
        entry->text = EventText(e, h);
        entry->listingWeight = e.weight;
        entry->source = kTimeChangeSource;
        if (s.options.clockIcons) {
          entry->accentFlags = kAccentIcon;
          entry->icon = kind == kKindDaylightBegins ? 17 : 18;
        }
      }
    }
  }
}

void GatherSchedule(const GregorianSpan& span, int shiftBase) {
  ScheduleSource* source = Src().schedule;
  if (!source) return;
  AssemblyState& s = Assembly();
  std::vector<ScheduleItem>& items = Work().items;
  items.clear();
  source->ItemsInRange(span.first, span.last, items);
  int32_t firstDn = DayNumber(span.first.month, span.first.day, span.first.year);
  int length = s.slots[kSlotCurrent].length;
  for (const ScheduleItem& item : items) {
    if (!IsValidDate(item.start.month, item.start.day, item.start.year)) continue;
    int day = DayNumber(item.start.month, item.start.day, item.start.year) - firstDn + shiftBase;
    if (day < 1 || day > length) continue;
    DayEntry* entry = NewEntry(day);
    if (!entry) continue;
    int minute = std::clamp(item.start.hour * 60 + item.start.minute, 0, 1439);
    entry->listingWeight = 1440 - minute;
    std::string text = FormatTimeCompact(minute, Regional(), Designator::Letter) + " " + item.text;
    if (text.size() > kDayEntryTextMax) text.resize(kDayEntryTextMax);
    entry->text = std::move(text);
    entry->gift = 0;
    entry->source = -item.number;
    entry->itemFlags = item.flags;
  }
}

// Cell order: listing weight descending, then same-time weight ascending; equal entries keep
// the order they were made in. Contents move, the links stay.
void OrderDays() {
  AssemblyState& s = Assembly();
  std::vector<DayEntry> day;
  std::vector<uint16_t> indices;
  for (int d = 1; d <= 31; ++d) {
    day.clear();
    indices.clear();
    for (uint16_t i = s.first[static_cast<size_t>(d)]; i; i = s.pool[i - 1].next) {
      indices.push_back(i);
      day.push_back(s.pool[i - 1]);
    }
    if (day.size() < 2) continue;
    std::stable_sort(day.begin(), day.end(), [](const DayEntry& a, const DayEntry& b) {
      if (a.listingWeight != b.listingWeight) return a.listingWeight > b.listingWeight;
      return a.sameTime < b.sameTime;
    });
    for (size_t k = 0; k < indices.size(); ++k) {
      DayEntry& target = s.pool[indices[k] - 1];
      uint16_t prev = target.previous, next = target.next;
      target = day[k];
      target.previous = prev;
      target.next = next;
    }
  }
}

void MarkNotesAndMoon(const GregorianSpan& span) {
  AssemblyState& s = Assembly();
  int length = s.slots[kSlotCurrent].length;
  int32_t firstDn = DayNumber(span.first.month, span.first.day, span.first.year);
  if (s.options.notesIndicator && Src().notes) {
    for (int d = 1; d <= length; ++d) {
      DateStamp g = DateOfJulianDay(JulianDayNumber(span.first.month, span.first.day, span.first.year) + d - 1);
      if (Src().notes->HasDayNote(g)) s.flags[static_cast<size_t>(d)] |= kDayHasNote;
    }
  }
  if (s.options.moonPhases && Src().moon) {
    for (int y = span.first.year, m = span.first.month; y < span.last.year || (y == span.last.year && m <= span.last.month);) {
      std::vector<MoonQuarter>& q = Work().quarters;
      q.clear();
      Src().moon->QuartersInMonth(y, m, q);
      for (const MoonQuarter& mq : q) {
        if (!IsValidDate(m, mq.day, y)) continue;
        int day = DayNumber(m, mq.day, y) - firstDn + 1;
        if (day >= 1 && day <= length) s.moon[static_cast<size_t>(day)] = mq;
      }
      if (++m > 12) m = 1, ++y;
    }
  }
}

}  // namespace

void SetScheduleSource(ScheduleSource* source) { Src().schedule = source; }
void SetNoteLookup(NoteLookup* lookup) { Src().notes = lookup; }
void SetMoonPhaseSource(MoonPhaseSource* source) { Src().moon = source; }

AssemblyState& Assembly() {
  static AssemblyState state;
  return state;
}

void ResetAssembly() { Assembly() = AssemblyState{}; }

GregorianSpan SpanOfJewishMonth(int jewishYear, int jewishMonth) {
  GregorianSpan span;
  span.first = JewishToGregorian(JewishDate{jewishYear, jewishMonth, 1});
  int length = JewishMonthLength(jewishMonth, jewishYear);
  span.last = DateOfJulianDay(JulianDayNumber(span.first.month, span.first.day, span.first.year) + std::max(length, 1) - 1);
  return span;
}

std::vector<JewishMonthPart> JewishMonthsOfGregorianMonth(int year, int month) {
  std::vector<JewishMonthPart> parts;
  int length = MonthLength(month, year);
  for (int d = 1; d <= length;) {
    JewishDate j = GregorianToJewish(month, d, year);
    JewishMonthPart p;
    p.year = j.year;
    p.month = j.month;
    p.length = JewishMonthLength(j.month, j.year);
    p.firstGregorianDay = d;
    parts.push_back(p);
    d += p.length - j.day + 1;
  }
  return parts;
}

void PreviousMonth(int& year, int& month, bool jewish) {
  if (!jewish) {
    if (--month < 1) month = 12, --year;
    return;
  }
  bool leap = IsJewishLeapYear(year);
  if (month == kTishrei) --year;
  month = PreviousJewishMonth(month, leap);
}

void NextMonth(int& year, int& month, bool jewish) {
  if (!jewish) {
    if (++month > 12) month = 1, ++year;
    return;
  }
  bool leap = IsJewishLeapYear(year);
  if (month == kElul) ++year;
  month = NextJewishMonth(month, leap);
}

void Assemble(int slotIndex, int year, int month) {
  if (slotIndex < 0 || slotIndex >= kSlotCount) return;
  AssemblyState& s = Assembly();
  bool current = slotIndex == kSlotCurrent;
  // The year view's slots follow the mode as the month view's do: in Jewish mode the year view
  // shows Jewish months, so its marks must be gathered per Jewish month.
  bool jewish = s.options.jewishMode;
  MonthSlot& slot = s.slots[static_cast<size_t>(slotIndex)];
  slot = MonthSlot{};
  slot.year = year;
  slot.month = month;
  slot.jewish = jewish;
  ++s.assembled;
  if (current) {
    s.pool.clear();
    s.first.fill(0);
    s.flags.fill(0);
    s.moon.fill(MoonQuarter{});
    Work().last.fill(0);
    Work().memoryReported = false;
  }

  GregorianSpan span;
  std::vector<Placement> placements;
  if (jewish) {
    if (year < kFirstJewishYear || year > kLastJewishYear || month < 1 || month > 13) return;
    if (month == kAdarII && !IsJewishLeapYear(year)) return;
    slot.length = JewishMonthLength(month, year);
    span = SpanOfJewishMonth(year, month);
    int32_t firstDn = DayNumber(span.first.month, span.first.day, span.first.year);
    for (int y = span.first.year, m = span.first.month; y < span.last.year || (y == span.last.year && m <= span.last.month);) {
      placements.push_back(Placement{y, m, DayNumber(m, 1, y) - firstDn});
      if (++m > 12) m = 1, ++y;
    }
  } else {
    if (year < 2 || year > 9998 || month < 1 || month > 12) return;
    slot.length = MonthLength(month, year);
    span.first = DateStamp{year, static_cast<uint16_t>(month), 1};
    span.last = DateStamp{year, static_cast<uint16_t>(month), static_cast<uint16_t>(slot.length)};
    placements.push_back(Placement{year, month, 0});
  }

  if (current) MarkNotesAndMoon(span);
  GatherEvents(slotIndex, placements);
  if (!current) return;
  GatherSchedule(span, 1);
  OrderDays();
}

void RecomputeDisplayedMonths(int year, int month) {
  bool jewish = Assembly().options.jewishMode;
  int py = year, pm = month, ny = year, nm = month;
  PreviousMonth(py, pm, jewish);
  NextMonth(ny, nm, jewish);
  if (jewish) ExamineJewishYear(year);
  Assemble(kSlotPrevious, py, pm);
  Assemble(kSlotNext, ny, nm);
  Assemble(kSlotCurrent, year, month);
}

int YearMonthCount(int year, bool jewish) { return jewish && IsJewishLeapYear(year) ? 13 : 12; }

int YearMonthAt(int year, int index, bool jewish) {
  if (index < 0 || index >= YearMonthCount(year, jewish)) return -1;
  if (!jewish) return index + 1;
  // Tishrei ... Adar (I), then Adar II in a leap year, then Nisan ... Elul.
  if (!IsJewishLeapYear(year)) return index + 1;
  if (index < kAdar) return index + 1;
  return index == kAdar ? kAdarII : index;
}

int YearIndexOf(int year, int month, bool jewish) {
  for (int i = 0; i < YearMonthCount(year, jewish); ++i)
    if (YearMonthAt(year, i, jewish) == month) return i;
  return -1;
}

void AssembleYear(int year) {
  AssemblyState& s = Assembly();
  bool jewish = s.options.jewishMode;
  if (jewish) ExamineJewishYear(year);
  int count = YearMonthCount(year, jewish);
  for (int i = 0; i < kYearSlotCount; ++i) {
    if (i < count) Assemble(kSlotYearFirst + i, year, YearMonthAt(year, i, jewish));
    else s.slots[static_cast<size_t>(kSlotYearFirst + i)] = MonthSlot{};
  }
}

const DayEntry* FirstEntry(int day) {
  const AssemblyState& s = Assembly();
  if (day < 1 || day > 31) return nullptr;
  uint16_t i = s.first[static_cast<size_t>(day)];
  return i ? &s.pool[i - 1] : nullptr;
}

const DayEntry* NextEntry(const DayEntry& entry) {
  const AssemblyState& s = Assembly();
  return entry.next ? &s.pool[entry.next - 1] : nullptr;
}

std::vector<const DayEntry*> DayEntries(int day) {
  std::vector<const DayEntry*> out;
  for (const DayEntry* e = FirstEntry(day); e; e = NextEntry(*e)) out.push_back(e);
  return out;
}

}  // namespace kv
