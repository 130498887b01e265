#include "personal/schedule_window.h"

#include <gtest/gtest.h>

#include "base/canvas_record.h"
#include "calendar/date_format.h"
#include "personal/personal_test_support.h"

namespace kv {
namespace {

DateStamp Day(int year, int month, int day) {
  DateStamp d;
  d.year = year;
  d.month = static_cast<uint16_t>(month);
  d.day = static_cast<uint16_t>(day);
  return d;
}

ScheduleGridSettings Settings(int increment, int initialHour = 8, int start = 6, int end = 21) {
  return {increment, initialHour, start, end};
}

SchedItem Item(int start, int end, const std::string& title = "Item", uint16_t noteId = 0) {
  SchedItem it;
  it.id = 1;
  it.year = 2026, it.month = 12, it.day = 7;
  it.record.start = static_cast<int16_t>(start);
  it.record.end = static_cast<int16_t>(end);
  it.record.title = title;
  it.record.noteId = noteId;
  return it;
}

// ---- settings and geometry -------------------------------------------------------------------

TEST(ScheduleGridSettingsTest, DamagedValuesBecomeUsable) {
  struct Case {
    ScheduleGridSettings in, out;
  } cases[] = {
      {{15, 8, 6, 21}, {15, 8, 6, 21}},
      {{0, 8, 6, 21}, {15, 8, 6, 21}},    // no increment at all
      {{7, 8, 6, 21}, {15, 8, 6, 21}},    // not one of the six
      {{60, 24, 6, 21}, {60, 8, 6, 21}},  // hours out of the day
      {{5, 8, -1, 99}, {5, 8, 6, 21}},
      {{30, 0, 18, 9}, {30, 0, 18, 18}},  // an end before the start: no bar
  };
  for (const Case& c : cases) EXPECT_EQ(SaneGridSettings(c.in), c.out) << c.in.increment << " " << c.in.initialHour;
}

TEST(ScheduleGridTest, RowsFollowTheIncrementAndTheInitialHourIsAtTheTop) {
  RecordingCanvas canvas;
  struct Case {
    int increment, rows, firstRow;
  } cases[] = {{5, 288, 96}, {10, 144, 48}, {15, 96, 32}, {20, 72, 24}, {30, 48, 16}, {60, 24, 8}};
  for (const Case& c : cases) {
    ScheduleGrid g = LayOutScheduleGrid(canvas, Settings(c.increment), RegionalSettings{}, 400, 200);
    EXPECT_EQ(g.rows, c.rows) << c.increment;
    EXPECT_EQ(g.firstRow, c.firstRow) << c.increment;
    EXPECT_EQ(g.FirstMinute(), 8 * 60);
    EXPECT_EQ(g.summaryStartRow, 6 * 60 / c.increment);
    EXPECT_EQ(g.summaryEndRow, 21 * 60 / c.increment);
  }
}

TEST(ScheduleGridTest, LateInitialHourStopsWhereTheDayEnds) {
  RecordingCanvas canvas;
  ScheduleGrid g = LayOutScheduleGrid(canvas, Settings(60, 23), RegionalSettings{}, 400, 0);
  int height = g.rowHeight * 10;
  g = LayOutScheduleGrid(canvas, Settings(60, 23), RegionalSettings{}, 400, height);
  EXPECT_EQ(g.VisibleRows(), 10);
  EXPECT_EQ(g.firstRow, 14);  // the last ten hours fill the pane
  // A pane taller than the day shows it from 0:00.
  g = LayOutScheduleGrid(canvas, Settings(60, 23), RegionalSettings{}, 400, g.rowHeight * 40);
  EXPECT_EQ(g.firstRow, 0);
  EXPECT_FALSE(ScrollScheduleGrid(g, 5));
}

TEST(ScheduleGridTest, LabelsAreSizedForTheWidestTimeWithTheLongerDesignator) {
  RecordingCanvas canvas;
  RegionalSettings regional;
  regional.morning = "vorm.";
  regional.afternoon = "nachm.";
  ScheduleGrid g = LayOutScheduleGrid(canvas, Settings(15), regional, 400, 200);
  EXPECT_GE(g.labelWidth, canvas.TextWidth(kScheduleHourFont, "24:00 nachm."));
  for (int minute : {0, 11 * 60 + 55, 23 * 60 + 45}) {
    regional.clock24 = false;
    EXPECT_LT(canvas.TextWidth(kScheduleHourFont, FormatTimeOfDay(minute, regional)), g.labelWidth);
  }
  EXPECT_GT(g.itemsLeft, g.barLeft + g.barWidth);
}

// ---- picking -------------------------------------------------------------------------------

class PickTest : public testing::Test {
 protected:
  ScheduleGrid Grid(int increment, int firstRow) {
    ScheduleGrid g = LayOutScheduleGrid(canvas, Settings(increment, 0), RegionalSettings{}, 400, 1000);
    g.rowHeight = 20;  // round figures for the table
    g.firstRow = firstRow;
    return g;
  }
  RecordingCanvas canvas;
};

TEST_F(PickTest, OffsetTimesIncrementOverRowHeightTruncatedToFiveMinutes) {
  struct Case {
    int increment, firstRow, y;
    PickedTime picked;
  } cases[] = {
      {15, 32, 0, {0, 480}},        // the top of the pane: the first shown minute
      {15, 32, 19, {0, 490}},       // 19 x 15 / 20 = 14: 8:10
      {15, 32, 20, {0, 495}},       // the next row
      {60, 8, 10, {0, 510}},        // half an hour row: 8:30
      {60, 8, 7, {0, 500}},         // 21 minutes: 8:21, truncated to 8:20
      {30, 0, -1, {-1, 1435}},      // above midnight: the day before, 23:55
      {30, 0, -41, {-1, 1375}},     // 61.5 minutes before, truncated downwards: 22:55
      {60, 0, 24 * 20, {1, 0}},     // below the last row: the next day at 0:00
      {60, 0, 25 * 20 + 5, {1, 75}},
      {5, 0, -100000, {-1, 0}},     // held far away: one day only
      {5, 0, 100000, {1, 1435}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PickTime(Grid(c.increment, c.firstRow), c.y), c.picked) << c.increment << " " << c.firstRow << " " << c.y;
    EXPECT_EQ(PickTime(Grid(c.increment, c.firstRow), c.y).minute % 5, 0);
  }
}

TEST(DragRangeTest, EarlierEndStartsLaterEndEnds) {
  EXPECT_EQ(DragRange(600, 660), (MinuteRange{600, 660}));
  EXPECT_EQ(DragRange(660, 600), (MinuteRange{600, 660}));
  EXPECT_EQ(DragRange(1400, 1500), (MinuteRange{1400, 1440}));  // kept within the day
  EXPECT_EQ(DragRange(30, -90), (MinuteRange{0, 30}));
  EXPECT_TRUE(DragRange(600, 600).Empty());
}

// ---- items ----------------------------------------------------------------------------------

class ItemLayoutTest : public testing::Test {
 protected:
  void SetUp() override {
    grid = LayOutScheduleGrid(canvas, Settings(30, 0), RegionalSettings{}, 500, 2000);
  }
  std::vector<ScheduleItemBox> Lay(std::vector<SchedItem> items) {
    list.items = std::move(items);
    return LayOutScheduleItems(grid, list);
  }
  RecordingCanvas canvas;
  ScheduleGrid grid;
  SchedDayList list;
};

TEST_F(ItemLayoutTest, AnItemSpansTheRowsItsTimesTouch) {
  auto boxes = Lay({Item(600, 660), Item(700, 710), Item(800, 800)});
  ASSERT_EQ(boxes.size(), 3u);
  int h = grid.rowHeight;
  EXPECT_EQ(boxes[0].row, 20);
  EXPECT_EQ(boxes[0].rect.top, 20 * h + 1);
  EXPECT_EQ(boxes[0].rect.bottom, 22 * h);
  EXPECT_EQ(boxes[1].rect.bottom - boxes[1].rect.top, h - 1);  // inside one row
  EXPECT_EQ(boxes[2].rect.bottom - boxes[2].rect.top, h - 1);  // no duration: still one row
  EXPECT_EQ(boxes[0].rect.left, grid.itemsLeft);              // nothing beside them: full width
  EXPECT_EQ(boxes[1].rect.right, boxes[0].rect.right);
}

TEST_F(ItemLayoutTest, OverlappingItemsShareTheWidthAndTheNextGroupHasItAllAgain) {
  auto boxes = Lay({Item(540, 660), Item(570, 600), Item(600, 630), Item(720, 780)});
  ASSERT_EQ(boxes.size(), 4u);
  EXPECT_EQ(boxes[0].rect.left, grid.itemsLeft);
  EXPECT_GT(boxes[1].rect.left, boxes[0].rect.right - 1);       // beside the first
  EXPECT_EQ(boxes[2].rect.left, boxes[1].rect.left);             // 10:00 reuses the freed column
  EXPECT_EQ(boxes[3].rect.left, grid.itemsLeft);                 // 12:00 stands alone
  EXPECT_GT(boxes[3].rect.Width(), 2 * boxes[0].rect.Width() - 4);
  for (size_t i = 0; i < boxes.size(); ++i)
    for (size_t j = i + 1; j < boxes.size(); ++j)
      EXPECT_TRUE(Intersect(boxes[i].rect, boxes[j].rect).Empty()) << i << " " << j;
}

TEST_F(ItemLayoutTest, ItemsOfTheNeighbouringDaysShowOnlyWhereTheyReachIn) {
  auto boxes = Lay({Item(-120, 60, "from yesterday"), Item(-120, 0, "ended at midnight"),
                    Item(1380, 1500, "into tomorrow"), Item(1440, 1500, "tomorrow"), Item(30000, -30000, "damaged")});
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].index, 0);
  EXPECT_TRUE(boxes[0].fromDayBefore);
  EXPECT_EQ(boxes[0].row, 0);
  EXPECT_EQ(boxes[1].index, 2);
  EXPECT_TRUE(boxes[1].intoDayAfter);
  EXPECT_EQ(boxes[1].rect.bottom, grid.RowTop(grid.rows));  // cut at the day's end
  EXPECT_EQ(ScheduleItemAt(boxes, {boxes[1].rect.left + 1, boxes[1].rect.top + 1}), 2);
  EXPECT_EQ(ScheduleItemAt(boxes, {grid.itemsLeft - 1, boxes[1].rect.top + 1}), -1);
}

// ---- painting --------------------------------------------------------------------------------

TEST(SchedulePaintTest, RowsInViewItemsNotesAndTheSelection) {
  RecordingCanvas canvas;
  ScheduleGrid g = LayOutScheduleGrid(canvas, Settings(30, 9), RegionalSettings{}, 400, 0);
  g = LayOutScheduleGrid(canvas, Settings(30, 9), RegionalSettings{}, 400, g.rowHeight * 6);
  SchedDayList list;
  list.items = {Item(570, 630, "Dentist", 4), Item(660, 690, "Call Anna")};
  auto boxes = LayOutScheduleItems(g, list);
  ScheduleColours colours;
  ScheduleChoice choice;
  choice.selected = 1;
  PaintScheduleGrid(canvas, g, list, boxes, choice, colours, RegionalSettings{});

  std::vector<std::string> texts = canvas.Texts();
  EXPECT_EQ(texts.front(), "9:00 AM");  // the first row in view is the initial hour
  EXPECT_EQ(canvas.FindText("8:30 AM"), nullptr);
  EXPECT_EQ(canvas.FindText("1:00 PM"), nullptr);  // far below the pane
  const CanvasCall* dentist = canvas.FindText("Dentist");
  ASSERT_NE(dentist, nullptr);
  EXPECT_NE(dentist->lines.front().text.find("9:30 AM - 10:30 AM"), std::string::npos);
  EXPECT_EQ(dentist->colour, colours.text);
  const CanvasCall* anna = canvas.FindText("Call Anna");
  ASSERT_NE(anna, nullptr);
  EXPECT_EQ(anna->colour, colours.selectionText);  // the selected item
  // One note symbol (its folded corner), for the item with a note, inside its box.
  auto polygons = canvas.CallsOf(CallKind::Polygon);
  ASSERT_EQ(polygons.size(), 1u);
  EXPECT_TRUE(boxes[0].rect.Contains(polygons[0]->points[0]));
  EXPECT_LE(dentist->rect.right, polygons[0]->points[0].x);
  // The summary bar fills the rows of the bar hours in view: all six here.
  int bars = 0;
  for (const CanvasCall* f : canvas.CallsOf(CallKind::Fill))
    if (f->colour == colours.summary && f->rect.left == g.barLeft) ++bars;
  EXPECT_EQ(bars, 6);
}

TEST(SchedulePaintTest, PickedRangeIsShadedBetweenItsTimes) {
  RecordingCanvas canvas;
  ScheduleGrid g = LayOutScheduleGrid(canvas, Settings(15, 0), RegionalSettings{}, 300, 400);
  ScheduleColours colours;
  ScheduleChoice choice;
  choice.pickStart = 20;
  choice.pickEnd = 50;
  PaintScheduleGrid(canvas, g, SchedDayList{}, {}, choice, colours, RegionalSettings{});
  const CanvasCall* picked = nullptr;
  for (const CanvasCall* f : canvas.CallsOf(CallKind::Fill))
    if (f->colour == colours.picked) picked = f;
  ASSERT_NE(picked, nullptr);
  EXPECT_EQ(picked->rect.top, 20 * g.rowHeight / 15);
  EXPECT_EQ(picked->rect.bottom, 50 * g.rowHeight / 15);
}

// ---- the window's state over a real day list --------------------------------------------------

class ScheduleModelTest : public test::PersonalTest {
 protected:
  void SetUp() override {
    PersonalTest::SetUp();
    ScheduleWindowHooks hooks;
    hooks.selectedDate = [this] { return selected; };
    hooks.openItem = [this](const DateStamp& d, uint16_t id) { opened.push_back({d, id}); };
    hooks.newItem = [this](const DateStamp& d, int s, int e) { created.push_back({d, s, e}); };
    hooks.settings = [this] { return settings; };
    SetScheduleWindowHooks(hooks);
  }
  void TearDown() override {
    SetScheduleWindowHooks({});
    PersonalTest::TearDown();
  }
  void Start() {
    ASSERT_TRUE(model.FollowSelectedDate());
    model.LayOut(canvas, RegionalSettings{}, 400, 0);
    model.LayOut(canvas, RegionalSettings{}, 400, model.Grid().rowHeight * 8);
  }
  // A double click: a press and release there, then Open.
  bool OpenAt(Point at) {
    model.Press(at);
    model.Release();
    return model.Open();
  }
  int RowY(int minute) const { return model.Grid().RowTop(minute / model.Grid().increment) + 2; }
  Point AtItem(int index) const {
    for (const ScheduleItemBox& b : model.Boxes())
      if (b.index == index) return {b.rect.left + 2, b.rect.top + 2};
    return {-1, -1};
  }

  struct Opened {
    DateStamp day;
    uint16_t id;
  };
  struct Created {
    DateStamp day;
    int start, end;
  };
  DateStamp selected = Day(2026, 12, 7);
  ScheduleGridSettings settings = Settings(30, 8);
  std::vector<Opened> opened;
  std::vector<Created> created;
  RecordingCanvas canvas;
  ScheduleWindowModel model;
};

TEST_F(ScheduleModelTest, FollowsTheSelectedDateWithTheDaysItems) {
  PutItem(2026, 12, 7, 600, 660, "Dentist");
  PutItem(2026, 12, 6, 1380, 1500, "Night train");  // reaches into the 7th
  PutItem(2026, 12, 8, 540, 600, "Tomorrow");
  Start();
  EXPECT_EQ(model.List().items.size(), 3u);
  ASSERT_EQ(model.Boxes().size(), 2u);
  EXPECT_EQ(model.Grid().firstRow, 16);
  model.Scroll(kSchedThumb, 0);
  selected = Day(2026, 12, 8);
  ASSERT_TRUE(model.FollowSelectedDate());
  EXPECT_EQ(model.Day().day, 8);
  EXPECT_EQ(model.Grid().firstRow, 16);  // a new day starts at the initial hour again
  ASSERT_EQ(model.Boxes().size(), 1u);
  EXPECT_EQ(model.List().items[static_cast<size_t>(model.Boxes()[0].index)].record.title, "Tomorrow");
  selected = Day(2026, 2, 30);
  EXPECT_FALSE(model.FollowSelectedDate());  // an impossible date changes nothing
  EXPECT_EQ(model.Day().day, 8);
}

TEST_F(ScheduleModelTest, ASearchHitSelectsItsItemAndScrollsItIntoView) {
  uint16_t late = PutItem(2026, 12, 7, 20 * 60, 21 * 60, "Concert");
  uint16_t night = PutItem(2026, 12, 6, 1380, 1500, "Night train");  // stored on the 6th
  Start();
  EXPECT_FALSE(model.SelectStoredItem(night));  // shown here, but not the 7th's item of that id
  EXPECT_FALSE(model.SelectStoredItem(999));
  EXPECT_EQ(model.SelectedItem(), nullptr);
  ASSERT_TRUE(model.SelectStoredItem(late));
  ASSERT_NE(model.SelectedItem(), nullptr);
  EXPECT_EQ(model.SelectedItem()->record.title, "Concert");
  EXPECT_TRUE(model.TakeNoteNews());
  int row = 20 * 60 / model.Grid().increment;
  EXPECT_LE(model.Grid().firstRow, row);
  EXPECT_GT(model.Grid().firstRow + model.Grid().VisibleRows(), row);
}

TEST_F(ScheduleModelTest, ClickSelectsAnItemOrPicksATimeAndTheNotesHearOfItems) {
  uint16_t dentist = PutItem(2026, 12, 7, 600, 660, "Dentist", 1, kSchedFlagItem, 0, 0, 0, 0, 9);
  Start();
  EXPECT_FALSE(model.TakeNoteNews());
  model.Press(AtItem(0));
  model.Release();
  ASSERT_NE(model.SelectedItem(), nullptr);
  EXPECT_EQ(model.SelectedItem()->id, dentist);
  EXPECT_TRUE(model.TakeNoteNews());
  NoteContext note = model.SelectionNoteContext();
  EXPECT_EQ(note.type, ScheduleNoteContext(2026, 12, 7, dentist, 9).type);
  EXPECT_EQ(note.ownerId, dentist);
  EXPECT_EQ(note.noteId, 9);
  EXPECT_EQ(model.StatusText(RegionalSettings{}), "Monday, December 7, 2026: 10:00 AM - 11:00 AM Dentist");

  // An empty row: the time is picked (truncated to 5 minutes) and the item let go.
  model.Press({200, RowY(8 * 60 + 30) + model.Grid().rowHeight / 2});
  model.Release();
  EXPECT_EQ(model.SelectedItem(), nullptr);
  EXPECT_EQ(model.Choice().pickStart % 5, 0);
  EXPECT_GE(model.Choice().pickStart, 8 * 60 + 30);
  EXPECT_LT(model.Choice().pickStart, 9 * 60);
  EXPECT_TRUE(model.TakeNoteNews());
  EXPECT_EQ(model.SelectionNoteContext().type, DayNoteContext(2026, 12, 7).type);
  // Another empty time is no news for the notes.
  model.Press({200, RowY(11 * 60)});
  model.Release();
  EXPECT_FALSE(model.TakeNoteNews());
}

TEST_F(ScheduleModelTest, DraggingPicksARangeAndOpeningAsksForANewItemThere) {
  Start();
  model.Press({200, RowY(11 * 60)});
  EXPECT_TRUE(model.Dragging());
  model.DragTo({200, RowY(9 * 60)});  // upwards: the earlier end starts
  model.Release();
  EXPECT_EQ(model.Choice().pickStart, 9 * 60);
  EXPECT_EQ(model.Choice().pickEnd, 11 * 60);
  ASSERT_TRUE(model.Open());
  ASSERT_EQ(created.size(), 1u);
  EXPECT_EQ(created[0].day.day, 7);
  EXPECT_EQ(created[0].start, 9 * 60);
  EXPECT_EQ(created[0].end, 11 * 60);
  EXPECT_EQ(model.StatusText(RegionalSettings{}), "Monday, December 7, 2026: 9:00 AM - 11:00 AM");
  // A click without a drag: a single time; nothing picked at all: no time.
  ASSERT_TRUE(OpenAt({200, RowY(10 * 60)}));
  EXPECT_EQ(created.back().start, 10 * 60);
  EXPECT_EQ(created.back().end, -1);
  ScheduleWindowModel fresh;
  fresh.Show(Day(2026, 12, 7));
  ASSERT_TRUE(fresh.Open());
  EXPECT_EQ(created.back().start, -1);
  EXPECT_EQ(created.back().end, -1);
}

TEST_F(ScheduleModelTest, OpeningAnItemFromTheDayBeforeNamesItsStoredDay) {
  uint16_t train = PutItem(2026, 11, 30, 1380, 1500, "Night train");
  selected = Day(2026, 12, 1);
  Start();
  model.Scroll(kSchedTop);
  ASSERT_NE(model.SelectedItem(), nullptr);  // row 0 holds the train's morning part
  ASSERT_TRUE(model.Open());
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0].id, train);
  EXPECT_EQ(opened[0].day.month, 11);
  EXPECT_EQ(opened[0].day.day, 30);
}

TEST_F(ScheduleModelTest, WithoutEditorsOpeningFailsQuietly) {
  PutItem(2026, 12, 7, 600, 660, "Dentist");
  Start();
  ScheduleWindowHooks hooks;
  hooks.selectedDate = [this] { return selected; };
  SetScheduleWindowHooks(hooks);
  EXPECT_FALSE(OpenAt({200, RowY(11 * 60)}));
  EXPECT_FALSE(OpenAt(AtItem(0)));
  EXPECT_NE(model.SelectedItem(), nullptr);  // the window itself goes on
}

TEST_F(ScheduleModelTest, ClickingPastMidnightShowsTheNeighbouringDay) {
  selected = Day(2026, 12, 31);
  settings = Settings(60, 0);
  PutItem(2027, 1, 1, 30, 90, "New year swim");
  ASSERT_TRUE(model.FollowSelectedDate());
  model.LayOut(canvas, RegionalSettings{}, 400, 0);
  int rows = 30;  // taller than the day: the space below 24:00 is the next day
  model.LayOut(canvas, RegionalSettings{}, 400, model.Grid().rowHeight * rows);
  int below = model.Grid().RowTop(24) + model.Grid().rowHeight / 2;
  int expected = MinuteAtOffset(model.Grid(), below) - 1440;
  ASSERT_GE(expected, 0);
  ASSERT_LT(expected, 60);
  model.Press({200, below});
  model.Release();
  EXPECT_EQ(model.Day().year, 2027);
  EXPECT_EQ(model.Day().month, 1);
  EXPECT_EQ(model.Day().day, 1);
  EXPECT_EQ(model.Choice().pickStart, expected);
  EXPECT_FALSE(model.Dragging());
  EXPECT_EQ(model.Boxes().size(), 1u);
  // Above 0:00 (the button held and moved up out of the pane): the day before.
  int before = 1440 + MinuteAtOffset(model.Grid(), -3);
  model.Press({200, -3});
  EXPECT_EQ(model.Day().day, 31);
  EXPECT_EQ(model.Choice().pickStart, before);
  EXPECT_LT(before, 1440);
}

TEST_F(ScheduleModelTest, ScrollCodesMoveThePickedRowAndSelectTheItemThere) {
  PutItem(2026, 12, 7, 9 * 60, 10 * 60, "Standup");
  PutItem(2026, 12, 7, 12 * 60, 13 * 60, "Lunch");
  Start();  // 30-minute rows, 8 rows in view from 8:00
  int visible = model.Grid().VisibleRows();
  model.Scroll(kSchedLineDown);  // from the top row: 8:30
  EXPECT_EQ(model.Choice().pickStart, 8 * 60 + 30);
  EXPECT_EQ(model.Grid().firstRow, 17);
  model.Scroll(kSchedLineDown);
  ASSERT_NE(model.SelectedItem(), nullptr);
  EXPECT_EQ(model.SelectedItem()->record.title, "Standup");
  EXPECT_TRUE(model.TakeNoteNews());
  model.Scroll(kSchedPageDown);
  EXPECT_EQ(model.Choice().pickStart, 9 * 60 + visible * 30);
  model.Scroll(kSchedLineUp);
  EXPECT_EQ(model.Choice().pickStart, 9 * 60 + (visible - 1) * 30);
  model.Scroll(kSchedPageUp);
  model.Scroll(kSchedPageUp);
  EXPECT_GE(model.Choice().pickStart, 0);
  model.Scroll(kSchedBottom);
  EXPECT_EQ(model.Choice().pickStart, 1410);
  EXPECT_EQ(model.Grid().firstRow, model.Grid().MaxFirstRow());
  model.Scroll(kSchedLineDown);  // the day's end holds
  EXPECT_EQ(model.Choice().pickStart, 1410);
  model.Scroll(kSchedTop);
  EXPECT_EQ(model.Choice().pickStart, 0);
  EXPECT_EQ(model.Grid().firstRow, 0);
  model.Scroll(42);  // an unknown code does nothing
  EXPECT_EQ(model.Choice().pickStart, 0);
  // Every picked row stays in view.
  for (int code : {1, 1, 3, 3, 3, 2, 0, 7, 2, 6}) {
    model.Scroll(code);
    int row = model.Choice().pickStart / model.Grid().increment;
    EXPECT_GE(row, model.Grid().firstRow);
    EXPECT_LT(row, model.Grid().firstRow + visible);
  }
}

TEST_F(ScheduleModelTest, AStoredChangeReachesTheWindowAndTheAlarmsAlike) {
  static int alarmHookRuns = 0;
  alarmHookRuns = 0;
  SetSchedChangedHook([] { ++alarmHookRuns; });
  uint16_t dentist = PutItem(2026, 12, 7, 600, 660, "Dentist");
  Start();
  model.Press(AtItem(0));
  model.Release();
  int listened = 0;
  int token = AddSchedChangedListener([&] {
    ++listened;
    model.Reload();
  });
  SchedSaveRequest req = NewItem(2026, 12, 7, 720, 780, "Lunch");
  ASSERT_TRUE(SchedSave(req).ok);
  EXPECT_EQ(alarmHookRuns, 1);
  EXPECT_EQ(listened, 1);
  EXPECT_EQ(model.Boxes().size(), 2u);
  ASSERT_NE(model.SelectedItem(), nullptr);  // the selection survives the reload
  EXPECT_EQ(model.SelectedItem()->id, dentist);
  RemoveSchedChangedListener(token);
  SchedSaveRequest more = NewItem(2026, 12, 7, 900, 960, "Walk");
  ASSERT_TRUE(SchedSave(more).ok);
  EXPECT_EQ(alarmHookRuns, 2);
  EXPECT_EQ(listened, 1);
}

TEST_F(ScheduleModelTest, NewSettingsLayTheGridOutFromTheInitialHour) {
  Start();
  model.Scroll(kSchedBottom);
  model.LayOut(canvas, RegionalSettings{}, 400, model.Grid().rowHeight * 8);  // same settings: stays
  EXPECT_EQ(model.Grid().firstRow, model.Grid().MaxFirstRow());
  settings = Settings(15, 7);
  model.LayOut(canvas, RegionalSettings{}, 400, 200);
  EXPECT_EQ(model.Grid().rows, 96);
  EXPECT_EQ(model.Grid().firstRow, 28);
  settings = Settings(3, 30);  // damaged: the defaults
  model.LayOut(canvas, RegionalSettings{}, 400, 200);
  EXPECT_EQ(model.Grid().increment, 15);
  EXPECT_EQ(model.Grid().firstRow, 32);
}

}  // namespace
}  // namespace kv
