#include "calendar/date_format.h"

#include <gtest/gtest.h>

#include "calendar/regional.h"

namespace kv {
namespace {

TEST(DateText, OrdinalSuffixes) {
  const struct { int n; const char* suffix; } cases[] = {
      {1, "st"},  {2, "nd"},  {3, "rd"},  {4, "th"},   {11, "th"},  {12, "th"},  {13, "th"}, {21, "st"},
      {22, "nd"}, {23, "rd"}, {100, "th"}, {101, "st"}, {111, "st"}, {112, "nd"}, {0, "th"},
  };
  // Only 11, 12 and 13 themselves are exceptions, so 111 is "111st".
  for (const auto& c : cases) EXPECT_STREQ(OrdinalSuffix(c.n), c.suffix) << c.n;
}

TEST(DateText, Possessives) {
  const struct { const char* name; const char* text; } cases[] = {
      {"Charles", "Charles' "}, {"MAX", "MAX' "}, {"Anna", "Anna's "}, {"", "'s "}};
  for (const auto& c : cases) EXPECT_EQ(Possessive(c.name), c.text) << c.name;
}

TEST(DateText, RegionalPictures) {
  EXPECT_EQ(FormatLongDate(12, 5, 2026), "Saturday, December 5, 2026");
  EXPECT_EQ(FormatShortDate(12, 5, 2026), "12/5/26");
  EXPECT_EQ(FormatShortDate(1, 9, 2005), "1/9/05");
}

TEST(DateText, PictureElements) {
  const struct { const char* picture; const char* text; } cases[] = {
      {"M/d/yy", "3/7/09"},
      {"MM/dd/yyyy", "03/07/2009"},
      {"MMM d", "Mar 7"},
      {"MMMM", "March"},
      {"ddd", "Sat"},
      {"dddd", "Saturday"},
      {"y", "09"},                 // a single y takes two characters
      {"yyy", "0909"},             // "yy" and then a lone "y" again
      {"dd.MM.yyyy", "07.03.2009"},
      {"'Week of' d", "Week of 7"},
      {"d 'de' MMMM", "7 de March"},
      {"'M' M", "M 3"},            // quoted letters are copied as they stand
      {"''", ""},
      {"'unterminated d", "unterminated d"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatGregorianDate(c.picture, 3, 7, 2009), c.text) << c.picture;
}

TEST(DateText, PictureWithOtherCalendarNames) {
  PictureDate d{5787, 1, 15, "Tishrei", "Monday"};
  EXPECT_EQ(FormatDatePicture("dddd, MMMM d, yyyy", d), "Monday, Tishrei 15, 5787");
}

RegionalSettings Twelve() { return RegionalSettings{}; }
RegionalSettings TwentyFour(bool zero) {
  RegionalSettings r;
  r.clock24 = true;
  r.hourLeadingZero = zero;
  return r;
}

TEST(TimeText, FullAndCompactForms) {
  RegionalSettings dotted = Twelve();
  dotted.hourLeadingZero = true;
  dotted.timeSeparator = '.';
  dotted.morning = "vorm.";
  const struct { int minutes; RegionalSettings r; const char* text; } full[] = {
      {0, Twelve(), "12:00 AM"},        {545, Twelve(), "9:05 AM"},         {720, Twelve(), "12:00 PM"},
      {1439, Twelve(), "11:59 PM"},     {65, TwentyFour(true), "01:05"},    {65, TwentyFour(false), "1:05"},
      {1305, TwentyFour(false), "21:45"}, {545, dotted, "09.05 vorm."},
  };
  for (const auto& c : full) EXPECT_EQ(FormatTimeOfDay(c.minutes, c.r), c.text) << c.minutes;
  // Values past a day come back into 1 ... 1440: an end at midnight is 24:00 / 12:00a.
  const struct { int minutes; RegionalSettings r; Designator d; const char* text; } compact[] = {
      {0, Twelve(), Designator::Letter, "12:00a"},         {750, Twelve(), Designator::Letter, "12:30p"},
      {750, Twelve(), Designator::Full, "12:30 PM"},       {65, TwentyFour(true), Designator::Letter, "01:05"},
      {1440, TwentyFour(false), Designator::Letter, "24:00"}, {1440, Twelve(), Designator::Letter, "12:00a"},
      {1500, TwentyFour(false), Designator::Letter, "1:00"},  {1440 * 2 + 30, Twelve(), Designator::Letter, "12:30a"},
  };
  for (const auto& c : compact) EXPECT_EQ(FormatTimeCompact(c.minutes, c.r, c.d), c.text) << c.minutes;
}

TEST(TimeText, CompactFormReportsDigitWidthForSingleDigitHours) {
  int calls = 0;
  MeasureText measure = [&](std::string_view text) {
    ++calls;
    return static_cast<int>(text.size()) * 7;
  };
  int width = -1;
  FormatTimeCompact(545, Twelve(), Designator::Letter, measure, &width);
  EXPECT_EQ(width, 7);
  FormatTimeCompact(600, Twelve(), Designator::Letter, measure, &width);
  EXPECT_EQ(width, 0);
  FormatTimeCompact(545, TwentyFour(true), Designator::Letter, measure, &width);
  EXPECT_EQ(width, 0);  // "09:05" already has two digits
  FormatTimeCompact(545, Twelve(), Designator::Letter, nullptr, &width);
  EXPECT_EQ(width, 0);
  EXPECT_EQ(calls, 1);
}

TEST(DateText, DayAndWeekLabels) {
  EXPECT_EQ(JulianDayLabel(3, 1, 2023), "60/305");
  EXPECT_EQ(JulianDayLabel(3, 1, 2024), "61/305");
  EXPECT_EQ(JulianDayLabel(12, 31, 2024), "366/0");
  EXPECT_EQ(WeekLabel(1, 5, 2026), "Week 1");
  EXPECT_EQ(WeekLabel(1, 1, 2026), "Week 53");
}

TEST(Regional, IntlValues) {
  RegionalSettings r;
  ApplyIntlValue(r, "iTime", "1");
  ApplyIntlValue(r, "sTime", ".");
  ApplyIntlValue(r, "s1159", "");            // empty keeps the default
  ApplyIntlValue(r, "s2359", "nachmittags");  // cut to six characters
  ApplyIntlValue(r, "iTLZero", "1");
  ApplyIntlValue(r, "iMeasure", "0");
  ApplyIntlValue(r, "sShortDate", "dd.MM.yyyy");
  ApplyIntlValue(r, "sUnknown", "x");
  EXPECT_TRUE(r.clock24);
  EXPECT_EQ(r.timeSeparator, '.');
  EXPECT_EQ(r.morning, "AM");
  EXPECT_EQ(r.afternoon, "nachmi");
  EXPECT_TRUE(r.hourLeadingZero);
  EXPECT_TRUE(r.metric);
  EXPECT_EQ(r.shortDatePicture, "dd.MM.yyyy");
}

}  // namespace
}  // namespace kv
