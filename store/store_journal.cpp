#include "store/store_journal.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>

#include "base/bytes.h"

namespace kv {
namespace {

constexpr uint8_t kMagic[8] = {'K', 'V', 'J', 'R', 'N', 'L', 0, 0};
constexpr uint32_t kVersion = 1;
constexpr size_t kHeaderSize = 32;
constexpr size_t kRangeHead = 12;   // offset and length before a range's bytes
constexpr size_t kRangeTail = 4;    // its checksum after them

std::array<uint32_t, 256> MakeCrcTable() {
  std::array<uint32_t, 256> table{};
  for (uint32_t n = 0; n < 256; ++n) {
    uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}

uint32_t RangeCrc(uint32_t nonce, const uint8_t* range, size_t bytes) {
  uint8_t n[4];
  PutU32LE(n, nonce);
  return Crc32(range, kRangeHead + bytes, Crc32(n, 4));
}

// A number that differs from one journal to the next, so that a range left over from an older
// journal in the same disk blocks can never pass as one of this journal's.
uint32_t NewNonce() {
  static uint32_t counter = 0;
  auto now = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  uint8_t bytes[12];
  PutU64LE(bytes, now);
  PutU32LE(bytes + 8, ++counter);
  return Crc32(bytes, sizeof bytes);
}

}  // namespace

uint32_t Crc32(const uint8_t* data, size_t n, uint32_t crc) {
  static const std::array<uint32_t, 256> table = MakeCrcTable();
  crc = ~crc;
  for (size_t i = 0; i < n; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

std::string StoreJournalPath(const std::string& storePath) { return storePath + "-journal"; }

bool RecoverStoreJournal(const std::string& storePath) {
  std::string path = StoreJournalPath(storePath);
  if (!FileExists(path)) return true;
  std::string folder = FolderOfPath(storePath);
  std::vector<uint8_t> j;
  if (!ReadWholeFile(path, j, SIZE_MAX)) return false;
  bool headerSound = j.size() >= kHeaderSize && std::equal(kMagic, kMagic + sizeof kMagic, j.begin()) &&
                     ReadU32LE(j.data() + 8) == kVersion && ReadU32LE(j.data() + 28) == Crc32(j.data(), 28);
  BinaryFile store;
  if (!headerSound || !store.Open(storePath, BinaryFile::Access::ReadWrite)) {
    // The journal was cut short before the store was touched, or the store is gone.
    if (headerSound && FileExists(storePath)) return false;
    return RemoveFile(path) && FlushFolder(folder);
  }
  uint32_t nonce = ReadU32LE(j.data() + 12);
  uint64_t length = ReadU64LE(j.data() + 16);
  for (size_t at = kHeaderSize; j.size() - at >= kRangeHead + kRangeTail;) {
    uint64_t offset = ReadU64LE(j.data() + at);
    uint32_t bytes = ReadU32LE(j.data() + at + 8);
    if (bytes > j.size() - at - kRangeHead - kRangeTail) break;
    const uint8_t* range = j.data() + at;
    if (ReadU32LE(range + kRangeHead + bytes) != RangeCrc(nonce, range, bytes)) break;
    if (!store.WriteAt(offset, range + kRangeHead, bytes)) return false;
    at += kRangeHead + bytes + kRangeTail;
  }
  if (!store.Truncate(length) || !store.Flush()) return false;
  store.Close();
  return RemoveFile(path) && FlushFolder(folder);
}

void StoreJournal::Begin(const std::string& storePath, uint64_t length) {
  journal_.Close();
  storePath_ = storePath;
  length_ = length;
  saved_.assign(static_cast<size_t>((length + kPage - 1) / kPage), 0);
  journalEnd_ = 0;
  started_ = false;
}

bool StoreJournal::Start(std::vector<uint8_t>& pending) {
  std::string path = StoreJournalPath(storePath_);
  // A journal still lying here could not be an interrupted session's: opening restores those.
  if (FileExists(path) && !RemoveFile(path)) return false;
  uint8_t header[kHeaderSize] = {};
  std::memcpy(header, kMagic, sizeof kMagic);
  PutU32LE(header + 8, kVersion);
  PutU32LE(header + 12, nonce_);
  PutU64LE(header + 16, length_);
  PutU32LE(header + 28, Crc32(header, 28));
  pending.insert(pending.begin(), header, header + kHeaderSize);
  bool ok = journal_.Create(path) && journal_.WriteAt(0, pending.data(), pending.size()) && journal_.Flush() &&
            FlushFolder(FolderOfPath(storePath_));
  if (!ok) {
    journal_.Close();
    RemoveFile(path);
    return false;
  }
  journalEnd_ = pending.size();
  started_ = true;
  return true;
}

bool StoreJournal::BeforeWrite(BinaryFile& file, uint64_t offset, size_t n) {
  if (n == 0) return true;
  // The pages below the old end that this write reaches and whose bytes are not saved yet, in
  // runs of neighbours, each run one saved range.
  std::vector<uint8_t> pending;
  uint64_t end = std::min<uint64_t>(offset + n, length_);
  size_t first = static_cast<size_t>(offset / kPage);
  size_t last = end > offset ? static_cast<size_t>((end - 1) / kPage) : 0;
  std::vector<size_t> taken;
  std::vector<std::pair<size_t, uint32_t>> ranges;   // where each range starts in `pending`, its bytes
  for (size_t p = first; end > offset && p <= last;) {
    if (saved_[p]) {
      ++p;
      continue;
    }
    size_t q = p;
    while (q + 1 <= last && !saved_[q + 1]) ++q;
    uint64_t from = uint64_t{p} * kPage;
    uint64_t to = std::min<uint64_t>(uint64_t{q + 1} * kPage, length_);
    auto bytes = static_cast<uint32_t>(to - from);
    size_t at = pending.size();
    pending.resize(at + kRangeHead + bytes + kRangeTail);
    uint8_t* range = pending.data() + at;
    PutU64LE(range, from);
    PutU32LE(range + 8, bytes);
    if (!file.ReadAt(from, range + kRangeHead, bytes)) return false;
    ranges.emplace_back(at, bytes);
    for (size_t k = p; k <= q; ++k) taken.push_back(k);
    p = q + 1;
  }
  if (!started_) nonce_ = NewNonce();
  for (auto [at, bytes] : ranges) {
    uint8_t* range = pending.data() + at;
    PutU32LE(range + kRangeHead + bytes, RangeCrc(nonce_, range, bytes));
  }
  if (!started_) {
    // The first write of the session: the journal is made, with the header first.
    if (!Start(pending)) return false;
  } else if (!pending.empty()) {
    if (!journal_.WriteAt(journalEnd_, pending.data(), pending.size()) || !journal_.Flush()) return false;
    journalEnd_ += pending.size();
  }
  for (size_t k : taken) saved_[k] = 1;
  return true;
}

bool StoreJournal::Commit(BinaryFile& store) {
  if (!started_) return true;
  started_ = false;
  bool ok = store.Flush();
  journal_.Close();
  return ok && RemoveFile(StoreJournalPath(storePath_)) && FlushFolder(FolderOfPath(storePath_));
}

bool StoreJournal::Undo(BinaryFile& store) {
  store.Close();
  journal_.Close();
  if (!started_) return true;
  started_ = false;
  return RecoverStoreJournal(storePath_);
}

void StoreJournal::Abandon() {
  journal_.Close();
  started_ = false;
}

}  // namespace kv
