#include "shell/program_services.h"

#include "calendar/clock.h"
#include "calendar/jewish.h"
#include "overlays/overlay_set.h"
#include "sky/locations.h"
#include "sky/reference.h"
#include "sky/zones.h"
#include "store/db_files.h"
#include "base/file_io.h"

namespace kv {
namespace {

// The daylight codes are computed for the year the computer's clock is in; the views move
// them along with the displayed year.
int ClockYear() { return CurrentClock().LocalNow().year; }

// Schedule items written before items carried a zone belong to the computer's zone.
void TellStoreTheComputerZone() {
  SetComputerZoneSource([] { return kv::SystemZone(); });
}

}  // namespace

void ProgramServices::LoadZoneTable(const std::string& programFolder) {
  kv::LoadZoneTable(JoinPath(programFolder, "KVTZX.DAT"));
  SetSystemZone(DetectSystemZone());
  TellStoreTheComputerZone();
}

int ProgramServices::SystemZone() { return kv::SystemZone(); }

void ProgramServices::UseZone(int zone) {
  PointOfReference point = CurrentPointOfReference();
  point.zone = zone;
  kv::ApplyPointOfReference(point, ClockYear());
}

std::vector<LocationEntry> ProgramServices::ReadLocations(const std::string& path) {
  std::vector<LocationEntry> entries;
  // A missing list is normal before the first run has made it; only a list that exists but
  // cannot be opened is worth a message.
  if (!FileExists(path)) return entries;
  std::vector<LocationRecord> records;
  kv::ReadLocations(path, &records);
  for (const LocationRecord& r : records) entries.push_back({r.name, r.zone, r.Latitude(), r.Longitude()});
  return entries;
}

void ProgramServices::MergeOldLocations(const std::string& path, const std::string& programFolder) {
  CreateUserLocations(programFolder, path);
}

void ProgramServices::ApplyPointOfReference(const CalendarConfig& config) {
  PointOfReference point;
  point.name = config.locationName;
  point.zone = config.location.zone;
  point.latitude = config.location.latitude;
  point.longitude = config.location.longitude;
  kv::ApplyPointOfReference(point, ClockYear());
}

void ProgramServices::UseDatabaseFolder(const std::string& folder) {
  if (folder == DatabaseFolder()) return;
  ResetStore();  // closes whatever the previous folder had open, and forgets its damage reports
  SetDatabaseFolder(folder);
  TellStoreTheComputerZone();
}

void ProgramServices::CloseOverlays() { RemoveAllOverlays(); }

bool ProgramServices::AddOverlay(const std::string& path) { return kv::AddOverlay(path) != 0; }

std::vector<std::string> ProgramServices::OverlayNames() { return Overlays().paths; }

void ProgramServices::BringSampleUpToDate(const std::string& path) {
  PrepareSampleOverlay(path, CurrentClock().LocalNow().month);
}

void ProgramServices::LoadJewishSetup() { RebuildJewishMonthNames(); }

void InstallProgramServices() {
  static ProgramServices services;
  SetShellServices(&services);
}

}  // namespace kv
