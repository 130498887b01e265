// The location and time-zone dialogs ("Configure location", "Edit Location", "Time Zone") and
// the welcome wizard of a first use.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

#include "sky/locations.h"

namespace kv {

// "Configure location" opened from the Configure menu: the point of reference (the user's
// locations, their coordinates, zone names and daylight rule) and the system's time zone. On
// OK the list is written when it changed and, when another location was chosen, it becomes the
// point of reference in the configuration and `pointChanged` runs. True on OK.
bool RunConfigureLocation(HWND owner, const std::function<void()>& pointChanged);

// "Edit Location" for `record` ("New Location" when `isNew`); true with the record filled on OK.
bool RunEditLocation(HWND owner, LocationRecord& record, bool isNew);

// Fills a location's coordinates (and zone) from a position receiver: true when it did. Until
// one is installed "Acquire from GPS..." stays greyed.
using LocationAcquirer = std::function<bool(HWND owner, LocationRecord& record)>;
void SetLocationAcquirer(LocationAcquirer acquirer);

// "Time Zone": a zone picked from the zone list or through a location; true with `zone`
// changed on OK, false (unchanged) on Cancel.
bool RunTimeZoneDialog(HWND owner, int& zone);

// The steps of the welcome wizard, each opening its dialog over the wizard and telling whether
// the user confirmed it; a step left empty is shown as skipped.
struct WelcomeSteps {
  std::function<bool(HWND owner)> location;             // "Time Zone and Location"
  std::function<bool(HWND owner)> calendarPreferences;  // "Calendar Preferences"
  std::function<bool(HWND owner)> desktopIcon;          // "Desktop Icon"
};
WelcomeSteps& WelcomeStepsInUse();

// The welcome wizard ("Welcome to Kalvora"): the three steps one per "Next >>", then "Finish".
void RunWelcomeWizard(HWND owner);

}  // namespace kv
