// The time box control ("Timebox"): an edit field with a drop-down button that opens a pop-up
// ("TimeCtl") of hour and minute columns. The parent talks to it with kMsgTimeboxGet /
// kMsgTimeboxSet / kMsgTimeboxClear (resources/command_ids.h) and hears from it through
// WM_COMMAND notifications 0x200 (focus left), 0x201 (a typed time accepted) and 0x202 (left
// empty).
#pragma once

#include <windows.h>

namespace kv {

inline constexpr char kTimeBoxClass[] = "Timebox";
inline constexpr char kTimePopupClass[] = "TimeCtl";
inline constexpr int kTimeBoxEditId = 100;

inline constexpr WORD kTimeBoxFocusLeft = 0x200;
inline constexpr WORD kTimeBoxAccepted = 0x201;
inline constexpr WORD kTimeBoxEmpty = 0x202;

// Registers both classes as global classes; false (after telling the user) when it failed.
bool RegisterTimeBox(HINSTANCE instance);

}  // namespace kv
