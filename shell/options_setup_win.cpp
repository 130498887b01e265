#include "shell/options_setup_win.h"

#include <windows.h>

#include "base/command_table.h"
#include "resources/command_ids.h"
#include "shell/app_win.h"
#include "shell/location_dialogs_win.h"
#include "shell/options_win.h"
#include "shell/overlay_editor_win.h"

namespace kv {

void InstallOptionsDialogs() {
  SetCommandHandler(CommandOwner::Options, [](int command, bool run) {
    bool (*dialog)(HWND) = command == CMD_CALENDAR_OPTIONS ? RunCalendarOptionsDialog
                           : command == CMD_FONTS         ? RunFontsDialog
                           : command == CMD_COLOURS       ? RunColoursDialog
                                                          : nullptr;
    if (!dialog) return false;
    if (run) dialog(App().frame);
    return true;
  });
  // The welcome wizard's "Calendar Preferences" step.
  WelcomeStepsInUse().calendarPreferences = RunCalendarOptionsDialog;
  // "Jewish Setup..." of the calendar options.
  SetJewishSetupHook(RunJewishSetupDialog);
}

}  // namespace kv
