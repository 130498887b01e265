// The year view: the year's twelve (in a Jewish leap year thirteen) months as small calendars
// in a grid of 4 x 3 (or 5 x 3) under a framed title box, the selected month framed in the
// "Highlight" colour; and the year view's keys. Portable: the plane's window code only hands
// over a canvas and the keys.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "base/canvas.h"
#include "views/calendar_state.h"

namespace kv {

// The lowest year Page Up reaches (Gregorian), and the Jewish years the view keeps to (the
// Jewish-primary display starts in 1703, inside the Jewish year 5464).
constexpr int kYearViewFirstGregorian = 1584;
constexpr int kYearViewLastGregorian = 9998;
constexpr int kYearViewFirstJewish = 5464;
constexpr int kYearViewLastJewish = 13759;
constexpr int kYearViewMaxMonths = 13;

// What the year view shows and which month is selected.
struct YearView {
  int year = 0;   // Gregorian, or Jewish when `jewish`
  int index = 0;  // selected month's position, 0 ... MonthCount() - 1
  bool jewish = false;
};

// The year's months (12 or 13) and the grid's columns (4, or 5 for thirteen months).
int YearViewMonthCount(const YearView& view);
int YearViewColumns(const YearView& view);
// The year view on the selected date's year and month.
YearView YearViewOf(const CalendarState& state);

struct YearLayout {
  Size size;
  Rect title;                                   // the framed box with the year
  Rect grid;                                    // outer edge of the month grid
  int columns = 4;
  int rows = 3;
  int count = 12;
  std::array<Rect, kYearViewMaxMonths> cells{};      // grid cell of each month
  std::array<Rect, kYearViewMaxMonths> calendars{};  // its small calendar, inside the cell
};

constexpr int kYearMargin = 8;
// Lays the view out in a plane of `size`; the title box's height follows the title font.
YearLayout LayOutYear(const Canvas& canvas, Size size, const YearView& view);
// The smallest plane the year view is readable in.
Size YearMinimumSize(const Canvas& canvas);
// The month under a point, -1 for none.
int YearMonthAtPoint(const YearLayout& layout, Point p);

// Paints the plane: Theme fill, title box, small calendars (marks from `marks`, by position),
// grid lines, selection frame.
void PaintYear(Canvas& canvas, const YearLayout& layout, const YearView& view, const ViewOptions& options,
               const std::array<std::array<uint8_t, 32>, kYearViewMaxMonths>& marks);
// The frame around the selected month (2 pixels, "Highlight"), or its erasure in the window
// colour when `erase`: what a selection move redraws.
void PaintYearSelection(Canvas& canvas, const YearLayout& layout, int index, const ViewOptions& options, bool erase);
// The marks of the assembled year slots (the day assembly's year slots, in position order).
std::array<std::array<uint8_t, 32>, kYearViewMaxMonths> AssembledYearMarks();

// ---- keys --------------------------------------------------------------------------------
enum class YearKey { Space, PageUp, PageDown, Home, End, Left, Right, Up, Down };
struct YearKeyResult {
  bool used = false;      // the view changed (or a month is to be opened)
  bool yearChanged = false;
  bool open = false;      // Space: open the selected month in the month view
};
// Applies a key to the view. Page Up/Down stay within the years above; Left/Right stop at the
// year's ends; Up/Down move one row of the current column count and do nothing when that
// leaves the year.
YearKeyResult YearViewKey(YearView& view, YearKey key);

// The Gregorian date a month of the year view opens on: the selected date when the month holds
// it, otherwise the month's first day.
DateStamp YearViewOpenDate(const YearView& view, int index, const CalendarState& state);

}  // namespace kv
