#include "store/todo_format.h"

#include <cstring>

#include "base/bytes.h"
#include "store/container_format.h"

namespace kv {

ToDoHeaderFields ParseToDoHeaderFields(const uint8_t* p) {
  ToDoHeaderFields h;
  h.version = ReadU16LE(p + 6);
  h.count = ReadU16LE(p + 8);
  h.capacity = ReadU16LE(p + 10);
  h.head = ReadU16LE(p + 12);
  return h;
}

void SerializeToDoHeaderFields(const ToDoHeaderFields& h, uint8_t* p) {
  std::memcpy(p, kDbMagic, sizeof kDbMagic);
  PutU16LE(p + 6, h.version);
  PutU16LE(p + 8, h.count);
  PutU16LE(p + 10, h.capacity);
  PutU16LE(p + 12, h.head);
  std::memset(p + 14, 0, 16);
}

ToDoSlot ParseToDoSlot(const uint8_t* p) {
  return ToDoSlot{ReadU32LE(p), ReadU32LE(p + 4), ReadU16LE(p + 8), ReadU16LE(p + 10)};
}

void SerializeToDoSlot(const ToDoSlot& s, uint8_t* p) {
  PutU32LE(p, s.activate);
  PutU32LE(p + 4, s.sortKey);
  PutU16LE(p + 8, s.next);
  PutU16LE(p + 10, s.prev);
}

std::vector<uint8_t> NewToDoHeader() {
  std::vector<uint8_t> header(kToDoNewFileSize, 0);
  SerializeToDoHeaderFields(ToDoHeaderFields{}, header.data());
  return header;
}

ToDoHeaderLook LookAtToDoHeader(std::span<const uint8_t> first, uint64_t fileSize) {
  ToDoHeaderLook look;
  if (fileSize < kToDoNewFileSize || first.size() < kToDoNewFileSize) {
    look.problem = "the file is " + std::to_string(fileSize) + " bytes long, shorter than a 762-byte header";
    return look;
  }
  if (std::memcmp(first.data(), kDbMagic, sizeof kDbMagic) != 0) {
    look.problem = "the file does not begin with the magic \"ORBDB\"";
    return look;
  }
  ToDoHeaderFields h = ParseToDoHeaderFields(first.data());
  if (h.capacity < kToDoFirstCapacity || (h.capacity - kToDoFirstCapacity) % kToDoSlotsPerGrowth != 0) {
    look.problem = "slot capacity " + std::to_string(h.capacity) + " is not 61 plus a multiple of 64";
    return look;
  }
  if (ToDoHeaderSize(h.capacity) > fileSize) {
    look.problem = "the header of " + std::to_string(ToDoHeaderSize(h.capacity)) + " bytes is longer than the file (" +
                   std::to_string(fileSize) + " bytes)";
    return look;
  }
  look.headerBytes = ToDoHeaderSize(h.capacity);
  return look;
}

ToDoCheck CheckToDo(std::span<const uint8_t> header, uint64_t fileSize) {
  ToDoCheck out;
  auto problem = [&out](std::string text) { AddProblem(out.problems, out.problemCount, std::move(text)); };
  auto S = [](uint64_t n) { return std::to_string(n); };
  if (header.size() < kToDoNewFileSize) {
    problem("the header is incomplete");
    return out;
  }
  ToDoHeaderFields h = ParseToDoHeaderFields(header.data());
  uint32_t capacity = h.capacity;
  if (header.size() < ToDoHeaderSize(capacity)) {
    problem("the header holds fewer bytes than its " + S(capacity) + " slots need");
    return out;
  }
  auto slot = [&header](uint32_t s) { return ParseToDoSlot(header.data() + ToDoSlotOffset(s)); };
  out.walkNext.assign(capacity + 1, 0);
  out.badItem.assign(capacity + 1, 0);
  if (h.version != 7) problem("version is " + S(h.version) + ", not 7");
  if (h.count > capacity) problem("item count " + S(h.count) + " is above the capacity " + S(capacity));

  std::vector<uint8_t> listed(capacity + 1, 0);
  uint32_t listedCount = 0;
  uint32_t prev = 0;
  uint32_t prevKey = 0;
  for (uint32_t cur = h.head; cur != 0;) {
    if (cur > capacity) {
      problem((prev ? "slot " + S(prev) + " links to slot " : std::string("the list head is slot ")) + S(cur) +
              ", outside 1 ... " + S(capacity));
      break;
    }
    if (listed[cur]) {
      problem("the list reaches slot " + S(cur) + " a second time (a loop)");
      break;
    }
    ToDoSlot s = slot(cur);
    if (s.sortKey == 0) {
      problem("listed slot " + S(cur) + " is free (sort key 0)");
      break;
    }
    listed[cur] = 1;
    ++listedCount;
    out.walkNext[prev] = static_cast<uint16_t>(cur);   // index 0: the first slot
    if (s.prev != prev) problem("slot " + S(cur) + " links back to slot " + S(s.prev) + ", not " + S(prev));
    if (prev && s.sortKey < prevKey)
      problem("slot " + S(cur) + " has sort key " + S(s.sortKey) + ", below the key " + S(prevKey) + " before it");
    if (ToDoItemOffset(capacity, cur) + kToDoItemSize > fileSize) {
      problem("the item of slot " + S(cur) + " lies beyond the end of the file");
      out.badItem[cur] = 1;
    }
    prev = cur;
    prevKey = s.sortKey;
    cur = s.next;
  }
  if (listedCount != h.count) problem("the list holds " + S(listedCount) + " items, the header counts " + S(h.count));
  for (uint32_t s = 1; s <= capacity; ++s)
    if (!listed[s] && slot(s).sortKey != 0) problem("slot " + S(s) + " holds an item but is not in the list");
  return out;
}

}  // namespace kv
