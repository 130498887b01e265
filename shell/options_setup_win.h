// Where the shell meets the options dialogs: the Configure menu's "Calendar...", "Fonts..." and
// "Colors..." commands.
#pragma once

namespace kv {

// Installs the command handler (once, at start-up).
void InstallOptionsDialogs();

}  // namespace kv
