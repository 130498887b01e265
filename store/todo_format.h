// The to-do file's on-disk layout and its checks.
//
// Layout: 30 bytes of fields, then 12-byte slots 1 ... capacity (activate key, sort key, next,
// previous; sort key 0 = free) forming a doubly linked list in ascending sort key order, then
// the 59-byte item records, the item of slot s at 30 + 12 x capacity + 59 x (s - 1).
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kv {

constexpr uint32_t kToDoFieldsSize = 30;
constexpr uint32_t kToDoSlotSize = 12;
constexpr uint16_t kToDoFirstCapacity = 61;
constexpr uint16_t kToDoSlotsPerGrowth = 64;   // 64 x 12 = 768 bytes
constexpr uint32_t kToDoNewFileSize = 762;     // 30 + 12 x 61
constexpr uint32_t kToDoGrowthBytes = kToDoSlotsPerGrowth * kToDoSlotSize;
constexpr size_t kToDoItemSize = 59;

struct ToDoHeaderFields {
  uint16_t version = 7;
  uint16_t count = 0;
  uint16_t capacity = kToDoFirstCapacity;
  uint16_t head = 0;   // 1-based slot, 0 = empty list
  friend bool operator==(const ToDoHeaderFields&, const ToDoHeaderFields&) = default;
};

struct ToDoSlot {
  uint32_t activate = 0;   // MinuteKey of the activate date at 00:00
  uint32_t sortKey = 0;    // MinuteKey of the required date and time; 0 = free slot
  uint16_t next = 0;       // 1-based, 0 = end
  uint16_t prev = 0;       // 1-based, 0 = none
  friend bool operator==(const ToDoSlot&, const ToDoSlot&) = default;
};

ToDoHeaderFields ParseToDoHeaderFields(const uint8_t* p);
void SerializeToDoHeaderFields(const ToDoHeaderFields& h, uint8_t* p);   // magic included
ToDoSlot ParseToDoSlot(const uint8_t* p);
void SerializeToDoSlot(const ToDoSlot& s, uint8_t* p);

inline uint32_t ToDoSlotOffset(uint32_t slot) { return kToDoFieldsSize + kToDoSlotSize * (slot - 1); }
inline uint32_t ToDoHeaderSize(uint32_t capacity) { return kToDoFieldsSize + kToDoSlotSize * capacity; }
inline uint64_t ToDoItemOffset(uint32_t capacity, uint32_t slot) {
  return ToDoHeaderSize(capacity) + uint64_t{kToDoItemSize} * (slot - 1);
}

std::vector<uint8_t> NewToDoHeader();   // the 762 bytes of a new file

// The first look: the header size to read (30 + 12 x capacity), or 0 and the reason when the
// file cannot be used at all.
struct ToDoHeaderLook {
  size_t headerBytes = 0;
  std::string problem;
};
ToDoHeaderLook LookAtToDoHeader(std::span<const uint8_t> first, uint64_t fileSize);

// Every invariant of a to-do file whose header passed the first look: the list inside the slot
// range without loops, back links matching, keys ascending, every used slot listed, the count
// right and every listed item inside the file.
struct ToDoCheck {
  std::vector<std::string> problems;
  size_t problemCount = 0;
  std::vector<uint16_t> walkNext;   // by slot: the next slot to follow (index 0: the first), 0 ends
  std::vector<uint8_t> badItem;     // by slot: the item cannot be read
  bool Sound() const { return problemCount == 0; }
};
ToDoCheck CheckToDo(std::span<const uint8_t> header, uint64_t fileSize);

}  // namespace kv
