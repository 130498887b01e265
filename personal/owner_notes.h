// The note records of to-do items and phonebook entries in their notes files ("ToDo.kvdb",
// "PhoneBk.kvdb"), reached directly through the container. The to-do list and the phonebook use
// these until the notes module installs its own functions.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kv {

// Deletes the note record of a type (3 or 5) from the notes file of a store selector; true when
// it is gone (also when it was never there).
bool DeleteOwnerNote(int storeSelector, uint8_t type, uint16_t noteId, int callerCode);
// The text of the note record; nothing when there is none or it cannot be read.
std::optional<std::string> ReadOwnerNote(int storeSelector, uint8_t type, uint16_t noteId, int callerCode);

}  // namespace kv
