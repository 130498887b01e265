#include "store/container_format.h"

#include <algorithm>
#include <cstring>

#include "base/bytes.h"

namespace kv {

const char kDbMagic[6] = {'O', 'R', 'B', 'D', 'B', 0};

DbHeaderFields ParseDbHeaderFields(const uint8_t* p) {
  DbHeaderFields h;
  h.version = ReadU16LE(p + 6);
  h.capacity = ReadU16LE(p + 8);
  h.slotsInUse = ReadU16LE(p + 10);
  h.freeHead = ReadU16LE(p + 12);
  h.lastId = ReadU16LE(p + 14);
  h.endOfData = ReadU32LE(p + 16);
  h.growths = ReadU16LE(p + 20);
  return h;
}

void SerializeDbHeaderFields(const DbHeaderFields& h, uint8_t* p) {
  std::memcpy(p, kDbMagic, sizeof kDbMagic);
  PutU16LE(p + 6, h.version);
  PutU16LE(p + 8, h.capacity);
  PutU16LE(p + 10, h.slotsInUse);
  PutU16LE(p + 12, h.freeHead);
  PutU16LE(p + 14, h.lastId);
  PutU32LE(p + 16, h.endOfData);
  PutU16LE(p + 20, h.growths);
  std::memset(p + 22, 0, 8);
}

DbSlot ParseDbSlot(const uint8_t* p) {
  DbSlot s;
  s.id = ReadU16LE(p);
  s.length = ReadU16LE(p + 2);
  s.offset = ReadU32LE(p + 4);
  s.next = ReadU16LE(p + 8);
  s.type = ReadU8(p + 10);
  s.flag = ReadU8(p + 11);
  return s;
}

void SerializeDbSlot(const DbSlot& s, uint8_t* p) {
  PutU16LE(p, s.id);
  PutU16LE(p + 2, s.length);
  PutU32LE(p + 4, s.offset);
  PutU16LE(p + 8, s.next);
  PutU8(p + 10, s.type);
  PutU8(p + 11, s.flag);
}

std::vector<uint8_t> NewContainerHeader() {
  std::vector<uint8_t> header(kDbBlock, 0);
  SerializeDbHeaderFields(DbHeaderFields{}, header.data());
  return header;
}

std::vector<uint8_t> SerializeNoteRecord(uint8_t type, std::string_view text) {
  size_t max = 0xFFFF - kNoteTextOffset - 1;
  if (text.size() > max) text = text.substr(0, max);
  std::vector<uint8_t> record(text.size() + kNoteTextOffset + 1, 0);
  PutU16LE(record.data(), static_cast<uint16_t>(record.size()));
  record[2] = type;
  std::memcpy(record.data() + kNoteTextOffset, text.data(), text.size());
  return record;
}

std::optional<std::string> ParseNoteText(std::span<const uint8_t> record) {
  if (record.size() < kNoteTextOffset + 1 || ReadU16LE(record.data()) != record.size()) return std::nullopt;
  return ReadFixedText(record.data() + kNoteTextOffset, record.size() - kNoteTextOffset);
}

void AddProblem(std::vector<std::string>& problems, size_t& count, std::string text) {
  if (problems.size() < kDbMaxProblems) problems.push_back(std::move(text));
  ++count;
}

std::vector<std::string> ProblemReport(const std::vector<std::string>& problems, size_t count) {
  std::vector<std::string> report = problems;
  if (count > problems.size()) report.push_back("... and " + std::to_string(count - problems.size()) + " more");
  return report;
}

ContainerHeaderLook LookAtContainerHeader(std::span<const uint8_t> first, uint64_t fileSize) {
  ContainerHeaderLook look;
  if (fileSize < kDbBlock || first.size() < kDbBlock) {
    look.problem = "the file is " + std::to_string(fileSize) + " bytes long, shorter than a 1536-byte header";
    return look;
  }
  if (std::memcmp(first.data(), kDbMagic, sizeof kDbMagic) != 0) {
    look.problem = "the file does not begin with the magic \"ORBDB\"";
    return look;
  }
  DbHeaderFields h = ParseDbHeaderFields(first.data());
  uint32_t expected = kDbFirstCapacity + uint32_t{kDbSlotsPerGrowth} * h.growths;
  if (h.capacity != expected) {
    look.problem = "slot capacity " + std::to_string(h.capacity) + " does not match " + std::to_string(h.growths) +
                   " growths (" + std::to_string(expected) + " expected)";
    return look;
  }
  if (DbHeaderSize(h.growths) > fileSize) {
    look.problem = "the header of " + std::to_string(DbHeaderSize(h.growths)) + " bytes is longer than the file (" +
                   std::to_string(fileSize) + " bytes)";
    return look;
  }
  look.headerBytes = std::max<size_t>(kDbBlock, DbHeaderWriteSize(h.capacity));
  return look;
}

namespace {

// What a slot belongs to while the check walks the chains and the free list.
enum Owner : uint8_t { kNone = 0, kChain = 1, kFreeList = 2 };

struct Extent {
  uint64_t begin, end;
  uint32_t slot;
  bool hole;
};

struct Checker {
  std::span<const uint8_t> header;
  uint64_t fileSize = 0;
  DbHeaderFields h;
  uint64_t dataStart = 0;
  uint32_t bound = 0;     // slots 0 ... bound-1 may be linked
  ContainerCheck out;
  std::vector<uint8_t> owner;
  std::vector<Extent> extents;
  std::vector<std::pair<uint16_t, uint32_t>> ids;   // (id, slot) of live records
  std::vector<uint32_t> prefixes;                   // live slots whose record start to read

  DbSlot Slot(uint32_t i) const { return ParseDbSlot(header.data() + DbSlotOffset(i)); }
  void Problem(std::string text) { AddProblem(out.problems, out.problemCount, std::move(text)); }
  static std::string S(uint64_t n) { return std::to_string(n); }

  void CheckFields() {
    dataStart = DbHeaderSize(h.growths);
    if (h.version != kDbVersion) Problem("version is " + S(h.version) + ", not 7");
    if (h.slotsInUse < kDbChains || h.slotsInUse > h.capacity)
      Problem("slots in use " + S(h.slotsInUse) + " outside 31 ... " + S(h.capacity));
    bound = std::clamp<uint32_t>(h.slotsInUse, kDbChains, h.capacity);
    if (h.endOfData < dataStart) Problem("end of data " + S(h.endOfData) + " lies inside the header (" + S(dataStart) + " bytes)");
    if (h.endOfData > fileSize) Problem("end of data " + S(h.endOfData) + " lies beyond the end of the file (" + S(fileSize) + ")");
  }

  // A live record's slot: its id, its length and its place in the data region.
  void CheckLive(uint32_t i, const DbSlot& s) {
    bool bad = false;
    if (s.id == 0) Problem("slot " + S(i) + " holds a record of type " + S(s.type) + " without an id"), bad = true;
    else if (s.id > h.lastId) Problem("slot " + S(i) + " has id " + S(s.id) + ", above the last id " + S(h.lastId));
    if (s.length < 3) Problem("slot " + S(i) + " has length " + S(s.length) + ", too short for a record"), bad = true;
    if (s.type == kDbTypeSchedItem && s.length > kSchedItemSize)
      Problem("slot " + S(i) + " holds a schedule item of " + S(s.length) + " bytes, more than 64"), bad = true;
    // A record outside the file cannot be read; one merely past the end of data can.
    uint64_t end = uint64_t{s.offset} + s.length;
    if (s.offset < dataStart || end > fileSize) {
      Problem("slot " + S(i) + " places its record at " + S(s.offset) + " ... " + S(end) + ", outside the data region " +
              S(dataStart) + " ... " + S(fileSize));
      bad = true;
    } else {
      if (end > h.endOfData) Problem("slot " + S(i) + " places its record past the end of data " + S(h.endOfData));
      if (s.length > 0) extents.push_back({s.offset, end, i, false});
    }
    if (s.id != 0) ids.emplace_back(s.id, i);
    if (bad) out.badRecord[i] = 1;
    else prefixes.push_back(i);
  }

  void WalkChains() {
    for (uint32_t head = 0; head < kDbChains; ++head) {
      owner[head] = kChain;
      DbSlot s = Slot(head);
      if (s.type == kDbTypeEmpty) {
        if (s.next != 0) Problem("chain " + S(head) + " has an empty head with a successor (slot " + S(s.next) + ")");
        continue;
      }
      if (s.type == kDbTypeFree) {
        Problem("chain head " + S(head) + " is marked as free space");
        out.badRecord[head] = 1;
        continue;
      }
      CheckLive(head, s);
      for (uint32_t cur = head, steps = 0;; ++steps) {
        uint32_t next = Slot(cur).next;
        if (next == 0) break;
        if (next < kDbChains || next >= bound) {
          Problem("slot " + S(cur) + " of chain " + S(head) + " links to slot " + S(next) + ", outside 31 ... " + S(bound - 1));
          break;
        }
        if (owner[next] != kNone) {
          Problem("chain " + S(head) + " runs into slot " + S(next) + " a second time (a loop or a joined chain)");
          break;
        }
        owner[next] = kChain;
        DbSlot n = Slot(next);
        if (n.type == kDbTypeEmpty || n.type == kDbTypeFree) {
          Problem("slot " + S(next) + " in chain " + S(head) + " has type " + S(n.type));
          out.badRecord[next] = 1;
          break;
        }
        out.walkNext[cur] = static_cast<uint16_t>(next);
        CheckLive(next, n);
        cur = next;
      }
    }
  }

  void WalkFreeList() {
    if (h.freeHead == 0) return;
    uint32_t i = h.freeHead - 1u;
    uint32_t previousLength = 0;
    while (true) {
      if (i < kDbChains || i >= bound) {
        Problem("the free list reaches slot " + S(i) + ", outside 31 ... " + S(bound - 1));
        return;
      }
      if (owner[i] != kNone) {
        Problem("free-list slot " + S(i) + (owner[i] == kChain ? " is also in a chain" : " is reached twice (a loop)"));
        return;
      }
      owner[i] = kFreeList;
      DbSlot s = Slot(i);
      if (s.type != kDbTypeFree) Problem("free-list slot " + S(i) + " has type " + S(s.type) + ", not 15");
      if (s.length < previousLength)
        Problem("the free list is not in ascending length order at slot " + S(i) + " (" + S(s.length) + " after " + S(previousLength) + ")");
      previousLength = s.length;
      uint64_t end = uint64_t{s.offset} + s.length;
      if (s.length > 0) {
        if (s.offset < dataStart || end > h.endOfData)
          Problem("free-list slot " + S(i) + " places its hole at " + S(s.offset) + " ... " + S(end) + ", outside the data region");
        else extents.push_back({s.offset, end, i, true});
      }
      if (s.next == 0) return;
      i = s.next;
    }
  }

  void CheckUnreached() {
    for (uint32_t i = kDbChains; i < h.capacity; ++i) {
      if (owner[i] != kNone) continue;
      const uint8_t* p = header.data() + DbSlotOffset(i);
      if (i < bound) {
        uint8_t type = p[10];
        if (type != kDbTypeEmpty) Problem("slot " + S(i) + " of type " + S(type) + " is in no chain and not on the free list");
      } else if (std::any_of(p, p + kDbSlotSize, [](uint8_t b) { return b != 0; })) {
        Problem("slot " + S(i) + ", never used, is not empty");
      }
    }
  }

  void CheckIdsAndOverlaps() {
    std::sort(ids.begin(), ids.end());
    for (size_t k = 1; k < ids.size(); ++k)
      if (ids[k].first == ids[k - 1].first)
        Problem("id " + S(ids[k].first) + " is used by slots " + S(ids[k - 1].second) + " and " + S(ids[k].second));
    std::sort(extents.begin(), extents.end(), [](const Extent& a, const Extent& b) { return a.begin < b.begin; });
    const Extent* widest = nullptr;
    for (const Extent& e : extents) {
      if (widest && e.begin < widest->end)
        Problem(std::string(e.hole ? "hole" : "record") + " of slot " + S(e.slot) + " at " + S(e.begin) + " overlaps the " +
                (widest->hole ? "hole" : "record") + " of slot " + S(widest->slot) + " (" + S(widest->begin) + " ... " +
                S(widest->end) + ")");
      if (!widest || e.end > widest->end) widest = &e;
    }
  }

  // Reads the first 3 bytes of every live record, in file order through one window buffer.
  void CheckRecordStarts(const FileReader& read) {
    std::sort(prefixes.begin(), prefixes.end(),
              [this](uint32_t a, uint32_t b) { return Slot(a).offset < Slot(b).offset; });
    constexpr size_t kWindow = 64 * 1024;
    std::vector<uint8_t> window;
    uint64_t windowStart = 0;
    for (uint32_t i : prefixes) {
      DbSlot s = Slot(i);
      if (s.offset < windowStart || s.offset + 3 > windowStart + window.size()) {
        windowStart = s.offset;
        window.resize(static_cast<size_t>(std::min<uint64_t>(kWindow, fileSize - s.offset)));
        if (window.size() < 3 || !read(windowStart, window.data(), window.size())) {
          window.clear();
          Problem("the record of slot " + S(i) + " at " + S(s.offset) + " cannot be read");
          out.badRecord[i] = 1;
          continue;
        }
      }
      const uint8_t* p = window.data() + (s.offset - windowStart);
      uint16_t length = ReadU16LE(p);
      uint8_t type = p[2];
      if (length != s.length || type != s.type) {
        Problem("the record of slot " + S(i) + " at " + S(s.offset) + " says length " + S(length) + " and type " + S(type) +
                ", its slot length " + S(s.length) + " and type " + S(s.type));
        out.badRecord[i] = 1;
      }
    }
  }
};

}  // namespace

ContainerCheck CheckContainer(std::span<const uint8_t> header, uint64_t fileSize, const FileReader& read) {
  Checker c;
  c.header = header;
  c.fileSize = fileSize;
  c.h = ParseDbHeaderFields(header.data());
  uint32_t capacity = c.h.capacity;
  if (header.size() < DbSlotOffset(capacity)) {
    c.Problem("the header holds fewer bytes than its " + Checker::S(capacity) + " slots need");
    c.out.walkNext.assign(capacity, 0);
    c.out.badRecord.assign(capacity, 1);
    return std::move(c.out);
  }
  c.out.walkNext.assign(capacity, 0);
  c.out.badRecord.assign(capacity, 0);
  c.owner.assign(capacity, kNone);
  c.CheckFields();
  c.WalkChains();
  c.WalkFreeList();
  c.CheckUnreached();
  c.CheckIdsAndOverlaps();
  c.CheckRecordStarts(read);
  return std::move(c.out);
}

}  // namespace kv
