// The "Kalvora Event Alarm" window: opened when an alarm goes off, modeless and above every
// other window; it plays the item's sound, refreshes the current time every minute (with a
// beep), and dismissing it switches the item's alarm off so that it never fires twice.
#pragma once

#include <windows.h>

#include "personal/alarms.h"

namespace kv {

// Opens the window for the alarm that went off; nullptr when it cannot be made (the alarm is
// then acknowledged at once, so that later alarms are not held back).
HWND OpenAlarmWindow(HINSTANCE instance, HWND owner, const PendingAlarm& alarm);

// The open alarm window, or nullptr.
HWND AlarmWindow();

}  // namespace kv
