// The portable half of the to-do dialogs: the "Create To-Do Item" / "Edit To-Do Item" dialog's
// fields as its controls hold them and back, and the "Configure To Do" page's settings with
// their checks. The Win32 dialogs (todo_dialog_win.h) only move values in and out of controls.
#pragma once

#include <optional>
#include <string>

#include "calendar/dates.h"
#include "personal/todo.h"

namespace kv {

// What the time box reports: minutes since midnight, or one of these.
inline constexpr int kToDoTimeBoxEmpty = -2;
inline constexpr int kToDoTimeBoxInvalid = -1;

// The item dialog's controls as read: a date box that holds no date gives nothing.
struct ToDoDialogFields {
  std::string text;
  std::optional<DateStamp> activate;
  std::optional<DateStamp> required;
  int timeBox = kToDoTimeBoxEmpty;
  int priority = 1;
  uint8_t zone = 0;
};

// The form ToDoSave checks: a missing date becomes an invalid one, an empty time box no time
// (23:59), a time box holding something else an invalid time.
ToDoForm ToDoFormFromFields(const ToDoDialogFields& fields);

// What the dialog shows for a form: its title, the time box's value (empty for no time) and
// whether "Time &Zone..." can be used (only for an item with a time, and only when a zone can
// be chosen at all).
struct ToDoDialogShown {
  int titleId = 0;           // "Create To-Do Item" or "Edit To-Do Item"
  int timeBox = kToDoTimeBoxEmpty;
  bool zoneEnabled = false;
  bool removeEnabled = false;
};
ToDoDialogShown ToDoDialogShownFor(const ToDoForm& form, bool editing, bool zonesChoosable);
// "Time &Zone..." after the time box changed.
bool ToDoZoneButtonEnabled(int timeBox, bool zonesChoosable);

// The name shown beside "Time &Zone...": the zone's display text, or its number when the zone
// table does not know it.
std::string ToDoZoneName(int zone);

// ---- the "Configure To Do" page -------------------------------------------------------------

inline constexpr int kToDoRemoveDaysMax = 999;   // three digits

struct ToDoOptionsFields {
  bool sortByPriority = false;
  bool hideCompleted = false;
  std::string removeAfterDays;   // as typed
  bool logRemoved = true;
  std::string archiveName;
  bool logNotes = true;
};
ToDoOptionsFields ToDoOptionsFieldsFor(const ToDoSettings& settings);

enum class ToDoOptionsField { None, Days, ArchiveName };
// Checks the page and, when it passes, writes it into `settings` (the view choice is kept).
// A number of days that is not 0 ... 999 is refused with its message; a new archive name is
// checked as the archive would use it (no slash or backslash, and asked about when such a file
// exists); an unchanged one is not asked about again. Returns the field to go back to, None on
// success.
ToDoOptionsField ToDoApplyOptions(const ToDoOptionsFields& fields, ToDoSettings& settings);

}  // namespace kv
