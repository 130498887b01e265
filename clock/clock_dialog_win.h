// The "Clock Icon" dialog (template 106): the desktop clock on or off and what it shows.
#pragma once

#include <windows.h>

namespace kv {

// Shows the dialog over `owner` with the current "ClockIcon" value; on OK stores the new value
// in the setting, puts it in `setting` and returns true.
bool RunClockIconDialog(HINSTANCE instance, HWND owner, int& setting);

}  // namespace kv
