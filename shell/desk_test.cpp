#include "shell/desk.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

// The open, unminimized tool windows stack in the right quarter; the calendar takes the rest.
TEST(ArrangeAll, StacksTheOpenToolWindowsInTheRightQuarter) {
  using Stack = std::vector<std::pair<DeskCode, DeskRect>>;
  struct Case {
    int width, height;
    ToolWindowState schedule, notes, todo;
    Stack stacked;
    DeskRect calendar;
  } cases[] = {
      {1001, 601, {true, false}, {true, true}, {true, false},  // minimized notes are left where they are
       {{kDeskSchedule, {751, 0, 250, 300}}, {kDeskToDo, {751, 300, 250, 300}}}, {0, 0, 751, 601}},
      {800, 500, {true, false}, {true, false}, {true, false},
       {{kDeskSchedule, {600, 0, 200, 166}}, {kDeskNotes, {600, 166, 200, 166}}, {kDeskToDo, {600, 332, 200, 166}}},
       {0, 0, 600, 500}},
      {900, 700, {false, false}, {true, true}, {false, false}, {}, {0, 0, 900, 700}},
  };
  for (const Case& c : cases) {
    ArrangeInput in;
    in.clientWidth = c.width;
    in.clientHeight = c.height;
    in.schedule = c.schedule;
    in.notes = c.notes;
    in.todo = c.todo;
    ArrangeResult r = ArrangeAll(in);
    EXPECT_EQ(r.stacked, c.stacked) << c.width;
    EXPECT_EQ(r.calendar, c.calendar) << c.width;
    EXPECT_FALSE(r.phonebookPosition);
  }
}

TEST(ArrangeAll, PhonebookIsCentredOnAMultipleOfEight) {
  struct Case {
    int clientWidth, clientHeight, width, height, x, y;
  };
  const Case cases[] = {
      {1000, 700, 500, 400, 248, 150},  // 250 + 4 rounded down to a multiple of 8
      {1000, 700, 510, 380, 248, 160},  // 245 + 4
      {600, 400, 700, 500, 0, 0},       // wider and taller than the client
      {640, 480, 640, 480, 0, 0},       // 0 + 4
      {1024, 768, 300, 200, 360, 284},  // 362 + 4
  };
  for (const Case& c : cases) {
    ArrangeInput in;
    in.clientWidth = c.clientWidth;
    in.clientHeight = c.clientHeight;
    in.phonebook = {true, false};
    in.phonebookWidth = c.width;
    in.phonebookHeight = c.height;
    ArrangeResult r = ArrangeAll(in);
    ASSERT_TRUE(r.phonebookPosition);
    EXPECT_EQ(r.phonebookPosition->first, c.x) << c.clientWidth << "x" << c.width;
    EXPECT_EQ(r.phonebookPosition->second, c.y) << c.clientHeight << "x" << c.height;
  }
  ArrangeInput hidden;
  hidden.phonebook = {true, true};
  EXPECT_FALSE(ArrangeAll(hidden).phonebookPosition);
}

TEST(ResetDesk, ClosesExtraWindowsAndRestoresOrderAndActive) {
  DeskLayout saved;
  saved.openWindows = kOpenSchedule | kOpenToDo;
  saved.zOrder = {4, 1, 3, 0, 0, 0};
  saved.activeWindow = 14;
  ResetDeskPlan plan = PlanResetDesk(saved, kOpenSchedule | kOpenNotes | kOpenPhonebook | kOpenMap);
  EXPECT_EQ(plan.close, (std::vector<DeskCode>{kDeskNotes, kDeskPhonebook, kDeskMap}));
  EXPECT_EQ(plan.open, (std::vector<DeskCode>{kDeskSchedule, kDeskToDo}));
  EXPECT_EQ(plan.zOrder, (std::vector<DeskCode>{kDeskToDo, kDeskCalendar, kDeskSchedule}));
  EXPECT_TRUE(plan.activeSaved);
  EXPECT_EQ(plan.active, kDeskToDo);
  EXPECT_TRUE(plan.maximizeActive);
}

TEST(ResetDesk, ActiveCodes) {
  struct Case {
    uint16_t saved;
    bool activeSaved;
    DeskCode active;
    bool maximize;
  };
  const Case cases[] = {
      {0, false, kDeskCalendar, false}, {1, true, kDeskCalendar, false}, {11, true, kDeskCalendar, true},
      {3, true, kDeskSchedule, false},  {13, true, kDeskSchedule, true}, {5, false, kDeskCalendar, false},
      {7, false, kDeskCalendar, false},  {10, false, kDeskCalendar, false},
  };
  for (const Case& c : cases) {
    DeskLayout saved;
    saved.openWindows = kOpenSchedule;
    saved.activeWindow = c.saved;
    ResetDeskPlan plan = PlanResetDesk(saved, 0);
    EXPECT_EQ(plan.activeSaved, c.activeSaved) << c.saved;
    EXPECT_EQ(plan.active, c.active) << c.saved;
    EXPECT_EQ(plan.maximizeActive, c.maximize) << c.saved;
  }
}

TEST(ResetDesk, OpensInTheFixedOrderAndSkipsClosedWindowsInTheStacking) {
  DeskLayout saved;
  saved.openWindows = kOpenMap | kOpenPhonebook | kOpenNotes;
  saved.zOrder = {6, 3, 5, 5, 2, 1};  // 3 is closed in this layout; a repeated code counts once
  ResetDeskPlan plan = PlanResetDesk(saved, 0);
  EXPECT_TRUE(plan.close.empty());
  EXPECT_EQ(plan.open, (std::vector<DeskCode>{kDeskNotes, kDeskPhonebook, kDeskMap}));
  EXPECT_EQ(plan.zOrder, (std::vector<DeskCode>{kDeskMap, kDeskPhonebook, kDeskNotes, kDeskCalendar}));
}

TEST(RecordDesk, CodesTopFirstThenTheActiveWindow) {
  CalendarConfig c;
  c.desk.zOrder = {6, 5, 4, 3, 2, 1};
  RecordDesk(c, {3, 1, 99, 4}, 3, false);
  EXPECT_EQ(c.desk.zOrder, (std::array<uint8_t, 6>{3, 1, 4, 0, 0, 0}));
  EXPECT_EQ(c.desk.activeWindow, 3);
  RecordDesk(c, {1, 2, 3, 4, 5, 6, 1}, 6, true);
  EXPECT_EQ(c.desk.zOrder, (std::array<uint8_t, 6>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(c.desk.activeWindow, 16);
  RecordDesk(c, {}, 0, true);
  EXPECT_EQ(c.desk.zOrder, (std::array<uint8_t, 6>{}));
  EXPECT_EQ(c.desk.activeWindow, 0);
}

TEST(DeskLayout, EachCodeReachesItsOwnFields) {
  // Every desk window's place and size state, reached by code, land in the window block's
  // own fields and nowhere else.
  struct Case { uint8_t code; bool placement, position, state; };
  const Case cases[] = {{kDeskCalendar, true, false, true}, {kDeskNotes, true, false, true},
                        {kDeskSchedule, true, false, true}, {kDeskToDo, true, false, true},
                        {kDeskPhonebook, false, true, true}, {kDeskMap, false, true, false}};
  CalendarConfig c;
  for (const Case& k : cases) {
    DeskLayout& d = c.desk;
    ASSERT_EQ(d.PlacementOf(k.code) != nullptr, k.placement) << int(k.code);
    ASSERT_EQ(d.PositionOf(k.code) != nullptr, k.position) << int(k.code);
    ASSERT_EQ(d.SizeStateOf(k.code) != nullptr, k.state) << int(k.code);
    if (k.placement) *d.PlacementOf(k.code) = {k.code, k.code, k.code, k.code};
    if (k.position) *d.PositionOf(k.code) = {k.code, k.code};
    if (k.state) *d.SizeStateOf(k.code) = k.code;
  }
  EXPECT_EQ(c.desk.calendar.x, kDeskCalendar);
  EXPECT_EQ(c.desk.notes.y, kDeskNotes);
  EXPECT_EQ(c.desk.schedule.width, kDeskSchedule);
  EXPECT_EQ(c.desk.todo.height, kDeskToDo);
  EXPECT_EQ(c.desk.phonebookPosition.x, kDeskPhonebook);
  EXPECT_EQ(c.desk.mapPosition.y, kDeskMap);
  EXPECT_EQ(c.desk.phonebookState, kDeskPhonebook);
  EXPECT_EQ(c.desk.SavedSizeState(kDeskMap), kRestored);
  EXPECT_EQ(c.desk.frame, Placement{});  // the frame has no desk code
  // The block round-trips through the file image.
  CalendarConfig back = ParseCalendarConfig(SerializeCalendarConfig(c));
  ConfigImage a = SerializeCalendarConfig(c), b = SerializeCalendarConfig(back);
  EXPECT_TRUE(std::equal(a.begin() + kWindowBlockOffset, a.begin() + kWindowBlockOffset + kWindowBlockSize,
                         b.begin() + kWindowBlockOffset));
}

TEST(Placement, OnScreenAndStartingPlace) {
  ScreenArea screen{0, 0, 1280, 1024};
  ScreenArea work{0, 0, 1280, 984};
  EXPECT_TRUE(LiesOnScreen({10, 10, 1260, 1004}, screen));
  EXPECT_TRUE(LiesOnScreen({0, 0, 1280, 1024}, screen));
  EXPECT_FALSE(LiesOnScreen({-5, 10, 100, 100}, screen));
  EXPECT_FALSE(LiesOnScreen({1200, 10, 100, 100}, screen));
  EXPECT_FALSE(LiesOnScreen({10, 10, 0, 100}, screen));
  EXPECT_FALSE(LiesOnScreen({2147483000, 0, 2000, 10}, screen));
  EXPECT_TRUE(LiesOnScreen({-1900, 0, 800, 600}, ScreenArea{-1920, 0, 1280, 1080}));
  EXPECT_EQ(FrameStartPlacement({20, 30, 800, 600}, screen, work), (Placement{20, 30, 800, 600}));
  EXPECT_EQ(FrameStartPlacement({3000, 30, 800, 600}, screen, work), (Placement{0, 0, 1280, 984}));
  EXPECT_EQ(FrameStartPlacement({}, screen, work), (Placement{0, 0, 1280, 984}));
}

TEST(Placement, ScreenSizes) {
  EXPECT_TRUE(ScreenFitsMap(800, 538));
  EXPECT_FALSE(ScreenFitsMap(799, 600));
  EXPECT_FALSE(ScreenFitsMap(1024, 537));
  EXPECT_EQ(CellIconSize(800), 16);
  EXPECT_EQ(CellIconSize(820), 16);
  EXPECT_EQ(CellIconSize(821), 24);
  EXPECT_EQ(CellIconSize(1024), 24);
  EXPECT_EQ(CellIconSize(1025), 32);
}

}  // namespace
}  // namespace kv
