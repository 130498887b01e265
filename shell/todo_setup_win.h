// Puts the To Do window into the program: its hooks (settings, notes window, font, calendar),
// the Configure menu's "&To Do..." page, the calendar's way of opening a to-do item, and the
// to-do text in the notes window's title.
#pragma once

#include <cstdint>

namespace kv {

void InstallToDoWindow();

// For a search hit: brings up the To Do window and selects the item of a slot; false (the
// window open all the same) when the current view does not list it.
bool ShowToDoItem(uint16_t slot);
// Switches the window's list to "View A&ll" (kept in the configuration) and reads it again.
void ShowAllToDoItems();

}  // namespace kv
