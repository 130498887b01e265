#include "shell/location_setup_win.h"

#include <cstdlib>
#include <string>

#include "base/command_table.h"
#include "personal/schedule_dialog_win.h"
#include "resources/command_ids.h"
#include "shell/app_win.h"
#include "shell/calendar_views_win.h"
#include "shell/configuration.h"
#include "shell/desk.h"
#include "shell/desk_win.h"
#include "shell/frame_win.h"
#include "shell/location_dialogs_win.h"
#include "shell/shell_services.h"

namespace kv {
namespace {

bool ConfigureLocation(HWND owner) { return RunConfigureLocation(owner, PointOfReferenceChanged); }

bool RunLocationCommand(int command, bool run) {
  if (command != CMD_LOCATION) return false;
  if (run) ConfigureLocation(App().frame);
  return true;
}

}  // namespace

void PointOfReferenceChanged() {
  Services().ApplyPointOfReference(Config());
  // The date and minute are those of the point of reference; the clock buttons follow.
  RunFrameTick();
  // The month layout, the day view's sun and moon box and the daylight markers are computed
  // again; the schedule reads its day in the new zone.
  ApplyViewSettings();
  if (HWND schedule = DeskWindow(kDeskSchedule)) PostMessageA(schedule, kMsgSelectedDateChanged, 0, 0);
  for (int code = kDeskCalendar; code <= kDeskMap; ++code)
    if (HWND window = DeskWindow(code)) RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

bool ChooseItemZone(HWND owner, uint8_t& zone) {
  int chosen = zone;
  if (!RunTimeZoneDialog(owner, chosen) || chosen <= 0 || chosen > 255) return false;
  zone = static_cast<uint8_t>(chosen);
  return true;
}

void InstallLocationDialogs() {
  SetCommandHandler(CommandOwner::Locations, RunLocationCommand);
  SetScheduleZonePicker([](HWND owner, int zone, const DateStamp&) -> std::optional<int> {
    int chosen = zone;
    if (!RunTimeZoneDialog(owner, chosen)) return std::nullopt;
    return chosen;
  });
  WelcomeStepsInUse().location = ConfigureLocation;
  // The UI tests of other windows start on a fresh first use and go on without the wizard.
  const char* noWelcome = std::getenv("KALVORA_TEST_NO_WELCOME");
  if (noWelcome && *noWelcome && std::string(noWelcome) != "0") return;
  Hooks().welcome = [] { RunWelcomeWizard(App().frame); };
}

}  // namespace kv
