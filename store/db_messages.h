// What the store tells the user: the data access exception for misuse of the open/close
// discipline, and the two file messages.
#pragma once

#include <string>

namespace kv {

// Data access errors; the message shows the code and a sub code (a caller code or 0).
enum DbError : int {
  kDbErrNoContainer = 1,      // container operation while none is open (sub code 0)
  kDbErrContainerOpen = 2,    // container open while one is open
  kDbErrReadOnly = 3,         // write or delete on a container opened for reading
  kDbErrCloseNone = 4,        // container close while none is open (sub code 0)
  kDbErrToDoOpen = 5,         // to-do file open while it is open
  kDbErrToDoClose = 6,        // to-do file close while it is not open
  kDbErrPhoneOpen = 7,        // phonebook file open while it is open
  kDbErrPhoneClose = 8,       // phonebook file close while it is not open
};

// Caller codes with a meaning of their own to the store.
constexpr int kCallerReopen = 1105;       // a container reopened after a range listing
constexpr int kCallerOpenFailed = 1501;   // the last open failed

// "KALVORA: Data access exception:..." with a stop beep, captioned "Kalvora".
void ShowDataAccessError(int error, int subCode);

// "Error creating file:" or "File failed header check:", a blank line and the path, in a box
// without a caption of its own; `beep` plays the default beep first (to-do and phonebook).
void ShowCreateFailed(const std::string& path, bool beep);
void ShowHeaderCheckFailed(const std::string& path, bool beep);

// A damaged file that is still read up to its damage: the header-check message, but only the
// first time the file is met in this session, so that repainting does not repeat it.
void ShowDamagedOnce(const std::string& path, bool beep);

}  // namespace kv
