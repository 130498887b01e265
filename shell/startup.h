// The decisions of start-up that do not need a window: the move of the registry key of an
// earlier release, the data folder and its default files, the first-use overlays.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/filesystem.h"

namespace kv {

// Keys under HKEY_CURRENT_USER, as far as the key migration needs them.
class RegistryTree {
 public:
  virtual ~RegistryTree() = default;
  virtual bool KeyExists(const std::string& path) = 0;
  virtual bool CreateKey(const std::string& path) = 0;
  // Copies every subkey and value of `from` into `to`.
  virtual bool CopyTree(const std::string& from, const std::string& to) = 0;
};

inline constexpr const char* kProgramKey = "Software\\Quorvex\\Kalvora";
inline constexpr const char* kEarlierVendorKey = "Software\\Vantrelle";
inline constexpr const char* kEarlierProgramKey = "Software\\Vantrelle\\Kalvora";

// Copies the settings of an earlier release into the program's key when the program has none
// yet. True when this counts as a first run (no settings at all, or settings just copied).
bool MigrateRegistryKey(RegistryTree& registry);

// What the data folder step found and did.
struct DataFolderResult {
  std::string dataFolder;            // empty when the documents folder does not exist
  bool created = false;              // the folder was made now (with its desktop.ini)
  bool relocated = false;            // the data of an earlier release candidate was moved in
  bool earlierLayoutFound = false;   // data of an earlier layout was found at the drive root
  std::string documentToOpen;        // a notice to open after a relocation, or empty
};

struct DataFolderInputs {
  std::string personal;       // the user's documents folder ("Personal")
  std::string programFolder;  // folder of kalvora.exe
  std::string appData;        // the user's application-data folder
};

// Finds or makes "My Calendars" in the documents folder: relocates the data of an earlier
// release candidate, writes desktop.ini into a new folder, and moves the data of an earlier
// layout from the root of the folder's drive. Tells the user about a relocation.
DataFolderResult PrepareDataFolder(FileSystem& fs, const DataFolderInputs& in);

// The text of desktop.ini that gives the data folder the program's icon.
std::string DesktopIniText(const std::string& programFolder);

// The standard overlays are the overlay module's list: masters in the program folder's "Data"
// folder, copied into the overlays folder under their names there.
inline constexpr const char* kSampleOverlay = "Sample.kov";

// Creates whatever is missing of the default files and folders; copies never overwrite.
// Returns true when "default.kvc" was written now.
bool CreateDefaultFiles(FileSystem& fs, const std::string& dataFolder, const std::string& programFolder);

// The notice about a small screen is due on a screen narrower than 1024 pixels when the
// configuration is being used for the first time.
bool SmallScreenNoticeDue(int screenWidth, bool firstUse);

// The country whose holidays the first use loads, from the system's language and zone.
enum class Country { None, USA, France, UK, Canada };
Country FirstUseCountry(int languageId, int systemZone);

// The overlays the first use loads, in order: the country's holidays (when there is one),
// then the Christian and Jewish holidays and the sample.
std::vector<std::string> FirstUseOverlays(Country country, const std::string& overlaysFolder);

// Finishing the first use: unless data of an earlier layout was found, loads the standard
// overlays that exist in the overlays folder (the sample brought up to date first) and saves;
// then clears the first-use flag and saves again, and names the overlays it could not find to
// the user in one warning. Returns true when the configuration had been converted from
// version 6 (the caller then opens the world map window).
bool FinishFirstUse(Country country, bool earlierLayoutFound);

}  // namespace kv
