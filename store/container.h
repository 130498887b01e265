// The indexed record container: month files of schedule items and notes, and the two notes
// files of the to-do list and the phonebook. One container is open at a time; callers open it,
// run their requests and close it again within one user action.
//
// A damaged container (any fault the checks of container_format.h find) is never written:
// opened for writing it is refused with "File failed header check:"; opened for reading it is
// read up to the damage (chains end before a bad link, records that fail their checks are passed
// over) after the same message, shown once per file and session.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "store/db_files.h"

namespace kv {

// The request block every container access passes.
struct DbRequest {
  uint16_t id = 0;         // 0: the first record of the type; receives the id found or assigned
  uint32_t chain = 0;      // non-zero: the chain of `day` (callers put the month key here);
                           // 0: the chain id mod 31
  uint8_t day = 0;         // 1 ... 31
  uint8_t type = 0;        // record type 1 ... 14
  uint16_t mode = 0;       // kDbFindNext, kDbListing; low byte: the record's flag byte
  std::vector<uint8_t> block;  // the record (its first field is its length)
};

constexpr uint16_t kDbListing = 0x100;    // set for deletions and listings; changes nothing
constexpr uint16_t kDbFindNext = 0x200;   // the next record of the type after the given id

enum DbOp : int { kDbFind = 1, kDbRead = 2, kDbWrite = 5, kDbDelete = 9 };

// Opens the month file of a month key, or for key 0 the notes file named by DbSelectStore.
// Mode 0 reads; mode 2 reads and writes and creates a missing file. Non-zero on success.
int DbOpen(int mode, uint32_t monthKey, int callerCode);
// The same for a file named by its path (tools and repairs).
int DbOpenFile(int mode, const std::string& path, int callerCode);
int DbClose();
// op 1 find, 2 read, 5 write, 9 delete, on the open container. Non-zero on success.
int DbAccess(int op, DbRequest& request);
// Enlarges the header by one block, moving the data region up by 1536 bytes.
int DbGrow();

bool DbIsOpen();
int DbCallerCode();
// The open container is damaged and is being read up to its damage.
bool DbIsDamaged();

// For an operation that needs other months while a container is open (range listings): closes
// the open container, remembering how it was opened, and reopens it the same way with caller
// code 1105 when the guard ends. Does nothing when no container is open.
class DbListingPause {
 public:
  DbListingPause();
  ~DbListingPause();
  DbListingPause(const DbListingPause&) = delete;
  DbListingPause& operator=(const DbListingPause&) = delete;

 private:
  bool wasOpen_ = false;
  int mode_ = 0;
  uint32_t monthKey_ = 0;
  int storeSelector_ = 0;
  std::string path_;
};

}  // namespace kv
