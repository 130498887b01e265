#include "shell/commands.h"

#include "shell/config.h"

namespace kv {

uint8_t DeskWindowOf(int command) {
  switch (command) {
    case CMD_WINDOW_CALENDAR: return kDeskCalendar;
    case CMD_SHOW_SCHEDULE:
    case CMD_WINDOW_SCHEDULE: return kDeskSchedule;
    case CMD_SHOW_TODO:
    case CMD_WINDOW_TODO: return kDeskToDo;
    case CMD_SHOW_PHONEBOOK:
    case CMD_WINDOW_PHONEBOOK: return kDeskPhonebook;
    case CMD_SHOW_NOTES:
    case CMD_WINDOW_NOTES: return kDeskNotes;
    case CMD_WORLD_MAP: return kDeskMap;
    default: return 0;
  }
}

FileMenuState FileMenu(const MenuContext& c) {
  FileMenuState s;
  if (c.active == kDeskMap) {
    s.pageLayout = s.print = s.metafile = false;
    return s;
  }
  s.print = !(c.active == kDeskNotes && c.notesEmpty);
  s.metafile = c.active == kDeskCalendar && (c.view == kYearView || c.view == kMonthView);
  return s;
}

CalendarMenuState CalendarMenu(const MenuContext& c) {
  CalendarMenuState s;
  s.goToDate = c.active == kDeskCalendar;
  s.overlayTabsChecked = c.tabsOn;
  s.metafileOutputs = c.view != kDayView;
  return s;
}

ConfigureMenuState ConfigureMenu(const MenuContext& c) { return {c.clockEnabled, c.autoSave}; }

}  // namespace kv
