// The to-do list and the phonebook as their windows load them: run with
// build/native/bin/kvbench --benchmark_filter='ToDo_|Phone_'
// The store's own costs (inserting, reading slots) are in store_bench.cpp; these add parsing,
// zone conversion, display names, choice lists and sorting.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <random>

#include "calendar/clock.h"
#include "calendar/zone_conversion.h"
#include "personal/phone.h"
#include "personal/todo.h"
#include "store/db_files.h"

namespace kv {
namespace {

// A database folder of its own for these benchmarks, removed at exit.
struct BenchFolder {
  std::string path = (std::filesystem::temp_directory_path() / ("kvbench-personal-" + std::to_string(getpid()))).string();
  BenchFolder() { std::filesystem::create_directories(path); }
  ~BenchFolder() {
    ResetStore();
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
};

void UseFreshFolder() {
  ResetStore();   // the store's state first, so that it outlives the folder at exit
  static BenchFolder folder;
  SetDatabaseFolder(folder.path);
  std::filesystem::remove(ToDoFilePath());
  std::filesystem::remove(PhoneFilePath());
}

void ToDo_Load1000(benchmark::State& state) {
  UseFreshFolder();
  FixedClock clock(DateStamp{2026, 6, 15, 12, 0});
  SetClockSource(&clock);
  SetCurrentZone(3);
  SetZoneConversion([](const DateStamp& d, int from, int to) { return AddMinutes(d, (to - from) * 60); });
  std::mt19937 rng(5);
  for (int k = 0; k < 1000; ++k) {
    ToDoForm form;
    form.text = "Task number " + std::to_string(k);
    form.activate = DateStamp{2026, static_cast<uint16_t>(1 + rng() % 6), static_cast<uint16_t>(1 + rng() % 28)};
    form.required = DateStamp{2026, static_cast<uint16_t>(7 + rng() % 6), static_cast<uint16_t>(1 + rng() % 28)};
    form.timeOfDay = k % 3 == 0 ? kToDoNoTime : static_cast<int>(rng() % 1439);
    form.priority = 1 + static_cast<int>(rng() % 3);
    form.zone = static_cast<uint8_t>(k % 4 == 0 ? 1 : 3);
    if (!ToDoSave(form).Ok()) state.SkipWithError("save failed");
  }
  ToDoSettings settings;
  settings.viewAll = true;
  settings.sortByPriority = state.range(0) != 0;
  std::vector<ToDoEntry> entries;
  for (auto _ : state) {
    if (ToDoLoad(entries, settings) != 1000) state.SkipWithError("items missing");
  }
  state.counters["per_item"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * 1000, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  SetZoneConversion(nullptr);
  SetCurrentZone(0);
  SetClockSource(nullptr);
}
BENCHMARK(ToDo_Load1000)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void Phone_Load2048(benchmark::State& state) {
  UseFreshFolder();
  PhoneBook book;
  std::mt19937 rng(9);
  const char* categories[] = {"Work", "Family", "Friends", "Doctors", "Shops", "Clubs", "School", "Trades"};
  for (int k = 0; k < 2048; ++k) {
    PhoneFields f;
    f[kPhoneCategory] = categories[rng() % 8];
    f[kPhoneLast] = "Last" + std::to_string(rng() % 100000);
    f[kPhoneFirst] = "First" + std::to_string(k);
    f[kPhoneCompany] = k % 3 ? "" : "Company " + std::to_string(k);
    f[kPhoneAddress] = std::to_string(k) + " Main Street\r\nSpringfield, IL  62701";
    f[kPhoneNumber1] = "555-" + std::to_string(1000 + k) + "*";
    f[kPhoneLabel1] = k % 2 ? "Office" : "Mobile";
    if (!PhoneSave(book, f).Ok()) state.SkipWithError("save failed");
  }
  book.view = state.range(0) ? PhoneView::Organizations : PhoneView::People;
  for (auto _ : state) {
    if (!PhoneLoad(book) || book.liveCount != 2048) state.SkipWithError("entries missing");
  }
  state.counters["per_entry"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * 2048, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(Phone_Load2048)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kv
