#include "shell/calendar_views_win.h"

#include <windows.h>

#include "base/canvas_gdi_win.h"
#include "base/command_table.h"
#include "personal/clock_tick.h"
#include "resources/command_ids.h"
#include "shell/app_win.h"
#include "shell/configuration.h"
#include "shell/desk.h"
#include "shell/view_settings.h"
#include "views/calendar_panes_win.h"
#include "views/calendar_state.h"
#include "views/calendar_window_win.h"
#include "views/overlay_tabs.h"
#include "overlays/overlay_set.h"
#include "shell/desk_win.h"
#include "shell/drawing_win.h"
#include "base/dpi_win.h"
#include "personal/notes_window.h"
#include "personal/notes_window_win.h"
#include "shell/frame_win.h"
#include "shell/schedule_window_setup_win.h"
#include "views/main_date_win.h"
#include "views/quick_edit_win.h"

namespace kv {
namespace {

// The views' fonts are made for the monitor the frame is on.
int ScreenPixelsPerInch() { return WindowDpi(App().frame); }

// The schedule and notes windows follow the selected date.
void TellDateWindows() {
  for (int code : {kDeskSchedule, kDeskNotes})
    if (HWND h = DeskWindow(code)) PostMessageA(h, kMsgSelectedDateChanged, 0, 0);
}

// Move back and forward: in the calendar window the view decides the step; elsewhere the
// selected date steps one day.
void Step(bool forward) {
  HWND active = reinterpret_cast<HWND>(SendMessageA(App().mdiClient, WM_MDIGETACTIVE, 0, 0));
  HWND calendar = CalendarWindow();
  if (calendar && active == calendar) {
    SendMessageA(calendar, kMsgCalendarMove, forward ? kMoveForward : kMoveBack, 0);
  } else {
    StepSelectedDate(forward ? 1 : -1);
    CalendarDateChanged();
  }
  if (active) SetFocus(active);
}

bool RunCalendarCommand(int command, bool run) {
  HWND calendar = CalendarWindow();
  switch (command) {
    case CMD_QUICK_EDIT:
      if (!calendar) return false;
      if (run) RunQuickEdit(calendar);
      return true;
    case CMD_GO_TO_DATE:
      if (run) RunMainDate(calendar ? calendar : App().frame);
      return true;
    case CMD_TODAY:
      if (run) {
        SelectGregorianDate(Today());
        CalendarDateChanged();
      }
      return true;
    case CMD_OVERLAY_TABS:
      if (run) ApplyViewSettings();
      return true;
    case CMD_MOVE_BACK:
    case CMD_MOVE_FORWARD:
      if (run) Step(command == CMD_MOVE_FORWARD);
      return true;
    default: return false;
  }
}

}  // namespace

void ApplyViewSettings() {
  SystemViewColours system;
  system.window = SystemColour(COLOR_WINDOW);
  system.windowText = SystemColour(COLOR_WINDOWTEXT);
  system.selection = SystemColour(COLOR_HIGHLIGHT);
  system.selectionText = SystemColour(COLOR_HIGHLIGHTTEXT);
  ViewOptions options = ViewOptionsFromConfig(Config(), App().screenWidth, system);
  SetViewOptions(options);
  SetViewFonts(ScreenFontTable(Config(), ScreenPixelsPerInch()));
  Calendar().tabOverlay = TabOfOverlayName(Overlays().paths, Config().selectedOverlay);
  SetNotesWindowFont(TextWindowFont());
  ApplyScheduleWindowSettings();
  if (CalendarWindow()) RefreshCalendarViews();
}

void InstallCalendarViews() {
  SetDateChangedHook(TellDateWindows);
  SetCommandHandler(CommandOwner::CalendarViews, RunCalendarCommand);
  ApplyViewSettings();
  SelectGregorianDate(Today());
  CalendarHostHooks hooks;
  hooks.currentView = [] {
    uint16_t view = Config().desk.view;
    return view == kYearView || view == kDayView ? static_cast<int>(view) : static_cast<int>(kMonthView);
  };
  hooks.viewShown = [](int view) { ShowViewInFrame(static_cast<uint16_t>(view)); };
  hooks.overlayChosen = [](const std::string& name) {
    Config().selectedOverlay = name;
    SetConfigDirty();
  };
  SetCalendarHostHooks(std::move(hooks));
  // The notes window follows the selected day; a day note written or emptied changes the
  // day's mark in the month view.
  NotesHooks notes;
  notes.selectedDate = [] { return Calendar().date; };
  notes.yearView = [] { return Config().desk.view == kYearView; };
  notes.dayNoteChanged = [](const DateStamp&) {
    if (CalendarWindow()) RefreshCalendarViews();
  };
  SetNotesHooks(std::move(notes));
  // New overlays (first use, an import) bring new tabs and entries.
  Hooks().overlaysChanged = ApplyViewSettings;
}

}  // namespace kv
