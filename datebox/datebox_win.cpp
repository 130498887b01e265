#include "datebox/datebox_win.h"

#include <algorithm>
#include <new>
#include <string>

#include "base/drop_down_box_win.h"
#include "base/win_handles.h"
#include "base/window_kit_win.h"
#include "calendar/clock.h"
#include "calendar/dates.h"
#include "calendar/jewish.h"
#include "calendar/regional.h"
#include "datebox/date_parse.h"
#include "datebox/date_popup.h"
#include "resources/command_ids.h"
#include "resources/strings.h"

namespace kv {
namespace {

constexpr int kRegisterFailed = 27000;      // "RegisterDateBox(): RegisterClass() failed"
constexpr int kRegisterCaption = 27001;     // "Err! - DATEBOX.LIB"
constexpr int kStateFailed = 27004;         // "DateboxWndProc(): LocalAlloc() failed"
constexpr int kStateCaption = 27005;        // "Err! - DATEBOX.DLL"
constexpr UINT_PTR kRepeatDelayTimer = 1;   // first step of a held month arrow
constexpr UINT_PTR kRepeatTimer = 2;        // the steps after it
std::function<DateBoxCalendar()>& CalendarProvider() {
  static std::function<DateBoxCalendar()> provider;
  return provider;
}

DateBoxCalendar CalendarNow() {
  const auto& provider = CalendarProvider();
  return provider ? provider() : DateBoxCalendar{};
}

TypedDate Today(bool jewish) { return CurrentDateParseContext(jewish).today; }

RECT ToRect(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }


class DateBox : public DropDownBox {
 public:
  DateBox(HWND window, const CREATESTRUCTA& create) : DropDownBox(window, create.hInstance) {}

  LRESULT Handle(UINT message, WPARAM wp, LPARAM lp) override {
    switch (message) {
      case WM_CREATE: return OnCreate();
      case WM_GETDLGCODE: return DLGC_WANTARROWS;
      case kMsgDateboxGet: return ReadDate(reinterpret_cast<DateStamp*>(lp));
      case kMsgDateboxSet: SetDate(reinterpret_cast<const DateStamp*>(lp)); return 0;
      default: return DefWindowProcA(self_, message, wp, lp);
    }
  }

  // ---- what the hooks and the pop-up call ----
  bool Key(WPARAM vk, bool alt) override;
  void PaintPopup(HDC dc) override;
  void PopupMouse(UINT message, int x, int y) override {
    if (message == WM_LBUTTONUP) PopupButtonUp();
    else PopupButtonDown({x, y});
  }
  void PopupTimer(UINT_PTR id) override;
  void PopupCaptureLost() override;

 private:
  LRESULT OnCreate();
  LRESULT ReadDate(DateStamp* out);
  void SetDate(const DateStamp* in);

  void Measure() override;
  void ShowValue() override { ShowDate(); }
  void ShowDate() { SetWindowTextA(edit_, DateBoxText(date_, jewish_).c_str()); }
  void CheckTypedText() override;
  void FocusLeft() override { Notify(kBoxFocusLeft); }
  void OpenPopup() override;
  void ClosePopup() override;
  void PopupButtonDown(Point at);
  void PopupButtonUp();
  void MoveTo(const TypedDate& date);
  void StepMonth(int direction);

  bool jewish_ = false;
  int weekStart_ = 0;
  TypedDate date_;
  int firstColumn_ = 0;
  DatePopupGeometry geometry_;
  int arrow_ = 0;  // -1 / +1 while a month arrow is held
};

LRESULT DateBox::OnCreate() {
  if (!CreateEdit()) return -1;
  DateBoxCalendar calendar = CalendarNow();
  jewish_ = calendar.jewish;
  weekStart_ = calendar.weekStart;
  date_ = Today(jewish_);
  ShowDate();
  Measure();
  Layout();
  return 0;
}

void DateBox::CheckTypedText() {
  jewish_ = CalendarNow().jewish;
  std::optional<TypedDate> typed = ParseTypedDate(EditText(), CurrentDateParseContext(jewish_));
  if (!typed) {
    MessageBeep(MB_OK);  // the text stays as typed, the date as it was
    return;
  }
  date_ = *typed;
  ShowDate();
}

LRESULT DateBox::ReadDate(DateStamp* out) {
  jewish_ = CalendarNow().jewish;
  std::optional<TypedDate> typed = ParseTypedDate(EditText(), CurrentDateParseContext(jewish_));
  if (!typed || !out) return 0;
  DateStamp d{typed->year, static_cast<uint16_t>(typed->month), static_cast<uint16_t>(typed->day), 0, 0};
  if (jewish_) d = JewishToGregorian(JewishDate{typed->year, typed->month, typed->day});
  out->year = d.year;
  out->month = d.month;
  out->day = d.day;
  return 1;
}

void DateBox::SetDate(const DateStamp* in) {
  if (!in || !IsValidDate(in->month, in->day, in->year)) return;
  jewish_ = CalendarNow().jewish;
  TypedDate date{in->year, in->month, in->day};
  if (jewish_) {
    JewishDate j = GregorianToJewish(in->month, in->day, in->year);
    date = {j.year, j.month, j.day};
  }
  if (popup_ && IsWindowVisible(popup_)) {
    MoveTo(date);  // repaints the month or the two days
  } else {
    date_ = date;
    ShowDate();
  }
}

void DateBox::Measure() {
  WindowDC screen(nullptr);
  SelectedObject selected(screen.get(), FontInUse());
  SIZE zero{};
  GetTextExtentPoint32A(screen.get(), "0", 1, &zero);
  geometry_ = DatePopupLayout(std::max<int>(zero.cx, 4), std::max<int>(zero.cy, 8));
}

void DateBox::OpenPopup() {
  DateBoxCalendar calendar = CalendarNow();
  jewish_ = calendar.jewish;
  weekStart_ = calendar.weekStart;
  // The pop-up starts on the typed date when there is one.
  if (std::optional<TypedDate> typed = ParseTypedDate(EditText(), CurrentDateParseContext(jewish_)))
    date_ = *typed;
  ShowDate();
  if (!MakePopup(kDatePopupClass)) return;
  Measure();
  firstColumn_ = PopupFirstColumn(date_.year, date_.month, jewish_, weekStart_);
  RECT box;
  GetWindowRect(self_, &box);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoA(MonitorFromWindow(self_, MONITOR_DEFAULTTONEAREST), &monitor);
  Point at = DatePopupPosition({box.left, box.top, box.right, box.bottom}, geometry_.size, monitor.rcWork.bottom);
  ShowPopupAt(at.x, at.y, geometry_.size.cx, geometry_.size.cy);
}

void DateBox::ClosePopup() {
  if (popup_) {
    KillTimer(popup_, kRepeatDelayTimer);
    KillTimer(popup_, kRepeatTimer);
  }
  arrow_ = 0;
  HidePopup();
}

void DateBox::MoveTo(const TypedDate& date) {
  TypedDate old = date_;
  date_ = date;
  ShowDate();
  if (!popup_) return;
  if (old.year != date.year || old.month != date.month) {
    firstColumn_ = PopupFirstColumn(date_.year, date_.month, jewish_, weekStart_);
    InvalidateRect(popup_, nullptr, TRUE);
    return;
  }
  RECT before = ToRect(DaySquare(geometry_, firstColumn_, old.day));
  RECT after = ToRect(DaySquare(geometry_, firstColumn_, date.day));
  InvalidateRect(popup_, &before, TRUE);
  InvalidateRect(popup_, &after, TRUE);
}

void DateBox::StepMonth(int direction) {
  MoveTo(MovePopupDate(date_, direction < 0 ? PopupKey::PageUp : PopupKey::PageDown, jewish_));
}

bool DateBox::Key(WPARAM vk, bool alt) {
  if (drop_ == kUp) {
    // Alt+Down opens the pop-up and still goes on to the edit, so that releasing Alt afterwards
    // does not enter the dialog's menu.
    if (alt && vk == VK_DOWN && IsWindowEnabled(self_)) OpenPopup();
    return false;
  }
  PopupKey key;
  switch (vk) {
    case VK_PRIOR: key = PopupKey::PageUp; break;
    case VK_NEXT: key = PopupKey::PageDown; break;
    case VK_HOME: key = PopupKey::Home; break;
    case VK_END: key = PopupKey::End; break;
    case VK_LEFT: key = PopupKey::Left; break;
    case VK_RIGHT: key = PopupKey::Right; break;
    case VK_UP:
      if (alt) {
        ClosePopup();
        SelectAll();
        return false;  // on to the edit, as Alt+Down
      }
      key = PopupKey::Up;
      break;
    case VK_DOWN: key = PopupKey::Down; break;
    case VK_ESCAPE:
    case VK_RETURN:
      ClosePopup();
      SelectAll();
      return true;
    case VK_TAB: ClosePopup(); return false;
    case VK_SHIFT:
    case VK_CONTROL:
    case VK_MENU: return false;
    default: ShowDate(); return true;
  }
  MoveTo(MovePopupDate(date_, key, jewish_));
  return true;
}

void DateBox::PopupButtonDown(Point at) {
  int direction = geometry_.previous.Contains(at) ? -1 : geometry_.next.Contains(at) ? 1 : 0;
  if (direction) {
    StepMonth(direction);
    arrow_ = direction;
    SetCapture(popup_);
    SetTimer(popup_, kRepeatDelayTimer, GetDoubleClickTime(), nullptr);
    return;
  }
  int length = PopupMonthLength(date_.year, date_.month, jewish_);
  if (int day = DayAt(geometry_, firstColumn_, length, at)) {
    TypedDate chosen = date_;
    chosen.day = day;
    MoveTo(chosen);
    ClosePopup();
    SetFocus(edit_);
    SelectAll();
  }
}

void DateBox::PopupButtonUp() {
  if (!arrow_) return;
  arrow_ = 0;
  KillTimer(popup_, kRepeatDelayTimer);
  KillTimer(popup_, kRepeatTimer);
  if (GetCapture() == popup_) ReleaseCapture();
}

void DateBox::PopupCaptureLost() {
  arrow_ = 0;
  KillTimer(popup_, kRepeatDelayTimer);
  KillTimer(popup_, kRepeatTimer);
}

void DateBox::PopupTimer(UINT_PTR id) {
  if (id == kRepeatDelayTimer) {
    KillTimer(popup_, kRepeatDelayTimer);
    SetTimer(popup_, kRepeatTimer, std::max(GetDoubleClickTime() / 5, 50u), nullptr);
  }
  if (!arrow_) return;
  POINT p;
  GetCursorPos(&p);
  ScreenToClient(popup_, &p);
  const Rect& arrow = arrow_ < 0 ? geometry_.previous : geometry_.next;
  if (arrow.Contains({p.x, p.y})) StepMonth(arrow_);
}

void DateBox::PaintPopup(HDC dc) {
  const DatePopupGeometry& g = geometry_;
  RECT all{0, 0, g.size.cx, g.size.cy};
  FillRect(dc, &all, GetSysColorBrush(COLOR_WINDOW));
  FrameRect(dc, &all, GetSysColorBrush(COLOR_WINDOWFRAME));
  SetBkMode(dc, TRANSPARENT);

  LOGFONTA logical{};
  GetObjectA(FontInUse(), sizeof logical, &logical);
  logical.lfWeight = FW_BOLD;
  GdiFont bold(CreateFontIndirectA(&logical));

  // Header: the month and year on the caption colour between two arrows.
  RECT band{g.previous.left, g.previous.top, g.next.right, g.next.bottom};
  FillRect(dc, &band, GetSysColorBrush(COLOR_ACTIVECAPTION));
  std::string title;
  if (jewish_) title = JewishMonthName(date_.month, IsJewishLeapYear(date_.year));
  else title = Names().months[date_.month];
  title += " " + std::to_string(date_.year);
  {
    SelectedObject font(dc, bold.get() ? static_cast<HGDIOBJ>(bold.get()) : FontInUse());
    SetTextColor(dc, GetSysColor(COLOR_CAPTIONTEXT));
    RECT header = ToRect(g.header);
    DrawTextA(dc, title.c_str(), -1, &header, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
  GdiBrush arrowBrush(CreateSolidBrush(GetSysColor(COLOR_CAPTIONTEXT)));
  GdiPen arrowPen(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_CAPTIONTEXT)));
  {
    SelectedObject brush(dc, arrowBrush.get());
    SelectedObject pen(dc, arrowPen.get());
    for (int side : {-1, 1}) {
      const Rect& r = side < 0 ? g.previous : g.next;
      int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2, half = std::max(r.Height() / 4, 3);
      int tip = side < 0 ? cx - half / 2 : cx + half / 2, base = side < 0 ? cx + half / 2 : cx - half / 2;
      POINT triangle[3] = {{tip, cy}, {base, cy - half}, {base, cy + half}};
      Polygon(dc, triangle, 3);
    }
  }

  SelectedObject font(dc, FontInUse());
  // Weekday initials from the week's first day, with a rule under them.
  const std::string& initials = Names().weekdayInitials;
  SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHT));
  for (int c = 0; c < 7 && initials.size() >= 7; ++c) {
    RECT cell{g.grid.left + c * g.cellWidth, g.weekdays.top, g.grid.left + (c + 1) * g.cellWidth, g.weekdays.bottom};
    char initial = initials[static_cast<size_t>((weekStart_ + c) % 7)];
    DrawTextA(dc, &initial, 1, &cell, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
  RECT rule{g.grid.left + 2, g.grid.top - 2, g.grid.right - 2, g.grid.top - 1};
  FillRect(dc, &rule, GetSysColorBrush(COLOR_GRAYTEXT));

  // The days; the selected one highlighted, today framed.
  TypedDate today = Today(jewish_);
  GdiBrush todayBrush(CreateSolidBrush(RGB(200, 0, 0)));
  int length = PopupMonthLength(date_.year, date_.month, jewish_);
  for (int day = 1; day <= length; ++day) {
    RECT square = ToRect(DaySquare(g, firstColumn_, day));
    bool selected = day == date_.day;
    if (selected) {
      RECT inner{square.left + 1, square.top + 1, square.right - 1, square.bottom - 1};
      FillRect(dc, &inner, GetSysColorBrush(COLOR_HIGHLIGHT));
    }
    if (today.year == date_.year && today.month == date_.month && today.day == day)
      FrameRect(dc, &square, todayBrush.get());
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    std::string number = std::to_string(day);
    DrawTextA(dc, number.c_str(), -1, &square, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
}

DropDownBox* MakeDateBox(HWND window, const CREATESTRUCTA& create) {
  return new (std::nothrow) DateBox(window, create);
}

LRESULT CALLBACK DateBoxProc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
  return DropDownBox::Dispatch(window, message, wp, lp, MakeDateBox, kStateFailed, kStateCaption);
}

}  // namespace

void SetDateBoxCalendar(std::function<DateBoxCalendar()> provider) { CalendarProvider() = std::move(provider); }

bool RegisterDateBox(HINSTANCE instance) {
  return DropDownBox::RegisterClasses(instance, kDateBoxClass, DateBoxProc, kDatePopupClass, 0,
                                      kRegisterFailed, kRegisterCaption);
}

}  // namespace kv
