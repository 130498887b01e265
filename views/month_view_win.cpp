#include "views/month_view_win.h"

#include <algorithm>
#include <array>
#include <string>

#include "base/canvas_gdi_win.h"
#include "base/command_table.h"
#include "base/win_handles.h"
#include "base/window_kit_win.h"
#include "overlays/day_assembly.h"
#include "resources/command_ids.h"
#include "resources/strings.h"
#include "sky/reference.h"
#include "views/calendar_panes_win.h"
#include "views/calendar_state.h"
#include "views/month_keys.h"
#include "views/month_layout.h"
#include "views/month_paint.h"
#include "views/sky_moon_source.h"

namespace kv {
namespace {

constexpr int kEnlargeCommand = 50, kDayViewCommand = 51, kQuickEditCommand = 52;
constexpr int kYearView = 1, kDayView = 4;

// What was gathered and laid out last; a refresh with the same key only moves the selection.
struct MonthKeyOfLayout {
  int year = 0, month = 0, width = 0, height = 0;
  friend bool operator==(const MonthKeyOfLayout&, const MonthKeyOfLayout&) = default;
};

struct MonthView {
  HWND plane = nullptr;
  HWND yearLabel = nullptr;
  HWND title = nullptr;
  std::array<HWND, 2> smallCalendars{};
  std::array<HWND, 31> cells{};
  MonthLayout layout;
  MonthKeyOfLayout laidOut;
  std::array<std::string, 32> otherDates;
  int paintedSelection = 0;    // the day whose cell shows the selection frame
  int enlarged = 0;            // the enlarged day, 0 = none
  bool enlargedByMouse = false;
};

MonthView& M() {
  static MonthView view;
  return view;
}

void ApplyFonts(Canvas& canvas) {
  const FontTable& fonts = ViewFonts();
  for (size_t r = 0; r < kFontRoleCount; ++r)
    if (!fonts[r].face.empty()) canvas.SetFont(static_cast<FontRole>(r), fonts[r]);
}

MonthFontMeasures ScreenMeasures() {
  HWND any = M().plane ? M().plane : GetDesktopWindow();
  WindowDC dc(any);
  GdiCanvas canvas(dc.get());
  ApplyFonts(canvas);
  return MeasureMonthFonts(canvas);
}

int DayOfCell(HWND cell) { return GetDlgCtrlID(cell) + 1; }

HWND CellOfDay(int day) { return day >= 1 && day <= 31 ? M().cells[static_cast<size_t>(day - 1)] : nullptr; }

void InvalidateDay(int day) {
  if (HWND cell = CellOfDay(day)) InvalidateRect(cell, nullptr, FALSE);
}

void PlaceWindow(HWND w, const Rect& r, bool show) {
  if (!w) return;
  SetWindowPos(w, nullptr, r.left, r.top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE | (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

// Tells the small calendars their months: the first day's column, the month index and its length.
void SetSmallCalendars() {
  MonthView& m = M();
  const ViewOptions& o = Calendar().options;
  for (int which = 0; which < 2; ++which) {
    int year = m.layout.shown.year, month = m.layout.shown.month;
    if (which == 0) PreviousMonth(year, month, o.jewishPrimary);
    else NextMonth(year, month, o.jewishPrimary);
    DisplayedMonth d = DescribeMonth(year, month, o.jewishPrimary, o.weekStart);
    if (HWND cal = m.smallCalendars[static_cast<size_t>(which)])
      SendMessageA(cal, kMsgSmallCalendarSet, static_cast<WPARAM>(d.firstColumn), MAKELPARAM(month - 1, d.length));
  }
}

void ShrinkEnlarged() {
  MonthView& m = M();
  if (!m.enlarged) return;
  int day = m.enlarged;
  m.enlarged = 0;
  m.enlargedByMouse = false;
  if (HWND cell = CellOfDay(day)) {
    Rect r = m.layout.CellRect(day);
    SetWindowPos(cell, HWND_BOTTOM, r.left, r.top, r.Width(), r.Height(), SWP_NOACTIVATE);
    InvalidateRect(cell, nullptr, FALSE);
  }
}

void Enlarge(int day, bool byMouse) {
  MonthView& m = M();
  ShrinkEnlarged();
  HWND cell = CellOfDay(day);
  if (!cell || m.layout.cw <= 0) return;
  RECT client;
  GetClientRect(m.plane, &client);
  Rect big = EnlargedCellRect(m.layout.CellRect(day), m.layout.cw, m.layout.ch, static_cast<int>(client.right), m.layout.gridBottom);
  m.enlarged = day;
  m.enlargedByMouse = byMouse;
  SetWindowPos(cell, HWND_TOP, big.left, big.top, big.Width(), big.Height(), SWP_NOACTIVATE);
  InvalidateRect(cell, nullptr, FALSE);
  if (byMouse) {
    TRACKMOUSEEVENT t{sizeof t, TME_LEAVE, cell, 0};
    TrackMouseEvent(&t);
  }
}

// Gathers the three months and lays the plane out; the windows follow.
void LayOutAll() {
  MonthView& m = M();
  if (!m.plane) return;
  const CalendarState& s = Calendar();
  if (s.year == 0) return;
  const ViewOptions& o = s.options;
  RECT client;
  GetClientRect(m.plane, &client);
  ShrinkEnlarged();
  // Daylight time of the shown year decides the candle-lighting and Havdalah hours.
  if (o.hasReference) SetDisplayedYear(s.date.year);
  AssemblyOptions& a = Assembly().options;
  a.jewishMode = o.jewishPrimary;
  a.tabOverlay = s.tabOverlay;
  a.timeChanges = o.timeChanges;
  a.clockIcons = o.clockIcons;
  a.notesIndicator = o.notesIndicator;
  a.moonPhases = o.moonPhases != 0 && o.hasReference;
  SetMoonPhaseSource(a.moonPhases ? &ProgramMoonPhases() : nullptr);
  RecomputeDisplayedMonths(s.year, s.month);

  MonthLayoutInput in;
  in.width = static_cast<int>(client.right), in.height = static_cast<int>(client.bottom), in.year = s.year, in.month = s.month, in.options = &o;
  in.fonts = ScreenMeasures();
  m.layout = LayOutMonth(in);
  m.laidOut = {s.year, s.month, static_cast<int>(client.right), static_cast<int>(client.bottom)};
  m.otherDates = m.layout.jewishLine ? OtherCalendarLines(m.layout.shown) : std::array<std::string, 32>{};
  m.paintedSelection = s.day;

  PlaceWindow(m.yearLabel, m.layout.yearLabel, true);
  PlaceWindow(m.title, m.layout.title, true);
  for (int i = 0; i < 2; ++i) {
    Rect r = i == 0 ? m.layout.previousCalendar : m.layout.nextCalendar;
    PlaceWindow(m.smallCalendars[static_cast<size_t>(i)], r, o.smallCalendars && !r.Empty());
  }
  for (int d = 1; d <= 31; ++d) PlaceWindow(CellOfDay(d), m.layout.CellRect(d), d <= m.layout.shown.length);
  SetSmallCalendars();
  RedrawWindow(m.plane, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

// The month pane's refresh: a new month, size or option lays everything out again; a moved
// selection repaints the two cells concerned.
void Refresh() {
  MonthView& m = M();
  if (!m.plane) return;
  const CalendarState& s = Calendar();
  RECT client;
  GetClientRect(m.plane, &client);
  MonthKeyOfLayout now{s.year, s.month, static_cast<int>(client.right), static_cast<int>(client.bottom)};
  if (!(now == m.laidOut)) {
    LayOutAll();
    return;
  }
  if (m.paintedSelection != s.day) {
    InvalidateDay(m.paintedSelection);
    InvalidateDay(s.day);
    m.paintedSelection = s.day;
  }
}

void SelectFromCell(int day) {
  SetFocus(CalendarWindow());
  if (day == Calendar().day) return;
  SelectDay(day);
  CalendarDateChanged();
}

void RunCellCommand(int command, int day) {
  if (command != kEnlargeCommand) ShrinkEnlarged();
  switch (command) {
    case kEnlargeCommand: Enlarge(day, true); break;
    case kDayViewCommand: ShowCalendarView(kDayView); break;
    case kQuickEditCommand:
      if (!RunCommand(CMD_QUICK_EDIT)) MessageBeep(MB_ICONEXCLAMATION);
      break;
    default: break;
  }
}

void ShowCellMenu(HWND cell, int day, POINT screen) {
  HMENU menu = CreatePopupMenu();
  if (!menu) return;
  if (M().enlarged != day) AppendMenuA(menu, MF_STRING, kEnlargeCommand, std::string(StringText(1127)).c_str());
  AppendMenuA(menu, MF_STRING, kDayViewCommand, std::string(StringText(1105)).c_str());
  AppendMenuA(menu, MF_STRING | (CommandAvailable(CMD_QUICK_EDIT) ? 0u : MF_GRAYED), kQuickEditCommand,
              std::string(StringText(1106)).c_str());
  int chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x, screen.y, 0, cell, nullptr);
  DestroyMenu(menu);
  if (chosen) RunCellCommand(chosen, day);
}

void OnCellDoubleClick(HWND cell, Point p) {
  int day = DayOfCell(cell);
  if (M().layout.numberBox.Contains(p)) {
    ShrinkEnlarged();
    ShowCalendarView(kDayView);
    return;
  }
  const DayEntry* e = EntryAtPoint(MutableDayEntries(day), p);
  DateStamp date = Calendar().date;
  ViewEditors& editors = Editors();
  if (e && e->source < 0 && editors.openScheduleItem) {
    editors.openScheduleItem(-e->source, date);
  } else if (e && e->source >= 0 && editors.openOverlayEvent) {
    editors.openOverlayEvent(e->source, date);
  } else if (e) {
    MessageBeep(MB_ICONEXCLAMATION);  // its editor is not installed
  } else if (!RunCommand(CMD_QUICK_EDIT)) {
    MessageBeep(MB_ICONEXCLAMATION);
  }
}

void PaintCell(HWND cell) {
  MonthView& m = M();
  PaintDC dc(cell);
  int day = DayOfCell(cell);
  if (day < 1 || day > m.layout.shown.length) return;
  RECT client;
  GetClientRect(cell, &client);
  // Drawn off screen first, so a repaint does not flicker.
  MemoryDC memory(dc.get());
  GdiBitmap bitmap(CreateCompatibleBitmap(dc.get(), std::max<int>(1, client.right), std::max<int>(1, client.bottom)));
  SelectedObject selected(memory.get(), bitmap.get());
  {
    GdiCanvas canvas(memory.get());
    ApplyFonts(canvas);
    const MonthLayout layout = m.enlarged == day ? EnlargedCellLayout(m.layout) : m.layout;
    DayCellInput input = DayCellFromAssembly(layout, day, Calendar().day, m.otherDates);
    input.size = Size{static_cast<int>(client.right), static_cast<int>(client.bottom)};
    PaintDayCell(canvas, layout, Calendar().options, input, MutableDayEntries(day));
  }
  BitBlt(dc.get(), 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
}

void PaintPlane(HWND plane) {
  PaintDC dc(plane);
  GdiCanvas canvas(dc.get());
  ApplyFonts(canvas);
  PaintMonthPlane(canvas, M().layout, Calendar().options);
}

template <class PaintBody>
void PaintLabel(HWND window, PaintBody body) {
  PaintDC dc(window);
  RECT client;
  GetClientRect(window, &client);
  GdiCanvas canvas(dc.get());
  ApplyFonts(canvas);
  body(canvas, Rect{0, 0, static_cast<int>(client.right), static_cast<int>(client.bottom)});
}

HWND Child(HWND parent, const char* cls, int id, DWORD style = 0) {
  return CreateWindowExA(0, cls, "", WS_CHILD | WS_CLIPSIBLINGS | style, 0, 0, 0, 0, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
}

HWND CreatePlane(HWND calendar) {
  MonthView& m = M();
  m = MonthView{};
  m.plane = CreateWindowExA(0, "KVMonthPlane", "", WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0, 0, 0, calendar,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(2)), nullptr, nullptr);
  if (!m.plane) return nullptr;
  m.yearLabel = Child(m.plane, "KVYearLabel", 100, WS_VISIBLE);
  m.title = Child(m.plane, "KVTitle", 101, WS_VISIBLE);
  for (int i = 0; i < 2; ++i) m.smallCalendars[static_cast<size_t>(i)] = Child(m.plane, "KVSmCal", i);
  for (int d = 1; d <= 31; ++d) m.cells[static_cast<size_t>(d - 1)] = Child(m.plane, "KVDate", d - 1);
  return m.plane;
}

Size MinimumSize() { return MonthMinimumSize(ScreenMeasures(), Calendar().options); }

// The month view's keys; Shift and Clear held enlarge the selected cell.
bool OnKey(UINT msg, WPARAM vk, LPARAM lp) {
  MonthView& m = M();
  if (!m.plane || !IsWindowVisible(m.plane)) return false;
  if (msg == kMsgCalendarMove) {
    // The toolbar's Move back and forward: a month, the selected day kept.
    if (vk != kMoveBack && vk != kMoveForward) return false;
    ShrinkEnlarged();
    if (GoToMonth(vk == kMoveForward ? 1 : 0, false)) CalendarDateChanged();
    return true;
  }
  bool enlargeKey = vk == VK_SHIFT || vk == VK_CLEAR;
  if (msg == WM_KEYUP) {
    if (enlargeKey && m.enlarged && !m.enlargedByMouse) ShrinkEnlarged();
    return enlargeKey;
  }
  if (msg != WM_KEYDOWN) return false;
  if (enlargeKey) {
    if (!(lp & (1 << 30)) || !m.enlarged) Enlarge(Calendar().day, false);
    return true;
  }
  MonthKey key;
  switch (vk) {
    case VK_SPACE: key = MonthKey::Space; break;
    case VK_PRIOR: key = MonthKey::PageUp; break;
    case VK_NEXT: key = MonthKey::PageDown; break;
    case VK_HOME: key = MonthKey::Home; break;
    case VK_END: key = MonthKey::End; break;
    case VK_LEFT: key = MonthKey::Left; break;
    case VK_RIGHT: key = MonthKey::Right; break;
    case VK_UP: key = MonthKey::Up; break;
    case VK_DOWN: key = MonthKey::Down; break;
    default: return false;
  }
  bool reEnlarge = m.enlarged && !m.enlargedByMouse;
  ShrinkEnlarged();
  switch (ApplyMonthKey(key)) {
    case MonthKeyResult::DayView: ShowCalendarView(kDayView); return true;
    case MonthKeyResult::None: break;
    default: CalendarDateChanged(); break;
  }
  if (reEnlarge && (GetKeyState(VK_SHIFT) < 0 || GetKeyState(VK_CLEAR) < 0)) Enlarge(Calendar().day, false);
  return true;
}

LRESULT OnCellMessage(HWND cell, UINT msg, WPARAM wp, LPARAM lp) {
  Point p{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
  switch (msg) {
    case WM_PAINT: PaintCell(cell); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_LBUTTONDOWN: SelectFromCell(DayOfCell(cell)); return 0;
    case WM_RBUTTONDOWN: SelectFromCell(DayOfCell(cell)); return 0;
    case WM_RBUTTONUP: {
      POINT screen{p.x, p.y};
      ClientToScreen(cell, &screen);
      ShowCellMenu(cell, DayOfCell(cell), screen);
      return 0;
    }
    case WM_LBUTTONDBLCLK: OnCellDoubleClick(cell, p); return 0;
    case WM_MOUSELEAVE:
      if (M().enlargedByMouse && M().enlarged == DayOfCell(cell)) ShrinkEnlarged();
      return 0;
    case WM_COMMAND:
      RunCellCommand(LOWORD(wp), DayOfCell(cell));
      return 0;
    default: return DefWindowProcA(cell, msg, wp, lp);
  }
}

}  // namespace

void ForgetMonthLayout() { M().laidOut = {}; }

Size MonthScrollSteps() { return Size{M().layout.scrollStepX, M().layout.scrollStepY}; }

const ViewPane& MonthPane() {
  static const ViewPane pane{CreatePlane, MinimumSize, Refresh, OnKey};
  return pane;
}

LRESULT CALLBACK MonthPlaneWindowProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  return Guarded<LRESULT>(h, msg, 0, [&]() -> LRESULT {
    switch (msg) {
      case WM_PAINT: PaintPlane(h); return 0;
      case WM_ERASEBKGND: return 1;
      case WM_SIZE:
        if (h == M().plane) Refresh();
        return 0;
      case WM_LBUTTONDOWN: SetFocus(CalendarWindow()); return 0;
      default: return DefWindowProcA(h, msg, wp, lp);
    }
  });
}

LRESULT CALLBACK YearLabelWindowProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  return Guarded<LRESULT>(h, msg, 0, [&]() -> LRESULT {
    switch (msg) {
      case WM_PAINT:
        PaintLabel(h, [](Canvas& c, const Rect& r) {
          PaintYearLabel(c, r, YearLabelText(M().layout.shown, Calendar().options.smallCalendars), Calendar().options);
        });
        return 0;
      case WM_LBUTTONDBLCLK: ShowCalendarView(kYearView); return 0;
      default: return DefWindowProcA(h, msg, wp, lp);
    }
  });
}

LRESULT CALLBACK MonthTitleWindowProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  return Guarded<LRESULT>(h, msg, 0, [&]() -> LRESULT {
    if (msg != WM_PAINT) return DefWindowProcA(h, msg, wp, lp);
    PaintLabel(h, [](Canvas& c, const Rect& r) { PaintMonthTitle(c, r, MonthTitleText(M().layout.shown), Calendar().options); });
    return 0;
  });
}

LRESULT CALLBACK DayCellWindowProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  // Id 77 is the accent preview of the overlay dialogs, not a day.
  if (GetDlgCtrlID(h) > 30 || GetParent(h) != M().plane) return DefWindowProcA(h, msg, wp, lp);
  return Guarded<LRESULT>(h, msg, 0, [&] { return OnCellMessage(h, msg, wp, lp); });
}

}  // namespace kv
