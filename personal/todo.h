// The to-do list: tasks with a text, a priority, an activate date and a required date with an
// optional time, kept in the to-do file (store/todo_file.h). This module builds the window's
// entry list, sorts it, validates and stores edited items, checks them off, removes them
// (archiving them to a text file) and lists the items due on a date for the day display. The
// window and its dialog only call these.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "calendar/dates.h"
#include "store/todo_file.h"

namespace kv {


// A required date entered without a time is stored at 23:59, and 23:59 shows as no time.
constexpr int kToDoNoTime = 1439;
constexpr size_t kToDoTextMax = 39;
// The window's text for an empty list: "No pending items".
constexpr int kStrNoPendingItems = 24507;

// Caller codes of the to-do operations (the store has 1202 ... 1204).
constexpr int kCallerToDoLoad = 1201;
constexpr int kCallerToDoReopen = 1205;   // reopening after an automatic removal; due-date listing
constexpr int kCallerToDoNoteDelete = 1123;

// The 59-byte item record.
struct ToDoRecord {
  std::array<uint8_t, 6> reserved0{};   // carried unchanged
  uint8_t zone = 0;                     // zone of the required time; 0 = the current zone
  uint8_t marker = 1;
  uint16_t noteId = 0;                  // type-3 note in "ToDo.kvdb"; 0 = none
  std::array<uint8_t, 4> reserved10{};
  uint8_t priority = 1;                 // 1 high ... 3 low
  MinuteKey completed = 0;              // when it was checked off; 0 = pending
  std::string text;                     // at most 39 characters
  friend bool operator==(const ToDoRecord&, const ToDoRecord&) = default;
};
ToDoRecord ParseToDoRecord(const ToDoItem& item);
ToDoItem SerializeToDoRecord(const ToDoRecord& record);

// One row of the list: the record, its activate key, its required key in the current zone and
// its slot in the file.
struct ToDoEntry {
  ToDoRecord item;
  MinuteKey activate = 0;
  MinuteKey required = 0;
  uint16_t slot = 0;
};

// The settings of the "Configure To Do" page, kept in the configuration.
struct ToDoSettings {
  bool sortByPriority = false;    // else by required date, then priority
  bool viewAll = false;           // "View A&ll"; else "View &Pending"
  bool hideCompleted = false;     // the pending view hides completed items
  int removeAfterDays = 1;        // completed items go this many days after completion
  bool logRemoved = true;         // removed completed items are appended to the archive
  std::string archiveName = "To Do Archive.txt";   // in the database folder
  bool logNotes = true;           // the archive includes the items' notes
};

// Builds the list for the view: the pending view leaves out items not yet active (and
// completed ones when hiding them); completed items whose removal delay has run out are
// removed (archived when logging) in either view. Sorted. The count; a file that cannot be
// read gives an empty list.
int ToDoLoad(std::vector<ToDoEntry>& entries, const ToDoSettings& settings);

// Stable sort by the configured order.
void ToDoSort(std::vector<ToDoEntry>& entries, bool byPriority);

// Red priority digit: not completed and required no later than now.
bool ToDoIsOverdue(const ToDoEntry& entry, MinuteKey now);

// The required time of day of an entry (minutes), or -1 for none (23:59).
int ToDoEntryTime(const ToDoEntry& entry);

// What the "Create To-Do Item" dialog edits. A date that the date box could not read is
// passed as invalid (IsValidDate false); timeOfDay is minutes, kToDoNoTime for none, or -1
// when the time box holds something that is not a time.
struct ToDoForm {
  std::string text;
  DateStamp activate;       // date only
  DateStamp required;       // date only
  int timeOfDay = kToDoNoTime;
  int priority = 1;
  uint8_t zone = 0;         // zone of the required time
};
// A new item: active today, required on the given date without a time, priority 1, the
// current zone. An edited item: its values, the required time back in the item's zone.
ToDoForm NewToDoForm(const DateStamp& requiredDate);
ToDoForm ToDoFormFor(const ToDoEntry& entry);

enum class ToDoField { None, Text, Activate, Required, Time };
struct ToDoSaveResult {
  uint16_t slot = 0;             // the slot stored in; 0 when nothing was stored
  int messageId = 0;             // the message shown, 0 for none
  ToDoField focus = ToDoField::None;
  bool Ok() const { return slot != 0; }
};
// Validates (showing the message) and stores a new item, or the edited one (`edited` non-null)
// in its slot. Storing always makes the item pending again.
ToDoSaveResult ToDoSave(const ToDoForm& form, const ToDoEntry* edited = nullptr);

// Checks an item off, or back on after asking "Mark this item incomplete?". The entry is reread
// from the file. False when declined or when the file could not be changed.
bool ToDoToggle(ToDoEntry& entry);

// Removes an item: after asking (when `ask`), archives a completed item when logging (a failed
// archive removes nothing), deletes its note and frees its slot. True when removed.
bool ToDoRemove(const ToDoEntry& entry, bool ask, const ToDoSettings& settings);

// Appends the item to the archive file in the database folder. False (with a message) when the
// name is unusable or the file cannot be written.
bool ToDoArchive(const ToDoEntry& entry, const ToDoSettings& settings);
// The archive's text for one item (the note text empty when there is none or it is left out).
std::string ToDoArchiveText(const ToDoEntry& entry, const std::string& noteText);
// For the options page: false after "Invalid filename entered." for a name with a slash or a
// backslash (or an empty one), and false when an existing file of that name is not accepted.
bool ToDoCheckArchiveName(const std::string& name);
// A name the archive can take: not empty, no folder separators.
bool ToDoValidArchiveName(const std::string& name);

// The items due on a date for the day display; on today also every pending overdue item.
int ToDoListForDate(const DateStamp& date, std::vector<ToDoEntry>& entries, bool byPriority);

// Rereads one slot into its entry of the list; false when it is not in the list or unreadable.
bool ToDoRefreshEntry(std::vector<ToDoEntry>& entries, uint16_t slot);


}  // namespace kv
