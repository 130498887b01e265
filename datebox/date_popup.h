// The date box's month pop-up, apart from its window: its geometry from the font's character
// size, where it opens, where each day's square lies, and the moves of the keyboard.
#pragma once

#include "base/canvas.h"
#include "datebox/date_parse.h"

namespace kv {

struct DatePopupGeometry {
  Size size;         // the whole pop-up
  Rect header;       // month and year between the two arrows
  Rect previous;     // the arrow to the previous month
  Rect next;         // the arrow to the next month
  Rect weekdays;     // the row of weekday initials
  Rect grid;         // the day grid
  int cellWidth = 0;
  int cellHeight = 0;
};

// From the width and height of the character "0" in the control's font.
DatePopupGeometry DatePopupLayout(int charWidth, int charHeight);

// The pop-up's top-left corner on the screen: its right edge under the control's right edge
// (moved right by half the overhang when that would put it left of the control), just below the
// control, or above it when below would leave the screen.
Point DatePopupPosition(const Rect& control, const Size& popup, int screenBottom);

// The square of day d in a month whose day 1 lies in column firstColumn (0 ... 6, counted from
// the first day of the week).
struct GridCell {
  int column = 0;
  int row = 0;
  friend bool operator==(const GridCell&, const GridCell&) = default;
};
GridCell DayCell(int firstColumn, int day);
Rect DaySquare(const DatePopupGeometry& g, int firstColumn, int day);
// The day under a point of the grid, or 0.
int DayAt(const DatePopupGeometry& g, int firstColumn, int monthLength, Point p);

// Month facts of the pop-up's calendar (Jewish month 13 is Adar II of a leap year).
int PopupMonthLength(int year, int month, bool jewish);
// Column (0 ... 6) of day 1 when the week starts on weekStart (0 = Sunday).
int PopupFirstColumn(int year, int month, bool jewish, int weekStart);
TypedDate PopupPreviousMonth(const TypedDate& date, bool jewish);  // day clamped to the month
TypedDate PopupNextMonth(const TypedDate& date, bool jewish);

enum class PopupKey { PageUp, PageDown, Home, End, Left, Right, Up, Down };

// The selected day after a key. Moves that would leave the calendar's years do nothing.
TypedDate MovePopupDate(const TypedDate& date, PopupKey key, bool jewish);

}  // namespace kv
