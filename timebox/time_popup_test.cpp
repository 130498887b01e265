#include "timebox/time_popup.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

RegionalSettings Clock(bool clock24) {
  RegionalSettings r;
  r.clock24 = clock24;
  return r;
}

TEST(TimePopup, ColumnsFollowTheClock) {
  TimePopupColumns twelve = TimeColumns(Clock(false));
  ASSERT_EQ(twelve.rows.size(), 4u);
  EXPECT_EQ(twelve.heads, (std::vector<std::string>{"Hour", "Minute"}));
  EXPECT_EQ(twelve.rows[kHourColumn].front(), "1");
  EXPECT_EQ(twelve.rows[kHourColumn].back(), "12");
  EXPECT_EQ(twelve.rows[kTensColumn], (std::vector<std::string>{"00", "10", "20", "30", "40", "50"}));
  EXPECT_EQ(twelve.rows[kUnitsColumn].size(), 10u);
  EXPECT_EQ(twelve.rows[kHalfColumn], (std::vector<std::string>{"AM", "PM"}));

  // The 24-hour clock: hours 0 ... 23 and no AM/PM column.
  TimePopupColumns day = TimeColumns(Clock(true));
  ASSERT_EQ(day.rows.size(), 3u);
  EXPECT_EQ(day.rows[kHourColumn].size(), 24u);
  EXPECT_EQ(day.rows[kHourColumn].front(), "0");
  EXPECT_EQ(day.rows[kHourColumn].back(), "23");
}

TEST(TimePopup, SplitAndJoinRoundTrip) {
  struct Case {
    int minutes;
    bool clock24;
    TimeParts want;
  } cases[] = {
      {0, false, {11, 0, 0, false}},      // 12:00 AM: the "12" row
      {59, false, {11, 5, 9, false}},
      {60, false, {0, 0, 0, false}},
      {720, false, {11, 0, 0, true}},     // noon
      {13 * 60 + 47, false, {0, 4, 7, true}},
      {1439, false, {10, 5, 9, true}},
      {0, true, {0, 0, 0, false}},
      {21 * 60 + 5, true, {21, 0, 5, true}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SplitTime(c.minutes, c.clock24), c.want) << c.minutes;
    EXPECT_EQ(JoinTime(c.want, c.clock24), c.minutes) << c.minutes;
  }
  for (int m = 0; m < 1440; ++m) {
    ASSERT_EQ(JoinTime(SplitTime(m, false), false), m);
    ASSERT_EQ(JoinTime(SplitTime(m, true), true), m);
  }
}

TEST(TimePopup, KeysMoveAndChoose) {
  struct Case {
    int minutes;
    TimeFocus focus;
    TimeKey key;
    bool clock24;
    int wantMinutes;
    TimeFocus wantFocus;
  } cases[] = {
      {9 * 60 + 30, {kHourColumn, 8}, TimeKey::Down, false, 10 * 60 + 30, {kHourColumn, 9}},
      {9 * 60 + 30, {kHourColumn, 8}, TimeKey::Up, false, 8 * 60 + 30, {kHourColumn, 7}},
      // The ends of the 12-hour column switch halves: 1 AM up is 12 PM, 12 PM down is 1 AM.
      {60, {kHourColumn, 0}, TimeKey::Up, false, 12 * 60, {kHourColumn, 11}},
      {12 * 60, {kHourColumn, 11}, TimeKey::Down, false, 60, {kHourColumn, 0}},
      {13 * 60, {kHourColumn, 0}, TimeKey::Up, false, 0, {kHourColumn, 11}},
      // The 24-hour column stops at its ends.
      {0, {kHourColumn, 0}, TimeKey::Up, true, 0, {kHourColumn, 0}},
      {23 * 60, {kHourColumn, 23}, TimeKey::Down, true, 23 * 60, {kHourColumn, 23}},
      {9 * 60 + 30, {kTensColumn, 3}, TimeKey::End, false, 9 * 60 + 50, {kTensColumn, 5}},
      {9 * 60 + 37, {kUnitsColumn, 7}, TimeKey::Home, false, 9 * 60 + 30, {kUnitsColumn, 0}},
      {9 * 60 + 30, {kHalfColumn, 0}, TimeKey::Down, false, 21 * 60 + 30, {kHalfColumn, 1}},
      // Moving between columns lands on the column's chosen entry and keeps the value.
      {9 * 60 + 37, {kHourColumn, 8}, TimeKey::Right, false, 9 * 60 + 37, {kTensColumn, 3}},
      {9 * 60 + 37, {kUnitsColumn, 7}, TimeKey::Tab, true, 9 * 60 + 37, {kHourColumn, 9}},
      {21 * 60 + 37, {kUnitsColumn, 7}, TimeKey::Tab, false, 21 * 60 + 37, {kHalfColumn, 1}},
      {9 * 60 + 37, {kHourColumn, 8}, TimeKey::BackTab, false, 9 * 60 + 37, {kHalfColumn, 0}},
      {9 * 60 + 37, {kHourColumn, 8}, TimeKey::Left, false, 9 * 60 + 37, {kHourColumn, 8}},
  };
  for (const Case& c : cases) {
    TimeMove m = MoveTimeFocus(c.minutes, c.focus, c.key, c.clock24);
    EXPECT_EQ(m.minutes, c.wantMinutes) << c.minutes << " key " << static_cast<int>(c.key);
    EXPECT_EQ(m.focus, c.wantFocus) << c.minutes << " key " << static_cast<int>(c.key);
  }
}

TEST(TimePopup, ReadingTheText) {
  RegionalSettings r = Clock(false);
  EXPECT_EQ(ReadTimeText("", r), kTimeEmpty);
  EXPECT_EQ(ReadTimeText("   ", r), kTimeEmpty);
  EXPECT_EQ(ReadTimeText("9:30 PM", r), 21 * 60 + 30);
  EXPECT_EQ(ReadTimeText("25:00", r), kTimeInvalid);
  EXPECT_EQ(ReadTimeText("noon", r), kTimeInvalid);
  EXPECT_EQ(ReadTimeText("21:30", Clock(true)), 21 * 60 + 30);
  EXPECT_EQ(ReadTimeText("9:30 PM", Clock(true)), kTimeInvalid);
}

}  // namespace
}  // namespace kv

namespace kv {
namespace {

TEST(TimePopup, EveryEntryHasItsOwnSquare) {
  for (bool clock24 : {false, true}) {
    TimePopupGeometry g = TimePopupLayout(7, 13, clock24);
    int columns = clock24 ? 3 : 4;
    int rows[4] = {clock24 ? 24 : 12, 6, 10, 2};
    for (int c = 0; c < columns; ++c) {
      for (int r = 0; r < rows[c]; ++r) {
        TimeEntryBox b = TimeEntryRect(g, c, r, clock24);
        EXPECT_LE(b.right, g.width) << c << " " << r;
        EXPECT_LE(b.bottom, g.height) << c << " " << r;
        EXPECT_GE(b.top, g.headBottom);
        EXPECT_EQ(TimeEntryAt(g, b.left + 1, b.top + 1, clock24), (TimeFocus{c, r})) << clock24 << " " << c << " " << r;
      }
    }
    EXPECT_EQ(TimeEntryAt(g, 1, 1, clock24).column, -1);
  }
}

}  // namespace
}  // namespace kv
