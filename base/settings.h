// User settings kept outside the configuration file: string values in named sections
// (the registry key Software\Quorvex\Kalvora\<section> in the Windows program).
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <utility>

namespace kv {

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // The value's text, or empty when it is absent.
  virtual std::string Read(std::string_view section, std::string_view value) = 0;
  // Stores the text; an empty text deletes the value. False when the store refused.
  virtual bool Write(std::string_view section, std::string_view value, std::string_view text) = 0;
};

// Installs the store the program uses; the caller keeps ownership. nullptr restores a private
// in-memory store.
void SetSettingsStore(SettingsStore* store);
SettingsStore& CurrentSettings();

// The two routines every module reads and writes its settings with. Numbers are decimal text.
std::string RegReadSetting(std::string_view section, std::string_view value);
bool RegWriteSetting(std::string_view section, std::string_view value, std::string_view text);

// Settings held in memory: tests, kvtool, and the program before the registry is reached.
class MemorySettings : public SettingsStore {
 public:
  std::string Read(std::string_view section, std::string_view value) override;
  bool Write(std::string_view section, std::string_view value, std::string_view text) override;
  bool Has(std::string_view section, std::string_view value) const;
  size_t Count() const { return values_.size(); }

 private:
  std::map<std::pair<std::string, std::string>, std::string> values_;
};

}  // namespace kv
