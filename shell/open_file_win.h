// Overlays handed to the program by Explorer: named on the command line of this start, or sent
// by a second start to the frame of the running program (WM_COPYDATA).
#pragma once

#include <windows.h>

#include <string>

namespace kv {

// The full path of a file named on the command line (relative to the current folder).
std::string FullPathOf(const std::string& path);

// Hands the overlay at `path` to the running program's frame; true when it took it.
bool HandOverlayToFrame(HWND frame, const std::string& path);

// Offers the overlay to the open configuration as soon as the frame is free to ask (no
// dialog or message box of the program is up); overlays handed over meanwhile wait their turn.
void OfferOverlayWhenFree(const std::string& path);

// The frame's WM_COPYDATA: TRUE when the data was an overlay handed over by a second start.
LRESULT ReceiveHandedOverlay(const COPYDATASTRUCT* data);

}  // namespace kv
