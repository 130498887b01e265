// KVSmCal: one small month calendar. It paints the month of its day-assembly slot (the month
// view's prior and next month for ids 0 and 1, the year view's months from id 3 on) through
// PaintSmallCalendar. A click in the year view selects its month, a double click opens it; in
// the month view's header a double click moves the month view one month back or forward.
#include "views/year_day_panes_win.h"

#include "base/canvas_gdi_win.h"
#include "base/window_kit_win.h"
#include "calendar/jewish.h"
#include "overlays/day_assembly.h"
#include "resources/command_ids.h"
#include "views/calendar_panes_win.h"
#include "views/calendar_state.h"
#include "views/small_calendar.h"

namespace kv {

int SmallCalendarSlot(int controlId) {
  if (controlId == kSmallCalendarPrior) return kSlotPrevious;
  if (controlId == kSmallCalendarNext) return kSlotNext;
  if (controlId >= kSmallCalendarYearFirst && controlId < kSmallCalendarYearFirst + kYearSlotCount)
    return kSlotYearFirst + controlId - kSmallCalendarYearFirst;
  return -1;
}

namespace {

struct SmallCalendar {
  SmallCalendar(HWND, const CREATESTRUCTA&) {}

  // What message 1029 set: the first-day offset, and the month's position with its length.
  LONG_PTR offset = 0;
  LONG_PTR indexAndDays = 0;

  LRESULT Handle(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
      case kMsgSmallCalendarSet: OnSet(h, wp, lp); return 0;
      case WM_PAINT: OnPaint(h); return 0;
      case WM_ERASEBKGND: return 1;
      case WM_LBUTTONDOWN: OnClick(h, false); return 0;
      case WM_LBUTTONDBLCLK: OnClick(h, true); return 0;
      default: return DefWindowProcA(h, msg, wp, lp);
    }
  }

  void OnSet(HWND h, WPARAM wp, LPARAM lp) {
    offset = static_cast<LONG_PTR>(wp);
    indexAndDays = static_cast<LONG_PTR>(lp);
    InvalidateRect(h, nullptr, FALSE);
  }

  SmallCalendarInput Input(HWND h) const {
    const ViewOptions& options = Calendar().options;
    int slot = SmallCalendarSlot(GetDlgCtrlID(h));
    if (slot < 0) return SmallCalendarInput{};
    const MonthSlot& m = Assembly().slots[static_cast<size_t>(slot)];
    if (m.length == 0) return SmallCalendarInput{};
    if (m.jewish) ExamineJewishYear(m.year);
    SmallCalendarInput in = SmallCalendarFor(m.year, m.month, m.jewish, options);
    in.marks = m.marks;
    in.background = options.colours.window;
    return in;
  }

  void OnPaint(HWND h) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    {
      RECT r;
      GetClientRect(h, &r);
      GdiCanvas canvas(dc);
      const FontTable& fonts = ViewFonts();
      for (size_t i = 0; i < kFontRoleCount; ++i) canvas.SetFont(static_cast<FontRole>(i), fonts[i]);
      SmallCalendarInput in = Input(h);
      Rect bounds{0, 0, r.right, r.bottom};
      canvas.FillRect(bounds, Calendar().options.colours.window);
      if (in.days > 0) PaintSmallCalendar(canvas, bounds, in);
    }
    EndPaint(h, &ps);
  }

  void OnClick(HWND h, bool twice) {
    int id = GetDlgCtrlID(h);
    HWND calendar = CalendarWindow();
    if (id >= kSmallCalendarYearFirst) {
      if (calendar) SendMessageA(calendar, kMsgCalendarMove, twice ? kYearOpenMonth : kYearSelectMonth, id - kSmallCalendarYearFirst);
      return;
    }
    if (!twice || (id != kSmallCalendarPrior && id != kSmallCalendarNext)) return;
    // The month view's header: one month back or forward, day 1 selected.
    if (GoToMonth(id == kSmallCalendarPrior ? 0 : 1, true)) CalendarDateChanged();
  }
};

}  // namespace

LRESULT CALLBACK SmallCalendarProc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
  return StatefulWindowProc<SmallCalendar>(window, message, wp, lp);
}

}  // namespace kv
