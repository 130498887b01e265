#include "views/calendar_window_win.h"

#include <commctrl.h>

#include <algorithm>
#include <array>

#include "base/win_handles.h"
#include "base/window_kit_win.h"
#include "overlays/overlay_set.h"
#include "resources/command_ids.h"
#include "views/calendar_panes_win.h"
#include "views/calendar_state.h"
#include "views/month_view_win.h"
#include "views/overlay_tabs.h"

namespace kv {
namespace {

constexpr int kTabId = 40;
constexpr int kYearView = 1, kMonthView = 2, kDayView = 4;

struct Host {
  HWND calendar = nullptr;
  HWND tabs = nullptr;
  GdiFont tabFont;
  std::array<HWND, 3> planes{};  // year, month, day
  int view = 0;                  // 0 until the first view shows
  Point scroll;
  bool arranging = false;
  CalendarHostHooks hooks;
  FontTable fonts{};
};

Host& H() {
  static Host host;
  return host;
}

size_t SlotOf(int view) { return view == kYearView ? 0 : view == kDayView ? 2 : 1; }

const ViewPane& PaneOf(int view) {
  return view == kYearView ? YearPane() : view == kDayView ? DayPane() : MonthPane();
}

int TabStripHeight() {
  Host& h = H();
  // The strip's own style, not IsWindowVisible: while the program starts its frame is still
  // hidden, and the strip must be given its room all the same.
  if (!h.tabs || !(GetWindowLongPtrA(h.tabs, GWL_STYLE) & WS_VISIBLE)) return 0;
  RECT r{0, 0, 400, 400};
  TabCtrl_AdjustRect(h.tabs, FALSE, &r);
  return std::max<int>(0, 400 - (r.bottom - r.top)) + 2;
}

void SetBar(int bar, int page, int total, int& position) {
  position = std::clamp(position, 0, std::max(0, total - page));
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  si.nMin = 0;
  si.nMax = total > page ? total - 1 : 0;
  si.nPage = static_cast<UINT>(total > page ? page : 0);
  si.nPos = position;
  SetScrollInfo(H().calendar, bar, &si, TRUE);
}

// Places the visible plane under the scroll bars and the tab strip. Showing or hiding a scroll
// bar changes the client area, so the placement runs until it settles.
void Arrange() {
  Host& h = H();
  if (!h.calendar || h.arranging || h.view == 0) return;
  h.arranging = true;
  HWND plane = h.planes[SlotOf(h.view)];
  Size minimum = PaneOf(h.view).minimumSize();
  for (int pass = 0; pass < 3; ++pass) {
    RECT client;
    GetClientRect(h.calendar, &client);
    int tabHeight = TabStripHeight();
    int width = client.right, height = std::max<int>(0, client.bottom - tabHeight);
    SetBar(SB_HORZ, width, minimum.cx, h.scroll.x);
    SetBar(SB_VERT, height, minimum.cy, h.scroll.y);
    RECT again;
    GetClientRect(h.calendar, &again);
    if (h.tabs) MoveWindow(h.tabs, 0, again.bottom - tabHeight, again.right, tabHeight, TRUE);
    if (plane)
      MoveWindow(plane, -h.scroll.x, -h.scroll.y, std::max<int>(width, minimum.cx), std::max<int>(height, minimum.cy), TRUE);
    if (again.right == client.right && again.bottom == client.bottom) break;
  }
  h.arranging = false;
}

void RebuildTabs() {
  Host& h = H();
  if (!h.tabs) return;
  TabCtrl_DeleteAllItems(h.tabs);
  std::vector<std::string> labels = OverlayTabLabels(Overlays().paths, Calendar().options.overlayTabsHidden);
  for (size_t i = 0; i < labels.size(); ++i) {
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = labels[i].data();
    SendMessageA(h.tabs, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
  }
  if (labels.empty()) Calendar().tabOverlay = 0;
  else TabCtrl_SetCurSel(h.tabs, std::clamp<int>(Calendar().tabOverlay, 0, static_cast<int>(labels.size()) - 1));
  ShowWindow(h.tabs, labels.empty() ? SW_HIDE : SW_SHOWNA);
}

void MakeTabs(HWND calendar) {
  Host& h = H();
  h.tabs = CreateWindowExA(0, WC_TABCONTROLA, "", WS_CHILD | WS_CLIPSIBLINGS | TCS_BOTTOM | TCS_FOCUSNEVER, 0, 0, 0, 0,
                           calendar, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTabId)), nullptr, nullptr);
  const FontSpec& spec = ViewFonts()[static_cast<size_t>(FontRole::Dialog)];
  h.tabFont.Reset(CreateFontA(spec.height, 0, 0, 0, spec.weight, spec.italic, FALSE, FALSE, DEFAULT_CHARSET,
                              OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                              spec.face.c_str()));
  if (h.tabs) SendMessageA(h.tabs, WM_SETFONT, reinterpret_cast<WPARAM>(h.tabFont.get()), FALSE);
  RebuildTabs();
}

void ShowView(int view) {
  Host& h = H();
  if (!h.calendar) return;
  size_t slot = SlotOf(view);
  if (!h.planes[slot]) {
    h.planes[slot] = PaneOf(view).create(h.calendar);
    // A plane taller than the window runs under the tab strip: the strip stays on top.
    if (h.tabs) SetWindowPos(h.tabs, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  for (size_t i = 0; i < h.planes.size(); ++i)
    if (i != slot && h.planes[i]) ShowWindow(h.planes[i], SW_HIDE);
  if (view != h.view) h.scroll = {};
  h.view = view;
  Arrange();
  PaneOf(view).refresh();
  if (h.planes[slot]) ShowWindow(h.planes[slot], SW_SHOWNA);
  if (h.hooks.viewShown) h.hooks.viewShown(view);
}

void OnScroll(int bar, WPARAM wp) {
  Host& h = H();
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
  GetScrollInfo(h.calendar, bar, &si);
  Size steps = h.view == kMonthView ? MonthScrollSteps() : Size{16, 16};
  int step = std::max(1, bar == SB_HORZ ? steps.cx : steps.cy);
  int pos = si.nPos;
  switch (LOWORD(wp)) {
    case SB_LINEUP: pos -= step; break;
    case SB_LINEDOWN: pos += step; break;
    case SB_PAGEUP: pos -= static_cast<int>(si.nPage); break;
    case SB_PAGEDOWN: pos += static_cast<int>(si.nPage); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: pos = si.nTrackPos; break;
    case SB_TOP: pos = 0; break;
    case SB_BOTTOM: pos = si.nMax; break;
    default: return;
  }
  (bar == SB_HORZ ? h.scroll.x : h.scroll.y) = pos;
  Arrange();
}

// A double click on the frame brings the window back to the size the plane needs.
void SizeToMinimum() {
  Host& h = H();
  if (h.view == 0 || IsZoomed(h.calendar) || IsIconic(h.calendar)) return;
  Size minimum = PaneOf(h.view).minimumSize();
  if (minimum.cx <= 0 || minimum.cy <= 0) return;  // a view without a minimum keeps its size
  RECT r{0, 0, minimum.cx, minimum.cy + TabStripHeight()};
  AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrA(h.calendar, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrA(h.calendar, GWL_EXSTYLE)));
  SetWindowPos(h.calendar, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER);
}

void OnTabChosen() {
  Host& h = H();
  int chosen = TabCtrl_GetCurSel(h.tabs);
  if (chosen < 0 || chosen == Calendar().tabOverlay) return;
  Calendar().tabOverlay = chosen;
  const std::vector<std::string>& paths = Overlays().paths;
  std::string name = chosen > 0 && static_cast<size_t>(chosen) <= paths.size() ? OverlayNameOfPath(paths[chosen - 1u]) : "";
  if (h.hooks.overlayChosen) h.hooks.overlayChosen(name);
  ForgetMonthLayout();
  if (h.view) PaneOf(h.view).refresh();
}

bool OnKey(UINT msg, WPARAM wp, LPARAM lp) {
  Host& h = H();
  return h.view != 0 && PaneOf(h.view).key(msg, wp, lp);
}

bool IsFrameHit(WPARAM hit) { return (hit >= HTLEFT && hit <= HTBOTTOMRIGHT) || hit == HTBORDER; }

}  // namespace

void SetCalendarHostHooks(CalendarHostHooks hooks) { H().hooks = std::move(hooks); }

HWND CalendarWindow() { return H().calendar; }

void ShowCalendarView(int view) {
  HWND calendar = H().calendar;
  if (!calendar) return;
  UINT msg = view == kYearView ? kMsgCalendarYearView : view == kDayView ? kMsgCalendarDayView : kMsgCalendarMonthView;
  SendMessageA(calendar, msg, 0, 0);
}

void CalendarDateChanged() {
  NotifyDateChanged();
  Host& h = H();
  if (h.view) PaneOf(h.view).refresh();
}

const FontTable& ViewFonts() { return H().fonts; }
void SetViewFonts(const FontTable& fonts) { H().fonts = fonts; }

void RefreshCalendarViews() {
  Host& h = H();
  ForgetMonthLayout();
  RebuildTabs();
  Arrange();
  if (h.view) PaneOf(h.view).refresh();
}

bool CalendarViewsMessage(HWND window, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  Host& h = H();
  result = 0;
  return Guarded<bool>(window, msg, false, [&]() -> bool {
    switch (msg) {
      case WM_CREATE:
        h.calendar = window;
        h.view = 0;
        h.planes = {};
        MakeTabs(window);
        return false;  // the shell records the window and greys its close box
      case WM_SIZE:
        if (h.view == 0 && h.hooks.currentView && LOWORD(lp) > 0) ShowView(h.hooks.currentView());
        else Arrange();
        return false;  // the shell tracks the placement
      case WM_DESTROY:
      {
        // The hooks and fonts are the shell's and outlive the window.
        CalendarHostHooks hooks = std::move(h.hooks);
        FontTable fonts = h.fonts;
        h = Host{};
        h.hooks = std::move(hooks);
        h.fonts = fonts;
        return false;
      }
      case kMsgCalendarYearView: ShowView(kYearView); return true;
      case kMsgCalendarMonthView: ShowView(kMonthView); return true;
      case kMsgCalendarDayView:
        ShowView(kDayView);
        SetFocus(window);
        return true;
      case kMsgCalendarOpenDay: ShowView(kDayView); return true;
      case kMsgTodayChanged: RefreshCalendarViews(); return true;
      case WM_HSCROLL: OnScroll(SB_HORZ, wp); return true;
      case WM_VSCROLL: OnScroll(SB_VERT, wp); return true;
      case WM_KEYDOWN:
      case WM_KEYUP:
      case kMsgCalendarMove: return OnKey(msg, wp, lp);
      case WM_NOTIFY: {
        const auto* n = reinterpret_cast<const NMHDR*>(lp);
        if (n->idFrom != kTabId || n->code != static_cast<UINT>(TCN_SELCHANGE)) return false;
        OnTabChosen();
        return true;
      }
      case WM_NCLBUTTONDBLCLK:
        if (!IsFrameHit(wp)) return false;
        SizeToMinimum();
        return true;
      default: return false;
    }
  });
}

}  // namespace kv
