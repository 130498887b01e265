#include "views/day_page.h"

#include <algorithm>
#include <climits>

#include "calendar/clock.h"
#include "calendar/date_format.h"
#include "calendar/jewish.h"
#include "calendar/regional.h"
#include "overlays/day_assembly.h"
#include "overlays/overlay_rules.h"
#include "personal/notes_window.h"
#include "personal/schedule.h"
#include "personal/todo.h"
#include "resources/strings.h"
#include "sky/astro.h"
#include "sky/reference.h"

namespace kv {
namespace {

enum : int {
  kStrSchedule = 1028, kStrStart = 1029, kStrEnd = 1030, kStrActivity = 1031, kStrDueToday = 1032,
  kStrPriority = 1033, kStrDue = 1034, kStrItem = 1035, kStrToDo = 1036, kStrSunAndMoon = 1037,
  kStrSunrise = 1038, kStrSunset = 1039, kStrMoonrise = 1049, kStrMoonset = 1050, kStrAzimuth = 1051,
  kStrNone = 1117, kStrDaysBefore = 1128, kStrDaysAfter = 1129,
};

std::string Text(int id) { return std::string(StringText(id)); }

std::string BoxHead(int id) { return FormatText("%s: ", Text(id).c_str()); }

std::string Joined(const std::vector<std::string>& columns) {
  std::string out;
  for (size_t i = 0; i < columns.size(); ++i) out += (i ? "\t" : "") + columns[i];
  return out;
}

DayLine Line(DaySection section, DayLineKind kind, std::string text, bool focusable = false) {
  DayLine l;
  l.section = section, l.kind = kind, l.text = std::move(text), l.focusable = focusable;
  return l;
}

DayLine Columns(DaySection section, DayLineKind kind, std::vector<std::string> columns, bool focusable) {
  DayLine l = Line(section, kind, Joined(columns), focusable);
  l.columns = std::move(columns);
  return l;
}

std::string Compact(int minutes) { return FormatTimeCompact(minutes, Regional(), Designator::Letter); }

// The "Due" column: the time for an item due on the shown day (nothing when it has none), the
// date for one due on another day.
std::string DueText(const DayToDoRow& row, const DateStamp& shown) {
  bool sameDay = row.due.year == shown.year && row.due.month == shown.month && row.due.day == shown.day;
  int minute = row.due.hour * 60 + row.due.minute;
  if (!sameDay) return FormatShortDate(row.due.month, row.due.day, row.due.year);
  return minute == kToDoNoTime ? std::string() : Compact(minute);
}

void AddToDoBox(std::vector<DayLine>& lines, DaySection section, int head, const std::vector<DayToDoRow>& rows,
                const DayPageInput& in) {
  lines.push_back(Line(section, DayLineKind::BoxHead, BoxHead(head)));
  lines.push_back(Columns(section, DayLineKind::ColumnHeads, {Text(kStrPriority), Text(kStrDue), Text(kStrItem)}, false));
  for (const DayToDoRow& row : rows) {
    DayLine l = Columns(section, section == DaySection::Due ? DayLineKind::DueRow : DayLineKind::ToDoRow,
                        {std::to_string(row.priority), DueText(row, in.date), row.text}, true);
    l.ref = row.slot;
    if (row.overdue) l.colour = in.options.colours.highlight;
    lines.push_back(std::move(l));
  }
}

// One rise or set line: a time, "None" when the event falls outside the day once daylight
// time is added.
void AddRiseSet(std::vector<DayLine>& lines, const RiseSet& r, bool moon, bool daylight) {
  if (r.flags & NEVER_RISES) {
    lines.push_back(Line(DaySection::Sun, DayLineKind::SkyLine, NeverRisesText(moon), true));
    return;
  }
  if (r.flags & NEVER_SETS) {
    lines.push_back(Line(DaySection::Sun, DayLineKind::SkyLine, NeverSetsText(moon), true));
    return;
  }
  // The sky computations give local standard time; the daylight hour is added here, once.
  int add = daylight ? 60 : 0;
  struct Event { int label; int minute; double azimuth; };
  for (const Event& e : {Event{moon ? kStrMoonrise : kStrSunrise, r.rise + add, r.riseAzimuth},
                         Event{moon ? kStrMoonset : kStrSunset, r.set + add, r.setAzimuth}}) {
    std::string text = e.minute > 1439 ? Text(e.label) + " " + Text(kStrNone) : RiseSetText(e.label, e.minute, e.azimuth);
    lines.push_back(Line(DaySection::Sun, DayLineKind::SkyLine, text, true));
  }
}

}  // namespace

const char* DaySectionName(DaySection section) {
  switch (section) {
    case DaySection::Header: return "header";
    case DaySection::Entries: return "entries";
    case DaySection::Schedule: return "schedule";
    case DaySection::Due: return "due";
    case DaySection::ToDo: return "todo";
    case DaySection::Sun: return "sun";
  }
  return "";
}

std::string RiseSetText(int labelId, int minute, double azimuth) {
  // Azimuths to one decimal, cut rather than rounded.
  int tenths = static_cast<int>(azimuth * 10);
  std::string time = FormatTimeOfDay(minute, Regional());
  return Text(labelId) + FormatText(" %s  -  %s %d.%d\xB0", time.c_str(), Text(kStrAzimuth).c_str(), tenths / 10,
                                    tenths % 10);
}

std::vector<DayLine> BuildDayLines(const DayPageInput& in) {
  std::vector<DayLine> lines;
  const DateStamp& d = in.date;
  const ViewOptions& o = in.options;

  DayLine title = Line(DaySection::Header, DayLineKind::Title, FormatLongDate(d.month, d.day, d.year), true);
  if (o.julianDay && !o.jewishPrimary) title.left = JulianDayLabel(d.month, d.day, d.year);
  if (o.weekNumbers) title.right = WeekLabel(d.month, d.day, d.year);
  lines.push_back(std::move(title));
  if (o.jewishDateLine) {
    JewishDate j = GregorianToJewish(d.month, d.day, d.year);
    std::string name = JewishMonthName(j.month, IsJewishLeapYear(j.year));
    lines.push_back(Line(DaySection::Header, DayLineKind::JewishDate, FormatText("(%s %d, %d)", name.c_str(), j.day, j.year)));
  }

  for (const DayEntry& e : in.entries) {
    if (e.source < 0) continue;  // schedule items have their own box
    std::string text;
    if (e.offset < 0) text = FormatText(StringText(kStrDaysBefore).data(), -e.offset);
    else if (e.offset > 0) text = FormatText(StringText(kStrDaysAfter).data(), e.offset);
    text += e.text;
    if (e.gift) text += " (" + GiftText(e.gift) + ")";
    DayLine l = Line(DaySection::Entries, DayLineKind::Entry, text, true);
    l.ref = e.source;
    if (e.accentFlags & 0x20) l.colour = e.textColour;
    lines.push_back(std::move(l));
  }

  lines.push_back(Line(DaySection::Schedule, DayLineKind::BoxHead, BoxHead(kStrSchedule)));
  lines.push_back(Columns(DaySection::Schedule, DayLineKind::ColumnHeads,
                          {Text(kStrStart), Text(kStrEnd), Text(kStrActivity)}, false));
  for (const DayScheduleRow& row : in.schedule) {
    if (row.start < 0 || row.start > 1439) continue;
    DayLine l = Columns(DaySection::Schedule, DayLineKind::ScheduleRow, {Compact(row.start), Compact(row.end), row.text}, true);
    l.ref = row.id;
    l.note = row.note;
    lines.push_back(std::move(l));
  }

  AddToDoBox(lines, DaySection::Due, kStrDueToday, in.due, in);
  AddToDoBox(lines, DaySection::ToDo, kStrToDo, in.todo, in);

  if (!o.sunMoonHidden && in.sky) {
    lines.push_back(Line(DaySection::Sun, DayLineKind::BoxHead, BoxHead(kStrSunAndMoon)));
    lines.push_back(Line(DaySection::Sun, DayLineKind::SkyLine, o.locationName, true));
    AddRiseSet(lines, in.sun, false, in.daylight);
    AddRiseSet(lines, in.moon, true, in.daylight);
    if (in.phase && in.phase->code >= 1 && in.phase->code <= 4 && in.phase->month >= 1 && in.phase->month <= 12) {
      std::string month = Text(IDS_MONTH_FIRST + in.phase->month - 1);
      DayLine l = Line(DaySection::Sun, DayLineKind::MoonPhase,
                       FormatText("%.3s. %d  %s", month.c_str(), in.phase->day, MoonPhaseName(in.phase->code).c_str()), true);
      l.phase = in.phase->code;
      lines.push_back(std::move(l));
    }
  }
  return lines;
}

// ---- gathering ---------------------------------------------------------------------------------

std::vector<const DayEntry*> AssembledDayEntries(const CalendarState& state) {
  if (state.year == 0) return {};
  AssemblyState& a = Assembly();
  const ViewOptions& o = state.options;
  AssemblyOptions wanted;
  wanted.jewishMode = o.jewishPrimary;
  wanted.tabOverlay = state.tabOverlay;
  wanted.timeChanges = o.timeChanges;
  wanted.clockIcons = o.clockIcons;
  wanted.notesIndicator = o.notesIndicator;
  wanted.moonPhases = o.moonPhases != 0 && o.hasReference;
  const AssemblyOptions& had = a.options;
  bool sameOptions = had.jewishMode == wanted.jewishMode && had.tabOverlay == wanted.tabOverlay &&
                     had.timeChanges == wanted.timeChanges && had.clockIcons == wanted.clockIcons &&
                     had.notesIndicator == wanted.notesIndicator && had.moonPhases == wanted.moonPhases;
  const MonthSlot& current = a.slots[kSlotCurrent];
  if (!sameOptions || current.year != state.year || current.month != state.month || current.length == 0) {
    a.options = wanted;
    RecomputeDisplayedMonths(state.year, state.month);
  }
  return DayEntries(state.day);
}

DayPageInput GatherDayPage(const DateStamp& date, const ViewOptions& options, const std::vector<const DayEntry*>& entries,
                           bool stores) {
  DayPageInput in;
  in.date = DateStamp{date.year, date.month, date.day, 0, 0};
  in.options = options;
  for (const DayEntry* e : entries)
    if (e) in.entries.push_back(*e);
  if (!IsValidDate(date.month, date.day, date.year)) return in;

  // The day's schedule items, by the current zone: an item stored on the day before or after
  // can move into this day, so the neighbours are listed too.
  DateStamp before = AddDays(date.month, date.day, date.year, -1);
  DateStamp after = AddDays(date.month, date.day, date.year, 1);
  if (stores) {
    // A range whose end month comes before its start month ends in the next year.
    MinuteKey dayStart = MakeMinuteKey(date.year, date.month, date.day);
    for (const SchedListEntry& e : SchedListRange(before.month, after.month, before.year, before.day, after.day, 0xFF)) {
      if (e.start < dayStart || e.start >= dayStart + kMinutesPerDay) continue;
      DayScheduleRow row;
      row.start = static_cast<int>(e.start - dayStart);
      // The end key counts every month as 31 days; within a day or two of the start the
      // difference is true minutes unless a month end lies between.
      DateStamp end = SplitMinuteKey(e.end);
      int32_t days = DayNumber(end.month, end.day, end.year) - DayNumber(date.month, date.day, date.year);
      row.end = days * kMinutesPerDay + end.hour * 60 + end.minute;
      row.text = e.title;
      row.id = e.id;
      row.note = e.noteId != 0;
      in.schedule.push_back(std::move(row));
    }
  }

  MinuteKey now = MakeMinuteKey(CurrentDateTime().stamp);
  auto toRow = [now](const ToDoEntry& e) {
    DayToDoRow row;
    row.priority = e.item.priority;
    row.due = SplitMinuteKey(e.required);
    row.text = e.item.text;
    row.slot = e.slot;
    row.overdue = ToDoIsOverdue(e, now);
    return row;
  };
  if (stores) {
    std::vector<ToDoEntry> list;
    ToDoListForDate(in.date, list, true);
    for (const ToDoEntry& e : list) in.due.push_back(toRow(e));
    // The pending items as the to-do window's pending view lists them; a view never removes.
    ToDoSettings pending;
    pending.sortByPriority = true;
    pending.hideCompleted = true;
    pending.removeAfterDays = INT_MAX;
    pending.logRemoved = false;
    ToDoLoad(list, pending);
    for (const ToDoEntry& e : list) in.todo.push_back(toRow(e));
  }

  if (options.hasReference && !options.sunMoonHidden) {
    in.sky = true;
    in.sun = SunRiseSet(date.year, date.month, date.day);
    in.moon = MoonRiseSet(date.year, date.month, date.day);
    in.daylight = SiteInDaylight(date.month, date.day);
    MoonPhasesForYear(date.year);
    const MoonPhaseTable& t = CurrentMoonPhases();
    int key = date.month * 100 + date.day;
    for (int i = 0; i < t.count && i < kMoonPhaseSlots; ++i) {
      const MoonPhaseEntry& e = t.entries[static_cast<size_t>(i)];
      // The table ends with the first phase of the next year, which comes after any date.
      if (e.month * 100 + e.day >= key || i == t.count - 1) {
        in.phase = e;
        in.phaseYear = i == t.count - 1 && e.month * 100 + e.day < key ? date.year + 1 : date.year;
        break;
      }
    }
  }
  return in;
}

// ---- layout and paint --------------------------------------------------------------------------

namespace {

int LineHeightOf(const Canvas& canvas, const DayLine& l) {
  int cell = canvas.LineHeight(FontRole::Cell);
  switch (l.kind) {
    case DayLineKind::Title: return canvas.LineHeight(FontRole::Title) + 4;
    case DayLineKind::BoxHead: return canvas.LineHeight(FontRole::Bold) + 4;
    case DayLineKind::ColumnHeads: return canvas.LineHeight(FontRole::Bold) + 3;
    case DayLineKind::ScheduleRow:
    case DayLineKind::DueRow:
    case DayLineKind::ToDoRow: return std::max(16, cell) + 3;
    case DayLineKind::MoonPhase: return std::max(20, cell + 4);
    default: return cell + 2;
  }
}

bool Boxed(DaySection s) { return s != DaySection::Header && s != DaySection::Entries; }

}  // namespace

int DayPageMinimumWidth(const Canvas& canvas, int margin) {
  return 2 * margin + canvas.TextWidth(FontRole::Cell, "12:22p") * 2 + canvas.TextWidth(FontRole::Cell, "M") * 30;
}

DayPageLayout LayOutDayPage(const Canvas& canvas, int width, const std::vector<DayLine>& lines, int margin) {
  DayPageLayout out;
  out.width = std::max(width, DayPageMinimumWidth(canvas, margin));
  out.margin = margin;
  int left = margin, right = out.width - margin;
  int time = canvas.TextWidth(FontRole::Cell, "12:22p") + 12;
  int pri = std::max(canvas.TextWidth(FontRole::Bold, "Pri."), canvas.TextWidth(FontRole::Cell, "3")) + 12;
  out.columns = {left + 4, left + 4 + time, left + 4 + 2 * time};
  (void)pri;
  int y = margin;
  DaySection box = DaySection::Header;
  int boxTop = 0;
  auto closeBox = [&] {
    if (Boxed(box)) {
      out.boxes.push_back({box, Rect{left, boxTop, right, y + 2}});
      y += 2 + margin;
    }
  };
  for (const DayLine& l : lines) {
    if (l.section != box) {
      closeBox();
      bool afterText = !Boxed(box);
      box = l.section;
      if (Boxed(box)) {
        if (afterText) y += margin / 2;  // room between the header or entries and the first box
        boxTop = y;
        y += 2;
      } else if (box == DaySection::Entries) {
        y += margin / 2;
      }
    }
    int h = LineHeightOf(canvas, l);
    int inset = Boxed(l.section) ? 1 : 0;
    out.lines.push_back(Rect{left + inset, y, right - inset, y + h});
    y += h;
  }
  closeBox();
  out.height = y + margin;
  return out;
}

void PaintDayPage(Canvas& canvas, const DayPageLayout& layout, const std::vector<DayLine>& lines, int focus,
                  const ViewOptions& options) {
  const ViewColours& c = options.colours;
  canvas.FillRect(Rect{0, 0, layout.width, layout.height}, c.window);
  // Boxes: a shadow right and below, the window colour inside, a frame.
  for (const auto& [section, r] : layout.boxes) {
    canvas.FillRect(Rect{r.left + 3, r.top + 3, r.right + 3, r.bottom + 3}, c.shadow);
    canvas.FillRect(r, c.window);
    canvas.FrameRect(r, Pen{c.windowText, 1});
  }
  Pen rule{c.windowText, 1};
  constexpr unsigned kLine = kTextSingleLine | kTextVCentre | kTextEndEllipsis;
  for (size_t i = 0; i < lines.size() && i < layout.lines.size(); ++i) {
    const DayLine& l = lines[i];
    Rect r = layout.lines[i];
    bool focused = static_cast<int>(i) == focus && l.focusable;
    Colour text = focused ? c.selectionText : (l.colour != kTransparent ? l.colour : c.windowText);
    if (focused) canvas.FillRect(r, c.selection);
    Rect inner{r.left + 4, r.top, r.right - 4, r.bottom};
    switch (l.kind) {
      case DayLineKind::Title:
        canvas.DrawTextInRect(FontRole::Title, r, l.text, text, kTextCentre | kLine);
        if (!l.left.empty()) canvas.DrawTextInRect(FontRole::Cell, inner, l.left, text, kTextLeft | kLine);
        if (!l.right.empty()) canvas.DrawTextInRect(FontRole::Cell, inner, l.right, text, kTextRight | kLine);
        break;
      case DayLineKind::JewishDate:
        canvas.DrawTextInRect(FontRole::Cell, r, l.text, text, kTextCentre | kLine);
        break;
      case DayLineKind::Entry: {
        Rect e{std::max(r.left, 2), r.top, r.right, r.bottom};
        canvas.DrawTextInRect(FontRole::Cell, e, l.text, text, kTextCentre | kLine);
        break;
      }
      case DayLineKind::BoxHead:
        canvas.DrawTextInRect(FontRole::Bold, inner, l.text, text, kTextLeft | kLine);
        break;
      case DayLineKind::ColumnHeads:
      case DayLineKind::ScheduleRow:
      case DayLineKind::DueRow:
      case DayLineKind::ToDoRow: {
        FontRole role = l.kind == DayLineKind::ColumnHeads ? FontRole::Bold : FontRole::Cell;
        for (size_t k = 0; k < l.columns.size() && k < 3; ++k) {
          int x0 = layout.columns[k];
          int x1 = k + 1 < 3 ? layout.columns[k + 1] - 4 : r.right - 4;
          if (k == 2 && l.note) x1 -= 20;
          // An overdue to-do item shows its priority digit in red; the rest of the row stays plain.
          bool todo = l.kind == DayLineKind::DueRow || l.kind == DayLineKind::ToDoRow;
          Colour colour = todo && k > 0 && !focused ? c.windowText : text;
          canvas.DrawTextInRect(role, Rect{x0, r.top, x1, r.bottom}, l.columns[k], colour, kTextLeft | kLine);
          if (k == 2 && l.note) {
            int x = std::min(x0 + canvas.TextWidth(role, l.columns[k]) + 4, x1 + 4);
            Rect mark{x, r.top + (r.Height() - 16) / 2, x + 16, r.top + (r.Height() - 16) / 2 + 16};
            PaintNoteMark(canvas, mark, text);
          }
        }
        // Vertical rules between the columns and a rule closing the row.
        for (int k = 1; k < 3; ++k) canvas.DrawLine({layout.columns[k] - 6, r.top}, {layout.columns[k] - 6, r.bottom}, rule);
        canvas.DrawLine({r.left, r.bottom - 1}, {r.right, r.bottom - 1}, rule);
        break;
      }
      case DayLineKind::SkyLine:
        canvas.DrawTextInRect(FontRole::Cell, inner, l.text, text, kTextLeft | kLine);
        break;
      case DayLineKind::MoonPhase: {
        int d = std::min(14, r.Height() - 4);
        Rect moon{inner.left, r.top + (r.Height() - d) / 2, inner.left + d, r.top + (r.Height() - d) / 2 + d};
        Pen pen{text, 1};
        Brush dark = SolidBrush(text);
        int cx = (moon.left + moon.right) / 2;
        if (l.phase == kNewMoon) {
          canvas.DrawEllipse(moon, pen, dark);
        } else {
          canvas.DrawEllipse(moon, pen, kNoBrush);
          // First quarter: the left half dark (top centre counter-clockwise to the bottom
          // centre); last quarter: the right half.
          if (l.phase == kFirstQuarter) canvas.DrawPie(moon, {cx, moon.top}, {cx, moon.bottom}, pen, dark);
          if (l.phase == kLastQuarter) canvas.DrawPie(moon, {cx, moon.bottom}, {cx, moon.top}, pen, dark);
        }
        canvas.DrawTextInRect(FontRole::Cell, Rect{moon.right + 6, r.top, inner.right, r.bottom}, l.text, text,
                              kTextLeft | kLine);
        break;
      }
    }
    if (focused) canvas.FrameRect(r, Pen{c.selectionText, 1, PenStyle::Dot});
  }
}

// ---- mouse and keys ----------------------------------------------------------------------------

DayAction DayLineAction(const std::vector<DayLine>& lines, int line) {
  if (line < 0 || line >= static_cast<int>(lines.size())) return DayAction::None;
  switch (lines[static_cast<size_t>(line)].kind) {
    case DayLineKind::Entry: return DayAction::OpenEntry;
    case DayLineKind::Title:
    case DayLineKind::JewishDate: return DayAction::QuickEdit;
    case DayLineKind::ScheduleRow: return DayAction::OpenSchedule;
    case DayLineKind::DueRow:
    case DayLineKind::ToDoRow: return DayAction::OpenToDo;
    default: return DayAction::None;
  }
}

DayHit DayPageHit(const DayPageLayout& layout, const std::vector<DayLine>& lines, Point p) {
  DayHit hit;
  for (size_t i = 0; i < lines.size() && i < layout.lines.size(); ++i) {
    if (!layout.lines[i].Contains(p)) continue;
    if (lines[i].focusable) {
      hit.line = static_cast<int>(i);
      hit.action = DayLineAction(lines, hit.line);
      if (hit.action != DayAction::None) return hit;
    }
    break;
  }
  for (const auto& [section, r] : layout.boxes) {
    if (!r.Contains(p)) continue;
    if (section == DaySection::Schedule) hit.action = DayAction::NewSchedule;
    return hit;  // other boxes: only their rows act
  }
  if (hit.action == DayAction::None && hit.line < 0) hit.action = DayAction::QuickEdit;
  return hit;
}

int FirstFocusLine(const std::vector<DayLine>& lines) {
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i].focusable) return static_cast<int>(i);
  return -1;
}

DayKeyResult DayPageKey(const std::vector<DayLine>& lines, int focus, DayKey key) {
  DayKeyResult r;
  int n = static_cast<int>(lines.size());
  auto focusable = [&](int i) { return i >= 0 && i < n && lines[static_cast<size_t>(i)].focusable; };
  if (!focusable(focus)) focus = FirstFocusLine(lines);
  r.focus = focus;
  if (focus < 0) {
    r.beep = key != DayKey::Space;
    return r;
  }
  auto step = [&](int from, int dir) {
    for (int i = from + dir; i >= 0 && i < n; i += dir)
      if (focusable(i)) return i;
    return -1;
  };
  // The first focusable line of each section, in page order.
  std::vector<int> starts;
  for (int i = 0; i < n; ++i)
    if (focusable(i) && (starts.empty() || lines[static_cast<size_t>(starts.back())].section != lines[static_cast<size_t>(i)].section))
      starts.push_back(i);
  auto sectionAt = [&](int line) {
    int s = 0;
    for (size_t k = 0; k < starts.size(); ++k)
      if (starts[k] <= line) s = static_cast<int>(k);
    return s;
  };
  int next = -1;
  switch (key) {
    case DayKey::Up: next = step(focus, -1); break;
    case DayKey::Down: next = step(focus, 1); break;
    case DayKey::Home: next = starts.front(); break;
    case DayKey::End: next = step(n, -1); break;
    case DayKey::PageUp: {
      int s = sectionAt(focus);
      next = s > 0 ? starts[static_cast<size_t>(s - 1)] : -1;
      break;
    }
    case DayKey::PageDown: {
      int s = sectionAt(focus);
      next = s + 1 < static_cast<int>(starts.size()) ? starts[static_cast<size_t>(s + 1)] : -1;
      break;
    }
    case DayKey::Space: r.act = true; return r;
  }
  if (next < 0) r.beep = true;
  else r.focus = next;
  return r;
}

}  // namespace kv
