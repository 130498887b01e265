// Reads a version-check reply from arbitrary bytes the way the program reads what the web
// service sent: whatever arrives, nothing is read past its end and any address taken for the
// browser is one the address check lets through.
#include <string_view>

#include "base/untrusted_text.h"
#include "shell/version_reply.h"
#include "store/fuzz/fuzz_support.h"

using namespace kv;

using fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view reply(reinterpret_cast<const char*>(data), size);
  VersionReply r = ParseVersionReply(reply);
  Require(r.tag || !r.newer, "no newer release without the tag");
  Require(r.newer == !r.address.empty(), "an address only with a newer release");
  if (r.newer) Require(DownloadAddressRefusal(r.address).empty(), "the browser gets only safe addresses");
  Require(r.major <= 9 && r.minor <= 99 && r.build <= 9999, "fields are their digits");
  return 0;
}
