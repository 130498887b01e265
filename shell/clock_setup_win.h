// Where the shell meets the desktop clock and the desktop icon: the clock stands in for the
// minimised frame, "Iconic Cloc&k..." sets it up, "Desktop &Icon..." switches the icon.
#pragma once

namespace kv {

// Installs the frame's hooks and both commands (once, at start-up, after
// the frame is made).
void InstallDesktopClock();

}  // namespace kv
