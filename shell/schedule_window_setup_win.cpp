#include "shell/schedule_window_setup_win.h"

#include <windows.h>

#include <utility>

#include "personal/schedule_window.h"
#include "personal/schedule_window_win.h"
#include "shell/configuration.h"
#include "shell/drawing_win.h"
#include "shell/personal_settings.h"
#include "shell/schedule_editor_win.h"
#include "views/calendar_state.h"

namespace kv {

void ApplyScheduleWindowSettings() {
  // The grid and its labels share the notes' plain screen font.
  SetScheduleWindowFont(TextWindowFont());
}

void InstallScheduleWindow() {
  // New grid settings from "Configure Scheduler" lay an open window out again.
  SetSchedulerSettingsChangedHook(RefreshScheduleWindow);
  ScheduleWindowHooks hooks;
  hooks.selectedDate = [] { return Calendar().date; };
  // Without an editor installed a request only beeps.
  hooks.openItem = [](const DateStamp& day, uint16_t id) {
    if (Editors().openScheduleItem) Editors().openScheduleItem(id, day);
    else MessageBeep(MB_OK);
  };
  hooks.newItem = [](const DateStamp& day, int start, int end) {
    if (Editors().newScheduleItem) Editors().newScheduleItem(day, start, end);
    else MessageBeep(MB_OK);
  };
  hooks.settings = [] { return ScheduleGridSettingsFromConfig(Config()); };
  SetScheduleWindowHooks(std::move(hooks));
  ApplyScheduleWindowSettings();
}

}  // namespace kv
