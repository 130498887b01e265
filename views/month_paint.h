// Painting the month view through the canvas: the plane (weekday row, grid, blank cells), the
// year label and title, and each day cell on its own, so that a selection move repaints two
// cells and not the month. The same functions draw the window, the tests' recorder and the SVG
// of `kvtool render month`.
#pragma once

#include <string>
#include <vector>

#include "base/canvas.h"
#include "overlays/day_entry.h"
#include "views/month_layout.h"

namespace kv {

// Icons of the cell's top line and of the moon's phases (resource numbers).
constexpr int kCandleLightingIcon = 70;
constexpr int kHavdalahIcon = 71;
constexpr int kMoonIconFirst = 72;  // 72 ... 75: new, first quarter, full, last quarter

// What a cell shows beside its entries.
struct DayCellInput {
  int day = 0;
  int weekday = 0;          // 0 Sunday
  DateStamp date;           // the Gregorian day
  bool selected = false;
  bool highlightMark = false;  // an overlay marks the day red-letter
  bool noteMark = false;
  int moonPhase = 0;        // 0 none, 1 new, 2 first quarter, 3 full, 4 last quarter
  std::string otherDate;    // the Jewish (or Gregorian) date line; empty when none
  Size size;                // the cell window; (cw - 1) x (ch - 1) when empty
};

// The cell's own entries, in display order; painting stores the drawn rectangles in them.
using CellEntries = std::vector<DayEntry*>;

struct DrawnLine {
  std::string text;
  Rect rect;  // cell coordinates
};

// What a cell painted, for the render tool and the tests.
struct DayCellPicture {
  Colour numberColour = 0;
  bool overflow = false;
  std::string timeText;            // candle-lighting or Havdalah; empty when none
  std::vector<DrawnLine> lines;    // entry lines (prefix included) and gift lines, in order
};

// The cell's input from the day assembly: marks, flags and moon of `day` of the current month.
DayCellInput DayCellFromAssembly(const MonthLayout& layout, int day, int selectedDay,
                                 const std::array<std::string, 32>& otherDates);
// The entries of a day of the current month, writable (the drawn rectangles go back into them).
CellEntries MutableDayEntries(int day);

// The text an entry draws: its offset prefix ("3 days before ") and its text.
std::string EntryLineText(const DayEntry& entry);

// Paints a day cell with its top-left corner at `origin`. The entries' drawn rectangles are
// stored in cell coordinates; entries that did not fit keep their previous rectangles.
DayCellPicture PaintDayCell(Canvas& canvas, const MonthLayout& layout, const ViewOptions& options,
                            const DayCellInput& cell, const CellEntries& entries, Point origin = {});

// The plane: background, weekday row, grid lines and the Theme-filled blank cells.
void PaintMonthPlane(Canvas& canvas, const MonthLayout& layout, const ViewOptions& options, Point origin = {});
// Only the grid's lines, `options.gridPen` wide (PaintMonthPlane draws them too; PaintMonth again
// over the cells when they are wider than a pixel, as on paper).
void PaintMonthGrid(Canvas& canvas, const MonthLayout& layout, const ViewOptions& options, Point origin = {});
// The year label and the title, each in its own rectangle at `origin`.
void PaintYearLabel(Canvas& canvas, const Rect& rect, const std::string& text, const ViewOptions& options);
void PaintMonthTitle(Canvas& canvas, const Rect& rect, const std::string& text, const ViewOptions& options);

// The day whose cell holds a plane point (0 when none) and the entry whose drawn rectangle holds
// a cell point (skipping time changes; null when none).
int DayAtPoint(const MonthLayout& layout, Point planePoint);
const DayEntry* EntryAtPoint(const CellEntries& entries, Point cellPoint);

// The whole month as one picture (plane, labels, every cell), for the render tool.
struct MonthPicture {
  std::vector<DayCellPicture> cells;  // index day - 1
};
MonthPicture PaintMonth(Canvas& canvas, const MonthLayout& layout, const ViewOptions& options, int selectedDay);

}  // namespace kv
