// Switching the calendar to another database folder: the checks of the folder shown in the
// "Configure Database Path" dialog and the switch itself, without the windows (the front end
// reloads them around SwitchDatabaseFolder).
#pragma once

#include <string>

namespace kv {

enum class DatabasePathCheck {
  Unchanged,  // the folder in use: nothing to do
  Refused,    // cannot be a database folder; the message says why
  Switch,     // another usable folder: ask, then switch
};

// Looks at the folder shown against the one in use. For a refused folder *message (when
// given) is what the user is told.
DatabasePathCheck CheckDatabasePath(const std::string& current, const std::string& shown,
                                    std::string* message = nullptr);

// Makes `folder` the configuration's database folder: stored in the record (marked changed),
// the stores closed and reopened on it, and the pending alarm looked for there. A network
// folder chosen here counts as chosen on this machine.
void SwitchDatabaseFolder(const std::string& folder);

}  // namespace kv
