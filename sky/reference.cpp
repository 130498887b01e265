#include "sky/reference.h"

#include "calendar/clock.h"
#include "calendar/zone_conversion.h"
#include "calendar/daylight_markers.h"
#include "sky/sun_moon.h"

namespace kv {
namespace {

struct ReferenceState {
  PointOfReference point;
  ZoneInUse zone;
  int systemZone = 0;
};

ReferenceState& State() {
  static ReferenceState state;
  return state;
}

void InstallSite() {
  const ReferenceState& s = State();
  SkySite site;
  site.latitude = s.point.latitude;
  site.longitude = s.point.longitude;
  site.bias = s.zone.zone.bias;
  site.daylight = !s.zone.daylightName.empty() && s.zone.zone.HasDaylightRule();
  site.daylightStart = s.zone.codes.start;
  site.daylightEnd = s.zone.codes.end;
  SetSkySite(site);
}

// The conversion every item with a stored zone goes through, over the zone table.
void InstallConversion() {
  SetZoneConversion([](const DateStamp& local, int fromZone, int toZone) {
    return ConvertBetweenZones(local, FindZone(fromZone), FindZone(toZone));
  });
  SetReferenceZoneShift([](const DateStamp& computerLocal) {
    int from = State().systemZone, to = CurrentZone();
    if (from == 0 || to == 0 || from == to) return 0;
    return MinutesBetween(computerLocal, ConvertBetweenZones(computerLocal, FindZone(from), FindZone(to)));
  });
}

}  // namespace

PointOfReference PointFromLocation(const LocationRecord& location) {
  return {location.name, location.zone, location.Latitude(), location.Longitude()};
}

void ApplyPointOfReference(const PointOfReference& point, int year) {
  ReferenceState& s = State();
  s.point = point;
  s.zone = ZoneInUse{};
  if (const ZoneRecord* z = FindZone(point.zone)) {
    s.zone.found = true;
    s.zone.zone = *z;
    s.zone.standardName = z->standardName;
    if (z->HasDaylightRule()) s.zone.daylightName = z->daylightName;
    s.zone.codes = ComputeDaylightCodes(*z, year);
  }
  s.zone.year = year;
  InstallSite();
  SetCurrentZone(point.zone);
  SetDaylightMarkers(MarkersForZone(s.zone.found ? &s.zone.zone : nullptr));
  InstallConversion();
}

void SetDisplayedYear(int year) {
  ReferenceState& s = State();
  if (year == s.zone.year) return;
  s.zone.year = year;
  DaylightCodes codes = s.zone.found ? ComputeDaylightCodes(s.zone.zone, year) : DaylightCodes{};
  if (codes == s.zone.codes) return;
  s.zone.codes = codes;
  InstallSite();
}

void SetSystemZone(int id) { State().systemZone = id; }
int SystemZone() { return State().systemZone; }

const PointOfReference& CurrentPointOfReference() { return State().point; }
bool HasPointOfReference() { return !State().point.name.empty() && State().point.zone != 0; }
const ZoneInUse& CurrentZoneInUse() { return State().zone; }

bool ReferenceInDaylight(int month, int day) { return SiteInDaylight(month, day); }

void ResetPointOfReference() {
  State() = ReferenceState{};
  SetSkySite(SkySite{});
  SetCurrentZone(0);
  SetDaylightMarkers(DaylightMarkers{});
  SetZoneConversion(nullptr);
  SetReferenceZoneShift(nullptr);
}

}  // namespace kv
