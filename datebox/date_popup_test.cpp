#include "datebox/date_popup.h"

#include <gtest/gtest.h>

#include "calendar/jewish.h"

namespace kv {
namespace {

TEST(DatePopup, GeometryFollowsTheCharacterSize) {
  DatePopupGeometry g = DatePopupLayout(7, 13);
  EXPECT_EQ(g.size.cx, 154);
  EXPECT_EQ(g.size.cy, 166);  // 25 * 13 / 2 + 4
  EXPECT_EQ(g.grid, (Rect{3, 48, 150, 48 + 113 + 1}));
  EXPECT_EQ(g.cellWidth, 21);
  EXPECT_EQ(g.cellHeight, 19);
  // Six rows of squares stay inside the pop-up; the header and weekday row above the grid.
  EXPECT_LE(g.grid.top + 6 * g.cellHeight, g.size.cy);
  EXPECT_LE(g.header.bottom, g.weekdays.top);
  EXPECT_LT(g.previous.right, g.next.left);
  EXPECT_EQ(g.grid.Width(), 7 * g.cellWidth);
}

TEST(DatePopup, OpensBelowOrAboveTheControl) {
  Size popup{154, 166};
  // Right-aligned under a wide control.
  EXPECT_EQ(DatePopupPosition({100, 200, 400, 222}, popup, 768), (Point{246, 221}));
  // A narrow control: moved right by half the overhang.
  EXPECT_EQ(DatePopupPosition({100, 200, 200, 222}, popup, 768), (Point{73, 221}));
  // Near the bottom of the screen: above the control.
  EXPECT_EQ(DatePopupPosition({100, 700, 400, 722}, popup, 768), (Point{246, 535}));
}

TEST(DatePopup, DaySquaresFollowTheFirstColumn) {
  struct Case {
    int firstColumn, day;
    GridCell want;
  } cases[] = {{0, 1, {0, 0}}, {0, 7, {6, 0}}, {0, 8, {0, 1}}, {3, 1, {3, 0}}, {3, 5, {0, 1}}, {6, 31, {1, 5}}};
  for (const Case& c : cases) EXPECT_EQ(DayCell(c.firstColumn, c.day), c.want) << c.firstColumn << " " << c.day;

  DatePopupGeometry g = DatePopupLayout(7, 13);
  for (int day = 1; day <= 31; ++day) {
    Rect r = DaySquare(g, 4, day);
    EXPECT_EQ(DayAt(g, 4, 31, {r.left + 1, r.top + 1}), day);
  }
  EXPECT_EQ(DayAt(g, 4, 31, {g.grid.left + 1, g.grid.top + 1}), 0);  // before day 1
  EXPECT_EQ(DayAt(g, 4, 31, {0, 0}), 0);
}

TEST(DatePopup, FirstColumnCountsFromTheWeekStart) {
  // 1 December 2026 is a Tuesday.
  EXPECT_EQ(PopupFirstColumn(2026, 12, false, 0), 2);
  EXPECT_EQ(PopupFirstColumn(2026, 12, false, 1), 1);
  EXPECT_EQ(PopupFirstColumn(2026, 12, false, 3), 6);
}

struct Move {
  TypedDate from;
  PopupKey key;
  TypedDate want;
};

TEST(DatePopup, KeysMoveAcrossMonthEnds) {
  const Move moves[] = {
      {{2026, 1, 31}, PopupKey::Right, {2026, 2, 1}},
      {{2026, 3, 1}, PopupKey::Left, {2026, 2, 28}},
      {{2028, 3, 1}, PopupKey::Left, {2028, 2, 29}},
      {{2026, 12, 31}, PopupKey::Right, {2027, 1, 1}},
      {{2026, 1, 1}, PopupKey::Left, {2025, 12, 31}},
      {{2026, 3, 3}, PopupKey::Up, {2026, 2, 24}},    // 3 + 28 - 7: the same weekday
      {{2026, 1, 3}, PopupKey::Up, {2025, 12, 27}},
      {{2026, 3, 10}, PopupKey::Up, {2026, 3, 3}},
      {{2026, 1, 28}, PopupKey::Down, {2026, 2, 4}},
      {{2026, 2, 24}, PopupKey::Down, {2026, 3, 3}},
      {{2026, 2, 21}, PopupKey::Down, {2026, 2, 28}},
      {{2026, 1, 31}, PopupKey::PageDown, {2026, 2, 28}},
      {{2026, 3, 31}, PopupKey::PageUp, {2026, 2, 28}},
      {{2026, 12, 15}, PopupKey::PageDown, {2027, 1, 15}},
      {{2026, 4, 15}, PopupKey::Home, {2026, 4, 1}},
      {{2026, 4, 15}, PopupKey::End, {2026, 4, 30}},
      {{1583, 1, 1}, PopupKey::Left, {1583, 1, 1}},     // the calendar's first day stays
      {{9999, 12, 31}, PopupKey::Right, {9999, 12, 31}},
  };
  for (const Move& m : moves) {
    TypedDate got = MovePopupDate(m.from, m.key, false);
    EXPECT_EQ(got, m.want) << m.from.year << "-" << m.from.month << "-" << m.from.day << " key " << static_cast<int>(m.key);
  }
}

TEST(DatePopup, JewishKeysStepThroughBothAdars) {
  ASSERT_TRUE(IsJewishLeapYear(5787));
  ASSERT_FALSE(IsJewishLeapYear(5786));
  const Move moves[] = {
      {{5787, kAdar, 30}, PopupKey::Right, {5787, kAdarII, 1}},      // Adar I has 30 days in a leap year
      {{5787, kAdarII, 29}, PopupKey::Right, {5787, kNisan, 1}},
      {{5787, kNisan, 1}, PopupKey::Left, {5787, kAdarII, 29}},
      {{5787, kAdarII, 1}, PopupKey::Left, {5787, kAdar, 30}},
      {{5786, kNisan, 1}, PopupKey::Left, {5786, kAdar, 29}},         // common year: one Adar
      {{5787, kNisan, 3}, PopupKey::Up, {5787, kAdarII, 25}},          // 3 + 29 - 7
      {{5787, kAdarII, 3}, PopupKey::Up, {5787, kAdar, 26}},           // 3 + 30 - 7
      {{5787, kAdar, 28}, PopupKey::Down, {5787, kAdarII, 5}},
      {{5787, kShevat, 10}, PopupKey::PageDown, {5787, kAdar, 10}},
      {{5787, kAdar, 10}, PopupKey::PageDown, {5787, kAdarII, 10}},
      {{5787, kAdarII, 10}, PopupKey::PageUp, {5787, kAdar, 10}},
      {{5787, kElul, 29}, PopupKey::Right, {5788, kTishrei, 1}},
      {{5788, kTishrei, 1}, PopupKey::Left, {5787, kElul, 29}},
  };
  for (const Move& m : moves) {
    TypedDate got = MovePopupDate(m.from, m.key, true);
    EXPECT_EQ(got, m.want) << m.from.year << "-" << m.from.month << "-" << m.from.day << " key " << static_cast<int>(m.key);
  }
}

}  // namespace
}  // namespace kv
