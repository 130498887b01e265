// The commands the frame carries out itself: configuration files, the desk windows, Arrange
// All and Reset Desk, the views, today, AutoSave and the About box; and first use.
#include <string>

#include "base/dialog_win.h"
#include "resources/command_ids.h"
#include "resources/strings.h"
#include "shell/app_win.h"
#include "personal/alarms.h"
#include "personal/clock_tick.h"
#include "store/db_files.h"
#include "shell/configuration.h"
#include "shell/desk.h"
#include "shell/desk_win.h"
#include "shell/drawing_win.h"
#include "shell/file_dialogs_win.h"
#include "base/filesystem.h"
#include "shell/frame_win.h"
#include "base/messages.h"
#include "base/settings.h"
#include "shell/shell_services.h"
#include "shell/startup.h"
#include "shell/toolbar_win.h"

namespace kv {
namespace {

void OpenConfiguration(HWND frame) {
  std::optional<std::string> path = ChooseFile(kOpenConfiguration, frame);
  if (!path) return;
  if (ConfigDirty()) {
    MsgAnswer answer = ShowMessage(std::string(StringText(1131)), MsgIcon::Question, MsgButtons::YesNoCancel);
    if (answer == MsgAnswer::Cancel) return;
    // Saving the changes goes before the other file is opened; a failed save stops here.
    if (answer == MsgAnswer::Yes && !WriteConfiguration(kSave)) return;
  }
  LoadConfigurationFile(frame, *path);
}

}  // namespace

bool LoadConfigurationFile(HWND frame, const std::string& path) {
  std::string folderBefore = DatabaseFolder();
  if (ReadConfiguration(path) != 0) return false;
  // Another database folder: the pending alarm is one of its items, not of the old folder.
  if (DatabaseFolder() != folderBefore) AlarmsFollowDatabaseFolder();
  BuildDrawingResources();
  RefreshToolbarFont();
  for (uint8_t code : {kDeskSchedule, kDeskNotes, kDeskToDo}) CloseDeskWindow(code);
  RunFrameTick();
  ShowToday(Today());
  ResetDeskWindows();
  HICON icon = static_cast<HICON>(
      LoadImageA(App().instance, MAKEINTRESOURCEA(IDI_FRAME), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
  SetClassLongPtrA(frame, GCLP_HICON, reinterpret_cast<LONG_PTR>(icon));
  return true;
}

namespace {

void SaveConfigurationAs(HWND frame) {
  if (std::optional<std::string> path = ChooseFile(kSaveConfiguration, frame)) WriteConfiguration(kSaveAs, *path);
}

void ToggleAutoSave() {
  App().autoSave = !App().autoSave;
  RegWriteSetting("Configuration", "AutoSave", App().autoSave ? "1" : "0");
}

class AboutDialog : public Dialog {
 public:
  AboutDialog() : Dialog(App().instance, "AboutBox") {}

 protected:
  bool OnInit() override {
    SetText(IDC_ABOUT_VERSION,
            FormatText(std::string(StringText(25003)).c_str(), KV_VERSION_MAJOR, KV_VERSION_MINOR, KV_VERSION_BUILD));
    return true;
  }
};

void ShowAbout(HWND frame) { AboutDialog().RunModal(frame); }

void SwitchView(uint16_t view) {
  if (Config().desk.view != view) SwitchCalendarView(view);
  else PressViewButton(view);  // a pressed button clicked again stays pressed
}

void RefocusActive() {
  HWND active = reinterpret_cast<HWND>(SendMessageA(App().mdiClient, WM_MDIGETACTIVE, 0, 0));
  if (active) SetFocus(active);
}

void TakeTodayAgain() {
  RunFrameTick();
  ShowToday(Today());
  // The calendar module moves its views to today when it is there.
  ForwardToOwner(CommandOwner::CalendarViews, CMD_TODAY);
}

// The tab strip is a setting of the configuration; the calendar lays itself out again.
void ToggleOverlayTabs() {
  Config().overlayTabsHidden = Config().overlayTabsHidden ? 0 : 1;
  SetConfigDirty();
  if (!ForwardToOwner(CommandOwner::CalendarViews, CMD_OVERLAY_TABS))
    if (HWND calendar = DeskWindow(kDeskCalendar)) InvalidateRect(calendar, nullptr, TRUE);
}

}  // namespace

void OpenMapWindow() {
  if (!ScreenFitsMap(App().screenWidth, App().screenHeight)) {
    ShowMessage(FormatText(std::string(StringText(1160)).c_str(), App().screenWidth, App().screenHeight), MsgIcon::Warning);
    return;
  }
  BringUpDeskWindow(kDeskMap);
}

bool RunFrameCommand(HWND frame, int command) {
  switch (command) {
    case CMD_OPEN_CONFIGURATION: OpenConfiguration(frame); return true;
    case CMD_SAVE_CONFIGURATION: WriteConfiguration(kSave); return true;
    case CMD_SAVE_CONFIGURATION_AS: SaveConfigurationAs(frame); return true;
    case CMD_EXIT: SendMessageA(frame, WM_CLOSE, 0, 0); return true;
    case CMD_AUTOSAVE: ToggleAutoSave(); return true;
    case CMD_YEAR_VIEW: SwitchView(kYearView); return true;
    case CMD_MONTH_VIEW: SwitchView(kMonthView); return true;
    case CMD_DAY_VIEW: SwitchView(kDayView); return true;
    case CMD_TODAY: TakeTodayAgain(); return true;
    case CMD_OVERLAY_TABS: ToggleOverlayTabs(); return true;
    case CMD_WORLD_MAP: OpenMapWindow(); return true;
    case CMD_ARRANGE_ALL: ArrangeAllWindows(); return true;
    case CMD_RESET_DESK: ResetDeskWindows(); return true;
    case CMD_RESET_DESK_BUTTON:
      ResetDeskWindows();
      RefocusActive();
      return true;
    case CMD_ABOUT: ShowAbout(frame); return true;
    default: break;
  }
  if (uint8_t code = DeskWindowOf(command)) {
    BringUpDeskWindow(code);
    return true;
  }
  return false;
}

void FinishFirstUseNow() {
  if (Hooks().welcome) Hooks().welcome();
  Country country = FirstUseCountry(GetSystemDefaultLangID(), Services().SystemZone());
  bool converted = FinishFirstUse(country, App().earlierLayoutFound);
  if (Hooks().overlaysChanged) Hooks().overlaysChanged();
  if (converted) OpenMapWindow();
}

}  // namespace kv
