// The sky module's Win32 side: the VSOP87 table as the program's resource and the operating
// system's time zones from the registry.
#pragma once

#include <cstdint>

#include "sky/zones.h"

namespace kv {

// The table resource (type 300, id 40, English (United States)), locked at each use; nullptr
// when the module has no such resource or it is not 4680 bytes.
const uint8_t* LockVsop87Resource();

// The registry's Time Zones key and current zone.
class RegistryOsZones : public OsZoneSource {
 public:
  OsVersion Version() override;
  bool ReadZoneKeys(std::vector<ZoneKeyData>* keys, bool* ntKey) override;
  OsCurrentZoneNames CurrentZoneNames() override;
};

// Makes the sun computations read the resource and the zone table merge the registry's zones;
// called once at start-up, before the zone table is loaded.
void InstallSkyPlatform();

}  // namespace kv
