// The day view's page: one day as a column of lines, top to bottom the header (the date in
// words, the day-of-year and week labels, the Jewish date), the day's overlay entries, and the
// boxed sections "Schedule", "Due Today", "To Do" and "Sun and Moon". A focus line moves over
// every line a user can act on; a double click (or Space on the focused line) acts on it.
//
// Three steps, each portable: GatherDayPage asks the stores and the sky for the day,
// BuildDayLines turns that into the texts a user reads, LayOutDayPage places them, and
// PaintDayPage draws them through a canvas.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/canvas.h"
#include "calendar/dates.h"
#include "overlays/day_entry.h"
#include "sky/sun_moon.h"
#include "views/calendar_state.h"

namespace kv {

enum class DaySection : uint8_t { Header, Entries, Schedule, Due, ToDo, Sun };
// "header", "entries", "schedule", "due", "todo", "sun".
const char* DaySectionName(DaySection section);

enum class DayLineKind : uint8_t {
  Title,        // the date in words, with the day-of-year label left and the week label right
  JewishDate,   // "(Month day, year)"
  Entry,        // an overlay entry
  BoxHead,      // "Schedule: ", "Due Today: ", "To Do: ", "Sun and Moon: "
  ColumnHeads,  // "Start" "End" "Activity" / "Pri." "Due" "Item:"
  ScheduleRow,
  DueRow,
  ToDoRow,
  SkyLine,      // the location, rise and set lines
  MoonPhase,    // the phase symbol and its caption
};

struct DayLine {
  DaySection section = DaySection::Header;
  DayLineKind kind = DayLineKind::Title;
  std::string text;                  // what the line reads (rows: their columns joined by tabs)
  std::vector<std::string> columns;  // rows and column heads: the columns' texts
  std::string left, right;           // the title's day-of-year and week labels
  bool focusable = false;
  int32_t ref = 0;                   // entry: its source; schedule row: item id; to-do rows: slot
  bool note = false;                 // schedule row: the item has a note
  int phase = 0;                     // moon phase line: 1 ... 4
  Colour colour = kTransparent;      // own text colour (entries with one; an overdue item's priority)
};

// What the page is built from.
struct DayScheduleRow {
  int start = 0;  // minutes after the day's midnight, 0 ... 1439
  int end = 0;    // minutes after the day's midnight (1440 and more: a later day)
  std::string text;
  int32_t id = 0;
  bool note = false;
};
struct DayToDoRow {
  int priority = 1;
  DateStamp due;       // date and time (minute 1439: no time)
  std::string text;
  uint16_t slot = 0;
  bool overdue = false;
};
struct DayPageInput {
  DateStamp date;  // Gregorian
  ViewOptions options;
  std::vector<DayEntry> entries;  // the day's entries in cell order
  std::vector<DayScheduleRow> schedule;
  std::vector<DayToDoRow> due;
  std::vector<DayToDoRow> todo;
  bool sky = false;      // a point of reference: the sun and moon lines can be computed
  bool daylight = false; // the date lies in the point of reference's daylight period
  RiseSet sun, moon;     // local standard time
  std::optional<MoonPhaseEntry> phase;  // the next quarter on or after the date
  int phaseYear = 0;
};

// Asks the schedule (the day's items, by the current zone), the to-do list (the items due and
// the pending items; nothing is removed), the sky (rise and set, daylight, the next phase) for a
// date; `entries` are the day's assembled entries. Without `stores` (no database folder) the
// schedule and to-do boxes stay empty.
DayPageInput GatherDayPage(const DateStamp& date, const ViewOptions& options,
                           const std::vector<const DayEntry*>& entries, bool stores = true);
// The day's entries from the day assembly, assembling the month of the selected date first when
// it is not the one assembled.
std::vector<const DayEntry*> AssembledDayEntries(const CalendarState& state);

std::vector<DayLine> BuildDayLines(const DayPageInput& input);

// The texts of the sun and moon lines (exposed for the tests and the printed day).
std::string RiseSetText(int labelId, int minute, double azimuth);

struct DayPageLayout {
  int width = 0;
  int height = 0;
  int margin = 0;
  std::vector<Rect> lines;  // per line
  std::vector<std::pair<DaySection, Rect>> boxes;
  std::array<int, 3> columns{};  // x of the three columns of the boxes with column heads
};
// Lays the page out `width` wide with the margin (one eighth of the screen's pixels per inch).
DayPageLayout LayOutDayPage(const Canvas& canvas, int width, const std::vector<DayLine>& lines, int margin);
// The narrowest width the page is laid out for.
int DayPageMinimumWidth(const Canvas& canvas, int margin);
void PaintDayPage(Canvas& canvas, const DayPageLayout& layout, const std::vector<DayLine>& lines, int focus,
                  const ViewOptions& options);

// ---- mouse and keys ----------------------------------------------------------------------
enum class DayAction { None, OpenEntry, QuickEdit, OpenSchedule, NewSchedule, OpenToDo };
struct DayHit {
  DayAction action = DayAction::None;
  int line = -1;  // the focusable line under the point, -1 none
};
// What a double click at a point does.
DayHit DayPageHit(const DayPageLayout& layout, const std::vector<DayLine>& lines, Point p);
// What acting on a line (Space) does.
DayAction DayLineAction(const std::vector<DayLine>& lines, int line);

enum class DayKey { Up, Down, Home, End, PageUp, PageDown, Space };
struct DayKeyResult {
  int focus = -1;
  bool beep = false;
  bool act = false;  // Space: act on the focused line
};
// The focus after a key (an index of a focusable line; -1 when the page has none).
DayKeyResult DayPageKey(const std::vector<DayLine>& lines, int focus, DayKey key);
// The first focusable line, -1 for none.
int FirstFocusLine(const std::vector<DayLine>& lines);

}  // namespace kv
