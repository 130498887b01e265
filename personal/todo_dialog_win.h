// The to-do dialogs: "Create To-Do Item" / "Edit To-Do Item" (template 185) with its date and
// time boxes, priority, "Time &Zone..." and "&Remove"; and the "Configure To Do" page
// (template 184).
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

#include "calendar/dates.h"
#include "personal/todo.h"

namespace kv {

// Picks the zone of an item's required time over `owner`; true when one was chosen. Without
// it "Time &Zone..." stays greyed and an item keeps the zone it has.
using ToDoZoneChooser = std::function<bool(HWND owner, uint8_t& zone)>;

enum class ToDoDialogEnd { Cancelled, Saved, Removed };
struct ToDoDialogOutcome {
  ToDoDialogEnd end = ToDoDialogEnd::Cancelled;
  uint16_t slot = 0;   // the slot stored in (Saved)
};

// A new item (`edited` null; required on `requiredDate`) or an edited one. Stores or removes
// the item itself; the caller reloads its list.
ToDoDialogOutcome RunToDoItemDialog(HWND owner, const ToDoEntry* edited, const DateStamp& requiredDate,
                                    const ToDoSettings& settings, const ToDoZoneChooser& chooseZone);

// The settings page; true after OK, with `settings` changed.
bool RunToDoOptionsDialog(HWND owner, ToDoSettings& settings);

}  // namespace kv
