#include "shell/gps_setup_win.h"

#include <cmath>

#include "base/command_table.h"
#include "devices/gps_win.h"
#include "resources/command_ids.h"
#include "shell/app_win.h"
#include "shell/location_dialogs_win.h"
#include "sky/locations.h"

namespace kv {

void InstallGps() {
  SetCommandHandler(CommandOwner::Gps, [](int command, bool run) {
    if (command != CMD_GPS) return false;
    if (run) RunGpsConfigurationDialog(App().frame);
    return true;
  });
  SetLocationAcquirer([](HWND owner, LocationRecord& record) {
    GpsFix fix{};
    if (!AcquireGpsLocation(owner, &fix)) return false;
    Dms lat = DecimalToDms(std::fabs(fix.latitude)), lon = DecimalToDms(std::fabs(fix.longitude));
    record.south = fix.latitude < 0;
    record.west = fix.longitude < 0;
    record.latDegrees = lat.degrees, record.latMinutes = lat.minutes, record.latSeconds = lat.seconds;
    record.lonDegrees = lon.degrees, record.lonMinutes = lon.minutes, record.lonSeconds = lon.seconds;
    return true;
  });
}

}  // namespace kv
