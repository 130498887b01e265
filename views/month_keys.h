// The month view's keyboard, over the shared calendar state: which day or month a key selects.
#pragma once

namespace kv {

enum class MonthKey { Space, PageUp, PageDown, Home, End, Left, Right, Up, Down };

enum class MonthKeyResult {
  None,          // nothing changed (a move out of the month, a refused year)
  DayChanged,    // another day of the same month is selected
  MonthChanged,  // another month is displayed
  DayView,       // the selected day should open in the day view
};

// Applies a key to Calendar(): Page Up/Down previous/next month with day 1, Home/End the first
// and last day, Left/Right one day (across the month's ends), Up/Down a week within the month.
MonthKeyResult ApplyMonthKey(MonthKey key);

}  // namespace kv
