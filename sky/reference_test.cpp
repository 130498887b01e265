#include "sky/reference.h"

#include <gtest/gtest.h>

#include <string>

#include "calendar/clock.h"
#include "calendar/zone_conversion.h"
#include "calendar/daylight_markers.h"
#include "sky/sun_moon.h"
#include "sky/text_fields.h"
#include "base/file_io.h"

namespace kv {
namespace {

ZoneRecord Zone(int id, const char* key, int bias, ZoneDate standard, ZoneDate daylight) {
  ZoneRecord z;
  z.id = id, z.keyName = key, z.bias = bias, z.standardDate = standard, z.daylightDate = daylight;
  z.standardName = std::string(key);
  z.daylightName = std::string(key) + " (daylight)";
  return z;
}

class Reference : public ::testing::Test {
 protected:
  void SetUp() override {
    SetZoneTable({Zone(36, "Pacific Standard Time", 480, {11, 0, 1, 120}, {3, 0, 2, 120}),
                  Zone(41, "Eastern Standard Time", 300, {11, 0, 1, 120}, {3, 0, 2, 120}),
                  Zone(115, "AUS Eastern Standard Time", -600, {4, 0, 1, 180}, {10, 0, 1, 120}),
                  Zone(108, "Tokyo Standard Time", -540, {}, {})});
  }
  void TearDown() override {
    ResetPointOfReference();
    ResetZones();
    SetClockSource(nullptr);
  }
};

TEST_F(Reference, ApplyingAPointSetsEverythingThatFollowsFromIt) {
  LocationRecord vegas{"Las Vegas, NV", false, true, 36, 10, 12, 115, 8, 23, 36};
  ApplyPointOfReference(PointFromLocation(vegas), 2024);
  EXPECT_TRUE(HasPointOfReference());
  EXPECT_EQ(CurrentPointOfReference().name, "Las Vegas, NV");
  const ZoneInUse& z = CurrentZoneInUse();
  EXPECT_TRUE(z.found);
  EXPECT_EQ(z.standardName, "Pacific Standard Time");
  EXPECT_EQ(z.daylightName, "Pacific Standard Time (daylight)");
  EXPECT_EQ(z.codes, (DaylightCodes{310, 1103}));
  const SkySite& site = CurrentSkySite();
  EXPECT_NEAR(site.latitude, 36.17, 1e-9);
  EXPECT_NEAR(site.longitude, -115.139722, 1e-6);
  EXPECT_EQ(site.bias, 480);
  EXPECT_TRUE(site.daylight);
  EXPECT_EQ(site.daylightStart, 310);
  EXPECT_EQ(CurrentZone(), 36);
  EXPECT_EQ(CurrentDaylightMarkers().daylightBegins.firstDay, 8);
  EXPECT_TRUE(ReferenceInDaylight(7, 4));
  EXPECT_FALSE(ReferenceInDaylight(12, 25));

  // A zone without daylight time: no daylight name, no markers, no daylight hour.
  ApplyPointOfReference({"Tokyo", 108, 35.68, 139.69}, 2024);
  EXPECT_EQ(CurrentZoneInUse().daylightName, "");
  EXPECT_FALSE(CurrentSkySite().daylight);
  EXPECT_EQ(CurrentDaylightMarkers().daylightBegins.month, 14);
  EXPECT_FALSE(ReferenceInDaylight(7, 4));

  // A zone the table does not have: no names, no daylight time.
  ApplyPointOfReference({"Atlantis", 200, 10, -30}, 2024);
  EXPECT_FALSE(CurrentZoneInUse().found);
  EXPECT_EQ(CurrentZoneInUse().standardName, "");
  EXPECT_EQ(CurrentSkySite().bias, 0);
}

TEST_F(Reference, ApplyingClearsTheSkyCaches) {
  ApplyPointOfReference({"New York", 41, 40.71, -74.0}, 2024);
  MoonPhasesForYear(2024);
  EXPECT_FALSE(MoonPhasesForYear(2024));
  RiseSet east = SunRiseSet(2024, 6, 21);
  ApplyPointOfReference({"Las Vegas", 36, 36.17, -115.14}, 2024);
  EXPECT_TRUE(MoonPhasesForYear(2024));
  EXPECT_NE(SunRiseSet(2024, 6, 21), east);
}

TEST_F(Reference, DisplayedYearRecomputesTheCodes) {
  ApplyPointOfReference({"Sydney", 115, -33.87, 151.21}, 2024);
  EXPECT_EQ(CurrentSkySite().daylightStart, 1006);
  MoonPhasesForYear(2025);
  SetDisplayedYear(2025);
  EXPECT_EQ(CurrentZoneInUse().codes, (DaylightCodes{1005, 406}));
  EXPECT_EQ(CurrentSkySite().daylightStart, 1005);
  EXPECT_TRUE(MoonPhasesForYear(2025));  // new codes, new table
  EXPECT_TRUE(ReferenceInDaylight(1, 15));  // southern: outside the codes
  EXPECT_FALSE(ReferenceInDaylight(7, 1));
}

TEST_F(Reference, ZoneConversionAndClockFollowTheReference) {
  ApplyPointOfReference({"Las Vegas", 36, 36.17, -115.14}, 2024);
  EXPECT_EQ(ConvertZoneTime({2024, 1, 15, 23, 30}, 36, 115), (DateStamp{2024, 1, 16, 18, 30}));
  EXPECT_EQ(ConvertZoneTime({2024, 1, 15, 23, 30}, 36, 999), (DateStamp{2024, 1, 15, 23, 30}));

  FixedClock clock({2024, 12, 31, 23, 0});
  SetClockSource(&clock);
  SetSystemZone(36);
  EXPECT_EQ(CurrentDateTime().stamp, (DateStamp{2024, 12, 31, 23, 0}));  // same zone: no move
  SetSystemZone(41);
  EXPECT_EQ(CurrentDateTime().stamp, (DateStamp{2024, 12, 31, 20, 0}));
  ApplyPointOfReference({"Tokyo", 108, 35.68, 139.69}, 2024);
  CurrentTime t = CurrentDateTime();
  EXPECT_EQ(t.stamp, (DateStamp{2025, 1, 1, 13, 0}));
  EXPECT_EQ(t.weekday, 3);
  EXPECT_EQ(t.minuteOfDay, 13 * 60);
  SetSystemZone(0);
  EXPECT_EQ(CurrentDateTime().stamp, (DateStamp{2024, 12, 31, 23, 0}));
}

// The files the build places in the program folder.
TEST_F(Reference, ShippedZoneAndLocationFilesAgree) {
  std::string folder = RunningProgramFolder();
  ASSERT_TRUE(LoadZoneTable(folder + "/KVTZX.DAT"));
  const std::vector<ZoneRecord>& zones = ZoneTable();
  EXPECT_GT(zones.size(), 130u);
  EXPECT_LE(zones.size(), 256u);
  for (size_t i = 1; i < zones.size(); ++i) EXPECT_LE(zones[i - 1].sortKey, zones[i].sortKey);
  struct Expected {
    int id;
    const char* key;
  } fixed[] = {{1, "GMT Standard Time"},      {4, "Romance Standard Time"},   {34, "Hawaiian Standard Time"},
               {35, "Alaskan Standard Time"}, {36, "Pacific Standard Time"},  {38, "Mountain Standard Time"},
               {39, "Central Standard Time"}, {41, "Eastern Standard Time"},  {44, "Atlantic Standard Time"},
               {45, "Newfoundland Standard Time"}, {63, "Israel Standard Time"}};
  for (const Expected& e : fixed) {
    const ZoneRecord* z = FindZone(e.id);
    ASSERT_NE(z, nullptr) << e.id;
    EXPECT_EQ(z->keyName, e.key);
    EXPECT_EQ(z->flag, 0);
  }
  EXPECT_EQ(FindZone(125), nullptr);  // older files' 125 reads as 63
  EXPECT_EQ(FindZone(36)->bias, 480);
  EXPECT_EQ(ComputeDaylightCodes(*FindZone(36), 2024), (DaylightCodes{310, 1103}));
  EXPECT_EQ(ComputeDaylightCodes(*FindZone(4), 2024), (DaylightCodes{331, 1027}));

  for (const char* name : {"/KVLOCATION.DAT", "/DEFAULT.DAT", "/KVLOCAL_40.DAT"}) {
    std::vector<LocationRecord> list;
    ASSERT_TRUE(ReadLocations(folder + name, &list)) << name;
    EXPECT_GT(list.size(), 100u) << name;
    for (const LocationRecord& r : list) {
      EXPECT_NE(FindZone(r.zone), nullptr) << r.name;
      EXPECT_LE(r.name.size(), kLocationNameMax);
      EXPECT_LE(r.latDegrees + r.latMinutes / 60.0, 90.0) << r.name;
      EXPECT_LE(r.lonDegrees + r.lonMinutes / 60.0, 180.0) << r.name;
    }
  }
  std::vector<LocationRecord> world;
  ReadLocations(folder + "/KVLOCATION.DAT", &world);
  auto find = [&](const char* name) {
    for (const LocationRecord& r : world)
      if (r.name == name) return r.zone;
    return 0;
  };
  EXPECT_EQ(find("Las Vegas, NV"), 36);
  EXPECT_EQ(find("New York, NY"), 41);
  EXPECT_EQ(find("Toronto, ON"), 41);
  EXPECT_EQ(find("London, United Kingdom"), 1);
  EXPECT_EQ(find("Paris, France"), 4);
  EXPECT_EQ(find("Jerusalem, Israel"), 63);
  EXPECT_EQ(find("St. John's, NL"), 45);
}

}  // namespace
}  // namespace kv
