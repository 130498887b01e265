// The month view's windows: the plane (KVMonthPlane) with its year label (KVYearLabel), title
// (KVTitle), the two small calendars (KVSmCal, ids 0 and 1) and 31 day cells (KVDate, id day - 1).
// The procedures are registered with the program's window classes.
#pragma once

#include <windows.h>

#include "base/canvas.h"

namespace kv {

LRESULT CALLBACK MonthPlaneWindowProc(HWND window, UINT message, WPARAM wp, LPARAM lp);
LRESULT CALLBACK YearLabelWindowProc(HWND window, UINT message, WPARAM wp, LPARAM lp);
LRESULT CALLBACK MonthTitleWindowProc(HWND window, UINT message, WPARAM wp, LPARAM lp);
LRESULT CALLBACK DayCellWindowProc(HWND window, UINT message, WPARAM wp, LPARAM lp);

// The next refresh gathers the month again and lays it out anew (options, tab, today changed).
void ForgetMonthLayout();

// The scroll steps of the month: half a cell each way.
Size MonthScrollSteps();

}  // namespace kv
