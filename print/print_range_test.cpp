#include "print/print_range.h"

#include <gtest/gtest.h>

#include "print/metafile_file.h"
#include "print/page_units.h"
#include "base/bytes.h"

namespace kv {
namespace {

TEST(PrintRange, ReadsEachFormat) {
  struct Case {
    RangeFormat format;
    const char* text;
    bool ok;
    RangeValue value;
  };
  const Case cases[] = {
      {RangeFormat::Year, "2026", true, {2026, 1, 1}},
      {RangeFormat::Year, " 1 ", true, {1, 1, 1}},
      {RangeFormat::Year, "9999", true, {9999, 1, 1}},
      {RangeFormat::Year, "0", false, {}},
      {RangeFormat::Year, "10000", false, {}},
      {RangeFormat::Year, "", false, {}},
      {RangeFormat::Year, "20x6", false, {}},
      {RangeFormat::Year, "-5", false, {}},
      {RangeFormat::Year, "11/2026", false, {}},
      {RangeFormat::Month, "11/2026", true, {2026, 11, 1}},
      {RangeFormat::Month, "2 / 2027", true, {2027, 2, 1}},
      {RangeFormat::Month, "13/2026", false, {}},
      {RangeFormat::Month, "0/2026", false, {}},
      {RangeFormat::Month, "11/", false, {}},
      {RangeFormat::Month, "/2026", false, {}},
      {RangeFormat::Month, "11/5/2026", false, {}},
      {RangeFormat::Day, "2/29/2028", true, {2028, 2, 29}},
      {RangeFormat::Day, "2/29/2027", false, {}},
      {RangeFormat::Day, "4/31/2026", false, {}},
      {RangeFormat::Day, "12/31/9999", true, {9999, 12, 31}},
      {RangeFormat::Day, "12/31", false, {}},
      {RangeFormat::Day, "1//2026", false, {}},
      {RangeFormat::Day, "00000000001/1/2026", false, {}},
      {RangeFormat::None, "1", false, {}},
  };
  for (const Case& c : cases) {
    auto value = ParseRangeValue(c.format, c.text);
    ASSERT_EQ(value.has_value(), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(*value, c.value) << c.text;
    }
  }
}

TEST(PrintRange, FormatsAndStepsAcrossYearAndMonthEnds) {
  struct Case {
    RangeFormat format;
    const char* text;
    int steps;
    const char* expected;
  };
  const Case cases[] = {
      {RangeFormat::Year, "2026", 1, "2027"},
      {RangeFormat::Year, "1", -1, "1"},          // no year 0
      {RangeFormat::Year, "9999", 1, "9999"},
      {RangeFormat::Month, "12/2026", 1, "1/2027"},
      {RangeFormat::Month, "1/2027", -1, "12/2026"},
      {RangeFormat::Month, " 11 / 2026", 3, "2/2027"},
      {RangeFormat::Month, "1/1", -1, "1/1"},
      {RangeFormat::Day, "12/31/2026", 1, "1/1/2027"},
      {RangeFormat::Day, "3/1/2028", -1, "2/29/2028"},
      {RangeFormat::Day, "1/1/1", -1, "1/1/1"},
      {RangeFormat::Day, "12/31/9999", 1, "12/31/9999"},
      {RangeFormat::Day, "junk", 1, "junk"},      // an unreadable text is left for the user
  };
  for (const Case& c : cases) EXPECT_EQ(StepRangeText(c.format, c.text, c.steps), c.expected) << c.text;
  EXPECT_EQ(FormatRangeValue(RangeFormat::Day, {2026, 11, 5}), "11/5/2026");
}

TEST(PrintRange, ChecksOrderAndNamesTheFailingBox) {
  struct Case {
    RangeFormat format;
    const char* from;
    const char* to;
    RangeBox failing;
  };
  const Case cases[] = {
      {RangeFormat::Year, "2026", "2026", RangeBox::None},
      {RangeFormat::Year, "2027", "2026", RangeBox::From},
      {RangeFormat::Year, "x", "2026", RangeBox::From},
      {RangeFormat::Year, "2026", "", RangeBox::To},
      {RangeFormat::Month, "11/2026", "2/2027", RangeBox::None},   // across the year end
      {RangeFormat::Month, "3/2026", "2/2026", RangeBox::From},
      {RangeFormat::Month, "2/2027", "11/2026", RangeBox::From},
      // A later start day used to pass when month and year were in order: refused as well.
      {RangeFormat::Day, "11/6/2026", "11/5/2026", RangeBox::From},
      {RangeFormat::Day, "12/31/2026", "1/1/2027", RangeBox::None},
      {RangeFormat::Day, "1/1/2027", "12/31/2026", RangeBox::From},
      {RangeFormat::Day, "1/1/2027", "2/30/2027", RangeBox::To},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CheckRange(c.format, c.from, c.to).failing, c.failing) << c.from << " - " << c.to;
  }
  CheckedRange good = CheckRange(RangeFormat::Month, "11/2026", "2/2027");
  EXPECT_EQ(good.from, (RangeValue{2026, 11, 1}));
  EXPECT_EQ(good.to, (RangeValue{2027, 2, 1}));
}

TEST(PrintRange, PhonebookFirstMayNotFollowLast) {
  EXPECT_EQ(CheckPhoneRange(0, 4, 5), RangeBox::None);
  EXPECT_EQ(CheckPhoneRange(2, 2, 5), RangeBox::None);
  EXPECT_EQ(CheckPhoneRange(3, 1, 5), RangeBox::From);
  EXPECT_EQ(CheckPhoneRange(-1, 1, 5), RangeBox::From);
  EXPECT_EQ(CheckPhoneRange(0, 5, 5), RangeBox::To);
  EXPECT_EQ(CheckPhoneRange(0, 0, 0), RangeBox::From);
}

TEST(PrintRange, KindsAskForTheirFormats) {
  EXPECT_EQ(RangeFormatOfKind(0), RangeFormat::Year);
  EXPECT_EQ(RangeFormatOfKind(1), RangeFormat::Month);
  EXPECT_EQ(RangeFormatOfKind(3), RangeFormat::Day);
  EXPECT_EQ(RangeFormatOfKind(4, true), RangeFormat::Day);
  EXPECT_EQ(RangeFormatOfKind(4, false), RangeFormat::None);
  EXPECT_EQ(RangeFormatOfKind(5), RangeFormat::Day);
  EXPECT_EQ(RangeFormatOfKind(6), RangeFormat::None);
  EXPECT_EQ(RangeFormatOfKind(7), RangeFormat::None);
}

// A small metafile: header, one record (SetMapMode, 4 words) and the end record.
std::vector<uint8_t> TinyMetafile() {
  std::vector<uint8_t> m(18 + 8 + 6);
  PutU16LE(&m[0], 1);
  PutU16LE(&m[2], 9);
  PutU16LE(&m[4], 0x0300);
  PutU32LE(&m[6], static_cast<uint32_t>(m.size() / 2));
  PutU16LE(&m[10], 0);
  PutU32LE(&m[12], 4);
  PutU32LE(&m[18], 4);
  PutU16LE(&m[22], 0x0103);
  PutU16LE(&m[24], 8);
  PutU32LE(&m[26], 3);
  PutU16LE(&m[30], 0);
  return m;
}

TEST(PlaceableMetafile, HeaderAndRecordsCheckOut) {
  const std::vector<uint8_t> file = MakePlaceableMetafile(TinyMetafile(), 11000, 8000, 1000);
  ASSERT_EQ(file.size(), 22u + 32u);
  EXPECT_EQ(ReadU32LE(file.data()), 0x9AC6CDD7u);
  // The checksum of a known header, worked out by hand: the XOR of the first ten words.
  uint16_t sum = 0;
  for (int i = 0; i < 20; i += 2) sum ^= ReadU16LE(&file[i]);
  EXPECT_EQ(ReadU16LE(&file[20]), sum);
  MetafileCheck check = CheckPlaceableMetafile(file);
  EXPECT_TRUE(check.ok) << check.problem;
  EXPECT_EQ(check.width, 11000);
  EXPECT_EQ(check.height, 8000);
  EXPECT_EQ(check.unitsPerInch, 1000);
  EXPECT_EQ(check.records, 1);
}

TEST(PlaceableMetafile, DamageIsFound) {
  const std::vector<uint8_t> good = MakePlaceableMetafile(TinyMetafile(), 500, 400, 1000);
  struct Case {
    size_t offset;
    uint8_t value;
  };
  const Case damages[] = {{0, 0}, {10, 0x7F}, {22, 7}, {28, 99}, {40, 0xFF}, {48, 1}};
  for (const Case& d : damages) {
    std::vector<uint8_t> bad = good;
    bad[d.offset] = d.value;
    EXPECT_FALSE(CheckPlaceableMetafile(bad).ok) << d.offset;
  }
  std::vector<uint8_t> cut(good.begin(), good.end() - 6);
  EXPECT_FALSE(CheckPlaceableMetafile(cut).ok);
  EXPECT_FALSE(CheckPlaceableMetafile({}).ok);
  // Oversized pictures are clamped into the 16-bit bounds rather than wrapped.
  EXPECT_EQ(CheckPlaceableMetafile(MakePlaceableMetafile(TinyMetafile(), 70000, 10, 1000)).width, 32767);
}

TEST(PageUnits, InchesAndCentimetresRoundTrip) {
  struct Case {
    int twips;
    bool metric;
    const char* text;
  };
  const Case cases[] = {
      {720, false, "0.50"}, {1440, false, "1.00"}, {0, false, "0.00"}, {1800, false, "1.25"},
      {567, true, "1.00"},  {720, true, "1.27"},   {2835, true, "5.00"}, {100, false, "0.07"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatPageMeasure(c.twips, c.metric), c.text) << c.twips;
    // What is shown reads back to the same twips within the rounding of two decimals.
    auto back = ParsePageMeasure(c.text, c.metric);
    ASSERT_TRUE(back.has_value()) << c.text;
    EXPECT_NEAR(*back, c.twips, c.metric ? 3 : 8) << c.text;
  }
}

TEST(PageUnits, ReadsWhatUsersType) {
  struct Case {
    const char* text;
    bool metric;
    int twips;  // -1: refused
  };
  const Case cases[] = {
      {"1", false, 1440},  {" 0.5 ", false, 720}, {".75", false, 1080}, {"1,5", true, 851},
      {"2.", false, 2880}, {"22", false, 31680},  {"22.01", false, -1}, {"-1", false, -1},
      {"", false, -1},     {".", false, -1},      {"1.2.3", false, -1}, {"1 in", false, -1},
      {"0.12345678", false, 178}, {"0.1234567890", false, -1},
  };
  for (const Case& c : cases) {
    auto twips = ParsePageMeasure(c.text, c.metric);
    if (c.twips < 0) {
      EXPECT_FALSE(twips.has_value()) << c.text;
    } else {
      ASSERT_TRUE(twips.has_value()) << c.text;
      EXPECT_EQ(*twips, c.twips) << c.text;
    }
  }
}

}  // namespace
}  // namespace kv
