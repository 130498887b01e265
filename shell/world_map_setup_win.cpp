#include "shell/world_map_setup_win.h"

#include <windows.h>

#include <cmath>
#include <string>

#include "base/filesystem.h"
#include "base/messages.h"
#include "base/system_library_win.h"
#include "devices/gps_win.h"
#include "resources/strings.h"
#include "shell/configuration.h"
#include "shell/location_dialogs_win.h"
#include "shell/location_setup.h"
#include "shell/location_setup_win.h"
#include "sky/world_map_win.h"

namespace kv {
namespace {

std::string LocationsFile() { return JoinWindowsPath(ConfigState().dataFolder, "My Locations.dat"); }

LocationRecord PointOfReferenceRecord() {
  const CalendarConfig& c = Config();
  LocationRecord record;
  record.name = c.locationName;
  record.zone = c.location.zone;
  record.south = c.location.latitude < 0;
  record.west = c.location.longitude < 0;
  Dms lat = DecimalToDms(std::fabs(c.location.latitude)), lon = DecimalToDms(std::fabs(c.location.longitude));
  record.latDegrees = lat.degrees, record.latMinutes = lat.minutes, record.latSeconds = lat.seconds;
  record.lonDegrees = lon.degrees, record.lonMinutes = lon.minutes, record.lonSeconds = lon.seconds;
  return record;
}

void ApplyPointOfReference(const LocationRecord& record) {
  StorePointOfReference(Config(), &record);
  SetConfigDirty();
  PointOfReferenceChanged();
}

// The help file's page on the map window; without the help library the user is told.
void ShowMapHelp(HWND owner) {
  using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);
  static HMODULE library = LoadSystemLibrary("hhctrl.ocx");
  auto help = library ? reinterpret_cast<HtmlHelpFunction>(reinterpret_cast<void*>(GetProcAddress(library, "HtmlHelpA")))
                      : nullptr;
  if (!help) {
    ShowMessage(std::string(StringText(24)), MsgIcon::Warning);
    return;
  }
  std::string topic = JoinWindowsPath(ConfigState().programFolder, "kalvora.chm") + "::/using_orbisa.htm";
  help(owner, topic.c_str(), 0 /* display topic */, 0);
}

}  // namespace

void InstallWorldMap() {
  WorldMapHooks hooks;
  hooks.options = [] { return Config().mapFlags; };
  hooks.setOptions = [](uint16_t options) {
    Config().mapFlags = options;
    SetConfigDirty();
  };
  hooks.pointOfReference = PointOfReferenceRecord;
  hooks.systemZone = [] { return static_cast<int>(Config().location.systemZone); };
  hooks.locationsFile = LocationsFile;
  hooks.startGps = [](HWND owner, HWND target) {
    return EnsureGpsPortConfigured(owner) && StartGpsAcquisition(GpsMode::Map, target);
  };
  hooks.stopGps = StopGpsAcquisition;
  hooks.gpsStatus = GpsStatus;
  hooks.gpsFix = [](double& latitude, double& longitude) {
    GpsFix fix = GpsMapFix();
    latitude = fix.latitude, longitude = fix.longitude;
  };
  hooks.gpsZone = GpsMapZoneId;
  hooks.configureLocations = [](HWND owner) { RunConfigureLocation(owner, PointOfReferenceChanged); };
  hooks.editNewLocation = [](HWND owner, LocationRecord& record) { return RunEditLocation(owner, record, true); };
  hooks.applyPointOfReference = ApplyPointOfReference;
  hooks.showHelp = ShowMapHelp;
  SetWorldMapHooks(std::move(hooks));
}

}  // namespace kv
