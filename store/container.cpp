#include "store/container.h"

#include <algorithm>
#include <cstring>

#include "base/bytes.h"
#include "store/container_format.h"
#include "store/db_messages.h"
#include "store/store_state.h"

namespace kv {
namespace {

constexpr uint32_t kNone = UINT32_MAX;
constexpr uint32_t kMaxCapacity = 0xFFFF;
constexpr uint64_t kMaxOffset = 0xFFFFFFFFu;

ContainerState& C() { return Store().container; }

// ---- the header in memory ----------------------------------------------------------------

uint8_t* SlotBytes(uint32_t i) { return C().header.data() + DbSlotOffset(i); }
DbHeaderFields Fields() { return ParseDbHeaderFields(C().header.data()); }
void PutFields(const DbHeaderFields& h) { SerializeDbHeaderFields(h, C().header.data()); }
DbSlot Slot(uint32_t i) { return ParseDbSlot(SlotBytes(i)); }

// Remembers a slot's bytes for undoing the operation in progress and marks it for writing.
void Touch(uint32_t i) {
  ContainerState& c = C();
  if (!c.undoMark[i]) {
    std::array<uint8_t, kDbSlotSize> saved;
    std::memcpy(saved.data(), SlotBytes(i), kDbSlotSize);
    c.undoSlots.emplace_back(i, saved);
    c.undoMark[i] = 1;
  }
  if (!c.dirtyMark[i]) {
    c.dirtySlots.push_back(i);
    c.dirtyMark[i] = 1;
  }
}

void PutSlot(uint32_t i, const DbSlot& s) {
  Touch(i);
  SerializeDbSlot(s, SlotBytes(i));
}

void BeginChange() {
  ContainerState& c = C();
  std::memcpy(c.undoFields.data(), c.header.data(), kDbFieldsSize);
  c.headerWritten = false;
}

void EndChange() {
  ContainerState& c = C();
  for (const auto& entry : c.undoSlots) c.undoMark[entry.first] = 0;
  c.undoSlots.clear();
  c.headerWritten = false;
}

// A header update: the fields and every slot changed since the last one, in as few writes as
// the distances between them allow (unchanged bytes between two close ranges go along). The
// bytes on disk end up as a full header write leaves them.
bool FlushHeader() {
  constexpr uint32_t kMergeGap = 512;
  ContainerState& c = C();
  std::vector<std::pair<uint32_t, uint32_t>> ranges{{0, kDbFieldsSize}};
  for (uint32_t i : c.dirtySlots) ranges.emplace_back(DbSlotOffset(i), DbSlotOffset(i) + kDbSlotSize);
  std::sort(ranges.begin(), ranges.end());
  size_t merged = 0;
  for (size_t k = 1; k < ranges.size(); ++k) {
    if (ranges[k].first <= ranges[merged].second + kMergeGap) ranges[merged].second = std::max(ranges[merged].second, ranges[k].second);
    else ranges[++merged] = ranges[k];
  }
  ranges.resize(merged + 1);
  // A header update cut short leaves part of it on disk: undoing the operation rewrites it.
  c.headerWritten = true;
  for (const auto& [begin, end] : ranges)
    if (!c.file.WriteAt(begin, c.header.data() + begin, end - begin)) return false;
  for (uint32_t i : c.dirtySlots) c.dirtyMark[i] = 0;
  c.dirtySlots.clear();
  return true;
}

// Judges the open container damaged for the rest of the session: from now on it is only read,
// up to the damage found by a fresh check.
void MarkDamaged() {
  ContainerState& c = C();
  const BinaryFile& file = c.file;
  ContainerCheck check = CheckContainer(c.header, c.fileSize, [&file](uint64_t offset, uint8_t* buffer, size_t n) {
    return file.ReadAt(offset, buffer, n);
  });
  c.damaged = true;
  c.walkNext = std::move(check.walkNext);
  c.badRecord = std::move(check.badRecord);
}

// Puts back the slots and fields of a failed operation. When the operation had already written
// header bytes (a growth), the restored header is written too, so that file and memory agree.
void Rollback() {
  ContainerState& c = C();
  for (const auto& [i, saved] : c.undoSlots) {
    std::memcpy(SlotBytes(i), saved.data(), kDbSlotSize);
    if (!c.dirtyMark[i]) c.dirtySlots.push_back(i), c.dirtyMark[i] = 1;
  }
  std::memcpy(c.header.data(), c.undoFields.data(), kDbFieldsSize);
  bool wrote = c.headerWritten;
  EndChange();
  if (wrote && !FlushHeader()) MarkDamaged();
}

// ---- growth -------------------------------------------------------------------------------

// Whether a slot's offset moves with the data region when the header grows: every slot with an
// id, and holes on the free list even without one. Such holes come only from files written by
// other programs, but left behind they would point into the grown header.
bool OffsetFollowsGrowth(const DbSlot& s) { return s.id != 0 || s.type == kDbTypeFree; }

// The saved state of the operation in progress follows the growth, so that undoing it later
// leaves a header that fits the moved data.
void GrowUndoState() {
  ContainerState& c = C();
  for (auto& [i, saved] : c.undoSlots) {
    DbSlot s = ParseDbSlot(saved.data());
    if (OffsetFollowsGrowth(s)) s.offset += kDbBlock;
    SerializeDbSlot(s, saved.data());
  }
  DbHeaderFields h = ParseDbHeaderFields(c.undoFields.data());
  h.capacity = static_cast<uint16_t>(h.capacity + kDbSlotsPerGrowth);
  h.endOfData += kDbBlock;
  h.growths = static_cast<uint16_t>(h.growths + 1);
  SerializeDbHeaderFields(h, c.undoFields.data());
  c.headerWritten = true;
}

bool GrowHeader() {
  ContainerState& c = C();
  DbHeaderFields h = Fields();
  uint64_t oldHeader = DbHeaderSize(h.growths);
  uint64_t end = h.endOfData;
  if (uint32_t{h.capacity} + kDbSlotsPerGrowth > kMaxCapacity || end + kDbBlock > kMaxOffset) return false;
  // Claim the room first: if the disk is full this fails before any data has moved.
  std::vector<uint8_t> room(kDbBlock, 0);
  if (!c.file.WriteAt(end, room.data(), room.size())) return false;
  c.fileSize = std::max<uint64_t>(c.fileSize, end + kDbBlock);

  bool wroteAny = false;
  if (!MoveRegionUp(c.file, oldHeader, end, kDbBlock, wroteAny)) {
    if (wroteAny) MarkDamaged();
    return false;
  }
  // The new slots start empty, whatever the unused end of the old header block held.
  std::vector<uint8_t> grown(c.header.begin(), c.header.begin() + DbSlotOffset(h.capacity));
  grown.resize(static_cast<size_t>(oldHeader + kDbBlock), 0);
  for (uint32_t i = 0; i < h.capacity; ++i) {
    uint8_t* p = grown.data() + DbSlotOffset(i);
    DbSlot s = ParseDbSlot(p);
    if (!OffsetFollowsGrowth(s)) continue;
    s.offset += kDbBlock;
    SerializeDbSlot(s, p);
  }
  h.capacity = static_cast<uint16_t>(h.capacity + kDbSlotsPerGrowth);
  h.endOfData += kDbBlock;
  h.growths = static_cast<uint16_t>(h.growths + 1);
  SerializeDbHeaderFields(h, grown.data());
  if (!c.file.WriteAt(0, grown.data(), grown.size())) {
    MarkDamaged();
    return false;
  }
  c.header = std::move(grown);
  c.dirtyMark.assign(h.capacity, 0);
  c.dirtySlots.clear();
  c.undoMark.resize(h.capacity, 0);
  GrowUndoState();
  return true;
}

// ---- slots and space ----------------------------------------------------------------------

// A slot for a record that is not a chain head: a zero-length hole at the head of the free list,
// else the next never-used slot (growing the header when none is left). kNone on failure.
uint32_t NewSlot() {
  DbHeaderFields h = Fields();
  if (h.freeHead != 0) {
    uint32_t i = h.freeHead - 1u;
    DbSlot s = Slot(i);
    if (s.length == 0) {
      h.freeHead = s.next ? static_cast<uint16_t>(s.next + 1) : 0;
      PutFields(h);
      return i;
    }
  }
  if (h.slotsInUse >= h.capacity) {
    if (!GrowHeader()) return kNone;
    h = Fields();
  }
  uint32_t i = h.slotsInUse;
  h.slotsInUse = static_cast<uint16_t>(h.slotsInUse + 1);
  PutFields(h);
  return i;
}

uint32_t FreeHead() {
  uint16_t head = Fields().freeHead;
  return head ? head - 1u : kNone;
}

// The first hole at least `length` long (the list is in ascending length order) and the hole
// before it.
std::pair<uint32_t, uint32_t> FindHole(uint32_t length) {
  uint32_t prev = kNone;
  uint32_t capacity = Fields().capacity;
  for (uint32_t cur = FreeHead(), steps = 0; cur != kNone && steps < capacity; ++steps) {
    DbSlot s = Slot(cur);
    if (s.length >= length) return {cur, prev};
    prev = cur;
    cur = s.next ? s.next : kNone;
  }
  return {kNone, kNone};
}

void UnlinkHole(uint32_t hole, uint32_t prev) {
  DbSlot s = Slot(hole);
  if (prev == kNone) {
    DbHeaderFields h = Fields();
    h.freeHead = s.next ? static_cast<uint16_t>(s.next + 1) : 0;
    PutFields(h);
  } else {
    DbSlot p = Slot(prev);
    p.next = s.next;
    PutSlot(prev, p);
  }
}

// Puts a freed slot on the free list before the first hole at least as long as itself.
void InsertHole(uint32_t i) {
  DbSlot s = Slot(i);
  uint32_t prev = kNone, cur = FreeHead();
  uint32_t capacity = Fields().capacity;
  for (uint32_t steps = 0; cur != kNone && steps < capacity; ++steps) {
    DbSlot h = Slot(cur);
    if (h.length >= s.length) break;
    prev = cur;
    cur = h.next ? h.next : kNone;
  }
  s.next = cur == kNone ? 0 : static_cast<uint16_t>(cur);
  PutSlot(i, s);
  if (prev == kNone) {
    DbHeaderFields h = Fields();
    h.freeHead = static_cast<uint16_t>(i + 1);
    PutFields(h);
  } else {
    DbSlot p = Slot(prev);
    p.next = static_cast<uint16_t>(i);
    PutSlot(prev, p);
  }
}

// The id for a new record: last id + 1. Ids are 16-bit; once 65535 has been handed out, the
// smallest id no live record holds is taken instead, so that ids stay unique and never 0.
bool NextId(uint16_t& id) {
  DbHeaderFields h = Fields();
  if (h.lastId < 0xFFFF) {
    id = static_cast<uint16_t>(h.lastId + 1);
    return true;
  }
  std::vector<uint8_t> used(0x10000, 0);
  for (uint32_t i = 0; i < h.capacity; ++i) {
    DbSlot s = Slot(i);
    if (s.type != kDbTypeEmpty && s.type != kDbTypeFree) used[s.id] = 1;
  }
  for (uint32_t candidate = 1; candidate <= 0xFFFF; ++candidate) {
    if (!used[candidate]) {
      id = static_cast<uint16_t>(candidate);
      return true;
    }
  }
  return false;
}

// ---- finding ------------------------------------------------------------------------------

struct Found {
  uint32_t slot = kNone;
  uint32_t prev = kNone;   // the slot before it in the chain
  uint32_t head = kNone;
};

uint32_t ChainHead(const DbRequest& r, uint16_t id) { return r.chain ? r.day - 1u : id % kDbChains; }

uint32_t WalkNext(uint32_t i, uint32_t capacity) {
  ContainerState& c = C();
  uint32_t next = c.damaged ? c.walkNext[i] : Slot(i).next;
  return next < capacity ? next : 0;
}

// Walks the request's chain for a slot of its type with the id (0: the first), or with find-next
// for the slot after the one with the id.
Found FindSlot(const DbRequest& r, uint16_t id, bool findNext) {
  ContainerState& c = C();
  Found f;
  f.head = ChainHead(r, id);
  uint32_t capacity = Fields().capacity;
  uint32_t prev = kNone;
  for (uint32_t cur = f.head, steps = 0; steps <= capacity; ++steps) {
    DbSlot s = Slot(cur);
    if (s.type == r.type && (id == 0 || id == s.id)) {
      bool bad = c.damaged && c.badRecord[cur];
      if (id != 0 && findNext) id = 0;
      else if (!bad) return f.slot = cur, f.prev = prev, f;
      else if (id != 0) return f;
    }
    uint32_t next = WalkNext(cur, capacity);
    if (next == 0) break;
    prev = cur;
    cur = next;
  }
  return f;
}

bool ValidRequest(const DbRequest& r) {
  if (r.type == kDbTypeEmpty || r.type >= kDbTypeFree) return false;
  return r.chain == 0 || (r.day >= 1 && r.day <= kDbChains);
}

// ---- deleting and allocating --------------------------------------------------------------

// Frees the slot found: unlinks it from its chain and puts it on the free list.
bool FreeSlot(const Found& f) {
  uint32_t i = f.slot;
  if (f.prev != kNone) {
    DbSlot p = Slot(f.prev);
    DbSlot s = Slot(i);
    p.next = s.next;
    PutSlot(f.prev, p);
    s.type = kDbTypeFree;
    PutSlot(i, s);
    InsertHole(i);
    return true;
  }
  DbSlot head = Slot(i);
  if (head.next != 0) {
    // The head and its successor swap places: the head now holds the successor's record.
    uint32_t succ = head.next;
    DbSlot next = Slot(succ);
    head.type = kDbTypeFree;
    PutSlot(i, next);
    PutSlot(succ, head);
    InsertHole(succ);
    return true;
  }
  // A head without successor moves to a new slot and the head is left empty. The new slot is
  // taken first: taking it may grow the header, which then holds no half-done deletion.
  uint32_t moved = NewSlot();
  if (moved == kNone) return false;
  DbSlot s = Slot(i);
  s.type = kDbTypeFree;
  PutSlot(moved, s);
  PutSlot(i, DbSlot{});
  InsertHole(moved);
  return true;
}

// A slot and space for a new record of `length` bytes in the request's chain; the slot gets
// the new id and the length, and the request the id. kNone on failure.
uint32_t Allocate(DbRequest& r, uint16_t length) {
  uint16_t id;
  if (!NextId(id)) return kNone;
  uint32_t head = ChainHead(r, id);
  bool headEmpty = Slot(head).type == kDbTypeEmpty;
  auto [hole, holePrev] = FindHole(length);
  uint32_t slot;
  if (hole != kNone && Slot(hole).length == length) {
    UnlinkHole(hole, holePrev);
    if (headEmpty) {
      DbSlot moved = Slot(hole);
      PutSlot(head, moved);
      moved.length = 0, moved.next = 0, moved.type = 0, moved.flag = 0;
      PutSlot(hole, moved);
      slot = head;
    } else {
      slot = hole;
    }
  } else if (hole != kNone) {
    slot = headEmpty ? head : NewSlot();
    if (slot == kNone) return kNone;
    // A new slot may have grown the header (moving every offset) or come from the list.
    std::tie(hole, holePrev) = FindHole(length);
    UnlinkHole(hole, holePrev);
    DbSlot h = Slot(hole);
    DbSlot s = Slot(slot);
    s.offset = h.offset;
    PutSlot(slot, s);
    h.offset += length;
    h.length = static_cast<uint16_t>(h.length - length);
    PutSlot(hole, h);
    InsertHole(hole);
  } else {
    if (Fields().endOfData + uint64_t{length} > kMaxOffset) return kNone;
    slot = headEmpty ? head : NewSlot();
    if (slot == kNone) return kNone;
    DbHeaderFields h = Fields();
    if (h.endOfData + uint64_t{length} > kMaxOffset) return kNone;
    DbSlot s = Slot(slot);
    s.offset = h.endOfData;
    PutSlot(slot, s);
    h.endOfData += length;
    PutFields(h);
  }
  DbHeaderFields h = Fields();
  h.lastId = std::max(h.lastId, id);
  PutFields(h);
  DbSlot s = Slot(slot);
  s.id = id;
  s.length = length;
  if (slot != head) {
    DbSlot hd = Slot(head);
    s.next = hd.next;
    hd.next = static_cast<uint16_t>(slot);
    PutSlot(head, hd);
  } else {
    s.next = 0;
  }
  PutSlot(slot, s);
  r.id = id;
  return slot;
}

// ---- operations ---------------------------------------------------------------------------

bool CanChange() {
  ContainerState& c = C();
  if (c.mode != kDbModeWrite) {
    ShowDataAccessError(kDbErrReadOnly, c.callerCode);
    return false;
  }
  if (c.damaged) {
    ShowDamagedOnce(c.path, false);
    return false;
  }
  return true;
}

// Finds as op 1 does and gives the request the id and flag byte found; the slot or kNone.
uint32_t FindInto(DbRequest& r) {
  if (!ValidRequest(r)) return kNone;
  Found f = FindSlot(r, r.id, (r.mode & kDbFindNext) != 0);
  if (f.slot == kNone) return kNone;
  DbSlot s = Slot(f.slot);
  r.id = s.id;
  r.mode = static_cast<uint16_t>((r.mode & 0xF00) | s.flag);
  return f.slot;
}

int Find(DbRequest& r) { return FindInto(r) != kNone; }

int Read(DbRequest& r) {
  r.block.clear();
  uint32_t slot = FindInto(r);
  if (slot == kNone) return 0;
  ContainerState& c = C();
  DbSlot s = Slot(slot);
  std::vector<uint8_t> block(s.type == kDbTypeSchedItem ? kSchedItemSize : s.length, 0);
  if (s.length < 3 || s.length > block.size() || !c.file.ReadAt(s.offset, block.data(), s.length)) return 0;
  if (ReadU16LE(block.data()) != s.length || block[2] != s.type) {
    // The record does not match its slot: the file is damaged after all.
    if (!c.damaged) MarkDamaged();
    c.badRecord[slot] = 1;
    return 0;
  }
  if (s.type == kDbTypeSchedItem && s.length < kSchedItemSize)
    block[kOldSchedItemSize] = static_cast<uint8_t>(ComputerZoneIndex());
  r.block = std::move(block);
  return 1;
}

int Write(DbRequest& r) {
  if (!CanChange() || !ValidRequest(r) || r.block.size() < 3) return 0;
  uint16_t length = ReadU16LE(r.block.data());
  if (length < 3 || length > r.block.size() || r.block[2] != r.type) return 0;
  if (r.type == kDbTypeSchedItem && length > kSchedItemSize) return 0;
  ContainerState& c = C();
  BeginChange();
  uint32_t slot = kNone;
  bool allocated = false;
  if (r.id != 0) {
    Found f = FindSlot(r, r.id, false);
    if (f.slot != kNone && Slot(f.slot).length == length) slot = f.slot;
    else if (f.slot != kNone && !FreeSlot(f)) return Rollback(), 0;
  }
  if (slot == kNone) {
    slot = Allocate(r, length);
    if (slot == kNone) return Rollback(), 0;
    allocated = true;
  }
  DbSlot s = Slot(slot);
  s.flag = static_cast<uint8_t>(r.mode & 0xFF);
  if (!c.file.WriteAt(s.offset, r.block.data(), length)) return Rollback(), 0;
  c.fileSize = std::max<uint64_t>(c.fileSize, uint64_t{s.offset} + length);
  if (allocated || r.type == kDbTypeSchedItem) {
    s.type = r.block[2];
    PutSlot(slot, s);
    if (!FlushHeader()) return Rollback(), 0;
  } else {
    PutSlot(slot, s);
  }
  r.id = s.id;
  EndChange();
  return 1;
}

int Delete(DbRequest& r) {
  if (!CanChange() || !ValidRequest(r)) return 0;
  Found f = FindSlot(r, r.id, false);
  if (f.slot == kNone) return 1;
  DbSlot s = Slot(f.slot);
  if (r.id != 0 && s.id != r.id) return 0;
  r.id = s.id;
  r.mode = static_cast<uint16_t>(kDbListing | s.flag);
  BeginChange();
  if (!FreeSlot(f) || !FlushHeader()) return Rollback(), 0;
  EndChange();
  return 1;
}

}  // namespace

int DbOpenFile(int mode, const std::string& path, int callerCode) {
  ContainerState& c = C();
  if (c.file.IsOpen()) {
    ShowDataAccessError(kDbErrContainerOpen, c.callerCode);
    return 0;
  }
  auto fail = [&c]() {
    c.callerCode = kCallerOpenFailed;
    return 0;
  };
  BinaryFile file;
  int64_t size = 0;
  bool fresh = false;
  std::vector<uint8_t> header = NewContainerHeader();
  if (!OpenStoreFile(mode, path, header, false, &file, &size, &fresh)) return fail();
  ContainerCheck check;
  if (!fresh) {
    std::vector<uint8_t> first(static_cast<size_t>(std::min<int64_t>(size, kDbBlock)));
    if (!file.ReadAt(0, first.data(), first.size())) return fail();
    ContainerHeaderLook look = LookAtContainerHeader(first, static_cast<uint64_t>(size));
    if (look.headerBytes == 0) return ShowHeaderCheckFailed(path, false), fail();
    header.resize(look.headerBytes);
    if (!file.ReadAt(0, header.data(), header.size())) return fail();
    check = CheckContainer(header, static_cast<uint64_t>(size), [&file](uint64_t offset, uint8_t* buffer, size_t n) {
      return file.ReadAt(offset, buffer, n);
    });
    if (!check.Sound()) {
      if (mode == kDbModeWrite) return ShowHeaderCheckFailed(path, false), fail();
      ShowDamagedOnce(path, false);
    }
  }
  uint32_t capacity = ParseDbHeaderFields(header.data()).capacity;
  c.file = std::move(file);
  c.path = path;
  c.mode = mode;
  c.monthKey = 0;
  c.storeSelector = 0;
  c.callerCode = callerCode;
  c.header = std::move(header);
  c.fileSize = static_cast<uint64_t>(size);
  c.damaged = !check.Sound();
  c.walkNext = c.damaged ? std::move(check.walkNext) : std::vector<uint16_t>();
  c.badRecord = c.damaged ? std::move(check.badRecord) : std::vector<uint8_t>();
  c.dirtySlots.clear();
  c.dirtyMark.assign(capacity, 0);
  c.undoSlots.clear();
  c.undoMark.assign(capacity, 0);
  c.headerWritten = false;
  if (mode == kDbModeWrite) BeginStoreSession(c.file, c.journal, path, c.fileSize);
  return 1;
}

int DbOpen(int mode, uint32_t monthKey, int callerCode) {
  ContainerState& c = C();
  if (c.file.IsOpen()) {
    ShowDataAccessError(kDbErrContainerOpen, c.callerCode);
    return 0;
  }
  int selector = Store().storeSelector;
  std::string path = monthKey ? MonthFilePath(monthKey) : NotesFilePath(selector);
  if (path.empty()) {
    c.callerCode = kCallerOpenFailed;
    return 0;
  }
  if (!DbOpenFile(mode, path, callerCode)) return 0;
  c.monthKey = monthKey;
  c.storeSelector = monthKey ? 0 : selector;
  return 1;
}

int DbClose() {
  ContainerState& c = C();
  if (!c.file.IsOpen()) {
    ShowDataAccessError(kDbErrCloseNone, 0);
    return 1;
  }
  int callerCode = c.callerCode;
  EndStoreSession(c.file, c.journal, c.damaged);
  c = ContainerState{};
  c.callerCode = callerCode;
  return 1;
}

int DbAccess(int op, DbRequest& request) {
  if (!C().file.IsOpen()) {
    ShowDataAccessError(kDbErrNoContainer, 0);
    return 0;
  }
  switch (op) {
    case kDbFind: return Find(request);
    case kDbRead: return Read(request);
    case kDbWrite: return Write(request);
    case kDbDelete: return Delete(request);
    default: return 0;
  }
}

int DbGrow() {
  if (!C().file.IsOpen()) {
    ShowDataAccessError(kDbErrNoContainer, 0);
    return 0;
  }
  if (!CanChange()) return 0;
  BeginChange();
  bool grown = GrowHeader();
  EndChange();
  return grown ? 1 : 0;
}

bool DbIsOpen() { return C().file.IsOpen(); }
int DbCallerCode() { return C().callerCode; }
bool DbIsDamaged() { return C().file.IsOpen() && C().damaged; }

DbListingPause::DbListingPause() {
  ContainerState& c = C();
  if (!c.file.IsOpen()) return;
  wasOpen_ = true;
  mode_ = c.mode;
  monthKey_ = c.monthKey;
  storeSelector_ = c.storeSelector;
  path_ = c.path;
  DbClose();
}

DbListingPause::~DbListingPause() {
  if (!wasOpen_) return;
  if (!DbOpenFile(mode_, path_, kCallerReopen)) return;
  C().monthKey = monthKey_;
  C().storeSelector = storeSelector_;
}

}  // namespace kv
