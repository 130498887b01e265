// The time box's pop-up, apart from its window: its columns (hours, tens of minutes, units of
// minutes and, on the 12-hour clock, AM and PM), the focus moves of the keyboard, and the value
// split into the columns' choices and joined again. Also the reading of the box's text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "calendar/regional.h"

namespace kv {

constexpr int kTimeEmpty = -2;    // what reading an empty box returns
constexpr int kTimeInvalid = -1;  // the value after text that is not a time

enum TimeColumn : int { kHourColumn = 0, kTensColumn, kUnitsColumn, kHalfColumn };

struct TimePopupColumns {
  std::vector<std::string> heads;              // "Hour", "Minute" over the first two columns
  std::vector<std::vector<std::string>> rows;  // the entries of each column, top to bottom
};

// 1 ... 12 or 0 ... 23 by the regional clock, "00" ... "50", "0" ... "9", and the designators
// in 12-hour mode only.
TimePopupColumns TimeColumns(const RegionalSettings& regional);

// A value split into the rows chosen in each column.
struct TimeParts {
  int hourRow = 0;
  int tens = 0;
  int units = 0;
  bool pm = false;
  friend bool operator==(const TimeParts&, const TimeParts&) = default;
};
TimeParts SplitTime(int minutes, bool clock24);
int JoinTime(const TimeParts& parts, bool clock24);

// The focused entry of the pop-up.
struct TimeFocus {
  int column = kHourColumn;
  int row = 0;
  friend bool operator==(const TimeFocus&, const TimeFocus&) = default;
};
TimeFocus FocusOf(const TimeParts& parts, int column);

enum class TimeKey { Up, Down, Left, Right, Home, End, Tab, BackTab };

// A key moves the focus and chooses the entry it lands on: the new value (0 ... 1439) and
// focus. In 12-hour mode Up on the first hour and Down on the last switch between the morning
// and afternoon hours.
struct TimeMove {
  int minutes = 0;
  TimeFocus focus;
};
TimeMove MoveTimeFocus(int minutes, const TimeFocus& focus, TimeKey key, bool clock24);

// A row chosen in a column (a click).
int ChooseTimeRow(int minutes, int column, int row, bool clock24);

// The pop-up's layout from the width and height of the character "0": the heads over the
// columns and a square for every entry. Twelve rows show; the 24-hour column shows its hours
// in two halves side by side (0 ... 11 and 12 ... 23).
struct TimePopupGeometry {
  int width = 0;
  int height = 0;
  int headBottom = 0;
  int rowHeight = 0;
  int columnLeft[4] = {};   // left edge of each column (the hour column's first half)
  int columnWidth[4] = {};  // width of one entry of each column
};
TimePopupGeometry TimePopupLayout(int charWidth, int charHeight, bool clock24);
struct TimeEntryBox {
  int left = 0, top = 0, right = 0, bottom = 0;
  friend bool operator==(const TimeEntryBox&, const TimeEntryBox&) = default;
};
TimeEntryBox TimeEntryRect(const TimePopupGeometry& g, int column, int row, bool clock24);
// The entry under a point, or column -1.
TimeFocus TimeEntryAt(const TimePopupGeometry& g, int x, int y, bool clock24);

// What reading the box gives for its text: kTimeEmpty for a blank field, kTimeInvalid for text
// that is no time, else minutes since midnight.
int ReadTimeText(std::string_view text, const RegionalSettings& regional);

}  // namespace kv
