// User settings in the registry: HKEY_CURRENT_USER\Software\Quorvex\Kalvora\<section>.
#pragma once

#include "base/settings.h"

namespace kv {

inline constexpr const char* kSettingsKey = "Software\\Quorvex\\Kalvora";

class RegistrySettings : public SettingsStore {
 public:
  std::string Read(std::string_view section, std::string_view value) override;
  bool Write(std::string_view section, std::string_view value, std::string_view text) override;
};

}  // namespace kv
