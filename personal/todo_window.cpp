#include "personal/todo_window.h"

#include <algorithm>

#include "calendar/date_format.h"
#include "calendar/regional.h"
#include "personal/notes_window.h"
#include "resources/strings.h"

namespace kv {
namespace {

constexpr int kStrPriorityHead = 1033;   // "Pri."
constexpr int kStrItemHead = 1035;       // "Item:"
constexpr int kStrRequiredHead = 25500;  // "Req'd By"

constexpr int kMargin = 4;       // room at the row's ends and between its columns
constexpr int kCheckSize = 13;   // the completion box, as a system check box
constexpr int kNoteSize = 16;

Rect Offset(const Rect& r, int dx, int dy) { return Rect{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy}; }

void DrawCheck(Canvas& canvas, const Rect& box, bool done, const ToDoColours& c) {
  canvas.FillRect(box, c.window);
  canvas.FrameRect(box, Pen{c.grey, 1});
  if (!done) return;
  // A tick from the left middle down to the bottom third and up to the top right.
  Pen tick{c.text, 2};
  int x = box.left, y = box.top, s = box.Width();
  Point points[] = {{x + 3, y + s / 2}, {x + s * 2 / 5, y + s - 4}, {x + s - 3, y + 3}};
  canvas.DrawPolyline(points, tick);
}

}  // namespace

ToDoRowText ToDoRowTextFor(const ToDoEntry& entry, MinuteKey now) {
  ToDoRowText row;
  row.priority = std::to_string(std::clamp<int>(entry.item.priority, 1, 3));
  DateStamp required = SplitMinuteKey(entry.required);
  row.date = FormatShortDate(required.month, required.day, required.year);
  int time = ToDoEntryTime(entry);
  if (time >= 0) row.time = FormatTimeOfDay(time, Regional());
  row.text = entry.item.text;
  row.note = entry.item.noteId != 0;
  row.done = entry.item.completed != 0;
  row.overdue = ToDoIsOverdue(entry, now);
  return row;
}

ToDoRowLayout LayOutToDoRow(const Canvas& canvas, FontRole role, int width) {
  ToDoRowLayout l;
  int line = std::max(1, canvas.LineHeight(role));
  l.height = 2 * line + 2 * kMargin;
  int x = kMargin;
  int middle = l.height / 2;
  l.check = Rect{x, middle - kCheckSize / 2, x + kCheckSize, middle - kCheckSize / 2 + kCheckSize};
  x = l.check.right + kMargin + 2;
  int digit = std::max(canvas.TextWidth(role, "8"), canvas.TextWidth(role, std::string(StringText(kStrPriorityHead))));
  l.priority = Rect{x, kMargin, x + digit, l.height - kMargin};
  x = l.priority.right + 2 * kMargin;
  // The widest date and time this calendar's formats can give.
  int dateWidth = std::max({canvas.TextWidth(role, FormatShortDate(12, 28, 2088)),
                            canvas.TextWidth(role, FormatTimeOfDay(12 * 60 - 2, Regional())),
                            canvas.TextWidth(role, FormatTimeOfDay(23 * 60 + 58, Regional())),
                            canvas.TextWidth(role, std::string(StringText(kStrRequiredHead)))});
  l.date = Rect{x, kMargin, x + dateWidth, l.height - kMargin};
  x = l.date.right + 2 * kMargin;
  int noteLeft = std::max(x, width - kMargin - kNoteSize);
  l.note = Rect{noteLeft, middle - kNoteSize / 2, noteLeft + kNoteSize, middle - kNoteSize / 2 + kNoteSize};
  l.text = Rect{x, kMargin, std::max(x, noteLeft - kMargin), l.height - kMargin};
  return l;
}

ToDoWindowLayout LayOutToDoWindow(const Canvas& canvas, FontRole role, int width, int height) {
  ToDoWindowLayout w;
  w.width = std::max(0, width);
  w.headerHeight = std::max(1, canvas.LineHeight(role)) + kMargin;
  w.rowHeight = std::max(1, LayOutToDoRow(canvas, role, width).height);
  int room = height - w.headerHeight;
  w.visibleRows = room <= 0 ? 0 : std::max(1, room / w.rowHeight);
  return w;
}

ToDoHit ToDoHitTest(const ToDoWindowLayout& window, const ToDoRowLayout& row, int top, int count, Point at) {
  ToDoHit hit;
  if (at.y < window.headerHeight || at.x < 0 || at.x >= window.width) return hit;
  int r = (at.y - window.headerHeight) / window.rowHeight;
  if (r >= window.visibleRows) return hit;
  int entry = top + r;
  if (top < 0 || entry >= count) return hit;
  hit.entry = entry;
  Rect check = Offset(row.check, 0, window.RowRect(r).top);
  // A little grace around the box, as a check box's label would give.
  Rect target{check.left - 2, check.top - 2, check.right + 3, check.bottom + 3};
  hit.check = target.Contains(at);
  return hit;
}

int ToDoMoveSelection(int selected, int count, int pageRows, ToDoMove move) {
  if (count <= 0) return -1;
  if (selected < 0 || selected >= count) return move == ToDoMove::End ? count - 1 : 0;
  int page = std::max(1, pageRows - 1);
  int next = selected;
  switch (move) {
    case ToDoMove::Up: next = selected - 1; break;
    case ToDoMove::Down: next = selected + 1; break;
    case ToDoMove::PageUp: next = selected - page; break;
    case ToDoMove::PageDown: next = selected + page; break;
    case ToDoMove::Home: next = 0; break;
    case ToDoMove::End: next = count - 1; break;
  }
  return std::clamp(next, 0, count - 1);
}

int ToDoTopFor(int top, int selected, int count, int visibleRows) {
  int rows = std::max(1, visibleRows);
  int lastTop = std::max(0, count - rows);
  top = std::clamp(top, 0, lastTop);
  if (selected >= 0 && selected < count) {
    if (selected < top) top = selected;
    else if (selected >= top + rows) top = selected - rows + 1;
  }
  return std::clamp(top, 0, lastTop);
}

int ToDoIndexOfSlot(const std::vector<ToDoEntry>& entries, uint16_t slot) {
  if (slot == 0) return -1;
  for (size_t i = 0; i < entries.size(); ++i)
    if (entries[i].slot == slot) return static_cast<int>(i);
  return -1;
}

int ToDoSelectionAfterReload(const std::vector<ToDoEntry>& entries, uint16_t slot, int oldIndex) {
  int found = ToDoIndexOfSlot(entries, slot);
  if (found >= 0) return found;
  if (entries.empty() || oldIndex < 0) return -1;
  return std::min(oldIndex, static_cast<int>(entries.size()) - 1);
}

void PaintToDoRow(Canvas& canvas, FontRole role, const ToDoRowLayout& l, const Rect& row, const ToDoRowText& text,
                  bool selected, bool focused, const ToDoColours& c) {
  canvas.FillRect(row, selected ? c.selection : c.window);
  int dx = row.left, dy = row.top;
  DrawCheck(canvas, Offset(l.check, dx, dy), text.done, c);
  Colour body = text.done ? c.grey : c.text;
  Colour digit = text.overdue ? kToDoOverdueColour : body;
  constexpr unsigned kOneLine = kTextSingleLine | kTextEndEllipsis;
  canvas.DrawTextInRect(role, Offset(l.priority, dx, dy), text.priority, digit, kTextCentre | kTextVCentre | kOneLine);
  Rect date = Offset(l.date, dx, dy);
  if (text.time.empty()) {
    canvas.DrawTextInRect(role, date, text.date, body, kTextLeft | kTextVCentre | kOneLine);
  } else {
    int half = date.top + date.Height() / 2;
    canvas.DrawTextInRect(role, Rect{date.left, date.top, date.right, half}, text.date, body, kTextLeft | kTextBottom | kOneLine);
    canvas.DrawTextInRect(role, Rect{date.left, half, date.right, date.bottom}, text.time, body, kTextLeft | kTextTop | kOneLine);
  }
  canvas.DrawTextInRect(role, Offset(l.text, dx, dy), text.text, body, kTextLeft | kTextVCentre | kOneLine);
  if (text.note) PaintNoteMark(canvas, Offset(l.note, dx, dy), c.text);
  canvas.DrawLine({row.left, row.bottom - 1}, {row.right, row.bottom - 1}, Pen{c.face, 1});
  if (selected && focused) {
    Rect frame{row.left + 1, row.top + 1, row.right - 1, row.bottom - 2};
    canvas.FrameRect(frame, Pen{c.text, 1, PenStyle::Dot});
  }
}

void PaintToDoHeader(Canvas& canvas, FontRole role, const ToDoRowLayout& l, int width, int height, const ToDoColours& c) {
  Rect strip{0, 0, width, height};
  canvas.FillRect(strip, c.face);
  constexpr unsigned kHead = kTextVCentre | kTextSingleLine | kTextEndEllipsis;
  canvas.DrawTextInRect(role, Rect{l.priority.left, 0, l.priority.right, height}, StringText(kStrPriorityHead), c.text,
                        kTextCentre | kHead);
  canvas.DrawTextInRect(role, Rect{l.date.left, 0, l.date.right, height}, StringText(kStrRequiredHead), c.text,
                        kTextLeft | kHead);
  canvas.DrawTextInRect(role, Rect{l.text.left, 0, l.text.right, height}, StringText(kStrItemHead), c.text, kTextLeft | kHead);
  canvas.DrawLine({0, height - 1}, {width, height - 1}, Pen{c.grey, 1});
}

void PaintToDoEmpty(Canvas& canvas, FontRole role, const Rect& area, const ToDoColours& c) {
  canvas.FillRect(area, c.window);
  Rect band{area.left, area.top + kMargin * 3, area.right, area.top + kMargin * 3 + 2 * canvas.LineHeight(role)};
  canvas.DrawTextInRect(role, band, StringText(kStrNoPendingItems), c.grey, kTextCentre | kTextTop | kTextSingleLine);
}

void PaintToDoWindow(Canvas& canvas, const ToDoPaint& p) {
  ToDoWindowLayout w = LayOutToDoWindow(canvas, p.role, p.width, p.height);
  ToDoRowLayout row = LayOutToDoRow(canvas, p.role, p.width);
  PaintToDoHeader(canvas, p.role, row, p.width, w.headerHeight, p.colours);
  Rect body{0, w.headerHeight, p.width, p.height};
  int count = p.entries ? static_cast<int>(p.entries->size()) : 0;
  if (count == 0) {
    PaintToDoEmpty(canvas, p.role, body, p.colours);
    return;
  }
  canvas.FillRect(body, p.colours.window);
  for (int r = 0; r < w.visibleRows && p.top + r < count; ++r) {
    int i = p.top + r;
    ToDoRowText text = ToDoRowTextFor((*p.entries)[static_cast<size_t>(i)], p.now);
    PaintToDoRow(canvas, p.role, row, w.RowRect(r), text, i == p.selected, p.focused, p.colours);
  }
}

}  // namespace kv
