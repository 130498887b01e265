// The year view and the day page: layout and a recorded paint. Run with
// build/native/bin/kvbench --benchmark_filter='YearView|DayPage'
#include <benchmark/benchmark.h>

#include <string>

#include "base/canvas_record.h"
#include "overlays/day_assembly.h"
#include "sky/astro.h"
#include "views/day_page.h"
#include "views/year_layout.h"

namespace kv {
namespace {

void UseScreenFonts(Canvas& canvas) {
  canvas.SetFont(FontRole::Title, FontSpec{"Arial", -20, 700, false});
  canvas.SetFont(FontRole::Cell, FontSpec{"Arial", -12, 400, false});
  canvas.SetFont(FontRole::Bold, FontSpec{"Arial", -12, 700, false});
  canvas.SetFont(FontRole::Small, FontSpec{"Arial", -10, 400, false});
}

// Twelve or thirteen small calendars with a few marks each, laid out and painted.
void YearView_LayoutAndPaint(benchmark::State& state) {
  RecordingCanvas canvas;
  UseScreenFonts(canvas);
  ViewOptions options;
  bool jewish = state.range(0) != 0;
  YearView view{jewish ? 5784 : 2026, 3, jewish};
  std::array<std::array<uint8_t, 32>, kYearViewMaxMonths> marks{};
  for (auto& m : marks) m[1] = m[14] = m[25] = 1;
  for (auto _ : state) {
    canvas.Clear();
    YearLayout layout = LayOutYear(canvas, Size{1000, 720}, view);
    PaintYear(canvas, layout, view, options, marks);
    benchmark::DoNotOptimize(canvas.Calls().data());
  }
}
BENCHMARK(YearView_LayoutAndPaint)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// A busy day: eight entries, twelve schedule items, six due and fifteen pending to-do items and
// the sun and moon box.
void DayPage_BuildLayoutAndPaint(benchmark::State& state) {
  RecordingCanvas canvas;
  UseScreenFonts(canvas);
  DayPageInput in;
  in.date = DateStamp{2026, 6, 21};
  in.options.julianDay = in.options.weekNumbers = in.options.jewishDateLine = true;
  in.options.hasReference = true;
  in.options.locationName = "Boston, MA";
  for (int i = 0; i < 8; ++i) {
    DayEntry e;
    e.text = "Overlay event number " + std::to_string(i);
    e.source = i;
    e.offset = i % 3 - 1;
    in.entries.push_back(e);
  }
  for (int i = 0; i < 12; ++i)
    in.schedule.push_back(DayScheduleRow{480 + 45 * i, 510 + 45 * i, "Meeting with the team " + std::to_string(i), i + 1, i % 4 == 0});
  for (int i = 0; i < 21; ++i) {
    DayToDoRow r;
    r.priority = 1 + i % 3;
    r.due = DateStamp{2026, 6, static_cast<uint16_t>(21 + i % 5), 23, 59};
    r.text = "Task to do " + std::to_string(i);
    r.slot = static_cast<uint16_t>(i + 1);
    (i < 6 ? in.due : in.todo).push_back(r);
  }
  in.sky = true;
  in.sun = RiseSet{307, 1225, 56.3, 303.7, 0};
  in.moon = RiseSet{720, 1400, 110.2, 250.4, 0};
  in.phase = MoonPhaseEntry{6, 22, 300, 2};
  for (auto _ : state) {
    canvas.Clear();
    std::vector<DayLine> lines = BuildDayLines(in);
    DayPageLayout layout = LayOutDayPage(canvas, 800, lines, 12);
    PaintDayPage(canvas, layout, lines, 3, in.options);
    benchmark::DoNotOptimize(canvas.Calls().data());
  }
}
BENCHMARK(DayPage_BuildLayoutAndPaint)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace kv
