// Reads a calendar configuration from arbitrary bytes the way the program opens one: the
// header check, the record (converted from version 6 where it says so), the load rules, the
// overlay names of the tail, and the check of every path the file names. Whatever the file
// holds, no name is longer than a path may be and the record writes back in its own size.
#include <cstring>

#include "base/untrusted_text.h"
#include "shell/config.h"
#include "store/fuzz/fuzz_support.h"

using namespace kv;

using fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 10 || !HasConfigHeader(data, size)) return 0;
  static const ConfigImage defaults = SerializeCalendarConfig(DefaultCalendarConfig({}));
  ConfigImage image = defaults;
  std::memcpy(image.data(), data, std::min(size, kConfigSize));
  if (ConfigVersionOf(image.data()) == 6) ConvertVersion6Image(image);
  CalendarConfig config = ParseCalendarConfig(image);
  ApplyLoadRules(config, "C:\\Users\\ann\\Documents\\My Calendars");
  // An unterminated field reads as its whole 256 bytes (and writes back cut to 255).
  Require(config.databaseFolder.size() <= 256, "the database folder comes from its field");
  ClassifyPath(config.databaseFolder);
  if (size > kConfigSize) {
    std::vector<std::string> names = SplitOverlayTail(data + kConfigSize, size - kConfigSize, config.overlayCount);
    Require(names.size() <= config.overlayCount, "no more names than the count");
    size_t total = 0;
    for (const std::string& name : names) {
      Require(!name.empty() && name.size() <= 259, "an overlay name is a path's length");
      total += name.size() + 1;
      ClassifyPath(name);
    }
    Require(total <= size - kConfigSize, "the names come from the tail");
    std::vector<uint8_t> tail = JoinOverlayTail(names);
    Require(SplitOverlayTail(tail.data(), tail.size(), names.size()) == names, "the tail writes back");
  }
  ConfigImage again = SerializeCalendarConfig(config);
  Require(ParseCalendarConfig(again).databaseFolder == config.databaseFolder.substr(0, 255), "the record writes back");
  return 0;
}
