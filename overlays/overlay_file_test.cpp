#include "overlays/overlay_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "calendar/regional.h"
#include "calendar/zone_conversion.h"
#include "overlays/overlay_rules.h"
#include "base/bytes.h"

namespace kv {
namespace {

namespace fs = std::filesystem;

class TempFolder {
 public:
  TempFolder() {
    path_ = fs::temp_directory_path() / ("kvtest-" + std::to_string(std::random_device{}()));
    fs::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  fs::path path_;
};

void Write(const std::string& path, const std::vector<uint8_t>& bytes) { ASSERT_TRUE(WriteFileReplacing(path, bytes)); }

OverlayEvent Sample(int i) {
  OverlayEvent e;
  e.kind = kKindAnnual;
  e.month = static_cast<uint16_t>(i % 12 + 1);
  e.day = static_cast<uint16_t>(i % 28 + 1);
  e.flags = kFlagBelowTimed;
  e.weight = -2999;
  e.description = "Event " + std::to_string(i);
  return e;
}

TEST(OverlayFile, RecordByteImagesRoundTrip) {
  // Every field at its offset, little-endian.
  std::vector<uint8_t> image(kEventFixedSize);
  for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 7 + 1);
  auto u16 = [&](size_t at) { return static_cast<uint16_t>(image[at] | image[at + 1] << 8); };
  auto u32 = [&](size_t at) { return static_cast<uint32_t>(u16(at) | static_cast<uint32_t>(u16(at + 2)) << 16); };
  OverlayEvent e;
  ParseEventFixed(image.data(), e);
  EXPECT_EQ(e.kind, u16(0));
  EXPECT_EQ(e.year, static_cast<int16_t>(u16(2)));
  EXPECT_EQ(e.day, u16(6));
  EXPECT_EQ(e.endYear, static_cast<int16_t>(u16(8)));
  EXPECT_EQ(e.endDay, u16(12));
  EXPECT_EQ(e.param, u16(14));
  EXPECT_EQ(e.offset, static_cast<int16_t>(u16(16)));
  EXPECT_EQ(e.flags, u16(18));
  EXPECT_EQ(e.accent.highlight, u16(20));
  EXPECT_EQ(e.accent.patternColour, u32(28));
  EXPECT_EQ(e.accent.reserved, u32(36));
  EXPECT_EQ(e.weight, static_cast<int16_t>(u16(40)));
  EXPECT_EQ(e.sameTime, u16(42));
  EXPECT_EQ(e.zone, u16(44));
  EXPECT_EQ(e.reserved[0], image[46]);
  EXPECT_EQ(e.reserved[9], image[55]);
  std::vector<uint8_t> back(kEventFixedSize);
  SerializeEventFixed(e, back.data());
  EXPECT_EQ(back, image);

  std::vector<uint8_t> accent(kAccentSize);
  for (size_t i = 0; i < accent.size(); ++i) accent[i] = static_cast<uint8_t>(200 - i);
  Accent a;
  ParseAccent(accent.data(), a);
  EXPECT_EQ(a.icon, 0xC3C4);
  EXPECT_EQ(a.textColour, 0xB9BABBBCu);
  std::vector<uint8_t> accentBack(kAccentSize);
  SerializeAccent(a, accentBack.data());
  EXPECT_EQ(accentBack, accent);

  std::vector<uint8_t> header(kOverlayHeaderSize);
  for (size_t i = 0; i < header.size(); ++i) header[i] = static_cast<uint8_t>(i + 65);
  OverlayHeader h;
  ParseOverlayHeader(header.data(), h);
  EXPECT_EQ(h.count, ReadU32LE(header.data() + 28));
  std::vector<uint8_t> headerBack(kOverlayHeaderSize);
  SerializeOverlayHeader(h, headerBack.data());
  EXPECT_EQ(headerBack, header);
}

TEST(OverlayFile, SizesAndLongestDescriptions) {
  OverlayImage empty;
  EXPECT_EQ(SerializeOverlay(empty).size(), 40u);
  OverlayImage image;
  image.events = {Sample(1), Sample(2), Sample(3)};
  image.events[1].description = std::string(119, 'x');
  image.events[2].description = "";
  std::vector<uint8_t> bytes = SerializeOverlay(image);
  EXPECT_EQ(bytes.size(), 40u + 57 * 3 + 7 + 119 + 0);
  EXPECT_EQ(std::string(bytes.data(), bytes.data() + 4), "KOV6");
  EXPECT_EQ(ReadU32LE(bytes.data() + 4), 6u);
  EXPECT_EQ(ReadU32LE(bytes.data() + 28), 3u);
  OverlayImage back;
  ASSERT_EQ(ParseOverlayBytes(bytes.data(), bytes.size(), back), kOverlayLoaded);
  EXPECT_EQ(back.events, image.events);
  EXPECT_EQ(SerializeOverlay(back), bytes);
}

TEST(OverlayFile, DamagedImagesLoadWhatIsValid) {
  OverlayImage image;
  for (int i = 0; i < 5; ++i) image.events.push_back(Sample(i));
  const std::vector<uint8_t> good = SerializeOverlay(image);
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    int result;
    size_t events;
  };
  std::vector<Case> cases;
  cases.push_back({"whole", good, kOverlayLoaded, 5});
  cases.push_back({"short header", std::vector<uint8_t>(good.begin(), good.begin() + 39), kOverlayBadHeader, 0});
  cases.push_back({"cut in a record", std::vector<uint8_t>(good.begin(), good.begin() + 40 + 64 + 30), kOverlayBadRecord, 1});
  cases.push_back({"cut after a record", std::vector<uint8_t>(good.begin(), good.begin() + 40 + 64 * 2), kOverlayBadRecord, 2});
  std::vector<uint8_t> absurd = good;
  PutU32LE(absurd.data() + 28, 0xFFFFFFFFu);
  cases.push_back({"absurd count", absurd, kOverlayBadRecord, 5});
  std::vector<uint8_t> fewer = good;
  PutU32LE(fewer.data() + 28, 2);
  cases.push_back({"count below the events", fewer, kOverlayLoaded, 2});
  // A description without its zero: the last event runs to the end of the file.
  std::vector<uint8_t> noZero(good.begin(), good.end() - 1);
  cases.push_back({"last description without zero", noZero, kOverlayLoaded, 5});
  // A description that runs on past 120 bytes: the event is kept, cut, and reading stops.
  OverlayImage longOne;
  longOne.events = {Sample(1), Sample(2)};
  std::vector<uint8_t> runOn = SerializeOverlay(longOne);
  std::vector<uint8_t> filler(150, 'y');
  runOn.erase(runOn.begin() + 40 + 56, runOn.begin() + 40 + 56 + 8);  // "Event 1" and its zero
  runOn.insert(runOn.begin() + 40 + 56, filler.begin(), filler.end());
  cases.push_back({"description runs on", runOn, kOverlayBadRecord, 1});
  std::vector<uint8_t> garbage = good;
  for (int i = 0; i < 28; ++i) garbage[static_cast<size_t>(i)] = static_cast<uint8_t>(0xA5 ^ i);
  cases.push_back({"garbage header, read as the current format", garbage, kOverlayLoaded, 5});

  for (const Case& c : cases) {
    OverlayImage out;
    EXPECT_EQ(ParseOverlayBytes(c.bytes.data(), c.bytes.size(), out), c.result) << c.what;
    EXPECT_EQ(out.events.size(), c.events) << c.what;
    for (size_t i = 0; i < out.events.size() && i < 5; ++i) {
      EXPECT_LE(out.events[i].description.size(), 119u) << c.what;
      if (std::string(c.what) != "description runs on") {
        EXPECT_EQ(out.events[i].description, image.events[i].description) << c.what;
      }
    }
  }
  OverlayImage out;
  ParseOverlayBytes(runOn.data(), runOn.size(), out);
  EXPECT_EQ(out.events[0].description, std::string(119, 'y'));
}

// Random damage to a real file image, parsed and evaluated: nothing may read out of bounds
// (the sanitizer build checks), crash or hang, and no event comes from beyond the file.
TEST(OverlayFile, RandomCorruptionIsHarmless) {
  OverlayImage image;
  for (int i = 0; i < 12; ++i) image.events.push_back(Sample(i));
  image.events[3].kind = kKindYahrzeit;
  image.events[4].kind = kKindRoshChodesh;
  image.events[5].kind = kKindEveryNDays;
  const std::vector<uint8_t> good = SerializeOverlay(image);
  std::mt19937 rng(42);
  for (int round = 0; round < 4000; ++round) {
    std::vector<uint8_t> bytes = good;
    int damage = static_cast<int>(rng() % 4);
    if (damage == 0) bytes.resize(rng() % bytes.size());
    int flips = static_cast<int>(rng() % 12) + 1;
    for (int i = 0; i < flips && !bytes.empty(); ++i) bytes[rng() % bytes.size()] = static_cast<uint8_t>(rng());
    if (damage == 1 && bytes.size() >= 32) PutU32LE(bytes.data() + 28, static_cast<uint32_t>(rng()));
    if (damage == 2) {
      for (size_t i = 40; i < bytes.size(); ++i)
        if (bytes[i] == 0 && rng() % 2) bytes[i] = 'z';
    }
    // Exactly sized, so that any read past the end is seen by the sanitizer.
    std::unique_ptr<uint8_t[]> exact(new uint8_t[bytes.size() + 1]);
    std::copy(bytes.begin(), bytes.end(), exact.get());
    OverlayImage out;
    int result = ParseOverlayBytes(exact.get(), bytes.size(), out);
    ASSERT_TRUE(result == kOverlayLoaded || result == kOverlayBadRecord || result == kOverlayBadHeader);
    ASSERT_LE(out.events.size() * 57, bytes.size());
    for (const OverlayEvent& e : out.events) {
      ASSERT_LE(e.description.size(), 119u);
      std::vector<EventHit> hits;
      EventHitsInMonth(e, 2026, static_cast<int>(rng() % 12) + 1, RangeKeysOf(e), hits);
    }
  }
}

TEST(OverlayFile, ReadingFilesAndTheLVariant) {
  TempFolder tmp;
  OverlayImage image;
  image.header.accent.highlight = 1;
  image.events = {Sample(1)};
  std::vector<uint8_t> bytes = SerializeOverlay(image);
  bytes[3] = 'L';
  Write(tmp.File("l.kov"), bytes);
  OverlayImage out;
  EXPECT_EQ(ReadOverlayFile(tmp.File("l.kov"), out), kOverlayLoaded);
  EXPECT_EQ(out.events.size(), 1u);
  EXPECT_EQ(out.header.magic[3], 'L');
  EXPECT_EQ(ReadOverlayFile(tmp.File("missing.kov"), out), kOverlayCannotOpen);
  Write(tmp.File("empty.kov"), {});
  EXPECT_EQ(ReadOverlayFile(tmp.File("empty.kov"), out), kOverlayBadHeader);
  // Fourth byte zero but an unknown magic: fails the header check.
  std::vector<uint8_t> other = SerializeOverlay(image);
  other[0] = 'X', other[3] = 0;
  Write(tmp.File("other.kov"), other);
  EXPECT_EQ(ReadOverlayFile(tmp.File("other.kov"), out), kOverlayBadHeader);
  // A huge count in a small file does not make the reader allocate or read for it.
  std::vector<uint8_t> huge = SerializeOverlay(image);
  PutU32LE(huge.data() + 28, 0xFFFFFFF0u);
  Write(tmp.File("huge.kov"), huge);
  EXPECT_EQ(ReadOverlayFile(tmp.File("huge.kov"), out), kOverlayBadRecord);
  EXPECT_EQ(out.events.size(), 1u);
}

// An older file built byte by byte: the 14-byte header and events of the given format.
std::vector<uint8_t> OldFile(const char* magic, int format, uint8_t accentValue, uint8_t highlight, uint32_t colour,
                             const std::vector<std::vector<uint8_t>>& events) {
  std::vector<uint8_t> f(14, 0);
  std::copy(magic, magic + 3, f.begin());
  f[4] = accentValue;
  f[5] = highlight;
  PutU16LE(f.data() + 6, static_cast<uint16_t>(format));
  PutU32LE(f.data() + 8, colour);
  PutU16LE(f.data() + 12, static_cast<uint16_t>(events.size()));
  for (const auto& e : events) f.insert(f.end(), e.begin(), e.end());
  return f;
}

std::vector<uint8_t> OldEvent(int format, const std::string& text) {
  size_t fixed = format <= 3 ? 16 : format == 4 ? 20 : 26;
  std::vector<uint8_t> r(fixed, 0);
  PutU16LE(r.data(), 1999);  // year
  r[2] = 7, r[3] = 4;        // July 4
  PutU16LE(r.data() + 4, 2030);
  r[6] = 12, r[7] = 31;      // range end
  r[8] = 3;                  // parameter
  r[9] = 0x80 | 2;           // highlighted, weekend rule 2
  r[10] = kKindAnnual;
  r[11] = 5;                 // accent value
  PutU32LE(r.data() + 12, 0x80000000u | 0x0000FF);  // a text colour: red
  if (format >= 4) {
    PutI16LE(r.data() + 16, 1440 - 600);
    r[18] = 7, r[19] = 3;
  }
  if (format == 5) {
    PutI16LE(r.data() + 20, -3);
    r[22] = 1;
  }
  r.insert(r.end(), text.begin(), text.end());
  r.push_back(0);
  return r;
}

TEST(OverlayFile, OlderFormatsConvert) {
  SetCurrentZone(4);
  for (int format : {3, 4, 5}) {
    std::vector<uint8_t> old = OldFile("KOV", format, 9, 0x80, 0x40000000u, {OldEvent(format, "Independence"), OldEvent(format, "")});
    std::vector<uint8_t> out;
    ASSERT_TRUE(ConvertOlderOverlay(old.data(), old.size(), CurrentZone(), out)) << format;
    OverlayImage image;
    ASSERT_EQ(ParseOverlayBytes(out.data(), out.size(), image), kOverlayLoaded);
    EXPECT_EQ(image.header.accent.highlight, 1);
    EXPECT_EQ(image.header.accent.flags, kAccentIcon);
    EXPECT_EQ(image.header.accent.icon, 9);
    ASSERT_EQ(image.events.size(), 2u);
    const OverlayEvent& e = image.events[0];
    EXPECT_EQ(e.description, "Independence");
    EXPECT_EQ(e.kind, kKindAnnual);
    EXPECT_EQ(e.year, 1999);
    EXPECT_EQ(e.month, 7);
    EXPECT_EQ(e.day, 4);
    EXPECT_EQ(e.endYear, 2030);
    EXPECT_EQ(e.endDay, 31);
    EXPECT_EQ(e.param, 3);
    EXPECT_EQ(e.accent.highlight, 1);
    EXPECT_EQ(e.accent.textColour, 0xFFu);
    EXPECT_TRUE(e.accent.flags & kAccentTextColour);
    if (format == 3) {
      EXPECT_EQ(e.flags, kFlagBelowTimed | 2);
      EXPECT_EQ(e.weight, -2001);
      EXPECT_EQ(e.zone, 4);
      EXPECT_TRUE(e.accent.flags & kAccentNoGifts);
    } else {
      EXPECT_EQ(e.flags, 2);
      EXPECT_EQ(e.weight, 840);
      EXPECT_EQ(e.sameTime, 7);
      EXPECT_EQ(e.zone, 3);
      EXPECT_EQ(e.offset, format == 5 ? -3 : 0);
      EXPECT_EQ(bool(e.accent.flags & kAccentNoGifts), format == 5);
    }
  }
  // The pattern rule, the predecessor's magic, and refusals.
  std::vector<uint8_t> old = OldFile("QOV", 5, 2, 1, 0x00112233, {});
  std::vector<uint8_t> out;
  ASSERT_TRUE(ConvertOlderOverlay(old.data(), old.size(), 0, out));
  OverlayImage image;
  ParseOverlayBytes(out.data(), out.size(), image);
  EXPECT_EQ(image.header.accent.flags, kAccentPattern);
  EXPECT_EQ(image.header.accent.pattern, 2);
  EXPECT_EQ(image.header.accent.patternColour, 0x112233u);
  std::vector<uint8_t> wrong = OldFile("ABC", 5, 0, 0, 0, {});
  EXPECT_FALSE(ConvertOlderOverlay(wrong.data(), wrong.size(), 0, out));
  std::vector<uint8_t> future = OldFile("KOV", 9, 0, 0, 0, {});
  EXPECT_FALSE(ConvertOlderOverlay(future.data(), future.size(), 0, out));
  // A truncated older file keeps the events before the damage.
  std::vector<uint8_t> cut = OldFile("KOV", 4, 0, 0, 0, {OldEvent(4, "one"), OldEvent(4, "two")});
  cut.resize(cut.size() - 3);
  ASSERT_TRUE(ConvertOlderOverlay(cut.data(), cut.size(), 0, out));
  ParseOverlayBytes(out.data(), out.size(), image);
  EXPECT_EQ(image.events.size(), 1u);
  SetCurrentZone(0);
}

TEST(OverlayFile, OlderFileConvertedInPlaceWhenRead) {
  TempFolder tmp;
  std::string path = tmp.File("old.kov");
  Write(path, OldFile("KOV", 4, 0, 0, 0, {OldEvent(4, "Party")}));
  OverlayImage out;
  ASSERT_EQ(ReadOverlayFile(path, out), kOverlayLoaded);
  ASSERT_EQ(out.events.size(), 1u);
  EXPECT_EQ(out.events[0].description, "Party");
  std::vector<uint8_t> now;
  ReadWholeFile(path, now, 1000);
  EXPECT_EQ(std::string(now.begin(), now.begin() + 4), "KOV6");
  EXPECT_EQ(now.size(), 40u + 57 + 5);
}

TEST(OverlayFile, OrdersAndListLines) {
  auto make = [](const char* text, int month, int day, int kind = kKindAnnual, int endDay = 0) {
    OverlayEvent e;
    e.description = text;
    e.month = static_cast<uint16_t>(month);
    e.day = static_cast<uint16_t>(day);
    e.kind = static_cast<uint16_t>(kind);
    e.endDay = static_cast<uint16_t>(endDay);
    return e;
  };
  std::vector<OverlayEvent> events = {make("b", 1, 1), make("Ranged", 5, 5, kKindAnnual, 31), make("a", 3, 2),
                                      make("Easter", 4, 1, kKindEaster), make("c", 1, 1)};
  SortForSave(events);
  std::vector<std::string> order;
  for (const auto& e : events) order.push_back(e.description);
  // Ranged events and kind 12 first, then the rest; each by month and day, ties kept.
  EXPECT_EQ(order, (std::vector<std::string>{"Easter", "Ranged", "b", "c", "a"}));

  EXPECT_LT(CompareDescriptions("apple", "Banana"), 0);
  EXPECT_LT(CompareDescriptions("apple", "Apple"), 0);
  EXPECT_GT(CompareDescriptions("Apple", "apple"), 0);
  EXPECT_EQ(CompareDescriptions("same", "same"), 0);
  EXPECT_LT(CompareDescriptions("ab", "abc"), 0);
  EXPECT_TRUE(ListOrderLess(make("x", 3, 1), make("y", 2, 28), kSortDescendingDate));
  EXPECT_TRUE(ListOrderLess(make("x", 2, 28), make("y", 3, 1), kSortAscendingDate));

  RegionalSettings r;
  r.dateSeparator = '.';
  SetRegional(r);
  EXPECT_EQ(OverlayListLine(make("Flag Day", 6, 14), kSortAscendingDate), "6.14 Flag Day");
  EXPECT_EQ(OverlayListLine(make("Charles", 1, 3, kKindBirthday), kSortDescendingDate), "1.03 Charles' Birthday");
  EXPECT_EQ(OverlayListLine(make("Max and Julia", 1, 3, kKindAnniversary), kSortAlphabetical), "Max and Julia's Anniversary");
  EXPECT_EQ(OverlayListLine(make("Isaac", 1, 3, kKindYahrzeit), kSortAlphabetical), "Isaac's Yahrzeit");
  SetRegional(RegionalSettings{});
}

}  // namespace
}  // namespace kv
