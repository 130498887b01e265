#include "shell/migrate_data.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "base/bytes.h"
#include "base/file_io.h"
#include "base/messages.h"
#include "calendar/zone_conversion.h"
#include "overlays/overlay_file.h"
#include "overlays/overlay_set.h"
#include "resources/strings.h"
#include "shell/config.h"
#include "store/db_verify.h"

namespace kv {
namespace {

namespace fs = std::filesystem;

constexpr char kObcMagic[6] = {'O', 'R', 'B', 'C', 'A', '\0'};
constexpr size_t kDatabaseFileLimit = size_t{1} << 30;
constexpr size_t kOverlayFileLimit = size_t{16} << 20;
constexpr size_t kConfigFileLimit = size_t{4} << 20;

std::string Lower(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return out;
}

bool EndsWithNoCase(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() && Lower(text.substr(text.size() - tail.size())) == Lower(tail);
}

std::string BaseName(std::string_view path) {
  size_t cut = path.find_last_of("\\/");
  return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

std::string Problem(int id, const std::string& path) { return FormatText(std::string(StringText(id)).c_str(), path.c_str()); }

bool IsFolder(const std::string& path) {
  std::error_code ec;
  return fs::is_directory(fs::path(path), ec);
}

bool MakeFolders(const std::string& path) {
  std::error_code ec;
  fs::create_directories(fs::path(path), ec);
  return IsFolder(path);
}

bool FolderHasEntries(const std::string& path) {
  std::error_code ec;
  fs::directory_iterator it(fs::path(path), ec);
  return !ec && it != fs::directory_iterator();
}

// The names of the plain files of a folder, sorted so that a run is repeatable.
std::optional<std::vector<std::string>> FilesOf(const std::string& folder) {
  std::error_code ec;
  fs::directory_iterator it(fs::path(folder), ec);
  if (ec) return std::nullopt;
  std::vector<std::string> names;
  for (const fs::directory_entry& entry : it) {
    std::error_code kindError;
    if (entry.is_regular_file(kindError)) names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) { return Lower(a) < Lower(b); });
  return names;
}

bool HasBadNameCharacter(std::string_view name) {
  return name.find_first_of("\\/:*?\"<>|") != std::string_view::npos ||
         std::any_of(name.begin(), name.end(), [](unsigned char c) { return c < 32; });
}

std::string Trimmed(std::string_view text) {
  size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  size_t last = text.find_last_not_of(" \t");
  return std::string(text.substr(first, last - first + 1));
}

DbFileKind KindOfName(const std::string& name) { return DbFileKindOf(name); }

// The predecessor's database files into the target folder, each checked before it is copied.
void CopyDatabase(const std::string& sourceFolder, const std::string& targetFolder, MigrationResult& result) {
  std::optional<std::vector<std::string>> names = FilesOf(sourceFolder);
  if (!names) {
    result.problems.push_back(Problem(30506, sourceFolder));
    return;
  }
  for (const std::string& name : *names) {
    std::string targetName = MigratedDatabaseName(name);
    if (targetName.empty()) continue;
    std::string from = JoinPath(sourceFolder, name);
    std::string to = JoinPath(targetFolder, targetName);
    // A damaged file would be damaged in the new calendar too: the source stays where it is.
    if (!VerifyDbFile(from, KindOfName(targetName)).empty()) {
      result.problems.push_back(Problem(30507, from));
      continue;
    }
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(from, bytes, kDatabaseFileLimit) || !WriteFileReplacing(to, bytes)) {
      result.problems.push_back(Problem(30508, from));
      continue;
    }
    result.copied.push_back(to);
  }
}

// The overlay's bytes in the current format; false when the file is not an overlay.
bool CurrentOverlayBytes(const std::vector<uint8_t>& bytes, std::vector<uint8_t>& out) {
  if (IsOlderOverlay(bytes.data(), bytes.size())) return ConvertOlderOverlay(bytes.data(), bytes.size(), CurrentZone(), out);
  OverlayImage image;
  if (bytes.size() < 4 || std::memcmp(bytes.data(), kOverlayMagic, 4) != 0) return false;
  if (ParseOverlayBytes(bytes.data(), bytes.size(), image) != kOverlayLoaded) return false;
  out = bytes;
  return true;
}

bool SamePathNoCase(const std::string& a, const std::string& b) { return Lower(a) == Lower(b); }

void MigrateOverlays(const ObcContents& obc, const std::string& dataFolder, MigrationResult& result) {
  if (obc.overlays.empty()) return;
  std::string folder = JoinPath(dataFolder, "Overlays");
  if (!MakeFolders(folder)) {
    result.problems.push_back(Problem(30509, folder));
    return;
  }
  for (const std::string& source : obc.overlays) {
    std::string target = JoinPath(folder, MigratedOverlayName(source));
    if (std::any_of(result.overlays.begin(), result.overlays.end(),
                    [&](const std::string& done) { return SamePathNoCase(done, target); }))
      continue;
    if (target.size() > kOverlayNameMax) {
      result.problems.push_back(Problem(30510, source));
      continue;
    }
    if (result.overlays.size() >= static_cast<size_t>(kMaxOverlays)) {
      result.problems.push_back(Problem(30511, source));
      continue;
    }
    if (FileExists(target)) {
      UserMessage m;
      m.text = FormatText(std::string(StringText(1211)).c_str(), target.c_str());
      m.caption = std::string(StringText(IDS_PRODUCT_NAME));
      m.icon = MsgIcon::Question;
      m.beep = MsgBeep::Question;
      m.buttons = MsgButtons::YesNoCancel;
      MsgAnswer answer = ShowUserMessage(m);
      if (answer == MsgAnswer::Cancel) {
        result.overlaysCancelled = true;
        return;
      }
      if (answer == MsgAnswer::No) {
        // This program's copy stays, and the calendar lists it.
        result.overlays.push_back(target);
        continue;
      }
    }
    std::vector<uint8_t> bytes, converted;
    if (!ReadWholeFile(source, bytes, kOverlayFileLimit)) {
      result.problems.push_back(Problem(30512, source));
      continue;
    }
    if (!CurrentOverlayBytes(bytes, converted)) {
      result.problems.push_back(Problem(30513, source));
      continue;
    }
    if (!WriteFileReplacing(target, converted)) {
      result.problems.push_back(Problem(30514, target));
      continue;
    }
    result.overlays.push_back(target);
  }
}

// The configuration the target starts from: the open one, else the data folder's default,
// else a new one.
std::vector<uint8_t> StartingConfiguration(const MigrationRequest& request) {
  std::vector<uint8_t> bytes;
  for (const std::string& path : {request.openConfig, JoinPath(request.dataFolder, "default.kvc")}) {
    if (!path.empty() && ReadWholeFile(path, bytes, kConfigFileLimit) && HasConfigHeader(bytes.data(), bytes.size()))
      return bytes;
  }
  DefaultConfigInputs inputs;
  inputs.dataFolder = request.dataFolder;
  ConfigImage image = SerializeCalendarConfig(DefaultCalendarConfig(inputs));
  return std::vector<uint8_t>(image.begin(), image.end());
}

bool UpdateConfiguration(const MigrationRequest& request, const MigrationTarget& target, MigrationResult& result) {
  std::vector<uint8_t> bytes;
  bool isOpen = !request.openConfig.empty() && SamePathNoCase(request.openConfig, target.config);
  if (!request.replaceDefault && !isOpen) {
    bytes = StartingConfiguration(request);
  } else if (!ReadWholeFile(target.config, bytes, kConfigFileLimit)) {
    bytes = StartingConfiguration(request);
  }
  if (bytes.size() < 10 || !HasConfigHeader(bytes.data(), bytes.size())) return false;
  // Bytes a short file does not reach keep the defaults, as when the program reads it.
  DefaultConfigInputs inputs;
  inputs.dataFolder = request.dataFolder;
  ConfigImage image = SerializeCalendarConfig(DefaultCalendarConfig(inputs));
  std::memcpy(image.data(), bytes.data(), std::min(bytes.size(), kConfigSize));
  if (ConfigVersionOf(image.data()) == 6) ConvertVersion6Image(image);
  CalendarConfig config = ParseCalendarConfig(image);
  config.databaseFolder = target.databaseFolder;
  config.overlayCount = static_cast<uint16_t>(result.overlays.size());
  ConfigImage updated = SerializeCalendarConfig(config);
  std::vector<uint8_t> out(updated.begin(), updated.end());
  std::vector<uint8_t> tail = JoinOverlayTail(result.overlays);
  out.insert(out.end(), tail.begin(), tail.end());
  return WriteFileReplacing(target.config, out);
}

}  // namespace

std::optional<ObcContents> ParseObc(const uint8_t* bytes, size_t size) {
  if (size < 10 || std::memcmp(bytes, kObcMagic, sizeof kObcMagic) != 0) return std::nullopt;
  ObcContents out;
  out.version = ReadU16LE(bytes + 6);
  if (out.version < kOldestObcVersion || size < kObcHeaderSize) return std::nullopt;
  out.databaseFolder = ReadFixedText(bytes + kObcDatabaseOffset, kObcOverlayCountOffset - kObcDatabaseOffset);
  unsigned count = ReadU16LE(bytes + kObcOverlayCountOffset);
  const char separator = out.version >= 5 ? '\x1C' : ' ';
  size_t pos = kObcHeaderSize;
  for (unsigned i = 0; i < count && pos < size; ++i) {
    const uint8_t* start = bytes + pos;
    const void* end = std::memchr(start, separator, size - pos);
    // The last name may lack its separator at the very end of the file.
    size_t length = end ? static_cast<size_t>(static_cast<const uint8_t*>(end) - start) : size - pos;
    std::string name(reinterpret_cast<const char*>(start), length);
    if (size_t zero = name.find('\0'); zero != std::string::npos) name.resize(zero);
    pos += length + 1;
    if (name.empty()) {
      if (separator == ' ') --i;  // blanks in a row separate nothing
      continue;
    }
    if (name.size() > kOverlayNameMax) continue;
    out.overlays.push_back(std::move(name));
  }
  return out;
}

std::string InstallationFolderFromCommand(std::string_view command) {
  size_t start = command.find_first_not_of(" \t");
  if (start == std::string_view::npos) return {};
  command = command.substr(start);
  std::string_view program;
  if (command.front() == '"') {
    command.remove_prefix(1);
    program = command.substr(0, command.find('"'));
  } else {
    // An unquoted program path ends after its ".exe"; without one, at the first argument.
    std::string lower = Lower(command);
    size_t exe = lower.find(".exe");
    if (exe != std::string::npos) program = command.substr(0, exe + 4);
    else program = command.substr(0, command.find(" \"")).substr(0, command.find(" %"));
  }
  size_t cut = program.find_last_of('\\');
  return cut == std::string_view::npos ? std::string() : std::string(program.substr(0, cut));
}

std::string SourceDatabaseFolder(const ObcContents& obc, const std::string& obcPath) {
  if (!obc.databaseFolder.empty()) return obc.databaseFolder;
  return JoinPath(FolderOfPath(obcPath), "DAV");
}

std::string MigratedDatabaseName(std::string_view sourceName) {
  std::string lower = Lower(sourceName);
  if (lower == "phonebk.obp") return "PhoneBk.kvpb";
  if (lower == "todo.otd") return "ToDo.kvtd";
  if (lower.size() > 4 && EndsWithNoCase(lower, ".obd")) return std::string(sourceName.substr(0, sourceName.size() - 4)) + ".kvdb";
  return {};
}

std::string MigratedOverlayName(std::string_view sourcePath) {
  std::string name = BaseName(sourcePath);
  if (size_t dot = name.find_last_of('.'); dot != std::string::npos && dot > 0) name.resize(dot);
  return name + ".kov";
}

int CheckMigrationTarget(const MigrationRequest& request, MigrationTarget& target) {
  target = MigrationTarget{};
  std::string databases = JoinPath(request.dataFolder, "Databases");
  if (request.replaceDefault) {
    target.config = JoinPath(request.dataFolder, "default.kvc");
    target.databaseFolder = JoinPath(databases, "Default");
  } else {
    std::string config = Trimmed(request.configName);
    if (config.empty()) return 1206;
    std::string database = Trimmed(request.databaseName);
    if (database.empty()) return 1207;
    if (HasBadNameCharacter(config) || HasBadNameCharacter(database) || database == "." || database == "..")
      return 30502;
    if (!EndsWithNoCase(config, ".kvc")) config += ".kvc";
    target.config = JoinPath(request.dataFolder, config);
    target.databaseFolder = JoinPath(databases, database);
  }
  // The configuration holds the folder in a field of 256 bytes and overlay paths in slots of
  // 260: a longer path would be cut to name another folder.
  if (target.databaseFolder.size() > kDatabaseFolderMax) return 30500;
  if (target.config.size() > kOverlayNameMax) return 30501;
  if (!request.replaceDefault) {
    target.configExists = FileExists(target.config);
    target.databaseExists = IsFolder(target.databaseFolder);
  }
  return 0;
}

std::string BackupFolderFor(const std::string& databaseFolder, const DateStamp& today) {
  std::string base = FormatText(std::string(StringText(30503)).c_str(), BaseName(databaseFolder).c_str(),
                                static_cast<int>(today.year), static_cast<int>(today.month), static_cast<int>(today.day));
  std::string parent = FolderOfPath(databaseFolder);
  std::string candidate = JoinPath(parent, base);
  for (int n = 2; IsFolder(candidate) || FileExists(candidate); ++n)
    candidate = JoinPath(parent, base + FormatText(" (%d)", n));
  return candidate;
}

MigrationResult RunMigration(const MigrationRequest& request, const MigrationTarget& target) {
  MigrationResult result;
  result.config = target.config;
  result.databaseFolder = target.databaseFolder;

  std::vector<uint8_t> head;
  std::optional<ObcContents> obc;
  if (ReadWholeFile(request.source, head, kConfigFileLimit)) obc = ParseObc(head.data(), head.size());
  if (!obc) {
    result.problems.push_back(Problem(30505, request.source));
    return result;
  }

  // Database files. Old files left beside the copied ones would keep note ids that point at
  // the migrated notes, so a database already in the target folder goes aside whole first.
  bool databaseReady = true;
  if (FolderHasEntries(target.databaseFolder)) {
    std::string backup = BackupFolderFor(target.databaseFolder, request.today);
    std::error_code ec;
    fs::rename(fs::path(target.databaseFolder), fs::path(backup), ec);
    if (ec) {
      result.problems.push_back(Problem(30515, target.databaseFolder));
      databaseReady = false;
    } else {
      result.backupFolder = backup;
    }
  }
  if (databaseReady && !MakeFolders(target.databaseFolder)) {
    result.problems.push_back(Problem(30509, target.databaseFolder));
    databaseReady = false;
  }
  if (databaseReady) CopyDatabase(SourceDatabaseFolder(*obc, request.source), target.databaseFolder, result);

  MigrateOverlays(*obc, request.dataFolder, result);

  if (!UpdateConfiguration(request, target, result)) result.problems.push_back(Problem(30516, target.config));
  return result;
}

}  // namespace kv
