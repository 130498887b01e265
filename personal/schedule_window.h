// The schedule window's portable half: the time grid of one day (rows of the configured
// increment, the summary bar, the time labels, the items of the day list at their rows), what a
// click, a drag, a key or a scroll request does to it, and its painting through the canvas. The
// Win32 window (schedule_window_win.h) only forwards messages here and draws.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/canvas.h"
#include "calendar/dates.h"
#include "calendar/regional.h"
#include "personal/notes.h"
#include "personal/schedule.h"

namespace kv {

// ---- settings and what the window needs from the program around it -------------------------

// The grid's settings as the configuration keeps them.
struct ScheduleGridSettings {
  int increment = 15;        // minutes per row: 5, 10, 15, 20, 30 or 60
  int initialHour = 8;       // the hour at the top of the grid when a day is shown
  int summaryStartHour = 6;  // the summary bar covers [start hour, end hour)
  int summaryEndHour = 21;
  friend bool operator==(const ScheduleGridSettings&, const ScheduleGridSettings&) = default;
};
// Settings read from a damaged or foreign configuration made usable: an increment that is not
// one of the six becomes 15, hours out of 0 ... 23 become the new configuration's (8, 6, 21), an
// end hour before the start hour leaves the bar empty.
ScheduleGridSettings SaneGridSettings(const ScheduleGridSettings& settings);

struct ScheduleWindowHooks {
  // The calendar's selected day, which the window follows; without it the window keeps its day.
  std::function<DateStamp()> selectedDate;
  // Opens the editor for a stored item (`day`: the date it is stored under).
  std::function<void(const DateStamp& day, uint16_t id)> openItem;
  // Opens the editor for a new item on `day` from startMinute to endMinute (-1: not chosen).
  std::function<void(const DateStamp& day, int startMinute, int endMinute)> newItem;
  // The grid's settings; without it the new configuration's.
  std::function<ScheduleGridSettings()> settings;
};
void SetScheduleWindowHooks(ScheduleWindowHooks hooks);

// ---- geometry ----------------------------------------------------------------------------

// Roles of the grid's fonts: row labels (Cell; whole hours in Bold) and item texts (Event).
inline constexpr FontRole kScheduleLabelFont = FontRole::Cell;
inline constexpr FontRole kScheduleHourFont = FontRole::Bold;
inline constexpr FontRole kScheduleItemFont = FontRole::Event;
inline constexpr FontRole kScheduleHeaderFont = FontRole::Bold;

// The grid in the pane: all rows of the day, `firstRow` at the pane's top.
struct ScheduleGrid {
  int increment = 15;
  int rows = 96;        // 1440 / increment
  int rowHeight = 16;
  int labelWidth = 0;   // the time labels' column at the left
  int barLeft = 0;      // the summary bar's column
  int barWidth = 0;
  int itemsLeft = 0;    // items are laid out from here to the pane's right edge (less a margin)
  int width = 0;        // the pane's client size
  int height = 0;
  int firstRow = 0;
  int summaryStartRow = 0;  // rows [start, end) carry the summary bar
  int summaryEndRow = 0;

  // Rows that fit the pane wholly (at least 1).
  int VisibleRows() const;
  // The largest first row that still fills the pane with rows.
  int MaxFirstRow() const;
  // Top of a row in the pane.
  int RowTop(int row) const { return (row - firstRow) * rowHeight; }
  int FirstMinute() const { return firstRow * increment; }
};

// The grid for a pane of `width` x `height`, scrolled so that the initial hour is at the top (as
// far as the day's end allows). Labels are sized for the widest one, "24:00" with the wider of
// the regional morning and afternoon designators.
ScheduleGrid LayOutScheduleGrid(const Canvas& canvas, const ScheduleGridSettings& settings,
                                const RegionalSettings& regional, int width, int height);
// Scrolls to a first row (clamped); true when it moved.
bool ScrollScheduleGrid(ScheduleGrid& grid, int firstRow);

// ---- picking times -------------------------------------------------------------------------

// A time picked in the grid: the minute of the shown day, or of the day before (dayOffset -1)
// or after (+1) when it lies before 0:00 or from 24:00 on.
struct PickedTime {
  int dayOffset = 0;
  int minute = 0;  // 0 ... 1435, a multiple of 5
  friend bool operator==(const PickedTime&, const PickedTime&) = default;
};
// The minute at a vertical offset of the pane: offset x increment / row height + the first shown
// minute, truncated to a multiple of 5 (downwards, also before midnight).
int MinuteAtOffset(const ScheduleGrid& grid, int y);
PickedTime PickTime(const ScheduleGrid& grid, int y);

// A range dragged from the time picked at the press to the time under the mouse, within the
// shown day: the earlier end is the start, the later the end (both kept to 0 ... 1440). Empty
// (start == end) when both ends pick the same time.
struct MinuteRange {
  int start = 0;
  int end = 0;
  bool Empty() const { return end <= start; }
  friend bool operator==(const MinuteRange&, const MinuteRange&) = default;
};
MinuteRange DragRange(int fromMinute, int toMinute);

// ---- items -------------------------------------------------------------------------------------

// One item of the day list placed in the grid (pane coordinates, scrolled: a box may lie above
// or below the pane). Items that overlap share the width side by side.
struct ScheduleItemBox {
  int index = 0;     // in the day list
  int row = 0;       // the row it starts in (0 for an item from the day before)
  Rect rect;
  bool fromDayBefore = false;  // starts before 0:00 of the shown day
  bool intoDayAfter = false;   // ends after 24:00
};
// The boxes of the items that show in the shown day (an item of the day before or after that
// does not reach into it is left out); each spans the rows its times touch, at least one.
std::vector<ScheduleItemBox> LayOutScheduleItems(const ScheduleGrid& grid, const SchedDayList& list);
// The day-list index of the item whose box contains `at`, -1 when none.
int ScheduleItemAt(const std::vector<ScheduleItemBox>& boxes, Point at);

// ---- painting ------------------------------------------------------------------------------

struct ScheduleColours {
  Colour window = MakeColour(255, 255, 255);
  Colour text = MakeColour(0, 0, 0);
  Colour minorText = MakeColour(110, 110, 110);
  Colour labelBack = MakeColour(240, 240, 240);
  Colour rowLine = MakeColour(225, 225, 225);
  Colour hourLine = MakeColour(170, 170, 170);
  Colour summary = MakeColour(0, 120, 215);
  Colour itemFill = MakeColour(255, 248, 200);
  Colour itemFrame = MakeColour(160, 130, 40);
  Colour selection = MakeColour(0, 120, 215);
  Colour selectionText = MakeColour(255, 255, 255);
  Colour picked = MakeColour(204, 228, 247);
};

// What is chosen in the grid: the selected item (day-list index, -1 none) and the picked time
// or range (start -1: none; end -1: a single time, shown as its row).
struct ScheduleChoice {
  int selected = -1;
  int pickStart = -1;
  int pickEnd = -1;
  friend bool operator==(const ScheduleChoice&, const ScheduleChoice&) = default;
};

// Paints the rows in view: labels, lines, the summary bar, the picked range, the item boxes
// with their times, titles and note symbols, the selected item in the selection colours.
void PaintScheduleGrid(Canvas& canvas, const ScheduleGrid& grid, const SchedDayList& list,
                       const std::vector<ScheduleItemBox>& boxes, const ScheduleChoice& choice,
                       const ScheduleColours& colours, const RegionalSettings& regional);
// The strip above the grid: the shown day's date, centred.
int ScheduleHeaderHeight(const Canvas& canvas);
void PaintScheduleHeader(Canvas& canvas, int width, const DateStamp& day, const ScheduleColours& colours);

// An item's times as the grid shows them: "10:00 AM - 11:00 AM" (ends past midnight wrap).
std::string ScheduleItemTimes(const SchedItem& item, const RegionalSettings& regional);

// ---- the window's state and what the user does in it ----------------------------------------

// A key or scroll request (the scroll-bar codes the window's private scroll message carries).
enum ScheduleScrollCode : int {
  kSchedLineUp = 0,
  kSchedLineDown = 1,
  kSchedPageUp = 2,
  kSchedPageDown = 3,
  kSchedThumb = 5,  // to the position given with it (a row)
  kSchedTop = 6,
  kSchedBottom = 7,
};

class ScheduleWindowModel {
 public:
  // The shown day (day 0 before the first Show).
  const DateStamp& Day() const { return day_; }
  const ScheduleGrid& Grid() const { return grid_; }
  const std::vector<ScheduleItemBox>& Boxes() const { return boxes_; }
  const ScheduleChoice& Choice() const { return choice_; }
  // The selected item of the day list, nullptr when none.
  const SchedItem* SelectedItem() const;

  // Lays the grid out again for the pane's size and the current settings (the first row goes to
  // the initial hour when the settings or the increment changed, or on the first call).
  void LayOut(const Canvas& canvas, const RegionalSettings& regional, int width, int height);

  // Shows a day: loads its day list and, for a new day, scrolls to the initial hour and drops the
  // choice. The same day again reloads it and keeps the selected item (by id) when it is still
  // there. False for an impossible date (nothing changes).
  bool Show(const DateStamp& day);
  // The selected date of the calendar (the hook) moved; false when there is none or it is invalid.
  bool FollowSelectedDate();
  // The schedule changed: the day list again, the selection kept by id.
  void Reload();
  // Selects the shown day's item of this id stored on that day (a search hit) and scrolls its
  // start into view; false when the day has no such item.
  bool SelectStoredItem(uint16_t id);

  // A press of the left button at a point of the pane. On an item: selects it. Elsewhere: picks
  // the time (a time before 0:00 or from 24:00 on shows the day before or after, the time moved
  // by 1440) and deselects. Starts a drag.
  void Press(Point at);
  // The mouse moved with the button down: the picked range follows.
  void DragTo(Point at);
  void Release();
  bool Dragging() const { return dragging_; }
  // A scroll request (kSched...): the grid scrolls by a row, a page, or to the day's start or end,
  // and the picked row moves with it (from the top row when none was picked); the item starting
  // in the new row is selected. `thumbRow` is used by kSchedThumb only (which moves no choice).
  void Scroll(int code, int thumbRow = 0);

  // Double click or Enter: opens the selected item, or a new item at the picked time or range
  // (no time chosen: -1, -1). False when the editor is not there.
  bool Open() const;

  // The note context of the selection: the selected item's note, else the shown day's.
  NoteContext SelectionNoteContext() const;
  // True once after the selected item changed (an item chosen, another one, or none any more):
  // the notes window is then told SelectionNoteContext. Moving between times of the grid with no
  // item selected is no news, so a note of another kind stays in the notes window.
  bool TakeNoteNews();
  // The day list shown (a copy: other users of the schedule may load other days).
  const SchedDayList& List() const { return list_; }

  // A one-line description of the day and the choice: the window's text, read by screen readers.
  std::string StatusText(const RegionalSettings& regional) const;

 private:
  bool Load(const DateStamp& day, bool reload);
  void Relayout();
  void Select(int index);
  void SwitchDay(int offset);
  int BaseRow() const;

  DateStamp day_;
  ScheduleGrid grid_;
  ScheduleGridSettings settings_;
  bool laidOut_ = false;
  std::vector<ScheduleItemBox> boxes_;
  ScheduleChoice choice_;
  // The selected item by its stored date and id, to find it again after a reload.
  uint16_t selectedId_ = 0;
  DateStamp selectedDate_;
  bool dragging_ = false;
  int dragFromMinute_ = 0;
  bool noteNews_ = false;
  SchedDayList list_;
};

}  // namespace kv
