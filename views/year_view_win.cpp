// KVYearPlane: the year view. The plane paints the Theme background, the title box, the grid
// lines and the selection frame (portable PaintYear); each month is a KVSmCal child (ids 3 +
// position) so a month repaints on its own. Keys and the small calendars' clicks (message
// 1040) move the selection; Space and a double click open the month in the month view.
#include <array>

#include "base/canvas_gdi_win.h"
#include "base/win_handles.h"
#include "base/window_kit_win.h"
#include "overlays/day_assembly.h"
#include "resources/command_ids.h"
#include "views/calendar_panes_win.h"
#include "views/calendar_state.h"
#include "views/small_calendar.h"
#include "views/year_day_panes_win.h"
#include "views/year_layout.h"

namespace kv {
namespace {

constexpr int kViewMonth = 2;

void UseViewFonts(Canvas& canvas) {
  const FontTable& fonts = ViewFonts();
  for (size_t i = 0; i < kFontRoleCount; ++i) canvas.SetFont(static_cast<FontRole>(i), fonts[i]);
}

struct YearPlane {
  YearPlane(HWND h, const CREATESTRUCTA&) : window(h) {}

  HWND window;
  YearView view;
  YearLayout layout;
  std::array<HWND, kYearViewMaxMonths> months{};

  LRESULT Handle(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
      case WM_CREATE: OnCreate(h); return 0;
      case WM_SIZE: Arrange(); return 0;
      case WM_PAINT: OnPaint(h); return 0;
      case WM_ERASEBKGND: return 1;
      case WM_LBUTTONDOWN: SetFocus(GetParent(h)); return 0;
      case WM_KEYDOWN: return Key(static_cast<UINT>(wp)) ? 0 : DefWindowProcA(h, msg, wp, lp);
      case kMsgCalendarMove: return Move(wp, lp) ? 1 : 0;
      default: return DefWindowProcA(h, msg, wp, lp);
    }
  }

  void OnCreate(HWND h) {
    for (int i = 0; i < kYearViewMaxMonths; ++i) {
      months[static_cast<size_t>(i)] =
          CreateWindowExA(0, "KVSmCal", "", WS_CHILD, 0, 0, 0, 0, h,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(kSmallCalendarYearFirst + i)),
                          reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(h, GWLP_HINSTANCE)), nullptr);
    }
  }

  // The year's marks gathered again and the months placed in the grid.
  void Reload() {
    AssemblyOptions& a = Assembly().options;
    a.jewishMode = view.jewish;
    a.tabOverlay = Calendar().tabOverlay;
    AssembleYear(view.year);
    Arrange();
    InvalidateRect(window, nullptr, FALSE);
  }

  void Arrange() {
    RECT r;
    GetClientRect(window, &r);
    WindowDC dc(window);
    if (!dc) return;
    GdiCanvas canvas(dc.get());
    UseViewFonts(canvas);
    layout = LayOutYear(canvas, Size{r.right, r.bottom}, view);
    for (int i = 0; i < kYearViewMaxMonths; ++i) {
      HWND m = months[static_cast<size_t>(i)];
      if (!m) continue;
      if (i >= layout.count) {
        ShowWindow(m, SW_HIDE);
        continue;
      }
      const Rect& c = layout.calendars[static_cast<size_t>(i)];
      MoveWindow(m, c.left, c.top, c.Width(), c.Height(), TRUE);
      const MonthSlot& slot = Assembly().slots[static_cast<size_t>(kSlotYearFirst + i)];
      SmallCalendarInput in = SmallCalendarFor(view.year, YearMonthAt(view.year, i, view.jewish), view.jewish,
                                               Calendar().options);
      WPARAM offset = static_cast<WPARAM>(SmallCalendarColumn(in.firstWeekday, in.weekStart));
      SendMessageA(m, kMsgSmallCalendarSet, offset, static_cast<LPARAM>(i | (slot.length << 16)));
      ShowWindow(m, SW_SHOWNA);
      InvalidateRect(m, nullptr, FALSE);
    }
  }

  void OnPaint(HWND h) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    {
      GdiCanvas canvas(dc);
      UseViewFonts(canvas);
      PaintYear(canvas, layout, view, Calendar().options, AssembledYearMarks());
    }
    EndPaint(h, &ps);
  }

  // Moves the selection frame without repainting the months.
  void Select(int index) {
    if (index == view.index || index < 0 || index >= layout.count) return;
    WindowDC dc(window);
    if (dc) {
      GdiCanvas canvas(dc.get());
      PaintYearSelection(canvas, layout, view.index, Calendar().options, true);
      PaintYearSelection(canvas, layout, index, Calendar().options, false);
    }
    view.index = index;
  }

  void Open(int index) {
    SelectGregorianDate(YearViewOpenDate(view, index, Calendar()));
    CalendarDateChanged();
    ShowCalendarView(kViewMonth);
  }

  bool Apply(YearKey key) {
    int before = view.index;
    YearView next = view;
    YearKeyResult r = YearViewKey(next, key);
    if (!r.used) return false;
    if (r.open) {
      Open(view.index);
    } else if (r.yearChanged) {
      view = next;
      Reload();
    } else {
      view.index = before;
      Select(next.index);
    }
    return true;
  }

  bool Key(UINT vk) {
    switch (vk) {
      case VK_SPACE: return Apply(YearKey::Space);
      case VK_PRIOR: return Apply(YearKey::PageUp);
      case VK_NEXT: return Apply(YearKey::PageDown);
      case VK_HOME: return Apply(YearKey::Home);
      case VK_END: return Apply(YearKey::End);
      case VK_LEFT: return Apply(YearKey::Left);
      case VK_RIGHT: return Apply(YearKey::Right);
      case VK_UP: return Apply(YearKey::Up);
      case VK_DOWN: return Apply(YearKey::Down);
      default: return false;
    }
  }

  bool Move(WPARAM wp, LPARAM lp) {
    int index = static_cast<int>(lp);
    switch (wp) {
      case kYearSelectMonth: Select(index); return true;
      case kYearOpenMonth:
        if (index < 0 || index >= layout.count) return false;
        Select(index);
        Open(index);
        return true;
      case kYearPrevious: return Apply(YearKey::PageUp);
      case kYearNext: return Apply(YearKey::PageDown);
      default: return false;
    }
  }
};

HWND& Plane() {
  static HWND plane = nullptr;
  return plane;
}

YearPlane* PlaneState() { return Plane() && IsWindow(Plane()) ? StateOf<YearPlane>(Plane()) : nullptr; }

HWND Create(HWND calendar) {
  if (PlaneState()) return Plane();
  Plane() = CreateWindowExA(0, "KVYearPlane", "", WS_CHILD | WS_CLIPCHILDREN, 0, 0, 0, 0, calendar, nullptr,
                            reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(calendar, GWLP_HINSTANCE)), nullptr);
  return Plane();
}

Size MinimumSize() {
  HDC screen = GetDC(nullptr);
  Size size{600, 400};
  if (screen) {
    {
      GdiCanvas canvas(screen);
      UseViewFonts(canvas);
      size = YearMinimumSize(canvas);
    }
    ReleaseDC(nullptr, screen);
  }
  return size;
}

void Refresh() {
  YearPlane* p = PlaneState();
  if (!p || Calendar().year == 0) return;
  p->view = YearViewOf(Calendar());
  p->Reload();
}

bool KeyOf(UINT msg, WPARAM wp, LPARAM lp) {
  YearPlane* p = PlaneState();
  if (!p) return false;
  if (msg == kMsgCalendarMove) return p->Move(wp, lp);
  if (msg != WM_KEYDOWN) return false;
  return p->Key(static_cast<UINT>(wp));
}

}  // namespace

LRESULT CALLBACK YearPlaneProc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
  return StatefulWindowProc<YearPlane>(window, message, wp, lp);
}

const ViewPane& YearPane() {
  static const ViewPane pane{Create, MinimumSize, Refresh, KeyOf};
  return pane;
}

}  // namespace kv
