// Reads a predecessor calendar configuration (".obc") from arbitrary bytes as Migrate Data does:
// whatever the file holds, no overlay name is longer than a path may be, none is empty, and the
// names never add up to more bytes than the file has.
#include "shell/migrate_data.h"
#include "store/fuzz/fuzz_support.h"

using namespace kv;

using fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::optional<ObcContents> obc = ParseObc(data, size);
  if (!obc) return 0;
  Require(obc->version >= kOldestObcVersion, "only version 4 and later is read");
  Require(obc->databaseFolder.size() < kObcOverlayCountOffset - kObcDatabaseOffset, "the folder comes from its field");
  size_t total = 0;
  for (const std::string& name : obc->overlays) {
    Require(!name.empty() && name.size() <= 259, "an overlay name is a path");
    total += name.size() + 1;
  }
  Require(total <= size - kObcHeaderSize + 1, "the names come from the file");
  SourceDatabaseFolder(*obc, "C:\\Orbisa\\default.obc");
  for (const std::string& name : obc->overlays) MigratedOverlayName(name);
  return 0;
}
