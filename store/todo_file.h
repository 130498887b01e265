// The to-do file "ToDo.kvtd": 59-byte items in slots whose header entries keep a list ordered
// by required date and time. One to-do file is open at a time; insert, remove and toggle open
// and close it themselves.
//
// A damaged to-do file (any fault CheckToDo finds) is never written: opened for writing it is
// refused with "File failed header check:"; opened for reading its list is walked up to the
// damage, after the same message shown once per session.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "calendar/dates.h"
#include "store/db_files.h"
#include "store/todo_format.h"

namespace kv {

using ToDoItem = std::array<uint8_t, kToDoItemSize>;

// The two fields of an item that belong to the file format.
uint16_t ToDoItemNoteId(const ToDoItem& item);           // offset 8
void SetToDoItemNoteId(ToDoItem& item, uint16_t noteId);
MinuteKey ToDoItemCompletion(const ToDoItem& item);      // offset 15; 0 = not done
void SetToDoItemCompletion(ToDoItem& item, MinuteKey when);

constexpr int kCallerToDoToggle = 1202;
constexpr int kCallerToDoInsert = 1203;
constexpr int kCallerToDoRemove = 1204;

// Mode 0 reads, mode 2 reads and writes and creates a missing file. Non-zero on success.
int ToDoStoreOpen(int mode, int callerCode);
int ToDoStoreOpenFile(int mode, const std::string& path, int callerCode);
int ToDoStoreClose();
bool ToDoStoreIsOpen();
bool ToDoStoreIsDamaged();
int ToDoCallerCode();

// Slot numbers are 1-based. Read and write work on the open file (write in mode 2 only).
std::optional<ToDoItem> ToDoReadItem(uint16_t slot);
int ToDoWriteItem(const ToDoItem& item, uint16_t slot);

// Stores an item with its activate and sort keys (the sort key must not be 0) in the list;
// replaceSlot names the slot of the item being edited, 0 for a new item. Returns the slot, 0 on
// failure.
uint16_t ToDoInsertItem(MinuteKey activate, MinuteKey sortKey, const ToDoItem& item, uint16_t replaceSlot = 0);
int ToDoRemoveItem(uint16_t slot);
// Marks the item done at `now` (the caller's clock), or not done when it was; the new completion
// time, nothing on failure.
std::optional<MinuteKey> ToDoToggleDone(uint16_t slot, MinuteKey now);
// Adds 64 slots, moving the items up by 768 bytes (mode 2).
int ToDoStoreGrow();

// The open file's list in its order (up to the damage of a damaged file).
struct ToDoListed {
  uint16_t slot = 0;
  MinuteKey activate = 0;
  MinuteKey sortKey = 0;
};
std::vector<ToDoListed> ToDoListOrder();

}  // namespace kv
