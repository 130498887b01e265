#include "datebox/date_popup.h"

#include <algorithm>

#include "calendar/dates.h"
#include "calendar/jewish.h"

namespace kv {
namespace {

constexpr int kFirstYear = 1583;
constexpr int kLastYear = 9999;

bool InRange(const TypedDate& d, bool jewish) {
  return jewish ? d.year >= kFirstJewishYear && d.year <= kLastJewishYear : d.year >= kFirstYear && d.year <= kLastYear;
}

}  // namespace

DatePopupGeometry DatePopupLayout(int w, int h) {
  DatePopupGeometry g;
  g.size = {22 * w, (25 * h) / 2 + 4};
  g.grid.left = w / 2;
  g.grid.top = (7 * h) / 2 + 3;
  g.grid.right = 21 * w + w / 2;
  g.grid.bottom = g.grid.top + (35 * h) / 4 + 1;
  g.cellWidth = 3 * w;
  g.cellHeight = (3 * h) / 2;
  // The header band: the month title with a square arrow at each end.
  int band = (3 * h) / 2 + 2;
  g.header = {g.grid.left, 2, g.grid.right, 2 + band};
  g.previous = {g.header.left, g.header.top, g.header.left + band, g.header.bottom};
  g.next = {g.header.right - band, g.header.top, g.header.right, g.header.bottom};
  g.header.left = g.previous.right;
  g.header.right = g.next.left;
  g.weekdays = {g.grid.left, g.grid.top - g.cellHeight, g.grid.right, g.grid.top - 1};
  return g;
}

Point DatePopupPosition(const Rect& control, const Size& popup, int screenBottom) {
  Point p{control.right - popup.cx, control.bottom - 1};
  if (p.x < control.left) p.x += (control.left - p.x) / 2;
  if (p.y + popup.cy > screenBottom) p.y = control.top - popup.cy + 1;
  return p;
}

GridCell DayCell(int firstColumn, int day) {
  int i = firstColumn + day - 1;
  return {i % 7, i / 7};
}

Rect DaySquare(const DatePopupGeometry& g, int firstColumn, int day) {
  GridCell c = DayCell(firstColumn, day);
  int left = g.grid.left + c.column * g.cellWidth;
  int top = g.grid.top + c.row * g.cellHeight;
  return {left, top, left + g.cellWidth, top + g.cellHeight};
}

int DayAt(const DatePopupGeometry& g, int firstColumn, int monthLength, Point p) {
  if (g.cellWidth <= 0 || g.cellHeight <= 0 || p.x < g.grid.left || p.y < g.grid.top) return 0;
  int column = (p.x - g.grid.left) / g.cellWidth;
  int row = (p.y - g.grid.top) / g.cellHeight;
  if (column > 6) return 0;
  int day = row * 7 + column - firstColumn + 1;
  return day >= 1 && day <= monthLength ? day : 0;
}

int PopupMonthLength(int year, int month, bool jewish) {
  return jewish ? JewishMonthLength(month, year) : MonthLength(month, year);
}

int PopupFirstColumn(int year, int month, bool jewish, int weekStart) {
  int weekday;
  if (jewish) {
    DateStamp g = JewishToGregorian(JewishDate{year, month, 1});
    weekday = Weekday(g.month, g.day, g.year);
  } else {
    weekday = Weekday(month, 1, year);
  }
  return ((weekday - weekStart) % 7 + 7) % 7;
}

TypedDate PopupPreviousMonth(const TypedDate& d, bool jewish) {
  TypedDate out = d;
  if (jewish) {
    if (d.month == kTishrei) --out.year;
    out.month = PreviousJewishMonth(d.month, IsJewishLeapYear(out.year));
  } else if (--out.month < 1) {
    out.month = 12;
    --out.year;
  }
  out.day = std::min(d.day, PopupMonthLength(out.year, out.month, jewish));
  return out;
}

TypedDate PopupNextMonth(const TypedDate& d, bool jewish) {
  TypedDate out = d;
  if (jewish) {
    out.month = NextJewishMonth(d.month, IsJewishLeapYear(d.year));
    if (out.month == kTishrei) ++out.year;
  } else if (++out.month > 12) {
    out.month = 1;
    ++out.year;
  }
  out.day = std::min(d.day, PopupMonthLength(out.year, out.month, jewish));
  return out;
}

TypedDate MovePopupDate(const TypedDate& d, PopupKey key, bool jewish) {
  int length = PopupMonthLength(d.year, d.month, jewish);
  TypedDate out = d;
  switch (key) {
    case PopupKey::PageUp: out = PopupPreviousMonth(d, jewish); break;
    case PopupKey::PageDown: out = PopupNextMonth(d, jewish); break;
    case PopupKey::Home: out.day = 1; break;
    case PopupKey::End: out.day = length; break;
    case PopupKey::Left:
      if (d.day > 1) {
        --out.day;
      } else {
        out = PopupPreviousMonth(d, jewish);
        out.day = PopupMonthLength(out.year, out.month, jewish);
      }
      break;
    case PopupKey::Right:
      if (d.day < length) {
        ++out.day;
      } else {
        out = PopupNextMonth(d, jewish);
        out.day = 1;
      }
      break;
    case PopupKey::Up:
      if (d.day > 7) {
        out.day -= 7;
      } else {
        out = PopupPreviousMonth(d, jewish);
        out.day = d.day + PopupMonthLength(out.year, out.month, jewish) - 7;
      }
      break;
    case PopupKey::Down:
      if (d.day + 7 <= length) {
        out.day += 7;
      } else {
        out = PopupNextMonth(d, jewish);
        out.day = d.day + 7 - length;
      }
      break;
  }
  return InRange(out, jewish) ? out : d;
}

}  // namespace kv
