#include "shell/desk_win.h"

#include <optional>

#include "base/dialog_template.h"
#include "base/win_handles.h"

#include <string>
#include <vector>

#include "resources/strings.h"
#include "shell/app_win.h"
#include "shell/commands.h"
#include "shell/configuration.h"
#include "shell/desk.h"
#include "shell/drawing_win.h"
#include "shell/frame_win.h"
#include "base/messages.h"
#include "personal/notes_window_win.h"
#include "personal/phone_window_win.h"
#include "personal/schedule_window_win.h"
#include "personal/todo_window_win.h"
#include "sky/world_map_win.h"
#include "shell/toolbar_win.h"
#include "base/bytes.h"
#include "views/calendar_window_win.h"

namespace kv {
namespace {

constexpr DWORD kSizableStyle = WS_VISIBLE | WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
// The phonebook and the world map keep their own size.
constexpr DWORD kFixedStyle = WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
constexpr int kMapWidth = 800;
constexpr int kMapHeight = 500 + 38;  // the map and its control bar

struct DeskInfo {
  uint8_t code;
  const char* className;
  int title;  // string number
  DWORD style;
};

constexpr DeskInfo kDesk[] = {
    {kDeskCalendar, kCalendarClass, 1024, kSizableStyle}, {kDeskNotes, kNotesClass, 1059, kSizableStyle},
    {kDeskSchedule, kScheduleClass, 1028, kSizableStyle}, {kDeskToDo, kToDoClass, 1036, kSizableStyle},
    {kDeskPhonebook, kPhonebookClass, 1026, kFixedStyle}, {kDeskMap, kMapHostClass, 25002, kFixedStyle},
};

const DeskInfo* InfoOf(uint8_t code) {
  for (const DeskInfo& d : kDesk)
    if (d.code == code) return &d;
  return nullptr;
}

RECT RectInClient(HWND h) {
  RECT r;
  GetWindowRect(h, &r);
  MapWindowPoints(nullptr, App().mdiClient, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void TrackPlacement(HWND h, uint8_t code) {
  if (App().closing) return;
  uint8_t* state = Config().desk.SizeStateOf(code);
  if (IsIconic(h) || IsZoomed(h)) {
    if (state) *state = IsIconic(h) ? kMinimized : kMaximized;
    return;
  }
  if (state) *state = kRestored;
  RECT r = RectInClient(h);
  if (Placement* p = Config().desk.PlacementOf(code)) *p = {r.left, r.top, r.right - r.left, r.bottom - r.top};
  else if (Position16* q = Config().desk.PositionOf(code)) *q = {static_cast<int16_t>(r.left), static_cast<int16_t>(r.top)};
}

// The outer size of a fixed-size window whose client area is `width` x `height`.
SIZE OuterSize(DWORD style, int width, int height) {
  RECT r{0, 0, width, height};
  AdjustWindowRectEx(&r, style, FALSE, WS_EX_MDICHILD);
  return {r.right - r.left, r.bottom - r.top};
}

// The phonebook's client size: the "Phonebook" template's size in dialog units, converted with
// the base units of the dialog font (average letter width and font height).
SIZE PhonebookClientSize() {
  SIZE size{480, 320};
  HRSRC res = FindResourceA(App().instance, "Phonebook", MAKEINTRESOURCEA(5));
  HGLOBAL data = res ? LoadResource(App().instance, res) : nullptr;
  const auto* bytes = data ? static_cast<const uint8_t*>(LockResource(data)) : nullptr;
  std::optional<DialogTemplate> t = ParseDialogTemplate(bytes, res ? SizeofResource(App().instance, res) : 0);
  if (!t) return size;
  WindowDC dc(App().frame);
  SelectedObject font(dc.get(), Drawing().dialogFont ? Drawing().dialogFont : GetStockObject(DEFAULT_GUI_FONT));
  const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  SIZE extent{};
  GetTextExtentPoint32A(dc.get(), letters, 52, &extent);
  TEXTMETRICA tm{};
  GetTextMetricsA(dc.get(), &tm);
  int baseX = DialogBaseX(extent.cx), baseY = tm.tmHeight;
  if (baseX > 0 && baseY > 0) size = {DialogUnitsToPixelsX(t->cx, baseX), DialogUnitsToPixelsY(t->cy, baseY)};
  return size;
}

void Restore(HWND h) {
  if (h && (IsIconic(h) || IsZoomed(h))) SendMessageA(App().mdiClient, WM_MDIRESTORE, reinterpret_cast<WPARAM>(h), 0);
}

void ApplySizeState(HWND h, uint8_t state) {
  if (state == kMaximized) SendMessageA(App().mdiClient, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(h), 0);
  else if (state == kMinimized) ShowWindow(h, SW_SHOWMINNOACTIVE);
}

// The MDI client keeps scroll bars it showed while it was still small once the children fill
// it exactly at its full size (each bar then takes the room that would make the children fit):
// they go when every open child fits the client without them.
void DropNeedlessScrollBars(HWND client) {
  LONG_PTR style = GetWindowLongPtrA(client, GWL_STYLE);
  if (!(style & (WS_HSCROLL | WS_VSCROLL))) return;
  RECT area;
  GetClientRect(client, &area);
  if (style & WS_VSCROLL) area.right += GetSystemMetrics(SM_CXVSCROLL);
  if (style & WS_HSCROLL) area.bottom += GetSystemMetrics(SM_CYHSCROLL);
  for (HWND h = GetWindow(client, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
    if (!IsWindowVisible(h) || IsIconic(h)) continue;
    RECT r = RectInClient(h);
    if (r.left < 0 || r.top < 0 || r.right > area.right || r.bottom > area.bottom) return;
  }
  ShowScrollBar(client, SB_BOTH, FALSE);
}

void MoveToSaved(HWND h, uint8_t code, const DeskLayout& saved) {
  if (const Placement* p = saved.PlacementOf(code)) {
    if (p->width > 0 && p->height > 0) MoveWindow(h, p->x, p->y, p->width, p->height, TRUE);
    return;
  }
  const Position16* q = saved.PositionOf(code);
  if (!q) return;
  SetWindowPos(h, nullptr, q->x, q->y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Asks to save a changed configuration before the calendar, and with it the program, closes.
BOOL CalendarMayClose() {
  if (!ConfigDirty()) return TRUE;
  UserMessage m;
  m.text = std::string(StringText(1114));
  m.caption = std::string(StringText(IDS_PRODUCT_NAME));
  m.icon = MsgIcon::Question;
  m.beep = MsgBeep::Question;
  m.buttons = MsgButtons::YesNoCancel;
  m.owner = MsgOwner::Frame;
  switch (ShowUserMessage(m)) {
    case MsgAnswer::Yes: return WriteConfiguration(kSave) ? TRUE : FALSE;
    case MsgAnswer::No: return TRUE;
    default: return FALSE;
  }
}

void SetCalendarView(HWND h, uint16_t view) {
  Config().desk.view = view;
  PressViewButton(view);
  SetWindowTextA(h, std::string(StringText(1024)).c_str());
}

}  // namespace

void ShowViewInFrame(uint16_t view) {
  if (HWND calendar = App().desk[kDeskCalendar]) SetCalendarView(calendar, view);
}

LRESULT DeskChildDefault(HWND h, UINT msg, WPARAM wp, LPARAM lp, uint8_t code) {
  switch (msg) {
    case WM_CREATE:
      App().desk[code] = h;
      Config().desk.openWindows |= OpenBitOf(static_cast<DeskCode>(code));
      break;
    case WM_MOVE:
    case WM_SIZE: TrackPlacement(h, code); break;
    case WM_DESTROY:
      App().desk[code] = nullptr;
      if (!App().closing) Config().desk.openWindows &= static_cast<uint8_t>(~OpenBitOf(static_cast<DeskCode>(code)));
      break;
    case WM_QUERYENDSESSION: return TRUE;
    default: break;
  }
  return DefMDIChildProcA(h, msg, wp, lp);
}

LRESULT CALLBACK CalendarWindowProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  LRESULT result = 0;
  if (CalendarViewsMessage(h, msg, wp, lp, result)) return result;
  switch (msg) {
    case WM_CREATE:
      // The calendar is always on the desk: its close box is off.
      EnableMenuItem(GetSystemMenu(h, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
      break;
    case WM_CLOSE:
      if (!App().closing) return 0;
      break;
    case WM_QUERYENDSESSION: return CalendarMayClose();
    default: break;
  }
  return DeskChildDefault(h, msg, wp, lp, kDeskCalendar);
}

LRESULT CALLBACK NotesWindowProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  LRESULT result = 0;
  if (NotesWindowMessage(h, msg, wp, lp, result)) return result;
  return DeskChildDefault(h, msg, wp, lp, kDeskNotes);
}

LRESULT CALLBACK ScheduleWindowProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  LRESULT result = 0;
  if (ScheduleWindowMessage(h, msg, wp, lp, result)) return result;
  return DeskChildDefault(h, msg, wp, lp, kDeskSchedule);
}

LRESULT CALLBACK ToDoWindowProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  LRESULT result = 0;
  if (ToDoWindowMessage(h, msg, wp, lp, result)) return result;
  return DeskChildDefault(h, msg, wp, lp, kDeskToDo);
}

LRESULT CALLBACK PhonebookWindowProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  LRESULT result = 0;
  if (PhoneWindowMessage(h, msg, wp, lp, result)) return result;
  return DeskChildDefault(h, msg, wp, lp, kDeskPhonebook);
}

LRESULT CALLBACK MapHostWindowProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  LRESULT result = 0;
  if (WorldMapHostMessage(h, msg, wp, lp, result)) return result;
  // The control bar takes its keys through the main loop's dialog messages.
  if (msg == WM_CREATE) App().mapTools = WorldMapBar();
  if (msg == WM_DESTROY) App().mapTools = nullptr;
  return DeskChildDefault(h, msg, wp, lp, kDeskMap);
}

uint8_t DeskCodeOf(HWND h) {
  if (!h) return 0;
  for (uint8_t code = kDeskCalendar; code <= kDeskMap; ++code)
    if (App().desk[code] == h) return code;
  return 0;
}

HWND DeskWindow(int code) { return code >= 1 && code <= 6 ? App().desk[static_cast<size_t>(code)] : nullptr; }

HWND OpenDeskWindow(uint8_t code) {
  const DeskInfo* info = InfoOf(code);
  if (!info || !App().mdiClient) return nullptr;
  if (HWND h = App().desk[code]) return h;
  std::string title(StringText(info->title));
  MDICREATESTRUCTA mcs{};
  mcs.szClass = info->className;
  mcs.szTitle = title.c_str();
  mcs.hOwner = App().instance;
  mcs.style = info->style;
  mcs.x = mcs.y = mcs.cx = mcs.cy = CW_USEDEFAULT;
  if (const Placement* p = Config().desk.PlacementOf(code); p && p->width > 0 && p->height > 0) {
    mcs.x = p->x, mcs.y = p->y, mcs.cx = p->width, mcs.cy = p->height;
  } else if (const Position16* q = Config().desk.PositionOf(code)) {
    SIZE client = code == kDeskMap ? SIZE{kMapWidth, kMapHeight} : PhonebookClientSize();
    SIZE outer = OuterSize(info->style, client.cx, client.cy);
    mcs.x = q->x, mcs.y = q->y, mcs.cx = outer.cx, mcs.cy = outer.cy;
  }
  return reinterpret_cast<HWND>(SendMessageA(App().mdiClient, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)));
}

HWND BringUpDeskWindow(uint8_t code) {
  HWND h = OpenDeskWindow(code);
  if (!h) return nullptr;
  if (IsIconic(h)) SendMessageA(App().mdiClient, WM_MDIRESTORE, reinterpret_cast<WPARAM>(h), 0);
  SendMessageA(App().mdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(h), 0);
  return h;
}

void CloseDeskWindow(uint8_t code) {
  if (HWND h = DeskWindow(code)) SendMessageA(App().mdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(h), 0);
}

uint8_t OpenDeskBits() {
  uint8_t bits = 0;
  for (uint8_t code = kDeskNotes; code <= kDeskMap; ++code)
    if (App().desk[code]) bits |= OpenBitOf(static_cast<DeskCode>(code));
  return bits;
}

void SwitchCalendarView(uint16_t view) {
  HWND calendar = DeskWindow(kDeskCalendar);
  UINT msg = view == kYearView ? kMsgCalendarYearView : view == kDayView ? kMsgCalendarDayView : kMsgCalendarMonthView;
  if (calendar) SendMessageA(calendar, msg, 0, 0);
  else Config().desk.view = view, PressViewButton(view);
}

void ArrangeAllWindows() {
  // The client's whole area counts: scroll bars shown for the old layout go with it.
  ShowScrollBar(App().mdiClient, SB_BOTH, FALSE);
  RECT client;
  GetClientRect(App().mdiClient, &client);
  ArrangeInput in;
  in.clientWidth = client.right;
  in.clientHeight = client.bottom;
  auto state = [](uint8_t code) {
    HWND h = DeskWindow(code);
    return ToolWindowState{h != nullptr, h && IsIconic(h)};
  };
  in.schedule = state(kDeskSchedule);
  in.notes = state(kDeskNotes);
  in.todo = state(kDeskToDo);
  in.phonebook = state(kDeskPhonebook);
  if (HWND pb = DeskWindow(kDeskPhonebook)) {
    RECT r;
    GetWindowRect(pb, &r);
    in.phonebookWidth = r.right - r.left;
    in.phonebookHeight = r.bottom - r.top;
  }
  ArrangeResult out = ArrangeAll(in);
  for (const auto& [code, rect] : out.stacked) {
    HWND h = DeskWindow(code);
    Restore(h);
    MoveWindow(h, rect.x, rect.y, rect.width, rect.height, TRUE);
  }
  if (HWND calendar = DeskWindow(kDeskCalendar)) {
    Restore(calendar);
    MoveWindow(calendar, out.calendar.x, out.calendar.y, out.calendar.width, out.calendar.height, TRUE);
  }
  if (out.phonebookPosition)
    SetWindowPos(DeskWindow(kDeskPhonebook), nullptr, out.phonebookPosition->first, out.phonebookPosition->second, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ResetDeskWindows(bool atStart) {
  HWND client = App().mdiClient;
  DeskLayout saved = ConfigState().savedDesk;
  ResetDeskPlan plan = PlanResetDesk(saved, OpenDeskBits());
  SendMessageA(client, WM_SETREDRAW, FALSE, 0);
  if (App().search) DestroyWindow(App().search);
  for (DeskCode code : plan.close) CloseDeskWindow(code);

  HWND calendar = OpenDeskWindow(kDeskCalendar);
  Restore(calendar);
  MoveToSaved(calendar, kDeskCalendar, saved);
  ApplySizeState(calendar, saved.calendarState);
  for (DeskCode code : plan.open) {
    HWND h = OpenDeskWindow(code);
    if (!h) continue;
    Restore(h);
    MoveToSaved(h, code, saved);
    if (code == kDeskMap) {
      if (!atStart) ShowWindow(h, SW_SHOWMINNOACTIVE);
    } else {
      ApplySizeState(h, saved.SavedSizeState(code));
    }
  }
  if (saved.view != 0 && saved.view != Config().desk.view) SwitchCalendarView(saved.view);

  Config().desk = saved;
  HWND previous = HWND_TOP;
  for (DeskCode code : plan.zOrder) {
    HWND h = DeskWindow(code);
    SetWindowPos(h, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    previous = h;
  }
  if (HWND active = plan.activeSaved ? DeskWindow(plan.active) : nullptr) {
    SendMessageA(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(active), 0);
    if (plan.maximizeActive) SendMessageA(client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(active), 0);
    else Restore(active);
  }

  SendMessageA(client, WM_SETREDRAW, TRUE, 0);
  // Sizing the client to nothing and back repaints every child.
  RECT r;
  GetWindowRect(client, &r);
  MapWindowPoints(nullptr, App().frame, reinterpret_cast<POINT*>(&r), 2);
  SetWindowPos(client, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOZORDER);
  SetWindowPos(client, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER);
  DropNeedlessScrollBars(client);
  RedrawWindow(client, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void RecordDeskInto(CalendarConfig& config) {
  HWND client = App().mdiClient;
  if (!client) return;
  std::vector<uint8_t> codes;
  for (HWND h = GetWindow(client, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
    if (uint8_t code = DeskCodeOf(h)) codes.push_back(code);
  BOOL maximized = FALSE;
  HWND active = reinterpret_cast<HWND>(SendMessageA(client, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&maximized)));
  RecordDesk(config, codes, DeskCodeOf(active), maximized != FALSE);
}

bool DeskAgreesToClose() {
  HWND client = App().mdiClient;
  if (!client) return true;
  std::vector<HWND> children;
  for (HWND h = GetWindow(client, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
    if (!GetWindow(h, GW_OWNER)) children.push_back(h);
  for (HWND h : children)
    if (IsWindow(h) && !SendMessageA(h, WM_QUERYENDSESSION, 0, 0)) return false;
  return true;
}

void DestroyDesk() {
  HWND client = App().mdiClient;
  if (!client) return;
  App().closing = true;
  ShowWindow(client, SW_HIDE);
  std::vector<HWND> children;
  for (HWND h = GetWindow(client, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
    if (!GetWindow(h, GW_OWNER)) children.push_back(h);
  for (HWND h : children) {
    if (!IsWindow(h)) continue;
    if (IsIconic(h)) SendMessageA(client, WM_MDIRESTORE, reinterpret_cast<WPARAM>(h), 0);
    SendMessageA(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(h), 0);
  }
}

}  // namespace kv
