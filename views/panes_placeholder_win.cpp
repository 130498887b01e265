// Stand-ins for the year and day panes until their modules arrive: an empty plane each.
#include "views/calendar_panes_win.h"

namespace kv {
namespace {

HWND Plane(HWND calendar, const char* cls) {
  return CreateWindowExA(0, cls, "", WS_CHILD | WS_CLIPCHILDREN, 0, 0, 0, 0, calendar, nullptr, nullptr, nullptr);
}
HWND CreateYear(HWND calendar) { return Plane(calendar, "KVYearPlane"); }
HWND CreateDay(HWND calendar) { return Plane(calendar, "KVDayPlane"); }
Size NoMinimum() { return {}; }
void Nothing() {}
bool NoKey(UINT, WPARAM, LPARAM) { return false; }

}  // namespace

const ViewPane& YearPane() {
  static const ViewPane pane{CreateYear, NoMinimum, Nothing, NoKey};
  return pane;
}

const ViewPane& DayPane() {
  static const ViewPane pane{CreateDay, NoMinimum, Nothing, NoKey};
  return pane;
}

}  // namespace kv
