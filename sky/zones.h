// Time zones: the program's zone file "KVTZX.DAT" completed from the operating system's zone
// data, the system's own zone, daylight-time rules and their codes, the rule in words, and
// the conversion of a local time between two zones.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/dates.h"
#include "calendar/daylight_markers.h"

namespace kv {

// A switch date of a rule: the week-th weekday of the month (week 5 = the last), at a time.
struct ZoneDate {
  int32_t month = 0;    // 1 ... 12; 0 in the standard date = no daylight rule
  int32_t weekday = 0;  // 0 = Sunday
  int32_t week = 0;     // 1 ... 4, 5 = last
  int32_t minutes = 0;  // after midnight
  friend bool operator==(const ZoneDate&, const ZoneDate&) = default;
};

struct ZoneRecord {
  int32_t id = 0;
  int32_t sortKey = 0;
  int32_t bias = 0;          // minutes, UT minus local standard time
  ZoneDate standardDate;     // when standard time resumes
  ZoneDate daylightDate;     // when daylight time begins
  int32_t flag = 0;          // 1 = left out of the location editor's zone list
  std::string keyName;       // the operating system's zone key name
  std::string display;
  std::string standardName;
  std::string daylightName;

  bool HasDaylightRule() const { return standardDate.month != 0; }
  friend bool operator==(const ZoneRecord&, const ZoneRecord&) = default;
};

constexpr int kMaxZones = 256;
constexpr size_t kZoneBlockBytes = 192;

// One line of the zone file and back (CR LF included); Parse takes the sixteen fields with
// their maxima.
ZoneRecord ParseZoneLine(std::string_view line);
std::string SerializeZoneRecord(const ZoneRecord& zone);

struct ZoneFileContents {
  std::vector<ZoneRecord> zones;  // in file order
  int skippedLines = 0;           // lines beyond the table's 256 records or without an identifier
};

// Reads the file's text in 192-byte blocks, one line per block, until a block shorter than
// 10 bytes. A line longer than a block keeps what fits and the next line is read after its
// end. Lines whose identifier is not a positive number are skipped, and so is every line
// after the 256th record.
ZoneFileContents ParseZoneFile(std::string_view data);

// Stable insertion sort by sort key.
void SortZones(std::vector<ZoneRecord>& zones);

// ---- the operating system's zones -----------------------------------------------------------

struct SystemTimeFields {
  uint16_t year = 0, month = 0, dayOfWeek = 0, day = 0, hour = 0, minute = 0, second = 0, milliseconds = 0;
};

// One subkey of the operating system's time-zone key.
struct ZoneKeyData {
  std::string keyName;  // the subkey's name
  std::string display, standardName, daylightName;  // "Display", "Std", "Dlt"
  bool hasTzi = false;
  int32_t bias = 0, standardBias = 0, daylightBias = 0;
  SystemTimeFields standardDate, daylightDate;
};

// The 44-byte "TZI" value; false when it is shorter.
bool ParseTzi(const uint8_t* data, size_t size, ZoneKeyData* key);
void SerializeTzi(const ZoneKeyData& key, uint8_t out[44]);

struct OsVersion {
  int major = 0, minor = 0;
};

// The names the operating system gives its current zone.
struct OsCurrentZoneNames {
  std::string keyName;      // "TimeZoneKeyName" of the machine's TimeZoneInformation key
  std::string userKeyName;  // "TimeZoneKeyName" of the user's Time Zones key (older systems)
  std::string standardName; // "StandardName" of the machine's TimeZoneInformation key
};

// The operating system's zone data: the registry in the Windows program, fixture data in
// tests, nothing in kvtool.
class OsZoneSource {
 public:
  virtual ~OsZoneSource() = default;
  virtual OsVersion Version() = 0;
  // Every subkey of the Time Zones key; false when neither key exists. `ntKey` tells whether
  // they came from the Windows NT key (names with " Standard Time") or the older key.
  virtual bool ReadZoneKeys(std::vector<ZoneKeyData>* keys, bool* ntKey) = 0;
  virtual OsCurrentZoneNames CurrentZoneNames() = 0;
};

// The source in use (the caller keeps ownership); nullptr: no operating-system data.
void SetOsZoneSource(OsZoneSource* source);
OsZoneSource* CurrentOsZoneSource();

// Test and kvtool data for the seam.
class FixtureOsZones : public OsZoneSource {
 public:
  OsVersion version{6, 1};
  bool present = true;
  bool ntKey = true;
  std::vector<ZoneKeyData> keys;
  OsCurrentZoneNames current;

  OsVersion Version() override { return version; }
  bool ReadZoneKeys(std::vector<ZoneKeyData>* out, bool* nt) override {
    if (!present) return false;
    *out = keys;
    *nt = ntKey;
    return true;
  }
  OsCurrentZoneNames CurrentZoneNames() override { return current; }
};

// Completes the table from the operating system (names, display texts and, on Windows XP and
// later, the rules of the zones it knows). Returns the number of records changed.
int MergeOsZones(std::vector<ZoneRecord>& zones, OsZoneSource& source);

// ---- the zone table ---------------------------------------------------------------------------

// Reads the zone file, sorts it and merges the operating system's data into the table in use.
// A missing file leaves the table empty (false); the merge still runs on nothing.
bool LoadZoneTable(const std::string& path);
void SetZoneTable(std::vector<ZoneRecord> zones);
const std::vector<ZoneRecord>& ZoneTable();
// The record with that identifier, or nullptr.
const ZoneRecord* FindZone(int id);

// The operating system's current zone: its identifier, or 0 after the message "Unable to
// locate time zone in system registry: >%s<" captioned "Error!". Found, its bias becomes the
// system bias.
int DetectSystemZone();
int SystemBias();

// ---- rules --------------------------------------------------------------------------------

// The day of the month a rule date falls on in a year.
int RuleDay(const ZoneDate& date, int year);

struct DaylightCodes {
  int start = 0;  // month × 100 + day: first day of daylight time
  int end = 0;    // first day of standard time
  friend bool operator==(const DaylightCodes&, const DaylightCodes&) = default;
};
// The codes of a year; both 0 for a zone without rule.
DaylightCodes ComputeDaylightCodes(const ZoneRecord& zone, int year);

// Whether a local time is in daylight time, to the minute (the switch times count).
bool IsDaylightAt(const ZoneRecord& zone, const DateStamp& local);

// The two calendar markers of a zone (no zone or no rule: neither occurs).
DaylightMarkers MarkersForZone(const ZoneRecord* zone);

// "The daylight period for this time zone begins on the ..."; empty for a zone without rule.
std::string DescribeZoneRule(const ZoneRecord& zone);

// A local time of one zone as the local time of another (either missing: unchanged).
DateStamp ConvertBetweenZones(const DateStamp& local, const ZoneRecord* from, const ZoneRecord* to);

// Minutes from one date-time to another.
int MinutesBetween(const DateStamp& from, const DateStamp& to);

// Clears the table, the system zone and bias and the source (tests).
void ResetZones();

}  // namespace kv
