#include <gtest/gtest.h>

#include <string>

#include "base/canvas_record.h"
#include "calendar/jewish.h"
#include "overlays/day_assembly.h"
#include "views/small_calendar.h"
#include "views/year_layout.h"

namespace kv {
namespace {

class YearViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetCalendarState();
    ResetAssembly();
  }
  void TearDown() override {
    ResetCalendarState();
    ResetAssembly();
  }
};

TEST_F(YearViewTest, Keys) {
  struct Case {
    int year, index;
    bool jewish;
    YearKey key;
    int toYear, toIndex;
    bool used;
  } cases[] = {
      // Up on the first row and Down on the last row do nothing.
      {2026, 0, false, YearKey::Up, 2026, 0, false},
      {2026, 3, false, YearKey::Up, 2026, 3, false},
      {2026, 8, false, YearKey::Down, 2026, 8, false},
      {2026, 11, false, YearKey::Down, 2026, 11, false},
      {2026, 5, false, YearKey::Up, 2026, 1, true},
      {2026, 2, false, YearKey::Down, 2026, 6, true},
      // Left and Right stop at the year's ends; Home and End.
      {2026, 0, false, YearKey::Left, 2026, 0, false},
      {2026, 11, false, YearKey::Right, 2026, 11, false},
      {2026, 4, false, YearKey::Right, 2026, 5, true},
      {2026, 7, false, YearKey::Home, 2026, 0, true},
      {2026, 7, false, YearKey::End, 2026, 11, true},
      // Page Up stops at 1584; Page Down at the last year.
      {1584, 3, false, YearKey::PageUp, 1584, 3, false},
      {1585, 3, false, YearKey::PageUp, 1584, 3, true},
      {2026, 3, false, YearKey::PageDown, 2027, 3, true},
      {9998, 3, false, YearKey::PageDown, 9998, 3, false},
      // A Jewish leap year: thirteen months in five columns.
      {5784, 11, true, YearKey::Right, 5784, 12, true},
      {5784, 7, true, YearKey::Down, 5784, 12, true},
      {5784, 8, true, YearKey::Down, 5784, 8, false},   // 13 is past the last month
      {5784, 12, true, YearKey::Up, 5784, 7, true},
      {5784, 4, true, YearKey::Up, 5784, 4, false},
      {5784, 3, true, YearKey::Down, 5784, 8, true},
      {5784, 0, true, YearKey::End, 5784, 12, true},
      // Into a common year from the thirteenth month: its last month.
      {5784, 12, true, YearKey::PageDown, 5785, 11, true},
      {5785, 11, true, YearKey::Down, 5785, 11, false},
      {5785, 7, true, YearKey::Down, 5785, 11, true},
      {kYearViewFirstJewish, 2, true, YearKey::PageUp, kYearViewFirstJewish, 2, false},
  };
  for (const Case& c : cases) {
    YearView v{c.year, c.index, c.jewish};
    YearKeyResult r = YearViewKey(v, c.key);
    SCOPED_TRACE(testing::Message() << c.year << " index " << c.index << " key " << static_cast<int>(c.key));
    EXPECT_EQ(v.year, c.toYear);
    EXPECT_EQ(v.index, c.toIndex);
    EXPECT_EQ(r.used, c.used);
    EXPECT_FALSE(r.open);
  }
  YearView v{2026, 4, false};
  YearKeyResult space = YearViewKey(v, YearKey::Space);
  EXPECT_TRUE(space.open);
}

TEST_F(YearViewTest, SpaceOpensTheSelectedDayOnlyInItsMonth) {
  SelectGregorianDate(DateStamp{2026, 3, 17});
  const CalendarState& s = Calendar();
  struct Case {
    int year, index;
    DateStamp open;
  } cases[] = {
      {2026, 2, {2026, 3, 17}},  // the month of the selected date: that day
      {2026, 3, {2026, 4, 1}},   // another month: its first day
      {2027, 2, {2027, 3, 1}},   // the same month of another year: its first day
  };
  for (const Case& c : cases) EXPECT_EQ(YearViewOpenDate(YearView{c.year, c.index, false}, c.index, s), c.open);

  ViewOptions jewish;
  jewish.jewishPrimary = true;
  SetViewOptions(jewish);
  SelectGregorianDate(DateStamp{2024, 3, 15});  // 5 Adar II 5784
  ASSERT_EQ(s.month, kAdarII);
  YearView view = YearViewOf(s);
  EXPECT_EQ(view.index, 6);
  EXPECT_EQ(YearViewOpenDate(view, 6, s), (DateStamp{2024, 3, 15}));
  EXPECT_EQ(YearViewOpenDate(view, 5, s), (DateStamp{2024, 2, 10}));  // 1 Adar I
}

TEST_F(YearViewTest, ThirteenMonthsInFiveColumns) {
  RecordingCanvas canvas;
  for (auto [year, jewish, count, columns] : {std::tuple{2026, false, 12, 4}, std::tuple{5784, true, 13, 5},
                                              std::tuple{5785, true, 12, 4}}) {
    YearView view{year, 0, jewish};
    YearLayout layout = LayOutYear(canvas, Size{900, 640}, view);
    SCOPED_TRACE(year);
    ASSERT_EQ(layout.count, count);
    EXPECT_EQ(layout.columns, columns);
    // Every month in its own cell, inside the grid, below the title.
    for (int i = 0; i < count; ++i) {
      const Rect& cell = layout.cells[static_cast<size_t>(i)];
      EXPECT_EQ(cell.left, layout.grid.left + (i % columns) * cell.Width());
      EXPECT_EQ(cell.top, layout.grid.top + (i / columns) * cell.Height());
      EXPECT_LE(cell.bottom, layout.grid.bottom);
      EXPECT_GE(cell.top, layout.title.bottom);
      EXPECT_EQ(YearMonthAtPoint(layout, Point{cell.left + 5, cell.top + 5}), i);
    }
    EXPECT_EQ(YearMonthAtPoint(layout, Point{1, 1}), -1);
  }
}

TEST_F(YearViewTest, PaintShowsTheMonthsMarksAndSelection) {
  RecordingCanvas canvas;
  ViewOptions options;
  options.sundayRed = true;
  YearView view{2026, 4, false};
  YearLayout layout = LayOutYear(canvas, Size{900, 640}, view);
  std::array<std::array<uint8_t, 32>, kYearViewMaxMonths> marks{};
  marks[0][13] = 1;  // a highlighted event on 13 January (a Tuesday)
  PaintYear(canvas, layout, view, options, marks);
  EXPECT_EQ(canvas.CallsOf(CallKind::Fill).front()->colour, options.colours.theme);
  EXPECT_NE(canvas.FindText("2026"), nullptr);
  for (const char* name : {"January", "May", "December"}) EXPECT_NE(canvas.FindText(name), nullptr) << name;
  // Selection: a 2-pixel frame in the highlight colour around May's cell.
  bool framed = false;
  for (const CanvasCall* c : canvas.CallsOf(CallKind::Frame))
    framed |= c->pen.width == 2 && c->pen.colour == options.colours.highlight && c->rect.left == layout.cells[4].left + 1;
  EXPECT_TRUE(framed);
  // Day colours of January: 4 January is a Sunday, 13 January is marked, 14 January is plain.
  SmallCalendarInput jan = SmallCalendarFor(2026, 1, false, options);
  jan.marks = marks[0];
  EXPECT_EQ(SmallCalendarDayColour(jan, 4), options.colours.highlight);
  EXPECT_EQ(SmallCalendarDayColour(jan, 13), options.colours.highlight);
  EXPECT_EQ(SmallCalendarDayColour(jan, 14), options.colours.windowText);
  EXPECT_EQ(SmallCalendarDayColour(jan, 3), options.colours.windowText);  // Saturday, not red
  jan.saturdayRed = true;
  EXPECT_EQ(SmallCalendarDayColour(jan, 3), options.colours.highlight);

  // A Jewish leap year paints thirteen month names, Adar II among them.
  RecordingCanvas jewish;
  YearView leap{5784, 0, true};
  PaintYear(jewish, LayOutYear(jewish, Size{900, 640}, leap), leap, options, {});
  EXPECT_NE(jewish.FindText(JewishMonthName(kAdarII, true)), nullptr);
  EXPECT_NE(jewish.FindText(JewishMonthName(kElul, true)), nullptr);
}

TEST_F(YearViewTest, SmallCalendarGrid) {
  struct Case {
    int firstWeekday, weekStart, column;
  } cases[] = {{0, 0, 0}, {4, 0, 4}, {0, 1, 6}, {1, 1, 0}, {6, 6, 0}, {5, 6, 6}};
  for (const Case& c : cases) EXPECT_EQ(SmallCalendarColumn(c.firstWeekday, c.weekStart), c.column);

  // May 2026 starts on a Friday: with Sunday first it needs all six rows.
  SmallCalendarInput in = SmallCalendarFor(2026, 5, false, ViewOptions{});
  ASSERT_EQ(in.days, 31);
  Rect bounds{10, 20, 150, 180};
  SmallCalendarLayout l = LayOutSmallCalendar(bounds, in);
  EXPECT_EQ(l.firstColumn, 5);
  EXPECT_EQ(l.day[1].top, l.day[2].top);
  EXPECT_LT(l.day[1].right, l.day[2].right);
  EXPECT_EQ(l.day[3].left, l.initials[0].left);  // Sunday the 3rd begins row two
  EXPECT_LE(l.day[31].bottom, bounds.bottom);      // the sixth row
  EXPECT_GT(l.day[31].top, l.day[24].top);
  EXPECT_EQ(SmallCalendarDayAt(l, Point{l.day[17].left + 1, l.day[17].top + 1}), 17);
  EXPECT_EQ(SmallCalendarDayAt(l, Point{l.initials[0].left + 1, l.day[1].top + 1}), 0);  // blank before day 1

  RecordingCanvas canvas;
  ViewOptions monday;
  monday.weekStart = 1;
  PaintSmallCalendar(canvas, bounds, SmallCalendarFor(2026, 5, false, monday));
  std::vector<std::string> texts = canvas.Texts();
  ASSERT_GE(texts.size(), 8u + 31u);
  EXPECT_EQ(texts[0], "May");
  EXPECT_EQ(texts[1], "M");  // the initials start on Monday
  EXPECT_EQ(texts[7], "S");
  EXPECT_EQ(texts[8], "1");
  // An invalid month draws nothing but its (empty) name.
  EXPECT_EQ(SmallCalendarFor(2026, 13, false, monday).days, 0);
  EXPECT_EQ(SmallCalendarFor(5785, kAdarII, true, monday).days, 0);
}

}  // namespace
}  // namespace kv
