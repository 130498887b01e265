// "Main Date": the dialog that moves the calendar to a typed or picked date.
#pragma once

#include <windows.h>

namespace kv {

// Runs the dialog over `owner`; OK moves the calendar to the date in its date box.
void RunMainDate(HWND owner);

}  // namespace kv
