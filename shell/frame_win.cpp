#include "shell/frame_win.h"

#include <commctrl.h>

#include <memory>
#include <string>

#include "base/canvas_gdi_win.h"
#include "base/command_table.h"
#include "base/dpi_win.h"
#include "calendar/clock.h"
#include "resources/strings.h"
#include "shell/app_win.h"
#include "personal/alarm_window_win.h"
#include "personal/clock_tick.h"
#include "shell/configuration.h"
#include "shell/desk.h"
#include "shell/desk_win.h"
#include "shell/drawing_win.h"
#include "shell/options.h"
#include "shell/options_win.h"
#include "shell/open_file_win.h"
#include "base/settings.h"
#include "base/system_library_win.h"
#include "base/win_handles.h"
#include "shell/shell_services.h"
#include "shell/toolbar_paint.h"
#include "shell/toolbar_win.h"

namespace kv {
namespace {

constexpr int kMdiFirstChild = 30000;  // ids of the window list, clear of every command

struct Popups {
  HMENU file = nullptr, calendar = nullptr, configure = nullptr, window = nullptr, help = nullptr;
  HMENU metafile = nullptr;
};

struct FrameState {
  FrameHooks hooks;
  Popups popups;
  std::unique_ptr<FixedClock> testClock;
};

FrameState& State() {
  static FrameState state;
  return state;
}

// --- creation and layout ---------------------------------------------------------------------

void InsertInternetItems(HMENU help) {
  // Version check and the internet page are offered only where the internet library exists.
  if (!Library(LoadSystemLibrary("WININET.DLL"))) return;
  InsertMenuA(help, CMD_ABOUT, MF_BYCOMMAND | MF_STRING, CMD_VERSION_CHECK, std::string(StringText(27)).c_str());
  InsertMenuA(help, CMD_ABOUT, MF_BYCOMMAND | MF_STRING, CMD_INTERNET_SERVICES, std::string(StringText(28)).c_str());
  InsertMenuA(help, CMD_ABOUT, MF_BYCOMMAND | MF_SEPARATOR, 0, nullptr);
}

bool OnCreate(HWND h) {
  App().frame = h;
  Popups& p = State().popups;
  HMENU menu = GetMenu(h);
  p.file = GetSubMenu(menu, 0);
  p.calendar = GetSubMenu(menu, 1);
  p.configure = GetSubMenu(menu, 2);
  p.window = GetSubMenu(menu, 3);
  p.help = GetSubMenu(menu, 4);
  for (int i = 0, n = GetMenuItemCount(p.file); i < n; ++i)
    if (HMENU sub = GetSubMenu(p.file, i)) p.metafile = sub;
  InsertInternetItems(p.help);
  // The frame carries out its own commands like any other owner.
  SetCommandHandler(CommandOwner::Frame, [h](int command, bool run) { return !run || RunFrameCommand(h, command); });
  // The drawing objects were made before the frame existed, for the system's resolution; a
  // frame that opens on another monitor wants its own.
  if (WindowDpi(h) != Drawing().dpi) BuildDrawingResources();
  if (!CreateToolbar(h)) return false;
  CLIENTCREATESTRUCT ccs{p.window, kMdiFirstChild};
  App().mdiClient = CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr,
                                    WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_VSCROLL | WS_HSCROLL |
                                        WS_VISIBLE | MDIS_ALLCHILDSTYLES,
                                    0, ToolbarHeight(), 10, 10, h, nullptr, App().instance, &ccs);
  return App().mdiClient != nullptr;
}

ScreenArea VirtualScreen() {
  int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
  return {x, y, x + GetSystemMetrics(SM_CXVIRTUALSCREEN), y + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

void TrackFramePlacement(HWND h) {
  if (App().closing || IsIconic(h) || IsZoomed(h) || !IsWindowVisible(h)) return;
  RECT r;
  GetWindowRect(h, &r);
  Placement p{r.left, r.top, r.right - r.left, r.bottom - r.top};
  if (LiesOnScreen(p, VirtualScreen())) Config().desk.frame = p;
}

void OnSize(HWND h, WPARAM type, int width, int height) {
  if (!App().closing && IsWindowVisible(h)) {
    if (type == SIZE_MINIMIZED) Config().desk.frameState = kMinimized;
    else if (type == SIZE_MAXIMIZED) Config().desk.frameState = kMaximized;
    else if (type == SIZE_RESTORED) Config().desk.frameState = kRestored;
  }
  if (type == SIZE_MINIMIZED) return;
  LayoutToolbar(width);
  MoveWindow(App().mdiClient, 0, ToolbarHeight(), width, std::max(height - ToolbarHeight(), 0), TRUE);
  TrackFramePlacement(h);
}

// The strip behind the toolbar, painted by the portable strip painter.
void OnPaint(HWND h) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(h, &ps);
  RECT r;
  GetClientRect(h, &r);
  {
    GdiCanvas canvas(dc);
    ToolbarStripLayout strip;
    strip.width = r.right;
    strip.height = ToolbarHeight();
    strip.face = FromColorref(GetSysColor(COLOR_BTNFACE));
    strip.shadow = FromColorref(Config().shadowColour);
    strip.light = FromColorref(GetSysColor(COLOR_BTNHIGHLIGHT));
    PaintToolbarStrip(canvas, strip);
  }
  EndPaint(h, &ps);
}

// Moved to a monitor of another resolution: fonts, pictures and the strip are made for the new
// one, and the frame takes the size the system suggests so it keeps its look.
void OnDpiChanged(HWND h, const RECT* suggested) {
  RefreshAfterOptionChange(kRefreshViews | kRefreshDrawing);
  SizeToolbarPictures();
  if (suggested)
    SetWindowPos(h, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                 suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
  RECT r;
  GetClientRect(h, &r);
  OnSize(h, SIZE_RESTORED, r.right, r.bottom);
}

// --- menus -----------------------------------------------------------------------------------------

uint8_t ActiveCode(bool* maximized = nullptr) {
  BOOL max = FALSE;
  HWND active = reinterpret_cast<HWND>(SendMessageA(App().mdiClient, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&max)));
  if (maximized) *maximized = max != FALSE;
  return DeskCodeOf(active);
}

bool NotesEmpty() {
  HWND notes = DeskWindow(kDeskNotes);
  HWND edit = notes ? FindWindowExA(notes, nullptr, "EDIT", nullptr) : nullptr;
  return !edit || GetWindowTextLengthA(edit) == 0;
}

void Enable(HMENU menu, int id, bool enabled) {
  EnableMenuItem(menu, static_cast<UINT>(id), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}
void Check(HMENU menu, int id, bool checked) {
  CheckMenuItem(menu, static_cast<UINT>(id), MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void OnInitMenuPopup(HMENU popup) {
  const Popups& p = State().popups;
  // Commands whose module is not there yet are greyed.
  for (int i = 0, n = GetMenuItemCount(popup); i < n; ++i) {
    UINT id = GetMenuItemID(popup, i);
    if (id != 0 && id != static_cast<UINT>(-1) && OwnerOf(static_cast<int>(id)) != CommandOwner::None)
      Enable(popup, static_cast<int>(id), CommandAvailable(static_cast<int>(id)));
  }
  MenuContext c;
  c.active = ActiveCode();
  c.view = Config().desk.view;
  c.notesEmpty = c.active == kDeskNotes && NotesEmpty();
  c.clockEnabled = (App().clockIcon & 0x100) != 0;
  c.autoSave = App().autoSave;
  c.tabsOn = Config().overlayTabsHidden == 0;
  if (popup == p.file) {
    FileMenuState s = FileMenu(c);
    if (!s.pageLayout) Enable(popup, CMD_PAGE_LAYOUT, false);
    if (!s.print) Enable(popup, CMD_PRINT, false);
    for (int i = 0, n = GetMenuItemCount(popup); i < n; ++i)
      if (GetSubMenu(popup, i) == p.metafile)
        EnableMenuItem(popup, static_cast<UINT>(i), MF_BYPOSITION | (s.metafile ? MF_ENABLED : MF_GRAYED));
  } else if (popup == p.calendar) {
    CalendarMenuState s = CalendarMenu(c);
    if (!s.goToDate) Enable(popup, CMD_GO_TO_DATE, false);
    Check(popup, CMD_OVERLAY_TABS, s.overlayTabsChecked);
  } else if (popup == p.metafile) {
    if (!CalendarMenu(c).metafileOutputs) {
      Enable(popup, CMD_METAFILE_CLIPBOARD, false);
      Enable(popup, CMD_METAFILE_DISK, false);
    }
  } else if (popup == p.configure) {
    ConfigureMenuState s = ConfigureMenu(c);
    Check(popup, CMD_ICONIC_CLOCK, s.clockChecked);
    Check(popup, CMD_AUTOSAVE, s.autoSaveChecked);
  }
}

// --- shutdown --------------------------------------------------------------------------------------

void SaveBeforeClosing() {
  if (!App().autoSave) return;
  if (HWND phonebook = DeskWindow(kDeskPhonebook)) SendMessageA(phonebook, kMsgPhonebookFinish, 0, 0);
  WriteConfiguration(kSave);
}

void OnClose(HWND h) {
  SaveBeforeClosing();
  if (!DeskAgreesToClose()) return;
  DestroyDesk();
  DestroyWindow(h);
}

void OnDestroy() {
  App().closing = true;
  FreeToolbar();
  FreeDrawingResources();
  Services().CloseOverlays();
  RegWriteSetting("Configuration", "Active", "0");
  App().frame = nullptr;
  PostQuitMessage(0);
}

// --- private messages ------------------------------------------------------------------------------

void OnTestAdvanceClock(WPARAM minutes) {
  FrameState& s = State();
  if (!s.testClock) return;
  s.testClock->Advance(static_cast<int>(static_cast<INT_PTR>(minutes)));
  RunFrameTick();
}

// The desktop clock of this program while it stands in for the frame, or nullptr.
HWND OwnClockWindow() {
  HWND clock = FindWindowA("KVClock", nullptr);
  DWORD pid = 0;
  if (clock) GetWindowThreadProcessId(clock, &pid);
  return pid == GetCurrentProcessId() ? clock : nullptr;
}

LRESULT OnSysCommand(HWND h, WPARAM wp, LPARAM lp) {
  // While the clock stands in, it carries out the frame's system commands; minimising the
  // frame then means bringing it back.
  if (HWND clock = OwnClockWindow()) {
    WPARAM command = (wp & 0xFFF0) == SC_MINIMIZE ? SC_RESTORE : wp;
    SendMessageA(clock, WM_SYSCOMMAND, command, lp);
    return 0;
  }
  if ((wp & 0xFFF0) == SC_MINIMIZE && (App().clockIcon & 0x100) && State().hooks.clockStandsIn &&
      State().hooks.clockStandsIn())
    return 0;
  return DefFrameProcA(h, App().mdiClient, WM_SYSCOMMAND, wp, lp);
}

LRESULT OnCommand(HWND h, WPARAM wp, LPARAM lp) {
  int id = LOWORD(wp);
  if (OwnerOf(id) == CommandOwner::None) return DefFrameProcA(h, App().mdiClient, WM_COMMAND, wp, lp);
  RunCommand(id);
  return 0;
}

}  // namespace

FrameHooks& Hooks() { return State().hooks; }

void RunFrameTick() {
  TickResult r = RunClockTick();
  if (r.minuteChanged) {
    if (r.dayChanged) {
      ShowToday(Today());
      if (HWND calendar = DeskWindow(kDeskCalendar)) SendMessageA(calendar, kMsgTodayChanged, 0, 0);
    }
    // The desktop clock shows the date as well: it follows a new day as it follows a minute.
    if (HWND clock = OwnClockWindow()) SendMessageA(clock, kMsgClockRedraw, 0, 0);
    ShowTime(r.now.minuteOfDay);
    if (HWND alarm = AlarmWindow()) SendMessageA(alarm, kMsgAlarmMinute, 0, 0);
    if (HWND map = DeskWindow(kDeskMap)) SendMessageA(map, kMsgMapRefresh, 0, 0);
  }
  if (r.alarmDue) {
    if (State().hooks.clockRestoresFrame) State().hooks.clockRestoresFrame();
    FireAlarm();
  }
}

void CALLBACK ClockTimerProc(HWND, UINT, UINT_PTR, DWORD) { RunFrameTick(); }

void InstallTestClock(const DateStamp& start) {
  State().testClock = std::make_unique<FixedClock>(start);
  SetClockSource(State().testClock.get());
}

void SetFrameTitle() {
  if (App().frame) SetWindowTextA(App().frame, FrameTitle(ConfigState().fileName).c_str());
}

HWND CreateFrame(HINSTANCE instance) {
  std::string caption(StringText(IDS_PRODUCT_NAME));
  return CreateWindowExA(0, kFrameClass, caption.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
                         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
}

LRESULT CALLBACK FrameWindowProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE: return OnCreate(h) ? 0 : -1;
    case WM_SIZE: OnSize(h, wp, LOWORD(lp), HIWORD(lp)); return 0;
    case WM_MOVE: TrackFramePlacement(h); break;
    case WM_PAINT: OnPaint(h); return 0;
    case WM_DPICHANGED: OnDpiChanged(h, reinterpret_cast<const RECT*>(lp)); return 0;
    case WM_COMMAND: return OnCommand(h, wp, lp);
    case WM_NOTIFY:
      if (ToolbarTooltip(lp)) return 0;
      break;
    case WM_INITMENUPOPUP:
      if (!HIWORD(lp)) OnInitMenuPopup(reinterpret_cast<HMENU>(wp));
      break;
    case WM_SYSCOMMAND: return OnSysCommand(h, wp, lp);
    case WM_CLOSE: OnClose(h); return 0;
    case WM_QUERYENDSESSION: SaveBeforeClosing(); return DeskAgreesToClose();
    case WM_ENDSESSION:
      if (wp) DestroyDesk(), DestroyWindow(h);
      return 0;
    case WM_DESTROY: OnDestroy(); return 0;
    case WM_COPYDATA: return ReceiveHandedOverlay(reinterpret_cast<const COPYDATASTRUCT*>(lp));
    case kMsgRunClockTick: RunFrameTick(); return 0;
    case kMsgFirstUse: FinishFirstUseNow(); return 0;
    case kMsgOpenMap: OpenMapWindow(); return 0;
    case kMsgTestAdvanceClock: OnTestAdvanceClock(wp); return 0;
    default: break;
  }
  return DefFrameProcA(h, App().mdiClient, msg, wp, lp);
}

}  // namespace kv
