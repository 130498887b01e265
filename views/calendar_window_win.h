// The calendar window (KVCalendar) as a host of the three views: it makes the panes on first
// use, shows one at a time under its scroll bars and its overlay tab strip, and hands the
// current view the keys. The shell's window procedure of the calendar asks it first.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace kv {

// Handles a message of the calendar window; false leaves it to the shell's default handling
// (placement tracking, the close question, the MDI default).
bool CalendarViewsMessage(HWND window, UINT message, WPARAM wp, LPARAM lp, LRESULT& result);

// What the shell does for the views, which cannot see the configuration or the toolbar.
struct CalendarHostHooks {
  std::function<int()> currentView;                        // the configured view: 1 year, 2 month, 4 day
  std::function<void(int view)> viewShown;                 // store the view, press its button, set the title
  std::function<void(const std::string& name)> overlayChosen;  // a tab was chosen ("" for "All")
};
void SetCalendarHostHooks(CalendarHostHooks hooks);

// Everything the views show changed (options, fonts, the overlay set, today): the tabs are
// rebuilt and the current view gathers and lays out again.
void RefreshCalendarViews();

}  // namespace kv
