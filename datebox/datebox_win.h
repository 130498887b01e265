// The date box control ("Datebox"): an edit field with a drop-down button that opens the month
// pop-up ("DateCtl"). Dialogs place it by class name; the parent talks to it with the private
// messages kMsgDateboxGet / kMsgDateboxSet (resources/command_ids.h) and hears from it through
// WM_COMMAND notifications.
#pragma once

#include <windows.h>

#include <functional>

namespace kv {

inline constexpr char kDateBoxClass[] = "Datebox";
inline constexpr char kDatePopupClass[] = "DateCtl";
inline constexpr int kDateBoxEditId = 100;

// Notification codes (high word of WM_COMMAND's wParam).
inline constexpr WORD kBoxFocusLeft = 0x200;   // neither the control nor its edit has the focus
inline constexpr WORD kBoxTimeAccepted = 0x201;
inline constexpr WORD kBoxTimeEmpty = 0x202;

// Registers both classes as global classes; false (after telling the user) when it failed.
bool RegisterDateBox(HINSTANCE instance);

// Which calendar the boxes show and the week's first day, asked whenever a box needs them.
// Without a provider: Gregorian dates, weeks from Sunday.
struct DateBoxCalendar {
  bool jewish = false;
  int weekStart = 0;  // 0 Sunday ... 6 Saturday
};
void SetDateBoxCalendar(std::function<DateBoxCalendar()> provider);

}  // namespace kv
