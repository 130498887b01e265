#include "shell/shell_services.h"

#include <memory>

#include "calendar/zone_conversion.h"

namespace kv {
namespace {

struct ServicesState {
  std::unique_ptr<ShellServices> fallback = std::make_unique<ShellServices>();
  ShellServices* services = nullptr;
};

ServicesState& State() {
  static ServicesState state;
  return state;
}

}  // namespace

void ShellServices::LoadZoneTable(const std::string&) {}
int ShellServices::SystemZone() { return 0; }
void ShellServices::UseZone(int zone) { SetCurrentZone(zone); }
std::vector<LocationEntry> ShellServices::ReadLocations(const std::string&) { return {}; }
void ShellServices::MergeOldLocations(const std::string&, const std::string&) {}
void ShellServices::ApplyPointOfReference(const CalendarConfig& config) { SetCurrentZone(config.location.zone); }
void ShellServices::UseDatabaseFolder(const std::string&) {}
void ShellServices::CloseOverlays() { overlays_.clear(); }

bool ShellServices::AddOverlay(const std::string& path) {
  if (overlays_.size() >= static_cast<size_t>(kMaxOverlays)) return false;
  overlays_.push_back(path);
  return true;
}

void ShellServices::RebuildOverlayOrder() {}
std::vector<std::string> ShellServices::OverlayNames() { return overlays_; }
void ShellServices::BringSampleUpToDate(const std::string&) {}
void ShellServices::LoadJewishSetup() {}

void SetShellServices(ShellServices* services) {
  ServicesState& s = State();
  s.services = services;
  if (!services) s.fallback = std::make_unique<ShellServices>();
}

ShellServices& Services() {
  ServicesState& s = State();
  return s.services ? *s.services : *s.fallback;
}

const LocationEntry* ChooseDefaultLocation(const std::vector<LocationEntry>& locations, int systemZone) {
  if (systemZone == 0) return nullptr;
  for (const LocationEntry& l : locations)
    if (l.zone == systemZone && !l.name.empty()) return &l;
  return nullptr;
}

}  // namespace kv
