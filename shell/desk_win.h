// The desk windows: the MDI children of the frame (calendar, notes, schedule, to-do,
// phonebook, world map host). Each is a real window of its class with its icon, placement and
// size state tracked into the configuration; what they show is their modules' business.
#pragma once

#include <windows.h>

#include <cstdint>

#include "shell/config.h"

namespace kv {

inline constexpr const char* kCalendarClass = "KVCalendar";
inline constexpr const char* kNotesClass = "KVNote";
inline constexpr const char* kScheduleClass = "KVSched";
inline constexpr const char* kToDoClass = "KVToDo";
inline constexpr const char* kPhonebookClass = "MDIDialogClass";
inline constexpr const char* kMapHostClass = "KVMapHost";

// The window procedures of the desk classes.
LRESULT CALLBACK CalendarWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK NotesWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK ScheduleWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK ToDoWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK PhonebookWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK MapHostWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

// What every desk window does whatever its module: its handle and open bit, placement and
// size tracking, agreeing to close. The desk modules call it for every message they leave to
// the default (it ends in DefMDIChildProc).
LRESULT DeskChildDefault(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, uint8_t code);

// The desk code of a window (0 when it is none of the desk's).
uint8_t DeskCodeOf(HWND hwnd);

// Creates the window of a code when it is closed, at its saved place; returns it.
HWND OpenDeskWindow(uint8_t code);
// Opens it if closed, restores it if minimized and makes it the active child.
HWND BringUpDeskWindow(uint8_t code);
void CloseDeskWindow(uint8_t code);
// The open-window bits of the windows open now.
uint8_t OpenDeskBits();

// Switches the calendar window to a view (1 year, 2 month, 4 day).
void SwitchCalendarView(uint16_t view);
// The calendar shows a view: the configuration and the toolbar's view buttons follow.
void ShowViewInFrame(uint16_t view);

// Arrange All and Reset Desk. At start Reset Desk restores the last saved desk without
// minimizing the world map window.
void ArrangeAllWindows();
void ResetDeskWindows(bool atStart = false);

// Writes the z-order and the active window into the configuration (before every save).
void RecordDeskInto(CalendarConfig& config);

// Asks every desk window whether it may close (WM_QUERYENDSESSION); false when one refuses.
bool DeskAgreesToClose();
// Destroys every desk window, restoring minimized ones first.
void DestroyDesk();

}  // namespace kv
