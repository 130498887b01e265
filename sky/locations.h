// Locations: the user's list of named places ("My Locations.dat" and the master copies in the
// program folder), their coordinates in degrees, minutes and seconds, the checks and
// conversions of the location editor, and how a location is shown.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

constexpr size_t kLocationNameMax = 63;

struct LocationRecord {
  std::string name;           // at most 63 characters
  bool south = false;
  bool west = false;
  int32_t latDegrees = 0, latMinutes = 0, latSeconds = 0;  // absolute values
  int32_t lonDegrees = 0, lonMinutes = 0, lonSeconds = 0;
  int32_t zone = 0;           // zone identifier; 0 or less is dropped when the file is written

  double Latitude() const;    // decimal degrees, north positive
  double Longitude() const;   // east positive
  friend bool operator==(const LocationRecord&, const LocationRecord&) = default;
};

// The readers differ in one fix-up: the location page and the map's markers give "Las Vegas,
// NV" zone 36; the reader the map uses when it adds a location does not.
enum class LasVegasFix { Apply, Skip };

// One line of the file (the eight fields, with the reading fix-ups) and back.
LocationRecord ParseLocationLine(std::string_view line, LasVegasFix fix = LasVegasFix::Apply);
std::string SerializeLocation(const LocationRecord& location);

// The file's text: one record per line until fewer than 10 unread bytes remain.
std::vector<LocationRecord> ParseLocations(std::string_view data, LasVegasFix fix = LasVegasFix::Apply);

// Reads a locations file; false (after "Error opening file:" with the path) when it cannot be
// opened, the list then empty.
bool ReadLocations(const std::string& path, std::vector<LocationRecord>* list, LasVegasFix fix = LasVegasFix::Apply);

// Creates the file anew with every record whose zone identifier is above 0; false (after
// "Error creating file:" with the path) when it cannot be created or written.
bool WriteLocations(const std::string& path, const std::vector<LocationRecord>& list);

// The "My Locations.dat" of a first run: a copy of KVLOCATION.DAT, then, when the program
// folder holds both KVLOCAL.DAT (an older release's user list, put there by the data
// migration) and KVLOCAL_40.DAT (that release's master list), the user's own locations of
// the older list (those not in its master list nor already present) appended. False when the
// master copy could not be read or the new file written (the messages shown).
bool CreateUserLocations(const std::string& programFolder, const std::string& userFile);

// The default point of reference of a new configuration: the location DEFAULT.DAT gives the
// zone (one per zone), or false when it has none.
bool DefaultLocationForZone(const std::string& defaultFile, int zone, LocationRecord* location);

// ---- coordinates --------------------------------------------------------------------------

struct Dms {
  int degrees = 0, minutes = 0, seconds = 0;
  friend bool operator==(const Dms&, const Dms&) = default;
};

// Decimal degrees (0 ... 180) split into degrees, minutes and seconds: each part truncated,
// the seconds raised by one when the rest, times 10, exceeds 5, carrying into minutes and
// degrees.
Dms DecimalToDms(double value);
double DmsToDecimal(const Dms& dms);

// The editor's checks. A decimal box holds a number from 0 to 90 (latitude) or 180
// (longitude); degree/minute/second boxes hold minutes and seconds below 60 and a total
// within the same limits. A failure shows "Bad value entered for geographic coordinate." and
// returns false; `badBox` tells the box (0 degrees, 1 minutes, 2 seconds) that gets the focus.
bool CheckDecimalCoordinate(std::string_view text, bool latitude, double* value);
bool CheckDmsCoordinate(std::string_view degrees, std::string_view minutes, std::string_view seconds, bool latitude,
                        Dms* dms, int* badBox);

// "%.5f" of a decimal coordinate, as the decimal boxes show it.
std::string DecimalCoordinateText(double value);

// A coordinate as the location page shows it: sign, degrees, the degree sign (0xB0), minutes,
// seconds and the hemisphere letter, e.g. "+40\xB0 42' 51\" N".
std::string CoordinateText(int degrees, int minutes, int seconds, bool negative, bool latitude);

// The location page's lines for a record: latitude, longitude, the zone's standard name, and
// for a zone with a daylight rule its daylight name and the rule in words (else both empty).
struct LocationDisplay {
  std::string latitude, longitude, standardName, daylightName, rule;
};
LocationDisplay DescribeLocation(const LocationRecord& location);

}  // namespace kv
