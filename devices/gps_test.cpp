#include "devices/gps.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kv {
namespace {

constexpr const char* kRmcFix = "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n";
constexpr const char* kGgaFix = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n";

std::vector<GpsEvent> FeedAll(GpsReceiver& r, std::string_view bytes) {
  std::vector<GpsEvent> events;
  r.Feed(bytes, &events);
  return events;
}

// A receiver past the discarded first GPRMC and GPGGA.
GpsReceiver Primed(GpsMode mode) {
  GpsReceiver r;
  r.Start(mode);
  r.Feed("$GPRMC,0,V*00\r$GPGGA,0*00\r", nullptr);
  return r;
}

TEST(GpsFieldTest, SplitsAtCommasAndStarsAndCutsLongFields) {
  struct Case {
    const char* sentence;
    int index;
    const char* field;
  } cases[] = {
      {"GPRMC,1,A,4807.038", 0, "GPRMC"},
      {"GPRMC,1,A,4807.038", 3, "4807.038"},
      {"GPRMC,1,A,4807.038", 4, ""},          // past the end
      {"GPRMC,1,A,4807.038", 9, ""},
      {"GPRMB,A*6A", 1, "A"},                  // the star ends a field
      {"GPRMB,A*6A", 2, "6A"},
      {"GPGGA,,,x", 1, ""},
      {"GPGGA,,,x", 3, "x"},
      {"A,0123456789ABCDEFGH,B", 1, "0123456789ABCDE"},   // 18 characters cut to 15
      {"A,0123456789ABCDEFGH,B", 2, "B"},
      {"", 0, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(GpsField(c.sentence, c.index), c.field) << c.sentence << " #" << c.index;
}

TEST(GpsCoordinateTest, DegreesMinutesAndHemispheres) {
  struct Case {
    const char* text;
    const char* hemisphere;
    const char* positive;
    double degrees;
  } cases[] = {
      {"4807.038", "N", "N", 48.1173},
      {"01131.000", "E", "E", 11.0 + 31.0 / 60},
      {"4807.038", "S", "N", -48.1173},
      {"01131.000", "W", "E", -(11.0 + 31.0 / 60)},
      {"4807.038", "X", "N", -48.1173},        // any other letter counts as south
      {"4807.038", "", "N", -48.1173},
      {"4807.038", "n", "N", -48.1173},
      {"0.5", "N", "N", 0.5 / 60},
      {"abc", "N", "N", 0.0},                  // no number
      {"12x", "E", "E", 0.2},
      {"18000.000", "E", "E", 180.0},
  };
  for (const Case& c : cases)
    EXPECT_NEAR(GpsCoordinate(c.text, c.hemisphere, c.positive), c.degrees, 1e-9) << c.text << " " << c.hemisphere;
}

TEST(GpsReceiverTest, RmcFixAfterTheFirstPostsFound) {
  GpsReceiver r;
  r.Start(GpsMode::Dialog);
  std::vector<GpsEvent> first = FeedAll(r, kRmcFix);
  ASSERT_EQ(first.size(), 1u);
  EXPECT_EQ(first[0].status, kGpsNoData);   // the first GPRMC is discarded
  EXPECT_EQ(first[0].notify, 0);
  std::vector<GpsEvent> second = FeedAll(r, kRmcFix);
  ASSERT_EQ(second.size(), 1u);
  EXPECT_EQ(second[0].status, kGpsFixed);
  EXPECT_EQ(second[0].notify, 1070);
  EXPECT_NEAR(second[0].latitude, 48.1173, 1e-9);
  EXPECT_NEAR(second[0].longitude, 11.5166667, 1e-7);
  EXPECT_NEAR(r.dialogFix().latitude, 48.1173, 1e-9);
  // A further fix while fixed tells nothing.
  EXPECT_EQ(FeedAll(r, kRmcFix)[0].notify, 0);
}

TEST(GpsReceiverTest, GgaIsSkippedOnceOnItsOwn) {
  GpsReceiver r;
  r.Start(GpsMode::Map);
  EXPECT_EQ(FeedAll(r, kGgaFix)[0].notify, 0);
  EXPECT_EQ(r.status(), kGpsNoData);
  // The first GPRMC is still to be discarded: a GPGGA does not use it up.
  EXPECT_EQ(FeedAll(r, kRmcFix)[0].notify, 0);
  GpsEvent e = FeedAll(r, kGgaFix)[0];
  EXPECT_EQ(e.status, kGpsFixed);
  EXPECT_EQ(e.notify, 1070);
  EXPECT_NEAR(r.mapFix().latitude, 48.1173, 1e-9);
}

TEST(GpsReceiverTest, StatusTransitionsAndNotifications) {
  // Each row: the sentence fed to a primed receiver in the given status, the status after it
  // and the notification.
  struct Case {
    int before;
    const char* sentence;
    int after;
    int notify;
  } cases[] = {
      // GPRMC with status V: always 1072 (its previous status counts as unknown).
      {kGpsNoData, "$GPRMC,1,V,,,,*00\r", kGpsActive, 1072},
      {kGpsActive, "$GPRMC,1,V,,,,*00\r", kGpsActive, 1072},
      {kGpsFixed, "$GPRMC,1,V,,,,*00\r", kGpsActive, 1072},
      // Another status letter: always 1071.
      {kGpsActive, "$GPRMC,1,X,4807.038,N,01131.000,E*00\r", kGpsNoData, 1071},
      {kGpsNoData, "$GPRMC,1,,4807.038,N,01131.000,E*00\r", kGpsNoData, 1071},
      // Status A with an empty coordinate: active, never a fix.
      {kGpsNoData, "$GPRMC,1,A,,N,01131.000,E*00\r", kGpsActive, 1072},
      {kGpsNoData, "$GPRMC,1,A,4807.038,N,,E*00\r", kGpsActive, 1072},
      // A fix: 1070 only after status 0 or 1.
      {kGpsNoData, "$GPRMC,1,A,4807.038,N,01131.000,E*00\r", kGpsFixed, 1070},
      {kGpsActive, "$GPRMC,1,A,4807.038,N,01131.000,E*00\r", kGpsFixed, 1070},
      {kGpsFixed, "$GPRMC,1,A,4807.038,N,01131.000,E*00\r", kGpsFixed, 0},
      // GPGGA: empty position fields give status 1; the fix quality is not consulted.
      {kGpsNoData, "$GPGGA,1,,N,,E,0,00*00\r", kGpsActive, 1072},
      {kGpsFixed, "$GPGGA,1,4807.038,N,,E*00\r", kGpsActive, 1072},
      {kGpsActive, "$GPGGA,1,4807.038,N,01131.000,E,0,00*00\r", kGpsFixed, 1070},
      // GPRMB: its previous status is known.
      {kGpsFixed, "$GPRMB,V*00\r", kGpsActive, 1072},
      {kGpsActive, "$GPRMB,V*00\r", kGpsActive, 0},
      {kGpsFixed, "$GPRMB,A*00\r", kGpsFixed, 0},
      {kGpsActive, "$GPRMB,A*00\r", kGpsActive, 0},
      {kGpsFixed, "$GPRMB,*00\r", kGpsNoData, 1071},
      {kGpsNoData, "$GPRMB,B*00\r", kGpsNoData, 0},
      // Only the first five characters of the name count; others are ignored.
      {kGpsNoData, "$GPRMCX,1,V*00\r", kGpsActive, 1072},
      {kGpsActive, "$GPGSV,3,1,11*00\r", kGpsActive, 0},
      {kGpsFixed, "$GPRM,1,V*00\r", kGpsFixed, 0},
      {kGpsFixed, "$\r", kGpsFixed, 0},
  };
  for (const Case& c : cases) {
    GpsReceiver r = Primed(GpsMode::Dialog);
    r.set_status(c.before);
    std::vector<GpsEvent> events = FeedAll(r, c.sentence);
    ASSERT_EQ(events.size(), 1u) << c.sentence;
    EXPECT_EQ(events[0].status, c.after) << c.sentence << " from " << c.before;
    EXPECT_EQ(events[0].notify, c.notify) << c.sentence << " from " << c.before;
  }
}

TEST(GpsReceiverTest, SouthAndWestAreNegative) {
  GpsReceiver r = Primed(GpsMode::Dialog);
  FeedAll(r, "$GPGGA,1,3352.000,S,15112.600,W,1*00\r");
  EXPECT_NEAR(r.dialogFix().latitude, -(33 + 52.0 / 60), 1e-9);
  EXPECT_NEAR(r.dialogFix().longitude, -(151 + 12.6 / 60), 1e-9);
}

TEST(GpsReceiverTest, SentenceSplitAcrossFeedsIsAssembled) {
  GpsReceiver r = Primed(GpsMode::Map);
  std::string s = kRmcFix;
  for (size_t cut : {size_t{1}, size_t{7}, size_t{30}, s.size() - 3}) {
    GpsReceiver copy = r;
    EXPECT_TRUE(FeedAll(copy, s.substr(0, cut)).empty());
    std::vector<GpsEvent> events = FeedAll(copy, s.substr(cut));
    ASSERT_EQ(events.size(), 1u) << cut;
    EXPECT_EQ(events[0].notify, 1070);
  }
  // Byte by byte.
  std::vector<GpsEvent> events;
  for (char c : s) r.Feed(std::string_view(&c, 1), &events);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_NEAR(events[0].longitude, 11.5166667, 1e-7);
}

TEST(GpsReceiverTest, NoiseOutsideSentencesIsIgnored) {
  GpsReceiver r = Primed(GpsMode::Dialog);
  std::vector<GpsEvent> events = FeedAll(r, std::string("garbage\r\n\0\xff,A,*\r") + kRmcFix + "tail\r");
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].notify, 1070);
  // The checksum is not verified, and a dollar sign inside a sentence is an ordinary character.
  events = FeedAll(r, "$GPRMC,1,V,$,,*FF\r");
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].status, kGpsActive);
}

TEST(GpsReceiverTest, OverlongSentenceIsDroppedWhole) {
  GpsReceiver r = Primed(GpsMode::Dialog);
  // Exactly as long as the buffer allows: read.
  std::string fits = "GPRMC,1,V," + std::string(kGpsSentenceMax - 10, '0');
  ASSERT_EQ(fits.size(), kGpsSentenceMax);
  std::vector<GpsEvent> events = FeedAll(r, "$" + fits + "\r");
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].status, kGpsActive);
  // One character more: dropped, and the rest up to the CR is noise.
  GpsReceiver r2 = Primed(GpsMode::Dialog);
  std::string longer = "GPRMC,1,A,4807.038,N,01131.000,E," + std::string(kGpsSentenceMax, '9');
  events = FeedAll(r2, "$" + longer + ",A,1,V\r");
  EXPECT_TRUE(events.empty());
  EXPECT_EQ(r2.dropped(), 1);
  EXPECT_EQ(r2.pending(), 0u);
  EXPECT_EQ(r2.status(), kGpsNoData);
  // The next sentence reads normally.
  events = FeedAll(r2, kRmcFix);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].notify, 1070);
}

TEST(GpsReceiverTest, StartResetsAndMapLatitudeWaitsAtNinety) {
  GpsReceiver r = Primed(GpsMode::Map);
  FeedAll(r, kRmcFix);
  EXPECT_NEAR(r.mapFix().latitude, 48.1173, 1e-9);
  r.Feed("$GPRMC,1,A,48", nullptr);
  r.Start(GpsMode::Map);
  EXPECT_EQ(r.status(), kGpsNoData);
  EXPECT_EQ(r.pending(), 0u);
  EXPECT_EQ(r.mapFix().latitude, 90.0);
  EXPECT_EQ(FeedAll(r, kRmcFix)[0].notify, 0);   // skipped again
  // A dialog acquisition keeps the map's fix and its own.
  r.Start(GpsMode::Dialog);
  EXPECT_EQ(r.mapFix().latitude, 90.0);
  EXPECT_EQ(FeedAll(r, kGgaFix)[0].notify, 0);
  FeedAll(r, kGgaFix);
  EXPECT_NEAR(r.dialogFix().latitude, 48.1173, 1e-9);
  EXPECT_EQ(r.mapFix().latitude, 90.0);
}

}  // namespace
}  // namespace kv
