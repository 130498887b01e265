// Where the program meets its help file: "Help &Topics" opens the table of contents, and F1
// opens the page of whatever the user is working in: the dialog or modeless window in front,
// or the active desk window (the calendar window's page of its current view).
#pragma once

namespace kv {

// Installs the command handler (once, at start-up).
void InstallHelpCommands();

}  // namespace kv
