#include "shell/settings_win.h"

#include "base/win_handles.h"

namespace kv {
namespace {

std::string SectionKey(std::string_view section) {
  std::string path = kSettingsKey;
  path += '\\';
  path += section;
  return path;
}

}  // namespace

std::string RegistrySettings::Read(std::string_view section, std::string_view value) {
  RegKey key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, SectionKey(section).c_str(), 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS)
    return {};
  char buffer[1024];
  DWORD type = 0;
  DWORD size = sizeof buffer - 1;
  if (RegQueryValueExA(key.get(), std::string(value).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                       &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return {};
  buffer[size] = '\0';
  return buffer;  // stops at the stored terminator
}

bool RegistrySettings::Write(std::string_view section, std::string_view value, std::string_view text) {
  RegKey key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, SectionKey(section).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_SET_VALUE, nullptr, key.put(), nullptr) != ERROR_SUCCESS)
    return false;
  std::string name(value);
  if (text.empty()) {
    LONG rc = RegDeleteValueA(key.get(), name.c_str());
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
  }
  std::string data(text);
  return RegSetValueExA(key.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                        static_cast<DWORD>(data.size() + 1)) == ERROR_SUCCESS;
}

}  // namespace kv
