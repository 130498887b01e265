// The "World Orbisa" window: the host (an MDI child of fixed size), the 800 x 500 map control,
// the control bar below it and the tip that names the location under the mouse. What the
// window needs from the layers above it (the receiver, the location dialogs, the configuration,
// help) comes through hooks the program installs.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "sky/locations.h"

namespace kv {

struct WorldMapHooks {
  // The display-option word of the configuration, and storing a changed one.
  std::function<uint16_t()> options;
  std::function<void(uint16_t)> setOptions;
  // The point of reference (name, coordinates, zone) and the computer's zone identifier.
  std::function<LocationRecord()> pointOfReference;
  std::function<int()> systemZone;
  // The user's locations file ("My Locations.dat").
  std::function<std::string()> locationsFile;
  // The receiver: start a map acquisition aimed at the window (asking for the port first when
  // none is set; false when none could be started), stop it, its status (0 no data, 1 active, 2
  // fixed), its fix (latitude 90 until the first) and the zone it started in.
  std::function<bool(HWND owner, HWND target)> startGps;
  std::function<void()> stopGps;
  std::function<int()> gpsStatus;
  std::function<void(double& latitude, double& longitude)> gpsFix;
  std::function<int()> gpsZone;
  // "Configure location"; "Edit Location" for a new record (true with it filled on OK); making
  // a location the point of reference; the help topic.
  std::function<void(HWND owner)> configureLocations;
  std::function<bool(HWND owner, LocationRecord& record)> editNewLocation;
  std::function<void(const LocationRecord& location)> applyPointOfReference;
  std::function<void(HWND owner)> showHelp;
};
void SetWorldMapHooks(WorldMapHooks hooks);

// The host's share of its window procedure: true when it answered the message with `result`
// (otherwise the desk's default handling follows).
bool WorldMapHostMessage(HWND host, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

// The window procedures of the map control and its tip.
LRESULT CALLBACK WorldMapControlProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK WorldMapTipProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

// The control bar (a modeless child dialog: keyboard messages go through IsDialogMessage).
HWND WorldMapBar();

}  // namespace kv
