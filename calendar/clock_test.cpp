#include "calendar/clock.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

class ClockTest : public testing::Test {
 protected:
  void TearDown() override {
    SetClockSource(nullptr);
    SetReferenceZoneShift(nullptr);
  }
};

TEST_F(ClockTest, ReferenceZoneMovesTheDateAcrossYearEnds) {
  FixedClock clock(DateStamp{2026, 12, 31, 22, 15});
  SetClockSource(&clock);
  EXPECT_EQ(CurrentDateTime().stamp, (DateStamp{2026, 12, 31, 22, 15}));
  SetReferenceZoneShift([](const DateStamp&) { return 180; });
  CurrentTime now = CurrentDateTime();
  EXPECT_EQ(now.stamp, (DateStamp{2027, 1, 1, 1, 15}));
  EXPECT_EQ(now.weekday, 5);

  clock.Set(DateStamp{2027, 3, 1, 0, 30});
  SetReferenceZoneShift([](const DateStamp&) { return -60; });
  now = CurrentDateTime();
  EXPECT_EQ(now.stamp, (DateStamp{2027, 2, 28, 23, 30}));
  EXPECT_EQ(now.minuteOfDay, 1410);
}

TEST(AddMinutes, StepsWholeDaysBothWays) {
  EXPECT_EQ(AddMinutes(DateStamp{2026, 1, 1, 0, 0}, -1), (DateStamp{2025, 12, 31, 23, 59}));
  EXPECT_EQ(AddMinutes(DateStamp{2026, 1, 1, 0, 0}, 1440 * 31), (DateStamp{2026, 2, 1, 0, 0}));
  EXPECT_EQ(AddMinutes(DateStamp{2026, 1, 1, 12, 0}, -1440 * 2 - 1), (DateStamp{2025, 12, 30, 11, 59}));
  EXPECT_EQ(AddMinutes(DateStamp{2024, 2, 28, 23, 58}, 3), (DateStamp{2024, 2, 29, 0, 1}));
}

}  // namespace
}  // namespace kv
