// Where the shell meets the Search window: the "Sea&rch" command (F3, the toolbar's Search
// button) opens it or brings it back, and a hit it opens is shown in its own window: the
// calendar's day for an overlay event, the schedule on the item's day, the to-do list, the
// phonebook, and the notes window with the caret at the match.
#pragma once

namespace kv {

// Installs the command handler (once, at start-up, after the calendar views).
void InstallSearchWindow();

}  // namespace kv
