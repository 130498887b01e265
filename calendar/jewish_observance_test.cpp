#include "calendar/jewish_observance.h"

#include <gtest/gtest.h>

#include "base/messages.h"

namespace kv {
namespace {

std::vector<DateStamp> DaysIn(const JewishRule& rule, int year, int month) {
  std::vector<JewishObservance> out;
  ObservancesInMonth(rule, year, month, out);
  std::vector<DateStamp> days;
  for (const auto& o : out) days.push_back(o.date);
  return days;
}

DateStamp Observed(const JewishRule& rule, int jewishYear) {
  JewishObservance o;
  EXPECT_TRUE(ObservanceInYear(rule, jewishYear, o));
  return o.date;
}

JewishRule Rule(int kind, int month, int day, int year = 0, int flags = 0) {
  JewishRule r;
  r.kind = kind;
  r.month = month;
  r.day = day;
  r.year = year;
  r.flags = flags;
  return r;
}

TEST(JewishObservance, FastsAndTheSabbath) {
  // 13 Adar II 5784 is Saturday 23 March 2024: the Fast of Esther is on Thursday the 21st.
  EXPECT_EQ(Observed(Rule(kJewishAnnualFast, kAdar, 13), 5784), (DateStamp{2024, 3, 21}));
  // Yom Kippur 5785 is Saturday 12 October 2024 and stays.
  EXPECT_EQ(Observed(Rule(kJewishAnnualFast, kTishrei, 10), 5785), (DateStamp{2024, 10, 12}));
  // Any other fast on a Saturday moves to Sunday; on other days it stays.
  int moved = 0;
  for (int y = 5700; y < 5900; ++y) {
    for (auto [m, d] : {std::pair{kTishrei, 3}, {kTammuz, 17}, {kAv, 9}}) {
      DateStamp g = JewishToGregorian({y, m, d});
      DateStamp want = Weekday(g.month, g.day, g.year) == 6 ? AddDays(g.month, g.day, g.year, 1) : g;
      moved += !(want == g);
      ASSERT_EQ(Observed(Rule(kJewishAnnualFast, m, d), y), want) << y << " " << m;
    }
  }
  EXPECT_GT(moved, 50);
}

TEST(JewishObservance, AdarInLeapAndCommonYears) {
  // An annual date of 14 Adar without a year shows in Adar II of a leap year.
  EXPECT_EQ(Observed(Rule(kJewishAnnualDate, kAdar, 14), 5784), JewishToGregorian({5784, kAdarII, 14}));
  EXPECT_EQ(Observed(Rule(kJewishAnnualDate, kAdar, 14), 5785), JewishToGregorian({5785, kAdar, 14}));

  struct Case {
    int flags, day, wantMonthInLeapYear;
  };
  // Birthdays in Adar with a year (no Yahrzeit alternatives involved).
  const Case cases[] = {
      {kJewishInLeapYear | kJewishInSecondAdar, 10, kAdarII},  // born in Adar II: Adar II
      {kJewishInLeapYear, 10, kAdar},                          // born in Adar I: Adar I
      {0, 10, kAdarII},                                        // born in a common Adar: Adar II
      {kJewishAfterSunset, 1, kAdar},                          // ... unless after sunset on the 1st
      {kJewishAfterSunset, 2, kAdarII},
  };
  for (const Case& c : cases) {
    JewishRule r = Rule(kJewishBirthday, kAdar, c.day, 5760, c.flags);
    EXPECT_EQ(Observed(r, 5784), JewishToGregorian({5784, c.wantMonthInLeapYear, c.day})) << c.flags;
    EXPECT_EQ(Observed(r, 5785), JewishToGregorian({5785, kAdar, c.day})) << c.flags;
  }
}

TEST(JewishObservance, ShortMonths) {
  // 5785 has a 29-day Cheshvan and Kislev? Find years of each kind and check the 30th.
  for (int y = 5780; y < 5800; ++y) {
    JewishYearFacts f = JewishYearOf(y);
    DateStamp annual = Observed(Rule(kJewishAnnualDate, kCheshvan, 30), y);
    DateStamp birthday = Observed(Rule(kJewishBirthday, kCheshvan, 30, 5700), y);
    if (f.cheshvan == 30) {
      EXPECT_EQ(annual, JewishToGregorian({y, kCheshvan, 30}));
      EXPECT_EQ(birthday, annual);
    } else {
      EXPECT_EQ(annual, JewishToGregorian({y, kCheshvan, 29}));   // other kinds: the 29th
      EXPECT_EQ(birthday, JewishToGregorian({y, kKislev, 1}));    // birthday: the 1st of Kislev
    }
  }
}

TEST(JewishObservance, YahrzeitAlternativesAndYearOfDeath) {
  // Death on 30 Cheshvan 5783 (a 30-day Cheshvan), the second case chosen as 29 Cheshvan.
  ASSERT_EQ(JewishYearOf(5783).cheshvan, 30);
  JewishRule r = Rule(kYahrzeit, kCheshvan, 30, 5783);
  r.altMonth[0] = kCheshvan, r.altDay[0] = 30;
  r.altMonth[1] = kCheshvan, r.altDay[1] = 29;
  for (int y = 5784; y < 5800; ++y) {
    int day = JewishYearOf(y).cheshvan == 30 ? 30 : 29;
    EXPECT_EQ(Observed(r, y), JewishToGregorian({y, kCheshvan, day})) << y;
  }
  // Not before the year of death.
  JewishObservance o;
  EXPECT_FALSE(ObservanceInYear(r, 5782, o));

  // Death in Adar of a common year: Adar in common years, the chosen Adar I in leap years.
  JewishRule adar = Rule(kYahrzeit, kAdar, 7, 5785);
  adar.altMonth[0] = kAdar, adar.altDay[0] = 7;
  adar.altMonth[1] = kAdar, adar.altDay[1] = 7;
  EXPECT_EQ(Observed(adar, 5787), JewishToGregorian({5787, kAdar, 7}));  // leap: Adar I as chosen
  EXPECT_EQ(Observed(adar, 5786), JewishToGregorian({5786, kAdar, 7}));

  // After sunset: in the year of death itself the day before.
  JewishRule evening = Rule(kYahrzeit, kNisan, 1, 5785, kJewishAfterSunset);
  ASSERT_TRUE(ObservanceInYear(evening, 5785, o));
  EXPECT_TRUE(o.eventYear);
  EXPECT_EQ(o.date, JewishToGregorian({5785, kAdar, 29}));  // back from the 1st: last day of Adar
  EXPECT_EQ(Observed(evening, 5786), JewishToGregorian({5786, kNisan, 1}));
}

TEST(JewishObservance, PeriodsSpanMonthsOnce) {
  // Chanukah 5785 begins on 25 Kislev = 26 December 2024 and lasts eight days.
  JewishRule chanukah = Rule(kJewishAnnualPeriod, kKislev, 25);
  chanukah.periodDays = 8;
  std::vector<DateStamp> december = DaysIn(chanukah, 2024, 12), january = DaysIn(chanukah, 2025, 1);
  ASSERT_EQ(december.size(), 6u);
  EXPECT_EQ(december.front(), (DateStamp{2024, 12, 26}));
  ASSERT_EQ(january.size(), 2u);
  EXPECT_EQ(january.back(), (DateStamp{2025, 1, 2}));
  // A period that crosses the new year belongs to the year it started in.
  JewishRule late = Rule(kJewishAnnualPeriod, kElul, 27);
  late.periodDays = 5;
  std::vector<DateStamp> september = DaysIn(late, 2026, 9);
  ASSERT_EQ(september.size(), 5u);
  EXPECT_EQ(september.front(), JewishToGregorian({5786, kElul, 27}));
}

TEST(JewishObservance, RoshChodesh) {
  JewishRule rc = Rule(kRoshChodesh, 1, 1);
  for (int month = 1; month <= 12; ++month) {
    std::vector<DateStamp> want;
    for (int d = 1; d <= MonthLength(month, 2026); ++d) {
      JewishDate j = GregorianToJewish(month, d, 2026);
      if ((j.day == 1 && j.month != kTishrei) || j.day == 30) want.push_back(DateStamp{2026, static_cast<uint16_t>(month), static_cast<uint16_t>(d)});
    }
    EXPECT_EQ(DaysIn(rc, 2026, month), want) << month;
  }
  // September 2026 holds Rosh Hashanah, which is no Rosh Chodesh.
  for (const DateStamp& d : DaysIn(rc, 2026, 9)) EXPECT_NE(d, (DateStamp{2026, 9, 12}));
}

TEST(JewishObservance, NewYearRetriedInTheAutumn) {
  // 1 Tishrei of the year that begins in September: found although September 1st lies in the
  // year before.
  EXPECT_EQ(DaysIn(Rule(kJewishAnnualDate, kTishrei, 1), 2026, 9), (std::vector<DateStamp>{{2026, 9, 12}}));
  EXPECT_EQ(DaysIn(Rule(kJewishAnnualDate, kTishrei, 15), 2026, 9), (std::vector<DateStamp>{{2026, 9, 26}}));
  EXPECT_TRUE(DaysIn(Rule(kJewishAnnualDate, kTishrei, 1), 2026, 8).empty());
  // Garbage never falls.
  EXPECT_TRUE(DaysIn(Rule(kJewishAnnualDate, 14, 1), 2026, 9).empty());
  EXPECT_TRUE(DaysIn(Rule(kJewishAnnualDate, 3, 0), 2026, 9).empty());
  EXPECT_TRUE(DaysIn(Rule(77, 3, 3), 2026, 9).empty());
}

TEST(JewishObservance, ObservanceDialog) {
  ResetJewishCalendar();
  YahrzeitObservanceForm f = MakeYahrzeitObservanceForm({5783, kCheshvan, 30}, true);
  EXPECT_EQ(f.cases[0].title, "30 Days in Cheshvan");
  EXPECT_EQ(f.cases[1].title, "29 Days in Cheshvan");
  EXPECT_EQ(f.deathSentence, "The death occurred after sunset of the 30th day of Cheshvan in the year 5783.");
  EXPECT_EQ(f.monthSentence,
            "The first anniversary month of Cheshvan in the year 5784 contains " +
                std::to_string(JewishMonthLength(kCheshvan, 5784)) + " days.");
  EXPECT_EQ(f.cases[1].month, kKislev);
  EXPECT_EQ(f.cases[1].day, 1);

  YahrzeitObservanceForm a = MakeYahrzeitObservanceForm({5785, kAdar, 12}, false);
  EXPECT_EQ(a.cases[1].monthNames, (std::vector<std::string>{"Adar I", "Adar II"}));
  EXPECT_EQ(a.deathSentence, "The death occurred before sunset of the 12th day of Adar in the year 5785.");
  EXPECT_TRUE(a.monthSentence.empty());
  EXPECT_TRUE(NeedsYahrzeitObservance({5785, kAdar, 12}));
  EXPECT_TRUE(NeedsYahrzeitObservance({5783, kKislev, 30}));
  EXPECT_FALSE(NeedsYahrzeitObservance({5783, kKislev, 29}));

  ScriptedMessages messages;
  ScopedMessageSink scope(messages);
  EXPECT_EQ(CheckYahrzeitObservance(f, {5783, kCheshvan, 30}), -1);
  f.cases[1].month = kCheshvan;
  f.cases[1].day = 30;  // a 29-day Cheshvan has no 30th
  EXPECT_EQ(CheckYahrzeitObservance(f, {5783, kCheshvan, 30}), 1);
  a.cases[0].day = 30;  // Adar of a common year has 29 days
  EXPECT_EQ(CheckYahrzeitObservance(a, {5785, kAdar, 12}), 0);
  EXPECT_EQ(messages.Texts(), (std::vector<std::string>(2, "Bad value entered at cursor position, please correct.")));
}

}  // namespace
}  // namespace kv
