// KVDayPlane: the day view. The page (portable day_page) is gathered and laid out on refresh
// and painted through GdiCanvas; the focus line follows the keys, and a double click or Space
// opens what the line stands for through the editors other modules install. A missing editor
// beeps: never a dead click, never a crash.
#include <vector>

#include "base/canvas_gdi_win.h"
#include "base/command_table.h"
#include "base/dpi_win.h"
#include "base/win_handles.h"
#include "base/window_kit_win.h"
#include "overlays/day_entry.h"
#include "resources/command_ids.h"
#include "views/calendar_panes_win.h"
#include "views/calendar_state.h"
#include "views/day_page.h"
#include "views/year_day_panes_win.h"

namespace kv {
namespace {

void UseViewFonts(Canvas& canvas) {
  const FontTable& fonts = ViewFonts();
  for (size_t i = 0; i < kFontRoleCount; ++i) canvas.SetFont(static_cast<FontRole>(i), fonts[i]);
}

struct DayPlane {
  DayPlane(HWND h, const CREATESTRUCTA&) : window(h) {}

  HWND window;
  std::vector<DayLine> lines;
  DayPageLayout layout;
  int focus = -1;

  LRESULT Handle(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
      case WM_SIZE: Lay(); return 0;
      case WM_PAINT: OnPaint(h); return 0;
      case WM_ERASEBKGND: return 1;
      case WM_LBUTTONDOWN: OnClick(lp); return 0;
      case WM_LBUTTONDBLCLK: OnDoubleClick(lp); return 0;
      case WM_KEYDOWN: return Key(static_cast<UINT>(wp)) ? 0 : DefWindowProcA(h, msg, wp, lp);
      default: return DefWindowProcA(h, msg, wp, lp);
    }
  }

  int Margin() const { return WindowDpi(window) / 8; }

  void Gather() {
    const CalendarState& s = Calendar();
    if (s.year == 0) {
      lines.clear();
    } else {
      std::vector<const DayEntry*> entries = AssembledDayEntries(s);
      lines = BuildDayLines(GatherDayPage(s.date, s.options, entries));
    }
    if (focus < 0 || focus >= static_cast<int>(lines.size()) || !lines[static_cast<size_t>(focus)].focusable)
      focus = FirstFocusLine(lines);
    Lay();
  }

  void Lay() {
    RECT r;
    GetClientRect(window, &r);
    WindowDC dc(window);
    if (!dc) return;
    GdiCanvas canvas(dc.get());
    UseViewFonts(canvas);
    layout = LayOutDayPage(canvas, r.right, lines, Margin());
    InvalidateRect(window, nullptr, FALSE);
  }

  void OnPaint(HWND h) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    {
      RECT r;
      GetClientRect(h, &r);
      GdiCanvas canvas(dc);
      UseViewFonts(canvas);
      const ViewOptions& options = Calendar().options;
      // Below the page the window colour goes on.
      canvas.FillRect(Rect{0, layout.height, r.right, r.bottom}, options.colours.window);
      canvas.FillRect(Rect{layout.width, 0, r.right, layout.height}, options.colours.window);
      PaintDayPage(canvas, layout, lines, focus, options);
    }
    EndPaint(h, &ps);
  }

  static Point At(LPARAM lp) {
    return Point{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
  }

  void SetFocusLine(int line) {
    if (line == focus) return;
    focus = line;
    InvalidateRect(window, nullptr, FALSE);
  }

  void OnClick(LPARAM lp) {
    SetFocus(GetParent(window));
    DayHit hit = DayPageHit(layout, lines, At(lp));
    if (hit.line >= 0) SetFocusLine(hit.line);
  }

  void OnDoubleClick(LPARAM lp) {
    DayHit hit = DayPageHit(layout, lines, At(lp));
    if (hit.line >= 0) SetFocusLine(hit.line);
    Act(hit.action, hit.line);
  }

  void Act(DayAction action, int line) {
    const DateStamp& day = Calendar().date;
    ViewEditors& editors = Editors();
    int32_t ref = line >= 0 && line < static_cast<int>(lines.size()) ? lines[static_cast<size_t>(line)].ref : 0;
    bool done = false;
    switch (action) {
      case DayAction::OpenEntry:
        // A time change is not an event of any overlay: it cannot be opened.
        if (ref != kTimeChangeSource && editors.openOverlayEvent) editors.openOverlayEvent(ref, day), done = true;
        break;
      case DayAction::QuickEdit: done = RunCommand(CMD_QUICK_EDIT); break;
      case DayAction::OpenSchedule:
        if (editors.openScheduleItem) editors.openScheduleItem(ref, day), done = true;
        break;
      case DayAction::NewSchedule:
        if (editors.newScheduleItem) editors.newScheduleItem(day, -1, -1), done = true;
        break;
      case DayAction::OpenToDo:
        if (editors.openToDoItem) editors.openToDoItem(static_cast<int>(ref)), done = true;
        break;
      case DayAction::None: return;
    }
    if (!done) MessageBeep(MB_OK);
  }

  bool Key(UINT vk) {
    DayKey key;
    switch (vk) {
      case VK_UP: key = DayKey::Up; break;
      case VK_DOWN: key = DayKey::Down; break;
      case VK_HOME: key = DayKey::Home; break;
      case VK_END: key = DayKey::End; break;
      case VK_PRIOR: key = DayKey::PageUp; break;
      case VK_NEXT: key = DayKey::PageDown; break;
      case VK_SPACE: key = DayKey::Space; break;
      default: return false;
    }
    DayKeyResult r = DayPageKey(lines, focus, key);
    if (r.beep) MessageBeep(MB_OK);
    SetFocusLine(r.focus);
    if (r.act) Act(DayLineAction(lines, focus), focus);
    return true;
  }
};

HWND& Plane() {
  static HWND plane = nullptr;
  return plane;
}

DayPlane* PlaneState() { return Plane() && IsWindow(Plane()) ? StateOf<DayPlane>(Plane()) : nullptr; }

HWND Create(HWND calendar) {
  if (PlaneState()) return Plane();
  Plane() = CreateWindowExA(0, "KVDayPlane", "", WS_CHILD, 0, 0, 0, 0, calendar, nullptr,
                            reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(calendar, GWLP_HINSTANCE)), nullptr);
  return Plane();
}

Size MinimumSize() {
  DayPlane* p = PlaneState();
  HDC screen = GetDC(nullptr);
  Size size{480, 360};
  if (screen) {
    {
      GdiCanvas canvas(screen);
      UseViewFonts(canvas);
      int margin = WindowDpi(p ? p->window : nullptr) / 8;
      size.cx = DayPageMinimumWidth(canvas, margin);
      if (p) size.cy = LayOutDayPage(canvas, size.cx, p->lines, margin).height;
    }
    ReleaseDC(nullptr, screen);
  }
  return size;
}

void Refresh() {
  if (DayPlane* p = PlaneState()) p->Gather();
}

bool KeyOf(UINT msg, WPARAM wp, LPARAM) {
  DayPlane* p = PlaneState();
  if (p && msg == kMsgCalendarMove && (wp == kMoveBack || wp == kMoveForward)) {
    // The toolbar's Move back and forward step one day.
    StepSelectedDate(wp == kMoveForward ? 1 : -1);
    CalendarDateChanged();
    return true;
  }
  if (!p || msg != WM_KEYDOWN) return false;
  return p->Key(static_cast<UINT>(wp));
}

}  // namespace

LRESULT CALLBACK DayPlaneProc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
  return StatefulWindowProc<DayPlane>(window, message, wp, lp);
}

const ViewPane& DayPane() {
  static const ViewPane pane{Create, MinimumSize, Refresh, KeyOf};
  return pane;
}

}  // namespace kv
