#include "clock/clock_window_win.h"

#include <uxtheme.h>

#include <string>

#include "base/canvas_gdi_win.h"
#include "base/settings.h"
#include "base/win_handles.h"
#include "base/window_kit_win.h"
#include "personal/clock_tick.h"
#include "resources/command_ids.h"

namespace kv {
namespace {

constexpr UINT_PTR kMenuTimer = 1;  // a release waits out the double-click time before the menu opens
constexpr FontRole kRole = FontRole::Dialog;

// The clock stands in for the frame: one at a time, with what it needs to bring the frame back.
struct ClockModule {
  ClockEnvironment env;
  HWND clock = nullptr;
  POINT frameLeftTop{};
  int restoreShow = SW_RESTORE;
  bool restoreRequested = false;
  bool placing = false;       // the program itself is moving the clock
  int storedX = -1, storedY = -1;
};

ClockModule& Module() {
  static ClockModule module;
  return module;
}

int Setting() { return Module().env.setting ? Module().env.setting() : kClockDefault; }

std::vector<std::string> CurrentPieces() {
  return ClockPieces(Setting(), Today(), ClockTickState().minuteOfDay, Regional(), Names());
}

Rect VirtualScreen() {
  int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
  return {x, y, x + GetSystemMetrics(SM_CXVIRTUALSCREEN), y + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

void StorePosition(HWND h) {
  RECT r;
  GetWindowRect(h, &r);
  ClockModule& m = Module();
  m.storedX = r.left;
  m.storedY = r.top;
  RegWriteSetting("Configuration", "ClockX", std::to_string(r.left));
  RegWriteSetting("Configuration", "ClockY", std::to_string(r.top));
}

void BringFrameBack() {
  ClockModule& m = Module();
  HWND frame = m.env.frame;
  if (!frame || !IsWindow(frame)) return;
  // Back to its remembered place, then shown with the restore command: the placement says
  // both at once, so a maximised frame keeps its place for a later restore as well.
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  GetWindowPlacement(frame, &placement);
  RECT& normal = placement.rcNormalPosition;
  OffsetRect(&normal, m.frameLeftTop.x - normal.left, m.frameLeftTop.y - normal.top);
  placement.flags = 0;
  placement.showCmd = static_cast<UINT>(m.restoreShow == SW_SHOWMAXIMIZED ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
  SetWindowPlacement(frame, &placement);
  SetForegroundWindow(frame);
  SetFocus(frame);
  if (HWND search = m.env.searchWindow ? m.env.searchWindow() : nullptr) ShowWindow(search, SW_SHOW);
}

// Closing the clock itself closes the program. The desk may refuse (a question cancelled):
// then the frame comes back instead of staying out of sight with no clock to restore it.
void CloseProgram(HWND clock) {
  HWND frame = Module().env.frame;
  if (frame && IsWindow(frame)) SendMessageA(frame, WM_CLOSE, 0, 0);
  if (frame && IsWindow(frame)) BringFrameBack();
  if (IsWindow(clock)) DestroyWindow(clock);
}

class ClockWindow {
 public:
  ClockWindow(HWND, const CREATESTRUCTA& create) : glass_(create.lpCreateParams != nullptr) {}
  LRESULT Handle(HWND h, UINT msg, WPARAM wp, LPARAM lp);

  // Measures the pieces, sizes and places the window, and says what it shows.
  void MeasureAndPlace(HWND h);

 private:
  void OnPaint(HWND h);
  void PaintGlass(HWND h, HDC dc);
  void ShowMenu(HWND h, bool mouse);
  LRESULT OnSysCommand(HWND h, WPARAM wp, LPARAM lp);
  void OnClose(HWND h);
  void OnMove(HWND h);

  bool glass_;
  ClockDragTracker drag_;
  bool inMoveLoop_ = false;
  bool movedInLoop_ = false;
};

HFONT ClockFont() {
  HFONT font = Module().env.font ? Module().env.font() : nullptr;
  return font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void ClockWindow::MeasureAndPlace(HWND h) {
  std::vector<std::string> pieces = CurrentPieces();
  ClockLayout layout;
  {
    WindowDC dc(h);
    GdiCanvas canvas(dc.get());
    canvas.SetFont(kRole, FontSpecOf(ClockFont()));
    layout = glass_ ? MeasureGlassClock(canvas, kRole, pieces,
                                        Size{GetSystemMetrics(SM_CXSIZEFRAME), GetSystemMetrics(SM_CYSIZEFRAME)})
                    : MeasurePlainClock(canvas, kRole, pieces);
  }
  ClockModule& m = Module();
  Point at = PlaceClock(m.storedX, m.storedY, layout.window,
                        Size{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
  m.placing = true;
  SetWindowPos(h, nullptr, at.x, at.y, layout.window.cx, layout.window.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  m.placing = false;
  SetWindowTextA(h, JoinClockPieces(pieces).c_str());
  InvalidateRect(h, nullptr, TRUE);
}

void ClockWindow::OnPaint(HWND h) {
  PaintDC paint(h);
  if (glass_ && Module().env.drawThemeTextEx && Module().env.openTheme) {
    PaintGlass(h, paint.get());
    return;
  }
  std::vector<std::string> pieces = CurrentPieces();
  GdiCanvas canvas(paint.get());
  canvas.SetFont(kRole, FontSpecOf(ClockFont()));
  ClockLayout layout = MeasurePlainClock(canvas, kRole, pieces);
  RECT client;
  GetClientRect(h, &client);
  layout.window = {client.right, client.bottom};  // drawn to the window as it stands
  ClockColours colours = Module().env.colours ? Module().env.colours() : ClockColours{};
  PaintPlainClock(canvas, kRole, layout, pieces, colours);
}

// The glass clock: the joined text glowing on the glass, composed in a 32-bit picture first
// because the glass takes its alpha.
void ClockWindow::PaintGlass(HWND h, HDC dc) {
  const ClockEnvironment& env = Module().env;
  RECT client;
  GetClientRect(h, &client);
  const int w = client.right, ht = client.bottom;
  if (w <= 0 || ht <= 0) return;
  FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  MemoryDC memory(dc);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -ht;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  GdiBitmap picture(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!memory || !picture) return;
  SelectedObject selected(memory.get(), picture.get());
  SelectedObject font(memory.get(), ClockFont());
  std::string text = JoinClockPieces(CurrentPieces());
  std::wstring wide(text.size() + 1, L'\0');
  int length = MultiByteToWideChar(1252, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                                   static_cast<int>(wide.size()));
  wide.resize(static_cast<size_t>(length > 0 ? length : 0));
  HANDLE theme = env.openTheme(h, L"CompositedWindow::Window");
  if (theme) {
    DTTOPTS options{};
    options.dwSize = sizeof options;
    options.dwFlags = DTT_COMPOSITED | DTT_GLOWSIZE | DTT_TEXTCOLOR;
    options.iGlowSize = 10;
    options.crText = GetSysColor(COLOR_WINDOWTEXT);
    RECT r = client;
    env.drawThemeTextEx(theme, memory.get(), 0, 0, wide.c_str(), -1,
                        DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX, &r, &options);
    if (env.closeTheme) env.closeTheme(theme);
  }
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  if (!env.alphaBlend || !env.alphaBlend(dc, 0, 0, w, ht, memory.get(), 0, 0, w, ht, blend))
    BitBlt(dc, 0, 0, w, ht, memory.get(), 0, 0, SRCCOPY);
}

// The window's own menu, as a pop-up just above the clock: restore and move offered, size and
// minimise not.
void ClockWindow::ShowMenu(HWND h, bool mouse) {
  HMENU menu = GetSystemMenu(h, FALSE);
  if (!menu) return;
  EnableMenuItem(menu, SC_RESTORE, MF_BYCOMMAND | MF_ENABLED);
  EnableMenuItem(menu, SC_MOVE, MF_BYCOMMAND | MF_ENABLED);
  EnableMenuItem(menu, SC_SIZE, MF_BYCOMMAND | MF_GRAYED);
  EnableMenuItem(menu, SC_MINIMIZE, MF_BYCOMMAND | MF_GRAYED);
  SetMenuDefaultItem(menu, SC_RESTORE, FALSE);
  RECT r;
  GetWindowRect(h, &r);
  SetForegroundWindow(h);
  int command = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_BOTTOMALIGN | TPM_RIGHTBUTTON, r.left,
                               r.top, 0, h, nullptr);
  PostMessageA(h, WM_NULL, 0, 0);
  if (!command) return;
  if (command == SC_MOVE && mouse) SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  SendMessageA(h, WM_SYSCOMMAND, static_cast<WPARAM>(command), 0);
}

LRESULT ClockWindow::OnSysCommand(HWND h, WPARAM wp, LPARAM lp) {
  ClockModule& m = Module();
  switch (wp & 0xFFF0) {
    case SC_RESTORE:
      m.restoreRequested = true;
      PostMessageA(h, WM_CLOSE, 0, 0);
      return 0;
    case SC_MAXIMIZE:
      m.restoreRequested = true;
      m.restoreShow = SW_SHOWMAXIMIZED;
      PostMessageA(h, WM_CLOSE, 0, 0);
      return 0;
    case SC_CLOSE:
      m.restoreRequested = false;
      PostMessageA(h, WM_CLOSE, 0, 0);
      return 0;
    case SC_MINIMIZE:
    case SC_SIZE:
      return 0;
    case SC_KEYMENU:
      if (lp == ' ') {
        ShowMenu(h, false);
        return 0;
      }
      break;
    default: break;
  }
  return DefWindowProcA(h, WM_SYSCOMMAND, wp, lp);
}

void ClockWindow::OnClose(HWND h) {
  if (Module().restoreRequested) {
    BringFrameBack();
    DestroyWindow(h);
  } else {
    CloseProgram(h);
  }
}

void ClockWindow::OnMove(HWND h) {
  if (Module().placing) return;
  if (inMoveLoop_) movedInLoop_ = true;
  else StorePosition(h);  // moved by someone else than the program, outside a move loop
}

LRESULT ClockWindow::Handle(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  POINT at{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
  switch (msg) {
    case WM_NCHITTEST: return HTCLIENT;  // the sizing frame of the glass clock sizes nothing
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: OnPaint(h); return 0;
    case WM_LBUTTONDOWN:
      KillTimer(h, kMenuTimer);
      SetCapture(h);
      drag_.Press({at.x, at.y});
      return 0;
    case WM_MOUSEMOVE:
      if (drag_.Move({at.x, at.y})) {
        ReleaseCapture();
        SendMessageA(h, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
      }
      return 0;
    case WM_LBUTTONUP:
      if (GetCapture() == h) ReleaseCapture();
      if (drag_.Release()) SetTimer(h, kMenuTimer, GetDoubleClickTime(), nullptr);
      return 0;
    case WM_TIMER:
      if (wp == kMenuTimer) KillTimer(h, kMenuTimer), PostMessageA(h, kMsgClockMenu, 0, 0);
      return 0;
    case WM_LBUTTONDBLCLK:
      KillTimer(h, kMenuTimer);
      drag_.Release();
      return OnSysCommand(h, SC_RESTORE, 0);
    case kMsgClockMenu: ShowMenu(h, true); return 0;
    case kMsgClockRedraw: MeasureAndPlace(h); return 0;
    case WM_SYSCOMMAND: return OnSysCommand(h, wp, lp);
    case WM_ENTERSIZEMOVE: inMoveLoop_ = true, movedInLoop_ = false; return 0;
    case WM_EXITSIZEMOVE:
      inMoveLoop_ = false;
      if (movedInLoop_) StorePosition(h);
      return 0;
    case WM_MOVE: OnMove(h); return 0;
    case WM_CLOSE: OnClose(h); return 0;
    case WM_DESTROY:
      if (Module().clock == h) Module().clock = nullptr;
      Module().restoreRequested = false;
      return 0;
    default: break;
  }
  return DefWindowProcA(h, msg, wp, lp);
}

}  // namespace

void SetClockEnvironment(ClockEnvironment environment) { Module().env = std::move(environment); }

LRESULT CALLBACK ClockWindowProc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
  return StatefulWindowProc<ClockWindow>(window, message, wp, lp);
}

bool GlassAvailable() {
  BOOL enabled = FALSE;
  const ClockEnvironment& env = Module().env;
  return env.compositionEnabled && env.extendFrame && SUCCEEDED(env.compositionEnabled(&enabled)) && enabled;
}

HWND DesktopClockWindow() { return Module().clock; }

bool ShowDesktopClock() {
  ClockModule& m = Module();
  HWND frame = m.env.frame;
  if (m.clock || !frame) return false;
  int setting = Setting();
  bool glass = (setting & kClockGlass) && GlassAvailable();
  DWORD style = WS_POPUP | WS_SYSMENU | (glass ? WS_THICKFRAME : 0);
  // A tool window: the program shows no task-bar button while the clock stands in.
  DWORD exStyle = WS_EX_TOOLWINDOW | ((setting & kClockOnTop) ? WS_EX_TOPMOST : 0);
  m.storedX = ParseClockCoordinate(RegReadSetting("Configuration", "ClockX"));
  m.storedY = ParseClockCoordinate(RegReadSetting("Configuration", "ClockY"));
  m.placing = true;
  HWND h = CreateWindowExA(exStyle, kClockClass, "", style, 0, 0, 10, 10, nullptr, nullptr, m.env.instance,
                           glass ? reinterpret_cast<LPVOID>(1) : nullptr);
  m.placing = false;
  if (!h) return false;
  m.clock = h;
  m.restoreRequested = false;

  // The frame goes out of sight, unchanged in size, after leaving a maximised state.
  bool maximized = IsZoomed(frame) != FALSE;
  m.restoreShow = maximized ? SW_SHOWMAXIMIZED : SW_RESTORE;
  if (maximized) ShowWindow(frame, SW_RESTORE);
  RECT r;
  GetWindowRect(frame, &r);
  m.frameLeftTop = {r.left, r.top};
  Point parked = ParkedFramePosition(Rect{r.left, r.top, r.right, r.bottom}, VirtualScreen());
  SetWindowPos(frame, nullptr, parked.x, parked.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (HWND search = m.env.searchWindow ? m.env.searchWindow() : nullptr) ShowWindow(search, SW_HIDE);

  if (auto* window = StateOf<ClockWindow>(h)) window->MeasureAndPlace(h);
  if (glass) {
    MARGINS whole{-1, -1, -1, -1};
    m.env.extendFrame(h, &whole);
  }
  ShowWindow(h, SW_SHOWNOACTIVATE);
  UpdateWindow(h);
  return true;
}

void RestoreFrameFromClock() {
  ClockModule& m = Module();
  if (!m.clock) return;
  m.restoreRequested = true;
  SendMessageA(m.clock, WM_CLOSE, 0, 0);
}

}  // namespace kv
