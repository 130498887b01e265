#include "base/command_table.h"

#include <map>
#include <utility>

#include "resources/command_ids.h"

namespace kv {
namespace {

const std::pair<int, CommandOwner> kOwners[] = {
    {CMD_OPEN_CONFIGURATION, CommandOwner::Frame},    {CMD_SAVE_CONFIGURATION, CommandOwner::Frame},
    {CMD_SAVE_CONFIGURATION_AS, CommandOwner::Frame}, {CMD_PAGE_LAYOUT, CommandOwner::Printing},
    {CMD_PRINT, CommandOwner::Printing},              {CMD_METAFILE_CLIPBOARD, CommandOwner::Printing},
    {CMD_METAFILE_DISK, CommandOwner::Printing},      {CMD_MIGRATE_DATA, CommandOwner::Migration},
    {CMD_IMPORT, CommandOwner::Exchange},             {CMD_EXPORT, CommandOwner::Exchange},
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
    {CMD_RESET_DESK, CommandOwner::Frame},            {CMD_HELP_TOPICS, CommandOwner::Help},
    {CMD_INTERNET_SERVICES, CommandOwner::VersionCheck}, {CMD_VERSION_CHECK, CommandOwner::VersionCheck},
    {CMD_ABOUT, CommandOwner::Frame},                 {CMD_HELP_CONTEXT, CommandOwner::Help},
    {CMD_TODO_VIEW_PENDING, CommandOwner::ToDo},      {CMD_TODO_VIEW_ALL, CommandOwner::ToDo},
    {CMD_TODO_NEW, CommandOwner::ToDo},               {CMD_TODO_EDIT, CommandOwner::ToDo},
    {CMD_TODO_CHECK, CommandOwner::ToDo},             {CMD_TODO_REMOVE, CommandOwner::ToDo},
};

std::map<CommandOwner, CommandHandler>& Handlers() {
  static std::map<CommandOwner, CommandHandler> handlers;
  return handlers;
}

const CommandHandler* HandlerOf(CommandOwner owner) {
  auto it = Handlers().find(owner);
  return it != Handlers().end() && it->second ? &it->second : nullptr;
}

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

void SetCommandHandler(CommandOwner owner, CommandHandler handler) {
  if (handler) Handlers()[owner] = std::move(handler);
  else Handlers().erase(owner);
}

void ResetCommandHandlers() { Handlers().clear(); }

bool CommandAvailable(int command) {
  CommandOwner owner = OwnerOf(command);
  const CommandHandler* handler = owner == CommandOwner::None ? nullptr : HandlerOf(owner);
  return handler && (*handler)(command, false);
}

bool RunCommand(int command) {
  if (!CommandAvailable(command)) return false;
  // The handler may replace itself while it runs (a window closing): call a copy.
  CommandHandler handler = *HandlerOf(OwnerOf(command));
  handler(command, true);
  return true;
}

bool ForwardToOwner(CommandOwner owner, int command) {
  const CommandHandler* handler = HandlerOf(owner);
  if (!handler || !(*handler)(command, false)) return false;
  CommandHandler copy = *handler;
  copy(command, true);
  return true;
}

}  // namespace kv
