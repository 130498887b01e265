#include "base/settings.h"

namespace kv {
namespace {

struct SettingsState {
  MemorySettings fallback;
  SettingsStore* store = nullptr;
};

SettingsState& State() {
  static SettingsState state;
  return state;
}

}  // namespace

void SetSettingsStore(SettingsStore* store) { State().store = store; }

SettingsStore& CurrentSettings() {
  SettingsState& s = State();
  return s.store ? *s.store : s.fallback;
}

std::string RegReadSetting(std::string_view section, std::string_view value) {
  return CurrentSettings().Read(section, value);
}

bool RegWriteSetting(std::string_view section, std::string_view value, std::string_view text) {
  return CurrentSettings().Write(section, value, text);
}

std::string MemorySettings::Read(std::string_view section, std::string_view value) {
  auto it = values_.find({std::string(section), std::string(value)});
  return it == values_.end() ? std::string() : it->second;
}

bool MemorySettings::Write(std::string_view section, std::string_view value, std::string_view text) {
  std::pair<std::string, std::string> key{std::string(section), std::string(value)};
  if (text.empty()) values_.erase(key);
  else values_[key] = std::string(text);
  return true;
}

bool MemorySettings::Has(std::string_view section, std::string_view value) const {
  return values_.count({std::string(section), std::string(value)}) != 0;
}

}  // namespace kv
