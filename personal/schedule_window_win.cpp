#include "personal/schedule_window_win.h"

#include <windowsx.h>

#include <algorithm>
#include <string>

#include "base/canvas_gdi_win.h"
#include "base/win_handles.h"
#include "base/window_kit_win.h"
#include "calendar/regional.h"
#include "personal/clock_tick.h"
#include "personal/notes_window.h"
#include "personal/notes_window_win.h"
#include "personal/schedule_window.h"
#include "resources/command_ids.h"

namespace kv {
namespace {

constexpr int kPaneId = 1;
constexpr int kWheelRows = 3;

struct ScheduleWindowData {
  HWND pane = nullptr;
  int headerHeight = 20;
  int listener = 0;
  ScheduleWindowModel model;
};

HFONT g_font = nullptr;
HWND g_window = nullptr;

HFONT ScheduleFont() { return g_font ? g_font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

ScheduleWindowData* DataOf(HWND h) { return StateOf<ScheduleWindowData>(h); }
ScheduleWindowData* PaneData(HWND pane) { return DataOf(GetParent(pane)); }

void ApplyFonts(Canvas& canvas) {
  FontSpec plain = FontSpecOf(ScheduleFont());
  FontSpec bold = plain;
  bold.weight = 700;
  canvas.SetFont(kScheduleLabelFont, plain);
  canvas.SetFont(kScheduleItemFont, plain);
  canvas.SetFont(kScheduleHourFont, bold);
  canvas.SetFont(kScheduleHeaderFont, bold);
}

ScheduleColours Colours() {
  ScheduleColours c;
  c.window = SystemColour(COLOR_WINDOW);
  c.text = SystemColour(COLOR_WINDOWTEXT);
  c.minorText = SystemColour(COLOR_GRAYTEXT);
  c.labelBack = SystemColour(COLOR_BTNFACE);
  c.hourLine = SystemColour(COLOR_BTNSHADOW);
  c.selection = SystemColour(COLOR_HIGHLIGHT);
  c.selectionText = SystemColour(COLOR_HIGHLIGHTTEXT);
  return c;
}

// The notes window follows the selected item (or, once none is selected, the shown day).
void TellNotes(HWND h, ScheduleWindowData& d) {
  if (!d.model.TakeNoteNews()) return;
  PostNoteContext(FindWindowExA(GetParent(h), nullptr, "KVNote", nullptr), d.model.SelectionNoteContext());
}

// After every change: the scroll bar, the pane's text, the notes window and a repaint.
void Update(HWND h, ScheduleWindowData& d) {
  const ScheduleGrid& g = d.model.Grid();
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  si.nMin = 0;
  si.nMax = g.rows - 1;
  si.nPage = static_cast<UINT>(g.VisibleRows());
  si.nPos = g.firstRow;
  SetScrollInfo(d.pane, SB_VERT, &si, TRUE);
  SetWindowTextA(d.pane, d.model.StatusText(Regional()).c_str());
  TellNotes(h, d);
  InvalidateRect(d.pane, nullptr, FALSE);
}

void LayOut(HWND h, ScheduleWindowData& d) {
  RECT client;
  GetClientRect(h, &client);
  {
    WindowDC dc(h);
    GdiCanvas canvas(dc.get());
    ApplyFonts(canvas);
    d.headerHeight = ScheduleHeaderHeight(canvas);
  }
  int paneHeight = std::max<int>(0, client.bottom - d.headerHeight);
  MoveWindow(d.pane, 0, d.headerHeight, client.right, paneHeight, TRUE);
  RECT pane;
  GetClientRect(d.pane, &pane);
  WindowDC dc(d.pane);
  GdiCanvas canvas(dc.get());
  ApplyFonts(canvas);
  d.model.LayOut(canvas, Regional(), pane.right, pane.bottom);
  InvalidateRect(h, nullptr, TRUE);
  Update(h, d);
}

void PaintHeader(HWND h, const ScheduleWindowData& d) {
  PaintDC dc(h);
  RECT client;
  GetClientRect(h, &client);
  GdiCanvas canvas(dc.get());
  ApplyFonts(canvas);
  PaintScheduleHeader(canvas, client.right, d.model.Day(), Colours());
}

void PaintPane(HWND pane, const ScheduleWindowData& d) {
  PaintDC dc(pane);
  RECT client;
  GetClientRect(pane, &client);
  // Drawn off screen first, so scrolling and dragging do not flicker.
  MemoryDC memory(dc.get());
  GdiBitmap bitmap(CreateCompatibleBitmap(dc.get(), std::max<int>(1, client.right), std::max<int>(1, client.bottom)));
  SelectedObject selected(memory.get(), bitmap.get());
  {
    GdiCanvas canvas(memory.get());
    ApplyFonts(canvas);
    PaintScheduleGrid(canvas, d.model.Grid(), d.model.List(), d.model.Boxes(), d.model.Choice(), Colours(), Regional());
  }
  BitBlt(dc.get(), 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
}

void ShowDay(HWND h, ScheduleWindowData& d) {
  if (!d.model.FollowSelectedDate() && d.model.Day().year == 0) d.model.Show(Today());
  InvalidateRect(h, nullptr, TRUE);
  Update(h, d);
}

void Open(ScheduleWindowData& d) {
  if (!d.model.Open()) MessageBeep(MB_OK);
}

void Create(HWND h) {
  auto* d = new ScheduleWindowData;
  SetWindowLongPtrA(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(d));
  g_window = h;
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(h, GWLP_HINSTANCE));
  d->pane = CreateWindowExA(0, "KVSchedTxt", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP, 0, 0, 0, 0, h,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kPaneId)), instance, nullptr);
  // The schedule changes while the window is open (the editor, an alarm going off): the day is
  // read again. The listener runs on this thread, inside the store's own call.
  d->listener = AddSchedChangedListener([h] {
    if (ScheduleWindowData* data = DataOf(h)) {
      data->model.Reload();
      Update(h, *data);
    }
  });
  ShowDay(h, *d);
}

void Destroy(HWND h) {
  ScheduleWindowData* d = DataOf(h);
  if (!d) return;
  RemoveSchedChangedListener(d->listener);
  SetWindowLongPtrA(h, GWLP_USERDATA, 0);
  delete d;
  if (g_window == h) g_window = nullptr;
}

bool Handle(HWND h, UINT message, WPARAM wp, LPARAM lp, LRESULT& result) {
  if (message == WM_CREATE) {
    Create(h);
    return false;
  }
  ScheduleWindowData* d = DataOf(h);
  if (!d) return false;
  result = 0;
  switch (message) {
    case WM_SIZE:
      if (wp != SIZE_MINIMIZED) LayOut(h, *d);
      return false;
    case WM_PAINT: PaintHeader(h, *d); return true;
    case WM_SETFOCUS: SetFocus(d->pane); return true;
    case WM_MDIACTIVATE:
      if (reinterpret_cast<HWND>(lp) == h) SetFocus(d->pane);
      return false;
    case WM_DESTROY: Destroy(h); return false;
    case kMsgScheduleScroll:
      d->model.Scroll(static_cast<int>(wp));
      Update(h, *d);
      return true;
    case kMsgSelectedDateChanged: ShowDay(h, *d); return true;
    case kMsgScheduleSelectItem:
      // A search hit: the news of the item's day, posted before this, has shown the day.
      if (d->model.SelectStoredItem(static_cast<uint16_t>(wp))) Update(h, *d);
      return true;
    default: return false;
  }
}

// The scroll bar and the wheel scroll the grid without moving the choice.
void ScrollBy(HWND pane, ScheduleWindowData& d, int request, int position) {
  const ScheduleGrid& g = d.model.Grid();
  int first = g.firstRow;
  switch (request) {
    case SB_LINEUP: first -= 1; break;
    case SB_LINEDOWN: first += 1; break;
    case SB_PAGEUP: first -= g.VisibleRows(); break;
    case SB_PAGEDOWN: first += g.VisibleRows(); break;
    case SB_TOP: first = 0; break;
    case SB_BOTTOM: first = g.MaxFirstRow(); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: first = position; break;
    default: return;
  }
  d.model.Scroll(kSchedThumb, first);
  Update(GetParent(pane), d);
}

int KeyCode(WPARAM key) {
  switch (key) {
    case VK_UP: return kSchedLineUp;
    case VK_DOWN: return kSchedLineDown;
    case VK_PRIOR: return kSchedPageUp;
    case VK_NEXT: return kSchedPageDown;
    case VK_HOME: return kSchedTop;
    case VK_END: return kSchedBottom;
    default: return -1;
  }
}

LRESULT HandlePane(HWND pane, UINT message, WPARAM wp, LPARAM lp) {
  ScheduleWindowData* d = PaneData(pane);
  if (!d || d->pane != pane) return DefWindowProcA(pane, message, wp, lp);
  HWND h = GetParent(pane);
  Point at{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  switch (message) {
    case WM_PAINT: PaintPane(pane, *d); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_LBUTTONDOWN:
      SetFocus(pane);
      SetCapture(pane);
      d->model.Press(at);
      InvalidateRect(h, nullptr, FALSE);  // the header, when the click moved to another day
      Update(h, *d);
      return 0;
    case WM_MOUSEMOVE:
      if (!d->model.Dragging() || !(wp & MK_LBUTTON)) return 0;
      d->model.DragTo(at);
      Update(h, *d);
      return 0;
    case WM_LBUTTONUP:
      if (GetCapture() == pane) ReleaseCapture();
      d->model.DragTo(at);
      d->model.Release();
      Update(h, *d);
      return 0;
    case WM_CAPTURECHANGED: d->model.Release(); return 0;
    case WM_LBUTTONDBLCLK:
      // The choice is shown before the editor comes up over it.
      d->model.Press(at);
      d->model.Release();
      Update(h, *d);
      UpdateWindow(pane);
      Open(*d);
      return 0;
    case WM_KEYDOWN:
      if (wp == VK_RETURN) {
        Open(*d);
        return 0;
      }
      if (int code = KeyCode(wp); code >= 0) {
        SendMessageA(h, kMsgScheduleScroll, static_cast<WPARAM>(code), 0);
        return 0;
      }
      break;
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTALLKEYS;
    case WM_VSCROLL: {
      SCROLLINFO si{};
      si.cbSize = sizeof si;
      si.fMask = SIF_TRACKPOS;
      GetScrollInfo(pane, SB_VERT, &si);
      ScrollBy(pane, *d, LOWORD(wp), si.nTrackPos);
      return 0;
    }
    case WM_MOUSEWHEEL: {
      int notches = GET_WHEEL_DELTA_WPARAM(wp) / WHEEL_DELTA;
      d->model.Scroll(kSchedThumb, d->model.Grid().firstRow - notches * kWheelRows);
      Update(h, *d);
      return 0;
    }
    default: break;
  }
  return DefWindowProcA(pane, message, wp, lp);
}

}  // namespace

bool ScheduleWindowMessage(HWND window, UINT message, WPARAM wp, LPARAM lp, LRESULT& result) {
  return Guarded<bool>(window, message, false, [&] { return Handle(window, message, wp, lp, result); });
}

LRESULT CALLBACK ScheduleTextWindowProc(HWND pane, UINT message, WPARAM wp, LPARAM lp) {
  return Guarded<LRESULT>(pane, message, 0, [&] { return HandlePane(pane, message, wp, lp); });
}

void SetScheduleWindowFont(HFONT font) {
  g_font = font;
  RefreshScheduleWindow();
}

void RefreshScheduleWindow() {
  if (!g_window) return;
  if (ScheduleWindowData* d = DataOf(g_window)) LayOut(g_window, *d);
}

}  // namespace kv
