// Migrate Data: copies a calendar of the predecessor product (its ".obc" configuration, the
// database folder it names, its overlays) into this program's data folder and points a
// calendar configuration at the copies. The predecessor's files are only ever read.
//
// The wizard and `kvtool migrate` both run through here: first CheckMigrationTarget for the
// names the user gave, then RunMigration. Questions (an overlay that exists already) go through
// the messages seam.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/dates.h"

namespace kv {

inline constexpr size_t kObcHeaderSize = 2048;
inline constexpr uint16_t kOldestObcVersion = 4;
inline constexpr size_t kObcDatabaseOffset = 264;
inline constexpr size_t kObcOverlayCountOffset = 2046;
// The configuration's database folder field holds 255 characters and its zero.
inline constexpr size_t kDatabaseFolderMax = 255;

// What a predecessor configuration names.
struct ObcContents {
  uint16_t version = 0;
  std::string databaseFolder;         // as stored; empty: "DAV" beside the installation
  std::vector<std::string> overlays;  // paths as stored
};

// Parses a predecessor configuration's bytes; nothing when the magic "ORBCA" or a version of
// 4 or later is missing or the header is short. Overlay names past the end of the file, empty
// ones and ones longer than 259 characters are left out.
std::optional<ObcContents> ParseObc(const uint8_t* bytes, size_t size);

// The installation folder from the shell's open command of ".obc" files: the program path
// (quoted or not, arguments dropped) cut at its last backslash. Empty when there is none.
std::string InstallationFolderFromCommand(std::string_view command);

// The database folder a source names: its own field, or "DAV" beside the configuration.
std::string SourceDatabaseFolder(const ObcContents& obc, const std::string& obcPath);

// This program's name for a predecessor database file ("*.obd" → "*.kvdb", "phonebk.obp" →
// "PhoneBk.kvpb", "todo.otd" → "ToDo.kvtd"); empty for any other file.
std::string MigratedDatabaseName(std::string_view sourceName);
// This program's name for an overlay file: the extension becomes ".kov".
std::string MigratedOverlayName(std::string_view sourcePath);

// What the user chose on the target page.
struct MigrationRequest {
  std::string source;         // the ".obc" file
  std::string dataFolder;     // this program's data folder
  bool replaceDefault = false;
  std::string configName;     // new configuration (".kvc" appended when missing)
  std::string databaseName;   // new database folder under "Databases"
  std::string openConfig;     // the open configuration: copied to a new target first
  DateStamp today;            // names the backup folder of a replaced default database
};

// Where the migration will write.
struct MigrationTarget {
  std::string config;          // the target ".kvc"
  std::string databaseFolder;  // the target database folder
  bool configExists = false;   // a new configuration's file exists already
  bool databaseExists = false; // a new database folder exists already
};

// The check of the target page: 0 and `target` filled when the names can be used, else the
// number of the message to show (1206 empty configuration name, 1207 empty database name,
// 30500 a database folder path too long for the configuration's field, 30501 a configuration
// path too long, 30502 a name holding characters a file name cannot have). The two "exists"
// flags ask for the question of messages 1208/1209 with 1210.
int CheckMigrationTarget(const MigrationRequest& request, MigrationTarget& target);

struct MigrationResult {
  std::vector<std::string> copied;     // database files written
  std::vector<std::string> overlays;   // overlays the target configuration lists
  std::string config;                  // the target configuration
  std::string databaseFolder;
  std::string backupFolder;            // where a replaced default database was moved
  std::vector<std::string> problems;   // in words, one per failed file or step
  bool overlaysCancelled = false;
};

// Runs the migration into `target` (from CheckMigrationTarget). Every failed file is a problem
// and the rest goes on; files of the target are replaced whole or not at all. With the default
// replaced, a database already in the default folder is first moved aside into a dated backup
// folder beside it.
MigrationResult RunMigration(const MigrationRequest& request, const MigrationTarget& target);

// The folder a replaced default database is moved to: "%s\Default before migration
// YYYY-MM-DD" beside it, with " (2)", " (3)"... when that name is taken.
std::string BackupFolderFor(const std::string& databaseFolder, const DateStamp& today);

}  // namespace kv
