// Reads a zone file from arbitrary bytes, then uses every zone the way the program does: its
// daylight rule over a few years, the rule in words, the markers and a conversion between two
// zones. Also the 44-byte zone information value of the system's zone keys.
#include <string_view>

#include "sky/zones.h"
#include "store/fuzz/fuzz_support.h"

using namespace kv;

using fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  ZoneFileContents contents = ParseZoneFile(text);
  Require(contents.zones.size() <= static_cast<size_t>(kMaxZones), "at most the table's zones");
  Require(contents.zones.size() + static_cast<size_t>(contents.skippedLines) <= size, "each line takes bytes of the file");
  SortZones(contents.zones);
  const ZoneRecord* previous = nullptr;
  for (const ZoneRecord& zone : contents.zones) {
    for (int year : {1583, 2000, 2026, 2100, 9999}) {
      DaylightCodes codes = ComputeDaylightCodes(zone, year);
      (void)codes;
      IsDaylightAt(zone, DateStamp{year, 3, 29, 2, 30});
    }
    DescribeZoneRule(zone);
    MarkersForZone(&zone);
    ConvertBetweenZones(DateStamp{2026, 12, 31, 23, 59}, previous, &zone);
    std::string line = SerializeZoneRecord(zone);
    ParseZoneLine(line);
    previous = &zone;
  }
  ZoneKeyData key;
  ParseTzi(data, size, &key);
  return 0;
}
