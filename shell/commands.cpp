#include "shell/commands.h"

#include <utility>

#include "shell/config.h"

namespace kv {
namespace {

const std::pair<int, CommandOwner> kOwners[] = {
    {CMD_OPEN_CONFIGURATION, CommandOwner::Frame},    {CMD_SAVE_CONFIGURATION, CommandOwner::Frame},
    {CMD_SAVE_CONFIGURATION_AS, CommandOwner::Frame}, {CMD_PAGE_LAYOUT, CommandOwner::Printing},
    {CMD_PRINT, CommandOwner::Printing},              {CMD_METAFILE_CLIPBOARD, CommandOwner::Printing},
    {CMD_METAFILE_DISK, CommandOwner::Printing},      {CMD_MIGRATE_DATA, CommandOwner::Migration},
    {CMD_EXIT, CommandOwner::Frame},                  {CMD_LOCATION, CommandOwner::Locations},
    {CMD_GPS, CommandOwner::Gps},                     {CMD_CALENDAR_OPTIONS, CommandOwner::Options},
    {CMD_SCHEDULER_OPTIONS, CommandOwner::Schedule},  {CMD_TODO_OPTIONS, CommandOwner::ToDo},
    {CMD_PHONE_DIALING, CommandOwner::Dialer},        {CMD_OVERLAYS, CommandOwner::Overlays},
    {CMD_DATABASE_PATH, CommandOwner::DatabasePath},  {CMD_FONTS, CommandOwner::Options},
    {CMD_COLOURS, CommandOwner::Options},             {CMD_SOUND, CommandOwner::Alarms},
    {CMD_ICONIC_CLOCK, CommandOwner::DesktopClock},   {CMD_DESKTOP_ICON, CommandOwner::DesktopIcon},
    {CMD_AUTOSAVE, CommandOwner::Frame},              {CMD_YEAR_VIEW, CommandOwner::Frame},
    {CMD_MONTH_VIEW, CommandOwner::Frame},            {CMD_DAY_VIEW, CommandOwner::Frame},
    {CMD_QUICK_EDIT, CommandOwner::CalendarViews},    {CMD_GO_TO_DATE, CommandOwner::CalendarViews},
    {CMD_TODAY, CommandOwner::Frame},                 {CMD_OVERLAY_TABS, CommandOwner::Frame},
    {CMD_SHOW_SCHEDULE, CommandOwner::Frame},         {CMD_SHOW_TODO, CommandOwner::Frame},
    {CMD_SHOW_PHONEBOOK, CommandOwner::Frame},        {CMD_SHOW_NOTES, CommandOwner::Frame},
    {CMD_MOVE_BACK, CommandOwner::CalendarViews},     {CMD_MOVE_FORWARD, CommandOwner::CalendarViews},
    {CMD_SEARCH_BUTTON, CommandOwner::Search},        {CMD_RESET_DESK_BUTTON, CommandOwner::Frame},
    {CMD_WORLD_MAP, CommandOwner::Frame},             {CMD_WINDOW_CALENDAR, CommandOwner::Frame},
    {CMD_WINDOW_SCHEDULE, CommandOwner::Frame},       {CMD_WINDOW_TODO, CommandOwner::Frame},
    {CMD_WINDOW_PHONEBOOK, CommandOwner::Frame},      {CMD_WINDOW_NOTES, CommandOwner::Frame},
    {CMD_SEARCH, CommandOwner::Search},               {CMD_ARRANGE_ALL, CommandOwner::Frame},
    {CMD_RESET_DESK, CommandOwner::Frame},            {CMD_HELP_TOPICS, CommandOwner::Frame},
    {CMD_INTERNET_SERVICES, CommandOwner::VersionCheck}, {CMD_VERSION_CHECK, CommandOwner::VersionCheck},
    {CMD_ABOUT, CommandOwner::Frame},
};

}  // namespace

CommandOwner OwnerOf(int command) {
  for (const auto& [id, owner] : kOwners)
    if (id == command) return owner;
  return CommandOwner::None;
}

const std::vector<int>& FrameCommands() {
  static const std::vector<int> commands = [] {
    std::vector<int> ids;
    for (const auto& entry : kOwners) ids.push_back(entry.first);
    return ids;
  }();
  return commands;
}

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
