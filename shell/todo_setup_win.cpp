#include "shell/todo_setup_win.h"

#include <windows.h>

#include <string>

#include "base/command_table.h"
#include "personal/notes.h"
#include "personal/todo.h"
#include "personal/todo_dialog_win.h"
#include "personal/todo_window_win.h"
#include "resources/command_ids.h"
#include "shell/app_win.h"
#include "shell/configuration.h"
#include "shell/desk.h"
#include "shell/desk_win.h"
#include "shell/location_setup_win.h"
#include "shell/drawing_win.h"
#include "shell/personal_settings.h"
#include "views/calendar_panes_win.h"
#include "views/calendar_state.h"
#include "views/calendar_window_win.h"

namespace kv {
namespace {

void KeepViewChoice(bool all) {
  Config().todoView = all ? 1 : 0;
  SetConfigDirty();
}

void RefreshCalendar() {
  if (CalendarWindow()) RefreshCalendarViews();
}

// The Configure menu's page, and the View menu the window lends the frame's menu (its commands
// reach the window from here: the frame's default processing does not pass them on).
bool RunToDoCommand(int command, bool run) {
  if (command != CMD_TODO_OPTIONS) {
    if (!ToDoWindowCommandAvailable(command)) return false;
    if (run) RunToDoWindowCommand(command);
    return true;
  }
  if (!run) return true;
  ToDoSettings settings = ToDoSettingsFromConfig(Config());
  if (!RunToDoOptionsDialog(App().frame, settings)) return true;
  ToDoSettingsIntoConfig(settings, Config());
  SetConfigDirty();
  ReloadToDoWindow();
  RefreshCalendar();
  return true;
}

// The notes window's second title line for a to-do note: the item's text.
std::string ToDoTextOfSlot(uint16_t slot) {
  if (!ToDoStoreOpen(kDbModeRead, kCallerToDoLoad)) return {};
  std::optional<ToDoItem> item = ToDoReadItem(slot);
  ToDoStoreClose();
  return item ? ParseToDoRecord(*item).text : std::string();
}

// The day view opens an item: the window comes up with the item selected and its dialog open.
void OpenToDoItem(int slot) {
  if (slot <= 0 || slot > 0xFFFF || !BringUpDeskWindow(kDeskToDo) || !EditToDoItem(static_cast<uint16_t>(slot)))
    MessageBeep(MB_OK);
}

}  // namespace

void InstallToDoWindow() {
  ToDoWindowHooks hooks;
  hooks.settings = [] { return ToDoSettingsFromConfig(Config()); };
  hooks.viewChosen = KeepViewChoice;
  hooks.selectedDate = [] { return Calendar().date; };
  hooks.itemsChanged = RefreshCalendar;
  hooks.notesWindow = [] { return DeskWindow(kDeskNotes); };
  hooks.font = TextWindowFont;
  hooks.chooseZone = ChooseItemZone;
  SetToDoWindowHooks(std::move(hooks));
  SetCommandHandler(CommandOwner::ToDo, RunToDoCommand);
  Editors().openToDoItem = OpenToDoItem;
  NoteOwnerTitles titles = NoteOwnerTitlesInUse();  // keep the phonebook's
  titles.toDoText = ToDoTextOfSlot;
  SetNoteOwnerTitles(titles);
}

bool ShowToDoItem(uint16_t slot) {
  if (!BringUpDeskWindow(kDeskToDo)) return false;
  return SelectToDoItem(slot);
}

void ShowAllToDoItems() {
  KeepViewChoice(true);
  ReloadToDoWindow();
}

}  // namespace kv
