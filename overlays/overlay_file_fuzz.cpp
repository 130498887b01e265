// libFuzzer target for the overlay file reader: any bytes are parsed (as a current file and as
// an older one to convert), and the events that load are evaluated and decompiled.
// Build with clang: cmake -DKV_FUZZ=ON -DKV_SANITIZE=ON -DKV_BENCH=OFF, then
//   build/<dir>/bin/fuzz_overlay_file -max_total_time=60 build/<dir>/bin/Data
#include <cstddef>
#include <cstdint>
#include <vector>

#include "overlays/overlay_file.h"
#include "overlays/overlay_rules.h"
#include "overlays/overlay_source.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kv;
  OverlayImage image;
  ParseOverlayBytes(data, size, image);
  std::vector<EventHit> hits;
  for (const OverlayEvent& e : image.events) {
    hits.clear();
    EventHitsInMonth(e, 2026, 2, RangeKeysOf(e), hits);
    for (const EventHit& h : hits) EventText(e, h);
  }
  DecompileOverlay(image);
  std::vector<uint8_t> converted;
  ConvertOlderOverlay(data, size, 0, converted);
  return 0;
}
