#include "shell/startup.h"

#include <cstdio>

#include "overlays/overlay_set.h"
#include "personal/alarms.h"
#include "resources/strings.h"
#include "shell/configuration.h"
#include "base/messages.h"
#include "base/settings.h"
#include "shell/shell_services.h"

namespace kv {

namespace {

constexpr int kDataFolderName = 1198;  // "My Calendars"
constexpr int kOverlaysMissing = 25020;  // "The calendar starts without these standard overlays..."
constexpr const char* kEarlierFolders[] = {"Overlays", "Databases", "Custom Icons"};

void TellRelocated(const std::string& dataFolder) {
  ShowMessage(FormatText(std::string(StringText(25001)).c_str(), dataFolder.c_str()), MsgIcon::Information);
}

// Moves the data of the earlier release candidates ("Vantrelle\Kalvora" in the application-
// data folder) into the new data folder. Their files have the formats of this release, so the
// folder moves whole; the old personal locations go beside the program, where the locations
// merge looks for them.
bool RelocateEarlierData(FileSystem& fs, const DataFolderInputs& in, const std::string& dataFolder) {
  if (in.appData.empty()) return false;
  std::string old = JoinWindowsPath(JoinWindowsPath(in.appData, "Vantrelle"), "Kalvora");
  if (!fs.FolderExists(old) || !fs.Move(old, dataFolder)) return false;
  std::string local = JoinWindowsPath(dataFolder, "kvlocal.dat");
  if (fs.FileExists(local)) fs.Move(local, JoinWindowsPath(in.programFolder, "kvlocal.dat"));
  return true;
}

// Data of the first layout lay at the root of the drive: "My Locations.dat" marks it.
bool MoveEarlierLayout(FileSystem& fs, const std::string& dataFolder) {
  if (dataFolder.size() < 2) return false;
  std::string root = dataFolder.substr(0, 2);
  std::string locations = JoinWindowsPath(root, "My Locations.dat");
  if (!fs.FileExists(locations)) return false;
  fs.Move(locations, JoinWindowsPath(dataFolder, "My Locations.dat"));
  for (const char* folder : kEarlierFolders) {
    std::string from = JoinWindowsPath(root, folder);
    if (fs.FolderExists(from)) fs.Move(from, JoinWindowsPath(dataFolder, folder));
  }
  fs.RemoveFile(JoinWindowsPath(root, "default.kvc"));
  return true;
}

// What to name for a standard overlay the first use cannot find: its master in the program
// folder's "Data" folder when that is missing too (an incomplete installation), else the copy
// that should have been made from it.
std::string MissingOverlayFile(FileSystem& fs, const std::string& overlayPath, const std::string& programFolder) {
  std::string name = FileNameOf(overlayPath);
  for (const StandardOverlay& o : StandardOverlays()) {
    if (name != o.overlayFile) continue;
    std::string master = JoinWindowsPath(JoinWindowsPath(programFolder, "Data"), o.programFile);
    return fs.FileExists(master) ? overlayPath : master;
  }
  return overlayPath;
}

}  // namespace

bool MigrateRegistryKey(RegistryTree& registry) {
  if (registry.KeyExists(kProgramKey)) return false;
  if (!registry.KeyExists(kEarlierVendorKey)) return true;
  if (!registry.KeyExists(kEarlierProgramKey)) return false;
  registry.CreateKey("Software\\Quorvex");
  registry.CreateKey(kProgramKey);
  registry.CopyTree(kEarlierProgramKey, kProgramKey);
  return true;
}

std::string DesktopIniText(const std::string& programFolder) {
  return "[.ShellClassInfo]\r\nIconFile=" + JoinWindowsPath(programFolder, "kalvora.exe") + "\r\nIconIndex=1";
}

DataFolderResult PrepareDataFolder(FileSystem& fs, const DataFolderInputs& in) {
  DataFolderResult r;
  if (in.personal.empty() || !fs.FolderExists(in.personal)) return r;
  r.dataFolder = JoinWindowsPath(in.personal, StringText(kDataFolderName));
  if (!fs.FolderExists(r.dataFolder)) {
    r.relocated = RelocateEarlierData(fs, in, r.dataFolder);
    if (r.relocated) {
      TellRelocated(r.dataFolder);
      std::string notice = JoinWindowsPath(in.programFolder, "Kalvora Data.rtf");
      if (fs.FileExists(notice)) r.documentToOpen = notice;
    } else if (fs.CreateFolder(r.dataFolder)) {
      r.created = true;
      std::string ini = DesktopIniText(in.programFolder);
      fs.WriteAll(JoinWindowsPath(r.dataFolder, "desktop.ini"), std::vector<uint8_t>(ini.begin(), ini.end()));
    }
  }
  r.earlierLayoutFound = MoveEarlierLayout(fs, r.dataFolder);
  return r;
}

bool CreateDefaultFiles(FileSystem& fs, const std::string& dataFolder, const std::string& programFolder) {
  bool wroteDefault = false;
  if (!fs.FileExists(JoinWindowsPath(dataFolder, "default.kvc"))) wroteDefault = WriteDefaultConfiguration();

  std::string locations = JoinWindowsPath(dataFolder, "My Locations.dat");
  if (!fs.FileExists(locations) && fs.CopyNew(JoinWindowsPath(programFolder, "KVLOCATION.DAT"), locations) &&
      fs.FileExists(JoinWindowsPath(programFolder, "KVLOCAL.DAT")) && fs.FileExists(JoinWindowsPath(programFolder, "KVLOCAL_40.DAT")))
    Services().MergeOldLocations(locations, programFolder);

  for (const char* folder : {"Databases", "Databases\\Default", "Overlays", "Custom Icons"})
    fs.CreateFolder(JoinWindowsPath(dataFolder, folder));

  std::string overlays = JoinWindowsPath(dataFolder, "Overlays");
  std::string masters = JoinWindowsPath(programFolder, "Data");
  for (const StandardOverlay& o : StandardOverlays()) {
    std::string target = JoinWindowsPath(overlays, o.overlayFile);
    if (fs.FileExists(target)) continue;
    if (fs.CopyNew(JoinWindowsPath(masters, o.programFile), target) && std::string(o.overlayFile) == kSampleOverlay)
      Services().BringSampleUpToDate(target);
  }
  return wroteDefault;
}

bool SmallScreenNoticeDue(int screenWidth, bool firstUse) { return firstUse && screenWidth < 1024; }

Country FirstUseCountry(int languageId, int zone) {
  if (languageId == 1033 && zone >= 34 && zone <= 43) return Country::USA;
  if (languageId == 1036 && zone == 4) return Country::France;
  if (languageId == 2057 && zone >= 1 && zone <= 2) return Country::UK;
  if ((languageId == 3084 || languageId == 4105) && zone >= 36 && zone <= 45) return Country::Canada;
  return Country::None;
}

std::vector<std::string> FirstUseOverlays(Country country, const std::string& overlaysFolder) {
  std::vector<std::string> files;
  switch (country) {
    case Country::USA: files.push_back("Holidays (USA).kov"); break;
    case Country::France: files.push_back("Holidays (France).kov"); break;
    case Country::Canada: files.push_back("Holidays (Canada).kov"); break;
    case Country::UK: files.push_back("Holidays (UK).kov"); break;
    case Country::None: break;
  }
  for (const char* f : {"Holidays (Christian).kov", "Holidays (Jewish).kov", kSampleOverlay}) files.push_back(f);
  for (std::string& f : files) f = JoinWindowsPath(overlaysFolder, f);
  return files;
}

bool FinishFirstUse(Country country, bool earlierLayoutFound) {
  std::string missing;
  if (!earlierLayoutFound) {
    FileSystem& fs = CurrentFileSystem();
    for (const std::string& path : FirstUseOverlays(country, OverlaysFolder())) {
      // A missing overlay is left out, and the user told, so a new calendar without its
      // holidays is never a silent surprise.
      if (!fs.FileExists(path)) {
        if (!missing.empty()) missing += '\n';
        missing += MissingOverlayFile(fs, path, ConfigState().programFolder);
        continue;
      }
      if (FileNameOf(path) == kSampleOverlay) Services().BringSampleUpToDate(path);
      Services().AddOverlay(path);
    }
    Services().RebuildOverlayOrder();
    WriteConfiguration(kSave);
  }
  Config().firstUse = 0;
  WriteConfiguration(kSave);
  if (!missing.empty())
    ShowMessage(FormatText(std::string(StringText(kOverlaysMissing)).c_str(), missing.c_str()), MsgIcon::Warning);
  return ConfigState().converted;
}

}  // namespace kv
