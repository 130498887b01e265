// Where the database files live and what the store takes from the rest of the program: the
// database folder, the file names, the store selector for the two notes files, and the
// computer's own time zone for widening old schedule items.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/file_io.h"

namespace kv {

// The calendar's database folder (from its configuration); every store file lies in it.
void SetDatabaseFolder(const std::string& folder);
const std::string& DatabaseFolder();

// Open modes of every store file.
constexpr int kDbModeRead = 0;
constexpr int kDbModeWrite = 2;

// The opening every store file shares: an existing file is opened for the mode; for writing, a
// missing or empty one (a creation that never got its header) is made to start with
// `newHeader` (the creation message, with `beep`, when that fails). `*size` is the file's size
// (the new header's for a new file) and `*fresh` tells that the file was made now. False when
// the mode or path is bad or the file could not be opened or made.
bool OpenStoreFile(int mode, const std::string& path, const std::vector<uint8_t>& newHeader, bool beep,
                   BinaryFile* file, int64_t* size, bool* fresh);

// Which notes file a container opened with month key 0 is: 1 "ToDo.kvdb", 2 "PhoneBk.kvdb".
constexpr int kStoreToDoNotes = 1;
constexpr int kStorePhoneNotes = 2;
void DbSelectStore(int selector);
int DbStoreSelector();

// The month key of a month file: (year << 16) | month.
constexpr uint32_t MonthKey(int year, int month) {
  return (static_cast<uint32_t>(year) << 16) | static_cast<uint32_t>(month);
}

// "MAR-2025.kvdb" for March 2025; empty for a key whose month is not 1 ... 12 or whose year is
// not 1 ... 9999.
std::string MonthFileName(uint32_t monthKey);
// Full paths in the database folder; empty when the key or the selector names no file.
std::string MonthFilePath(uint32_t monthKey);
std::string NotesFilePath(int storeSelector);
std::string ToDoFilePath();
std::string PhoneFilePath();

// The index of the computer's own time zone, which a schedule item written before items carried
// a zone takes when it is read. The time-zone module installs the source; until then it is 0.
using ComputerZoneSource = std::function<int()>;
void SetComputerZoneSource(ComputerZoneSource source);
int ComputerZoneIndex();

// Closes every open store file without messages and forgets all store state (for tests and
// for switching the database folder).
void ResetStore();

}  // namespace kv
