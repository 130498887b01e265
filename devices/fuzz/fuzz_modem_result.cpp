// Modem replies come from a device that may send anything: the result matcher and the call's
// reading of replies must take every byte sequence without fault.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "devices/dialer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  for (bool dialling : {false, true}) {
    kv::ModemMatch m = kv::MatchModemResult(text, dialling);
    if (m.end > text.size()) __builtin_trap();
    if (m.result != kv::ModemResult::None && !dialling && m.result != kv::ModemResult::Ok) __builtin_trap();
  }
  // The same bytes fed to a call in pieces, through every phase.
  kv::DetachedDialCallHost host;
  kv::DialCall call(host, kv::DialerSettings{}, "5551234", kv::DialAction::Exact);
  call.Start();
  size_t step = size / 4 + 1;
  for (size_t at = 0; at < size; at += step) {
    call.Received(text.substr(at, step));
    if (call.phase() == kv::kPhaseIdle && call.portOpen()) call.WindowOpened();
  }
  return 0;
}
