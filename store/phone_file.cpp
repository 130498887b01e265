#include "store/phone_file.h"

#include <algorithm>
#include <cstring>

#include "base/bytes.h"
#include "store/container.h"
#include "store/db_messages.h"
#include "store/store_state.h"

namespace kv {
namespace {

PhoneState& P() { return Store().phone; }

PhoneHeaderFields Fields() { return ParsePhoneHeader(P().header.data()); }
void PutFields(const PhoneHeaderFields& h) { SerializePhoneHeader(h, P().header.data()); }
uint16_t SlotsHeld() { return static_cast<uint16_t>(P().slots.size() / kPhoneEntrySize); }
uint8_t* SlotBytes(uint32_t slot) { return P().slots.data() + kPhoneEntrySize * (slot - 1); }
int16_t StoredId(uint32_t slot) { return ReadI16LE(SlotBytes(slot)); }
bool IsLive(uint32_t slot) { return slot >= 1 && slot <= SlotsHeld() && StoredId(slot) > 0; }

bool CanWrite() {
  PhoneState& p = P();
  if (!p.file.IsOpen() || p.mode != kDbModeWrite) return false;
  if (p.damaged) {
    ShowDamagedOnce(p.path, true);
    return false;
  }
  return true;
}

bool WriteHeader() { return P().file.WriteAt(0, P().header.data(), P().header.size()); }

bool WriteSlot(uint32_t slot, const uint8_t* bytes, size_t n) {
  PhoneState& p = P();
  if (!p.file.WriteAt(PhoneSlotOffset(slot), bytes, n)) return false;
  if (slot > SlotsHeld()) p.slots.resize(size_t{kPhoneEntrySize} * slot, 0);
  std::memcpy(SlotBytes(slot), bytes, n);
  return true;
}

// The next entry id. Ids are positive 16-bit numbers; once 32767 has been handed out, the
// smallest id no live entry holds is taken, so that ids stay unique and positive.
int16_t NextEntryId(PhoneHeaderFields& h) {
  if (h.nextId >= 1 && h.nextId <= kPhoneMaxId) {
    auto id = static_cast<int16_t>(h.nextId);
    h.nextId = static_cast<uint16_t>(h.nextId + 1);
    return id;
  }
  std::vector<uint8_t> used(kPhoneMaxId + 1, 0);
  for (uint32_t s = 1; s <= SlotsHeld(); ++s)
    if (StoredId(s) > 0) used[StoredId(s)] = 1;
  for (int id = 1; id <= kPhoneMaxId; ++id)
    if (!used[id]) return static_cast<int16_t>(id);
  return 0;
}

// Sets the header's live count to the live entries found; rewrites it in write mode.
bool CorrectCount(uint16_t live) {
  PhoneHeaderFields h = Fields();
  if (h.count == live) return true;
  h.count = live;
  PutFields(h);
  return P().mode != kDbModeWrite || P().damaged || WriteHeader();
}

}  // namespace

int16_t PhoneEntryId(const PhoneEntry& entry) { return ReadI16LE(entry.data()); }
uint16_t PhoneEntryNoteId(const PhoneEntry& entry) { return ReadU16LE(entry.data() + 2); }
void SetPhoneEntryNoteId(PhoneEntry& entry, uint16_t noteId) { PutU16LE(entry.data() + 2, noteId); }

int PhoneStoreOpenFile(int mode, const std::string& path, int callerCode) {
  PhoneState& p = P();
  if (p.file.IsOpen()) {
    ShowDataAccessError(kDbErrPhoneOpen, p.callerCode);
    return 0;
  }
  auto fail = [&p]() {
    p.callerCode = kCallerOpenFailed;
    return 0;
  };
  std::array<uint8_t, kPhoneHeaderSize> header{};
  SerializePhoneHeader(PhoneHeaderFields{}, header.data());
  BinaryFile file;
  int64_t size = 0;
  bool fresh = false;
  if (!OpenStoreFile(mode, path, std::vector<uint8_t>(header.begin(), header.end()), true, &file, &size, &fresh))
    return fail();
  std::vector<uint8_t> slots;
  PhoneCheck check;
  if (!fresh) {
    std::vector<uint8_t> first(static_cast<size_t>(std::min<int64_t>(size, kPhoneHeaderSize)));
    if (!file.ReadAt(0, first.data(), first.size())) return fail();
    if (!LookAtPhoneHeader(first, static_cast<uint64_t>(size)).empty()) return ShowHeaderCheckFailed(path, true), fail();
    std::memcpy(header.data(), first.data(), header.size());
    PhoneHeaderFields h = ParsePhoneHeader(header.data());
    slots.resize(size_t{kPhoneEntrySize} * PhoneSlotsInFile(h, static_cast<uint64_t>(size)));
    if (!slots.empty() && !file.ReadAt(kPhoneHeaderSize, slots.data(), slots.size())) return fail();
    check = CheckPhone(h, slots, static_cast<uint64_t>(size));
    if (check.damaged) {
      if (mode == kDbModeWrite) return ShowHeaderCheckFailed(path, true), fail();
      ShowDamagedOnce(path, true);
    }
  }
  p.file = std::move(file);
  p.path = path;
  p.mode = mode;
  p.callerCode = callerCode;
  p.header = header;
  p.slots = std::move(slots);
  p.damaged = check.damaged;
  if (mode == kDbModeWrite) BeginStoreSession(p.file, p.journal, path, static_cast<uint64_t>(size));
  if (!CorrectCount(check.liveCount)) {
    EndStoreSession(p.file, p.journal, true);
    p = PhoneState{};
    return fail();
  }
  return 1;
}

int PhoneStoreOpen(int mode, int callerCode) {
  if (P().file.IsOpen()) {
    ShowDataAccessError(kDbErrPhoneOpen, P().callerCode);
    return 0;
  }
  return PhoneStoreOpenFile(mode, PhoneFilePath(), callerCode);
}

int PhoneStoreClose() {
  PhoneState& p = P();
  if (!p.file.IsOpen()) {
    ShowDataAccessError(kDbErrPhoneClose, Store().container.callerCode);
    return 1;
  }
  int callerCode = p.callerCode;
  EndStoreSession(p.file, p.journal, p.damaged);
  p = PhoneState{};
  p.callerCode = callerCode;
  return 1;
}

bool PhoneStoreIsOpen() { return P().file.IsOpen(); }
bool PhoneStoreIsDamaged() { return P().file.IsOpen() && P().damaged; }
int PhoneCallerCode() { return P().callerCode; }
PhoneHeaderFields PhoneStoreHeader() { return Fields(); }

std::optional<PhoneEntry> PhoneReadEntry(uint16_t slot) {
  if (!P().file.IsOpen() || slot < 1 || slot > SlotsHeld()) return std::nullopt;
  PhoneEntry entry;
  std::memcpy(entry.data(), SlotBytes(slot), entry.size());
  return entry;
}

int PhoneWriteEntry(const PhoneEntry& entry, uint16_t slot) {
  if (!CanWrite() || !IsLive(slot) || PhoneEntryId(entry) != StoredId(slot)) return 0;
  return WriteSlot(slot, entry.data(), entry.size()) ? 1 : 0;
}

int PhoneStoreEntry(PhoneEntry& entry, PhoneEntryRef& ref) {
  if (!PhoneStoreOpen(kDbModeWrite, kCallerPhoneStore)) return 0;
  PhoneHeaderFields h = Fields();
  PhoneEntryRef placed;
  bool ok = true;
  if (ref.id > 0) {
    // A replaced entry keeps the id, note id and slot the file holds for it.
    ok = IsLive(ref.slot) && StoredId(ref.slot) == ref.id;
    if (ok) {
      placed.slot = ref.slot;
      placed.id = ref.id;
      placed.noteId = ReadU16LE(SlotBytes(ref.slot) + 2);
    }
  } else {
    ok = h.count < kPhoneMaxEntries && (h.freeHead != 0 || h.nextSlot <= kPhoneMaxEntries);
    if (ok) placed.id = NextEntryId(h);
    ok = ok && placed.id > 0;
    if (ok && h.freeHead != 0) {
      placed.slot = h.freeHead;
      h.freeHead = static_cast<uint16_t>(-static_cast<int32_t>(StoredId(placed.slot)));
    } else if (ok) {
      placed.slot = h.nextSlot;
      h.nextSlot = static_cast<uint16_t>(h.nextSlot + 1);
    }
    h.count = static_cast<uint16_t>(h.count + 1);
  }
  if (ok) {
    PutI16LE(entry.data(), placed.id);
    PutU16LE(entry.data() + 2, placed.noteId);
    entry[kPhoneEntrySize - 1] = 1;
    std::array<uint8_t, kPhoneHeaderSize> saved = P().header;
    PutFields(h);
    ok = WriteSlot(placed.slot, entry.data(), entry.size()) && WriteHeader();
    if (!ok) P().header = saved;
  }
  if (ok) ref = placed;
  PhoneStoreClose();
  return ok ? 1 : 0;
}

int PhoneDeleteEntry(uint16_t slot) {
  if (!CanWrite() || !IsLive(slot)) return 0;
  PhoneHeaderFields h = Fields();
  uint8_t original[2], link[2];
  std::memcpy(original, SlotBytes(slot), sizeof original);
  PutI16LE(link, static_cast<int16_t>(-static_cast<int32_t>(h.freeHead)));
  if (!WriteSlot(slot, link, sizeof link)) return 0;
  std::array<uint8_t, kPhoneHeaderSize> saved = P().header;
  h.freeHead = slot;
  h.count = static_cast<uint16_t>(h.count - 1);
  PutFields(h);
  if (WriteHeader()) return 1;
  P().header = saved;
  WriteSlot(slot, original, sizeof original);   // the entry stays live
  return 0;
}

int PhoneLoadEntries(std::vector<PhoneLoaded>& entries) {
  entries.clear();
  if (!P().file.IsOpen()) return 0;
  for (uint32_t s = 1; s <= SlotsHeld(); ++s) {
    if (StoredId(s) <= 0) continue;
    PhoneLoaded loaded;
    loaded.slot = static_cast<uint16_t>(s);
    std::memcpy(loaded.entry.data(), SlotBytes(s), kPhoneEntrySize);
    entries.push_back(loaded);
  }
  return CorrectCount(static_cast<uint16_t>(entries.size())) ? 1 : 0;
}

}  // namespace kv
