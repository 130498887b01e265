// The rollback journal that makes every change to a store file atomic against a crash.
//
// A write session (a store opened for writing, used, closed) is one change. Before the session
// first overwrites bytes the file held when it began, those bytes go to a side file beside the
// store ("DEC-2026.kvdb-journal"), which is flushed to the disk before the store is touched;
// bytes appended past the old end need no copy, since cutting the file back removes them. At
// the close the store is flushed and the journal deleted. Opening a store with a journal beside
// it first puts the saved bytes back, cuts the file to its old length, flushes it and deletes
// the journal, so the file is as it was before the interrupted session. A journal whose header
// fails its checksum was cut short while it was being written, before the store was touched,
// and is simply deleted.
//
// Journal layout (little-endian): a 32-byte header: "KVJRNL" and two zero bytes, version 1
// (32-bit), a nonce (32-bit), the store's length when the session began (64-bit), 4 zero bytes
// and the CRC-32 of the 28 bytes before it. Then saved ranges, each its file offset (64-bit),
// length (32-bit), the bytes, and the CRC-32 of the nonce, offset, length and bytes. Restoring
// stops at the first range that is cut short or fails its checksum: its bytes in the store were
// not yet overwritten, because a range is flushed to the journal before the store is written.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/file_io.h"

namespace kv {

// The journal's name beside a store file.
std::string StoreJournalPath(const std::string& storePath);

// Puts a store back as it was before an interrupted session when a journal lies beside it.
// True when there was none or the store is restored (or the journal was incomplete and is
// gone); false when the journal cannot be read or the store cannot be restored, in which case
// both stay as they are for the next attempt.
bool RecoverStoreJournal(const std::string& storePath);

uint32_t Crc32(const uint8_t* data, size_t n, uint32_t crc = 0);

// The journal of one open store file: installed as the file's write guard.
class StoreJournal : public WriteGuard {
 public:
  // A session on the store at `storePath`, which is `length` bytes long now.
  void Begin(const std::string& storePath, uint64_t length);
  bool BeforeWrite(BinaryFile& file, uint64_t offset, size_t n) override;
  // Ends the session keeping its changes: flushes the store and deletes the journal.
  bool Commit(BinaryFile& store);
  // Ends the session undoing its changes: closes the store and restores it from the journal.
  bool Undo(BinaryFile& store);
  // Ends the session leaving the journal where it is (the store is closed).
  void Abandon();
  bool Started() const { return started_; }

  static constexpr size_t kPage = 512;   // the unit in which original bytes are saved

 private:
  bool Start(std::vector<uint8_t>& pending);

  std::string storePath_;
  uint64_t length_ = 0;            // the store's length when the session began
  std::vector<uint8_t> saved_;     // per page below length_: its bytes are in the journal
  BinaryFile journal_;
  uint64_t journalEnd_ = 0;
  uint32_t nonce_ = 0;
  bool started_ = false;           // the journal exists on disk
};

}  // namespace kv
