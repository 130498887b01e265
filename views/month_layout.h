// Where everything of the month view stands: the title band (year label, title, the two small
// calendars), the weekday row, the grid and the inside of a day cell. Computed once whenever the
// calendar is sized, the month changes or an option changes; the plane and every day cell then
// paint from it.
#pragma once

#include <array>
#include <string>

#include "base/canvas.h"
#include "views/calendar_state.h"

namespace kv {

// The font measures the layout rests on, taken once from a canvas.
struct MonthFontMeasures {
  int cellLine = 16;    // L: one line of the cell font
  int eventLine = 15;   // one line of the event font
  int digitWidth = 8;   // a digit of the cell font
  int titleLine = 30;   // one line of the title font
  int smallLine = 12;   // one line of the small-calendar font
  int eventCharWidth = 7;
};
MonthFontMeasures MeasureMonthFonts(const Canvas& canvas);

// The month shown: its year and month in the primary calendar, its length and the column of day 1.
struct DisplayedMonth {
  int year = 0;
  int month = 0;
  bool jewish = false;
  int length = 0;
  int firstColumn = 0;  // grid column (0 ... 6) of day 1 for the configured first weekday
  int firstWeekday = 0; // weekday of day 1, 0 = Sunday
};
DisplayedMonth DescribeMonth(int year, int month, bool jewish, int weekStart);

struct MonthLayout {
  DisplayedMonth shown;
  MonthFontMeasures fonts;
  int width = 0, height = 0;  // the plane, W x H
  int cw = 0;                 // cell width: W / 7
  int gridWidth = 0;
  int titleBottom = 0;        // bottom of the title band
  int weekdayTop = 0;         // the weekday row: titleBottom ... titleBottom + L + 1
  int gridTop = 0;            // T
  int rows = 0;               // R
  int ch = 0;                 // cell height: (H - T) / R
  int gridBottom = 0;
  int eventArea = 0;          // A
  bool jewishLine = false;    // the cells end in a date line of the other calendar
  Rect numberBox;             // in cell coordinates
  int textRight = 0;          // in cell coordinates
  int moonSize = 0;
  Point moon;                 // in cell coordinates
  int scrollStepX = 0, scrollStepY = 0;
  Rect yearLabel, title, previousCalendar, nextCalendar;  // in plane coordinates; the calendars empty when off

  // Day cells, in plane coordinates. A cell window stands one pixel inside the grid lines at its
  // left and top, so its size is (cw - 1) x (ch - 1).
  int Column(int day) const { return (shown.firstColumn + day - 1) % 7; }
  int Row(int day) const { return (shown.firstColumn + day - 1) / 7; }
  Rect CellRect(int day) const;
  // The weekday (0 Sunday) of a grid column.
  int WeekdayOfColumn(int column, int weekStart) const { return (column + weekStart) % 7; }
};

struct MonthLayoutInput {
  int width = 0, height = 0;  // the plane's size (never less than MonthMinimumSize)
  int scrollY = 0;            // vertical scroll offset when the plane itself does not move
  int year = 0, month = 0;    // primary calendar
  const ViewOptions* options = nullptr;
  MonthFontMeasures fonts;
};
MonthLayout LayOutMonth(const MonthLayoutInput& in);

// The smallest plane the month can be laid out in: below it the calendar window scrolls.
Size MonthMinimumSize(const MonthFontMeasures& fonts, const ViewOptions& options);

// The layout a cell paints with while it is enlarged: twice the cell in each direction, the
// text edge, the moon and the event area one cell further.
MonthLayout EnlargedCellLayout(const MonthLayout& layout);

// The rectangle of an enlarged cell: the cell grown by cw / 2 left and right and ch / 2 above and
// below, shifted back inside the window (left and top at least 0, right at most the client
// width, bottom at most the grid bottom).
Rect EnlargedCellRect(const Rect& cell, int cw, int ch, int clientWidth, int gridBottom);

// Texts of the title band and the weekday row.
std::string MonthTitleText(const DisplayedMonth& shown);          // "J A N U A R Y" or the Jewish spaced name
std::string YearLabelText(const DisplayedMonth& shown, bool smallCalendars);  // "%d" or "%s %d"
std::array<std::string, 7> WeekdayRow(int weekStart);

// The line of the other calendar under each day ("%d %s"): Jewish dates for a Gregorian month,
// Gregorian ones for a Jewish month. Index = day of the month.
std::array<std::string, 32> OtherCalendarLines(const DisplayedMonth& shown);

// The Gregorian date of a day of the displayed month.
DateStamp GregorianDateOf(const DisplayedMonth& shown, int day);

}  // namespace kv
