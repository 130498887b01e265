// The options dialogs of the Configure menu: "Calendar Options" (command 1203), "Fonts" (1209)
// and "Colors" (1210). Each change goes straight into the open configuration, marks it
// changed and shows at once in the windows; Cancel puts back what was there.
#pragma once

#include <windows.h>

#include <functional>

namespace kv {

// Runs the calendar options dialog; true when the user pressed OK.
bool RunCalendarOptionsDialog(HWND owner);
bool RunFontsDialog(HWND owner);
bool RunColoursDialog(HWND owner);

// The dialog behind the calendar options' "Jewish Setup..." button (greyed while none is set);
// it returns true when it changed something the views show.
void SetJewishSetupHook(std::function<bool(HWND owner)> hook);

// Brings the windows up to date after a change of the configuration's options (OptionRefresh
// bits): drawing resources and toolbar font, the views' options, a repaint of the frame.
void RefreshAfterOptionChange(unsigned refresh);

}  // namespace kv
