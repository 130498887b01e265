// The schedule window's grid: laying out and painting a day of 100 items through the recording
// canvas. Run with build/native/bin/kvbench --benchmark_filter=ScheduleGrid
#include <benchmark/benchmark.h>

#include <string>

#include "base/canvas_record.h"
#include "personal/schedule_window.h"

namespace kv {
namespace {

// 100 items spread over the day, a quarter of an hour to two hours long, many overlapping, some
// with notes, one reaching in from the day before and one into the day after.
SchedDayList HundredItems() {
  SchedDayList list;
  list.year = 2026, list.month = 12, list.day = 7;
  for (int n = 0; n < 100; ++n) {
    SchedItem it;
    it.id = static_cast<uint16_t>(n + 1);
    it.year = 2026, it.month = 12, it.day = 7;
    int start = n == 0 ? -90 : (n * 137) % 1400;
    it.record.start = static_cast<int16_t>(start);
    it.record.end = static_cast<int16_t>(n == 99 ? 1500 : start + 15 + (n % 8) * 15);
    it.record.title = "Meeting " + std::to_string(n) + " with the project team";
    it.record.noteId = static_cast<uint16_t>(n % 3 == 0 ? n + 1 : 0);
    list.items.push_back(it);
  }
  return list;
}

// increment, pane height: a window-sized pane, and the whole day in view at once.
void BM_ScheduleGridPaint(benchmark::State& state) {
  const int increment = static_cast<int>(state.range(0));
  const int height = static_cast<int>(state.range(1));
  RecordingCanvas canvas;
  const SchedDayList list = HundredItems();
  ScheduleGrid grid = LayOutScheduleGrid(canvas, {increment, 8, 6, 21}, RegionalSettings{}, 640, height);
  ScheduleChoice choice;
  choice.selected = 40;
  choice.pickStart = 600;
  choice.pickEnd = 690;
  const ScheduleColours colours;
  for (auto _ : state) {
    canvas.Clear();
    std::vector<ScheduleItemBox> boxes = LayOutScheduleItems(grid, list);
    PaintScheduleGrid(canvas, grid, list, boxes, choice, colours, RegionalSettings{});
    benchmark::DoNotOptimize(canvas.Calls().size());
  }
}
BENCHMARK(BM_ScheduleGridPaint)->Args({15, 600})->Args({15, 96 * 20})->Args({5, 288 * 20})->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace kv
