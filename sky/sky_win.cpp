#include "sky/sky_win.h"

#include <windows.h>

#include <algorithm>
#include <string>

#include "base/win_handles.h"
#include "sky/astro.h"

namespace kv {
namespace {

constexpr WORD kEnglishUs = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);  // 1033
constexpr char kNtZonesKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Time Zones";
constexpr char kOldZonesKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Time Zones";
constexpr char kZoneInformationKey[] = "SYSTEM\\CurrentControlSet\\Control\\TimeZoneInformation";

// A text value of at most `limit` characters; empty when absent or not text.
std::string ReadText(HKEY key, const char* name, DWORD limit = 128) {
  std::string buffer(limit + 1, '\0');
  DWORD size = limit + 1, type = 0;
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return {};
  buffer.resize(size);
  size_t zero = buffer.find('\0');
  if (zero != std::string::npos) buffer.resize(zero);
  return buffer;
}

}  // namespace

const uint8_t* LockVsop87Resource() {
  // Found and loaded once; the handle lasts as long as the module.
  static HGLOBAL loaded = [] {
    HRSRC found = FindResourceExA(nullptr, MAKEINTRESOURCEA(300), MAKEINTRESOURCEA(40), kEnglishUs);
    if (!found || SizeofResource(nullptr, found) != static_cast<DWORD>(kVsop87Bytes)) return HGLOBAL{};
    return LoadResource(nullptr, found);
  }();
  return loaded ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
}

OsVersion RegistryOsZones::Version() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
  if (!GetVersionExA(&info)) return {};
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
  return {static_cast<int>(info.dwMajorVersion), static_cast<int>(info.dwMinorVersion)};
}

bool RegistryOsZones::ReadZoneKeys(std::vector<ZoneKeyData>* keys, bool* ntKey) {
  RegKey zones;
  *ntKey = zones.Open(HKEY_LOCAL_MACHINE, kNtZonesKey);
  if (!*ntKey && !zones.Open(HKEY_LOCAL_MACHINE, kOldZonesKey)) return false;
  DWORD count = 0, longest = 0;
  if (RegQueryInfoKeyA(zones.get(), nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr, nullptr, nullptr,
                       nullptr, nullptr) != ERROR_SUCCESS)
    return false;
  keys->clear();
  std::string name(std::max<DWORD>(longest, 256) + 1, '\0');
  for (DWORD i = 0; i < count; ++i) {
    DWORD length = static_cast<DWORD>(name.size());
    if (RegEnumKeyExA(zones.get(), i, name.data(), &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      continue;
    ZoneKeyData data;
    data.keyName.assign(name.data(), length);
    RegKey zone;
    if (!zone.Open(zones.get(), data.keyName.c_str())) continue;
    uint8_t tzi[44];
    DWORD size = sizeof tzi, type = 0;
    if (RegQueryValueExA(zone.get(), "TZI", nullptr, &type, tzi, &size) == ERROR_SUCCESS && type == REG_BINARY)
      ParseTzi(tzi, size, &data);
    data.standardName = ReadText(zone.get(), "Std");
    data.daylightName = ReadText(zone.get(), "Dlt");
    data.display = ReadText(zone.get(), "Display");
    keys->push_back(std::move(data));
  }
  return true;
}

OsCurrentZoneNames RegistryOsZones::CurrentZoneNames() {
  OsCurrentZoneNames names;
  RegKey machine;
  if (machine.Open(HKEY_LOCAL_MACHINE, kZoneInformationKey)) {
    names.keyName = ReadText(machine.get(), "TimeZoneKeyName", 256);
    names.standardName = ReadText(machine.get(), "StandardName", 256);
  }
  RegKey user;
  if (user.Open(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows NT\\CurrentVersion\\Time Zones"))
    names.userKeyName = ReadText(user.get(), "TimeZoneKeyName", 256);
  return names;
}

void InstallSkyPlatform() {
  static RegistryOsZones registry;
  SetOsZoneSource(&registry);
  SetVsop87Source(LockVsop87Resource);
}

}  // namespace kv
