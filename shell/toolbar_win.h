// The toolbar strip of the frame: twenty entries with their pictures and tooltips, the date
// button (today) and the clock button (the current time) at its right.
#pragma once

#include <windows.h>

#include "calendar/dates.h"
#include "shell/toolbar_paint.h"

namespace kv {

// Creates the toolbar and the two buttons as children of the frame; false on failure.
bool CreateToolbar(HWND frame);

// The height of the strip on the frame's monitor.
int ToolbarHeight();

// Makes the pictures for the frame's monitor again when its resolution changed.
void SizeToolbarPictures();

// Places the toolbar and the buttons for a frame client width.
void LayoutToolbar(int clientWidth);

// Shows the view buttons 1301-1303 as one group with the button of `view` pressed.
void PressViewButton(uint16_t view);

// Refreshes the date button (today's date) and the clock button (the time of day).
void ShowToday(const DateStamp& today);
void ShowTime(int minuteOfDay);

// Gives the two buttons the dialog font again (after the drawing objects were rebuilt), and
// frees the toolbar's pictures when the frame goes.
void RefreshToolbarFont();
void FreeToolbar();

// Answers the toolbar's tooltip requests (WM_NOTIFY); true when the notification was one.
bool ToolbarTooltip(LPARAM lp);

}  // namespace kv
