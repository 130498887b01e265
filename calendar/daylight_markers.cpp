#include "calendar/daylight_markers.h"

namespace kv {
namespace {

DaylightMarkers& State() {
  static DaylightMarkers markers;
  return markers;
}

}  // namespace

void SetDaylightMarkers(const DaylightMarkers& markers) { State() = markers; }
const DaylightMarkers& CurrentDaylightMarkers() { return State(); }

}  // namespace kv
