// Opens the help file "kalvora.chm" of the program folder in the HTML Help viewer, at a page
// or at its table of contents. The viewer's library "hhctrl.ocx" is loaded from the system
// folder on first use; where it or its entry point is missing the user is told so and nothing
// else happens.
#pragma once

#include <windows.h>

namespace kv {

// Shows a page of the help file (a file name such as "month_view.htm"); nullptr or the
// contents page opens the table of contents.
void ShowHelpTopic(HWND owner, const char* topic);
// The page of a dialog template given as a dialog takes it: a name or MAKEINTRESOURCE number.
void ShowDialogHelp(HWND owner, const char* templateName);
// Closes any viewer window the program opened (at the end of the program).
void CloseHelpWindows();

}  // namespace kv
