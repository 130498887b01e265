#include "overlays/overlay_source.h"

#include <gtest/gtest.h>

#include <random>

namespace kv {
namespace {

OverlayImage Compile(std::string_view text) {
  OverlayImage image;
  std::string error;
  EXPECT_TRUE(CompileOverlaySource(text, image, error)) << error;
  return image;
}

std::string CompileError(std::string_view text) {
  OverlayImage image;
  std::string error;
  EXPECT_FALSE(CompileOverlaySource(text, image, error));
  return error;
}

TEST(OverlaySource, FriendlyWordsSetTheFields) {
  OverlayImage image = Compile(R"(# a comment
overlay highlight=1 text_colour=#C00000

event "Independence Day" kind=annual month=7 day=4 weekend=nearest
  above=10 highlight=1
event "Thanksgiving" kind=nth-weekday month=11 day=22 weekday=thu time=09:30 sametime=3 zone=2
event "Payday" kind=every-n-days year=2026 month=1 day=9 n=14 range_end=2099/12/31 offset=-2
event "Good Friday" kind=easter easter=-2 below=5 pattern=cross pattern_colour=#102030 nogifts
event "Isaac" kind=yahrzeit year=5770 month=2 day=30 after_sunset leap_year alt1=2/30 alt2=3/1
event "Fête" kind=65 param=9 reserved=0102030405060708090A accent_reserved=7 icon=12
)");
  EXPECT_EQ(image.header.accent.highlight, 1);
  EXPECT_EQ(image.header.accent.flags, kAccentTextColour);
  EXPECT_EQ(image.header.accent.textColour, 0x0000C0u);  // Windows order: red in the low byte
  ASSERT_EQ(image.events.size(), 6u);
  const OverlayEvent& july = image.events[0];
  EXPECT_EQ(july.kind, kKindAnnual);
  EXPECT_EQ(july.flags, kFlagAboveTimed | 3);
  EXPECT_EQ(july.weight, 2990);
  EXPECT_EQ(july.accent.highlight, 1);
  const OverlayEvent& thanks = image.events[1];
  EXPECT_EQ(thanks.param, 4);
  EXPECT_EQ(thanks.flags, kFlagTimed);
  EXPECT_EQ(thanks.weight, 1440 - 570);
  EXPECT_EQ(thanks.sameTime, 3);
  EXPECT_EQ(thanks.zone, 2);
  const OverlayEvent& pay = image.events[2];
  EXPECT_EQ(pay.param, 20);
  EXPECT_EQ(pay.endYear, 2099);
  EXPECT_EQ(pay.endDay, 31);
  EXPECT_EQ(pay.offset, -2);
  const OverlayEvent& friday = image.events[3];
  EXPECT_EQ(friday.endYear, -2);
  EXPECT_EQ(friday.weight, -2005);
  EXPECT_EQ(friday.accent.flags, kAccentPattern | kAccentNoGifts);
  EXPECT_EQ(friday.accent.pattern, 6);
  EXPECT_EQ(friday.accent.patternColour, 0x302010u);
  const OverlayEvent& isaac = image.events[4];
  EXPECT_EQ(isaac.param, 6);
  EXPECT_EQ(static_cast<uint16_t>(isaac.endYear), 0x011E);
  EXPECT_EQ(isaac.endMonth, 0x32);
  const OverlayEvent& odd = image.events[5];
  EXPECT_EQ(odd.description, "F\xEAte");
  EXPECT_EQ(odd.reserved[9], 0x0A);
  EXPECT_EQ(odd.accent.reserved, 7u);
  EXPECT_EQ(odd.accent.flags, kAccentIcon);
}

TEST(OverlaySource, ErrorsNameTheLine) {
  EXPECT_EQ(CompileError("overlay\nevent \"x\" kind=annual month=13x\n"), "line 2: event: cannot use \"month=13x\"");
  EXPECT_EQ(CompileError("\n\nevent \"x\" weekday=someday"), "line 3: event: cannot use \"weekday=someday\"");
  EXPECT_EQ(CompileError("  kind=annual"), "line 1: continuation without an event");
  EXPECT_EQ(CompileError("holiday \"x\""), "line 1: a line must start with \"overlay\" or \"event\"");
  EXPECT_EQ(CompileError("event \"\xE2\x82\xAC ok \xE2\x98\x83\""), "line 1: a character of the text has no place in Windows-1252");
  EXPECT_EQ(CompileError("event \"open"), "line 1: text without its closing quote");
  EXPECT_EQ(CompileError("event \"" + std::string(120, 'x') + "\""), "line 1: description longer than 119 characters");
  EXPECT_EQ(CompileError("event \"x\"\noverlay"), "line 2: the overlay line must come once, before the events");
  EXPECT_EQ(CompileError("event \"x\" time=25:00"), "line 1: event: cannot use \"time=25:00\"");
  EXPECT_EQ(CompileError("event \"x\" text_colour=red"), "line 1: event: cannot use \"text_colour=red\"");
}

TEST(OverlaySource, EscapesAndWindows1252) {
  OverlayImage image = Compile("event \"a\\\"b\\\\c\\n\\x81\\x1C \xE2\x82\xAC \xC3\xA9\"");
  EXPECT_EQ(image.events[0].description, std::string("a\"b\\c\n\x81\x1C \x80 \xE9"));
  std::string text = DecompileOverlay(image);
  EXPECT_NE(text.find("\"a\\\"b\\\\c\\n\\x81\\x1C \xE2\x82\xAC \xC3\xA9\""), std::string::npos) << text;
}

// Any image, however odd its fields, decompiles to a text that compiles back to its bytes.
TEST(OverlaySource, DecompileThenCompileIsTheIdentity) {
  std::mt19937 rng(99);
  for (int round = 0; round < 200; ++round) {
    OverlayImage image;
    if (round % 3 == 0) image.header.magic = {'K', 'O', 'V', 'L'};
    if (round % 7 == 0) image.header.format = rng() % 9;
    if (round % 5 == 0) image.header.reserved[rng() % 8] = static_cast<uint8_t>(rng());
    image.header.accent.flags = static_cast<uint16_t>(rng() % 4 == 0 ? rng() : 0);
    image.header.accent.textColour = rng() % 2 ? static_cast<uint32_t>(rng()) & 0xFFFFFF : 0;
    int count = static_cast<int>(rng() % 6);
    for (int i = 0; i < count; ++i) {
      OverlayEvent e;
      bool wild = rng() % 4 == 0;
      const int kinds[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 25, 26, 27, 60, 61, 62, 63, 64, 65, 98, 99, 200};
      e.kind = static_cast<uint16_t>(wild ? rng() : kinds[rng() % std::size(kinds)]);
      e.year = static_cast<int16_t>(wild ? rng() : rng() % 3000);
      e.month = static_cast<uint16_t>(wild ? rng() : rng() % 13);
      e.day = static_cast<uint16_t>(wild ? rng() : rng() % 32);
      e.endYear = static_cast<int16_t>(rng() % 2 ? rng() : 0);
      e.endMonth = static_cast<uint16_t>(rng() % 2 ? rng() : 0);
      e.endDay = static_cast<uint16_t>(rng() % 2 ? rng() : 0);
      e.param = static_cast<uint16_t>(wild ? rng() : rng() % 10);
      e.offset = static_cast<int16_t>(rng() % 2 ? rng() : 0);
      e.flags = static_cast<uint16_t>(wild ? rng() : (rng() % 4) | (4 << (rng() % 3)));
      e.weight = static_cast<int16_t>(rng());
      if (!wild && (e.flags & kFlagTimed)) e.weight = static_cast<int16_t>(1440 - rng() % 1440);
      e.sameTime = static_cast<uint16_t>(rng() % 3 ? 0 : rng());
      e.zone = static_cast<uint16_t>(rng() % 3 ? 0 : rng());
      if (rng() % 5 == 0) e.reserved[rng() % 10] = static_cast<uint8_t>(rng());
      e.accent.highlight = static_cast<uint16_t>(rng() % 3 ? 0 : rng());
      e.accent.flags = static_cast<uint16_t>(rng() % 2 ? rng() : 0);
      e.accent.icon = static_cast<uint16_t>(rng() % 3 ? 0 : rng());
      e.accent.pattern = static_cast<uint16_t>(rng() % 3 ? 0 : rng() % 9);
      e.accent.patternColour = rng() % 3 ? 0 : static_cast<uint32_t>(rng()) & 0xFFFFFF;
      e.accent.reserved = rng() % 5 ? 0 : static_cast<uint32_t>(rng());
      int len = static_cast<int>(rng() % 120);
      for (int k = 0; k < len; ++k) e.description += static_cast<char>(rng() % 255 + 1);
      image.events.push_back(e);
    }
    std::vector<uint8_t> bytes = SerializeOverlay(image);
    std::string text = DecompileOverlay(image, "Test");
    OverlayImage again;
    std::string error;
    ASSERT_TRUE(CompileOverlaySource(text, again, error)) << error << "\n" << text;
    ASSERT_EQ(SerializeOverlay(again), bytes) << text;
  }
}

}  // namespace
}  // namespace kv
