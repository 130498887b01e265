// The schedule and the alarms: run with build/native/bin/kvbench --benchmark_filter=Personal
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>

#include "personal/alarms.h"
#include "personal/schedule.h"
#include "base/messages.h"
#include "store/container.h"
#include "store/db_files.h"
#include "base/file_io.h"

namespace kv {
namespace {

// A database folder of its own for each kind of content, removed again at exit.
struct PersonalFolder {
  std::string path;
  explicit PersonalFolder(const char* name) {
    ResetStore();  // the store's state is made first, so that it outlives this folder
    auto dir = std::filesystem::temp_directory_path() / ("kvbench-personal-" + std::string(name) + "-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    path = dir.string();
  }
  ~PersonalFolder() {
    ResetStore();
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
};

SchedRecord Record(int start, int n) {
  SchedRecord r;
  r.start = static_cast<int16_t>(start);
  r.end = static_cast<int16_t>(start + 10);
  r.alarm = static_cast<int16_t>(start - 5);
  r.armed = static_cast<uint8_t>(n % 2);
  r.sound = static_cast<uint8_t>(n % 9);
  r.title = "Item " + std::to_string(n);
  return r;
}

void WriteItems(uint32_t key, int day, int count, int first) {
  DbOpen(kDbModeWrite, key, 1990);
  for (int i = 0; i < count; ++i) {
    DbRequest r;
    r.chain = key;
    r.day = static_cast<uint8_t>(day);
    r.type = 4;
    r.mode = 1;
    r.block = SerializeSchedRecord(Record((i * 14) % 1430, first + i));
    DbAccess(kDbWrite, r);
  }
  DbClose();
}

// 2025 holding 20,000 items spread over its days.
const std::string& YearFolder() {
  static const PersonalFolder folder("year");
  static bool made = false;
  if (!made) {
    ResetStore();
    SetDatabaseFolder(folder.path);
    int n = 0;
    for (int m = 1; m <= 12; ++m)
      for (int d = 1; d <= MonthLength(m, 2025); ++d) {
        int count = 20000 / 365 + (n % 365 < 20000 % 365 ? 1 : 0);
        WriteItems(MonthKey(2025, m), d, count, n);
        n += count;
      }
    made = true;
  }
  return folder.path;
}

// 14 March 2025 holding 100 items.
const std::string& DayFolder() {
  static const PersonalFolder folder("day");
  static bool made = false;
  if (!made) {
    ResetStore();
    SetDatabaseFolder(folder.path);
    WriteItems(MonthKey(2025, 3), 14, 100, 0);
    made = true;
  }
  return folder.path;
}

void Use(const std::string& folder) {
  ResetStore();
  SetDatabaseFolder(folder);
}

void PersonalListYear(benchmark::State& state) {
  Use(YearFolder());
  size_t listed = 0;
  for (auto _ : state) {
    std::vector<SchedListEntry> list = SchedListRange(1, 12, 2025, 1, 31, 1);
    listed = list.size();
    benchmark::DoNotOptimize(list.data());
  }
  state.counters["items"] = static_cast<double>(listed);
}
BENCHMARK(PersonalListYear)->Unit(benchmark::kMillisecond);

void PersonalConflictCheckDayOf100(benchmark::State& state) {
  Use(DayFolder());
  ScriptedMessages messages;
  ScopedMessageSink scope(messages);
  SchedItem item;
  item.year = 2025, item.month = 3, item.day = 14;
  item.record.start = 1435;  // after every item: the whole day is walked
  item.record.end = 1439;
  for (auto _ : state) benchmark::DoNotOptimize(SchedCheckConflict("x", item, {2025, 3, 14}, false));
}
BENCHMARK(PersonalConflictCheckDayOf100)->Unit(benchmark::kMicrosecond);

void PersonalAlarmFindNextDayOf100(benchmark::State& state) {
  Use(DayFolder());
  for (auto _ : state) {
    AlarmFindNextOn(DateStamp{2025, 3, 14}, false);
    benchmark::DoNotOptimize(Alarms().pending.minute);
  }
}
BENCHMARK(PersonalAlarmFindNextDayOf100)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace kv
