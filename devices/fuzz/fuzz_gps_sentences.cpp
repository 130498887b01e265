// A GPS receiver's port may carry anything: the sentence scanner and interpreter must take every
// byte sequence, in any pieces, without fault, and keep their status and notifications sane.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "devices/gps.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  for (kv::GpsMode mode : {kv::GpsMode::Map, kv::GpsMode::Dialog}) {
    kv::GpsReceiver whole, pieces;
    whole.Start(mode);
    pieces.Start(mode);
    std::vector<kv::GpsEvent> a, b;
    whole.Feed(bytes, &a);
    // The same bytes in uneven pieces must give the same events.
    size_t step = 1;
    for (size_t at = 0; at < size; at += step, step = step % 7 + 1) pieces.Feed(bytes.substr(at, step), &b);
    if (a.size() != b.size()) __builtin_trap();
    for (size_t i = 0; i < a.size(); ++i) {
      const kv::GpsEvent& e = a[i];
      if (e.status < 0 || e.status > 2) __builtin_trap();
      if (e.notify != 0 && (e.notify < 1070 || e.notify > 1072)) __builtin_trap();
      if (e.notify == 1070 && e.status != 2) __builtin_trap();
      if (e.status != b[i].status || e.notify != b[i].notify) __builtin_trap();
      if (e.latitude != b[i].latitude && !(e.latitude != e.latitude && b[i].latitude != b[i].latitude)) __builtin_trap();
    }
    if (whole.pending() > kv::kGpsSentenceMax) __builtin_trap();
  }
  return 0;
}
