#include "views/year_layout.h"

#include <algorithm>

#include "calendar/jewish.h"
#include "overlays/day_assembly.h"
#include "resources/strings.h"
#include "views/small_calendar.h"

namespace kv {

int YearViewMonthCount(const YearView& view) { return YearMonthCount(view.year, view.jewish); }

int YearViewColumns(const YearView& view) { return YearViewMonthCount(view) > 12 ? 5 : 4; }

YearView YearViewOf(const CalendarState& state) {
  YearView view;
  view.jewish = state.options.jewishPrimary;
  view.year = state.year;
  view.index = std::max(0, YearIndexOf(state.year, state.month, view.jewish));
  return view;
}

YearLayout LayOutYear(const Canvas& canvas, Size size, const YearView& view) {
  YearLayout out;
  out.size = size;
  out.count = YearViewMonthCount(view);
  out.columns = YearViewColumns(view);
  out.rows = 3;
  std::string year = std::to_string(view.year);
  int titleHeight = canvas.LineHeight(FontRole::Title) + 8;
  int titleWidth = canvas.TextWidth(FontRole::Title, year) + 32;
  out.title = Rect{(size.cx - titleWidth) / 2, kYearMargin, (size.cx + titleWidth) / 2, kYearMargin + titleHeight};
  int top = out.title.bottom + kYearMargin;
  int cw = std::max(1, (size.cx - 2 * kYearMargin) / out.columns);
  int ch = std::max(1, (size.cy - top - kYearMargin) / out.rows);
  int left = (size.cx - cw * out.columns) / 2;
  out.grid = Rect{left, top, left + cw * out.columns, top + ch * out.rows};
  for (int i = 0; i < out.count; ++i) {
    int c = i % out.columns, r = i / out.columns;
    Rect cell{left + c * cw, top + r * ch, left + (c + 1) * cw, top + (r + 1) * ch};
    out.cells[static_cast<size_t>(i)] = cell;
    // Inside the grid line and the room of the selection frame.
    out.calendars[static_cast<size_t>(i)] = Rect{cell.left + 4, cell.top + 4, cell.right - 3, cell.bottom - 3};
  }
  return out;
}

Size YearMinimumSize(const Canvas& canvas) {
  // Five columns of calendars wide enough for "30" in each of their seven columns, three rows
  // of eight text bands.
  int digit = std::max(1, canvas.TextWidth(FontRole::Small, "30"));
  int band = std::max(1, canvas.LineHeight(FontRole::Small));
  int cw = 7 * (digit + 4) + 7;
  int ch = 8 * band + 7;
  int title = canvas.LineHeight(FontRole::Title) + 8 + 2 * kYearMargin;
  return Size{5 * cw + 2 * kYearMargin, title + 3 * ch + kYearMargin};
}

int YearMonthAtPoint(const YearLayout& layout, Point p) {
  for (int i = 0; i < layout.count; ++i)
    if (layout.cells[static_cast<size_t>(i)].Contains(p)) return i;
  return -1;
}

void PaintYearSelection(Canvas& canvas, const YearLayout& layout, int index, const ViewOptions& options, bool erase) {
  if (index < 0 || index >= layout.count) return;
  const Rect& cell = layout.cells[static_cast<size_t>(index)];
  Rect frame{cell.left + 1, cell.top + 1, cell.right, cell.bottom};
  canvas.FrameRect(frame, Pen{erase ? options.colours.window : options.colours.highlight, 2});
}

void PaintYear(Canvas& canvas, const YearLayout& layout, const YearView& view, const ViewOptions& options,
               const std::array<std::array<uint8_t, 32>, kYearViewMaxMonths>& marks) {
  const ViewColours& colours = options.colours;
  canvas.FillRect(Rect{0, 0, layout.size.cx, layout.size.cy}, colours.theme);

  // The title box: window colour inside a frame, with a shadow to the right and below.
  Rect t = layout.title;
  canvas.FillRect(Rect{t.left + 3, t.top + 3, t.right + 3, t.bottom + 3}, colours.shadow);
  canvas.FillRect(t, colours.window);
  canvas.FrameRect(t, Pen{colours.windowText, 1});
  canvas.DrawTextInRect(FontRole::Title, t, std::to_string(view.year), colours.windowText,
                        kTextCentre | kTextVCentre | kTextSingleLine);

  if (view.jewish) ExamineJewishYear(view.year);
  for (int i = 0; i < layout.count; ++i) {
    const Rect& cell = layout.cells[static_cast<size_t>(i)];
    canvas.FillRect(cell, colours.window);
    SmallCalendarInput in = SmallCalendarFor(view.year, YearMonthAt(view.year, i, view.jewish), view.jewish, options);
    in.marks = marks[static_cast<size_t>(i)];
    PaintSmallCalendar(canvas, layout.calendars[static_cast<size_t>(i)], in);
  }

  // Grid lines around and between the months; the empty places after the thirteenth month
  // of a leap year keep the background.
  Pen grid{colours.grid, 1};
  for (int i = 0; i < layout.count; ++i) {
    const Rect& c = layout.cells[static_cast<size_t>(i)];
    canvas.DrawLine({c.left, c.top}, {c.right + 1, c.top}, grid);
    canvas.DrawLine({c.left, c.bottom}, {c.right + 1, c.bottom}, grid);
    canvas.DrawLine({c.left, c.top}, {c.left, c.bottom + 1}, grid);
    canvas.DrawLine({c.right, c.top}, {c.right, c.bottom + 1}, grid);
  }

  PaintYearSelection(canvas, layout, view.index, options, false);
}

std::array<std::array<uint8_t, 32>, kYearViewMaxMonths> AssembledYearMarks() {
  std::array<std::array<uint8_t, 32>, kYearViewMaxMonths> out{};
  const AssemblyState& s = Assembly();
  for (int i = 0; i < kYearViewMaxMonths && i < kYearSlotCount; ++i)
    out[static_cast<size_t>(i)] = s.slots[static_cast<size_t>(kSlotYearFirst + i)].marks;
  return out;
}

YearKeyResult YearViewKey(YearView& view, YearKey key) {
  YearKeyResult result;
  int count = YearViewMonthCount(view);
  int columns = YearViewColumns(view);
  int index = view.index;
  auto changeYear = [&](int step) {
    int first = view.jewish ? kYearViewFirstJewish : kYearViewFirstGregorian;
    int last = view.jewish ? kYearViewLastJewish : kYearViewLastGregorian;
    int year = view.year + step;
    if (year < first || year > last) return;
    view.year = year;
    // Leaving a leap year from its thirteenth month keeps the last month.
    view.index = std::min(view.index, YearViewMonthCount(view) - 1);
    result.used = result.yearChanged = true;
  };
  switch (key) {
    case YearKey::Space: result.used = result.open = true; return result;
    case YearKey::PageUp: changeYear(-1); return result;
    case YearKey::PageDown: changeYear(1); return result;
    case YearKey::Home: index = 0; break;
    case YearKey::End: index = count - 1; break;
    case YearKey::Left: index = std::max(0, index - 1); break;
    case YearKey::Right: index = std::min(count - 1, index + 1); break;
    case YearKey::Up: if (index - columns >= 0) index -= columns; break;
    case YearKey::Down: if (index + columns < count) index += columns; break;
  }
  if (index != view.index) {
    view.index = index;
    result.used = true;
  }
  return result;
}

DateStamp YearViewOpenDate(const YearView& view, int index, const CalendarState& state) {
  int month = YearMonthAt(view.year, index, view.jewish);
  if (month < 0) month = 1;
  bool holdsSelection = state.year == view.year && state.month == month &&
                        state.options.jewishPrimary == view.jewish && state.day > 0;
  int day = holdsSelection ? state.day : 1;
  if (view.jewish) {
    JewishDate j;
    j.year = view.year, j.month = month, j.day = day;
    return JewishToGregorian(j);
  }
  return DateStamp{view.year, static_cast<uint16_t>(month), static_cast<uint16_t>(day), 0, 0};
}

}  // namespace kv
