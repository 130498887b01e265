#include <gtest/gtest.h>

#include "views/views_test_support.h"

#include "base/canvas_record.h"
#include "base/messages.h"
#include "calendar/jewish.h"
#include "overlays/day_assembly.h"
#include "resources/strings.h"
#include "sky/sun_moon.h"
#include "views/calendar_state.h"
#include "views/month_keys.h"
#include "views/month_layout.h"
#include "views/month_paint.h"
#include "views/overlay_tabs.h"

namespace kv {
namespace {

MonthLayout Layout(int year, int month, const ViewOptions& o, int width = 700, int height = 600) {
  RecordingCanvas canvas;
  MonthLayoutInput in;
  in.width = width, in.height = height, in.year = year, in.month = month, in.options = &o;
  in.fonts = MeasureMonthFonts(canvas);
  return LayOutMonth(in);
}

DayEntry Entry(std::string text, int32_t offset = 0, uint8_t gift = 0) {
  DayEntry e;
  e.text = std::move(text);
  e.offset = offset;
  e.gift = gift;
  e.source = 1;
  return e;
}

CellEntries Pointers(std::vector<DayEntry>& entries) {
  CellEntries out;
  for (DayEntry& e : entries) out.push_back(&e);
  return out;
}

TEST(MonthLayoutTest, GeometryFollowsTheCellFontAndTheMonthGrid) {
  ViewOptions o;
  struct Case {
    int year, month, weekStart;
    int firstColumn, rows;
  } cases[] = {
      {2026, 2, 0, 0, 4},  // 1 February 2026 is a Sunday: four full rows
      {2026, 8, 0, 6, 6},  // 1 August 2026 is a Saturday: the last column, six rows
      {2026, 8, 6, 0, 5},  // the same month with weeks from Saturday
      {2026, 3, 1, 6, 6},  // 1 March 2026 (Sunday) is the last column of a Monday week
      {2027, 2, 1, 0, 4},  // 1 February 2027 is a Monday
  };
  for (const Case& c : cases) {
    o.weekStart = c.weekStart;
    MonthLayout l = Layout(c.year, c.month, o, 703, 640);
    SCOPED_TRACE(std::to_string(c.year) + "-" + std::to_string(c.month));
    const int L = l.fonts.cellLine, E = l.fonts.eventLine;
    EXPECT_EQ(l.shown.firstColumn, c.firstColumn);
    EXPECT_EQ(l.rows, c.rows);
    EXPECT_EQ(l.cw, 703 / 7);
    EXPECT_EQ(l.gridWidth, 7 * l.cw);
    EXPECT_EQ(l.gridTop, l.titleBottom + L + 1);
    EXPECT_EQ(l.ch, (640 - l.gridTop) / c.rows);
    EXPECT_LE(l.gridBottom, 640);
    EXPECT_EQ(l.gridBottom, l.gridTop + c.rows * l.ch);
    int area = l.ch - L - 2;
    EXPECT_EQ(l.eventArea, area / E * E);
    EXPECT_EQ(l.numberBox, (Rect{2, 0, 2 * l.fonts.digitWidth + 2, L}));
    EXPECT_EQ(l.textRight, l.cw - 3);
    EXPECT_EQ(l.moon, (Point{l.cw - l.moonSize - 3, 2}));
    EXPECT_EQ(l.scrollStepX, l.cw / 2);
    EXPECT_EQ(l.scrollStepY, l.ch / 2);
  }
}

TEST(MonthLayoutTest, TheGridsClosingLinesStayInsideAPlaneTheCellsDivideEvenly) {
  ViewOptions o;
  for (int width : {700, 703}) {
    RecordingCanvas canvas;
    MonthLayoutInput in;
    in.width = width, in.year = 2026, in.month = 8, in.options = &o;
    in.fonts = MeasureMonthFonts(canvas);
    MonthLayout probe = LayOutMonth(in);
    in.height = probe.gridTop + 6 * 80;  // six rows of exactly 80 pixels
    MonthLayout l = LayOutMonth(in);
    PaintMonthPlane(canvas, l, o);
    size_t lines = 0;
    for (const CanvasCall* c : canvas.CallsOf(CallKind::Line)) {
      ++lines;
      for (const Point& p : c->points) {
        EXPECT_LT(p.x, width + 1) << width;  // a line's end point is exclusive
        EXPECT_LT(p.y, in.height + 1) << width;
        EXPECT_GE(std::min(c->points[0].x, c->points[1].x), 0);
      }
      EXPECT_LT(std::min(c->points[0].x, c->points[1].x), width) << width;
      EXPECT_LT(std::min(c->points[0].y, c->points[1].y), in.height) << width;
    }
    EXPECT_EQ(lines, 1u + 8u + 6u) << width;
  }
}

TEST(MonthLayoutTest, TheJewishDateLineTakesALineFromTheEventArea) {
  ViewOptions o;
  MonthLayout plain = Layout(2026, 5, o);
  o.jewishDateLine = true;
  MonthLayout withLine = Layout(2026, 5, o);
  const int L = plain.fonts.cellLine, E = plain.fonts.eventLine;
  EXPECT_EQ(withLine.eventArea, std::max(withLine.ch - 2 * L - 2, 0) / E * E);
  EXPECT_LT(withLine.eventArea, plain.eventArea);
  // A cell too small for any line has no event area at all.
  MonthLayout tiny = Layout(2026, 5, o, 700, withLine.gridTop + 6 * (L + 1));
  EXPECT_EQ(tiny.eventArea, 0);
}

TEST(MonthLayoutTest, CellsAndPointsAgree) {
  ViewOptions o;
  MonthLayout l = Layout(2026, 8, o);
  EXPECT_EQ(l.CellRect(1), (Rect{6 * l.cw + 1, l.gridTop + 1, 7 * l.cw, l.gridTop + l.ch}));
  for (int d = 1; d <= 31; ++d) {
    Rect r = l.CellRect(d);
    EXPECT_EQ(DayAtPoint(l, Point{r.left + 3, r.top + 3}), d);
  }
  EXPECT_EQ(DayAtPoint(l, Point{5, l.gridTop + 5}), 0);  // a blank cell before day 1
  EXPECT_EQ(DayAtPoint(l, Point{5, 5}), 0);              // the title band
  EXPECT_EQ(DayAtPoint(l, Point{l.gridWidth - 2, l.gridBottom - 2}), 0);  // after the last day
}

TEST(MonthLayoutTest, EnlargedCellsStayInsideTheWindow) {
  struct Case {
    Rect cell;
    Rect expected;
  } cases[] = {
      {{200, 200, 299, 299}, {150, 150, 349, 349}},  // room all round
      {{1, 100, 100, 199}, {0, 50, 199, 249}},       // first column: pushed right
      {{601, 100, 700, 199}, {501, 50, 700, 249}},   // last column: pushed left
      {{200, 30, 299, 129}, {200 - 50, 0, 349, 199}},  // near the top
      {{200, 451, 299, 550}, {150, 351, 349, 550}},  // last row: up to the grid bottom
  };
  for (const Case& c : cases) EXPECT_EQ(EnlargedCellRect(c.cell, 100, 100, 700, 550), c.expected);
  ViewOptions o;
  MonthLayout l = Layout(2026, 5, o);
  MonthLayout e = EnlargedCellLayout(l);
  EXPECT_EQ(e.textRight, l.textRight + l.cw);
  EXPECT_EQ(e.eventArea, l.eventArea + l.ch);
  EXPECT_EQ(e.moon.x, l.moon.x + l.cw);
}

TEST(MonthLayoutTest, MinimumSizeGrowsWithTheFontsAndTheJewishLine) {
  ViewOptions o;
  RecordingCanvas canvas;
  MonthFontMeasures f = MeasureMonthFonts(canvas);
  Size plain = MonthMinimumSize(f, o);
  o.jewishDateLine = true;
  Size jewish = MonthMinimumSize(f, o);
  EXPECT_GT(jewish.cy, plain.cy);
  MonthFontMeasures big = f;
  big.eventLine *= 2, big.eventCharWidth *= 2;
  EXPECT_GT(MonthMinimumSize(big, o).cx, jewish.cx);
  // At the minimum size every cell still holds its number and two event lines.
  MonthLayout l = Layout(2026, 8, o, plain.cx, jewish.cy);
  EXPECT_GE(l.eventArea, 2 * f.eventLine);
}

TEST(MonthLayoutTest, TitlesAndWeekdays) {
  DisplayedMonth may = DescribeMonth(2026, 5, false, 0);
  EXPECT_EQ(MonthTitleText(may), "M A Y");
  EXPECT_EQ(YearLabelText(may, true), "2026");
  EXPECT_EQ(YearLabelText(may, false), "May 2026");
  std::array<std::string, 7> row = WeekdayRow(1);
  EXPECT_EQ(row[0], "Monday");
  EXPECT_EQ(row[6], "Sunday");
  DisplayedMonth nisan = DescribeMonth(5786, kNisan, true, 0);
  EXPECT_EQ(nisan.length, 30);
  EXPECT_EQ(GregorianDateOf(nisan, 1), JewishToGregorian(JewishDate{5786, kNisan, 1}));
}

TEST(MonthLayoutTest, OtherCalendarLinesStepThroughTheJewishMonths) {
  for (int month : {1, 3, 9, 10}) {
    DisplayedMonth shown = DescribeMonth(2026, month, false, 0);
    std::array<std::string, 32> lines = OtherCalendarLines(shown);
    for (int d = 1; d <= shown.length; ++d) {
      JewishDate j = GregorianToJewish(month, d, 2026);
      EXPECT_EQ(lines[static_cast<size_t>(d)],
                std::to_string(j.day) + " " + JewishMonthName(j.month, IsJewishLeapYear(j.year)))
          << "2026-" << month << "-" << d;
    }
  }
  DisplayedMonth tevet = DescribeMonth(5787, kTevet, true, 0);
  std::array<std::string, 32> g = OtherCalendarLines(tevet);
  DateStamp first = GregorianDateOf(tevet, 1);
  EXPECT_EQ(g[1], std::to_string(first.day) + " " + std::string(StringText(1074 + first.month - 1)));
}

TEST(MonthPaintTest, BlankCellsBeforeAndAfterTheMonthTakeTheThemeColour) {
  ViewOptions o;
  o.colours.theme = MakeColour(10, 20, 30);
  struct Case {
    int month, blanks;
  } cases[] = {{8, 6 + 5}, {2, 0}, {5, 5 + 6}};  // August 2026: 6 before, 5 after; May: Friday start
  for (const Case& c : cases) {
    MonthLayout l = Layout(2026, c.month, o);
    RecordingCanvas canvas;
    PaintMonthPlane(canvas, l, o);
    int themed = 0;
    for (const CanvasCall* call : canvas.CallsOf(CallKind::Fill))
      if (call->colour == o.colours.theme) {
        ++themed;
        EXPECT_EQ(call->rect.Width(), l.cw);
        EXPECT_EQ(call->rect.Height(), l.ch);
      }
    EXPECT_EQ(themed, c.blanks) << c.month;
    // Grid: one line under the weekdays, eight columns, R + 1 rows (the first is the same line).
    EXPECT_EQ(canvas.Count(CallKind::Line), static_cast<size_t>(1 + 8 + l.rows));
    for (const CanvasCall* line : canvas.CallsOf(CallKind::Line)) EXPECT_EQ(line->pen.colour, o.colours.grid);
    EXPECT_NE(canvas.FindText("Sunday"), nullptr);
  }
}

class DayCellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    layout_ = Layout(2026, 5, options_, 1050, 1000);
    cell_.day = 12, cell_.weekday = 2, cell_.date = {2026, 5, 12};
  }
  DayCellPicture Paint(std::vector<DayEntry>& entries) {
    return PaintDayCell(canvas_, layout_, options_, cell_, Pointers(entries));
  }
  ViewOptions options_;
  MonthLayout layout_;
  DayCellInput cell_;
  RecordingCanvas canvas_;
};

TEST_F(DayCellTest, OffsetsPutTheirPrefixInFrontAndGiftsFollow) {
  std::vector<DayEntry> entries{Entry("Anna's Birthday", -3), Entry("Tom", 2), Entry("Sam & Jo", 0, 1)};
  DayCellPicture pic = Paint(entries);
  ASSERT_EQ(pic.lines.size(), 4u);
  EXPECT_EQ(pic.lines[0].text, "3 days before Anna's Birthday");
  EXPECT_EQ(pic.lines[1].text, "2 days after Tom");
  EXPECT_EQ(pic.lines[2].text, "Sam & Jo");
  EXPECT_EQ(pic.lines[3].text, "Paper, Clocks");
  EXPECT_FALSE(pic.overflow);
  // Bottom-aligned: the last line ends at the bottom of the event area.
  EXPECT_EQ(pic.lines.back().rect.bottom, layout_.ch - 1);
  EXPECT_EQ(entries[0].top, pic.lines[0].rect.top);
  EXPECT_NE(canvas_.FindText("3 days before"), nullptr);
  EXPECT_EQ(canvas_.Count(CallKind::Frame), 0u);  // not selected
}

TEST_F(DayCellTest, ACrowdedDayShowsTheOverflowSquareAndKeepsOldRectangles) {
  std::vector<DayEntry> entries;
  for (int i = 0; i < 20; ++i) entries.push_back(Entry("Event number " + std::to_string(i)));
  for (DayEntry& e : entries) e.left = -7, e.top = -7, e.right = -7, e.bottom = -7;
  DayCellPicture pic = Paint(entries);
  EXPECT_TRUE(pic.overflow);
  int shown = layout_.eventArea / layout_.fonts.eventLine;
  ASSERT_EQ(pic.lines.size(), static_cast<size_t>(shown));
  EXPECT_EQ(entries[static_cast<size_t>(shown - 1)].bottom, layout_.ch - 1);
  for (size_t i = static_cast<size_t>(shown); i < entries.size(); ++i) EXPECT_EQ(entries[i].top, -7) << i;
  // The square: side 2L/3 in the bottom-right corner, in the text colour.
  int side = 2 * layout_.fonts.cellLine / 3;
  Rect square{layout_.cw - 1 - side, layout_.ch - 1 - side, layout_.cw - 2, layout_.ch - 2};
  bool found = false;
  for (const CanvasCall* f : canvas_.CallsOf(CallKind::Fill)) found |= f->rect == square;
  EXPECT_TRUE(found);
  // A point on an entry that did not fit finds nothing; one on a drawn line finds its entry.
  EXPECT_EQ(EntryAtPoint(Pointers(entries), Point{5, 5}), nullptr);
  EXPECT_EQ(EntryAtPoint(Pointers(entries), Point{5, entries[0].top + 1}), &entries[0]);
  entries[0].source = kTimeChangeSource;
  EXPECT_EQ(EntryAtPoint(Pointers(entries), Point{5, entries[0].top + 1}), nullptr);
}

TEST_F(DayCellTest, ExactlyFullIsNoOverflow) {
  std::vector<DayEntry> entries;
  for (int i = 0; i < layout_.eventArea / layout_.fonts.eventLine; ++i) entries.push_back(Entry("x"));
  EXPECT_FALSE(Paint(entries).overflow);
  entries.push_back(Entry("y"));
  EXPECT_TRUE(Paint(entries).overflow);
}

TEST_F(DayCellTest, NumberColourPatternsAndSelection) {
  struct Case {
    int weekday;
    bool sundayRed, saturdayRed, mark, red;
  } cases[] = {
      {0, true, false, false, true},  {0, false, false, false, false}, {6, false, true, false, true},
      {6, true, false, false, false}, {3, false, false, true, true},   {3, true, true, false, false},
  };
  std::vector<DayEntry> none;
  for (const Case& c : cases) {
    options_.sundayRed = c.sundayRed, options_.saturdayRed = c.saturdayRed;
    cell_.weekday = c.weekday, cell_.highlightMark = c.mark;
    EXPECT_EQ(Paint(none).numberColour, c.red ? options_.colours.highlight : options_.colours.windowText);
  }
  std::vector<DayEntry> patterned{Entry("a"), Entry("b"), Entry("c")};
  patterned[0].accentFlags = patterned[1].accentFlags = patterned[2].accentFlags = 1u << 6;
  patterned[0].pattern = 1, patterned[0].patternColour = 0x0000FF;  // red, as Windows stores it
  patterned[1].pattern = 1, patterned[1].patternColour = 0x00FF00;  // a second solid one is not drawn
  patterned[2].pattern = 4, patterned[2].patternColour = 0xFF0000;
  cell_.selected = true;
  canvas_.Clear();
  Paint(patterned);
  int solid = 0;
  for (const CanvasCall* f : canvas_.CallsOf(CallKind::Fill)) solid += f->colour == MakeColour(255, 0, 0);
  EXPECT_EQ(solid, 1);
  for (const CanvasCall* f : canvas_.CallsOf(CallKind::Fill)) EXPECT_NE(f->colour, MakeColour(0, 255, 0));
  ASSERT_EQ(canvas_.Count(CallKind::Hatch), 1u);
  EXPECT_EQ(canvas_.CallsOf(CallKind::Hatch)[0]->hatch, Hatch::ForwardDiagonal);
  EXPECT_EQ(canvas_.CallsOf(CallKind::Hatch)[0]->colour, MakeColour(0, 0, 255));
  ASSERT_EQ(canvas_.Count(CallKind::Frame), 1u);
  EXPECT_EQ(canvas_.CallsOf(CallKind::Frame)[0]->pen, (Pen{options_.colours.highlight, 2}));
}

TEST_F(DayCellTest, MoonPhasesNeedAPointOfReference) {
  std::vector<DayEntry> none;
  options_.moonPhases = 1;
  cell_.moonPhase = 2;
  Paint(none);
  EXPECT_EQ(canvas_.Count(CallKind::Pie), 0u);
  options_.hasReference = true;
  canvas_.Clear();
  Paint(none);
  ASSERT_EQ(canvas_.Count(CallKind::Pie), 1u);
  const CanvasCall* pie = canvas_.CallsOf(CallKind::Pie)[0];
  EXPECT_EQ(pie->rect.left, layout_.moon.x);
  EXPECT_LT(pie->points[0].y, pie->points[1].y);  // top to bottom: the left half
  cell_.moonPhase = 1;
  canvas_.Clear();
  Paint(none);
  EXPECT_EQ(canvas_.Count(CallKind::Pie), 0u);
  EXPECT_EQ(canvas_.CallsOf(CallKind::Ellipse)[0]->brush, SolidBrush(0));
  options_.moonPhases = 2;
  canvas_.Clear();
  Paint(none);
  ASSERT_EQ(canvas_.Count(CallKind::Icon), 1u);
  EXPECT_EQ(canvas_.CallsOf(CallKind::Icon)[0]->icon, kMoonIconFirst);
}

TEST_F(DayCellTest, HavdalahAtAPolarSummerAsksForTheRabbi) {
  SkySite site;
  site.latitude = 78.2, site.longitude = 15.6, site.bias = -60;
  SetSkySite(site);
  options_.hasReference = true;
  options_.havdalah = true;
  options_.candleLighting = true;
  std::vector<DayEntry> none;
  cell_.weekday = 6, cell_.date = {2026, 6, 20};
  DayCellPicture pic = Paint(none);
  EXPECT_EQ(pic.timeText, "Please consult your Rabbi.");
  ASSERT_EQ(canvas_.Count(CallKind::Icon), 1u);
  EXPECT_EQ(canvas_.CallsOf(CallKind::Icon)[0]->icon, kHavdalahIcon);
  // In Oslo the same Friday has a time, drawn after the candle icon.
  site.latitude = 59.9, site.longitude = 10.75;
  SetSkySite(site);
  cell_.weekday = 5, cell_.date = {2026, 6, 19};
  canvas_.Clear();
  pic = Paint(none);
  EXPECT_NE(pic.timeText, "Please consult your Rabbi.");
  EXPECT_FALSE(pic.timeText.empty());
  EXPECT_EQ(canvas_.CallsOf(CallKind::Icon)[0]->icon, kCandleLightingIcon);
  // Without a point of reference nothing is shown.
  options_.hasReference = false;
  EXPECT_TRUE(Paint(none).timeText.empty());
  SetSkySite(SkySite{});
}

TEST(MonthPaintTest, CellsTakeTheirEntriesAndMarksFromTheAssembly) {
  ResetAssembly();
  AssemblyState& s = Assembly();
  s.pool = {Entry("first"), Entry("second"), Entry("looping")};
  s.pool[0].next = 2, s.pool[1].next = 0;
  s.pool[2].next = 3;  // damaged: points at itself
  s.first[4] = 1, s.first[9] = 3, s.first[12] = 40;  // 40: beyond the pool
  s.flags[4] = kDayHasNote;
  s.slots[kSlotCurrent].marks[4] = 1;
  s.moon[4].phase = 3;
  CellEntries four = MutableDayEntries(4);
  ASSERT_EQ(four.size(), 2u);
  EXPECT_EQ(four[1]->text, "second");
  EXPECT_LE(MutableDayEntries(9).size(), s.pool.size());
  EXPECT_TRUE(MutableDayEntries(12).empty());
  EXPECT_TRUE(MutableDayEntries(0).empty());
  ViewOptions o;
  o.jewishDateLine = true;
  MonthLayout l = Layout(2026, 8, o);
  std::array<std::string, 32> other = OtherCalendarLines(l.shown);
  DayCellInput c = DayCellFromAssembly(l, 4, 4, other);
  EXPECT_TRUE(c.selected && c.noteMark && c.highlightMark);
  EXPECT_EQ(c.moonPhase, 3);
  EXPECT_EQ(c.weekday, 2);  // 4 August 2026 is a Tuesday
  EXPECT_EQ(c.date, (DateStamp{2026, 8, 4}));
  EXPECT_EQ(c.otherDate, other[4]);
  // With the date line, the entries end one cell line higher and the line sits at the bottom.
  RecordingCanvas canvas;
  std::vector<DayEntry> one{Entry("Lunch")};
  DayCellPicture pic = PaintDayCell(canvas, l, o, c, Pointers(one));
  ASSERT_EQ(pic.lines.size(), 1u);
  EXPECT_EQ(pic.lines[0].rect.bottom, l.ch - 1 - l.fonts.cellLine);
  const CanvasCall* date = canvas.FindText(other[4]);
  ASSERT_NE(date, nullptr);
  EXPECT_EQ(date->rect.top, l.ch - 1 - l.fonts.cellLine);
  ResetAssembly();
}

class MonthKeysTest : public FreshCalendarTest {};

TEST_F(MonthKeysTest, TheKeyboardTable) {
  struct Case {
    DateStamp from;
    MonthKey key;
    MonthKeyResult result;
    DateStamp to;
  } cases[] = {
      {{2026, 3, 1}, MonthKey::Left, MonthKeyResult::MonthChanged, {2026, 2, 28}},
      {{2024, 3, 1}, MonthKey::Left, MonthKeyResult::MonthChanged, {2024, 2, 29}},
      {{2026, 1, 31}, MonthKey::Right, MonthKeyResult::MonthChanged, {2026, 2, 1}},
      {{2026, 12, 31}, MonthKey::Right, MonthKeyResult::MonthChanged, {2027, 1, 1}},
      {{2026, 1, 1}, MonthKey::Left, MonthKeyResult::MonthChanged, {2025, 12, 31}},
      {{2026, 1, 10}, MonthKey::Right, MonthKeyResult::DayChanged, {2026, 1, 11}},
      {{2026, 1, 5}, MonthKey::Up, MonthKeyResult::None, {2026, 1, 5}},
      {{2026, 1, 8}, MonthKey::Up, MonthKeyResult::DayChanged, {2026, 1, 1}},
      {{2026, 9, 27}, MonthKey::Down, MonthKeyResult::None, {2026, 9, 27}},
      {{2026, 9, 23}, MonthKey::Down, MonthKeyResult::DayChanged, {2026, 9, 30}},
      {{2026, 5, 20}, MonthKey::PageDown, MonthKeyResult::MonthChanged, {2026, 6, 1}},
      {{2026, 5, 20}, MonthKey::PageUp, MonthKeyResult::MonthChanged, {2026, 4, 1}},
      {{2026, 5, 20}, MonthKey::Home, MonthKeyResult::DayChanged, {2026, 5, 1}},
      {{2026, 5, 20}, MonthKey::End, MonthKeyResult::DayChanged, {2026, 5, 31}},
      {{2026, 5, 31}, MonthKey::End, MonthKeyResult::None, {2026, 5, 31}},
      {{2026, 5, 20}, MonthKey::Space, MonthKeyResult::DayView, {2026, 5, 20}},
      {{1583, 1, 1}, MonthKey::Left, MonthKeyResult::None, {1583, 1, 1}},
      {{1583, 1, 9}, MonthKey::PageUp, MonthKeyResult::None, {1583, 1, 9}},
  };
  for (const Case& c : cases) {
    SelectGregorianDate(c.from);
    EXPECT_EQ(ApplyMonthKey(c.key), c.result) << c.from.year << "-" << c.from.month << "-" << c.from.day;
    EXPECT_EQ(Calendar().date, c.to) << c.from.year << "-" << c.from.month << "-" << c.from.day;
  }
  EXPECT_EQ(messages_.Shown().size(), 2u);  // the two refusals at 1583
}

TEST_F(MonthKeysTest, JewishPrimaryStepsByJewishMonths) {
  ViewOptions o;
  o.jewishPrimary = true;
  SetViewOptions(o);
  SelectGregorianDate(JewishToGregorian(JewishDate{5786, kNisan, 1}));
  EXPECT_EQ(ApplyMonthKey(MonthKey::Left), MonthKeyResult::MonthChanged);
  EXPECT_EQ(Calendar().month, kAdar);  // 5786 is not a leap year
  EXPECT_EQ(Calendar().day, 29);
  EXPECT_EQ(ApplyMonthKey(MonthKey::Right), MonthKeyResult::MonthChanged);
  EXPECT_EQ(Calendar().month, kNisan);
  EXPECT_EQ(Calendar().day, 1);
}

TEST(OverlayTabsTest, TabsNeedTwoOverlaysAndFollowTheirOrder) {
  EXPECT_TRUE(OverlayTabLabels({}, false).empty());
  EXPECT_TRUE(OverlayTabLabels({"C:\\Data\\Holidays (USA).kov"}, false).empty());
  std::vector<std::string> two{"C:\\Data\\Holidays (USA).kov", "C:\\Data\\Birthdays.kov"};
  EXPECT_TRUE(OverlayTabLabels(two, true).empty());
  EXPECT_EQ(OverlayTabLabels(two, false), (std::vector<std::string>{"All", "Holidays (USA)", "Birthdays"}));
  EXPECT_EQ(TabOfOverlayName(two, "Birthdays"), 2);
  EXPECT_EQ(TabOfOverlayName(two, "Gone"), 0);
  EXPECT_EQ(TabOfOverlayName(two, ""), 0);
}

}  // namespace
}  // namespace kv
