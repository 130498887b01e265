// The database files: run with build/native/bin/kvbench --benchmark_filter=Store
// Each benchmark reports the time of the whole batch and, as "per_op", the time of one operation.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <random>

#include "base/bytes.h"
#include "store/container.h"
#include "store/container_format.h"
#include "store/db_files.h"
#include "base/file_io.h"
#include "store/phone_file.h"
#include "store/todo_file.h"

namespace kv {
namespace {

constexpr uint32_t kKey = MonthKey(2026, 5);

// A scratch folder for the run, removed again at exit.
struct ScratchFolder {
  std::string path;
  ScratchFolder() {
    auto dir = std::filesystem::temp_directory_path() / ("kvbench-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    path = dir.string();
  }
  ~ScratchFolder() {
    ResetStore();
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
};

const std::string& Folder() {
  static const ScratchFolder folder;
  return folder.path;
}

void Fresh() {
  ResetStore();
  SetDatabaseFolder(Folder());
  RemoveFile(MonthFilePath(kKey));
  RemoveFile(ToDoFilePath());
  RemoveFile(PhoneFilePath());
}

std::vector<uint8_t> Item(int n) {
  std::vector<uint8_t> r(kSchedItemSize, 0);
  PutU16LE(r.data(), kSchedItemSize);
  r[2] = kDbTypeSchedItem;
  PutU16LE(r.data() + 4, static_cast<uint16_t>(n % 1440));
  PutFixedText(r.data() + 22, 40, "Appointment " + std::to_string(n));
  return r;
}

int DayOf(int n) { return n % 31 + 1; }

void PerOp(benchmark::State& state, int ops) {
  state.counters["per_op"] = benchmark::Counter(static_cast<double>(ops), benchmark::Counter::kIsIterationInvariantRate |
                                                                              benchmark::Counter::kInvert);
}

// Writes a month file of n schedule items spread over the days; the ids are 1 ... n.
void MakeMonth(int n) {
  DbOpen(kDbModeWrite, kKey, 1114);
  for (int k = 0; k < n; ++k) {
    DbRequest r;
    r.chain = kKey;
    r.day = static_cast<uint8_t>(DayOf(k));
    r.type = kDbTypeSchedItem;
    r.block = Item(k);
    r.mode = 1;
    DbAccess(kDbWrite, r);
  }
  DbClose();
}

void Store_Write10000Items(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    Fresh();
    state.ResumeTiming();
    MakeMonth(10000);
  }
  PerOp(state, 10000);
}
BENCHMARK(Store_Write10000Items)->Unit(benchmark::kMillisecond);

void Store_Find10000(benchmark::State& state) {
  Fresh();
  MakeMonth(10000);
  std::mt19937 rng(7);
  std::vector<int> order(10000);
  for (int k = 0; k < 10000; ++k) order[k] = k;
  std::shuffle(order.begin(), order.end(), rng);
  DbOpen(kDbModeRead, kKey, 1122);
  for (auto _ : state) {
    for (int k : order) {
      DbRequest r;
      r.id = static_cast<uint16_t>(k + 1);
      r.chain = kKey;
      r.day = static_cast<uint8_t>(DayOf(k));
      r.type = kDbTypeSchedItem;
      if (!DbAccess(kDbFind, r)) state.SkipWithError("record not found");
    }
  }
  DbClose();
  PerOp(state, 10000);
}
BENCHMARK(Store_Find10000)->Unit(benchmark::kMillisecond);

// A day view: open the month, find and read the day's 100 items, close.
void Store_EnumerateDay100(benchmark::State& state) {
  Fresh();
  MakeMonth(3100);   // 100 items on every day
  for (auto _ : state) {
    DbOpen(kDbModeRead, kKey, 1122);
    DbRequest r;
    r.chain = kKey;
    r.day = 15;
    r.type = kDbTypeSchedItem;
    int read = 0;
    for (bool found = DbAccess(kDbRead, r); found; found = DbAccess(kDbRead, r)) {
      ++read;
      r.mode = kDbFindNext;
    }
    DbClose();
    if (read != 100) state.SkipWithError("the day does not hold 100 items");
  }
  PerOp(state, 100);
}
BENCHMARK(Store_EnumerateDay100)->Unit(benchmark::kMicrosecond);

// Opening and reading every record of a month of 10,000 items.
void Store_LoadMonth10000(benchmark::State& state) {
  Fresh();
  MakeMonth(10000);
  for (auto _ : state) {
    DbOpen(kDbModeRead, kKey, 1122);
    int read = 0;
    for (int day = 1; day <= 31; ++day) {
      DbRequest r;
      r.chain = kKey;
      r.day = static_cast<uint8_t>(day);
      r.type = kDbTypeSchedItem;
      for (bool found = DbAccess(kDbRead, r); found; found = DbAccess(kDbRead, r)) {
        ++read;
        r.mode = kDbFindNext;
      }
    }
    DbClose();
    if (read != 10000) state.SkipWithError("records missing");
  }
  PerOp(state, 10000);
}
BENCHMARK(Store_LoadMonth10000)->Unit(benchmark::kMillisecond);

void Store_ToDoInsert1000(benchmark::State& state) {
  std::mt19937 rng(11);
  for (auto _ : state) {
    state.PauseTiming();
    Fresh();
    state.ResumeTiming();
    ToDoItem item{};
    for (int k = 0; k < 1000; ++k) {
      MinuteKey due = MakeMinuteKey(2026, 1 + static_cast<int>(rng() % 12), 1 + static_cast<int>(rng() % 28), 23, 59);
      if (!ToDoInsertItem(MakeMinuteKey(2026, 1, 1), due, item)) state.SkipWithError("insert failed");
    }
  }
  PerOp(state, 1000);
}
BENCHMARK(Store_ToDoInsert1000)->Unit(benchmark::kMillisecond);

void StorePhonebook(int n) {
  for (int k = 0; k < n; ++k) {
    PhoneEntry e{};
    PutFixedText(e.data() + 4, 251, "Category\x1cLast " + std::to_string(k) + "\x1c" "First\x1c");
    PhoneEntryRef ref;
    PhoneStoreEntry(e, ref);
  }
}

void Store_PhoneStore2048(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    Fresh();
    state.ResumeTiming();
    StorePhonebook(2048);
  }
  PerOp(state, 2048);
}
BENCHMARK(Store_PhoneStore2048)->Unit(benchmark::kMillisecond);

void Store_PhoneLoad2048(benchmark::State& state) {
  Fresh();
  StorePhonebook(2048);
  std::vector<PhoneLoaded> entries;
  for (auto _ : state) {
    PhoneStoreOpen(kDbModeRead, 1703);
    PhoneLoadEntries(entries);
    PhoneStoreClose();
    if (entries.size() != 2048) state.SkipWithError("entries missing");
  }
  PerOp(state, 2048);
}
BENCHMARK(Store_PhoneLoad2048)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kv
