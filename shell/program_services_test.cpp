#include "shell/program_services.h"

#include <gtest/gtest.h>

#include "calendar/clock.h"
#include "calendar/jewish.h"
#include "calendar/zone_conversion.h"
#include "overlays/overlay_set.h"
#include "base/messages.h"
#include "base/settings.h"
#include "sky/reference.h"
#include "sky/zones.h"
#include "store/db_files.h"
#include "base/file_io.h"
#include "store/store_test_support.h"


namespace kv {
namespace {

class ProgramServicesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InstallProgramServices();
    SetSettingsStore(&settings_);
    SetClockSource(&clock_);
    os_.current.keyName = "Pacific Standard Time";
    SetOsZoneSource(&os_);
    folder_ = test::MakeTempFolder();
  }
  void TearDown() override {
    SetShellServices(nullptr);
    ResetOverlays();
    ResetPointOfReference();
    ResetZones();
    SetOsZoneSource(nullptr);
    SetComputerZoneSource(nullptr);
    SetClockSource(nullptr);
    SetSettingsStore(nullptr);
    RebuildJewishMonthNames();
  }

  MemorySettings settings_;
  FixedClock clock_{DateStamp{2026, 7, 1, 12, 0}};
  FixtureOsZones os_;
  std::string folder_;
};

// The shipped zone file and the system's zone reach the shell, the store and the calendar.
TEST_F(ProgramServicesTest, ZonesAndPointOfReference) {
  ScriptedMessages messages;
  ScopedMessageSink scope(messages);
  Services().LoadZoneTable(RunningProgramFolder());
  EXPECT_EQ(Services().SystemZone(), 36);
  EXPECT_EQ(ComputerZoneIndex(), 36);

  Services().UseZone(41);
  EXPECT_EQ(CurrentZone(), 41);
  EXPECT_EQ(CurrentZoneInUse().standardName, FindZone(41)->standardName);

  CalendarConfig config;
  config.locationName = "Jerusalem";
  config.location.zone = 63;
  config.location.latitude = 31.78;
  config.location.longitude = 35.22;
  Services().ApplyPointOfReference(config);
  EXPECT_EQ(CurrentZone(), 63);
  EXPECT_TRUE(HasPointOfReference());
  EXPECT_EQ(CurrentPointOfReference().name, "Jerusalem");
  EXPECT_DOUBLE_EQ(CurrentPointOfReference().longitude, 35.22);
  EXPECT_EQ(CurrentZoneInUse().year, 2026);
  EXPECT_TRUE(messages.Shown().empty());

  // A zone file that is not there leaves the table empty and the system zone unknown.
  ResetZones();
  os_.current.keyName = "Nowhere Standard Time";
  Services().LoadZoneTable(folder_);
  EXPECT_TRUE(ZoneTable().empty());
  EXPECT_EQ(Services().SystemZone(), 0);
}

TEST_F(ProgramServicesTest, LocationsForTheDefaultPointOfReference) {
  ScriptedMessages messages;
  ScopedMessageSink scope(messages);
  // Before the first run made the user's list there is simply nothing to choose from.
  std::string path = JoinPath(folder_, "My Locations.dat");
  EXPECT_TRUE(Services().ReadLocations(path).empty());
  EXPECT_TRUE(messages.Shown().empty());
  // South and west come back as negative degrees.
  LocationRecord sydney;
  sydney.name = "Sydney, Australia";
  sydney.south = sydney.west = true;
  sydney.latDegrees = 33, sydney.latMinutes = 52;
  sydney.lonDegrees = 151, sydney.lonMinutes = 12;
  sydney.zone = 76;
  ASSERT_TRUE(WriteLocations(path, {sydney}));
  std::vector<LocationEntry> entries = Services().ReadLocations(path);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, "Sydney, Australia");
  EXPECT_EQ(entries[0].zone, 76);
  EXPECT_LT(entries[0].latitude, -33.8);
  EXPECT_LT(entries[0].longitude, -151.1);
}

TEST_F(ProgramServicesTest, OverlaySetBehindTheShell) {
  ScriptedMessages messages;
  ScopedMessageSink scope(messages);
  OverlayEvent e;
  e.kind = kKindOnce;
  e.year = 2026, e.month = 7, e.day = 4;
  e.description = "Picnic";
  std::string path = JoinPath(folder_, "Family.kov");
  ASSERT_TRUE(SaveNewOverlay(path, {e}, Accent{}));

  EXPECT_TRUE(Services().AddOverlay(path));
  EXPECT_FALSE(Services().AddOverlay(JoinPath(folder_, "Missing.kov")));
  ASSERT_EQ(messages.Shown().size(), 1u);  // the overlay module said why
  EXPECT_EQ(Services().OverlayNames(), std::vector<std::string>{path});
  EXPECT_EQ(Overlays().events.size(), 1u);

  for (int i = 1; i < kMaxOverlays; ++i) EXPECT_TRUE(Services().AddOverlay(path));
  EXPECT_FALSE(Services().AddOverlay(path));  // a 21st overlay is refused
  EXPECT_EQ(Services().OverlayNames().size(), static_cast<size_t>(kMaxOverlays));

  Services().CloseOverlays();
  EXPECT_TRUE(Services().OverlayNames().empty());
  EXPECT_TRUE(Overlays().events.empty());
}

TEST_F(ProgramServicesTest, DatabaseFolderFollowsTheConfiguration) {
  std::string first = JoinPath(folder_, "first");
  std::string second = JoinPath(folder_, "second");
  Services().UseDatabaseFolder(first);
  EXPECT_EQ(DatabaseFolder(), first);
  SetSystemZone(41);
  Services().UseDatabaseFolder(second);
  EXPECT_EQ(ComputerZoneIndex(), 41);  // old schedule items keep reading as the computer's zone
  EXPECT_EQ(MonthFilePath(MonthKey(2026, 3)), JoinPath(second, "MAR-2026.kvdb"));
  ResetStore();
  SetDatabaseFolder("");
}

TEST_F(ProgramServicesTest, JewishSetupNamesAreReadAtStart) {
  settings_.Write("Jewish Setup", "M1", "Tishri");
  Services().LoadJewishSetup();
  EXPECT_EQ(JewishMonthName(1, false), "Tishri");
}

}  // namespace
}  // namespace kv
