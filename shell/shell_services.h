// Where start-up, the configuration and the frame meet the modules that own time zones,
// locations, the overlay set and the Jewish calendar's setup. The shell calls only these
// functions; the program installs an implementation that forwards to those modules. The base
// class is the shell's own fallback: it keeps the overlay names it is given (up to the set's
// limit of 20), knows no zones (identifier 0) and no locations, and leaves files as they are.
#pragma once

#include <string>
#include <vector>

#include "overlays/overlay_set.h"
#include "shell/config.h"

namespace kv {

// One entry of a locations file, as far as the shell needs it to choose a default.
struct LocationEntry {
  std::string name;
  int zone = 0;
  double latitude = 0;   // degrees, north positive
  double longitude = 0;  // degrees, east positive
};

class ShellServices {
 public:
  virtual ~ShellServices() = default;

  // Time zones. Loads "KVTZX.DAT" from the program folder and merges the system's zones; a
  // missing file leaves the table empty.
  virtual void LoadZoneTable(const std::string& programFolder);
  // Identifier of the computer's zone in the table; 0 when it is not found (no message here
  // beyond the zone module's own).
  virtual int SystemZone();
  // Makes `zone` the zone in use: its standard and daylight names become the program's zone
  // texts and the daylight markers follow it. An unknown zone means no daylight time.
  virtual void UseZone(int zone);

  // Locations. The entries of a locations file in file order; empty when it cannot be read.
  virtual std::vector<LocationEntry> ReadLocations(const std::string& path);
  // Merges the locations of an earlier installation ("KVLOCAL.DAT" and "KVLOCAL_40.DAT" of
  // the program folder) into the user's locations file at `path`.
  virtual void MergeOldLocations(const std::string& path, const std::string& programFolder);
  // Applies the configuration's point of reference (name, coordinates, zone byte 692): the
  // zone in use, the year's daylight codes, the sky caches.
  virtual void ApplyPointOfReference(const CalendarConfig& config);

  // The schedule, to-do, phonebook and notes files of the open configuration lie in `folder`;
  // files of the previous folder still open are closed.
  virtual void UseDatabaseFolder(const std::string& folder);

  // The overlay set. Closes every loaded overlay and drops the event list.
  virtual void CloseOverlays();
  // Adds an overlay file to the set (refused when 20 are loaded); false when it was not added
  // (the overlay module tells the user why).
  virtual bool AddOverlay(const std::string& path);
  // Rebuilds the display order of the events after a series of AddOverlay calls.
  virtual void RebuildOverlayOrder();
  // The paths of the loaded overlays, in the order of the set.
  virtual std::vector<std::string> OverlayNames();
  // Brings the dates of a freshly copied "Sample.kov" up to the current year, in place.
  virtual void BringSampleUpToDate(const std::string& path);

  // Jewish calendar: reads the "Jewish Setup" settings and rebuilds the month names.
  virtual void LoadJewishSetup();

 private:
  std::vector<std::string> overlays_;
};

// The services in use; the shell's fallback until the program installs its own. The caller
// keeps ownership; nullptr restores the fallback (which starts empty again).
void SetShellServices(ShellServices* services);
ShellServices& Services();

// The default point of reference of a new configuration: the first location, in file order,
// whose zone is the computer's zone; none when the zone is unknown (0) or no location has it.
const LocationEntry* ChooseDefaultLocation(const std::vector<LocationEntry>& locations, int systemZone);

}  // namespace kv
