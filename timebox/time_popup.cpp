#include "timebox/time_popup.h"

#include <algorithm>
#include <cstdio>

#include "calendar/time_parse.h"
#include "resources/strings.h"

namespace kv {
namespace {

constexpr int kHourHead = 1124;    // "Hour"
constexpr int kMinuteHead = 1125;  // "Minute"

int RowCount(int column, bool clock24) {
  switch (column) {
    case kHourColumn: return clock24 ? 24 : 12;
    case kTensColumn: return 6;
    case kUnitsColumn: return 10;
    default: return clock24 ? 0 : 2;
  }
}

int ColumnCount(bool clock24) { return clock24 ? 3 : 4; }

}  // namespace

TimePopupColumns TimeColumns(const RegionalSettings& regional) {
  TimePopupColumns c;
  c.heads = {std::string(StringText(kHourHead)), std::string(StringText(kMinuteHead))};
  bool clock24 = regional.clock24;
  c.rows.resize(ColumnCount(clock24));
  char text[16];
  for (int r = 0; r < RowCount(kHourColumn, clock24); ++r) {
    std::snprintf(text, sizeof text, "%d", clock24 ? r : r + 1);
    c.rows[kHourColumn].push_back(text);
  }
  for (int r = 0; r < 6; ++r) {
    std::snprintf(text, sizeof text, "%d0", r);
    c.rows[kTensColumn].push_back(text);
  }
  for (int r = 0; r < 10; ++r) c.rows[kUnitsColumn].push_back(std::to_string(r));
  if (!clock24) c.rows[kHalfColumn] = {regional.morning, regional.afternoon};
  return c;
}

TimeParts SplitTime(int minutes, bool clock24) {
  minutes = std::clamp(minutes, 0, 1439);
  TimeParts p;
  int hour = minutes / 60;
  p.pm = minutes >= 720;
  p.tens = minutes % 60 / 10;
  p.units = minutes % 10;
  // The 12-hour column lists 1 ... 12: 12 o'clock (midnight or noon) is its last row.
  p.hourRow = clock24 ? hour : (hour % 12 == 0 ? 11 : hour % 12 - 1);
  return p;
}

int JoinTime(const TimeParts& p, bool clock24) {
  int hour = clock24 ? p.hourRow : (p.hourRow + 1) % 12 + (p.pm ? 12 : 0);
  return hour * 60 + p.tens * 10 + p.units;
}

TimeFocus FocusOf(const TimeParts& p, int column) {
  switch (column) {
    case kTensColumn: return {column, p.tens};
    case kUnitsColumn: return {column, p.units};
    case kHalfColumn: return {column, p.pm ? 1 : 0};
    default: return {kHourColumn, p.hourRow};
  }
}

int ChooseTimeRow(int minutes, int column, int row, bool clock24) {
  TimeParts p = SplitTime(minutes, clock24);
  if (column < 0 || column >= ColumnCount(clock24)) return JoinTime(p, clock24);
  row = std::clamp(row, 0, RowCount(column, clock24) - 1);
  switch (column) {
    case kHourColumn: p.hourRow = row; break;
    case kTensColumn: p.tens = row; break;
    case kUnitsColumn: p.units = row; break;
    default: p.pm = row == 1; break;
  }
  return JoinTime(p, clock24);
}

TimeMove MoveTimeFocus(int minutes, const TimeFocus& focus, TimeKey key, bool clock24) {
  TimeParts p = SplitTime(minutes, clock24);
  int columns = ColumnCount(clock24);
  int column = std::clamp(focus.column, 0, columns - 1);
  int rows = RowCount(column, clock24);
  int row = std::clamp(focus.row, 0, rows - 1);
  bool halfSwitch = !clock24 && column == kHourColumn;
  switch (key) {
    case TimeKey::Up:
      if (row > 0) {
        --row;
      } else if (halfSwitch) {
        row = rows - 1;
        p.pm = !p.pm;
      }
      break;
    case TimeKey::Down:
      if (row < rows - 1) {
        ++row;
      } else if (halfSwitch) {
        row = 0;
        p.pm = !p.pm;
      }
      break;
    case TimeKey::Home: row = 0; break;
    case TimeKey::End: row = rows - 1; break;
    case TimeKey::Left:
    case TimeKey::Right:
    case TimeKey::Tab:
    case TimeKey::BackTab: {
      bool forward = key == TimeKey::Right || key == TimeKey::Tab;
      bool wrap = key == TimeKey::Tab || key == TimeKey::BackTab;
      int to = column + (forward ? 1 : -1);
      if (wrap) to = (to + columns) % columns;
      to = std::clamp(to, 0, columns - 1);
      // Moving between columns only moves the focus, onto the column's chosen entry.
      return {JoinTime(p, clock24), FocusOf(p, to)};
    }
  }
  // Switching halves keeps the hour's row; the chosen row then sets the value.
  int value = JoinTime(p, clock24);
  value = ChooseTimeRow(value, column, row, clock24);
  return {value, {column, row}};
}

TimePopupGeometry TimePopupLayout(int w, int h, bool clock24) {
  TimePopupGeometry g;
  g.rowHeight = h + 2;
  g.headBottom = h + 6;
  // Wide enough for the heads: "Hour" over the hours, "Minute" over the tens and units.
  int widths[4] = {clock24 ? 3 * w : 5 * w, 3 * w, 3 * w, 4 * w};
  int gaps[4] = {w, w / 2, w, 0};
  int x = w / 2;
  for (int c = 0; c < ColumnCount(clock24); ++c) {
    g.columnLeft[c] = x;
    g.columnWidth[c] = widths[c];
    x += widths[c] * (c == kHourColumn && clock24 ? 2 : 1) + gaps[c];
  }
  if (clock24) x -= gaps[kUnitsColumn];
  g.width = x + w / 2;
  g.height = g.headBottom + 2 + 12 * g.rowHeight + 4;
  return g;
}

TimeEntryBox TimeEntryRect(const TimePopupGeometry& g, int column, int row, bool clock24) {
  int left = g.columnLeft[column];
  if (column == kHourColumn && clock24 && row >= 12) {
    left += g.columnWidth[column];
    row -= 12;
  }
  int top = g.headBottom + 2 + row * g.rowHeight;
  return {left, top, left + g.columnWidth[column], top + g.rowHeight};
}

TimeFocus TimeEntryAt(const TimePopupGeometry& g, int x, int y, bool clock24) {
  for (int c = 0; c < ColumnCount(clock24); ++c) {
    for (int r = 0; r < RowCount(c, clock24); ++r) {
      TimeEntryBox b = TimeEntryRect(g, c, r, clock24);
      if (x >= b.left && x < b.right && y >= b.top && y < b.bottom) return {c, r};
    }
  }
  return {-1, 0};
}

int ReadTimeText(std::string_view text, const RegionalSettings& regional) {
  bool blank = true;
  for (char c : text)
    if (c != ' ' && c != '\t') blank = false;
  if (blank) return kTimeEmpty;
  std::optional<int> minutes = ParseTimeOfDay(text, regional);
  return minutes ? *minutes : kTimeInvalid;
}

}  // namespace kv
