// The print job: twelve month pages with the standard overlays, assembled, laid out and
// drawn through the recording canvas in twips, as the printer would get them.
//   build/native/bin/kvbench --benchmark_filter=PrintJob
#include <benchmark/benchmark.h>

#include <memory>

#include "base/canvas_record.h"
#include "bench/bench_overlays.h"
#include "overlays/day_assembly.h"
#include "print/print_job.h"

namespace kv {
namespace {

class RecordedPages final : public PageTarget {
 public:
  Canvas* BeginPage() override {
    canvas = std::make_unique<RecordingCanvas>(1440);
    return canvas.get();
  }
  bool EndPage() override {
    ++pages;
    return true;
  }
  std::unique_ptr<RecordingCanvas> canvas;
  int pages = 0;
};

void PrintJob_TwelveMonthPages(benchmark::State& state) {
  ResetAssembly();
  if (!LoadStandardOverlays(state)) return;
  PrintSources sources;
  sources.now = DateStamp{2027, 1, 1, 12, 0};
  PageLayout layout;
  layout.topMargin = layout.leftMargin = layout.rightMargin = layout.bottomMargin = 720;
  layout.landscape = 1;
  layout.text = "&D - page &p";
  PageGeometry geometry = ComputePageGeometry(PaperMetrics{15840, 12240, 0, 0}, layout, PrintKind::Month);
  PrintRange range;
  range.from = DateStamp{2027, 1, 1, 0, 0};
  range.to = DateStamp{2027, 12, 1, 0, 0};
  for (auto _ : state) {
    RecordedPages target;
    PrintOutcome outcome = RunPrintJob(PrintKind::Month, range, sources, layout, geometry, target);
    benchmark::DoNotOptimize(outcome);
    if (target.pages != 12) state.SkipWithError("the job did not print twelve pages");
  }
  ResetAssembly();
  ResetOverlays();
}
BENCHMARK(PrintJob_TwelveMonthPages)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kv
