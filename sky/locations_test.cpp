#include "sky/locations.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "base/messages.h"
#include "sky/text_fields.h"
#include "base/file_io.h"
#include "sky/zones.h"

namespace kv {
namespace {

namespace fs = std::filesystem;

class Locations : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("kv_locations_" + std::to_string(reinterpret_cast<uintptr_t>(this)));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    fs::remove_all(dir_);
    ResetZones();
  }
  std::string Path(const char* name) const { return (dir_ / name).string(); }
  void Write(const char* name, const std::string& data) const {
    std::ofstream(Path(name), std::ios::binary) << data;
  }
  fs::path dir_;
  ScriptedMessages messages_;
  ScopedMessageSink scope_{messages_};
};

TEST_F(Locations, FixUpsOnReading) {
  struct Case {
    const char* line;
    LocationRecord expected;
  } cases[] = {
      {"Quito,-0,13,0,-78,30,0,51\r\n", {"Quito", true, true, 0, 13, 0, 78, 30, 0, 51}},
      {"Short,40\r\n", {"Short", false, false, 40, 0, 0, 0, 0, 0, 0}},
      {"Carry,10,5,75,20,59,60,4\r\n", {"Carry", false, false, 10, 6, 15, 21, 0, 0, 4}},
      {"Big,10,59,125,20,0,0,4\r\n", {"Big", false, false, 11, 1, 5, 20, 0, 0, 4}},
      {"Jerusalem,31,46,0,35,13,0,125\r\n", {"Jerusalem", false, false, 31, 46, 0, 35, 13, 0, 63}},
      {"Las Vegas, NV,36,10,12,-115,8,23,3\r\n", {"Las Vegas", false, false, 0, 36, 10, 12, 11, 8, 23}},  // unquoted; "-115" cut to 3
      {"\"Las Vegas, NV\",36,10,12,-115,8,23,3\r\n", {"Las Vegas, NV", false, true, 36, 10, 12, 115, 8, 23, 36}},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseLocationLine(c.line), c.expected) << c.line;
  // The map window's reader for new locations leaves Las Vegas's zone alone.
  EXPECT_EQ(ParseLocationLine("\"Las Vegas, NV\",36,10,12,-115,8,23,3\r\n", LasVegasFix::Skip).zone, 3);
}

TEST_F(Locations, NamesAndCoordinatesRoundTrip) {
  std::vector<LocationRecord> list = {
      {"St. John's, \"NL\"", false, true, 47, 33, 41, 52, 42, 45, 45},
      {"Sydney, Australia", true, false, 33, 52, 0, 151, 13, 0, 115},
      {"Greenwich", false, false, 51, 28, 40, 0, 0, 5, 1},
  };
  ASSERT_TRUE(WriteLocations(Path("My Locations.dat"), list));
  std::string data;
  ASSERT_TRUE(ReadWholeFile(Path("My Locations.dat"), &data));
  EXPECT_EQ(data.substr(0, data.find('\n') + 1), "\"St. John's, \"\"NL\"\"\",47,33,41,-52,42,45,45\r\n");
  std::vector<LocationRecord> back;
  ASSERT_TRUE(ReadLocations(Path("My Locations.dat"), &back));
  EXPECT_EQ(back, list);
  EXPECT_NEAR(back[1].Latitude(), -33.866667, 1e-6);
  EXPECT_NEAR(back[0].Longitude(), -52.7125, 1e-6);
  EXPECT_TRUE(messages_.Shown().empty());
}

TEST_F(Locations, RemovedRecordsAreDroppedAndShortLastLinesIgnored) {
  std::vector<LocationRecord> list = {{"Kept", false, false, 1, 0, 0, 2, 0, 0, 4},
                                      {"Removed", false, false, 1, 0, 0, 2, 0, 0, -1},
                                      {"Never zoned", false, false, 1, 0, 0, 2, 0, 0, 0}};
  ASSERT_TRUE(WriteLocations(Path("a.dat"), list));
  std::vector<LocationRecord> back;
  ReadLocations(Path("a.dat"), &back);
  ASSERT_EQ(back.size(), 1u);
  EXPECT_EQ(back[0].name, "Kept");
  Write("b.dat", "Kept,1,0,0,2,0,0,4\r\nX,1,2,3\r\n");  // the last line is 9 bytes
  ReadLocations(Path("b.dat"), &back);
  EXPECT_EQ(back.size(), 1u);
  Write("c.dat", "Kept,1,0,0,2,0,0,4\r\nXY,1,2,3\r\n");
  ReadLocations(Path("c.dat"), &back);
  EXPECT_EQ(back.size(), 2u);
}

TEST_F(Locations, FileErrorsNameThePath) {
  std::vector<LocationRecord> list = {{"x", false, false, 0, 0, 0, 0, 0, 0, 1}};
  EXPECT_FALSE(ReadLocations(Path("missing.dat"), &list));
  EXPECT_TRUE(list.empty());
  EXPECT_FALSE(WriteLocations(Path("no/such/folder.dat"), {}));
  ASSERT_EQ(messages_.Shown().size(), 2u);
  EXPECT_EQ(messages_.Shown()[0].text, "Error opening file:\n\n" + Path("missing.dat"));
  EXPECT_EQ(messages_.Shown()[1].text, "Error creating file:\n\n" + Path("no/such/folder.dat"));
}

TEST_F(Locations, FirstRunCopiesTheMasterAndMergesAnOlderUserList) {
  Write("KVLOCATION.DAT", "Paris,48,51,24,2,21,8,4\r\n\"Las Vegas, NV\",36,10,12,-115,8,23,36\r\n");
  ASSERT_TRUE(CreateUserLocations(dir_.string(), Path("My Locations.dat")));
  std::vector<LocationRecord> list;
  ReadLocations(Path("My Locations.dat"), &list);
  EXPECT_EQ(list.size(), 2u);
  Write("KVLOCAL_40.DAT", "Paris,48,51,24,2,21,8,4\r\nLyon,45,45,0,4,50,0,4\r\n");
  Write("KVLOCAL.DAT", "Lyon,45,45,0,4,50,0,4\r\nparis,48,51,24,2,21,8,4\r\nMy Cabin,45,0,0,-110,0,0,38\r\n");
  ASSERT_TRUE(CreateUserLocations(dir_.string(), Path("My Locations.dat")));
  ReadLocations(Path("My Locations.dat"), &list);
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[2].name, "My Cabin");
  EXPECT_FALSE(CreateUserLocations(Path("nowhere"), Path("x.dat")));
}

TEST_F(Locations, DefaultLocationOfAZone) {
  Write("DEFAULT.DAT", "\"London, United Kingdom\",51,30,27,-0,7,40,1\r\n\"Paris, France\",48,51,24,2,21,8,4\r\n");
  LocationRecord r;
  ASSERT_TRUE(DefaultLocationForZone(Path("DEFAULT.DAT"), 4, &r));
  EXPECT_EQ(r.name, "Paris, France");
  EXPECT_FALSE(DefaultLocationForZone(Path("DEFAULT.DAT"), 36, &r));
  EXPECT_FALSE(DefaultLocationForZone(Path("none.dat"), 4, &r));
  EXPECT_TRUE(messages_.Shown().empty());
}

TEST_F(Locations, DecimalToDegreesMinutesSeconds) {
  struct Case {
    double value;
    Dms dms;
  } cases[] = {
      {12.999999, {13, 0, 0}}, {40.5, {40, 30, 0}},   {0.1, {0, 6, 0}},       {36.17, {36, 10, 12}},
      {115.1398, {115, 8, 23}}, {0.0001, {0, 0, 0}},  {0.00015, {0, 0, 1}},   {179.99999, {180, 0, 0}},
      {33.999, {33, 59, 56}},  {10.0125, {10, 0, 45}},
  };
  for (const Case& c : cases) EXPECT_EQ(DecimalToDms(c.value), c.dms) << c.value;
  EXPECT_NEAR(DmsToDecimal({36, 10, 12}), 36.17, 1e-9);
  EXPECT_EQ(DecimalCoordinateText(DmsToDecimal({115, 8, 23})), "115.13972");
}

TEST_F(Locations, CoordinateChecks) {
  const std::string bad = "Bad value entered for geographic coordinate.";
  struct Decimal {
    const char* text;
    bool latitude, ok;
  } decimals[] = {{"45.5", true, true}, {"90", true, true},    {"90.01", true, false}, {"180", false, true},
                  {"180.5", false, false}, {"-1", false, false}, {"abc", true, false},  {"", true, false},
                  {" 12.25 ", false, true}, {"1e2", false, false}};
  for (const Decimal& d : decimals) {
    messages_.Clear();
    double v = -1;
    EXPECT_EQ(CheckDecimalCoordinate(d.text, d.latitude, &v), d.ok) << d.text;
    EXPECT_EQ(messages_.Texts(), d.ok ? std::vector<std::string>{} : std::vector<std::string>{bad}) << d.text;
  }
  struct Boxes {
    const char *d, *m, *s;
    bool latitude;
    int badBox;  // −1 = valid
  } boxes[] = {{"40", "42", "51", true, -1}, {"90", "0", "0", true, -1},  {"90", "0", "1", true, 0},
               {"180", "0", "0", false, -1}, {"181", "0", "0", false, 0}, {"10", "60", "0", false, 1},
               {"10", "5", "60", true, 2},   {"10", "x", "0", true, 1},   {"10", "", "", true, -1},
               {"-5", "0", "0", true, 0},    {"10.5", "0", "0", true, 0}};
  for (const Boxes& b : boxes) {
    messages_.Clear();
    Dms dms;
    int box = -1;
    EXPECT_EQ(CheckDmsCoordinate(b.d, b.m, b.s, b.latitude, &dms, &box), b.badBox < 0) << b.d << " " << b.m << " " << b.s;
    EXPECT_EQ(box, b.badBox);
    EXPECT_EQ(messages_.Shown().size(), b.badBox < 0 ? 0u : 1u);
  }
}

TEST_F(Locations, Display) {
  EXPECT_EQ(CoordinateText(40, 42, 51, false, true), "+40\xB0 42' 51\" N");
  EXPECT_EQ(CoordinateText(33, 52, 0, true, true), "-33\xB0 52' 0\" S");
  EXPECT_EQ(CoordinateText(0, 7, 40, true, false), "-0\xB0 7' 40\" W");
  ZoneRecord pacific;
  pacific.id = 36, pacific.standardName = "Pacific Standard Time", pacific.daylightName = "Pacific Daylight Time";
  pacific.standardDate = {11, 0, 1, 120}, pacific.daylightDate = {3, 0, 2, 120};
  ZoneRecord tokyo;
  tokyo.id = 108, tokyo.standardName = "Tokyo Standard Time", tokyo.daylightName = "Tokyo Daylight Time";
  SetZoneTable({pacific, tokyo});
  LocationDisplay vegas = DescribeLocation({"Las Vegas, NV", false, true, 36, 10, 12, 115, 8, 23, 36});
  EXPECT_EQ(vegas.latitude, "+36\xB0 10' 12\" N");
  EXPECT_EQ(vegas.longitude, "-115\xB0 8' 23\" W");
  EXPECT_EQ(vegas.standardName, "Pacific Standard Time");
  EXPECT_EQ(vegas.daylightName, "Pacific Daylight Time");
  EXPECT_NE(vegas.rule.find("2nd Sunday in March"), std::string::npos);
  LocationDisplay tokyoCity = DescribeLocation({"Tokyo", false, false, 35, 41, 0, 139, 41, 0, 108});
  EXPECT_EQ(tokyoCity.standardName, "Tokyo Standard Time");
  EXPECT_EQ(tokyoCity.daylightName, "");
  EXPECT_EQ(tokyoCity.rule, "");
  EXPECT_EQ(DescribeLocation({"Nowhere", false, false, 0, 0, 0, 0, 0, 0, 99}).standardName, "");
}

}  // namespace
}  // namespace kv
