// The open calendar configuration: the one global `CalendarConfig` every module reads and
// writes, and the reading and writing of ".kvc" files (the only place that does).
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/config.h"
#include "shell/desk.h"

namespace kv {

enum SaveMode : int { kSave = 1002, kSaveAs = 1003 };

// What the frame contributes to loading and saving; each may stay empty.
struct ConfigurationHooks {
  // Called first by WriteConfiguration: records the desk (z-order, active window).
  std::function<void(CalendarConfig&)> recordDesk;
  // Called at the end of a successful ReadConfiguration: title, layout of the views.
  std::function<void()> loaded;
  // Called when Save As has switched the open file.
  std::function<void()> fileChanged;
};

struct ConfigurationState {
  CalendarConfig config;
  bool open = false;             // a configuration has been read
  std::string fileName;          // path of the open configuration
  bool dirty = false;            // ConfigDirty
  bool converted = false;        // the open configuration was read from a version 6 file
  DeskLayout savedDesk;          // window block of the last loaded or saved configuration
  int selectedOverlay = -1;      // 0-based position of the overlay whose tab is selected
  int summaryStartMinute = 0;    // summary bar limits of the schedule, minutes
  int summaryEndMinute = 0;
  // Folders found at start-up.
  std::string dataFolder;
  std::string programFolder;
  // What a new default configuration takes from the screen and the system colours.
  DefaultConfigInputs defaults;
  ConfigurationHooks hooks;
  // Paths the open file names that are not used this session: network paths the user declined
  // and paths that cannot name a file. They are written back as they were, so that a file
  // opened on another machine keeps them.
  std::vector<std::string> heldOverlays;
  std::string heldDatabaseFolder;     // the file's own field, when the session uses another
  std::string sessionDatabaseFolder;  // the folder used instead
};

// Network paths the user has chosen on this machine (setting "TrustedPaths" in section
// "Configuration", separated by "|"): a configuration naming them opens them without asking.
constexpr char kTrustedPathsSection[] = "Configuration";
constexpr char kTrustedPathsValue[] = "TrustedPaths";
bool IsTrustedPath(std::string_view path);
void TrustPath(std::string_view path);

ConfigurationState& ConfigState();
void ResetConfigurationState();

// The global record.
CalendarConfig& Config();
// ConfigDirty: set by every options dialog that changes a field; cleared by a successful save.
void SetConfigDirty(bool dirty = true);
bool ConfigDirty();

// The folder the overlay files live in: "%s\Overlays" of the data folder.
std::string OverlaysFolder();

// Loads a ".kvc" file into the global record and everything derived from it: 0 on success,
// -1 on failure (message 1155 for a file that fails the header check; the configuration that
// was open stays as it was).
int ReadConfiguration(const std::string& path);

// Writes the open configuration (kSave) or to `path` (kSaveAs, which then becomes the open
// file): 1 on success, 0 on failure with message 1159 (ConfigDirty stays set).
int WriteConfiguration(int mode, const std::string& path = {});

// Fills the global record with the defaults and writes "default.kvc" of the data folder,
// replacing it; makes sure the database folder and its to-do archive log exist. False when the
// file could not be written.
bool WriteDefaultConfiguration();

// The file a command line names: leading blanks and one leading double quote skipped, a
// closing quote and the extension dropped, at most 259 characters, ".kvc" appended; a name
// without "\" lies in the data folder. An empty command line names "DEFAULT.KVC" there.
struct CommandLineConfiguration {
  std::string path;
  bool named = false;  // a file was named (not the default one)
};
CommandLineConfiguration ConfigurationFromCommandLine(std::string_view commandLine, const std::string& dataFolder);

// Opens the configuration the command line names, or the default one; on failure shows 1286
// (named file) or 1285 (default) and returns false.
bool OpenConfigurationFromCommandLine(std::string_view commandLine, bool* named = nullptr);

// The frame's caption for a configuration file: "Kalvora - Work" for "...\Work.kvc", the bare
// product name for "default.kvc" in any case.
std::string FrameTitle(std::string_view path);

// The common file dialog of each kind.
enum FileDialogKind : int {
  kOpenOverlay = 1,
  kSaveOverlay = 2,
  kOpenConfiguration = 3,
  kSaveConfiguration = 4,
  kCallerFile = 5,
  kSaveMetafile = 6,
};
struct FileDialogSetup {
  bool save = false;           // save kinds prompt before overwriting; open kinds need a file
  std::string filter;          // description NUL pattern NUL, ending in a second NUL
  std::string defaultExtension;
  std::string initialFolder;
  std::string fileName;        // initial file name (kind 5)
};
// The caller's part of kind 5: folder, file and filter (description NUL pattern).
struct FileRequest {
  std::string folder;
  std::string fileName;
  std::string filter;
  std::string defaultExtension;
};
FileDialogSetup FileDialogFor(int kind, const FileRequest& request = {});
// After an overlay is opened, its folder becomes the initial folder of later overlay dialogs;
// an overlay on a network share picked there becomes a path chosen on this machine.
void RememberOverlayFolder(const std::string& path);

}  // namespace kv
