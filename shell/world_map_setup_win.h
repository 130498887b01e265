// Where the shell meets the world map window: the configuration's display options and point of
// reference, the GPS receiver, the location dialogs and the help topic it reaches through its
// hooks.
#pragma once

namespace kv {

// Installs the window's hooks (once, at start-up, before a saved desk opens the window).
void InstallWorldMap();

}  // namespace kv
