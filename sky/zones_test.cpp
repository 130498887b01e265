#include "sky/zones.h"

#include <gtest/gtest.h>

#include "base/messages.h"

namespace kv {
namespace {

ZoneRecord Zone(int id, int sort, const char* key, int bias, ZoneDate standard, ZoneDate daylight) {
  ZoneRecord z;
  z.id = id, z.sortKey = sort, z.keyName = key, z.bias = bias, z.standardDate = standard, z.daylightDate = daylight;
  z.display = std::string("(display) ") + key;
  z.standardName = key;
  std::string dlt = key;
  if (size_t at = dlt.find("Standard"); at != std::string::npos) dlt.replace(at, 8, "Daylight");
  z.daylightName = dlt;
  return z;
}

ZoneRecord Pacific() { return Zone(36, 100, "Pacific Standard Time", 480, {11, 0, 1, 120}, {3, 0, 2, 120}); }
ZoneRecord Eastern() { return Zone(41, 160, "Eastern Standard Time", 300, {11, 0, 1, 120}, {3, 0, 2, 120}); }
ZoneRecord London() { return Zone(1, 480, "GMT Standard Time", 0, {10, 0, 5, 120}, {3, 0, 5, 60}); }
ZoneRecord Sydney() { return Zone(115, 1200, "AUS Eastern Standard Time", -600, {4, 0, 1, 180}, {10, 0, 1, 120}); }
ZoneRecord Tokyo() { return Zone(108, 1100, "Tokyo Standard Time", -540, {}, {}); }

class Zones : public ::testing::Test {
 protected:
  void TearDown() override { ResetZones(); }
};

TEST_F(Zones, LineRoundTrip) {
  ZoneRecord z = London();
  z.display = "(UTC+00:00) Dublin, Edinburgh, \"Lisbon\", London";
  z.flag = 1;
  std::string line = SerializeZoneRecord(z);
  EXPECT_EQ(line.substr(line.size() - 2), "\r\n");
  EXPECT_NE(line.find("\"(UTC+00:00) Dublin, Edinburgh, \"\"Lisbon\"\", London\""), std::string::npos);
  EXPECT_EQ(ParseZoneLine(line), z);
}

TEST_F(Zones, FieldsAreCutToTheirMaximaAndMissingOnesEmpty) {
  ZoneRecord z = ParseZoneLine("12345,1234567,Key,-1234567," + std::string(100, 'd') + "\r\n");
  EXPECT_EQ(z.id, 123);          // 3 characters kept
  EXPECT_EQ(z.sortKey, 12345);   // 5
  EXPECT_EQ(z.bias, -1234);
  EXPECT_EQ(z.display.size(), 79u);
  EXPECT_EQ(z.standardName, "");
  EXPECT_FALSE(z.HasDaylightRule());
  EXPECT_EQ(ParseZoneLine("1,1,K,0,d,s,t,1,0,1,0,1,0,1,0,1x\r\n").flag, 1);
  EXPECT_EQ(ParseZoneLine("1,1,K,0,d,s,t,1,0,1,0,1,0,1,0,x1\r\n").flag, 0);
}

TEST_F(Zones, FileIsReadInBlocksOfOneLine) {
  std::string longLine = "7,70,Long Standard Time,0,\"" + std::string(300, 'x') + "\",Std,Dlt,0,0,0,0,0,0,0,0,0\r\n";
  std::string data = SerializeZoneRecord(Pacific()) + longLine + SerializeZoneRecord(Eastern()) + "9,9,X\r\n";
  ZoneFileContents c = ParseZoneFile(data);
  ASSERT_EQ(c.zones.size(), 3u);
  EXPECT_EQ(c.zones[0], Pacific());
  EXPECT_EQ(c.zones[1].id, 7);   // the long line keeps what its block holds...
  EXPECT_EQ(c.zones[1].display.size(), 79u);
  EXPECT_EQ(c.zones[1].standardName, "");  // ...which ends inside the display text
  EXPECT_EQ(c.zones[2], Eastern());  // and the next line is read after its end
  // The final "9,9,X\r\n" is shorter than 10 bytes and is not read.
  EXPECT_EQ(ParseZoneFile(data + "10,10,Y,0\r\n").zones.size(), 5u);  // now both are read
  EXPECT_EQ(ParseZoneFile("").zones.size(), 0u);
  // LF-only line ends and a last line without an end are read too.
  EXPECT_EQ(ParseZoneFile("1,1,A,0,d\n2,2,B,0,d\n3,3,C,0,dddd").zones.size(), 3u);
}

TEST_F(Zones, TableKeepsTheFirst256RecordsAndSkipsLinesWithoutIdentifier) {
  std::string data = "0,5,No identifier,0,d\r\n-3,5,Negative,0,d\r\n";
  for (int i = 1; i <= 300; ++i) data += std::to_string(i) + "," + std::to_string(1000 - i) + ",Zone " + std::to_string(i) + ",0,d\r\n";
  ZoneFileContents c = ParseZoneFile(data);
  ASSERT_EQ(c.zones.size(), 256u);
  EXPECT_EQ(c.skippedLines, 2 + 44);
  EXPECT_EQ(c.zones.back().id, 256);
}

TEST_F(Zones, SortIsStable) {
  std::vector<ZoneRecord> zones = {Zone(1, 30, "a", 0, {}, {}), Zone(2, 10, "b", 0, {}, {}), Zone(3, 30, "c", 0, {}, {}),
                                   Zone(4, 10, "d", 0, {}, {}), Zone(5, 20, "e", 0, {}, {})};
  SortZones(zones);
  std::vector<int> ids;
  for (const ZoneRecord& z : zones) ids.push_back(z.id);
  EXPECT_EQ(ids, (std::vector<int>{2, 4, 5, 1, 3}));
}

TEST_F(Zones, RuleDaysAndDaylightCodes) {
  struct Case {
    ZoneDate date;
    int year, day;
  } days[] = {
      {{10, 0, 5, 0}, 2021, 31},  // 31 October 2021 is a Sunday
      {{10, 0, 5, 0}, 2024, 27},
      {{11, 0, 1, 0}, 2020, 1},   // 1 November 2020 is a Sunday
      {{3, 0, 1, 0}, 2021, 7},    // 1 March 2021 is a Monday
      {{3, 0, 2, 0}, 2024, 10},
      {{2, 6, 5, 0}, 2024, 24},   // last Saturday of a leap February
      {{3, 5, 5, 0}, 2024, 29},   // last Friday of March
  };
  for (const Case& c : days) EXPECT_EQ(RuleDay(c.date, c.year), c.day) << c.date.month << "/" << c.year;
  EXPECT_EQ(ComputeDaylightCodes(Pacific(), 2024), (DaylightCodes{310, 1103}));
  EXPECT_EQ(ComputeDaylightCodes(London(), 2024), (DaylightCodes{331, 1027}));
  EXPECT_EQ(ComputeDaylightCodes(Sydney(), 2024), (DaylightCodes{1006, 407}));
  EXPECT_EQ(ComputeDaylightCodes(Tokyo(), 2024), (DaylightCodes{0, 0}));
}

TEST_F(Zones, TimedDaylightTest) {
  struct Case {
    ZoneRecord zone;
    DateStamp local;
    bool daylight;
  } cases[] = {
      {Pacific(), {2024, 3, 10, 1, 59}, false}, {Pacific(), {2024, 3, 10, 2, 0}, true},
      {Pacific(), {2024, 11, 3, 1, 59}, true},  {Pacific(), {2024, 11, 3, 2, 0}, false},
      {Pacific(), {2024, 7, 1, 12, 0}, true},   {Pacific(), {2024, 1, 1, 12, 0}, false},
      {Sydney(), {2024, 1, 15, 12, 0}, true},   {Sydney(), {2024, 7, 1, 12, 0}, false},
      {Sydney(), {2024, 4, 7, 2, 59}, true},    {Sydney(), {2024, 4, 7, 3, 0}, false},
      {Sydney(), {2024, 10, 6, 2, 0}, true},    {Tokyo(), {2024, 7, 1, 12, 0}, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(IsDaylightAt(c.zone, c.local), c.daylight) << c.zone.keyName << " " << c.local.month << "/" << c.local.day;
}

TEST_F(Zones, MarkersFollowTheRule) {
  ZoneRecord london = London();
  DaylightMarkers eu = MarkersForZone(&london);  // last Sundays: searched from the 25th
  EXPECT_EQ(eu.daylightBegins.firstDay, 25);
  EXPECT_EQ(eu.standardBegins.firstDay, 25);
  EXPECT_EQ(eu.standardBegins.weekday, 0);
  EXPECT_EQ(MarkersForZone(nullptr).standardBegins.month, 14);
}

TEST_F(Zones, RuleInWords) {
  EXPECT_EQ(DescribeZoneRule(Pacific()),
            "The daylight period for this time zone begins on the 2nd Sunday in March.  Standard time resumes on the "
            "1st Sunday in November.");
  EXPECT_EQ(DescribeZoneRule(London()),
            "The daylight period for this time zone begins on the last Sunday in March.  Standard time resumes on the "
            "last Sunday in October.");
  EXPECT_EQ(DescribeZoneRule(Tokyo()), "");
}

TEST_F(Zones, ConversionBetweenZones) {
  ZoneRecord p = Pacific(), e = Eastern(), l = London(), s = Sydney(), t = Tokyo();
  struct Case {
    const ZoneRecord *from, *to;
    DateStamp in, out;
  } cases[] = {
      {&e, &p, {2024, 7, 1, 12, 0}, {2024, 7, 1, 9, 0}},
      {&l, &s, {2024, 1, 15, 0, 30}, {2024, 1, 15, 11, 30}},
      {&p, &l, {2023, 12, 31, 20, 0}, {2024, 1, 1, 4, 0}},
      {&t, &p, {2024, 3, 1, 1, 0}, {2024, 2, 29, 8, 0}},
      {&l, &l, {2024, 7, 1, 12, 0}, {2024, 7, 1, 12, 0}},
      {&p, nullptr, {2024, 7, 1, 12, 0}, {2024, 7, 1, 12, 0}},
  };
  for (const Case& c : cases) EXPECT_EQ(ConvertBetweenZones(c.in, c.from, c.to), c.out);
  EXPECT_EQ(MinutesBetween({2024, 2, 28, 23, 0}, {2024, 3, 1, 1, 0}), 26 * 60);
}

TEST_F(Zones, TziRoundTrip) {
  ZoneKeyData k;
  k.bias = 480, k.standardBias = 0, k.daylightBias = -60;
  k.standardDate = {0, 11, 0, 1, 2, 0, 0, 0};
  k.daylightDate = {0, 3, 0, 2, 2, 0, 0, 0};
  uint8_t bytes[44];
  SerializeTzi(k, bytes);
  EXPECT_EQ(bytes[0], 0xE0);
  EXPECT_EQ(bytes[1], 0x01);
  EXPECT_EQ(bytes[8], 0xC4);  // −60
  ZoneKeyData back;
  EXPECT_FALSE(ParseTzi(bytes, 43, &back));
  ASSERT_TRUE(ParseTzi(bytes, 44, &back));
  EXPECT_EQ(back.daylightBias, -60);
  EXPECT_EQ(back.standardDate.month, 11);
  EXPECT_EQ(back.daylightDate.day, 2);
  EXPECT_EQ(back.daylightDate.hour, 2);
}

ZoneKeyData Key(const char* name, int bias, SystemTimeFields standard, SystemTimeFields daylight) {
  ZoneKeyData k;
  k.keyName = name, k.display = std::string("OS ") + name, k.standardName = std::string("OS std ") + name;
  k.daylightName = std::string("OS dlt ") + name;
  k.hasTzi = true, k.bias = bias, k.standardDate = standard, k.daylightDate = daylight;
  return k;
}

TEST_F(Zones, MergeWithTheOperatingSystem) {
  FixtureOsZones os;
  os.keys = {Key("pacific standard time", 480, {0, 11, 0, 1, 3, 0, 0, 0}, {0, 3, 0, 2, 1, 30, 0, 0}),
             Key("Nowhere Standard Time", 0, {}, {})};
  std::vector<ZoneRecord> zones = {Pacific(), London()};
  zones[0].flag = 1;
  EXPECT_EQ(MergeOsZones(zones, os), 1);
  EXPECT_EQ(zones[0].display, "OS pacific standard time");
  EXPECT_EQ(zones[0].standardName, "OS std pacific standard time");
  EXPECT_EQ(zones[0].daylightName, "OS dlt pacific standard time");
  EXPECT_EQ(zones[0].standardDate, (ZoneDate{11, 0, 1, 180}));
  EXPECT_EQ(zones[0].daylightDate, (ZoneDate{3, 0, 2, 90}));
  EXPECT_EQ(zones[0].flag, 0);
  EXPECT_EQ(zones[1], London());

  // Before Windows XP only the texts are taken.
  os.version = {5, 0};
  zones = {Pacific()};
  MergeOsZones(zones, os);
  EXPECT_EQ(zones[0].display, "OS pacific standard time");
  EXPECT_EQ(zones[0].standardDate, Pacific().standardDate);

  // The older key's names lack " Standard Time".
  os.version = {4, 10};
  os.ntKey = false;
  os.keys = {Key("Pacific", 480, {}, {})};
  zones = {Pacific()};
  EXPECT_EQ(MergeOsZones(zones, os), 1);
  EXPECT_EQ(zones[0].display, "OS Pacific");

  os.present = false;
  EXPECT_EQ(MergeOsZones(zones, os), 0);
}

TEST_F(Zones, SystemZoneDetection) {
  ScriptedMessages messages;
  ScopedMessageSink scope(messages);
  FixtureOsZones os;
  os.keys = {Key("Tokyo Standard Time", -540, {}, {})};
  os.keys[0].standardName = "Tokyo Standard Time";
  SetOsZoneSource(&os);
  SetZoneTable({Pacific(), London(), Tokyo()});

  os.current.keyName = "GMT Standard Time";
  EXPECT_EQ(DetectSystemZone(), 1);
  EXPECT_EQ(SystemBias(), 0);

  // Older systems: the user's key name, else the standard name through the system's zones,
  // else the standard name against the table's names.
  os.version = {5, 1};
  os.current = {};
  os.current.userKeyName = "Pacific Standard Time";
  EXPECT_EQ(DetectSystemZone(), 36);
  EXPECT_EQ(SystemBias(), 480);
  os.current = {};
  os.current.standardName = "Tokyo Standard Time";
  EXPECT_EQ(DetectSystemZone(), 108);
  os.keys.clear();
  os.current.standardName = "GMT Standard Time";
  EXPECT_EQ(DetectSystemZone(), 1);
  os.current = {};
  os.current.userKeyName = "Pacific";  // a name of the older key
  EXPECT_EQ(DetectSystemZone(), 36);
  EXPECT_TRUE(messages.Shown().empty());

  os.version = {10, 0};
  os.current = {};
  os.current.keyName = "Mars Standard Time";
  EXPECT_EQ(DetectSystemZone(), 0);
  EXPECT_EQ(SystemBias(), 480);  // kept from before
  os.current = {};
  EXPECT_EQ(DetectSystemZone(), 0);
  ASSERT_EQ(messages.Shown().size(), 2u);
  EXPECT_EQ(messages.Shown()[0].text, "Unable to locate time zone in system registry: >Mars Standard Time<");
  EXPECT_EQ(messages.Shown()[1].text, "Unable to locate time zone in system registry: >Unknown<");
}

TEST_F(Zones, LoadingAMissingFileLeavesTheTableEmpty) {
  SetZoneTable({Pacific()});
  EXPECT_FALSE(LoadZoneTable("/nonexistent/KVTZX.DAT"));
  EXPECT_TRUE(ZoneTable().empty());
  EXPECT_EQ(FindZone(36), nullptr);
  SetZoneTable({Pacific(), London()});
  EXPECT_EQ(FindZone(1)->keyName, "GMT Standard Time");
  EXPECT_EQ(FindZone(0), nullptr);
  EXPECT_EQ(FindZone(2), nullptr);
}

}  // namespace
}  // namespace kv
