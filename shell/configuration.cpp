#include "shell/configuration.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "resources/strings.h"
#include "base/filesystem.h"
#include "base/messages.h"
#include "base/settings.h"
#include "base/untrusted_text.h"
#include "shell/shell_services.h"

namespace kv {
namespace {

constexpr size_t kCommandLineNameMax = 259;

struct ModuleState {
  ConfigurationState state;
  std::string overlayFolder;  // initial folder of the overlay dialogs once one was opened
};

ModuleState& Module() {
  static ModuleState module;
  return module;
}

std::string Lower(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return out;
}

// A message about a file: the text, a blank line and the path.
std::string FileMessage(int id, const std::string& path) { return std::string(StringText(id)) + "\n\n" + path; }

void ShowHeaderFailure(const std::string& path) {
  UserMessage m;
  m.text = FileMessage(1155, path);
  m.caption = std::string(StringText(IDS_PRODUCT_NAME));
  m.icon = MsgIcon::Warning;
  m.beep = MsgBeep::Warning;
  m.owner = MsgOwner::None;
  ShowUserMessage(m);
}

void ShowSaveFailure(const std::string& path) {
  UserMessage m;
  m.text = FileMessage(1159, path);
  m.icon = MsgIcon::Warning;
  m.beep = MsgBeep::Warning;
  m.owner = MsgOwner::Frame;
  ShowUserMessage(m);
}

// Makes sure a file exists, creating it empty; true when it exists afterwards.
bool EnsureFile(FileSystem& fs, const std::string& path) {
  return fs.FileExists(path) || fs.WriteAll(path, {});
}

std::vector<std::string> TrustedPaths() {
  std::vector<std::string> paths;
  std::string list = RegReadSetting(kTrustedPathsSection, kTrustedPathsValue);
  size_t start = 0;
  while (start < list.size()) {
    size_t end = list.find('|', start);
    if (end == std::string::npos) end = list.size();
    if (end > start) paths.push_back(list.substr(start, end - start));
    start = end + 1;
  }
  return paths;
}

bool SamePath(std::string_view a, std::string_view b) { return a.size() == b.size() && Lower(a) == Lower(b); }

// What a configuration's paths come to before any of them is opened.
struct ScreenedPaths {
  std::vector<std::string> overlays;      // to open
  std::vector<std::string> heldOverlays;  // named by the file, not opened this session
  bool holdDatabaseFolder = false;
};

// Sorts the database folder and the overlay names of a file just read: a path that cannot name
// a file is refused with one message; network paths not chosen on this machine are listed in
// one question, and kept from this session unless the user accepts them. Nothing is opened here.
ScreenedPaths ScreenConfigurationPaths(const std::string& file, const std::string& databaseFolder,
                                       const std::vector<std::string>& names) {
  ScreenedPaths out;
  std::string refusals;
  std::vector<std::string> network;
  auto screen = [&](const std::string& path) {
    std::string reason;
    PathKind kind = ClassifyPath(path, &reason);
    if (kind == PathKind::Unusable) {
      refusals += reason + "\n\n";
      return false;
    }
    if (kind == PathKind::Network && !IsTrustedPath(path)) {
      if (std::none_of(network.begin(), network.end(), [&](const std::string& n) { return SamePath(n, path); }))
        network.push_back(path);
    }
    return true;
  };
  bool folderUsable = databaseFolder.empty() || screen(databaseFolder);
  std::vector<bool> usable;
  for (const std::string& name : names) usable.push_back(screen(name));

  if (!refusals.empty()) {
    UserMessage m;
    m.text = refusals + std::string(StringText(19132));
    m.caption = std::string(StringText(IDS_PRODUCT_NAME));
    m.icon = MsgIcon::Warning;
    m.beep = MsgBeep::Warning;
    m.owner = MsgOwner::None;
    ShowUserMessage(m);
  }
  bool declined = false;
  if (!network.empty()) {
    std::string list;
    for (const std::string& n : network) list += "    " + n + "\n";
    UserMessage m;
    m.text = FormatText(std::string(StringText(19130)).c_str(), file.c_str(), list.c_str());
    m.caption = std::string(StringText(IDS_PRODUCT_NAME));
    m.icon = MsgIcon::Question;
    m.beep = MsgBeep::Question;
    m.buttons = MsgButtons::YesNo;
    m.defaultButton = 2;  // the safe answer
    m.owner = MsgOwner::None;
    declined = ShowUserMessage(m) != MsgAnswer::Yes;
    if (!declined)
      for (const std::string& n : network) TrustPath(n);
  }
  auto held = [&](const std::string& path) {
    return declined && std::any_of(network.begin(), network.end(), [&](const std::string& n) { return SamePath(n, path); });
  };
  out.holdDatabaseFolder = !folderUsable || held(databaseFolder);
  for (size_t i = 0; i < names.size(); ++i)
    (usable[i] && !held(names[i]) ? out.overlays : out.heldOverlays).push_back(names[i]);
  return out;
}

}  // namespace

bool IsTrustedPath(std::string_view path) {
  std::vector<std::string> trusted = TrustedPaths();
  return std::any_of(trusted.begin(), trusted.end(), [&](const std::string& t) { return SamePath(t, path); });
}

void TrustPath(std::string_view path) {
  if (path.empty() || path.find('|') != std::string_view::npos || IsTrustedPath(path)) return;
  std::string list = RegReadSetting(kTrustedPathsSection, kTrustedPathsValue);
  if (!list.empty()) list += '|';
  list += path;
  RegWriteSetting(kTrustedPathsSection, kTrustedPathsValue, list);
}

ConfigurationState& ConfigState() { return Module().state; }

void ResetConfigurationState() { Module() = ModuleState{}; }

CalendarConfig& Config() { return Module().state.config; }

void SetConfigDirty(bool dirty) { Module().state.dirty = dirty; }

bool ConfigDirty() { return Module().state.dirty; }

std::string OverlaysFolder() { return JoinWindowsPath(ConfigState().dataFolder, "Overlays"); }

int ReadConfiguration(const std::string& path) {
  ConfigurationState& s = ConfigState();
  std::optional<std::vector<uint8_t>> file = CurrentFileSystem().ReadAll(path);
  if (!file || file->size() < 10) return -1;
  if (!HasConfigHeader(file->data(), file->size())) {
    // The check comes before anything of the open configuration is let go, so that a refused
    // file leaves the open one whole.
    ShowHeaderFailure(path);
    return -1;
  }
  if (s.open) Services().CloseOverlays();

  // A file shorter than the record keeps the defaults in the bytes it does not reach.
  DefaultConfigInputs defaults = s.defaults;
  defaults.dataFolder = s.dataFolder;
  ConfigImage image = SerializeCalendarConfig(DefaultCalendarConfig(defaults));
  std::memcpy(image.data(), file->data(), std::min(file->size(), kConfigSize));
  bool converted = ConfigVersionOf(image.data()) == 6;
  if (converted) ConvertVersion6Image(image);

  s.config = ParseCalendarConfig(image);
  ApplyLoadRules(s.config, s.dataFolder);

  // Every path the file names is looked at before any is opened: a file that came by mail
  // must not make Windows connect to another computer without the user knowing.
  std::vector<std::string> names;
  if (s.config.overlayCount != 0 && file->size() > kConfigSize)
    names = SplitOverlayTail(file->data() + kConfigSize, file->size() - kConfigSize, s.config.overlayCount);
  ScreenedPaths paths = ScreenConfigurationPaths(path, s.config.databaseFolder, names);
  s.heldOverlays = paths.heldOverlays;
  s.heldDatabaseFolder.clear();
  s.sessionDatabaseFolder.clear();
  if (paths.holdDatabaseFolder) {
    s.heldDatabaseFolder = s.config.databaseFolder;
    s.config.databaseFolder = s.sessionDatabaseFolder = FallbackDatabaseFolder(s.dataFolder);
  }

  s.open = true;
  s.converted = converted;
  s.fileName = path;
  s.dirty = false;
  s.savedDesk = s.config.desk;

  Services().UseZone(s.config.location.zone);
  Services().ApplyPointOfReference(s.config);
  Services().UseDatabaseFolder(s.config.databaseFolder);

  s.selectedOverlay = -1;
  if (!paths.overlays.empty()) {
    for (const std::string& name : paths.overlays) Services().AddOverlay(name);
    Services().RebuildOverlayOrder();
    std::vector<std::string> loaded = Services().OverlayNames();
    for (size_t i = 0; i < loaded.size(); ++i)
      if (loaded[i] == s.config.selectedOverlay) s.selectedOverlay = static_cast<int>(i);
  }
  s.summaryStartMinute = s.config.summaryStartHour * 60;
  s.summaryEndMinute = s.config.summaryEndHour * 60;
  if (s.hooks.loaded) s.hooks.loaded();
  return 0;
}

int WriteConfiguration(int mode, const std::string& path) {
  ConfigurationState& s = ConfigState();
  if (s.hooks.recordDesk) s.hooks.recordDesk(s.config);
  std::string target = mode == kSaveAs ? path : s.fileName;
  std::vector<std::string> names = Services().OverlayNames();
  // What was kept from this session goes back into the file as it was.
  for (const std::string& held : s.heldOverlays)
    if (std::none_of(names.begin(), names.end(), [&](const std::string& n) { return SamePath(n, held); }))
      names.push_back(held);
  s.config.overlayCount = static_cast<uint16_t>(names.size());
  CalendarConfig record = s.config;
  if (!s.heldDatabaseFolder.empty() && record.databaseFolder == s.sessionDatabaseFolder)
    record.databaseFolder = s.heldDatabaseFolder;
  ConfigImage image = SerializeCalendarConfig(record);
  std::vector<uint8_t> bytes(image.begin(), image.end());
  std::vector<uint8_t> tail = JoinOverlayTail(names);
  bytes.insert(bytes.end(), tail.begin(), tail.end());
  if (target.empty() || !CurrentFileSystem().WriteAll(target, bytes)) {
    ShowSaveFailure(target);
    return 0;
  }
  s.config.version = kConfigVersion;
  s.dirty = false;
  s.savedDesk = s.config.desk;
  if (mode == kSaveAs) {
    s.fileName = target;
    s.open = true;
    if (s.hooks.fileChanged) s.hooks.fileChanged();
  }
  return 1;
}

bool WriteDefaultConfiguration() {
  ConfigurationState& s = ConfigState();
  FileSystem& fs = CurrentFileSystem();
  DefaultConfigInputs inputs = s.defaults;
  inputs.dataFolder = s.dataFolder;
  int zone = Services().SystemZone();
  inputs.zone = static_cast<uint8_t>(zone);
  s.config = DefaultCalendarConfig(inputs);
  Services().UseZone(zone);

  // The point of reference: the city DEFAULT.DAT names for the computer's zone; for a zone it
  // does not name, the first location of that zone in the user's locations or, before they
  // exist, in the master list beside the program.
  std::string locations = JoinWindowsPath(s.dataFolder, "My Locations.dat");
  if (!fs.FileExists(locations)) locations = JoinWindowsPath(s.programFolder, "KVLOCATION.DAT");
  for (const std::string& list : {JoinWindowsPath(s.programFolder, "DEFAULT.DAT"), locations}) {
    std::vector<LocationEntry> entries = Services().ReadLocations(list);
    if (const LocationEntry* l = ChooseDefaultLocation(entries, zone)) {
      s.config.locationName = l->name;
      s.config.location.latitude = l->latitude;
      s.config.location.longitude = l->longitude;
      break;
    }
  }

  // The database folder and its to-do archive log; the folders may not exist yet on a first
  // start, since the default files make them after this file.
  fs.CreateFolder(JoinWindowsPath(s.dataFolder, "Databases"));
  fs.CreateFolder(s.config.databaseFolder);
  EnsureFile(fs, JoinWindowsPath(s.config.databaseFolder, s.config.todoLogFile));

  ConfigImage image = SerializeCalendarConfig(s.config);
  return fs.WriteAll(JoinWindowsPath(s.dataFolder, "default.kvc"), std::vector<uint8_t>(image.begin(), image.end()));
}

CommandLineConfiguration ConfigurationFromCommandLine(std::string_view line, const std::string& dataFolder) {
  CommandLineConfiguration out;
  size_t start = line.find_first_not_of(" \t");
  line = start == std::string_view::npos ? std::string_view() : line.substr(start);
  bool quoted = !line.empty() && line.front() == '"';
  if (quoted) line.remove_prefix(1);
  // A quoted name ends at its closing quote; an unquoted one at the line's end.
  if (size_t quote = line.find('"'); quote != std::string_view::npos) line = line.substr(0, quote);
  while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
  if (line.empty()) {
    out.path = JoinWindowsPath(dataFolder, "DEFAULT.KVC");
    return out;
  }
  // The extension is dropped; dots in folder names stay.
  size_t slash = LastBackslash(line);
  size_t dot = line.find('.', slash == std::string_view::npos ? 0 : slash + 1);
  if (dot != std::string_view::npos) line = line.substr(0, dot);
  if (line.size() > kCommandLineNameMax) line = line.substr(0, kCommandLineNameMax);
  std::string name = std::string(line) + ".kvc";
  out.path = name.find('\\') == std::string::npos ? JoinWindowsPath(dataFolder, name) : name;
  out.named = true;
  return out;
}

bool OpenConfigurationFromCommandLine(std::string_view commandLine, bool* named) {
  CommandLineConfiguration c = ConfigurationFromCommandLine(commandLine, ConfigState().dataFolder);
  if (named) *named = c.named;
  if (ReadConfiguration(c.path) == 0) return true;
  UserMessage m;
  m.icon = MsgIcon::Stop;
  m.beep = MsgBeep::Stop;
  m.owner = MsgOwner::None;
  if (c.named) {
    m.text = FormatText(std::string(StringText(1286)).c_str(), c.path.c_str());
    m.caption = std::string(StringText(IDS_PRODUCT_NAME));
  } else {
    m.text = std::string(StringText(1285));
  }
  ShowUserMessage(m);
  return false;
}

std::string FrameTitle(std::string_view path) {
  std::string title = FileNameOf(path);
  if (size_t dot = title.find_last_of('.'); dot != std::string::npos) title.resize(dot);
  std::string product(StringText(IDS_PRODUCT_NAME));
  if (title.empty() || Lower(title) == "default") return product;
  return FormatText("%s - %s", product.c_str(), title.c_str());
}

FileDialogSetup FileDialogFor(int kind, const FileRequest& request) {
  FileDialogSetup setup;
  auto filterOf = [](int id) { return std::string(StringText(id)) + std::string(1, '\0') + std::string(1, '\0'); };
  switch (kind) {
    case kOpenOverlay:
    case kSaveOverlay:
      setup.save = kind == kSaveOverlay;
      setup.filter = filterOf(2017);
      setup.defaultExtension = "kov";
      setup.initialFolder = Module().overlayFolder.empty() ? OverlaysFolder() : Module().overlayFolder;
      break;
    case kOpenConfiguration:
    case kSaveConfiguration:
      setup.save = kind == kSaveConfiguration;
      setup.filter = filterOf(2016);
      setup.defaultExtension = "kvc";
      setup.initialFolder = ConfigState().dataFolder;
      break;
    case kSaveMetafile:
      setup.save = true;
      setup.filter = filterOf(2019);
      setup.defaultExtension = "wmf";
      setup.initialFolder = ConfigState().dataFolder;
      break;
    default:
      setup.filter = request.filter + std::string(1, '\0') + std::string(1, '\0');
      setup.defaultExtension = request.defaultExtension;
      setup.initialFolder = request.folder;
      setup.fileName = request.fileName;
      break;
  }
  return setup;
}

void RememberOverlayFolder(const std::string& path) {
  Module().overlayFolder = FolderOf(path);
  // A network overlay picked in the program's own dialog is one chosen on this machine.
  if (ClassifyPath(path) == PathKind::Network) TrustPath(path);
}

}  // namespace kv
