#include "calendar/jewish.h"

#include <gtest/gtest.h>

#include "base/messages.h"
#include "base/settings.h"

namespace kv {
namespace {

// An independent count of the days before each new year (the elapsed-days method with the
// four postponements folded into two corrections), to check the molad arithmetic against.
int64_t ElapsedDays(int64_t year) {
  int64_t months = (235 * year - 234) / 19;
  int64_t parts = 12084 + 13753 * months;
  int64_t days = 29 * months + parts / 25920;
  return (3 * (days + 1)) % 7 < 3 ? days + 1 : days;
}

int64_t IndependentNewYear(int64_t year) {
  int64_t ny0 = ElapsedDays(year - 1), ny1 = ElapsedDays(year), ny2 = ElapsedDays(year + 1);
  int64_t correction = ny2 - ny1 == 356 ? 2 : ny1 - ny0 == 382 ? 1 : 0;
  return -1373427 + ny1 + correction;  // day 1 = 1 January of year 1
}

TEST(Jewish, KnownYearsAndDates) {
  JewishYearFacts y5787 = JewishYearOf(5787);
  EXPECT_EQ(y5787.type, 6);
  EXPECT_EQ(y5787.length, 385);
  EXPECT_TRUE(y5787.leap);
  EXPECT_EQ(JewishToGregorian({5787, kTishrei, 1}), (DateStamp{2026, 9, 12}));
  EXPECT_EQ(GregorianToJewish(12, 5, 2026), (JewishDate{5787, kKislev, 25}));

  JewishYearFacts y5784 = JewishYearOf(5784);
  EXPECT_EQ(y5784.type, 4);
  EXPECT_EQ(y5784.length, 383);
  EXPECT_EQ(JewishMonthLength(kAdar, y5784), 30);
  EXPECT_EQ(JewishMonthLength(kAdarII, y5784), 29);
  EXPECT_EQ(GregorianToJewish(3, 24, 2024), (JewishDate{5784, kAdarII, 14}));
  EXPECT_EQ(JewishMonthLength(kAdarII, 5785), 0);

  EXPECT_EQ(GregorianToJewish(9, 24, 1900), (JewishDate{5661, kTishrei, 1}));
}

TEST(Jewish, NewYearsAgreeWithAnIndependentMethodOverTheWholeRange) {
  for (int y = kFirstJewishYear; y <= kLastJewishYear; ++y) {
    JewishYearFacts f = JewishYearOf(y);
    ASSERT_EQ(f.newYear, IndependentNewYear(y)) << y;
    ASSERT_EQ(f.length, IndependentNewYear(y + 1) - IndependentNewYear(y)) << y;
    ASSERT_EQ(f.leap, IsJewishLeapYear(y)) << y;
    ASSERT_EQ(NewYearWeekday(y - 1).weekday, f.newYear % 7) << y;
    int sum = 0;
    for (int m = 1; m <= 13; ++m) sum += JewishMonthLength(m, f);
    ASSERT_EQ(sum, f.length) << y;
  }
}

TEST(Jewish, MoladPostponements) {
  int sundayMorning = 0, saturdayAfternoon = 0;
  for (int y = 5400; y < 6400; ++y) {
    Molad m = MoladOfNextTishrei(y);
    int w = NewYearWeekday(y).weekday;
    ASSERT_TRUE(w == 1 || w == 2 || w == 4 || w == 6) << y;
    // A molad on a Sunday morning gives Monday; on a Saturday afternoon, Sunday, which moves
    // on to Monday.
    if (m.weekday == 0 && m.parts < 12960) {
      ++sundayMorning;
      ASSERT_EQ(w, 1) << y;
    }
    if (m.weekday == 6 && m.parts >= 12960) {
      ++saturdayAfternoon;
      ASSERT_EQ(w, 1) << y;
    }
    // Before noon on an allowed day, without the two special cases, the new year is that day.
    bool special = (m.weekday == 2 && m.parts >= 3444 && !IsJewishLeapYear(y + 1)) ||
                   (m.weekday == 1 && m.parts >= 10309 && IsJewishLeapYear(y));
    if (m.parts < 12960 && !special && (m.weekday == 1 || m.weekday == 2 || m.weekday == 4 || m.weekday == 6)) {
      ASSERT_EQ(w, m.weekday) << y;
    }
  }
  EXPECT_GT(sundayMorning, 0);
  EXPECT_GT(saturdayAfternoon, 0);
}

TEST(Jewish, EveryDayConvertsBackAndFollowsTheMonthOrder) {
  JewishDate previous = GregorianToJewish(12, 31, 1702);
  for (int32_t jdn = JulianDayNumber(1, 1, 1703); jdn <= JulianDayNumber(12, 31, 2239); ++jdn) {
    DateStamp g = DateOfJulianDay(jdn);
    JewishDate j = GregorianToJewish(g.month, g.day, g.year);
    ASSERT_EQ(JewishToGregorian(j), g);
    bool leap = IsJewishLeapYear(previous.year);
    if (j.day == 1) {
      ASSERT_EQ(previous.day, JewishMonthLength(previous.month, previous.year));
      ASSERT_EQ(j.month, NextJewishMonth(previous.month, leap));
      ASSERT_EQ(j.year, previous.month == kElul ? previous.year + 1 : previous.year);
    } else {
      ASSERT_EQ(j, (JewishDate{previous.year, previous.month, previous.day + 1}));
    }
    previous = j;
  }
}

TEST(Jewish, MonthOrder) {
  std::vector<int> common, leap;
  for (int m = 1, n = 0; n < 13; m = NextJewishMonth(m, false), ++n) common.push_back(m);
  for (int m = 1, n = 0; n < 14; m = NextJewishMonth(m, true), ++n) leap.push_back(m);
  EXPECT_EQ(common, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 1}));
  EXPECT_EQ(leap, (std::vector<int>{1, 2, 3, 4, 5, 6, 13, 7, 8, 9, 10, 11, 12, 1}));
  for (int m = 1; m <= 13; ++m) EXPECT_EQ(PreviousJewishMonth(NextJewishMonth(m, true), true), m);
}

TEST(Jewish, ExaminedYearSurvivesConversions) {
  ResetJewishCalendar();
  ExamineJewishYear(5784);
  GregorianToJewish(1, 1, 1800);
  JewishToGregorian({6100, 3, 5});
  FormatJewishLongDate({5900, 7, 1});
  EXPECT_EQ(ExaminedJewishYear().year, 5784);
  EXPECT_EQ(ExaminedJewishYear().type, 4);
  EXPECT_EQ(ExaminedJewishMonthName(kAdar), "Adar I");
  ExamineJewishYear(5785);
  EXPECT_EQ(ExaminedJewishMonthName(kAdar), "Adar");
}

TEST(Jewish, MonthNamesAndTheirForms) {
  MemorySettings settings;
  SetSettingsStore(&settings);
  ResetJewishCalendar();
  EXPECT_EQ(JewishMonthName(kAdar, true), "Adar I");
  EXPECT_EQ(JewishSpacedMonthName(kAdar, true), "A D A R   I");
  EXPECT_EQ(JewishSpacedMonthName(kAdarII, true), "A D A R   I I");
  EXPECT_EQ(JewishSpacedMonthName(kAdar, false), "A D A R");

  settings.Write("Jewish Setup", "M6", "Adar-with-a-long-name");
  settings.Write("Jewish Setup", "M1", "Tishri");
  RebuildJewishMonthNames();
  EXPECT_EQ(JewishMonthName(kTishrei, false), "Tishri");
  EXPECT_EQ(JewishMonthName(kAdar, false), "Adar-with-a-lon");  // at most 15 characters
  EXPECT_EQ(JewishMonthName(kAdarII, true), "Adar-with-a-lon II");
  settings.Write("Jewish Setup", "M1", "");
  RebuildJewishMonthNames();
  EXPECT_EQ(JewishMonthName(kTishrei, false), "Tishrei");
  SetSettingsStore(nullptr);
  ResetJewishCalendar();
}

TEST(Jewish, DatePictures) {
  ResetJewishCalendar();
  JewishDate d{5787, kKislev, 25};  // Saturday, 5 December 2026
  EXPECT_EQ(FormatJewishDate("dddd', 'MMMM' 'd', 'yyyy", d), "Saturday, Kislev 25, 5787");
  EXPECT_EQ(FormatJewishDate("M/d/yy", d), "3/25/87");
  EXPECT_EQ(FormatJewishDate("dd.MM.yyyy ddd MMM", d), "25.03.5787 Sat Kis");
  EXPECT_EQ(FormatJewishDate("d '' MMMM", JewishDate{5784, kAdarII, 14}), "14  Adar II");
  EXPECT_EQ(FormatJewishDate("d MMMM", JewishDate{5784, kAdar, 14}), "14 Adar I");
}

TEST(Jewish, ModeSwitchLimitsAndSetupChecks) {
  ScriptedMessages messages;
  ScopedMessageSink scope(messages);
  EXPECT_TRUE(CheckSwitchToGregorian(5463));
  EXPECT_FALSE(CheckSwitchToGregorian(5462));
  EXPECT_TRUE(CheckSwitchToJewish(1703));
  EXPECT_FALSE(CheckSwitchToJewish(1702));
  EXPECT_EQ(messages.Texts(), (std::vector<std::string>{"Jewish year must be at least 5463",
                                                        "Gregorian year must be at least 1703"}));
  messages.Clear();

  struct Case {
    JewishSetup setup;
    JewishSetupField field;
  };
  const Case cases[] = {
      {{false, 0, false, 500}, JewishSetupField::None},
      {{true, 1, true, 120}, JewishSetupField::None},
      {{true, 0, true, 42}, JewishSetupField::CandleMinutes},
      {{true, 121, false, 42}, JewishSetupField::CandleMinutes},
      {{true, 18, true, 0}, JewishSetupField::HavdalahMinutes},
  };
  for (const Case& c : cases) EXPECT_EQ(CheckJewishSetup(c.setup), c.field);
  EXPECT_EQ(messages.Shown().size(), 3u);
}

TEST(Jewish, InPlaceConversionsKeepTheTime) {
  DateStamp d{2026, 12, 5, 14, 30};
  ToJewishInPlace(d);
  EXPECT_EQ(d, (DateStamp{5787, 3, 25, 14, 30}));
  ToGregorianInPlace(d);
  EXPECT_EQ(d, (DateStamp{2026, 12, 5, 14, 30}));
  EXPECT_TRUE(IsValidJewishDate({5784, 13, 29}));
  EXPECT_FALSE(IsValidJewishDate({5785, 13, 1}));
  EXPECT_FALSE(IsValidJewishDate({5785, 2, 30}) && JewishYearOf(5785).cheshvan == 29);
}

}  // namespace
}  // namespace kv
