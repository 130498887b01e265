#include "base/drop_down_box_win.h"

#include <algorithm>
#include <new>

#include "base/win_handles.h"
#include "base/window_kit_win.h"
#include "resources/strings.h"

namespace kv {
namespace {

constexpr UINT kMsgCheckFocus = WM_APP + 0x40;  // after the edit lost the focus: where did it go?

// The thread hooks: at most one of each, each serving one box.
struct HookState {
  HHOOK keyboard = nullptr;
  HHOOK mouse = nullptr;
  DropDownBox* keyboardBox = nullptr;
  DropDownBox* mouseBox = nullptr;
};

HookState& Hooks() {
  static HookState hooks;
  return hooks;
}

void ShowFailure(int text, int caption) {
  MessageBoxA(nullptr, std::string(StringText(text)).c_str(), std::string(StringText(caption)).c_str(),
              MB_OK | MB_ICONSTOP);
}

// The pop-up of every box: it never takes the activation; the box draws it and takes its clicks.
LRESULT CALLBACK PopupProc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lp);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* box = reinterpret_cast<DropDownBox*>(GetWindowLongPtrA(window, GWLP_USERDATA));
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
      case WM_LBUTTONUP:
        box->PopupMouse(message, static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)));
        return 0;
      case WM_TIMER: box->PopupTimer(wp); return 0;
      case WM_CAPTURECHANGED: box->PopupCaptureLost(); return 0;
      case WM_NCDESTROY: SetWindowLongPtrA(window, GWLP_USERDATA, 0); return 0;
      default: return DefWindowProcA(window, message, wp, lp);
    }
  });
}

}  // namespace

LRESULT CALLBACK DropDownKeyboardProc(int code, WPARAM vk, LPARAM lp) {
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

LRESULT CALLBACK DropDownMouseProc(int code, WPARAM message, LPARAM lp) {
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

DropDownBox::~DropDownBox() {
  RemoveHooks(true);
  if (popup_) DestroyWindow(popup_);
}

bool DropDownBox::HandleCommon(UINT message, WPARAM wp, LPARAM lp, LRESULT& result) {
  result = 0;
  switch (message) {
    case WM_SIZE: Layout(); return true;
    case WM_PAINT: OnPaint(); return true;
    case WM_LBUTTONDOWN: OnButtonDown(lp); return true;
    case WM_LBUTTONUP: OnButtonUp(); return true;
    case WM_CANCELMODE: ClosePopup(); return true;
    case WM_SETFOCUS: OnSetFocus(); return true;
    case WM_COMMAND: OnEditCommand(wp); return true;
    case kMsgCheckFocus: OnCheckFocus(); return true;
    case WM_SETFONT: OnSetFont(reinterpret_cast<HFONT>(wp), LOWORD(lp) != 0); return true;
    case WM_GETFONT: result = reinterpret_cast<LRESULT>(font_); return true;
    case WM_ENABLE: OnEnable(wp != 0); return true;
    case WM_DESTROY: RemoveHooks(true); return true;
    default: return false;
  }
}

bool DropDownBox::CreateEdit() {
  edit_ = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 0, 0, 0, 0, self_,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditId)), instance_, nullptr);
  if (!edit_) return false;
  SendMessageA(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(FontInUse()), FALSE);
  return true;
}

bool DropDownBox::MakePopup(const char* popupClass) {
  if (!popup_)
    popup_ = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, popupClass, "", WS_POPUP, 0, 0, 0, 0,
                             nullptr, nullptr, instance_, this);
  return popup_ != nullptr;
}

void DropDownBox::ShowPopupAt(int x, int y, int width, int height) {
  SetWindowPos(popup_, HWND_TOPMOST, x, y, width, height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  InvalidateRect(popup_, nullptr, TRUE);
  if (drop_ == kUp) drop_ = kOpen;
  InstallMouseHook();
}

void DropDownBox::HidePopup() {
  if (popup_) ShowWindow(popup_, SW_HIDE);
  RemoveHooks(false);
  // The keyboard hook follows the edit's focus, so Alt+Down opens the pop-up again.
  if (GetFocus() == edit_) InstallKeyboardHook();
  HWND capture = GetCapture();
  if (capture && (capture == self_ || capture == popup_)) ReleaseCapture();
  if (drop_ != kUp) {
    drop_ = kUp;
    InvalidateRect(self_, &button_, FALSE);
  }
}

void DropDownBox::Notify(WORD code) {
  if (HWND parent = GetParent(self_))
    SendMessageA(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(self_), code), reinterpret_cast<LPARAM>(self_));
}

std::string DropDownBox::EditText() const {
  int length = std::max(GetWindowTextLengthA(edit_), 0);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  GetWindowTextA(edit_, text.data(), length + 1);
  text.resize(static_cast<size_t>(length));
  return text;
}

bool DropDownBox::MousePress(HWND target, POINT screen) {
  if (target == popup_ || drop_ == kPressed) return false;
  if (target == self_) {
    POINT p = screen;
    ScreenToClient(self_, &p);
    if (PtInRect(&button_, p)) {
      ClosePopup();
      SetFocus(edit_);
      SelectAll();
      return true;  // the press that would open it again is swallowed
    }
  }
  ClosePopup();
  if (!target || target == edit_ || target == self_) {
    SetFocus(edit_);
    SelectAll();
    return true;
  }
  return false;  // the window pressed takes the focus as usual
}

void DropDownBox::Layout() {
  RECT client;
  GetClientRect(self_, &client);
  int width = GetSystemMetrics(SM_CXVSCROLL) + 2;
  button_ = RECT{std::max(client.right - width, 0L), 0, client.right, client.bottom};
  MoveWindow(edit_, 0, 0, button_.left, client.bottom, TRUE);
  InvalidateRect(self_, &button_, FALSE);
}

void DropDownBox::OnPaint() {
  PaintDC paint(self_);
  UINT state = DFCS_SCROLLCOMBOBOX;
  if (drop_ == kPressed) state |= DFCS_PUSHED;
  if (!IsWindowEnabled(self_)) state |= DFCS_INACTIVE;
  RECT r = button_;
  DrawFrameControl(paint.get(), &r, DFC_SCROLL, state);
}

void DropDownBox::OnButtonDown(LPARAM lp) {
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

void DropDownBox::OnButtonUp() {
  if (drop_ != kPressed) return;
  drop_ = kOpen;
  if (GetCapture() == self_) ReleaseCapture();
  InvalidateRect(self_, &button_, FALSE);
}

void DropDownBox::OnSetFocus() {
  if (drop_ != kUp) return;
  SetFocus(edit_);
  SelectAll();
}

void DropDownBox::OnEditCommand(WPARAM wp) {
  if (LOWORD(wp) != kEditId) return;
  switch (HIWORD(wp)) {
    case EN_SETFOCUS: InstallKeyboardHook(); break;
    case EN_KILLFOCUS:
      RemoveHooks(true);
      if (drop_ != kUp) ClosePopup();
      // A box that is going away with its dialog has nothing more to say.
      if (!IsWindowVisible(self_)) break;
      CheckTypedText();
      PostMessageA(self_, kMsgCheckFocus, 0, 0);
      break;
    default: break;
  }
}

void DropDownBox::OnCheckFocus() {
  HWND focus = GetFocus();
  if (focus != self_ && focus != edit_) FocusLeft();
}

void DropDownBox::OnSetFont(HFONT font, bool redraw) {
  font_ = font;
  SendMessageA(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(FontInUse()), redraw);
  Measure();
  if (redraw) InvalidateRect(self_, nullptr, TRUE);
}

void DropDownBox::OnEnable(bool enabled) {
  EnableWindow(edit_, enabled);
  if (!enabled) {
    ClosePopup();
    SetWindowTextA(edit_, "");
  } else if (GetWindowTextLengthA(edit_) == 0) {
    ShowValue();  // enabled again: the value it holds, not an empty field nobody can read
  }
  InvalidateRect(self_, &button_, FALSE);
}

void DropDownBox::InstallKeyboardHook() {
  HookState& h = Hooks();
  h.keyboardBox = this;
  if (!h.keyboard) h.keyboard = SetWindowsHookExA(WH_KEYBOARD, DropDownKeyboardProc, nullptr, GetCurrentThreadId());
}

void DropDownBox::InstallMouseHook() {
  HookState& h = Hooks();
  h.mouseBox = this;
  if (!h.mouse) h.mouse = SetWindowsHookExA(WH_MOUSE, DropDownMouseProc, nullptr, GetCurrentThreadId());
}

void DropDownBox::RemoveHooks(bool keyboardToo) {
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

LRESULT DropDownBox::Dispatch(HWND window, UINT message, WPARAM wp, LPARAM lp, Maker make, int failedText,
                              int failedCaption) {
  if (message == WM_NCCREATE) {
    DropDownBox* made = make(window, *reinterpret_cast<const CREATESTRUCTA*>(lp));
    if (!made) {
      ShowFailure(failedText, failedCaption);
      return FALSE;
    }
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(made));
  }
  auto* box = reinterpret_cast<DropDownBox*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!box) return DefWindowProcA(window, message, wp, lp);
  LRESULT result = Guarded<LRESULT>(window, message, 0, [&]() -> LRESULT {
    LRESULT common = 0;
    if (box->HandleCommon(message, wp, lp, common)) return common;
    return box->Handle(message, wp, lp);
  });
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    delete box;
  }
  return result;
}

bool DropDownBox::RegisterClasses(HINSTANCE instance, const char* boxClass, WNDPROC boxProc, const char* popupClass,
                                  UINT popupStyle, int failedText, int failedCaption) {
  WNDCLASSA box{};
  box.style = CS_GLOBALCLASS | CS_HREDRAW | CS_VREDRAW;
  box.lpfnWndProc = boxProc;
  box.hInstance = instance;
  box.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  box.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  box.lpszClassName = boxClass;

  WNDCLASSA popup{};
  popup.style = CS_GLOBALCLASS | CS_HREDRAW | CS_VREDRAW | CS_DROPSHADOW | CS_SAVEBITS | popupStyle;
  popup.lpfnWndProc = PopupProc;
  popup.hInstance = instance;
  popup.hCursor = box.hCursor;
  popup.lpszClassName = popupClass;

  if (!RegisterClassA(&box) || !RegisterClassA(&popup)) {
    ShowFailure(failedText, failedCaption);
    return false;
  }
  return true;
}

}  // namespace kv
