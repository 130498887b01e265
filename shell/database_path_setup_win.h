// Configure's "Database path...": the "Configure Database Path" dialog, the shell's folder
// browser, and the switch of the calendar to the chosen folder with every open window following.
#pragma once

namespace kv {

// Installs the command handler (once, at start-up, after the desk windows' modules).
void InstallDatabasePath();

}  // namespace kv
