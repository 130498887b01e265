// Plugs the phonebook window into the program: its font, the notes window it tells, the
// configuration fields that remember its list and selected entry, and the notes window's
// title for a phonebook note.
#pragma once

namespace kv {

void InstallPhonebookWindow();

}  // namespace kv
