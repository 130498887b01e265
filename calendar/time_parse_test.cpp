#include "calendar/time_parse.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

TEST(TimeParse, TwelveHourClock) {
  RegionalSettings r;
  const struct { const char* text; int minutes; } good[] = {
      {"9:30", 570},     {"09:30", 570},     {"9:30p", 1290},   {"9:30 PM", 1290}, {"9:30pm", 1290},
      {"9:30 p.m.", 1290}, {"9:30 a.m.", 570}, {"21:30", 1290},   {"12a", 0},        {"12 AM", 0},
      {"12p", 720},      {"12:15 pm", 735},  {"0930", 570},     {"930", 570},      {"9", 540},
      {"0", 0},          {"  7:05  ", 425},  {"23:59", 1439},   {"9.30", 570},     {"1200", 720},
      {"12:00", 720},    {"11:59p", 1439},
  };
  for (const auto& c : good) {
    auto parsed = ParseTimeOfDay(c.text, r);
    ASSERT_TRUE(parsed.has_value()) << c.text;
    EXPECT_EQ(*parsed, c.minutes) << c.text;
  }
  const char* bad[] = {"", "  ", "noon", "24:00", "9:60", "9:3", "13p", "0a", "9:30 xm", "12345",
                       "9::30", ":30", "9:30pmx", "-1", "1:2:3", "9:30 q"};
  for (const char* text : bad) EXPECT_FALSE(ParseTimeOfDay(text, r).has_value()) << text;
}

TEST(TimeParse, TwentyFourHourClockAndRegionalWords) {
  RegionalSettings h24;
  h24.clock24 = true;
  RegionalSettings german;
  german.timeSeparator = 'h';
  german.morning = "vorm";
  german.afternoon = "nachm";
  const struct { RegionalSettings r; const char* text; std::optional<int> minutes; } cases[] = {
      {h24, "21:30", 1290},      {h24, "0:05", 5},           {h24, "9:30 PM", std::nullopt}, {h24, "12a", std::nullopt},
      {german, "9h30", 570},     {german, "9h30 nachm", 1290}, {german, "9:30 VORM", 570},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseTimeOfDay(c.text, c.r), c.minutes) << c.text;
}

}  // namespace
}  // namespace kv
