// Reads a locations file from arbitrary bytes, then shows and writes back every location: no
// number read from a line may take a coordinate, a name or a zone past what its field holds.
#include <string_view>

#include "sky/locations.h"
#include "store/fuzz/fuzz_support.h"

using namespace kv;

using fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  for (LasVegasFix fix : {LasVegasFix::Apply, LasVegasFix::Skip}) {
    std::vector<LocationRecord> list = ParseLocations(text, fix);
    Require(list.size() <= size, "no more locations than bytes");
    for (const LocationRecord& l : list) {
      Require(l.name.size() <= 63, "a name fits its field");
      DescribeLocation(l);
      std::string line = SerializeLocation(l);
      ParseLocationLine(line, fix);
    }
  }
  return 0;
}
