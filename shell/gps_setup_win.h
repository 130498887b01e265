// Where the shell meets the GPS receiver: the Configure menu's "&GPS..." command opens "GPS
// Configuration", and the location editor's "Acquire from GPS..." fills the coordinates from a
// position fix.
#pragma once

namespace kv {

// Installs the command handler and the location editor's acquirer (once, at start-up).
void InstallGps();

}  // namespace kv
