#include "datebox/date_parse.h"

#include <gtest/gtest.h>

#include "calendar/clock.h"
#include "calendar/jewish.h"

namespace kv {
namespace {

DateParseContext UsContext() {
  DateParseContext c;
  c.shortPicture = "M/d/yy";
  c.longPicture = "dddd', 'MMMM' 'd', 'yyyy";
  c.today = {2026, 12, 7};
  return c;
}

struct Good {
  const char* text;
  TypedDate want;
};

TEST(DateParse, ReadsTheFormsAUserTypes) {
  const Good cases[] = {
      {"3/15/2026", {2026, 3, 15}},
      {"3/15/26", {2026, 3, 15}},           // two digits: today's century
      {"03/05/1999", {1999, 3, 5}},
      {"3-15-2026", {2026, 3, 15}},         // any separator between numbers
      {"  3 15 2026  ", {2026, 3, 15}},
      {"3/15", {2026, 3, 15}},              // missing year from today
      {"5", {2026, 5, 7}},                  // one number takes the picture's first place
      {"Monday, December 7, 2026", {2026, 12, 7}},  // the long form read back
      {"December 7, 2026", {2026, 12, 7}},
      {"dec 25", {2026, 12, 25}},           // case-insensitive prefix, year from today
      {"DECEMBER 25 2027", {2027, 12, 25}},
      {"Feb 28", {2026, 2, 28}},
      {"Ju 4", {2026, 6, 4}},               // a prefix of two months: the first one
      {"Jul 4th, 1976", {1976, 7, 4}},      // ordinal suffix after a number
      {"Fri Jan 1 2027", {2027, 1, 1}},     // the weekday is ignored, right or wrong
      {"Tue 9", {2026, 9, 7}},              // weekday ignored; 9 takes the month place
      {"March", {2026, 3, 7}},              // a month name alone
      {"2/29/2028", {2028, 2, 29}},
      {"12/31/9999", {9999, 12, 31}},
      {"1/1/1583", {1583, 1, 1}},
  };
  for (const Good& g : cases) {
    std::optional<TypedDate> d = ParseTypedDate(g.text, UsContext());
    ASSERT_TRUE(d.has_value()) << g.text;
    EXPECT_EQ(*d, g.want) << g.text;
  }
}

TEST(DateParse, RefusesWhatIsNoDate) {
  const char* bad[] = {
      "",              // nothing typed
      "   ",
      "/ /",
      "99999",         // no month 99999
      "2/31/2026",     // a day the month does not have
      "Feb 30",
      "2/29/2027",     // not a leap year
      "13/1/2026",
      "0/1/2026",
      "1/0/2026",
      "Mon Tue 5",     // a second weekday name
      "Jan Feb 5",     // a second month name
      "1/2/3/4",       // four numbers
      "Feb 3 2026 7",  // more numbers than places
      "Blurb 5",       // a word that is no name
      "12/25/1582",    // before the calendar's first year
      "1/1/10000",
      "1234567890123", // too long for any place
  };
  for (const char* text : bad) EXPECT_FALSE(ParseTypedDate(text, UsContext()).has_value()) << text;
}

TEST(DateParse, NumbersFollowThePicturesOrder) {
  DateParseContext c = UsContext();
  c.shortPicture = "dd.MM.yyyy";
  c.longPicture = "d. MMMM yyyy";
  EXPECT_EQ(ParseTypedDate("31.01.2026", c), (TypedDate{2026, 1, 31}));
  EXPECT_EQ(ParseTypedDate("15.3", c), (TypedDate{2026, 3, 15}));
  EXPECT_EQ(ParseTypedDate("5. March 2026", c), (TypedDate{2026, 3, 5}));
  EXPECT_FALSE(ParseTypedDate("31/02/2026", c).has_value());

  c.shortPicture = "yyyy-MM-dd";
  EXPECT_EQ(ParseTypedDate("2026-02-03", c), (TypedDate{2026, 2, 3}));
  EXPECT_FALSE(ParseTypedDate("31/02/2026", c).has_value());  // day 2026 of February
}

TEST(DateParse, LiteralWordsOfThePictureAreBlankedAsWholeWords) {
  DateParseContext c = UsContext();
  c.longPicture = "d' de 'MMMM' de 'yyyy";
  EXPECT_EQ(ParseTypedDate("7 de December de 2026", c), (TypedDate{2026, 12, 7}));
  // "de" inside a month name stays: "December" still names the month.
  EXPECT_EQ(ParseTypedDate("7 December 2026", c), (TypedDate{2026, 12, 7}));
}

TEST(DateParse, JewishModeReadsJewishMonthsAndBothAdars) {
  ResetJewishCalendar();
  DateParseContext c = UsContext();
  c.jewish = true;
  c.today = {5787, kKislev, 27};
  ASSERT_TRUE(IsJewishLeapYear(5787));
  ASSERT_FALSE(IsJewishLeapYear(5786));
  const Good cases[] = {
      {"Tishrei 1 5787", {5787, kTishrei, 1}},
      {"nisan 15", {5787, kNisan, 15}},
      {"Adar I 30 5787", {5787, kAdar, 30}},
      {"Adar II 14 5787", {5787, kAdarII, 14}},
      {"adar ii 14", {5787, kAdarII, 14}},
      {"Adar 14 5786", {5786, kAdar, 14}},
      {"Kislev 27 87", {5787, kKislev, 27}},  // two digits: today's century
      {"13/14/5787", {5787, kAdarII, 14}},     // numbers: month 13 is Adar II
  };
  for (const Good& g : cases) {
    std::optional<TypedDate> d = ParseTypedDate(g.text, c);
    ASSERT_TRUE(d.has_value()) << g.text;
    EXPECT_EQ(*d, g.want) << g.text;
  }
  const char* bad[] = {"Adar II 14 5786", "Adar I 1 5786", "13/1/5786", "Adar 30 5786", "December 5", "Nisan 31"};
  for (const char* text : bad) EXPECT_FALSE(ParseTypedDate(text, c).has_value()) << text;
}

TEST(DateParse, TodayComesFromTheClock) {
  FixedClock clock({2030, 4, 9, 12, 0});
  SetClockSource(&clock);
  DateParseContext c = CurrentDateParseContext(false);
  EXPECT_EQ(c.today, (TypedDate{2030, 4, 9}));
  EXPECT_EQ(ParseTypedDate("Jun 2", c), (TypedDate{2030, 6, 2}));
  DateParseContext j = CurrentDateParseContext(true);
  JewishDate want = GregorianToJewish(4, 9, 2030);
  EXPECT_EQ(j.today, (TypedDate{want.year, want.month, want.day}));
  SetClockSource(nullptr);
}

TEST(DateParse, TheBoxTextReadsBackAsTheSameDate) {
  const TypedDate dates[] = {{2026, 1, 1}, {2026, 12, 31}, {2028, 2, 29}, {1583, 1, 1}};
  for (const TypedDate& d : dates) {
    std::string text = DateBoxText(d, false);
    EXPECT_EQ(ParseTypedDate(text, UsContext()), d) << text;
  }
  EXPECT_EQ(DateBoxText({2026, 12, 7}, false), "Monday, December 7, 2026");
}

}  // namespace
}  // namespace kv
