// The indexed record container's on-disk layout: header fields, the 12-byte index slots, note
// records, and the checks that decide whether a container can be trusted.
//
// Layout: a header of (E + 1) x 1536 bytes (E = growths so far) holding 30 bytes of fields and
// the index slots; then the data region of variable-length records, each beginning with its
// total length (16 bits) and its type byte. Slots 0 to 30 head 31 chains (a day of the month, or
// id mod 31); deleted space sits in a free list of type-15 slots in ascending length order.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

constexpr uint16_t kDbVersion = 7;
constexpr uint32_t kDbBlock = 1536;           // header block; a new file is one block
constexpr uint16_t kDbFirstCapacity = 124;    // slots of a new file
constexpr uint16_t kDbSlotsPerGrowth = 128;   // 128 x 12 = 1536
constexpr uint16_t kDbChains = 31;            // slots 0 ... 30 are chain heads
constexpr uint32_t kDbFieldsSize = 30;        // header fields before slot 0
constexpr uint32_t kDbSlotSize = 12;
constexpr size_t kDbMaxProblems = 200;        // a report lists at most this many problems

// Record types.
constexpr uint8_t kDbTypeEmpty = 0;
constexpr uint8_t kDbTypeDayNote = 1;       // month file, by day
constexpr uint8_t kDbTypeItemNote = 2;      // month file, by day
constexpr uint8_t kDbTypeToDoNote = 3;      // "ToDo.kvdb", by id
constexpr uint8_t kDbTypeSchedItem = 4;     // month file, by day; exactly 64 bytes
constexpr uint8_t kDbTypePhoneNote = 5;     // "PhoneBk.kvdb", by id
constexpr uint8_t kDbTypeFree = 15;         // a hole on the free list

constexpr uint16_t kSchedItemSize = 64;
constexpr uint16_t kOldSchedItemSize = 62;  // items written before they carried a time zone
constexpr uint32_t kNoteTextOffset = 11;

extern const char kDbMagic[6];  // "ORBDB" and its zero byte

// The fields at the start of a container header.
struct DbHeaderFields {
  uint16_t version = kDbVersion;
  uint16_t capacity = kDbFirstCapacity;
  uint16_t slotsInUse = kDbChains;   // high-water mark: the next never-used slot
  uint16_t freeHead = 0;             // free list head: slot index + 1, 0 = empty
  uint16_t lastId = 0;
  uint32_t endOfData = kDbBlock;
  uint16_t growths = 0;
  friend bool operator==(const DbHeaderFields&, const DbHeaderFields&) = default;
};

// One 12-byte index slot.
struct DbSlot {
  uint16_t id = 0;
  uint16_t length = 0;
  uint32_t offset = 0;
  uint16_t next = 0;    // next slot in the chain or free list; 0 = end
  uint8_t type = 0;
  uint8_t flag = 0;
  friend bool operator==(const DbSlot&, const DbSlot&) = default;
};

// The magic is not part of the fields; Parse reads offsets 6 ... 21, Serialize writes 0 ... 29.
DbHeaderFields ParseDbHeaderFields(const uint8_t* p);
void SerializeDbHeaderFields(const DbHeaderFields& h, uint8_t* p);
DbSlot ParseDbSlot(const uint8_t* p);
void SerializeDbSlot(const DbSlot& s, uint8_t* p);

inline uint32_t DbSlotOffset(uint32_t index) { return kDbFieldsSize + kDbSlotSize * index; }
// Bytes of the header a header update writes: the fields, the slots and 11 bytes after them.
inline uint32_t DbHeaderWriteSize(uint32_t capacity) { return kDbSlotSize * capacity + 41; }
// Size of the header (where the data region starts) after E growths.
inline uint64_t DbHeaderSize(uint32_t growths) { return (uint64_t{growths} + 1) * kDbBlock; }

// The 1536-byte header of a new, empty container.
std::vector<uint8_t> NewContainerHeader();

// A note record: its length, its type, 8 zero bytes, then the text and its zero.
std::vector<uint8_t> SerializeNoteRecord(uint8_t type, std::string_view text);
// The text of a note record (up to its zero, never past the record); nothing when the record
// is too short to be a note or its length field disagrees with its size.
std::optional<std::string> ParseNoteText(std::span<const uint8_t> record);

// ---- checks ------------------------------------------------------------------------------

// Reads exactly n bytes at an offset of the file being checked.
using FileReader = std::function<bool(uint64_t offset, uint8_t* buffer, size_t n)>;

// The first look at a container: how many header bytes to hold in memory (the larger of one
// block and the slots' end), or nothing when the header cannot be used at all, with the reason.
// `first` holds the file's first bytes (at least one block unless the file is shorter).
struct ContainerHeaderLook {
  size_t headerBytes = 0;      // 0: refused
  std::string problem;
};
ContainerHeaderLook LookAtContainerHeader(std::span<const uint8_t> first, uint64_t fileSize);

// Every invariant of a container whose header passed the first look: chains and the free list
// inside the slot range and without loops, each slot in at most one of them, live records
// inside the data region with their length and type matching their slot, no two records or
// holes overlapping, holes in ascending length order, ids unique and not above the last id.
struct ContainerCheck {
  std::vector<std::string> problems;   // empty: the file is sound
  size_t problemCount = 0;             // all problems, listed or not
  // For reading a damaged file: the next slot to follow from each slot when walking a chain
  // (0 ends the walk before the damage), and the slots whose records must not be returned.
  std::vector<uint16_t> walkNext;
  std::vector<uint8_t> badRecord;
  bool Sound() const { return problemCount == 0; }
};
ContainerCheck CheckContainer(std::span<const uint8_t> header, uint64_t fileSize, const FileReader& read);

// Collects problems up to kDbMaxProblems and counts the rest.
void AddProblem(std::vector<std::string>& problems, size_t& count, std::string text);
// The listed problems with a closing line for those left out.
std::vector<std::string> ProblemReport(const std::vector<std::string>& problems, size_t count);

}  // namespace kv
