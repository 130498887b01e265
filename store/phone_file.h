// The phonebook file "PhoneBk.kvpb": up to 2048 fixed 256-byte entries with a chain of free
// slots. One phonebook file is open at a time; PhoneStoreEntry opens and closes it itself.
//
// A damaged phonebook (any fault CheckPhone finds besides a wrong live count) is never written:
// opened for writing it is refused with "File failed header check:"; opened for reading every
// slot holding a live entry is still read, after the same message shown once per session. A
// wrong live count is put right: in memory on every open, and in the file when it is open for
// writing.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "store/db_files.h"
#include "store/phone_format.h"

namespace kv {

using PhoneEntry = std::array<uint8_t, kPhoneEntrySize>;

int16_t PhoneEntryId(const PhoneEntry& entry);        // offset 0; > 0 for a live entry
uint16_t PhoneEntryNoteId(const PhoneEntry& entry);   // offset 2; 0 = no note
void SetPhoneEntryNoteId(PhoneEntry& entry, uint16_t noteId);

// Where an entry lives; slot numbers are 1-based. A new entry has id 0.
struct PhoneEntryRef {
  int16_t id = 0;
  uint16_t noteId = 0;
  uint16_t slot = 0;
};

constexpr int kCallerPhoneStore = 1701;

// Mode 0 reads, mode 2 reads and writes and creates a missing file. Non-zero on success.
int PhoneStoreOpen(int mode, int callerCode);
int PhoneStoreOpenFile(int mode, const std::string& path, int callerCode);
int PhoneStoreClose();
bool PhoneStoreIsOpen();
bool PhoneStoreIsDamaged();
int PhoneCallerCode();
PhoneHeaderFields PhoneStoreHeader();   // of the open file

// The 256 bytes of a used slot of the open file.
std::optional<PhoneEntry> PhoneReadEntry(uint16_t slot);
// Rewrites the live entry in a slot (mode 2); the record must keep the slot's entry id.
int PhoneWriteEntry(const PhoneEntry& entry, uint16_t slot);

// Adds a new entry (ref.id 0) or replaces the entry named by ref, opening and closing the file
// itself. A new entry gets the next id, no note and a free or never-used slot; a replaced one
// keeps its id, note id and slot. Byte 255 becomes 1. ref and the record receive the id, note
// id and slot. Non-zero on success; fails for a new entry when 2048 entries exist.
int PhoneStoreEntry(PhoneEntry& entry, PhoneEntryRef& ref);

// Deletes the live entry in a slot of the open file (mode 2): the slot joins the free chain.
int PhoneDeleteEntry(uint16_t slot);

// Every live entry of the open file in slot order. A header count that disagrees with the live
// entries found is corrected (and rewritten when the file is open for writing).
struct PhoneLoaded {
  uint16_t slot = 0;
  PhoneEntry entry{};
};
int PhoneLoadEntries(std::vector<PhoneLoaded>& entries);

}  // namespace kv
