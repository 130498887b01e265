#include "shell/location_setup.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

LocationRecord Place(const std::string& name, int zone) {
  LocationRecord r;
  r.name = name;
  r.zone = zone;
  return r;
}

TEST(LocationList, LoadSelectsThePointOfReferenceByName) {
  LocationList list;
  list.Load({Place("Boston, MA", 3), Place("Paris", 4), Place("Sydney", 60)}, "Paris");
  EXPECT_EQ(list.selected, 2);
  ASSERT_NE(list.Selected(), nullptr);
  EXPECT_EQ(list.Selected()->name, "Paris");
  EXPECT_FALSE(list.listChanged);
  EXPECT_FALSE(list.choiceChanged);

  list.Load({Place("Boston, MA", 3)}, "Atlantis");  // not in the list: the first entry
  EXPECT_EQ(list.selected, 0);
  EXPECT_EQ(list.Selected(), nullptr);
  list.Load({Place("Boston, MA", 3)}, "");  // no point of reference: nothing matches an empty name
  EXPECT_EQ(list.selected, 0);
}

TEST(LocationList, AddEditRemoveKeepComboAndRecordsInStep) {
  LocationList list;
  list.Load({Place("A", 1), Place("B", 2), Place("C", 3)}, "A");
  EXPECT_EQ(list.Add(Place("D", 4)), 4);
  EXPECT_EQ(list.Selected()->name, "D");
  EXPECT_TRUE(list.listChanged && list.choiceChanged);

  list.Choose(2);
  list.Remove();  // B: kept with zone -1 so that the file drops it, gone from the combo box
  EXPECT_EQ(list.selected, 0);
  EXPECT_EQ(list.records[1].zone, -1);
  EXPECT_EQ(list.Names(), (std::vector<std::string>{"A", "C", "D"}));

  list.Choose(2);  // now C
  LocationRecord c = *list.Selected();
  c.name = "C2";
  list.Replace(c);
  EXPECT_EQ(list.records[2].name, "C2");
  EXPECT_EQ(list.Names(), (std::vector<std::string>{"A", "C2", "D"}));

  // Nothing selected: edit and remove do nothing; a choice out of range is the first entry.
  list.Choose(0);
  list.Remove();
  list.Replace(Place("X", 9));
  EXPECT_EQ(list.Names().size(), 3u);
  list.Choose(17);
  EXPECT_EQ(list.selected, 0);
}

TEST(LocationList, OkWritesTheChangedListAndChangesThePointOnlyFromTheMenu) {
  struct Case {
    int choose;       // -1: leave the selection alone
    bool add, remove, fromMenu;
    bool write, change;
    const char* point;  // nullptr: cleared
  };
  const Case cases[] = {
      {-1, false, false, true, false, false, nullptr},  // nothing done
      {2, false, false, true, false, true, "B"},        // another location chosen
      {0, false, false, true, false, true, nullptr},    // "(unknown)" chosen: point cleared
      {-1, true, false, true, true, true, "New"},       // a new location becomes the point
      {-1, true, false, false, true, false, nullptr},   // from the map window: only the list
      {1, false, true, true, true, false, nullptr},     // removing the point's entry keeps the point
      {2, false, true, true, true, true, nullptr},      // chose B, then removed it: cleared
  };
  for (const Case& c : cases) {
    LocationList list;
    list.Load({Place("A", 1), Place("B", 2)}, "A");
    if (c.choose >= 0) list.Choose(c.choose);
    if (c.add) list.Add(Place("New", 5));
    if (c.remove) list.Remove();
    LocationOutcome out = FinishLocationList(list, c.fromMenu);
    EXPECT_EQ(out.writeFile, c.write) << c.choose << c.add << c.remove;
    EXPECT_EQ(out.changePoint, c.change) << c.choose << c.add << c.remove;
    if (c.point) {
      ASSERT_TRUE(out.point.has_value());
      EXPECT_EQ(out.point->name, c.point);
    } else {
      EXPECT_FALSE(out.point.has_value());
    }
  }
}

TEST(LocationSetup, PointOfReferenceInTheConfiguration) {
  CalendarConfig config;
  config.location.zone = 7;
  LocationRecord r = Place("Buenos Aires", 8);
  r.south = r.west = true;
  r.latDegrees = 34, r.latMinutes = 36, r.latSeconds = 0;
  r.lonDegrees = 58, r.lonMinutes = 22, r.lonSeconds = 48;
  StorePointOfReference(config, &r);
  EXPECT_EQ(config.locationName, "Buenos Aires");
  EXPECT_EQ(config.location.zone, 8);
  EXPECT_NEAR(config.location.latitude, -34.6, 1e-9);
  EXPECT_NEAR(config.location.longitude, -58.38, 1e-9);
  EXPECT_TRUE(LocationCancelAllowed(config));

  StorePointOfReference(config, nullptr);  // cleared: the name only
  EXPECT_EQ(config.locationName, "");
  EXPECT_EQ(config.location.zone, 8);

  r.name = std::string(80, 'x');  // kept to the configuration's field
  StorePointOfReference(config, &r);
  EXPECT_EQ(config.locationName.size(), kLocationNameMax);

  config.location.zone = 0;
  EXPECT_FALSE(LocationCancelAllowed(config));
}

TEST(LocationSetup, PickableZonesLeaveOutFlaggedOnesInTableOrder) {
  std::vector<ZoneRecord> table(4);
  table[0].id = 10, table[1].id = 3, table[2].id = 7, table[3].id = 5;
  table[2].flag = 1;
  std::vector<const ZoneRecord*> zones = PickableZones(table);
  ASSERT_EQ(zones.size(), 3u);
  EXPECT_EQ(zones[0]->id, 10);
  EXPECT_EQ(zones[2]->id, 5);
  EXPECT_EQ(PickableZoneIndex(zones, 3), 1);
  EXPECT_EQ(PickableZoneIndex(zones, 7), -1);  // flagged
  EXPECT_EQ(PickableZoneIndex(zones, 0), -1);
}

TEST(LocationSetup, EntryChecksAndControlPanel) {
  EXPECT_EQ(CheckLocationName(""), 28503);
  EXPECT_EQ(CheckLocationName("  \t"), 28503);
  EXPECT_EQ(CheckLocationName("Oslo"), 0);
  EXPECT_EQ(CheckLocationZone(0), 28504);
  EXPECT_EQ(CheckLocationZone(-1), 28504);
  EXPECT_EQ(CheckLocationZone(4), 0);
  EXPECT_EQ(DateTimeControlPanelCommand("C:\\Windows\\system32"), "C:\\Windows\\system32\\control.exe timedate.cpl,,1");
}

TEST(Welcome, StepsAreMarkedAndTheLocationStepSetsTheSkyOptions) {
  struct Case {
    bool available, done, hasLocation;
    WelcomeMark mark;
    const char* line;
    uint8_t moon, sunMoonHidden;
  };
  const Case cases[] = {
      {true, true, true, WelcomeMark::Done, "Time Zone and Location", 2, 0},
      {true, false, true, WelcomeMark::Skipped, "Time Zone and Location", 2, 0},  // cancelled, a location kept
      {true, true, false, WelcomeMark::Done, "Time Zone and Location -- (no location)", 1, 1},
      {false, false, false, WelcomeMark::Skipped, "Time Zone and Location -- (no location)", 1, 1},
  };
  for (const Case& c : cases) {
    CalendarConfig config;
    config.moonPhases = 1;
    config.sunMoonHidden = 1;
    WelcomeProgress p;
    EXPECT_EQ(WelcomeStepLine(p, 0), "Time Zone and Location");  // no suffix before the step ran
    RecordWelcomeStep(p, c.available, c.done, c.hasLocation, config);
    EXPECT_EQ(p.marks[0], c.mark);
    EXPECT_EQ(WelcomeStepLine(p, 0), c.line);
    EXPECT_EQ(config.moonPhases, c.moon);
    EXPECT_EQ(config.sunMoonHidden, c.sunMoonHidden);
  }
}

TEST(Welcome, ThreeStepsThenFinished) {
  CalendarConfig config;
  WelcomeProgress p;
  RecordWelcomeStep(p, true, true, true, config);
  EXPECT_FALSE(p.Finished());
  // Later steps leave the sky options alone, whatever a location says.
  config.moonPhases = 0;
  RecordWelcomeStep(p, false, true, true, config);  // an empty step is skipped even when "done"
  RecordWelcomeStep(p, true, true, false, config);
  EXPECT_TRUE(p.Finished());
  EXPECT_EQ(config.moonPhases, 0);
  EXPECT_EQ(p.marks[1], WelcomeMark::Skipped);
  EXPECT_EQ(p.marks[2], WelcomeMark::Done);
  EXPECT_FALSE(p.noLocation);
  RecordWelcomeStep(p, true, false, false, config);  // nothing after the last
  EXPECT_EQ(p.marks[2], WelcomeMark::Done);
  EXPECT_EQ(WelcomeStepLine(p, 1), "Calendar Preferences");
  EXPECT_EQ(WelcomeStepLine(p, 2), "Desktop Icon");
  EXPECT_EQ(WelcomeStepLine(p, 3), "");
  EXPECT_EQ(WelcomeMarkText(WelcomeMark::Done), "Done");
  EXPECT_EQ(WelcomeMarkText(WelcomeMark::Skipped), "Skipped");
  EXPECT_EQ(WelcomeMarkText(WelcomeMark::Pending), "");
}

}  // namespace
}  // namespace kv
