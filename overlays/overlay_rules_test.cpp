#include "overlays/overlay_rules.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

#include "calendar/zone_conversion.h"

namespace kv {
namespace {

OverlayEvent Event(int kind, int year, int month, int day, int param = 0, int flags = 0, int offset = 0) {
  OverlayEvent e;
  e.kind = static_cast<uint16_t>(kind);
  e.year = static_cast<int16_t>(year);
  e.month = static_cast<uint16_t>(month);
  e.day = static_cast<uint16_t>(day);
  e.param = static_cast<uint16_t>(param);
  e.flags = static_cast<uint16_t>(flags);
  e.offset = static_cast<int16_t>(offset);
  e.weight = -2999;
  e.description = "Event";
  return e;
}

std::vector<int> Days(const OverlayEvent& e, int year, int month) {
  std::vector<EventHit> hits;
  EventHitsInMonth(e, year, month, RangeKeysOf(e), hits);
  std::vector<int> days;
  for (const EventHit& h : hits) days.push_back(h.date.day);
  return days;
}

using V = std::vector<int>;

TEST(OverlayRules, WeekendRules) {
  struct Case {
    const char* what;
    OverlayEvent event;
    int year, month;
    V days;
  };
  const Case cases[] = {
      {"4 July 2026 is a Saturday: Friday", Event(6, 0, 7, 4, 0, 3), 2026, 7, {3}},
      {"4 July 2027 is a Sunday: Monday", Event(6, 0, 7, 4, 0, 3), 2027, 7, {5}},
      {"rule 2 moves Saturday to Monday", Event(6, 0, 7, 4, 0, 2), 2026, 7, {6}},
      {"rule 0 stays", Event(6, 0, 7, 4, 0, 0), 2026, 7, {4}},
      // Sunday 1 February 2026 with rule 1: back to Friday 30 January, the second-last day.
      {"Sunday the 1st, Friday before", Event(4, 0, 1, 1, 0, 1), 2026, 1, {1, 30}},
      {"... and 1 March, a Sunday, on 27 February", Event(4, 0, 1, 1, 0, 1), 2026, 2, {27}},
      // New Year's Day 2022 is a Saturday: with rule 3 it is observed on 31 December 2021.
      {"carried into the previous year", Event(6, 0, 1, 1, 0, 3), 2021, 12, {31}},
      {"... and not in its own January", Event(6, 0, 1, 1, 0, 3), 2022, 1, {}},
      {"weekly Saturday moved to Friday", Event(2, 0, 1, 1, 6, 1), 2026, 1, {2, 9, 16, 23, 30}},
      {"monthly 31st only where it exists", Event(4, 0, 1, 31), 2026, 4, {}},
      {"last day of February", Event(26, 0, 1, 1), 2024, 2, {29}},
  };
  for (const Case& c : cases) EXPECT_EQ(Days(c.event, c.year, c.month), c.days) << c.what;
}

TEST(OverlayRules, PeriodicKinds) {
  OverlayEvent every3 = Event(3, 2026, 1, 30, 3 + 6);
  every3.endYear = 2026, every3.endMonth = 12, every3.endDay = 31;
  EXPECT_EQ(Days(every3, 2026, 1), (V{30}));
  EXPECT_EQ(Days(every3, 2026, 2).front(), 2);  // not 1 February
  EXPECT_TRUE(Days(every3, 2025, 12).empty());    // counts only from its date

  OverlayEvent every5 = Event(13, 2026, 1, 10, 5 + 6);
  std::map<std::pair<int, int>, V> want = {{{2026, 6}, {10}}, {{2026, 11}, {10}}, {{2027, 4}, {10}},
                                        {{2027, 9}, {10}}, {{2025, 8}, {10}}, {{2025, 3}, {10}}};
  for (int y = 2025; y <= 2027; ++y) {
    for (int m = 1; m <= 12; ++m) {
      auto it = want.find({y, m});
      V expect = it != want.end() ? it->second : (y == 2026 && m == 1 ? V{10} : V{});
      EXPECT_EQ(Days(every5, y, m), expect) << y << "-" << m;
    }
  }
  // N below 1 counts as 2 months and as 14 days.
  EXPECT_EQ(Days(Event(13, 2026, 1, 10, 0), 2026, 3), (V{10}));
  EXPECT_EQ(Days(Event(3, 2026, 1, 1, 0), 2026, 1), (V{1, 15, 29}));

  OverlayEvent everyOther = Event(14, 2024, 2, 29, 2 + 6);
  EXPECT_EQ(Days(everyOther, 2024, 2), (V{29}));
  EXPECT_EQ(Days(everyOther, 2026, 3), (V{1}));  // 29 February of a common year: 1 March
  EXPECT_TRUE(Days(everyOther, 2025, 3).empty());
}

TEST(OverlayRules, WeekdayKinds) {
  EXPECT_EQ(Days(Event(25, 0, 1, 1, 5), 2024, 2), (V{23}));       // last Friday, searched from the 23rd
  EXPECT_EQ(Days(Event(5, 0, 1, 15, 1), 2026, 12), (V{21}));      // third Monday
  EXPECT_EQ(Days(Event(7, 0, 11, 22, 4), 2026, 11), (V{26}));     // fourth Thursday of November
  EXPECT_EQ(Days(Event(27, 0, 5, 1, 1), 2026, 5), (V{25}));       // last Monday of May
  EXPECT_EQ(Days(Event(8, 0, 11, 2, 2), 2026, 11), (V{3}));       // Tuesday after the first Monday
  EXPECT_EQ(Days(Event(8, 0, 2, 28, 1), 2027, 3), (V{1}));        // floating into the next month
  EXPECT_EQ(Days(Event(2, 0, 1, 1, 3), 2026, 12), (V{2, 9, 16, 23, 30}));
  EXPECT_EQ(Days(Event(2, 0, 1, 1, 9), 2026, 12), (V{}));          // no such weekday
  EXPECT_EQ(Days(Event(12, 0, 0, 0), 2024, 3), (V{31}));           // Easter 2024
  OverlayEvent goodFriday = Event(12, 0, 0, 0);
  goodFriday.endYear = -2;
  EXPECT_EQ(Days(goodFriday, 2024, 3), (V{29}));
  goodFriday.endYear = -60;
  EXPECT_EQ(Days(goodFriday, 2038, 2), (V{24}));                    // 25 April 2038 - 60 days
}

TEST(OverlayRules, BirthdaysAndAnniversaries) {
  OverlayEvent charles = Event(9, 2021, 1, 3, 0, 0, -7);
  charles.description = "Charles";
  std::vector<EventHit> hits;
  EventHitsInMonth(charles, 2025, 12, RangeKeys{}, hits);
  ASSERT_EQ(hits.size(), 1u);  // the 2026 birthday, a week early
  EXPECT_EQ(hits[0].date, (DateStamp{2025, 12, 27}));
  EXPECT_EQ(EventText(charles, hits[0]), "Charles' 5th Birthday");
  DayEntry entry;
  FillEntry(charles, hits[0], entry);
  EXPECT_EQ(entry.offset, -7);
  // The birth itself (2021) shows a week early, in December 2020; nothing comes before it.
  EXPECT_EQ(Days(charles, 2020, 12), (V{27}));
  EXPECT_TRUE(Days(charles, 2019, 12).empty());

  EXPECT_EQ(BirthdayText("Anna", 0), "Anna was born!");
  EXPECT_EQ(BirthdayText("Anna", 21), "Anna's 21st Birthday");
  EXPECT_EQ(BirthdayText("Max", 12), "Max' 12th Birthday");
  EXPECT_EQ(AnniversaryText("Max and Julia", 25, true), "Max and Julia's 25th Anniversary");
  EXPECT_EQ(AnniversaryText("Company", 3, false), "Company - 3rd Anniversary");
  EXPECT_EQ(AnniversaryText("Max and Julia", 0, true), "Max and Julia Wedding Day!");
  EXPECT_EQ(AnniversaryText("Company", 0, false), "Company");

  // Years past 15 only in fives, up to 60 and 75; then nothing.
  const int gifts[][2] = {{1, 1}, {14, 14}, {15, 15}, {16, 0}, {20, 16}, {25, 17}, {60, 24}, {75, 25}, {70, 0}};
  for (const auto& g : gifts) EXPECT_EQ(GiftPosition(g[0]), g[1]) << g[0];
  EXPECT_EQ(GiftText(0), "");
  EXPECT_EQ(GiftText(26), "");

  OverlayEvent wedding = Event(10, 2001, 6, 20, 0);
  wedding.description = "Max and Julia";
  EventHit h;
  h.baseYear = 2026;
  FillEntry(wedding, h, entry);
  EXPECT_EQ(entry.gift, 17);
  wedding.accent.flags = kAccentNoGifts;
  FillEntry(wedding, h, entry);
  EXPECT_EQ(entry.gift, 0);
  wedding.param = 1;
  wedding.accent.flags = 0;
  FillEntry(wedding, h, entry);
  EXPECT_EQ(entry.gift, 0);  // only wedding anniversaries carry gifts
}

TEST(OverlayRules, JewishTexts) {
  OverlayEvent y = Event(kKindYahrzeit, 5785, kNisan, 1, kJewishAfterSunset);
  y.description = "Isaac";
  EventHit h;
  h.baseYear = 5785;
  h.eventYear = true;
  EXPECT_EQ(EventText(y, h), "Isaac passed away\xBB");
  h.baseYear = 5787;
  h.eventYear = false;
  EXPECT_EQ(EventText(y, h), "Isaac - 2nd Yahrzeit");
  OverlayEvent b = Event(kKindJewishBirthday, 5785, kNisan, 1, kJewishAfterSunset);
  b.description = "Sarah";
  h.baseYear = 5785;
  h.eventYear = true;
  EXPECT_EQ(EventText(b, h), "Sarah was born!\xBB (J)");
  h.baseYear = 5788;
  h.eventYear = false;
  EXPECT_EQ(EventText(b, h), "Sarah's 3rd Birthday (J)");
}

TEST(OverlayRules, DateRanges) {
  OverlayEvent daily = Event(11, 2026, 3, 10);
  daily.endYear = 2026, daily.endMonth = 3, daily.endDay = 14;
  EXPECT_EQ(Days(daily, 2026, 3), (V{10, 11, 12, 13, 14}));
  EXPECT_TRUE(Days(daily, 2026, 4).empty());
  // Ranges ending past 8017 (where 32-bit minute keys wrap) still hold.
  OverlayEvent forever = Event(6, 2021, 6, 19, 0, 3);
  forever.endYear = 9999, forever.endMonth = 12, forever.endDay = 31;
  EXPECT_EQ(Days(forever, 2026, 6), (V{19}));
  EXPECT_TRUE(Days(forever, 2020, 6).empty());
  // The first occurrence, a Saturday, is observed on the Friday before the range begins.
  EXPECT_EQ(Days(forever, 2021, 6), (V{18}));
  // Evaluate searches from a day.
  EXPECT_EQ(Evaluate(daily, 2026, 3, 1, RangeKeysOf(daily)), 10);
  EXPECT_EQ(Evaluate(daily, 2026, 3, 13, RangeKeysOf(daily)), 13);
  EXPECT_EQ(Evaluate(daily, 2026, 3, 15, RangeKeysOf(daily)), 0);
}

TEST(OverlayRules, TimeZoneShift) {
  // The event's zone is ten hours behind the home zone: 20:00 there is 06:00 the next day here.
  SetZoneConversion([](const DateStamp& local, int from, int to) {
    int shift = (from == 5 && to == 0) ? 600 : 0;
    DateStamp d = local;
    int minutes = d.hour * 60 + d.minute + shift;
    DateStamp next = AddDays(d.month, d.day, d.year, minutes / 1440);
    next.hour = static_cast<uint16_t>(minutes % 1440 / 60);
    next.minute = static_cast<uint16_t>(minutes % 60);
    return next;
  });
  SetCurrentZone(0);
  OverlayEvent e = Event(6, 0, 12, 31, 0, kFlagTimed);
  e.weight = static_cast<int16_t>(TimedListingWeight(20 * 60));
  e.zone = 5;
  std::vector<EventHit> hits;
  EventHitsInMonth(e, 2027, 1, RangeKeys{}, hits);
  ASSERT_EQ(hits.size(), 1u);
  EXPECT_EQ(hits[0].date, (DateStamp{2027, 1, 1}));
  EXPECT_EQ(hits[0].listingWeight, 1440 - 360);
  EXPECT_TRUE(Days(e, 2026, 12).empty());
  e.zone = 0;  // the home zone: no shift
  EXPECT_EQ(Days(e, 2026, 12), (V{31}));
  SetZoneConversion(nullptr);
}

// The occurrences of a rule worked out day by day over many years, independently of the month
// search: every occurrence must show in exactly one month, exactly once.
bool IsBase(const OverlayEvent& e, const DateStamp& d) {
  int wd = Weekday(d.month, d.day, d.year), len = MonthLength(d.month, d.year);
  int n = static_cast<int>(e.param) - 6;
  switch (e.kind) {
    case 2: return wd == e.param;
    case 4: return d.day == e.day;
    case 5: return wd == e.param && d.day >= e.day && d.day < e.day + 7;
    case 6: return d.month == e.month && d.day == e.day;
    case 7: return d.month == e.month && wd == e.param && d.day >= e.day && d.day < e.day + 7;
    case 13: return d.day == e.day && (((d.year - e.year) * 12 + d.month - e.month) % n + n) % n == 0;
    case 25: return wd == e.param && d.day > len - 7;
    case 26: return d.day == len;
    case 27: return d.month == e.month && wd == e.param && d.day > len - 7;
    default: return false;
  }
}

int32_t Move(int32_t jdn, int rule) {
  int wd = (jdn + 1) % 7;
  if (wd == 6) return jdn + (rule == 1 || rule == 3 ? -1 : rule == 2 ? 2 : 0);
  if (wd == 0) return jdn + (rule == 1 ? -2 : rule == 2 || rule == 3 ? 1 : 0);
  return jdn;
}

TEST(OverlayRules, EveryOccurrenceShowsExactlyOnce) {
  std::mt19937 rng(20261206);
  const int kinds[] = {2, 4, 5, 6, 7, 13, 25, 26, 27};
  for (int round = 0; round < 300; ++round) {
    int kind = kinds[rng() % std::size(kinds)];
    int month = static_cast<int>(rng() % 12) + 1;
    int day = kind == 5 || kind == 7 ? static_cast<int>(rng() % 4) * 7 + 1 : static_cast<int>(rng() % 28) + 1;
    int param = kind == 13 ? static_cast<int>(rng() % 5) + 7 : static_cast<int>(rng() % 7);
    int rule = kind == 7 || kind == 27 ? 0 : static_cast<int>(rng() % 4);
    int offset = static_cast<int>(rng() % 81) - 40;
    if (round % 5 == 0) offset = static_cast<int>(rng() % 801) - 400;
    OverlayEvent e = Event(kind, 2000, month, day, param, rule, offset);
    bool weekend = kind != 7 && kind != 27;
    std::multiset<int32_t> want;
    for (int32_t j = JulianDayNumber(1, 1, 1995); j <= JulianDayNumber(12, 31, 2005); ++j) {
      DateStamp d = DateOfJulianDay(j);
      if (!IsBase(e, d)) continue;
      int32_t hit = (weekend ? Move(j, rule) : j) + offset;
      if (hit >= JulianDayNumber(1, 1, 1998) && hit <= JulianDayNumber(12, 31, 2002)) want.insert(hit);
    }
    std::multiset<int32_t> got;
    for (int y = 1998; y <= 2002; ++y) {
      for (int m = 1; m <= 12; ++m) {
        std::vector<EventHit> hits;
        EventHitsInMonth(e, y, m, RangeKeys{}, hits);
        for (const EventHit& h : hits) got.insert(JulianDayNumber(h.date.month, h.date.day, h.date.year));
      }
    }
    ASSERT_EQ(got, want) << "kind " << kind << " " << month << "/" << day << " param " << param << " rule " << rule
                         << " offset " << offset;
  }
}

TEST(OverlayRules, GarbageNeverFallsOrCrashes) {
  std::mt19937 rng(7);
  for (int i = 0; i < 20000; ++i) {
    OverlayEvent e;
    e.kind = static_cast<uint16_t>(rng() % 110);
    e.year = static_cast<int16_t>(rng());
    e.month = static_cast<uint16_t>(rng() % 20);
    e.day = static_cast<uint16_t>(rng() % 40);
    e.endYear = static_cast<int16_t>(rng());
    e.endMonth = static_cast<uint16_t>(rng());
    e.endDay = static_cast<uint16_t>(rng() % 3 ? 0 : rng());
    e.param = static_cast<uint16_t>(rng() % 3 ? rng() % 20 : rng());
    e.offset = static_cast<int16_t>(rng());
    e.flags = static_cast<uint16_t>(rng());
    e.weight = static_cast<int16_t>(rng());
    std::vector<EventHit> hits;
    int year = 1900 + static_cast<int>(rng() % 200), month = static_cast<int>(rng() % 12) + 1;
    EventHitsInMonth(e, year, month, RangeKeysOf(e), hits);
    for (const EventHit& h : hits) {
      ASSERT_EQ(h.date.year, year);
      ASSERT_EQ(h.date.month, month);
      EventText(e, h);
    }
  }
}

}  // namespace
}  // namespace kv
