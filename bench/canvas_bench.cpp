// Text measurement and word wrap through the recording canvas, a month's worth at a time: run
// with build/native/bin/kvbench --benchmark_filter=Canvas
#include <benchmark/benchmark.h>

#include <string>

#include "base/canvas_record.h"

namespace kv {
namespace {

constexpr const char* kEvents[] = {
    "Candle lighting 4:12p",
    "Rosh Chodesh Kislev",
    "Thanksgiving Day (United States)",
    "Dentist 10:30a - 11:15a  Dr. Hallworth, bring the insurance card",
    "Feast of Saint Andrew the Apostle",
    "Quarterly report due",
};

// 31 day cells of 7 columns, each with three or four event texts wrapped into the cell's event
// area and drawn bottom-aligned, as the month view does.
void PaintMonth(RecordingCanvas& canvas, int cellWidth, int cellHeight) {
  for (int day = 0; day < 31; ++day) {
    int col = day % 7, row = day / 7;
    Rect cell{col * cellWidth, row * cellHeight, (col + 1) * cellWidth, (row + 1) * cellHeight};
    canvas.DrawText(FontRole::Cell, {cell.left + 2, cell.top + 1}, std::to_string(day + 1), 0x000000);
    int bottom = cell.bottom - 2;
    int count = 3 + day % 2;
    for (int k = count - 1; k >= 0; --k) {
      const char* text = kEvents[(day + k) % std::size(kEvents)];
      int lines = static_cast<int>(WrapText(canvas, FontRole::Event, text, cellWidth - 4).size());
      int top = bottom - lines * canvas.LineHeight(FontRole::Event);
      if (top < cell.top + 16) break;
      canvas.DrawTextInRect(FontRole::Event, {cell.left + 2, top, cell.right - 2, bottom}, text, 0x000080,
                            kTextWordBreak | kTextBottom);
      bottom = top;
    }
  }
}

void Canvas_MonthOfCellTexts(benchmark::State& state) {
  RecordingCanvas canvas;
  canvas.SetFont(FontRole::Cell, FontSpec{"Arial", -12, 700, false});
  canvas.SetFont(FontRole::Event, FontSpec{"Arial", -11, 400, false});
  for (auto _ : state) {
    canvas.Clear();
    PaintMonth(canvas, static_cast<int>(state.range(0)), 96);
    benchmark::DoNotOptimize(canvas.Calls().data());
  }
}
BENCHMARK(Canvas_MonthOfCellTexts)->Arg(90)->Arg(160);

void Canvas_WrapOneText(benchmark::State& state) {
  RecordingCanvas canvas;
  std::string text = kEvents[3];
  for (auto _ : state) benchmark::DoNotOptimize(WrapText(canvas, FontRole::Event, text, 90));
}
BENCHMARK(Canvas_WrapOneText);

}  // namespace
}  // namespace kv
