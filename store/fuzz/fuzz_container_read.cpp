// Reads a container from arbitrary bytes: open for reading, every record of every chain, and
// the verifier. Opening for writing must refuse any file the verifier faults, leaving it alone.
#include "store/container.h"
#include "store/container_format.h"
#include "store/fuzz/fuzz_support.h"

using namespace kv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string path = fuzz::PrepareFile("JAN-2020.kvdb", data, size);
  std::vector<std::string> problems = VerifyDbFile(path, DbFileKind::Container);
  if (DbOpen(kDbModeRead, MonthKey(2020, 1), 1122)) {
    for (int day = 1; day <= 31; ++day) {
      for (uint8_t type = 1; type <= 14; ++type) {
        DbRequest r;
        r.chain = MonthKey(2020, 1);
        r.day = static_cast<uint8_t>(day);
        r.type = type;
        for (int n = 0; n < 70000 && DbAccess(kDbRead, r); ++n) {
          fuzz::Require(r.block.size() >= 3, "a record read is at least 3 bytes");
          r.mode = kDbFindNext;
        }
      }
    }
    DbClose();
  }
  bool writable = DbOpen(kDbModeWrite, MonthKey(2020, 1), 1114);
  if (writable) DbClose();
  // A zero-length file is made a new container; anything else must be sound to be written.
  if (size > 0) fuzz::Require(writable == problems.empty(), "write access exactly for sound files");
  if (size > 0 && !problems.empty()) fuzz::Require(fuzz::FileBytes(path) == std::vector<uint8_t>(data, data + size), "faulty file untouched");
  return 0;
}
