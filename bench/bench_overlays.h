// Shared by the benchmarks that need the seven standard overlays (built into the Data folder
// beside kvbench).
#pragma once

#include <benchmark/benchmark.h>

#include <filesystem>

#include "overlays/overlay_set.h"

namespace kv {

// Makes the standard overlays the active set; false, with the benchmark marked as skipped, when
// the data files are missing.
inline bool LoadStandardOverlays(benchmark::State& state) {
  ResetOverlays();
  std::filesystem::path data = std::filesystem::path(KV_PROGRAM_DIR) / "Data";
  for (const StandardOverlay& o : StandardOverlays()) {
    if (!AddOverlay((data / o.programFile).string())) {
      state.SkipWithError("the standard overlays are not built (Data folder)");
      return false;
    }
  }
  return true;
}

}  // namespace kv
