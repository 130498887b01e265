#include "sky/zones.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "calendar/clock.h"
#include "calendar/date_format.h"
#include "resources/strings.h"
#include "base/messages.h"
#include "sky/text_fields.h"
#include "base/file_io.h"
#include "base/bytes.h"

namespace kv {
namespace {

constexpr int kZoneFieldMax[16] = {4, 6, 128, 6, 80, 80, 80, 4, 4, 4, 6, 4, 4, 4, 6, 4};
constexpr size_t kShortestBlock = 10;

struct ZoneState {
  std::vector<ZoneRecord> zones;
  OsZoneSource* source = nullptr;
  int systemBias = 0;
};

ZoneState& State() {
  static ZoneState state;
  return state;
}

bool SameName(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
  });
}

// The older systems' key names lack the " Standard Time" the file's names carry.
std::string_view WithoutStandardTime(std::string_view name) {
  constexpr std::string_view suffix = " Standard Time";
  if (name.size() >= suffix.size() && SameName(name.substr(name.size() - suffix.size()), suffix))
    name.remove_suffix(suffix.size());
  return name;
}

ZoneDate DateFromSystemTime(const SystemTimeFields& t) {
  return {t.month, t.dayOfWeek, t.day, t.hour * 60 + t.minute};
}

SystemTimeFields ReadSystemTime(const uint8_t* p) {
  SystemTimeFields t;
  uint16_t* fields[] = {&t.year, &t.month, &t.dayOfWeek, &t.day, &t.hour, &t.minute, &t.second, &t.milliseconds};
  for (int i = 0; i < 8; ++i) *fields[i] = ReadU16LE(p + 2 * i);
  return t;
}

void PutSystemTime(uint8_t* p, const SystemTimeFields& t) {
  const uint16_t fields[] = {t.year, t.month, t.dayOfWeek, t.day, t.hour, t.minute, t.second, t.milliseconds};
  for (int i = 0; i < 8; ++i) PutU16LE(p + 2 * i, fields[i]);
}

// Key of a moment within a year for the timed daylight test.
int MomentKey(int month, int day, int minutes) { return (month * 100 + day) * 10000 + minutes; }

}  // namespace

ZoneRecord ParseZoneLine(std::string_view line) {
  FieldLine f = ReadFieldLine(line, 0, kZoneFieldMax);
  const std::vector<std::string>& v = f.fields;
  ZoneRecord z;
  z.id = FieldInteger(v[0]);
  z.sortKey = FieldInteger(v[1]);
  z.keyName = v[2];
  z.bias = FieldInteger(v[3]);
  z.display = v[4];
  z.standardName = v[5];
  z.daylightName = v[6];
  z.standardDate = {FieldInteger(v[7]), FieldInteger(v[8]), FieldInteger(v[9]), FieldInteger(v[10])};
  z.daylightDate = {FieldInteger(v[11]), FieldInteger(v[12]), FieldInteger(v[13]), FieldInteger(v[14])};
  z.flag = !v[15].empty() && v[15][0] == '1' ? 1 : 0;
  return z;
}

std::string SerializeZoneRecord(const ZoneRecord& z) {
  auto n = [](int v) { return std::to_string(v); };
  const std::string fields[16] = {n(z.id), n(z.sortKey), z.keyName, n(z.bias), z.display, z.standardName,
                                  z.daylightName, n(z.standardDate.month), n(z.standardDate.weekday),
                                  n(z.standardDate.week), n(z.standardDate.minutes), n(z.daylightDate.month),
                                  n(z.daylightDate.weekday), n(z.daylightDate.week), n(z.daylightDate.minutes),
                                  n(z.flag)};
  return JoinFields(fields);
}

ZoneFileContents ParseZoneFile(std::string_view data) {
  ZoneFileContents out;
  size_t pos = 0;
  while (pos < data.size() && data.size() - pos >= kShortestBlock) {
    FieldLine f = ReadFieldLine(data, pos, kZoneFieldMax, kZoneBlockBytes);
    size_t blockEnd = std::min(data.size(), pos + kZoneBlockBytes);
    std::string_view block = data.substr(pos, blockEnd - pos);
    pos = f.next;
    ZoneRecord z = ParseZoneLine(block);
    if (z.id <= 0 || static_cast<int>(out.zones.size()) >= kMaxZones) {
      ++out.skippedLines;
      continue;
    }
    out.zones.push_back(std::move(z));
  }
  return out;
}

void SortZones(std::vector<ZoneRecord>& zones) {
  for (size_t i = 1; i < zones.size(); ++i) {
    ZoneRecord z = std::move(zones[i]);
    size_t j = i;
    for (; j > 0 && zones[j - 1].sortKey > z.sortKey; --j) zones[j] = std::move(zones[j - 1]);
    zones[j] = std::move(z);
  }
}

bool ParseTzi(const uint8_t* data, size_t size, ZoneKeyData* key) {
  if (size < 44) return false;
  key->hasTzi = true;
  key->bias = ReadI32LE(data);
  key->standardBias = ReadI32LE(data + 4);
  key->daylightBias = ReadI32LE(data + 8);
  key->standardDate = ReadSystemTime(data + 12);
  key->daylightDate = ReadSystemTime(data + 28);
  return true;
}

void SerializeTzi(const ZoneKeyData& key, uint8_t out[44]) {
  PutI32LE(out, key.bias);
  PutI32LE(out + 4, key.standardBias);
  PutI32LE(out + 8, key.daylightBias);
  PutSystemTime(out + 12, key.standardDate);
  PutSystemTime(out + 28, key.daylightDate);
}

void SetOsZoneSource(OsZoneSource* source) { State().source = source; }
OsZoneSource* CurrentOsZoneSource() { return State().source; }

int MergeOsZones(std::vector<ZoneRecord>& zones, OsZoneSource& source) {
  std::vector<ZoneKeyData> keys;
  bool ntKey = true;
  if (!source.ReadZoneKeys(&keys, &ntKey)) return 0;
  OsVersion v = source.Version();
  bool xpOrLater = v.major > 5 || (v.major == 5 && v.minor >= 1);
  int changed = 0;
  for (const ZoneKeyData& key : keys) {
    auto match = std::find_if(zones.begin(), zones.end(), [&](const ZoneRecord& z) {
      return SameName(ntKey ? std::string_view(z.keyName) : WithoutStandardTime(z.keyName), key.keyName);
    });
    if (match == zones.end()) continue;
    match->standardName = key.standardName;
    match->daylightName = key.daylightName;
    match->display = key.display;
    if (xpOrLater && key.hasTzi) {
      match->bias = key.bias;
      match->standardDate = DateFromSystemTime(key.standardDate);
      match->daylightDate = DateFromSystemTime(key.daylightDate);
      match->flag = 0;
    }
    ++changed;
  }
  return changed;
}

bool LoadZoneTable(const std::string& path) {
  std::string data;
  bool found = ReadWholeFile(path, &data);
  std::vector<ZoneRecord> zones;
  if (found) zones = ParseZoneFile(data).zones;
  SortZones(zones);
  if (OsZoneSource* source = State().source) MergeOsZones(zones, *source);
  State().zones = std::move(zones);
  return found;
}

void SetZoneTable(std::vector<ZoneRecord> zones) { State().zones = std::move(zones); }
const std::vector<ZoneRecord>& ZoneTable() { return State().zones; }

const ZoneRecord* FindZone(int id) {
  if (id <= 0) return nullptr;
  for (const ZoneRecord& z : State().zones)
    if (z.id == id) return &z;
  return nullptr;
}

int DetectSystemZone() {
  ZoneState& s = State();
  std::string shown;
  const ZoneRecord* found = nullptr;
  auto byKey = [&](std::string_view name) -> const ZoneRecord* {
    for (const ZoneRecord& z : s.zones)
      if (SameName(z.keyName, name)) return &z;
    return nullptr;
  };
  if (OsZoneSource* source = s.source) {
    OsCurrentZoneNames names = source->CurrentZoneNames();
    if (source->Version().major >= 6) {
      shown = names.keyName;
      if (!shown.empty()) found = byKey(shown);
    } else {
      std::string key = names.userKeyName;
      if (key.empty() && !names.standardName.empty()) {
        std::vector<ZoneKeyData> keys;
        bool nt = true;
        if (source->ReadZoneKeys(&keys, &nt)) {
          for (const ZoneKeyData& k : keys)
            if (SameName(k.standardName, names.standardName)) {
              key = k.keyName;
              break;
            }
        }
      }
      if (!key.empty()) {
        shown = key;
        found = byKey(key);
        // Names of the older key lack " Standard Time".
        if (!found)
          for (const ZoneRecord& z : s.zones)
            if (SameName(WithoutStandardTime(z.keyName), key)) {
              found = &z;
              break;
            }
      } else if (!names.standardName.empty()) {
        shown = names.standardName;
        for (const ZoneRecord& z : s.zones)
          if (SameName(z.standardName, names.standardName)) {
            found = &z;
            break;
          }
      }
    }
  }
  if (!found) {
    UserMessage m;
    m.text = FormatText(std::string(StringText(22002)).c_str(), shown.empty() ? std::string(StringText(22004)).c_str() : shown.c_str());
    m.caption = std::string(StringText(22003));
    m.icon = MsgIcon::Stop;
    m.beep = MsgBeep::Stop;
    ShowUserMessage(m);
    return 0;
  }
  s.systemBias = found->bias;
  return found->id;
}

int SystemBias() { return State().systemBias; }

int RuleDay(const ZoneDate& date, int year) {
  int length = MonthLength(date.month, year);
  if (length == 0) return 1;
  int day = (date.week >= 1 && date.week <= 4 ? date.week * 7 : length) - 6;
  int shift = date.weekday - Weekday(date.month, day, year);
  if (shift < 0) shift += 7;
  return day + shift;
}

DaylightCodes ComputeDaylightCodes(const ZoneRecord& zone, int year) {
  if (!zone.HasDaylightRule() || zone.daylightDate.month < 1 || zone.daylightDate.month > 12 ||
      zone.standardDate.month > 12)
    return {};
  return {zone.daylightDate.month * 100 + RuleDay(zone.daylightDate, year),
          zone.standardDate.month * 100 + RuleDay(zone.standardDate, year)};
}

bool IsDaylightAt(const ZoneRecord& zone, const DateStamp& local) {
  DaylightCodes c = ComputeDaylightCodes(zone, local.year);
  if (c.start == 0) return false;
  int key = MomentKey(local.month, local.day, local.hour * 60 + local.minute);
  int S = c.end * 10000 + zone.standardDate.minutes;
  int D = c.start * 10000 + zone.daylightDate.minutes;
  if (zone.standardDate.month <= zone.daylightDate.month) return key >= D || key < S;  // southern rule
  return D <= key && key < S;
}

DaylightMarkers MarkersForZone(const ZoneRecord* zone) {
  DaylightMarkers m;
  if (!zone || !zone->HasDaylightRule()) return m;  // month 14: neither marker occurs
  auto rule = [](const ZoneDate& d) {
    DaylightMarkerRule r;
    if (d.month < 1 || d.month > 12) return r;
    r.month = d.month;
    // February's last week is taken from a common year; no zone switches in a February's
    // last week.
    r.firstDay = d.week >= 1 && d.week <= 4 ? (d.week - 1) * 7 + 1 : MonthLength(d.month, 2001) - 6;
    r.weekday = d.weekday;
    return r;
  };
  m.daylightBegins = rule(zone->daylightDate);
  m.standardBegins = rule(zone->standardDate);
  return m;
}

namespace {

std::string WeekText(int week) {
  if (week == 5) return std::string(StringText(1216));
  return FormatText("%d%s", week, OrdinalSuffix(week));
}

std::string DayName(int weekday) {
  return weekday >= 0 && weekday <= 6 ? std::string(StringText(IDS_WEEKDAY_FIRST + weekday)) : std::string();
}

std::string MonthName(int month) {
  return month >= 1 && month <= 12 ? std::string(StringText(IDS_MONTH_FIRST + month - 1)) : std::string();
}

}  // namespace

std::string DescribeZoneRule(const ZoneRecord& zone) {
  if (!zone.HasDaylightRule()) return {};
  const ZoneDate& d = zone.daylightDate;
  const ZoneDate& s = zone.standardDate;
  return std::string(StringText(1218)) +
         FormatText(std::string(StringText(1217)).c_str(), WeekText(d.week).c_str(), DayName(d.weekday).c_str(),
                    MonthName(d.month).c_str(), WeekText(s.week).c_str(), DayName(s.weekday).c_str(),
                    MonthName(s.month).c_str());
}

DateStamp ConvertBetweenZones(const DateStamp& local, const ZoneRecord* from, const ZoneRecord* to) {
  if (!from || !to) return local;
  int shift = from->bias - to->bias;
  if (IsDaylightAt(*from, local)) shift -= 60;
  DateStamp out = AddMinutes(local, shift);
  if (IsDaylightAt(*to, out)) out = AddMinutes(out, 60);
  return out;
}

int MinutesBetween(const DateStamp& from, const DateStamp& to) {
  int days = JulianDayNumber(to.month, to.day, to.year) - JulianDayNumber(from.month, from.day, from.year);
  return days * kMinutesPerDay + (to.hour * 60 + to.minute) - (from.hour * 60 + from.minute);
}

void ResetZones() { State() = ZoneState{}; }

}  // namespace kv
