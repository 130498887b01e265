#include "sky/locations.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <set>

#include "resources/strings.h"
#include "base/messages.h"
#include "sky/text_fields.h"
#include "base/file_io.h"
#include "sky/zones.h"

namespace kv {
namespace {

constexpr int kLocationFieldMax[8] = {64, 5, 4, 4, 5, 4, 4, 4};
constexpr size_t kShortestLine = 10;
constexpr int kOldIsraelZone = 125;  // older location files' number for zone 63
constexpr int kIsraelZone = 63;
constexpr int kLasVegasZone = 36;

void ShowFileError(int stringId, const std::string& path) {
  ShowMessage(std::string(StringText(stringId)) + "\n\n" + path, MsgIcon::Warning);
}

// Seconds of 60 and more carry into minutes, minutes of 60 and more into degrees.
void Carry(int32_t& degrees, int32_t& minutes, int32_t& seconds) {
  if (seconds >= 60) minutes += seconds / 60, seconds %= 60;
  if (minutes >= 60) degrees += minutes / 60, minutes %= 60;
}

// A degrees field: a leading "-" is the south or west flag, the rest the absolute value.
void ReadDegrees(std::string_view text, bool& negative, int32_t& degrees) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  negative = i < text.size() && text[i] == '-';
  degrees = std::abs(FieldInteger(text.substr(i + (negative ? 1 : 0))));
}

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

double LocationRecord::Latitude() const {
  return (latDegrees + latMinutes / 60.0 + latSeconds / 3600.0) * (south ? -1 : 1);
}

double LocationRecord::Longitude() const {
  return (lonDegrees + lonMinutes / 60.0 + lonSeconds / 3600.0) * (west ? -1 : 1);
}

LocationRecord ParseLocationLine(std::string_view line, LasVegasFix fix) {
  FieldLine f = ReadFieldLine(line, 0, kLocationFieldMax);
  const std::vector<std::string>& v = f.fields;
  LocationRecord r;
  r.name = v[0];
  ReadDegrees(v[1], r.south, r.latDegrees);
  r.latMinutes = std::abs(FieldInteger(v[2]));
  r.latSeconds = std::abs(FieldInteger(v[3]));
  ReadDegrees(v[4], r.west, r.lonDegrees);
  r.lonMinutes = std::abs(FieldInteger(v[5]));
  r.lonSeconds = std::abs(FieldInteger(v[6]));
  r.zone = FieldInteger(v[7]);
  Carry(r.latDegrees, r.latMinutes, r.latSeconds);
  Carry(r.lonDegrees, r.lonMinutes, r.lonSeconds);
  if (r.zone == kOldIsraelZone) r.zone = kIsraelZone;
  if (fix == LasVegasFix::Apply && r.name == "Las Vegas, NV") r.zone = kLasVegasZone;
  return r;
}

std::string SerializeLocation(const LocationRecord& r) {
  auto degrees = [](bool negative, int value) {
    std::string text = std::to_string(value);
    if (negative) text.insert(text.begin(), '-');
    return text;
  };
  const std::string fields[8] = {r.name.substr(0, kLocationNameMax), degrees(r.south, r.latDegrees),
                                 std::to_string(r.latMinutes),      std::to_string(r.latSeconds),
                                 degrees(r.west, r.lonDegrees),     std::to_string(r.lonMinutes),
                                 std::to_string(r.lonSeconds),      std::to_string(r.zone)};
  return JoinFields(fields);
}

std::vector<LocationRecord> ParseLocations(std::string_view data, LasVegasFix fix) {
  std::vector<LocationRecord> list;
  size_t pos = 0;
  while (pos < data.size() && data.size() - pos >= kShortestLine) {
    FieldLine f = ReadFieldLine(data, pos, kLocationFieldMax);
    list.push_back(ParseLocationLine(data.substr(pos, f.next - pos), fix));
    pos = f.next;
  }
  return list;
}

bool ReadLocations(const std::string& path, std::vector<LocationRecord>* list, LasVegasFix fix) {
  std::string data;
  list->clear();
  if (!ReadWholeFile(path, &data)) {
    ShowFileError(1151, path);
    return false;
  }
  *list = ParseLocations(data, fix);
  return true;
}

bool WriteLocations(const std::string& path, const std::vector<LocationRecord>& list) {
  std::string data;
  for (const LocationRecord& r : list)
    if (r.zone > 0) data += SerializeLocation(r);
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) {
    ShowFileError(1152, path);
    return false;
  }
  bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
  ok = std::fclose(f) == 0 && ok;
  if (!ok) ShowFileError(1152, path);
  return ok;
}

bool CreateUserLocations(const std::string& programFolder, const std::string& userFile) {
  std::vector<LocationRecord> list;
  if (!ReadLocations(programFolder + "/KVLOCATION.DAT", &list, LasVegasFix::Skip)) return false;
  std::string old, oldMaster;
  if (ReadWholeFile(programFolder + "/KVLOCAL.DAT", &old) && ReadWholeFile(programFolder + "/KVLOCAL_40.DAT", &oldMaster)) {
    std::set<std::string> known;
    for (const LocationRecord& r : ParseLocations(oldMaster, LasVegasFix::Skip)) known.insert(Lower(r.name));
    for (const LocationRecord& r : list) known.insert(Lower(r.name));
    for (const LocationRecord& r : ParseLocations(old, LasVegasFix::Skip)) {
      if (r.zone > 0 && known.insert(Lower(r.name)).second) list.push_back(r);
    }
  }
  return WriteLocations(userFile, list);
}

bool DefaultLocationForZone(const std::string& defaultFile, int zone, LocationRecord* location) {
  std::string data;
  if (!ReadWholeFile(defaultFile, &data)) return false;
  for (const LocationRecord& r : ParseLocations(data)) {
    if (r.zone == zone) {
      *location = r;
      return true;
    }
  }
  return false;
}

Dms DecimalToDms(double value) {
  Dms d;
  double x = std::fabs(value);
  d.degrees = static_cast<int>(x);
  double rest = (x - d.degrees) * 60;
  d.minutes = static_cast<int>(rest);
  rest = (rest - d.minutes) * 60;
  d.seconds = static_cast<int>(rest);
  if ((rest - d.seconds) * 10 > 5) ++d.seconds;
  if (d.seconds >= 60) d.seconds -= 60, ++d.minutes;
  if (d.minutes >= 60) d.minutes -= 60, ++d.degrees;
  return d;
}

double DmsToDecimal(const Dms& d) { return d.degrees + d.minutes / 60.0 + d.seconds / 3600.0; }

namespace {

void BadCoordinate() { ShowMessage(std::string(StringText(1516)), MsgIcon::Warning); }

// A whole decimal number of a box: digits with an optional fraction, blanks around allowed.
bool ReadNumber(std::string_view text, double* value) {
  std::string s(text.substr(0, 20));
  while (!s.empty() && s.back() == ' ') s.pop_back();
  size_t i = s.find_first_not_of(' ');
  if (i == std::string::npos) return false;
  s = s.substr(i);
  if (s.find_first_not_of("0123456789.+-") != std::string::npos) return false;
  char* end = nullptr;
  *value = std::strtod(s.c_str(), &end);
  return end && *end == 0 && std::isfinite(*value);
}

}  // namespace

bool CheckDecimalCoordinate(std::string_view text, bool latitude, double* value) {
  double v = 0;
  if (!ReadNumber(text, &v) || v < 0 || v > (latitude ? 90 : 180)) {
    BadCoordinate();
    return false;
  }
  *value = v;
  return true;
}

bool CheckDmsCoordinate(std::string_view degrees, std::string_view minutes, std::string_view seconds, bool latitude,
                        Dms* dms, int* badBox) {
  std::string_view boxes[3] = {degrees, minutes, seconds};
  double values[3];
  const double limits[3] = {latitude ? 90.0 : 180.0, 59, 59};
  for (int i = 0; i < 3; ++i) {
    bool whole = ReadNumber(boxes[i].empty() ? std::string_view("0") : boxes[i], &values[i]) &&
                 values[i] == std::floor(values[i]);
    if (!whole || values[i] < 0 || values[i] > limits[i]) {
      *badBox = i;
      BadCoordinate();
      return false;
    }
  }
  Dms d{static_cast<int>(values[0]), static_cast<int>(values[1]), static_cast<int>(values[2])};
  if (DmsToDecimal(d) > limits[0]) {
    *badBox = 0;
    BadCoordinate();
    return false;
  }
  *dms = d;
  return true;
}

std::string DecimalCoordinateText(double value) { return FormatText("%.5f", value); }

std::string CoordinateText(int degrees, int minutes, int seconds, bool negative, bool latitude) {
  char hemisphere = latitude ? (negative ? 'S' : 'N') : (negative ? 'W' : 'E');
  return FormatText("%c%d\xB0 %d' %d\" %c", negative ? '-' : '+', degrees, minutes, seconds, hemisphere);
}

LocationDisplay DescribeLocation(const LocationRecord& r) {
  LocationDisplay d;
  d.latitude = CoordinateText(r.latDegrees, r.latMinutes, r.latSeconds, r.south, true);
  d.longitude = CoordinateText(r.lonDegrees, r.lonMinutes, r.lonSeconds, r.west, false);
  if (const ZoneRecord* z = FindZone(r.zone)) {
    d.standardName = z->standardName;
    if (z->HasDaylightRule()) {
      d.daylightName = z->daylightName;
      d.rule = DescribeZoneRule(*z);
    }
  }
  return d;
}

}  // namespace kv
