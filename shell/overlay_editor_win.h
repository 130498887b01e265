// The overlay dialogs: "Edit Overlay Event" (opened by the calendar views, Quick Edit and
// "Configure Overlays"), "Yahzeit Observance", "Configure Overlays" (command 1207) and
// "Jewish Setup".
#pragma once

#include <windows.h>

#include <cstddef>

#include "calendar/dates.h"

namespace kv {

// Edits the event at a position of the overlay event list, opened from `day`; true when it was
// changed (saved).
bool RunOverlayEventEditor(HWND owner, size_t position, const DateStamp& day);
// A new event on a day, saved into overlay `overlay` (0: the default overlay, or the first);
// true when one was saved.
bool RunNewOverlayEvent(HWND owner, const DateStamp& day, int overlay = 0);

// "Jewish Setup": month names and the candle-lighting and Havdalah offsets; true on OK (the
// month names are rebuilt and the views repainted then).
bool RunJewishSetupDialog(HWND owner);

// An overlay's default accent ("Set Accent..."): true when it was changed and the file saved.
bool RunOverlayAccentDialog(HWND owner, int number);
// "Overlay Properties": the overlay's name, file, size, number of events and file dates.
void RunOverlayProperties(HWND owner, int number);

// "Configure Overlays".
void RunConfigureOverlays(HWND owner);

// Installs the editors of the views and the handler of the overlay command.
void InstallOverlayEditors();

}  // namespace kv
