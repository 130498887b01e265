#include "views/small_calendar.h"

#include <string_view>

#include "calendar/jewish.h"
#include "resources/strings.h"

namespace kv {

int SmallCalendarColumn(int firstWeekday, int weekStart) { return ((firstWeekday - weekStart) % 7 + 7) % 7; }

SmallCalendarLayout LayOutSmallCalendar(const Rect& bounds, const SmallCalendarInput& input) {
  SmallCalendarLayout out;
  out.bounds = bounds;
  int band = bounds.Height() / 8;
  int column = bounds.Width() / 7;
  // The leftover pixels of the integer division are shared out on both sides, so a calendar
  // sits in the middle of its cell.
  int left = bounds.left + (bounds.Width() - 7 * column) / 2;
  int top = bounds.top + (bounds.Height() - 8 * band) / 2;
  out.title = Rect{bounds.left, top, bounds.right, top + band};
  for (int c = 0; c < 7; ++c)
    out.initials[static_cast<size_t>(c)] = Rect{left + c * column, top + band, left + (c + 1) * column, top + 2 * band};
  out.firstColumn = SmallCalendarColumn(input.firstWeekday, input.weekStart);
  int days = input.days < 0 ? 0 : (input.days > 31 ? 31 : input.days);
  for (int d = 1; d <= days; ++d) {
    int cell = out.firstColumn + d - 1;
    int c = cell % 7, r = cell / 7;
    out.day[static_cast<size_t>(d)] =
        Rect{left + c * column, top + (2 + r) * band, left + (c + 1) * column, top + (3 + r) * band};
  }
  return out;
}

Colour SmallCalendarDayColour(const SmallCalendarInput& input, int day) {
  int weekday = (input.firstWeekday + day - 1) % 7;
  bool red = (weekday == 0 && input.sundayRed) || (weekday == 6 && input.saturdayRed) ||
             (day >= 1 && day <= 31 && input.marks[static_cast<size_t>(day)]);
  return red ? input.highlight : input.text;
}

int SmallCalendarDayAt(const SmallCalendarLayout& layout, Point p) {
  for (int d = 1; d <= 31; ++d)
    if (!layout.day[static_cast<size_t>(d)].Empty() && layout.day[static_cast<size_t>(d)].Contains(p)) return d;
  return 0;
}

void PaintSmallCalendar(Canvas& canvas, const Rect& bounds, const SmallCalendarInput& input) {
  if (input.background != kTransparent) canvas.FillRect(bounds, input.background);
  SmallCalendarLayout layout = LayOutSmallCalendar(bounds, input);
  constexpr unsigned kCentred = kTextCentre | kTextVCentre | kTextSingleLine;
  canvas.DrawTextInRect(input.titleRole, layout.title, input.monthName, input.text, kCentred | kTextEndEllipsis);
  // "SMTWTFS": one initial per weekday, Sunday first.
  std::string_view initials = StringText(IDS_WEEKDAY_INITIALS);
  for (int c = 0; c < 7; ++c) {
    size_t weekday = static_cast<size_t>((input.weekStart + c) % 7);
    std::string_view letter = weekday < initials.size() ? initials.substr(weekday, 1) : std::string_view();
    canvas.DrawTextInRect(input.numberRole, layout.initials[static_cast<size_t>(c)], letter, input.text, kCentred);
  }
  for (int d = 1; d <= 31; ++d) {
    const Rect& r = layout.day[static_cast<size_t>(d)];
    if (r.Empty()) continue;
    canvas.DrawTextInRect(input.numberRole, r, std::to_string(d), SmallCalendarDayColour(input, d), kCentred);
  }
}

SmallCalendarInput SmallCalendarFor(int year, int month, bool jewish, const ViewOptions& options) {
  SmallCalendarInput in;
  in.weekStart = options.weekStart;
  in.saturdayRed = options.saturdayRed;
  in.sundayRed = options.sundayRed;
  in.text = options.colours.windowText;
  in.highlight = options.colours.highlight;
  if (jewish) {
    JewishDate first;
    first.year = year, first.month = month, first.day = 1;
    if (!IsValidJewishDate(first)) return in;
    in.monthName = JewishMonthName(month, IsJewishLeapYear(year));
    in.days = JewishMonthLength(month, year);
    DateStamp g = JewishToGregorian(first);
    in.firstWeekday = Weekday(g.month, g.day, g.year);
  } else {
    if (month < 1 || month > 12 || year < 1 || year > 9999) return in;
    in.monthName = std::string(StringText(IDS_MONTH_FIRST + month - 1));
    in.days = MonthLength(month, year);
    in.firstWeekday = Weekday(month, 1, year);
  }
  return in;
}

}  // namespace kv
