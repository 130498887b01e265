// The rules behind the location dialogs and the welcome wizard, apart from their windows: the
// list of the "Configure location" dialog and what its OK does, the zones a user may pick, the
// point of reference in the configuration, and the steps of the welcome wizard.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "shell/config.h"
#include "sky/locations.h"
#include "sky/zones.h"

namespace kv {

// The locations of the "Configure location" dialog. The combo box shows a first entry
// ("(unknown)" or "(select)") and then the records that are still in the list; a removed record
// keeps its place with zone -1 so that rewriting the file drops it.
struct LocationList {
  std::vector<LocationRecord> records;
  std::vector<int> shown;     // combo entry i + 1 -> index into records
  int selected = 0;           // combo entry; 0 = the first entry (no location)
  bool listChanged = false;   // the file must be written
  bool choiceChanged = false; // the user chose, added or edited a location

  // Fills the list from the file's records and selects the one named `current` (none: 0).
  void Load(std::vector<LocationRecord> list, const std::string& current);
  // The record behind the selected combo entry, or nullptr for the first entry.
  const LocationRecord* Selected() const;
  // The user chose combo entry `entry`.
  void Choose(int entry);
  // "&New..." confirmed: appended, shown last and selected; the new combo entry.
  int Add(const LocationRecord& record);
  // "&Edit..." confirmed for the selected entry.
  void Replace(const LocationRecord& record);
  // "&Remove": the record is dropped from the combo box and the first entry selected.
  void Remove();
  std::vector<std::string> Names() const;  // of the shown records, in combo order
};

// What OK of the "Configure location" dialog does beyond writing the list.
struct LocationOutcome {
  bool writeFile = false;
  bool changePoint = false;            // the point of reference changes ...
  std::optional<LocationRecord> point; // ... to this record, or is cleared (nothing)
};
// `fromMenu`: opened from the Configure menu (the map window only saves its list).
LocationOutcome FinishLocationList(const LocationList& list, bool fromMenu);

// Cancel is refused while the configuration has no zone at all.
bool LocationCancelAllowed(const CalendarConfig& config);

// Makes the record the configuration's point of reference (name, coordinates, zone), or clears
// it (the name emptied) for nothing.
void StorePointOfReference(CalendarConfig& config, const LocationRecord* record);

// The zones a user picks from, in table order: those without the flag.
std::vector<const ZoneRecord*> PickableZones(const std::vector<ZoneRecord>& table);
// The position of a zone in that list, or -1.
int PickableZoneIndex(const std::vector<const ZoneRecord*>& zones, int id);

// The "Edit Location" dialog's checks beyond the coordinates: a name and a zone are needed (a
// record without a zone would be dropped when the list is written). The string of the refusal,
// or 0 when the entry may be stored.
int CheckLocationName(const std::string& name);
int CheckLocationZone(int zone);

// The command that starts the system's date and time control panel from the system folder.
std::string DateTimeControlPanelCommand(const std::string& systemFolder);

// ---- the welcome wizard ----------------------------------------------------------------------

enum class WelcomeMark { Pending, Done, Skipped };
constexpr int kWelcomeSteps = 3;

struct WelcomeProgress {
  int next = 0;  // the step "Next >>" runs; kWelcomeSteps: all run, the button reads "Finish"
  std::array<WelcomeMark, kWelcomeSteps> marks{WelcomeMark::Pending, WelcomeMark::Pending, WelcomeMark::Pending};
  bool noLocation = false;  // the first step left no point of reference

  bool Finished() const { return next >= kWelcomeSteps; }
};

// Records a step's result. `available`: the step could run; `done`: its dialog was confirmed.
// After the location step `hasLocation` tells whether a point of reference exists: with one,
// moon quarter phases are shown with icons and the day view shows the sun and moon box.
void RecordWelcomeStep(WelcomeProgress& progress, bool available, bool done, bool hasLocation, CalendarConfig& config);

// A step's line ("Time Zone and Location" with " -- (no location)" when none resulted) and its
// mark text ("" while pending).
std::string WelcomeStepLine(const WelcomeProgress& progress, int step);
std::string WelcomeMarkText(WelcomeMark mark);

}  // namespace kv
