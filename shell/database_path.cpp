#include "shell/database_path.h"

#include "base/untrusted_text.h"
#include "personal/alarms.h"
#include "resources/strings.h"
#include "shell/configuration.h"
#include "shell/shell_services.h"

namespace kv {
namespace {

// The record's field holds 255 characters and its terminator.
constexpr size_t kMaxDatabaseFolder = 255;

// Windows folder names compare without regard to case.
bool SameFolder(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

}  // namespace

DatabasePathCheck CheckDatabasePath(const std::string& current, const std::string& shown, std::string* message) {
  if (SameFolder(current, shown) || shown.empty()) return DatabasePathCheck::Unchanged;
  std::string reason;
  if (shown.size() > kMaxDatabaseFolder)
    reason = FormatText(std::string(StringText(31000)).c_str(), static_cast<int>(kMaxDatabaseFolder));
  else if (ClassifyPath(shown, &reason) != PathKind::Unusable)
    return DatabasePathCheck::Switch;
  if (message) *message = reason;
  return DatabasePathCheck::Refused;
}

void SwitchDatabaseFolder(const std::string& folder) {
  ConfigurationState& s = ConfigState();
  s.config.databaseFolder = folder;
  // A folder the opened file named but this session did not use is replaced by the choice.
  s.heldDatabaseFolder.clear();
  s.sessionDatabaseFolder.clear();
  if (ClassifyPath(folder) == PathKind::Network) TrustPath(folder);
  SetConfigDirty();
  Services().UseDatabaseFolder(folder);
  AlarmsFollowDatabaseFolder();
}

}  // namespace kv
