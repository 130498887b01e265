// The calendar window's three views. Each view is a plane, a child window of the calendar
// window created on first use and kept; the calendar window (calendar_window_win.cpp) shows one
// plane at a time, places it under its scroll bars and tab strip, and hands it the keys.
#pragma once

#include <windows.h>

#include "base/canvas.h"

namespace kv {

struct ViewPane {
  // Creates the plane as a hidden child of the calendar window; returns it.
  HWND (*create)(HWND calendar);
  // The smallest size the plane can be laid out in; a smaller calendar window scrolls.
  Size (*minimumSize)();
  // The selected date, the displayed month, the tab or the options changed: gather and lay
  // out again and repaint what changed.
  void (*refresh)();
  // A key of the calendar window while this view shows (WM_KEYDOWN / WM_KEYUP, as sent);
  // true when the view used it.
  bool (*key)(UINT msg, WPARAM vk, LPARAM lp);
};

const ViewPane& MonthPane();
const ViewPane& YearPane();
const ViewPane& DayPane();

// The calendar window (nullptr while it does not exist) and the switch between views
// (1 year, 2 month, 4 day): the panes call it for their double clicks and the Space key.
HWND CalendarWindow();
void ShowCalendarView(int view);

// Moves the selection and tells everyone (date-changed hook, repaint of the visible plane).
void CalendarDateChanged();

// The screen fonts and the icons the planes draw with, set by the shell from the
// configuration (GdiCanvas takes them).
const FontTable& ViewFonts();
void SetViewFonts(const FontTable& fonts);

}  // namespace kv
