#include "views/calendar_state.h"

#include <gtest/gtest.h>

#include "views/views_test_support.h"

#include "base/messages.h"
#include "calendar/jewish.h"

namespace kv {
namespace {

class CalendarStateTest : public FreshCalendarTest {};

TEST_F(CalendarStateTest, MonthStepsKeepTheDayWithinTheMonth) {
  struct Case {
    DateStamp from;
    int direction;
    bool selectFirst;
    DateStamp to;
  } cases[] = {
      {{2026, 1, 31}, 1, false, {2026, 2, 28}},  // clamped to February's end
      {{2024, 3, 31}, 0, false, {2024, 2, 29}},  // leap February
      {{2026, 12, 15}, 1, false, {2027, 1, 15}},
      {{2026, 1, 15}, 0, false, {2025, 12, 15}},
      {{2026, 5, 20}, 1, true, {2026, 6, 1}},
      {{2026, 5, 20}, 2 + 11, false, {2026, 11, 1}},  // a month of the year: day 1
  };
  for (const Case& c : cases) {
    SelectGregorianDate(c.from);
    EXPECT_TRUE(GoToMonth(c.direction, c.selectFirst));
    EXPECT_EQ(Calendar().date, c.to) << c.from.year << "-" << c.from.month << "-" << c.from.day;
  }
}

TEST_F(CalendarStateTest, AGregorianYearBefore1583IsRefusedWithItsMessage) {
  SelectGregorianDate({1583, 1, 10});
  EXPECT_FALSE(GoToMonth(0, false));
  EXPECT_EQ(Calendar().date, (DateStamp{1583, 1, 10}));
  ASSERT_EQ(messages_.Shown().size(), 1u);
  EXPECT_EQ(messages_.Shown()[0].text, "Gregorian year must be 1583 or greater");
  EXPECT_EQ(messages_.Shown()[0].icon, MsgIcon::Stop);
  EXPECT_TRUE(GoToMonth(1, false));
  EXPECT_EQ(Calendar().date, (DateStamp{1583, 2, 10}));
}

TEST_F(CalendarStateTest, JewishPrimaryStepsThroughBothAdarsOfALeapYear) {
  ViewOptions o;
  o.jewishPrimary = true;
  SetViewOptions(o);
  // 5784 is a leap year: Shevat, Adar I, Adar II, Nisan.
  JewishDate shevat{5784, 5, 10};
  SelectGregorianDate(JewishToGregorian(shevat));
  EXPECT_EQ(Calendar().month, 5);
  int seen[4] = {Calendar().month, 0, 0, 0};
  for (int i = 1; i < 4; ++i) {
    ASSERT_TRUE(GoToMonth(1, false));
    seen[i] = Calendar().month;
    EXPECT_EQ(Calendar().day, 10);
  }
  EXPECT_EQ(seen[1], 6);
  EXPECT_EQ(seen[2], 13);
  EXPECT_EQ(seen[3], 7);
  EXPECT_EQ(GregorianToJewish(Calendar().date.month, Calendar().date.day, Calendar().date.year), (JewishDate{5784, 7, 10}));
}

TEST_F(CalendarStateTest, SwitchingThePrimaryCalendarKeepsTheGregorianDay) {
  SelectGregorianDate({2026, 12, 7});
  ViewOptions o;
  o.jewishPrimary = true;
  SetViewOptions(o);
  EXPECT_EQ(Calendar().date, (DateStamp{2026, 12, 7}));
  EXPECT_NE(Calendar().month, 12);
  o.jewishPrimary = false;
  SetViewOptions(o);
  EXPECT_EQ(Calendar().month, 12);
  EXPECT_EQ(Calendar().day, 7);
  SelectDay(40);
  EXPECT_EQ(Calendar().date, (DateStamp{2026, 12, 31}));
}

}  // namespace
}  // namespace kv
