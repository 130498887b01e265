#include "shell/toolbar_win.h"

#include <commctrl.h>

#include <string>

#include "base/dpi_win.h"
#include "calendar/date_format.h"
#include "resources/strings.h"
#include "shell/app_win.h"
#include "shell/commands.h"
#include "shell/config.h"
#include "shell/drawing_win.h"

namespace kv {
namespace {

// Sizes on a 96 dpi screen; the toolbar scales them for the frame's monitor.
constexpr int kImageSize = 20;
constexpr int kToolbarId = 200;
constexpr int kButtonHeight = 22;
constexpr int kSeparator = -1;

// The entries in order; a separator stands between groups. The second number is the picture
// of gen_shell_art.py's strip.
constexpr int kEntries[][2] = {
    {kSeparator, 0},
    {CMD_SAVE_CONFIGURATION, 0}, {CMD_OPEN_CONFIGURATION, 1},
    {kSeparator, 0},
    {CMD_YEAR_VIEW, 2}, {CMD_MONTH_VIEW, 3}, {CMD_DAY_VIEW, 4},
    {kSeparator, 0},
    {CMD_SHOW_NOTES, 5}, {CMD_SHOW_SCHEDULE, 6}, {CMD_SHOW_TODO, 7}, {CMD_SHOW_PHONEBOOK, 8}, {CMD_WORLD_MAP, 9},
    {kSeparator, 0},
    {CMD_MOVE_BACK, 10}, {CMD_MOVE_FORWARD, 11},
    {kSeparator, 0},
    {CMD_SEARCH_BUTTON, 12},
    {kSeparator, 0},
    {CMD_RESET_DESK_BUTTON, 13},
};
static_assert(std::size(kEntries) == 20);

struct ToolbarState {
  HIMAGELIST images = nullptr;
  int imageSize = 0;  // the size the pictures were made at
  int dateWidth = 0;
  int clockWidth = 0;
  std::string tip;  // text handed to the tooltip control
};

ToolbarState& State() {
  static ToolbarState state;
  return state;
}

int Scaled(int pixels) { return ScaleToDpi(pixels, Drawing().dpi); }

// The strip of pictures at the size for the frame's monitor. The pictures are drawn for 20
// pixels; larger screens get them stretched with halftoning, which keeps the simple shapes
// clean at the usual 125 to 200 per cent.
HIMAGELIST MakeImages(int size) {
  HIMAGELIST images = ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, 20, 0);
  HBITMAP strip = static_cast<HBITMAP>(
      LoadImageA(App().instance, MAKEINTRESOURCEA(IDB_TOOLBAR), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!images || !strip) {
    if (strip) DeleteObject(strip);
    return images;
  }
  if (size == kImageSize) {
    ImageList_AddMasked(images, strip, RGB(255, 0, 255));
    DeleteObject(strip);
    return images;
  }
  BITMAP info{};
  GetObjectA(strip, sizeof info, &info);
  int count = info.bmWidth / kImageSize;
  HDC screen = GetDC(nullptr);
  HDC from = CreateCompatibleDC(screen), to = CreateCompatibleDC(screen);
  HBITMAP scaled = CreateCompatibleBitmap(screen, size * count, size);
  HGDIOBJ oldFrom = SelectObject(from, strip), oldTo = SelectObject(to, scaled);
  // Stretch picture by picture so no picture bleeds into its neighbour; the magenta key colour
  // is taken from the nearest source pixel so the mask stays exact.
  SetStretchBltMode(to, COLORONCOLOR);
  for (int i = 0; i < count; ++i)
    StretchBlt(to, i * size, 0, size, size, from, i * kImageSize, 0, kImageSize, kImageSize, SRCCOPY);
  SelectObject(from, oldFrom), SelectObject(to, oldTo);
  DeleteDC(from), DeleteDC(to);
  ReleaseDC(nullptr, screen);
  ImageList_AddMasked(images, scaled, RGB(255, 0, 255));
  DeleteObject(scaled);
  DeleteObject(strip);
  return images;
}

bool IsViewButton(int id) { return id == CMD_YEAR_VIEW || id == CMD_MONTH_VIEW || id == CMD_DAY_VIEW; }

int TextWidth(HWND h, const std::string& text) {
  HDC dc = GetDC(h);
  HGDIOBJ old = SelectObject(dc, Drawing().dialogFont ? Drawing().dialogFont : GetStockObject(DEFAULT_GUI_FONT));
  SIZE size{};
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(h, dc);
  return size.cx;
}

// The clock button is wide enough for the widest time of day.
void MeasureClock() {
  State().clockWidth = TextWidth(App().clockButton, " " + FormatTimeOfDay(12 * 60 + 59, Regional()) + " ") + Scaled(12);
}

HWND MakeButton(HWND frame, int id) {
  HWND b = CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | BS_PUSHBUTTON, 0, 0, 10,
                           Scaled(kButtonHeight), frame, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), App().instance, nullptr);
  if (b && Drawing().dialogFont) SendMessageA(b, WM_SETFONT, reinterpret_cast<WPARAM>(Drawing().dialogFont), FALSE);
  return b;
}

// The date button gets its tooltip from the same table as the toolbar buttons.
void AddDateTip() {
  HWND tips = reinterpret_cast<HWND>(SendMessageA(App().toolbar, TB_GETTOOLTIPS, 0, 0));
  if (!tips) return;
  TOOLINFOA ti{};
  ti.cbSize = sizeof ti;
  ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  ti.hwnd = App().frame;
  ti.uId = reinterpret_cast<UINT_PTR>(App().dateButton);
  ti.lpszText = LPSTR_TEXTCALLBACKA;
  SendMessageA(tips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
}

}  // namespace

bool CreateToolbar(HWND frame) {
  ToolbarState& s = State();
  HWND tb = CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr,
                            WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER |
                                CCS_NORESIZE | CCS_NOPARENTALIGN,
                            0, 2, 10, ToolbarHeight() - 4, frame, reinterpret_cast<HMENU>(kToolbarId), App().instance,
                            nullptr);
  if (!tb) return false;
  App().toolbar = tb;
  SendMessageA(tb, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  SizeToolbarPictures();
  TBBUTTON buttons[std::size(kEntries)]{};
  for (size_t i = 0; i < std::size(kEntries); ++i) {
    int id = kEntries[i][0];
    TBBUTTON& b = buttons[i];
    if (id == kSeparator) {
      b.fsStyle = BTNS_SEP;
      continue;
    }
    b.iBitmap = kEntries[i][1];
    b.idCommand = id;
    b.fsState = TBSTATE_ENABLED;
    b.fsStyle = static_cast<BYTE>(IsViewButton(id) ? BTNS_CHECKGROUP : BTNS_BUTTON);
  }
  SendMessageA(tb, TB_ADDBUTTONSA, std::size(buttons), reinterpret_cast<LPARAM>(buttons));
  SendMessageA(tb, TB_SETBUTTONSIZE, 0, MAKELPARAM(s.imageSize + Scaled(6), ToolbarHeight() - 4));

  App().dateButton = MakeButton(frame, CMD_TODAY);
  App().clockButton = MakeButton(frame, CMD_CLOCK_BUTTON);
  if (!App().dateButton || !App().clockButton) return false;
  AddDateTip();
  MeasureClock();
  return true;
}

int ToolbarHeight() { return Scaled(kToolbarHeight); }

void SizeToolbarPictures() {
  ToolbarState& s = State();
  HWND tb = App().toolbar;
  if (!tb) return;
  int size = Scaled(kImageSize);
  if (!s.images || s.imageSize != size) {
    HIMAGELIST images = MakeImages(size);
    if (!images) return;
    SendMessageA(tb, TB_SETBITMAPSIZE, 0, MAKELPARAM(size, size));
    SendMessageA(tb, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    if (s.images) ImageList_Destroy(s.images);
    s.images = images;
    s.imageSize = size;
  }
  SendMessageA(tb, TB_SETBUTTONSIZE, 0, MAKELPARAM(size + Scaled(6), ToolbarHeight() - 4));
}

void LayoutToolbar(int clientWidth) {
  ToolbarState& s = State();
  if (!App().toolbar) return;
  // The buttons come first: on a narrow frame (or a small screen at a large scale) the date and
  // then the clock give way rather than cover the last buttons.
  SIZE buttons{};
  SendMessageA(App().toolbar, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&buttons));
  int room = clientWidth - 4 - buttons.cx - 4;
  bool showClock = room >= s.clockWidth + 4;
  bool showDate = showClock && room >= s.clockWidth + 4 + s.dateWidth + 8;
  int right = clientWidth - 4;
  int buttonHeight = Scaled(kButtonHeight);
  int y = (ToolbarHeight() - buttonHeight) / 2;
  ShowWindow(App().clockButton, showClock ? SW_SHOWNA : SW_HIDE);
  ShowWindow(App().dateButton, showDate ? SW_SHOWNA : SW_HIDE);
  if (showClock) {
    MoveWindow(App().clockButton, right - s.clockWidth, y, s.clockWidth, buttonHeight, TRUE);
    right -= s.clockWidth + 4;
  }
  if (showDate) {
    MoveWindow(App().dateButton, right - s.dateWidth, y, s.dateWidth, buttonHeight, TRUE);
    right -= s.dateWidth + 8;
  }
  MoveWindow(App().toolbar, 2, 2, right > 2 ? right - 2 : 0, ToolbarHeight() - 4, TRUE);
}

void PressViewButton(uint16_t view) {
  if (!App().toolbar) return;
  SendMessageA(App().toolbar, TB_CHECKBUTTON, CMD_YEAR_VIEW, MAKELPARAM(view == kYearView, 0));
  SendMessageA(App().toolbar, TB_CHECKBUTTON, CMD_MONTH_VIEW, MAKELPARAM(view == kMonthView, 0));
  SendMessageA(App().toolbar, TB_CHECKBUTTON, CMD_DAY_VIEW, MAKELPARAM(view == kDayView, 0));
}

void ShowToday(const DateStamp& today) {
  if (!App().dateButton) return;
  std::string text = FormatLongDate(today.month, today.day, today.year);
  SetWindowTextA(App().dateButton, text.c_str());
  int width = TextWidth(App().dateButton, text) + Scaled(16);
  if (width != State().dateWidth) {
    State().dateWidth = width;
    RECT r;
    GetClientRect(App().frame, &r);
    LayoutToolbar(r.right);
  }
}

void ShowTime(int minuteOfDay) {
  if (!App().clockButton) return;
  std::string text = " " + FormatTimeOfDay(minuteOfDay, Regional()) + " ";
  SetWindowTextA(App().clockButton, text.c_str());
}

void RefreshToolbarFont() {
  for (HWND button : {App().dateButton, App().clockButton})
    if (button && Drawing().dialogFont) SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(Drawing().dialogFont), TRUE);
  if (!App().dateButton || !App().clockButton) return;
  // New fonts or a new resolution: the buttons are measured again.
  MeasureClock();
  char text[128] = "";
  GetWindowTextA(App().dateButton, text, sizeof text);
  State().dateWidth = TextWidth(App().dateButton, text) + Scaled(16);
  RECT r;
  GetClientRect(App().frame, &r);
  LayoutToolbar(r.right);
}

void FreeToolbar() {
  if (State().images) ImageList_Destroy(State().images);
  State().images = nullptr;
  State().imageSize = 0;
}

bool ToolbarTooltip(LPARAM lp) {
  auto* header = reinterpret_cast<NMHDR*>(lp);
  if (header->code != TTN_GETDISPINFOA && header->code != TTN_GETDISPINFOW) return false;
  UINT_PTR id = header->idFrom;
  if (id == reinterpret_cast<UINT_PTR>(App().dateButton)) id = CMD_TODAY;
  std::string_view text = StringText(static_cast<int>(id));
  if (text.empty()) return true;
  if (header->code == TTN_GETDISPINFOA) {
    auto* info = reinterpret_cast<NMTTDISPINFOA*>(lp);
    State().tip = std::string(text);
    info->lpszText = State().tip.data();
  } else {
    auto* info = reinterpret_cast<NMTTDISPINFOW*>(lp);
    MultiByteToWideChar(1252, 0, text.data(), static_cast<int>(text.size()), info->szText,
                        static_cast<int>(std::size(info->szText)) - 1);
    info->szText[std::min(text.size(), std::size(info->szText) - 1)] = 0;
    info->lpszText = info->szText;
  }
  return true;
}

}  // namespace kv
