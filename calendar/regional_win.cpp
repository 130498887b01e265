#include <windows.h>

#include <string>

#include "calendar/clock_win.h"

namespace kv {

RegionalSettings ReadRegionalSettings() {
  RegionalSettings settings;
  for (std::string_view key : kIntlKeys) {
    char value[128] = "";
    GetProfileStringA("intl", std::string(key).c_str(), "", value, sizeof value);
    ApplyIntlValue(settings, key, value);
  }
  return settings;
}

}  // namespace kv
