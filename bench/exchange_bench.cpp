// iCalendar export and import of ten years holding 50,000 schedule items: run with
// build/native/bin/kvbench --benchmark_filter=Ical
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>

#include "personal/ical.h"
#include "personal/schedule.h"
#include "base/messages.h"
#include "store/container.h"
#include "store/db_files.h"

namespace kv {
namespace {

constexpr int kItems = 50000;

struct IcalFolder {
  std::string path;
  explicit IcalFolder(const char* name) {
    ResetStore();
    auto dir = std::filesystem::temp_directory_path() / ("kvbench-ical-" + std::string(name) + "-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    path = dir.string();
  }
  ~IcalFolder() {
    ResetStore();
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
};

// 2020-2029 with 50,000 items, fourteen a day at times that never overlap, every third armed.
const std::string& TenYears() {
  static const IcalFolder folder("ten-years");
  static bool made = false;
  if (made) return folder.path;
  SetDatabaseFolder(folder.path);
  int n = 0;
  for (int y = 2020; y <= 2029 && n < kItems; ++y)
    for (int m = 1; m <= 12 && n < kItems; ++m) {
      uint32_t key = MonthKey(y, m);
      DbOpen(kDbModeWrite, key, 1990);
      for (int d = 1; d <= MonthLength(m, y) && n < kItems; ++d)
        for (int i = 0; i < 14 && n < kItems; ++i, ++n) {
          SchedRecord r;
          r.start = static_cast<int16_t>(i * 100);
          r.end = static_cast<int16_t>(i * 100 + 60);
          r.alarm = static_cast<int16_t>(i * 100 - 10);
          r.armed = n % 3 == 0;
          r.title = "Appointment " + std::to_string(n);
          DbRequest q;
          q.chain = key;
          q.day = static_cast<uint8_t>(d);
          q.type = 4;
          q.mode = 1;
          q.block = SerializeSchedRecord(r);
          DbAccess(kDbWrite, q);
        }
      DbClose();
    }
  made = true;
  return folder.path;
}

IcalExportOptions TenYearOptions() {
  IcalExportOptions o;
  o.from = {2020, 1, 1};
  o.to = {2029, 12, 31};
  return o;
}

void Ical_Export10Years50000(benchmark::State& state) {
  ResetStore();
  SetDatabaseFolder(TenYears());
  size_t bytes = 0;
  for (auto _ : state) {
    IcalExportResult r = IcalExport(TenYearOptions());
    if (r.events != kItems) state.SkipWithError("wrong count");
    bytes = r.text.size();
  }
  state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(Ical_Export10Years50000)->Unit(benchmark::kMillisecond);

void Ical_Import10Years50000(benchmark::State& state) {
  ResetStore();
  SetDatabaseFolder(TenYears());
  std::string text = IcalExport(TenYearOptions()).text;
  static const IcalFolder target("import");
  ScriptedMessages accept;
  accept.SetFallback(ScriptedMessages::Fallback::Accept);
  ScopedMessageSink scope(accept);
  for (auto _ : state) {
    state.PauseTiming();
    ResetStore();
    std::filesystem::remove_all(target.path);
    std::filesystem::create_directories(target.path);
    SetDatabaseFolder(target.path);
    accept.Clear();
    state.ResumeTiming();
    IcalImportResult r = IcalImport(text, {});
    if (r.events != kItems) state.SkipWithError("wrong count");
  }
}
BENCHMARK(Ical_Import10Years50000)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace kv
