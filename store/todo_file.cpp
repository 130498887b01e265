#include "store/todo_file.h"

#include <algorithm>

#include "base/bytes.h"
#include "store/container.h"
#include "store/db_messages.h"
#include "store/store_state.h"

namespace kv {
namespace {

ToDoState& T() { return Store().todo; }

ToDoHeaderFields Fields() { return ParseToDoHeaderFields(T().header.data()); }
void PutFields(const ToDoHeaderFields& h) { SerializeToDoHeaderFields(h, T().header.data()); }
ToDoSlot Slot(uint32_t s) { return ParseToDoSlot(T().header.data() + ToDoSlotOffset(s)); }
void PutSlot(uint32_t s, const ToDoSlot& slot) { SerializeToDoSlot(slot, T().header.data() + ToDoSlotOffset(s)); }

bool InRange(uint32_t slot) { return slot >= 1 && slot <= Fields().capacity; }

bool CanWrite() {
  ToDoState& t = T();
  if (!t.file.IsOpen() || t.mode != kDbModeWrite) return false;
  if (t.damaged) {
    ShowDamagedOnce(t.path, true);
    return false;
  }
  return true;
}

bool WriteHeader() {
  ToDoState& t = T();
  return t.file.WriteAt(0, t.header.data(), t.header.size());
}

// Takes a slot out of the list, joining its neighbours.
void Unlink(uint32_t s) {
  ToDoSlot slot = Slot(s);
  if (slot.prev) {
    ToDoSlot p = Slot(slot.prev);
    p.next = slot.next;
    PutSlot(slot.prev, p);
  } else {
    ToDoHeaderFields h = Fields();
    h.head = slot.next;
    PutFields(h);
  }
  if (slot.next) {
    ToDoSlot n = Slot(slot.next);
    n.prev = slot.prev;
    PutSlot(slot.next, n);
  }
}

// Links a slot in before the first slot whose key is at least its own.
void Link(uint32_t s) {
  ToDoSlot slot = Slot(s);
  ToDoHeaderFields h = Fields();
  uint32_t prev = 0, cur = h.head;
  for (uint32_t steps = 0; cur != 0 && steps < h.capacity; ++steps) {
    if (Slot(cur).sortKey >= slot.sortKey) break;
    prev = cur;
    cur = Slot(cur).next;
  }
  slot.prev = static_cast<uint16_t>(prev);
  slot.next = static_cast<uint16_t>(cur);
  PutSlot(s, slot);
  if (prev) {
    ToDoSlot p = Slot(prev);
    p.next = static_cast<uint16_t>(s);
    PutSlot(prev, p);
  } else {
    h.head = static_cast<uint16_t>(s);
    PutFields(h);
  }
  if (cur) {
    ToDoSlot n = Slot(cur);
    n.prev = static_cast<uint16_t>(s);
    PutSlot(cur, n);
  }
}

bool Grow() {
  ToDoState& t = T();
  ToDoHeaderFields h = Fields();
  if (uint32_t{h.capacity} + kToDoSlotsPerGrowth > 0xFFFF) return false;
  uint64_t from = ToDoHeaderSize(h.capacity);
  uint64_t to = std::max(t.fileSize, from);
  // Claim the room first: a full disk fails here, before any item has moved.
  std::vector<uint8_t> room(kToDoGrowthBytes, 0);
  if (!t.file.WriteAt(to, room.data(), room.size())) return false;
  t.fileSize = to + kToDoGrowthBytes;
  bool wroteAny = false;
  bool ok = MoveRegionUp(t.file, from, to, kToDoGrowthBytes, wroteAny);
  if (!ok && !wroteAny) return false;
  std::vector<uint8_t> grown = t.header;
  grown.resize(ToDoHeaderSize(h.capacity + kToDoSlotsPerGrowth), 0);
  h.capacity = static_cast<uint16_t>(h.capacity + kToDoSlotsPerGrowth);
  SerializeToDoHeaderFields(h, grown.data());
  if (!ok || !t.file.WriteAt(0, grown.data(), grown.size())) {
    // Items may have moved under the old header: nothing more is written this session.
    t.damaged = true;
    t.walkNext = CheckToDo(t.header, t.fileSize).walkNext;
    return false;
  }
  t.header = std::move(grown);
  return true;
}

// Runs a change of the open file; on failure the header in memory is put back as it was.
template <typename Change>
bool Changing(Change change) {
  std::vector<uint8_t> saved = T().header;
  if (change()) return true;
  T().header = std::move(saved);
  return false;
}

}  // namespace

uint16_t ToDoItemNoteId(const ToDoItem& item) { return ReadU16LE(item.data() + 8); }
void SetToDoItemNoteId(ToDoItem& item, uint16_t noteId) { PutU16LE(item.data() + 8, noteId); }
MinuteKey ToDoItemCompletion(const ToDoItem& item) { return ReadU32LE(item.data() + 15); }
void SetToDoItemCompletion(ToDoItem& item, MinuteKey when) { PutU32LE(item.data() + 15, when); }

int ToDoStoreOpenFile(int mode, const std::string& path, int callerCode) {
  ToDoState& t = T();
  if (t.file.IsOpen()) {
    ShowDataAccessError(kDbErrToDoOpen, t.callerCode);
    return 0;
  }
  auto fail = [&t]() {
    t.callerCode = kCallerOpenFailed;
    return 0;
  };
  BinaryFile file;
  int64_t size = 0;
  bool fresh = false;
  std::vector<uint8_t> header = NewToDoHeader();
  if (!OpenStoreFile(mode, path, header, true, &file, &size, &fresh)) return fail();
  ToDoCheck check;
  if (!fresh) {
    std::vector<uint8_t> first(static_cast<size_t>(std::min<int64_t>(size, kToDoNewFileSize)));
    if (!file.ReadAt(0, first.data(), first.size())) return fail();
    ToDoHeaderLook look = LookAtToDoHeader(first, static_cast<uint64_t>(size));
    if (look.headerBytes == 0) return ShowHeaderCheckFailed(path, true), fail();
    header.resize(look.headerBytes);
    if (!file.ReadAt(0, header.data(), header.size())) return fail();
    check = CheckToDo(header, static_cast<uint64_t>(size));
    if (!check.Sound()) {
      if (mode == kDbModeWrite) return ShowHeaderCheckFailed(path, true), fail();
      ShowDamagedOnce(path, true);
    }
  }
  t.file = std::move(file);
  t.path = path;
  t.mode = mode;
  t.callerCode = callerCode;
  t.header = std::move(header);
  t.fileSize = static_cast<uint64_t>(size);
  t.damaged = !check.Sound();
  t.walkNext = t.damaged ? std::move(check.walkNext) : std::vector<uint16_t>();
  if (mode == kDbModeWrite) BeginStoreSession(t.file, t.journal, path, t.fileSize);
  return 1;
}

int ToDoStoreOpen(int mode, int callerCode) {
  if (T().file.IsOpen()) {
    ShowDataAccessError(kDbErrToDoOpen, T().callerCode);
    return 0;
  }
  return ToDoStoreOpenFile(mode, ToDoFilePath(), callerCode);
}

int ToDoStoreClose() {
  ToDoState& t = T();
  if (!t.file.IsOpen()) {
    ShowDataAccessError(kDbErrToDoClose, Store().container.callerCode);
    return 1;
  }
  int callerCode = t.callerCode;
  EndStoreSession(t.file, t.journal, t.damaged);
  t = ToDoState{};
  t.callerCode = callerCode;
  return 1;
}

bool ToDoStoreIsOpen() { return T().file.IsOpen(); }
bool ToDoStoreIsDamaged() { return T().file.IsOpen() && T().damaged; }
int ToDoCallerCode() { return T().callerCode; }

std::optional<ToDoItem> ToDoReadItem(uint16_t slot) {
  ToDoState& t = T();
  if (!t.file.IsOpen() || !InRange(slot)) return std::nullopt;
  uint64_t offset = ToDoItemOffset(Fields().capacity, slot);
  ToDoItem item;
  if (offset + kToDoItemSize > t.fileSize || !t.file.ReadAt(offset, item.data(), item.size())) return std::nullopt;
  return item;
}

int ToDoWriteItem(const ToDoItem& item, uint16_t slot) {
  ToDoState& t = T();
  if (!CanWrite() || !InRange(slot)) return 0;
  uint64_t offset = ToDoItemOffset(Fields().capacity, slot);
  if (!t.file.WriteAt(offset, item.data(), item.size())) return 0;
  t.fileSize = std::max(t.fileSize, offset + kToDoItemSize);
  return 1;
}

int ToDoStoreGrow() {
  if (!CanWrite()) return 0;
  return Changing(Grow) ? 1 : 0;
}

uint16_t ToDoInsertItem(MinuteKey activate, MinuteKey sortKey, const ToDoItem& item, uint16_t replaceSlot) {
  if (sortKey == 0) return 0;   // a sort key of 0 would mark the slot free
  if (!ToDoStoreOpen(kDbModeWrite, kCallerToDoInsert)) return 0;
  // A full file grows first; the growth is complete on disk before the item goes in.
  if (!replaceSlot && Fields().count >= Fields().capacity && !Grow()) {
    ToDoStoreClose();
    return 0;
  }
  uint16_t slot = 0;
  bool stored = Changing([&]() {
    ToDoHeaderFields h = Fields();
    if (replaceSlot) {
      // The edited item's slot must still hold an item: a stale slot could be another's now.
      if (!InRange(replaceSlot) || Slot(replaceSlot).sortKey == 0) return false;
      Unlink(replaceSlot);
      slot = replaceSlot;
    } else {
      for (uint32_t s = 1; s <= h.capacity && !slot; ++s)
        if (Slot(s).sortKey == 0) slot = static_cast<uint16_t>(s);
      if (!slot) return false;
    }
    ToDoSlot s = Slot(slot);
    s.activate = activate;
    s.sortKey = sortKey;
    PutSlot(slot, s);
    Link(slot);
    if (!ToDoWriteItem(item, slot)) return false;
    if (!replaceSlot) {
      h = Fields();
      h.count = static_cast<uint16_t>(h.count + 1);
      PutFields(h);
    }
    return WriteHeader();
  });
  ToDoStoreClose();
  return stored ? slot : 0;
}

int ToDoRemoveItem(uint16_t slot) {
  if (!ToDoStoreOpen(kDbModeWrite, kCallerToDoRemove)) return 0;
  bool removed = Changing([slot]() {
    if (!InRange(slot) || Slot(slot).sortKey == 0) return false;
    Unlink(slot);
    PutSlot(slot, ToDoSlot{});
    ToDoHeaderFields h = Fields();
    h.count = static_cast<uint16_t>(h.count - 1);
    PutFields(h);
    return WriteHeader();
  });
  ToDoStoreClose();
  return removed ? 1 : 0;
}

std::optional<MinuteKey> ToDoToggleDone(uint16_t slot, MinuteKey now) {
  if (!ToDoStoreOpen(kDbModeWrite, kCallerToDoToggle)) return std::nullopt;
  std::optional<MinuteKey> result;
  if (std::optional<ToDoItem> item = ToDoReadItem(slot); item && Slot(slot).sortKey != 0) {
    MinuteKey done = ToDoItemCompletion(*item) ? 0 : now;
    SetToDoItemCompletion(*item, done);
    if (ToDoWriteItem(*item, slot)) result = done;
  }
  ToDoStoreClose();
  return result;
}

std::vector<ToDoListed> ToDoListOrder() {
  ToDoState& t = T();
  std::vector<ToDoListed> list;
  if (!t.file.IsOpen()) return list;
  ToDoHeaderFields h = Fields();
  uint32_t cur = t.damaged ? t.walkNext[0] : h.head;
  for (uint32_t steps = 0; cur != 0 && cur <= h.capacity && steps < h.capacity; ++steps) {
    ToDoSlot s = Slot(cur);
    list.push_back({static_cast<uint16_t>(cur), s.activate, s.sortKey});
    cur = t.damaged ? t.walkNext[cur] : s.next;
  }
  return list;
}

}  // namespace kv
