// The To Do window (class KVToDo): a strip of column heads and one row control (id 801 + its
// row on screen) per visible item, with a vertical scroll bar for the rest. The shell's window
// procedure of the class passes every message here first and falls back to its desk handling
// when this returns false.
//
// Mouse and keys: a click selects an item, a click on its box checks it off (or, after asking,
// back on), a double click or Enter edits it, Space checks it, Delete removes it after asking,
// Insert makes a new one. While the window is active its "&View" menu stands in the frame's
// menu: "View &Pending" / "View A&ll" and the same four actions.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

#include "calendar/dates.h"
#include "personal/todo.h"
#include "personal/todo_dialog_win.h"

namespace kv {

// What the window needs from the program around it.
struct ToDoWindowHooks {
  std::function<ToDoSettings()> settings;        // the configuration's to-do settings
  std::function<void(bool viewAll)> viewChosen;  // the View menu's choice, to be kept
  std::function<DateStamp()> selectedDate;       // a new item is required on this day
  std::function<void()> itemsChanged;            // an item was stored, checked or removed
  std::function<HWND()> notesWindow;             // the open notes window, or nullptr
  ToDoZoneChooser chooseZone;                    // empty: "Time &Zone..." greyed
  std::function<HFONT()> font;                   // the rows' font; empty or nullptr: the GUI font
};
void SetToDoWindowHooks(ToDoWindowHooks hooks);

bool ToDoWindowMessage(HWND window, UINT message, WPARAM wp, LPARAM lp, LRESULT& result);

// Whether the open window takes one of its View menu's commands now (the item commands want a
// selected item); false without a window.
bool ToDoWindowCommandAvailable(int command);
// Carries out one of them in the open window.
void RunToDoWindowCommand(int command);

// Reads the list again and lays the window out anew (settings or fonts changed, another
// database folder); nothing without a window.
void ReloadToDoWindow();

// Selects the item of a slot in the open window; false when the window is closed or its
// current view does not list the item.
bool SelectToDoItem(uint16_t slot);

// Opens the item of a slot in its dialog (over the window, selecting it when listed); false
// when the slot holds no item.
bool EditToDoItem(uint16_t slot);

}  // namespace kv
