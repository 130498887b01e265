// The To Do window with 1,000 items: reading the list and painting it, as opening the window or
// switching its view does. Run with build/native/bin/kvbench --benchmark_filter=ToDoWindow_
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <random>

#include "base/canvas_record.h"
#include "calendar/clock.h"
#include "personal/todo.h"
#include "personal/todo_window.h"
#include "store/db_files.h"

namespace kv {
namespace {

struct Folder {
  std::string path = (std::filesystem::temp_directory_path() / ("kvbench-todo-window-" + std::to_string(getpid()))).string();
  Folder() { std::filesystem::create_directories(path); }
  ~Folder() {
    ResetStore();
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
};

// 1,000 items, a third of them without a time; half of them overdue at the benchmarks' clock.
void Fill(benchmark::State& state) {
  ResetStore();
  static Folder folder;
  SetDatabaseFolder(folder.path);
  std::filesystem::remove(ToDoFilePath());
  std::mt19937 rng(11);
  for (int k = 0; k < 1000; ++k) {
    ToDoForm form;
    form.text = "Task number " + std::to_string(k) + " of the long list";
    form.activate = DateStamp{2026, static_cast<uint16_t>(1 + rng() % 6), static_cast<uint16_t>(1 + rng() % 28)};
    form.required = DateStamp{2026, static_cast<uint16_t>(7 + rng() % 6), static_cast<uint16_t>(1 + rng() % 28)};
    form.timeOfDay = k % 3 == 0 ? kToDoNoTime : static_cast<int>(rng() % 1439);
    form.priority = 1 + static_cast<int>(rng() % 3);
    if (!ToDoSave(form).Ok()) state.SkipWithError("save failed");
  }
}

// Opening the window: the list read and sorted, the heads and a full window of rows painted.
void ToDoWindow_LoadAndPaint1000(benchmark::State& state) {
  Fill(state);
  FixedClock clock(DateStamp{2026, 9, 15, 12, 0});
  SetClockSource(&clock);
  ToDoSettings settings;
  settings.viewAll = true;
  settings.sortByPriority = true;
  std::vector<ToDoEntry> entries;
  ToDoPaint paint;
  paint.entries = &entries;
  paint.width = 900;
  paint.height = 1000;
  paint.now = MakeMinuteKey(2026, 9, 15, 12, 0);
  paint.selected = 0;
  for (auto _ : state) {
    if (ToDoLoad(entries, settings) != 1000) state.SkipWithError("items missing");
    RecordingCanvas canvas;
    PaintToDoWindow(canvas, paint);
    benchmark::DoNotOptimize(canvas.Calls().data());
  }
  SetClockSource(nullptr);
}
BENCHMARK(ToDoWindow_LoadAndPaint1000)->Unit(benchmark::kMillisecond);

// Every one of the 1,000 rows painted once, as scrolling through the whole list does.
void ToDoWindow_PaintAllRows1000(benchmark::State& state) {
  Fill(state);
  FixedClock clock(DateStamp{2026, 9, 15, 12, 0});
  SetClockSource(&clock);
  ToDoSettings settings;
  settings.viewAll = true;
  std::vector<ToDoEntry> entries;
  ToDoLoad(entries, settings);
  MinuteKey now = MakeMinuteKey(2026, 9, 15, 12, 0);
  for (auto _ : state) {
    RecordingCanvas canvas;
    ToDoRowLayout layout = LayOutToDoRow(canvas, FontRole::Dialog, 900);
    ToDoColours colours;
    for (size_t i = 0; i < entries.size(); ++i) {
      Rect row{0, 0, 900, layout.height};
      PaintToDoRow(canvas, FontRole::Dialog, layout, row, ToDoRowTextFor(entries[i], now), i == 0, true, colours);
    }
    benchmark::DoNotOptimize(canvas.Calls().data());
  }
  SetClockSource(nullptr);
}
BENCHMARK(ToDoWindow_PaintAllRows1000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kv
