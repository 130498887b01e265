// The program's own shell services: start-up, the configuration and the frame reach the time
// zones, the locations, the overlay set and the Jewish calendar through these forwards.
#pragma once

#include "shell/shell_services.h"

namespace kv {

class ProgramServices : public ShellServices {
 public:
  void LoadZoneTable(const std::string& programFolder) override;
  int SystemZone() override;
  void UseZone(int zone) override;
  std::vector<LocationEntry> ReadLocations(const std::string& path) override;
  void MergeOldLocations(const std::string& path, const std::string& programFolder) override;
  void ApplyPointOfReference(const CalendarConfig& config) override;
  void UseDatabaseFolder(const std::string& folder) override;
  void CloseOverlays() override;
  bool AddOverlay(const std::string& path) override;
  std::vector<std::string> OverlayNames() override;
  void BringSampleUpToDate(const std::string& path) override;
  void LoadJewishSetup() override;
};

// Installs the program's services (once, at start-up).
void InstallProgramServices();

}  // namespace kv
