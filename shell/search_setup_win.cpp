#include "shell/search_setup_win.h"

#include <windows.h>

#include "base/command_table.h"
#include "base/messages.h"
#include "personal/notes_window.h"
#include "personal/notes_window_win.h"
#include "personal/phone_window_win.h"
#include "personal/search_window_win.h"
#include "resources/command_ids.h"
#include "resources/strings.h"
#include "shell/app_win.h"
#include "shell/desk_win.h"
#include "shell/todo_setup_win.h"
#include "views/calendar_panes_win.h"
#include "views/calendar_state.h"

namespace kv {
namespace {

void SelectDate(const DateStamp& date) {
  SelectGregorianDate(date);
  CalendarDateChanged();
}

// The notes window on the hit's note with the caret at the match.
HWND ShowNote(const NoteContext& note, uint32_t offset) {
  HWND notes = BringUpDeskWindow(kDeskNotes);
  if (!notes) return nullptr;
  SendNoteContext(notes, note);
  NotesWindowSelectAt(offset);
  return notes;
}

// A completed item the pending view hides is shown after asking to view them all.
void ShowToDoHit(uint16_t slot) {
  if (ShowToDoItem(slot)) return;
  std::string text(StringText(1673));
  text.append("\n\n").append(StringText(1674));
  if (ShowMessage(text, MsgIcon::Question, MsgButtons::OkCancel) != MsgAnswer::Ok) return;
  ShowAllToDoItems();
  ShowToDoItem(slot);
}

// An entry the phonebook's list or category hides is shown after asking to list all of its kind.
void ShowPhoneHit(uint16_t entryId, uint16_t kind) {
  if (ShowPhoneEntry(entryId)) return;
  std::string text(StringText(25543));
  text.append("\n\n").append(FormatText(StringText(25544).data(), StringText(kind == 0 ? 1669 : 1670).data()));
  if (ShowMessage(text, MsgIcon::Question, MsgButtons::OkCancel) != MsgAnswer::Ok) return;
  ShowPhoneEntry(entryId, kind == 0 ? 0 : 1);
}

HWND OpenHit(const SearchGoTo& go) {
  if (go.date) SelectDate(*go.date);
  HWND shown = nullptr;
  switch (go.window) {
    case SearchHitWindow::Calendar: shown = BringUpDeskWindow(kDeskCalendar); break;
    case SearchHitWindow::Schedule:
      shown = BringUpDeskWindow(kDeskSchedule);
      // Posted after the news of the new date, so the schedule shows the day before it selects.
      if (shown) PostMessageA(shown, kMsgScheduleSelectItem, go.item, go.startMinute);
      break;
    case SearchHitWindow::ToDo:
      shown = BringUpDeskWindow(kDeskToDo);
      if (shown) ShowToDoHit(go.item);
      break;
    case SearchHitWindow::Phonebook:
      shown = BringUpDeskWindow(kDeskPhonebook);
      if (shown) ShowPhoneHit(go.item, go.entryKind);
      break;
    case SearchHitWindow::Notes: break;
    case SearchHitWindow::None: return nullptr;
  }
  // A note's match is shown in the notes window, which then stands in front of the item's.
  if (go.note) {
    if (HWND notes = ShowNote(*go.note, go.offset)) shown = notes;
  }
  if (shown) {
    SetActiveWindow(App().frame);
    SetFocus(shown);
  }
  return shown;
}

int ClientTop() {
  RECT r{};
  if (!App().mdiClient || !GetWindowRect(App().mdiClient, &r)) return 0;
  return r.top;
}

void OpenSearchWindow() {
  if (HWND open = App().search; open && IsWindow(open)) {
    if (IsIconic(open)) ShowWindow(open, SW_RESTORE);
    SetActiveWindow(open);
    return;
  }
  SearchWindowHooks hooks;
  hooks.openHit = OpenHit;
  hooks.clientTop = ClientTop;
  hooks.closed = [] { App().search = nullptr; };
  App().search = CreateSearchWindow(App().instance, App().frame, std::move(hooks));
}

}  // namespace

void InstallSearchWindow() {
  SetCommandHandler(CommandOwner::Search, [](int command, bool run) {
    if (command != CMD_SEARCH && command != CMD_SEARCH_BUTTON) return false;
    if (run) OpenSearchWindow();
    return true;
  });
}

}  // namespace kv
