// The to-do window's portable half: what a row shows and where (the completion box, the
// priority digit, the required date with its time below it, the text, the note symbol), the
// strip of column heads, the rows that fit the window and which one a point falls on, moving
// the selection with the keys, and painting all of it through the canvas. The Win32 window
// (todo_window_win.h) keeps one child control per visible row and only forwards.
#pragma once

#include <string>
#include <vector>

#include "base/canvas.h"
#include "calendar/dates.h"
#include "personal/todo.h"

namespace kv {

// The priority digit of an item that is overdue.
inline constexpr Colour kToDoOverdueColour = MakeColour(230, 0, 0);

// What one row says.
struct ToDoRowText {
  std::string priority;   // "1" ... "3"
  std::string date;       // the required date
  std::string time;       // its time of day; empty for an item without one (23:59)
  std::string text;
  bool note = false;      // the item has a note
  bool done = false;      // checked off
  bool overdue = false;   // not done and required no later than now
};
ToDoRowText ToDoRowTextFor(const ToDoEntry& entry, MinuteKey now);

// Where the parts of a row sit, relative to the row's top-left corner.
struct ToDoRowLayout {
  int height = 0;
  Rect check;      // the completion box
  Rect priority;
  Rect date;       // two lines: the date, then the time
  Rect text;
  Rect note;       // the note symbol, at the right end
};
// Measured in `role`'s font for a row `width` wide.
ToDoRowLayout LayOutToDoRow(const Canvas& canvas, FontRole role, int width);

// The window: the strip of column heads on top, then whole rows as far as they fit.
struct ToDoWindowLayout {
  int width = 0;
  int headerHeight = 0;
  int rowHeight = 1;
  int visibleRows = 0;   // rows that fit (at least one while the window has any height)
  Rect RowRect(int row) const { return Rect{0, headerHeight + row * rowHeight, width, headerHeight + (row + 1) * rowHeight}; }
};
ToDoWindowLayout LayOutToDoWindow(const Canvas& canvas, FontRole role, int width, int height);

// A point of the window: the entry under it (-1 for none) and whether it is on the entry's
// completion box. `top` is the entry shown in the first row.
struct ToDoHit {
  int entry = -1;
  bool check = false;
};
ToDoHit ToDoHitTest(const ToDoWindowLayout& window, const ToDoRowLayout& row, int top, int count, Point at);

// The selection after a movement key; a list without selection starts at its first entry.
enum class ToDoMove { Up, Down, PageUp, PageDown, Home, End };
int ToDoMoveSelection(int selected, int count, int pageRows, ToDoMove move);
// The first entry to show so that `selected` is in view, keeping `top` where it can and never
// leaving rows empty at the end while entries above are hidden.
int ToDoTopFor(int top, int selected, int count, int visibleRows);

// The entry of a slot in the list, or -1.
int ToDoIndexOfSlot(const std::vector<ToDoEntry>& entries, uint16_t slot);
// The selection after the list was reloaded: the entry of the slot that was selected, else
// the same position (the next item after a removal), else none.
int ToDoSelectionAfterReload(const std::vector<ToDoEntry>& entries, uint16_t slot, int oldIndex);

// ---- painting ---------------------------------------------------------------------------------

struct ToDoColours {
  Colour window = MakeColour(255, 255, 255);
  Colour text = 0;
  Colour grey = MakeColour(128, 128, 128);      // checked-off items, the rules
  Colour selection = MakeColour(204, 228, 247); // the selected row's band
  Colour face = MakeColour(240, 240, 240);      // the heads' strip
};

// One row at `row` (its rectangle in the canvas). `focused` draws the focus frame.
void PaintToDoRow(Canvas& canvas, FontRole role, const ToDoRowLayout& layout, const Rect& row, const ToDoRowText& text,
                  bool selected, bool focused, const ToDoColours& colours);
// The strip of column heads ("Pri.", "Req'd By", "Item:").
void PaintToDoHeader(Canvas& canvas, FontRole role, const ToDoRowLayout& layout, int width, int height,
                     const ToDoColours& colours);
// "No pending items", centred below the heads.
void PaintToDoEmpty(Canvas& canvas, FontRole role, const Rect& area, const ToDoColours& colours);

// The whole window at once: heads, the visible rows of `entries` from `top`, or the empty text.
struct ToDoPaint {
  const std::vector<ToDoEntry>* entries = nullptr;
  int top = 0;
  int selected = -1;
  bool focused = false;
  MinuteKey now = 0;
  int width = 0;
  int height = 0;
  FontRole role = FontRole::Dialog;
  ToDoColours colours;
};
void PaintToDoWindow(Canvas& canvas, const ToDoPaint& paint);

}  // namespace kv
