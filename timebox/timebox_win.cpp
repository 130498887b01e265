#include "timebox/timebox_win.h"

#include <algorithm>
#include <new>
#include <string>

#include "base/drop_down_box_win.h"
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
RECT ToRect(const TimeEntryBox& b) { return RECT{b.left, b.top, b.right, b.bottom}; }


class TimeBox : public DropDownBox {
 public:
  TimeBox(HWND window, const CREATESTRUCTA& create) : DropDownBox(window, create.hInstance) {}

  LRESULT Handle(UINT message, WPARAM wp, LPARAM lp) override {
    switch (message) {
      case WM_CREATE: return OnCreate();
      case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTTAB;
      case kMsgTimeboxGet: return ReadTimeText(EditText(), Regional());
      case kMsgTimeboxSet: SetValue(static_cast<int>(wp)); return 0;
      case kMsgTimeboxClear: Clear(); return 0;
      default: return DefWindowProcA(self_, message, wp, lp);
    }
  }

  bool Key(WPARAM vk, bool alt) override;
  void PaintPopup(HDC dc) override;
  void PopupMouse(UINT message, int x, int y) override {
    if (message != WM_LBUTTONUP) PopupPress(x, y, message == WM_LBUTTONDBLCLK);
  }

 private:
  LRESULT OnCreate();
  void SetValue(int minutes);
  void Clear();
  void CheckTypedText() override;
  void FocusLeft() override { Notify(kTimeBoxFocusLeft); }
  void Measure() override;
  void Choose(int minutes, const TimeFocus& focus);
  void ShowValue() override { SetWindowTextA(edit_, value_ < 0 ? "" : FormatTimeOfDay(value_, Regional()).c_str()); }
  void OpenPopup() override;
  void PopupPress(int x, int y, bool twice);

  int value_ = -1;  // minutes since midnight, -1 empty
  TimeFocus focus_;
  TimePopupGeometry geometry_;
  bool clock24_ = false;
};

LRESULT TimeBox::OnCreate() {
  if (!CreateEdit()) return -1;
  value_ = CurrentDateTime().minuteOfDay;
  ShowValue();
  Measure();
  Layout();
  return 0;
}

void TimeBox::CheckTypedText() {
  int read = ReadTimeText(EditText(), Regional());
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
  int read = ReadTimeText(EditText(), Regional());
  if (read >= 0) value_ = read;
  if (value_ < 0) value_ = CurrentDateTime().minuteOfDay;
  ShowValue();
  if (!MakePopup(kTimePopupClass)) return;
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
  ShowPopupAt(x, y, geometry_.width, geometry_.height);
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

DropDownBox* MakeTimeBox(HWND window, const CREATESTRUCTA& create) {
  return new (std::nothrow) TimeBox(window, create);
}

LRESULT CALLBACK TimeBoxProc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
  return DropDownBox::Dispatch(window, message, wp, lp, MakeTimeBox, kStateFailed, kStateCaption);
}

}  // namespace

bool RegisterTimeBox(HINSTANCE instance) {
  return DropDownBox::RegisterClasses(instance, kTimeBoxClass, TimeBoxProc, kTimePopupClass, CS_DBLCLKS,
                                      kRegisterFailed, kRegisterCaption);
}

}  // namespace kv
