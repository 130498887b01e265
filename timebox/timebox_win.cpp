#include "timebox/timebox_win.h"

#include <algorithm>
#include <new>
#include <string>

#include "base/win_handles.h"
#include "base/window_kit_win.h"
#include "calendar/clock.h"
#include "calendar/date_format.h"
#include "calendar/regional.h"
#include "resources/command_ids.h"
#include "resources/strings.h"
#include "timebox/time_popup.h"

namespace kv {
namespace {

constexpr int kRegisterFailed = 27002;  // "RegisterTimeBox(): RegisterClass() failed"
constexpr int kRegisterCaption = 27003; // "Err! - TIMEBOX.LIB"
constexpr int kStateFailed = 27006;     // "TimeboxWndProc(): GlobalAlloc() failed"
constexpr int kStateCaption = 27007;    // "Err! - TIMEBOX.DLL"
constexpr UINT kMsgCheckFocus = WM_APP + 0x41;

enum DropState { kUp = 0, kPressed = 1, kOpen = 2 };

std::string WindowText(HWND window) {
  int length = std::max(GetWindowTextLengthA(window), 0);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  GetWindowTextA(window, text.data(), length + 1);
  text.resize(static_cast<size_t>(length));
  return text;
}

RECT ToRect(const TimeEntryBox& b) { return RECT{b.left, b.top, b.right, b.bottom}; }

class TimeBox;

struct HookState {
  HHOOK keyboard = nullptr;
  HHOOK mouse = nullptr;
  TimeBox* keyboardBox = nullptr;
  TimeBox* mouseBox = nullptr;
};
HookState& Hooks() {
  static HookState hooks;
  return hooks;
}

LRESULT CALLBACK KeyboardProc(int code, WPARAM vk, LPARAM lp);
LRESULT CALLBACK MouseProc(int code, WPARAM message, LPARAM lp);

class TimeBox {
 public:
  TimeBox(HWND window, const CREATESTRUCTA& create) : self_(window), instance_(create.hInstance) {}
  ~TimeBox() {
    RemoveHooks(true);
    if (popup_) DestroyWindow(popup_);
  }

  LRESULT Handle(HWND window, UINT message, WPARAM wp, LPARAM lp) {
    switch (message) {
      case WM_CREATE: return OnCreate();
      case WM_SIZE: Layout(); return 0;
      case WM_PAINT: OnPaint(); return 0;
      case WM_LBUTTONDOWN: OnButtonDown(lp); return 0;
      case WM_LBUTTONUP: OnButtonUp(); return 0;
      case WM_CANCELMODE: ClosePopup(); return 0;
      case WM_SETFOCUS: OnSetFocus(); return 0;
      case WM_COMMAND: OnEditCommand(wp); return 0;
      case kMsgCheckFocus: OnCheckFocus(); return 0;
      case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTTAB;
      case WM_SETFONT: OnSetFont(reinterpret_cast<HFONT>(wp), LOWORD(lp) != 0); return 0;
      case WM_GETFONT: return reinterpret_cast<LRESULT>(font_);
      case WM_ENABLE: OnEnable(wp != 0); return 0;
      case kMsgTimeboxGet: return ReadTimeText(WindowText(edit_), Regional());
      case kMsgTimeboxSet: SetValue(static_cast<int>(wp)); return 0;
      case kMsgTimeboxClear: Clear(); return 0;
      case WM_DESTROY: RemoveHooks(true); return 0;
      default: return DefWindowProcA(window, message, wp, lp);
    }
  }

  bool Key(WPARAM vk, bool alt);
  bool MousePress(HWND target, POINT screen);
  void PaintPopup(HDC dc);
  void PopupPress(int x, int y, bool twice);

 private:
  LRESULT OnCreate();
  void Layout();
  void OnPaint();
  void OnButtonDown(LPARAM lp);
  void OnButtonUp();
  void OnSetFocus();
  void OnEditCommand(WPARAM wp);
  void OnCheckFocus();
  void OnSetFont(HFONT font, bool redraw);
  void OnEnable(bool enabled);
  void SetValue(int minutes);
  void Clear();
  void Notify(WORD code);
  void CheckTypedText();
  void Measure();
  void Choose(int minutes, const TimeFocus& focus);
  void ShowValue() { SetWindowTextA(edit_, value_ < 0 ? "" : FormatTimeOfDay(value_, Regional()).c_str()); }
  void SelectAll() { SendMessageA(edit_, EM_SETSEL, 0, -1); }
  void OpenPopup();
  void ClosePopup();
  void InstallKeyboardHook();
  void InstallMouseHook();
  void RemoveHooks(bool keyboardToo);
  HFONT FontInUse() const { return font_ ? font_ : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

  HWND self_;
  HINSTANCE instance_;
  HWND edit_ = nullptr;
  HWND popup_ = nullptr;
  HFONT font_ = nullptr;
  RECT button_{};
  int drop_ = kUp;
  int value_ = -1;  // minutes since midnight, -1 empty
  TimeFocus focus_;
  TimePopupGeometry geometry_;
  bool clock24_ = false;
};

LRESULT TimeBox::OnCreate() {
  edit_ = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 0, 0, 0, 0, self_,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTimeBoxEditId)), instance_, nullptr);
  if (!edit_) return -1;
  SendMessageA(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(FontInUse()), FALSE);
  value_ = CurrentDateTime().minuteOfDay;
  ShowValue();
  Measure();
  Layout();
  return 0;
}

void TimeBox::Layout() {
  RECT client;
  GetClientRect(self_, &client);
  int width = GetSystemMetrics(SM_CXVSCROLL) + 2;
  button_ = RECT{std::max(client.right - width, 0L), 0, client.right, client.bottom};
  MoveWindow(edit_, 0, 0, button_.left, client.bottom, TRUE);
  InvalidateRect(self_, &button_, FALSE);
}

void TimeBox::OnPaint() {
  PaintDC paint(self_);
  UINT state = DFCS_SCROLLCOMBOBOX;
  if (drop_ == kPressed) state |= DFCS_PUSHED;
  if (!IsWindowEnabled(self_)) state |= DFCS_INACTIVE;
  RECT r = button_;
  DrawFrameControl(paint.get(), &r, DFC_SCROLL, state);
}

void TimeBox::OnButtonDown(LPARAM lp) {
  POINT p{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
  if (!PtInRect(&button_, p) || !IsWindowEnabled(self_)) return;
  if (drop_ == kOpen) {
    ClosePopup();
    return;
  }
  drop_ = kPressed;
  SetCapture(self_);
  InvalidateRect(self_, &button_, FALSE);
  OpenPopup();
  SetFocus(edit_);
}

void TimeBox::OnButtonUp() {
  if (drop_ != kPressed) return;
  drop_ = kOpen;
  if (GetCapture() == self_) ReleaseCapture();
  InvalidateRect(self_, &button_, FALSE);
}

void TimeBox::OnSetFocus() {
  if (drop_ != kUp) return;
  SetFocus(edit_);
  SelectAll();
}

void TimeBox::OnEditCommand(WPARAM wp) {
  if (LOWORD(wp) != kTimeBoxEditId) return;
  switch (HIWORD(wp)) {
    case EN_SETFOCUS: InstallKeyboardHook(); break;
    case EN_KILLFOCUS:
      RemoveHooks(true);
      if (drop_ != kUp) ClosePopup();
      if (!IsWindowVisible(self_)) break;
      CheckTypedText();
      PostMessageA(self_, kMsgCheckFocus, 0, 0);
      break;
    default: break;
  }
}

void TimeBox::Notify(WORD code) {
  if (HWND parent = GetParent(self_))
    SendMessageA(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(self_), code), reinterpret_cast<LPARAM>(self_));
}

void TimeBox::OnCheckFocus() {
  HWND focus = GetFocus();
  if (focus != self_ && focus != edit_) Notify(kTimeBoxFocusLeft);
}

void TimeBox::CheckTypedText() {
  int read = ReadTimeText(WindowText(edit_), Regional());
  if (read == kTimeEmpty) {
    value_ = -1;
    Notify(kTimeBoxEmpty);
  } else if (read == kTimeInvalid) {
    value_ = -1;
    MessageBeep(MB_OK);
  } else {
    value_ = read;
    ShowValue();
    Notify(kTimeBoxAccepted);
  }
}

void TimeBox::OnSetFont(HFONT font, bool redraw) {
  font_ = font;
  SendMessageA(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(FontInUse()), redraw);
  Measure();
  if (redraw) InvalidateRect(self_, nullptr, TRUE);
}

void TimeBox::OnEnable(bool enabled) {
  EnableWindow(edit_, enabled);
  if (!enabled) {
    ClosePopup();
    SetWindowTextA(edit_, "");
  } else if (GetWindowTextLengthA(edit_) == 0) {
    ShowValue();
  }
  InvalidateRect(self_, &button_, FALSE);
}

void TimeBox::SetValue(int minutes) {
  if (minutes < 0 || minutes >= 1440) return;
  value_ = minutes;
  ShowValue();
  if (popup_ && IsWindowVisible(popup_)) InvalidateRect(popup_, nullptr, TRUE);
}

void TimeBox::Clear() {
  value_ = -1;
  SetWindowTextA(edit_, "");
  if (popup_ && IsWindowVisible(popup_)) ClosePopup();
}

void TimeBox::Measure() {
  WindowDC screen(nullptr);
  SelectedObject selected(screen.get(), FontInUse());
  SIZE zero{};
  GetTextExtentPoint32A(screen.get(), "0", 1, &zero);
  clock24_ = Regional().clock24;
  geometry_ = TimePopupLayout(std::max<int>(zero.cx, 4), std::max<int>(zero.cy, 8), clock24_);
}

void TimeBox::Choose(int minutes, const TimeFocus& focus) {
  value_ = minutes;
  focus_ = focus;
  ShowValue();
  if (popup_) InvalidateRect(popup_, nullptr, TRUE);
}

void TimeBox::OpenPopup() {
  int read = ReadTimeText(WindowText(edit_), Regional());
  if (read >= 0) value_ = read;
  if (value_ < 0) value_ = CurrentDateTime().minuteOfDay;
  ShowValue();
  if (!popup_) {
    popup_ = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kTimePopupClass, "", WS_POPUP, 0, 0,
                             0, 0, nullptr, nullptr, instance_, this);
    if (!popup_) return;
  }
  Measure();
  focus_ = FocusOf(SplitTime(value_, clock24_), kHourColumn);
  RECT box;
  GetWindowRect(self_, &box);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoA(MonitorFromWindow(self_, MONITOR_DEFAULTTONEAREST), &monitor);
  int x = std::max(box.right - geometry_.width, box.left);
  int y = box.bottom - 1;
  if (y + geometry_.height > monitor.rcWork.bottom) y = box.top - geometry_.height + 1;
  SetWindowPos(popup_, HWND_TOPMOST, x, y, geometry_.width, geometry_.height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  InvalidateRect(popup_, nullptr, TRUE);
  if (drop_ == kUp) drop_ = kOpen;
  InstallMouseHook();
}

void TimeBox::ClosePopup() {
  if (popup_) ShowWindow(popup_, SW_HIDE);
  RemoveHooks(false);
  if (GetFocus() == edit_) InstallKeyboardHook();
  HWND capture = GetCapture();
  if (capture && (capture == self_ || capture == popup_)) ReleaseCapture();
  if (drop_ != kUp) {
    drop_ = kUp;
    InvalidateRect(self_, &button_, FALSE);
  }
}

bool TimeBox::Key(WPARAM vk, bool alt) {
  if (drop_ == kUp) {
    // Alt+Down opens the pop-up and still goes on to the edit, so that releasing Alt afterwards
    // does not enter the dialog's menu.
    if (alt && vk == VK_DOWN && IsWindowEnabled(self_)) OpenPopup();
    return false;
  }
  TimeKey key;
  switch (vk) {
    case VK_UP:
      if (alt) {
        ClosePopup();
        SelectAll();
        return false;  // on to the edit, as Alt+Down
      }
      key = TimeKey::Up;
      break;
    case VK_DOWN: key = TimeKey::Down; break;
    case VK_LEFT: key = TimeKey::Left; break;
    case VK_RIGHT: key = TimeKey::Right; break;
    case VK_HOME: key = TimeKey::Home; break;
    case VK_END: key = TimeKey::End; break;
    case VK_TAB: key = GetKeyState(VK_SHIFT) < 0 ? TimeKey::BackTab : TimeKey::Tab; break;
    case VK_ESCAPE:
    case VK_RETURN:
      ClosePopup();
      SelectAll();
      return true;
    case VK_SHIFT:
    case VK_CONTROL:
    case VK_MENU: return false;
    default: ShowValue(); return true;
  }
  TimeMove move = MoveTimeFocus(value_ < 0 ? 0 : value_, focus_, key, clock24_);
  Choose(move.minutes, move.focus);
  return true;
}

bool TimeBox::MousePress(HWND target, POINT screen) {
  if (target == popup_ || drop_ == kPressed) return false;
  if (target == self_) {
    POINT p = screen;
    ScreenToClient(self_, &p);
    if (PtInRect(&button_, p)) {
      ClosePopup();
      SetFocus(edit_);
      SelectAll();
      return true;
    }
  }
  ClosePopup();
  if (!target || target == edit_ || target == self_) {
    SetFocus(edit_);
    SelectAll();
    return true;
  }
  return false;
}

void TimeBox::PopupPress(int x, int y, bool twice) {
  TimeFocus at = TimeEntryAt(geometry_, x, y, clock24_);
  if (at.column < 0) return;
  Choose(ChooseTimeRow(value_ < 0 ? 0 : value_, at.column, at.row, clock24_), at);
  if (twice) {
    ClosePopup();
    SetFocus(edit_);
    SelectAll();
  }
}

void TimeBox::PaintPopup(HDC dc) {
  const TimePopupGeometry& g = geometry_;
  RECT all{0, 0, g.width, g.height};
  FillRect(dc, &all, GetSysColorBrush(COLOR_WINDOW));
  FrameRect(dc, &all, GetSysColorBrush(COLOR_WINDOWFRAME));
  SetBkMode(dc, TRANSPARENT);
  SelectedObject font(dc, FontInUse());

  TimePopupColumns columns = TimeColumns(Regional());
  // Heads: "Hour" over the hours, "Minute" over the tens and units.
  RECT head{all.left + 1, all.top + 1, all.right - 1, g.headBottom};
  FillRect(dc, &head, GetSysColorBrush(COLOR_ACTIVECAPTION));
  SetTextColor(dc, GetSysColor(COLOR_CAPTIONTEXT));
  int hourRight = g.columnLeft[kHourColumn] + g.columnWidth[kHourColumn] * (clock24_ ? 2 : 1);
  RECT hourHead{g.columnLeft[kHourColumn], head.top, hourRight, head.bottom};
  RECT minuteHead{g.columnLeft[kTensColumn], head.top, g.columnLeft[kUnitsColumn] + g.columnWidth[kUnitsColumn],
                  head.bottom};
  DrawTextA(dc, columns.heads[0].c_str(), -1, &hourHead, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  DrawTextA(dc, columns.heads[1].c_str(), -1, &minuteHead, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);

  TimeParts chosen = SplitTime(value_ < 0 ? 0 : value_, clock24_);
  int chosenRow[4] = {chosen.hourRow, chosen.tens, chosen.units, chosen.pm ? 1 : 0};
  GdiPen focusPen(CreatePen(PS_DOT, 1, GetSysColor(COLOR_WINDOWTEXT)));
  for (size_t c = 0; c < columns.rows.size(); ++c) {
    for (size_t r = 0; r < columns.rows[c].size(); ++r) {
      int column = static_cast<int>(c), row = static_cast<int>(r);
      RECT square = ToRect(TimeEntryRect(g, column, row, clock24_));
      bool selected = value_ >= 0 && chosenRow[c] == row;
      if (selected) FillRect(dc, &square, GetSysColorBrush(COLOR_HIGHLIGHT));
      if (focus_.column == column && focus_.row == row) DrawFocusRect(dc, &square);
      SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
      DrawTextA(dc, columns.rows[c][r].c_str(), -1, &square, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
  }
}

void TimeBox::InstallKeyboardHook() {
  HookState& h = Hooks();
  h.keyboardBox = this;
  if (!h.keyboard) h.keyboard = SetWindowsHookExA(WH_KEYBOARD, KeyboardProc, nullptr, GetCurrentThreadId());
}

void TimeBox::InstallMouseHook() {
  HookState& h = Hooks();
  h.mouseBox = this;
  if (!h.mouse) h.mouse = SetWindowsHookExA(WH_MOUSE, MouseProc, nullptr, GetCurrentThreadId());
}

void TimeBox::RemoveHooks(bool keyboardToo) {
  HookState& h = Hooks();
  if (h.mouseBox == this) {
    if (h.mouse) UnhookWindowsHookEx(h.mouse);
    h.mouse = nullptr;
    h.mouseBox = nullptr;
  }
  if (keyboardToo && h.keyboardBox == this) {
    if (h.keyboard) UnhookWindowsHookEx(h.keyboard);
    h.keyboard = nullptr;
    h.keyboardBox = nullptr;
  }
}

LRESULT CALLBACK KeyboardProc(int code, WPARAM vk, LPARAM lp) {
  HookState& h = Hooks();
  bool keyDown = (static_cast<DWORD>(lp) & 0x80000000u) == 0;
  if (code == HC_ACTION && keyDown && h.keyboardBox) {
    bool used = false;
    try {
      used = h.keyboardBox->Key(vk, (lp & (1 << 29)) != 0);
    } catch (...) {
      used = false;
    }
    if (used) return 1;
  }
  return CallNextHookEx(h.keyboard, code, vk, lp);
}

LRESULT CALLBACK MouseProc(int code, WPARAM message, LPARAM lp) {
  HookState& h = Hooks();
  if (code == HC_ACTION && h.mouseBox && (message == WM_LBUTTONDOWN || message == WM_NCLBUTTONDOWN)) {
    const auto* m = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lp);
    bool swallow = false;
    try {
      swallow = h.mouseBox->MousePress(m->hwnd, m->pt);
    } catch (...) {
      swallow = false;
    }
    if (swallow) return 1;
  }
  return CallNextHookEx(h.mouse, code, message, lp);
}

LRESULT CALLBACK PopupProc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lp);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* box = reinterpret_cast<TimeBox*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!box) return DefWindowProcA(window, message, wp, lp);
  return Guarded<LRESULT>(window, message, 0, [&]() -> LRESULT {
    switch (message) {
      case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
      case WM_ERASEBKGND: return 1;
      case WM_PAINT: {
        PaintDC paint(window);
        box->PaintPopup(paint.get());
        return 0;
      }
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
        box->PopupPress(static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)), message == WM_LBUTTONDBLCLK);
        return 0;
      case WM_NCDESTROY: SetWindowLongPtrA(window, GWLP_USERDATA, 0); return 0;
      default: return DefWindowProcA(window, message, wp, lp);
    }
  });
}

LRESULT CALLBACK TimeBoxProc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
  if (message == WM_NCCREATE) {
    auto* made = new (std::nothrow) TimeBox(window, *reinterpret_cast<const CREATESTRUCTA*>(lp));
    if (!made) {
      MessageBoxA(nullptr, std::string(StringText(kStateFailed)).c_str(), std::string(StringText(kStateCaption)).c_str(),
                  MB_OK | MB_ICONSTOP);
      return FALSE;
    }
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(made));
  }
  TimeBox* box = StateOf<TimeBox>(window);
  if (!box) return DefWindowProcA(window, message, wp, lp);
  LRESULT result = Guarded<LRESULT>(window, message, 0, [&] { return box->Handle(window, message, wp, lp); });
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    delete box;
  }
  return result;
}

}  // namespace

bool RegisterTimeBox(HINSTANCE instance) {
  WNDCLASSA box{};
  box.style = CS_GLOBALCLASS | CS_HREDRAW | CS_VREDRAW;
  box.lpfnWndProc = TimeBoxProc;
  box.hInstance = instance;
  box.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  box.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  box.lpszClassName = kTimeBoxClass;

  WNDCLASSA popup{};
  popup.style = CS_GLOBALCLASS | CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS | CS_DROPSHADOW | CS_SAVEBITS;
  popup.lpfnWndProc = PopupProc;
  popup.hInstance = instance;
  popup.hCursor = box.hCursor;
  popup.lpszClassName = kTimePopupClass;

  if (!RegisterClassA(&box) || !RegisterClassA(&popup)) {
    MessageBoxA(nullptr, std::string(StringText(kRegisterFailed)).c_str(),
                std::string(StringText(kRegisterCaption)).c_str(), MB_OK | MB_ICONSTOP);
    return false;
  }
  return true;
}

}  // namespace kv
