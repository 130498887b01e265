// File "&Migrate Data...": saves or drops the open configuration's changes, runs the wizard and
// opens the migrated calendar at its end.
#pragma once

namespace kv {

// Installs the command handler (once, at start-up).
void InstallMigrateDataCommand();

}  // namespace kv
