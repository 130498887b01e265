// Reads a phonebook from arbitrary bytes: every live entry, and the verifier.
#include "store/fuzz/fuzz_support.h"
#include "store/phone_file.h"

using namespace kv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string path = fuzz::PrepareFile("PhoneBk.kvpb", data, size);
  std::vector<std::string> problems = VerifyDbFile(path, DbFileKind::Phone);
  bool damaged = false;
  if (PhoneStoreOpen(kDbModeRead, 1703)) {
    damaged = PhoneStoreIsDamaged();
    std::vector<PhoneLoaded> entries;
    PhoneLoadEntries(entries);
    fuzz::Require(entries.size() <= kPhoneMaxEntries, "at most 2048 entries");
    for (const PhoneLoaded& e : entries) fuzz::Require(PhoneEntryId(e.entry) > 0, "only live entries load");
    PhoneStoreClose();
  }
  fuzz::Require(fuzz::FileBytes(path) == std::vector<uint8_t>(data, data + size), "reading never writes");
  bool writable = PhoneStoreOpen(kDbModeWrite, 1704);
  if (writable) PhoneStoreClose();
  if (size > 0 && writable) fuzz::Require(!damaged, "no write access to a damaged phonebook");
  // Opened for writing, a sound phonebook whose only fault was its count has it corrected.
  if (writable) fuzz::Require(VerifyDbFile(path, DbFileKind::Phone).empty(), "a writable phonebook verifies");
  else fuzz::Require(fuzz::FileBytes(path) == std::vector<uint8_t>(data, data + size), "refused file untouched");
  return 0;
}
