// The window procedures of the year view's plane, the day view's plane and the small month
// calendar, for the program's table of window classes.
#pragma once

#include <windows.h>

#include "resources/command_ids.h"

namespace kv {

LRESULT CALLBACK YearPlaneProc(HWND window, UINT message, WPARAM wp, LPARAM lp);
LRESULT CALLBACK DayPlaneProc(HWND window, UINT message, WPARAM wp, LPARAM lp);
LRESULT CALLBACK SmallCalendarProc(HWND window, UINT message, WPARAM wp, LPARAM lp);

// Control ids of the small calendars: the month view's prior and next month, and the year
// view's months from 3 on (position + 3).
constexpr int kSmallCalendarPrior = 0;
constexpr int kSmallCalendarNext = 1;
constexpr int kSmallCalendarYearFirst = 3;

// Parameters of message 1040 from a small calendar of the year view (the month's position in
// lParam): select the month, or open it in the month view.
constexpr WPARAM kYearSelectMonth = kMoveSelectMonth;
constexpr WPARAM kYearOpenMonth = kMoveOpenMonth;
// Message 1040 with these: the year before / after.
constexpr WPARAM kYearPrevious = kMoveBack;
constexpr WPARAM kYearNext = kMoveForward;

// Where a small calendar stands in the day assembly's slots: the month view's prior and next
// month, or a month of the year view. -1 for an id that is neither.
int SmallCalendarSlot(int controlId);

}  // namespace kv
