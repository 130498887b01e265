// libFuzzer target for the contact readers: any bytes are read as vCards and as a
// comma-separated contact file, and the contacts read are checked against the phonebook's
// limits as an import would (nothing is stored). Run by the fuzz build's CTest test
// fuzz.fuzz_vcard_read.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "personal/contacts.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  for (int csv = 0; csv < 2; ++csv) {
    std::vector<kv::ContactEntry> entries;
    std::vector<kv::ExchangeSkip> skipped;
    int lost = 0;
    kv::ContentError error;
    bool ok = csv ? kv::ParseContactsCsv(text, entries, skipped, lost, error)
                  : kv::ParseVCards(text, entries, skipped, lost, error);
    if (!ok) continue;
    for (const kv::ContactEntry& c : entries) {
      std::string packed = kv::PackPhoneFields(c.fields);
      (void)kv::PhonePackExcess(packed);
    }
    // What was read is written in both formats and read again.
    std::string again = csv ? kv::ContactsCsvText(entries) : kv::VCardText(entries, kv::VCardVersion::V4);
    std::vector<kv::ContactEntry> back;
    if (!entries.empty() && !(csv ? kv::ParseContactsCsv(again, back, skipped, lost, error)
                                  : kv::ParseVCards(again, back, skipped, lost, error)))
      __builtin_trap();
  }
  return 0;
}
