// One small month calendar: the month name centred at the top, a row of weekday initials from
// the configured first day of the week, and six rows of seven day numbers, red-letter weekends
// and marked days in the "Highlight" colour. The year view shows twelve or thirteen of them and
// the month view two in its header; both go through PaintSmallCalendar, so the two look alike.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "base/canvas.h"
#include "views/calendar_state.h"

namespace kv {

// What one small calendar shows. Everything is given; the calendar reads no module state.
struct SmallCalendarInput {
  std::string monthName;
  int days = 0;             // length of the month (0: nothing but the name is drawn)
  int firstWeekday = 0;     // weekday of day 1, 0 Sunday ... 6 Saturday
  int weekStart = 0;        // first column's weekday
  bool saturdayRed = false;
  bool sundayRed = true;
  std::array<uint8_t, 32> marks{};  // [day] != 0: a highlighted event falls there
  Colour text = MakeColour(0, 0, 0);
  Colour highlight = MakeColour(255, 0, 0);
  Colour background = kTransparent;  // filled first unless transparent
  FontRole titleRole = FontRole::Small;
  FontRole numberRole = FontRole::Small;
};

// Where everything of a small calendar goes inside its bounds: eight equal bands (name,
// initials, six week rows) and seven equal columns.
struct SmallCalendarLayout {
  Rect bounds;
  Rect title;
  std::array<Rect, 7> initials{};
  int firstColumn = 0;          // column of day 1
  std::array<Rect, 32> day{};   // [day], 1 ... days; empty for days the month does not have
};

// The column (0 ... 6) of day 1 for a first weekday and a week start.
int SmallCalendarColumn(int firstWeekday, int weekStart);
SmallCalendarLayout LayOutSmallCalendar(const Rect& bounds, const SmallCalendarInput& input);
// The colour day `day` is drawn in.
Colour SmallCalendarDayColour(const SmallCalendarInput& input, int day);
// The day under a point, 0 for none.
int SmallCalendarDayAt(const SmallCalendarLayout& layout, Point p);
void PaintSmallCalendar(Canvas& canvas, const Rect& bounds, const SmallCalendarInput& input);

// The input for a month of the primary calendar (Gregorian, or the Jewish month 1 ... 13 when
// `jewish`), in the options' week start, red-letter days and colours; marks are left empty.
// An invalid month gives an input with no days.
SmallCalendarInput SmallCalendarFor(int year, int month, bool jewish, const ViewOptions& options);

}  // namespace kv
