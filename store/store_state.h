// The store's module state: one open container, one to-do file and one phonebook file at a
// time, with what each kind remembers between operations. Internal to store/.
#pragma once

#include <array>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "store/container_format.h"
#include "store/db_files.h"
#include "base/file_io.h"
#include "store/store_journal.h"

namespace kv {

struct ContainerState {
  BinaryFile file;             // closed = no container open
  StoreJournal journal;        // the write session's rollback journal (the file's write guard)
  std::string path;
  int mode = 0;                // 0 read, 2 read/write
  uint32_t monthKey = 0;
  int storeSelector = 0;
  int callerCode = 0;
  std::vector<uint8_t> header; // the header in memory, all slots included
  uint64_t fileSize = 0;

  // A damaged file is read up to its damage and never written: chains are walked through
  // walkNext and the records in badRecord are passed over.
  bool damaged = false;
  std::vector<uint16_t> walkNext;
  std::vector<uint8_t> badRecord;

  // Header bytes changed in memory but not yet written (slot indices; the fields are always
  // written), so that a header update writes only what changed.
  std::vector<uint32_t> dirtySlots;
  std::vector<uint8_t> dirtyMark;

  // The slots and fields as they were before the operation in progress, to put back when it
  // fails; headerWritten says the operation already wrote header bytes (a growth).
  std::vector<std::pair<uint32_t, std::array<uint8_t, kDbSlotSize>>> undoSlots;
  std::vector<uint8_t> undoMark;
  std::array<uint8_t, kDbFieldsSize> undoFields{};
  bool headerWritten = false;
};

struct ToDoState {
  BinaryFile file;
  StoreJournal journal;
  std::string path;
  int mode = 0;
  int callerCode = 0;
  std::vector<uint8_t> header;   // 30 + 12 x capacity bytes
  uint64_t fileSize = 0;
  bool damaged = false;
  std::vector<uint16_t> walkNext;  // list walking for a damaged file (0 ends it)
};

struct PhoneState {
  BinaryFile file;
  StoreJournal journal;
  std::string path;
  int mode = 0;
  int callerCode = 0;
  std::array<uint8_t, 32> header{};
  std::vector<uint8_t> slots;    // the used slots as read, 256 bytes each
  bool damaged = false;
};

struct StoreState {
  std::string folder;
  int storeSelector = 0;
  ComputerZoneSource computerZone;
  ContainerState container;
  ToDoState todo;
  PhoneState phone;
  std::set<std::string> damageReported;   // damaged files already reported this session
};

StoreState& Store();

// A write session starts on a store file just opened: every write passes the journal first.
inline void BeginStoreSession(BinaryFile& file, StoreJournal& journal, const std::string& path, uint64_t size) {
  journal.Begin(path, size);
  file.SetWriteGuard(&journal);
}

// Ends a write session: its changes stay, or, when the session left the file damaged (a write
// failed half-way), they are undone and the file is as it was when opened.
inline bool EndStoreSession(BinaryFile& file, StoreJournal& journal, bool damaged) {
  return damaged ? journal.Undo(file) : journal.Commit(file);
}

}  // namespace kv
