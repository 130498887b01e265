#include "base/dialog_win.h"

#include <commctrl.h>

#include <algorithm>
#include <charconv>

#include "base/help_win.h"
#include "base/window_kit_win.h"

namespace kv {

Dialog::Dialog(HINSTANCE instance, const char* templateName) : instance_(instance), template_(templateName) {}

Dialog::~Dialog() {
  // A modeless dialog whose object goes first must not keep a pointer to it.
  if (window_ && IsWindow(window_)) {
    SetWindowLongPtrA(window_, DWLP_USER, 0);
    if (!modal_) DestroyWindow(window_);
  }
}

INT_PTR Dialog::RunModal(HWND owner) {
  modal_ = true;
  owner_ = owner;
  return DialogBoxParamA(instance_, template_, owner, Proc, reinterpret_cast<LPARAM>(this));
}

HWND Dialog::CreateModeless(HWND owner, bool deleteOnClose) {
  modal_ = false;
  owner_ = owner;
  deleteOnClose_ = deleteOnClose;
  HWND made = CreateDialogParamA(instance_, template_, owner, Proc, reinterpret_cast<LPARAM>(this));
  if (made) ShowWindow(made, SW_SHOW);
  return made;
}

void Dialog::End(INT_PTR result) {
  if (!window_) return;
  if (modal_) EndDialog(window_, result);
  else DestroyWindow(window_);
}

std::string Dialog::Text(int id) const {
  HWND item = Item(id);
  int length = item ? GetWindowTextLengthA(item) : 0;
  std::string text(static_cast<size_t>(length) + 1, '\0');
  if (length > 0) text.resize(static_cast<size_t>(GetWindowTextA(item, text.data(), length + 1)));
  else text.clear();
  return text;
}

void Dialog::SetText(int id, std::string_view text) { SetDlgItemTextA(window_, id, std::string(text).c_str()); }

std::optional<int> Dialog::Int(int id) const {
  std::string text = Text(id);
  size_t from = text.find_first_not_of(' '), to = text.find_last_not_of(' ');
  if (from == std::string::npos) return std::nullopt;
  int value = 0;
  const char* first = text.data() + from;
  const char* last = text.data() + to + 1;
  if (*first == '+') ++first;
  auto [end, error] = std::from_chars(first, last, value);
  if (error != std::errc() || end != last) return std::nullopt;
  return value;
}

void Dialog::SetInt(int id, int value) { SetText(id, std::to_string(value)); }

bool Dialog::Checked(int id) const { return IsDlgButtonChecked(window_, id) == BST_CHECKED; }
void Dialog::SetChecked(int id, bool checked) { CheckDlgButton(window_, id, checked ? BST_CHECKED : BST_UNCHECKED); }
void Dialog::Enable(int id, bool enabled) { EnableWindow(Item(id), enabled ? TRUE : FALSE); }
void Dialog::Show(int id, bool shown) { ShowWindow(Item(id), shown ? SW_SHOW : SW_HIDE); }

void Dialog::FocusOn(int id) {
  HWND item = Item(id);
  if (!item) return;
  // Through the dialog manager, so the default button follows the focus.
  SendMessageA(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item), TRUE);
  char cls[16] = {};
  GetClassNameA(item, cls, sizeof cls);
  if (lstrcmpiA(cls, "Edit") == 0) SendMessageA(item, EM_SETSEL, 0, -1);
}

namespace {
bool IsCombo(HWND item) {
  char cls[16] = {};
  GetClassNameA(item, cls, sizeof cls);
  return lstrcmpiA(cls, "ComboBox") == 0;
}
}  // namespace

int Dialog::Selection(int id) const {
  HWND item = Item(id);
  return static_cast<int>(SendMessageA(item, IsCombo(item) ? CB_GETCURSEL : LB_GETCURSEL, 0, 0));
}
void Dialog::Select(int id, int index) {
  HWND item = Item(id);
  SendMessageA(item, IsCombo(item) ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}
int Dialog::AddLine(int id, std::string_view text) {
  HWND item = Item(id);
  std::string line(text);
  return static_cast<int>(
      SendMessageA(item, IsCombo(item) ? CB_ADDSTRING : LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str())));
}
void Dialog::ClearLines(int id) {
  HWND item = Item(id);
  SendMessageA(item, IsCombo(item) ? CB_RESETCONTENT : LB_RESETCONTENT, 0, 0);
}

void Dialog::CentreOver(HWND over) {
  RECT self, area, target;
  GetWindowRect(window_, &self);
  HMONITOR monitor = MonitorFromWindow(over ? over : window_, MONITOR_DEFAULTTONEAREST);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  GetMonitorInfoA(monitor, &info);
  area = info.rcWork;
  if (!over || !IsWindowVisible(over) || IsIconic(over) || !GetWindowRect(over, &target)) target = area;
  int width = self.right - self.left, height = self.bottom - self.top;
  int x = target.left + (target.right - target.left - width) / 2;
  int y = target.top + (target.bottom - target.top - height) / 2;
  x = std::max<int>(area.left, std::min<int>(x, area.right - width));
  y = std::max<int>(area.top, std::min<int>(y, area.bottom - height));
  SetWindowPos(window_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR Dialog::OnMessage(UINT, WPARAM, LPARAM, bool&) { return FALSE; }

void Dialog::On(int id, std::function<void(int code)> handler) { handlers_[id] = std::move(handler); }

bool Dialog::Command(int id, int code) {
  if (auto it = handlers_.find(id); it != handlers_.end()) {
    auto handler = it->second;  // a handler may route the id anew
    handler(code);
    return true;
  }
  if (id == IDOK && code == BN_CLICKED) {
    if (OnOk()) End(IDOK);
    return true;
  }
  if (id == IDCANCEL) {
    if (OnCancel()) End(IDCANCEL);
    return true;
  }
  if (id == IDHELP && code == BN_CLICKED) {
    ShowDialogHelp(window_, template_);
    return true;
  }
  return false;
}

INT_PTR Dialog::Handle(UINT message, WPARAM wp, LPARAM lp) {
  switch (message) {
    case WM_INITDIALOG:
      CentreOver(owner_);
      return OnInit() ? TRUE : FALSE;
    case WM_COMMAND: return Command(LOWORD(wp), HIWORD(wp)) ? TRUE : FALSE;
    default: break;
  }
  bool handled = false;
  INT_PTR result = OnMessage(message, wp, lp, handled);
  if (handled) return result;
  // F1 anywhere in the dialog: the page of its template, unless the dialog answered it itself.
  if (message == WM_HELP) {
    ShowDialogHelp(window_, template_);
    return TRUE;
  }
  return FALSE;
}

INT_PTR CALLBACK Dialog::Proc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
  if (message == WM_INITDIALOG) {
    auto* self = reinterpret_cast<Dialog*>(lp);
    SetWindowLongPtrA(window, DWLP_USER, lp);
    self->window_ = window;
  }
  auto* self = reinterpret_cast<Dialog*>(GetWindowLongPtrA(window, DWLP_USER));
  if (!self) return FALSE;
  INT_PTR result = Guarded<INT_PTR>(window, message, FALSE, [&] { return self->Handle(message, wp, lp); });
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(window, DWLP_USER, 0);
    self->window_ = nullptr;
    if (self->deleteOnClose_) delete self;
  }
  return result;
}

void AddTab(HWND tabs, int index, std::string_view text) {
  std::string copy(text);
  TCITEMA item{};
  item.mask = TCIF_TEXT;
  item.pszText = copy.data();
  SendMessageA(tabs, TCM_INSERTITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

TabPageBrush::~TabPageBrush() {
  if (brush_) DeleteObject(brush_);
}

INT_PTR TabPageBrush::For(HWND tab, HDC dc) {
  if (!brush_) Make(tab);
  SetBkColor(dc, colour_);
  return reinterpret_cast<INT_PTR>(brush_);
}

// The colour in the middle of the page, as the tab control draws it.
void TabPageBrush::Make(HWND tab) {
  colour_ = GetSysColor(COLOR_BTNFACE);
  RECT r{};
  GetClientRect(tab, &r);
  HDC screen = GetDC(tab);
  if (screen && r.right > 0 && r.bottom > 0) {
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, r.right, r.bottom);
    HGDIOBJ old = SelectObject(memory, bitmap);
    FillRect(memory, &r, GetSysColorBrush(COLOR_BTNFACE));
    SendMessageA(tab, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT | PRF_ERASEBKGND);
    COLORREF seen = GetPixel(memory, r.right / 2, r.bottom - 8);
    if (seen != CLR_INVALID) colour_ = seen;
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
  }
  if (screen) ReleaseDC(tab, screen);
  brush_ = CreateSolidBrush(colour_);
}

}  // namespace kv
