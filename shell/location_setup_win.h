// Puts the location and time-zone dialogs into the program: "&Location..." of the Configure
// menu, the "Time Zone" dialog behind the item editors' "Time &Zone...", the welcome wizard of
// a first use, and what a new point of reference brings about.
#pragma once

#include <windows.h>

#include <cstdint>

namespace kv {

void InstallLocationDialogs();

// The point of reference of the configuration changed: its zone, daylight codes and markers
// and the sun and moon caches follow it, and every view is drawn again at once.
void PointOfReferenceChanged();

// The to-do item editor's "Time &Zone...": true with `zone` changed when one was picked.
bool ChooseItemZone(HWND owner, uint8_t& zone);

}  // namespace kv
