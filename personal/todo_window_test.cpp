#include "personal/todo_window.h"

#include <gtest/gtest.h>

#include "base/canvas_record.h"
#include "calendar/clock.h"
#include "calendar/date_format.h"
#include "calendar/regional.h"
#include "resources/strings.h"

namespace kv {
namespace {

ToDoEntry Entry(const std::string& text, int priority, MinuteKey required, MinuteKey completed = 0, uint16_t note = 0,
                uint16_t slot = 1) {
  ToDoEntry e;
  e.item.text = text;
  e.item.priority = static_cast<uint8_t>(priority);
  e.item.completed = completed;
  e.item.noteId = note;
  e.required = required;
  e.activate = MakeMinuteKey(2026, 12, 1);
  e.slot = slot;
  return e;
}

const MinuteKey kNow = MakeMinuteKey(2026, 12, 7, 9, 0);

std::vector<const CanvasCall*> TextsIn(const RecordingCanvas& canvas, const std::string& text) {
  std::vector<const CanvasCall*> out;
  for (const CanvasCall& c : canvas.Calls())
    if ((c.kind == CallKind::TextInRect || c.kind == CallKind::Text) && c.text == text) out.push_back(&c);
  return out;
}

TEST(ToDoWindow, RowTextsTellDueDateTimeOverdueAndNote) {
  struct Case {
    const char* name;
    ToDoEntry entry;
    bool overdue;
    bool hasTime;
    bool note;
    bool done;
  } cases[] = {
      {"due yesterday", Entry("Pay rent", 1, MakeMinuteKey(2026, 12, 6, 23, 59)), true, false, false, false},
      {"due this minute", Entry("Call", 2, kNow), true, true, false, false},
      {"due a minute later", Entry("Call", 2, kNow + 1), false, true, false, false},
      {"done though late", Entry("Filed", 3, MakeMinuteKey(2026, 12, 1, 10, 0), kNow - 60), false, true, false, true},
      {"with a note", Entry("Read", 2, MakeMinuteKey(2026, 12, 9, 23, 59), 0, 7), false, false, true, false},
  };
  for (const Case& c : cases) {
    ToDoRowText row = ToDoRowTextFor(c.entry, kNow);
    EXPECT_EQ(row.overdue, c.overdue) << c.name;
    EXPECT_EQ(!row.time.empty(), c.hasTime) << c.name;
    EXPECT_EQ(row.note, c.note) << c.name;
    EXPECT_EQ(row.done, c.done) << c.name;
    EXPECT_EQ(row.text, c.entry.item.text) << c.name;
    DateStamp d = SplitMinuteKey(c.entry.required);
    EXPECT_EQ(row.date, FormatShortDate(d.month, d.day, d.year)) << c.name;
  }
  // A priority outside 1-3 in a damaged record still shows a digit of the range.
  EXPECT_EQ(ToDoRowTextFor(Entry("x", 0, kNow), kNow).priority, "1");
  EXPECT_EQ(ToDoRowTextFor(Entry("x", 9, kNow), kNow).priority, "3");
}

TEST(ToDoWindow, RowPartsSitSideBySideInsideTheRow) {
  RecordingCanvas canvas;
  for (int width : {600, 200, 40, 0}) {
    ToDoRowLayout l = LayOutToDoRow(canvas, FontRole::Dialog, width);
    EXPECT_GE(l.height, 2 * canvas.LineHeight(FontRole::Dialog)) << width;  // date and time lines
    EXPECT_LT(l.check.right, l.priority.left) << width;
    EXPECT_LT(l.priority.right, l.date.left) << width;
    EXPECT_LE(l.date.right, l.text.left) << width;
    EXPECT_LE(l.text.right, l.note.left) << width;
    EXPECT_GE(l.text.Width(), 0) << width;
    EXPECT_GE(l.date.Width(), canvas.TextWidth(FontRole::Dialog, FormatShortDate(12, 28, 2026))) << width;
    if (width >= 600) {
      EXPECT_LE(l.note.right, width) << width;
    }
  }
}

TEST(ToDoWindow, HitTestFindsTheEntryAndItsBox) {
  RecordingCanvas canvas;
  ToDoWindowLayout w = LayOutToDoWindow(canvas, FontRole::Dialog, 400, 300);
  ToDoRowLayout r = LayOutToDoRow(canvas, FontRole::Dialog, 400);
  ASSERT_GT(w.visibleRows, 2);
  int y1 = w.RowRect(1).top;
  Point box{(r.check.left + r.check.right) / 2, y1 + (r.check.top + r.check.bottom) / 2};
  Point text{r.text.left + 5, y1 + 3};
  struct Case {
    Point at;
    int top, count, entry;
    bool check;
  } cases[] = {
      {box, 0, 5, 1, true},                        // the second row's box
      {text, 0, 5, 1, false},                      // its text
      {text, 10, 20, 11, false},                   // scrolled: row 1 shows entry 11
      {text, 0, 1, -1, false},                     // no entry in that row
      {{5, 2}, 0, 5, -1, false},                   // the heads
      {{5, w.RowRect(w.visibleRows).top + 1}, 0, 50, -1, false},  // the part row at the bottom
      {{-1, y1 + 2}, 0, 5, -1, false},
  };
  for (const Case& c : cases) {
    ToDoHit hit = ToDoHitTest(w, r, c.top, c.count, c.at);
    EXPECT_EQ(hit.entry, c.entry) << c.at.x << "," << c.at.y;
    EXPECT_EQ(hit.check, c.check) << c.at.x << "," << c.at.y;
  }
  // A window too low for one row still has its heads and no rows; any height holds one.
  EXPECT_EQ(LayOutToDoWindow(canvas, FontRole::Dialog, 400, w.headerHeight).visibleRows, 0);
  EXPECT_EQ(LayOutToDoWindow(canvas, FontRole::Dialog, 400, w.headerHeight + 3).visibleRows, 1);
}

TEST(ToDoWindow, KeysMoveTheSelectionWithinTheList) {
  struct Case {
    int selected, count, page;
    ToDoMove move;
    int expected;
  } cases[] = {
      {-1, 0, 5, ToDoMove::Down, -1},  {-1, 4, 5, ToDoMove::Down, 0},   {-1, 4, 5, ToDoMove::End, 3},
      {0, 4, 5, ToDoMove::Up, 0},      {3, 4, 5, ToDoMove::Down, 3},    {1, 4, 5, ToDoMove::Down, 2},
      {0, 20, 5, ToDoMove::PageDown, 4}, {19, 20, 5, ToDoMove::PageDown, 19}, {10, 20, 5, ToDoMove::PageUp, 6},
      {10, 20, 1, ToDoMove::PageDown, 11}, {7, 20, 5, ToDoMove::Home, 0}, {7, 20, 5, ToDoMove::End, 19},
      {25, 20, 5, ToDoMove::Up, 0},  // a selection beyond the list starts again
  };
  for (const Case& c : cases)
    EXPECT_EQ(ToDoMoveSelection(c.selected, c.count, c.page, c.move), c.expected)
        << c.selected << " of " << c.count << " move " << static_cast<int>(c.move);
}

TEST(ToDoWindow, TheSelectionStaysInView) {
  struct Case {
    int top, selected, count, rows, expected;
  } cases[] = {
      {0, 3, 10, 5, 0},   {0, 5, 10, 5, 1},  {4, 2, 10, 5, 2}, {8, -1, 10, 5, 5},  // no empty rows at the end
      {3, -1, 2, 5, 0},   {0, 9, 10, 0, 9},  {-4, 0, 10, 5, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ToDoTopFor(c.top, c.selected, c.count, c.rows), c.expected) << c.top << " " << c.selected;
}

TEST(ToDoWindow, ReloadKeepsTheItemOrItsPlace) {
  std::vector<ToDoEntry> list = {Entry("a", 1, kNow, 0, 0, 4), Entry("b", 1, kNow, 0, 0, 9), Entry("c", 1, kNow, 0, 0, 2)};
  EXPECT_EQ(ToDoIndexOfSlot(list, 9), 1);
  EXPECT_EQ(ToDoIndexOfSlot(list, 0), -1);
  EXPECT_EQ(ToDoSelectionAfterReload(list, 2, 0), 2);   // moved by the new order
  EXPECT_EQ(ToDoSelectionAfterReload(list, 7, 1), 1);   // removed: the next one takes its place
  EXPECT_EQ(ToDoSelectionAfterReload(list, 7, 5), 2);   // the last one was removed
  EXPECT_EQ(ToDoSelectionAfterReload(list, 7, -1), -1);
  EXPECT_EQ(ToDoSelectionAfterReload({}, 7, 3), -1);
}

TEST(ToDoWindow, PaintShowsRowsWithARedDigitOnlyWhenOverdue) {
  std::vector<ToDoEntry> list = {
      Entry("Overdue task", 1, MakeMinuteKey(2026, 12, 6, 23, 59), 0, 0, 1),
      Entry("Timed task", 2, MakeMinuteKey(2026, 12, 8, 14, 30), 0, 3, 2),
      Entry("Done task", 3, MakeMinuteKey(2026, 12, 1, 23, 59), kNow - 5, 0, 3),
  };
  RecordingCanvas canvas;
  ToDoPaint p;
  p.entries = &list;
  p.now = kNow;
  p.width = 500;
  p.height = 400;
  p.selected = 1;
  p.focused = true;
  PaintToDoWindow(canvas, p);
  for (const char* head : {"Pri.", "Req'd By", "Item:"}) EXPECT_EQ(TextsIn(canvas, head).size(), 1u) << head;
  auto digit = [&](const char* d) {
    auto calls = TextsIn(canvas, d);
    return calls.size() == 1 ? calls[0]->colour : kTransparent;
  };
  ToDoColours c;
  EXPECT_EQ(digit("1"), kToDoOverdueColour);
  EXPECT_EQ(digit("2"), c.text);
  EXPECT_EQ(digit("3"), c.grey);  // a done item is greyed, never red
  EXPECT_EQ(TextsIn(canvas, FormatTimeOfDay(14 * 60 + 30, Regional())).size(), 1u);
  EXPECT_TRUE(TextsIn(canvas, FormatTimeOfDay(23 * 60 + 59, Regional())).empty());  // 23:59 is no time
  EXPECT_EQ(TextsIn(canvas, "Done task")[0]->colour, c.grey);
  EXPECT_TRUE(TextsIn(canvas, std::string(StringText(kStrNoPendingItems))).empty());
  // The selection band and the focus frame belong to the second row only.
  int bands = 0, focus = 0;
  for (const CanvasCall& call : canvas.Calls()) {
    bands += call.kind == CallKind::Fill && call.colour == c.selection;
    focus += call.kind == CallKind::Frame && call.pen.style == PenStyle::Dot;
  }
  EXPECT_EQ(bands, 1);
  EXPECT_EQ(focus, 1);
}

TEST(ToDoWindow, AnEmptyListSaysSo) {
  std::vector<ToDoEntry> none;
  RecordingCanvas canvas;
  ToDoPaint p;
  p.entries = &none;
  p.width = 300;
  p.height = 200;
  PaintToDoWindow(canvas, p);
  auto calls = TextsIn(canvas, "No pending items");
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_GT(calls[0]->rect.top, 0);
  // No paint input at all (no list yet) is the same.
  RecordingCanvas again;
  p.entries = nullptr;
  PaintToDoWindow(again, p);
  EXPECT_EQ(TextsIn(again, "No pending items").size(), 1u);
}

TEST(ToDoWindow, OnlyTheRowsThatFitArePainted) {
  std::vector<ToDoEntry> list;
  for (int i = 0; i < 100; ++i) list.push_back(Entry("Task " + std::to_string(i), 1 + i % 3, kNow + i, 0, 0, static_cast<uint16_t>(i + 1)));
  RecordingCanvas canvas;
  ToDoPaint p;
  p.entries = &list;
  p.top = 40;
  p.width = 400;
  p.height = 300;
  PaintToDoWindow(canvas, p);
  ToDoWindowLayout w = LayOutToDoWindow(canvas, p.role, p.width, p.height);
  EXPECT_TRUE(TextsIn(canvas, "Task 39").empty());
  EXPECT_EQ(TextsIn(canvas, "Task 40").size(), 1u);
  EXPECT_EQ(TextsIn(canvas, "Task " + std::to_string(40 + w.visibleRows - 1)).size(), 1u);
  EXPECT_TRUE(TextsIn(canvas, "Task " + std::to_string(40 + w.visibleRows)).empty());
}

}  // namespace
}  // namespace kv
