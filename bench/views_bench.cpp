// The month view: gathering, layout and recorded painting of a whole month.
//   build/native/bin/kvbench --benchmark_filter=MonthView
// The seven standard overlays and 200 schedule items of the month; the canvas records every
// call (text measured with the compiled-in metrics), as the screen would draw them.
#include <benchmark/benchmark.h>

#include "base/canvas_record.h"
#include "bench/bench_overlays.h"
#include "overlays/day_assembly.h"
#include "views/month_layout.h"
#include "views/month_paint.h"

namespace kv {
namespace {

// 200 timed items spread over the days of a month.
class BenchSchedule : public ScheduleSource {
 public:
  void ItemsInRange(const DateStamp& first, const DateStamp& last, std::vector<ScheduleItem>& out) override {
    int days = last.day - first.day + 1;
    for (int i = 0; i < 200; ++i) {
      ScheduleItem item;
      item.start = DateStamp{first.year, first.month, static_cast<uint16_t>(first.day + i % days),
                             static_cast<uint16_t>(8 + i % 10), static_cast<uint16_t>(i % 4 * 15)};
      item.text = "Meeting with the planning group " + std::to_string(i);
      item.number = i + 1;
      out.push_back(item);
    }
  }
};

void MonthView_LayoutAndPaint(benchmark::State& state) {
  ResetAssembly();
  if (!LoadStandardOverlays(state)) return;
  BenchSchedule schedule;
  SetScheduleSource(&schedule);
  ViewOptions o;
  o.jewishDateLine = true;
  RecordingCanvas canvas;
  MonthLayoutInput in;
  in.width = 1000, in.height = 760, in.options = &o;
  in.fonts = MeasureMonthFonts(canvas);
  int year = 2026, month = 1;
  size_t calls = 0;
  for (auto _ : state) {
    RecomputeDisplayedMonths(year, month);
    in.year = year, in.month = month;
    MonthLayout layout = LayOutMonth(in);
    canvas.Clear();
    MonthPicture picture = PaintMonth(canvas, layout, o, 15);
    benchmark::DoNotOptimize(picture.cells.data());
    calls = canvas.Calls().size();
    if (++month > 12) month = 1;
  }
  SetScheduleSource(nullptr);
  state.counters["calls"] = static_cast<double>(calls);
}
BENCHMARK(MonthView_LayoutAndPaint)->Unit(benchmark::kMicrosecond);

// Layout alone: what a resize costs.
void MonthView_Layout(benchmark::State& state) {
  ViewOptions o;
  RecordingCanvas canvas;
  MonthLayoutInput in;
  in.width = 1000, in.height = 760, in.year = 2026, in.month = 8, in.options = &o;
  in.fonts = MeasureMonthFonts(canvas);
  for (auto _ : state) {
    MonthLayout layout = LayOutMonth(in);
    benchmark::DoNotOptimize(layout);
  }
}
BENCHMARK(MonthView_Layout);

}  // namespace
}  // namespace kv
