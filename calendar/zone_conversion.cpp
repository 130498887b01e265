#include "calendar/zone_conversion.h"

namespace kv {
namespace {

struct ZoneState {
  ZoneConversion conversion;
  int current = 0;
};

ZoneState& State() {
  static ZoneState state;
  return state;
}

}  // namespace

void SetZoneConversion(ZoneConversion conversion) { State().conversion = std::move(conversion); }

DateStamp ConvertZoneTime(const DateStamp& local, int fromZone, int toZone) {
  const ZoneConversion& convert = State().conversion;
  if (fromZone == toZone || !convert) return local;
  return convert(local, fromZone, toZone);
}

int CurrentZone() { return State().current; }
void SetCurrentZone(int zone) { State().current = zone; }

}  // namespace kv
