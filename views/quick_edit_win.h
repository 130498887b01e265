// "Kalvora QuickEdit": the selected day's items, with a way to edit one or to make a new
// schedule or overlay item for the day.
#pragma once

#include <windows.h>

namespace kv {

// Runs the dialog over `owner` (the calendar window). The editor chosen opens after the dialog
// has closed; a button whose editor is not installed is greyed.
void RunQuickEdit(HWND owner);

}  // namespace kv
