// The Schedule window (class KVSched) and its grid pane (class KVSchedTxt): one day as a time
// grid with the day's items. The shell's window procedure of KVSched passes every message here
// first and falls back to its desk handling when this returns false; KVSchedTxt is registered
// with ScheduleTextWindowProc.
//
// What the window is told:
//   kMsgScheduleScroll (WM_USER + 19): scroll the grid; wParam is a scroll-bar code (0 line up,
//     1 line down, 2 page up, 3 page down, 6 to the day's start, 7 to its end), and the picked
//     row moves with it. The pane sends it for Up, Down, Page Up, Page Down, Home and End.
//   kMsgSelectedDateChanged (1076): the calendar's selected day moved; the window shows it.
// It reloads its day whenever the schedule changes, and tells the notes window (kMsgNotesContext)
// when the selected item changes. The editors are reached through ScheduleWindowHooks
// (schedule_window.h); a missing editor beeps.
#pragma once

#include <windows.h>

namespace kv {

bool ScheduleWindowMessage(HWND window, UINT message, WPARAM wp, LPARAM lp, LRESULT& result);
LRESULT CALLBACK ScheduleTextWindowProc(HWND window, UINT message, WPARAM wp, LPARAM lp);

// The font of the grid and its header (the shell's screen font); nullptr uses the system's GUI
// font. The caller keeps the font alive while the window is open; an open window takes it at once.
void SetScheduleWindowFont(HFONT font);

// The grid's settings changed (increment, initial hour, summary hours): an open window lays
// itself out again from the settings hook and repaints.
void RefreshScheduleWindow();

}  // namespace kv
