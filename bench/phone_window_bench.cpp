// The phonebook window's lists for a full phonebook: loading 2,048 entries and building the
// category filter lines, the name lines and the remembered selection, as the window does when it
// opens or switches lists. Run with build/native/bin/kvbench --benchmark_filter=PhoneWindow_
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <random>

#include "personal/phone_window.h"
#include "store/db_files.h"

namespace kv {
namespace {

struct WindowBenchFolder {
  std::string path =
      (std::filesystem::temp_directory_path() / ("kvbench-phonewindow-" + std::to_string(getpid()))).string();
  WindowBenchFolder() { std::filesystem::create_directories(path); }
  ~WindowBenchFolder() {
    ResetStore();
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
};

void FillPhonebook() {
  ResetStore();
  static WindowBenchFolder folder;
  SetDatabaseFolder(folder.path);
  std::filesystem::remove(PhoneFilePath());
  PhoneBook book;
  std::mt19937 rng(11);
  const char* categories[] = {"Work", "Family", "Friends", "Doctors", "Shops", "Clubs", "School", "Trades",
                              "Suppliers", "Customers", "Neighbours", "Services"};
  for (int k = 0; k < 2048; ++k) {
    PhoneFields f;
    f[kPhoneCategory] = categories[rng() % 12];
    f[kPhoneLast] = "Last" + std::to_string(rng() % 100000);
    f[kPhoneFirst] = "First" + std::to_string(k);
    f[kPhoneSalutation] = k % 2 ? "Mr." : "Ms.";
    f[kPhoneCompany] = k % 3 ? "" : "Company " + std::to_string(k);
    f[kPhoneAddress] = std::to_string(k) + " Main Street\r\nSpringfield, IL  62701";
    f[kPhoneNumber1] = "555-" + std::to_string(1000 + k) + "*";
    f[kPhoneLabel1] = k % 2 ? "Office" : "Mobile";
    PhoneSave(book, f);
  }
}

// Arg 0: people, 1: organizations, 2: people of one category.
void PhoneWindow_Lists2048(benchmark::State& state) {
  FillPhonebook();
  PhoneBook book;
  book.view = state.range(0) == 1 ? PhoneView::Organizations : PhoneView::People;
  if (state.range(0) == 2) book.categoryFilter = "Clubs";
  PhoneRemembered remembered{999, "Last9"};
  size_t lines = 0;
  for (auto _ : state) {
    if (!PhoneLoad(book) || book.liveCount != 2048) state.SkipWithError("entries missing");
    std::vector<std::string> filter = PhoneFilterLines(book);
    std::vector<std::string> names;
    names.reserve(book.index.size());
    for (const PhoneIndexEntry& e : book.index) names.push_back(e.name);
    book.selected = FindRememberedPhoneEntry(book, remembered);
    lines = filter.size() + names.size();
    benchmark::DoNotOptimize(lines);
  }
  state.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK(PhoneWindow_Lists2048)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// Typing a two-letter prefix into the name list of 2,048 people, the second from the current entry.
void PhoneWindow_TypeAhead2048(benchmark::State& state) {
  FillPhonebook();
  PhoneBook book;
  PhoneLoad(book);
  for (auto _ : state) {
    PhoneTypeAhead typing;
    int at = typing.Key('L', book.index, 0).select;
    at = typing.Key('z', book.index, at).select;   // no name has it: the whole list is searched
    benchmark::DoNotOptimize(at);
  }
}
BENCHMARK(PhoneWindow_TypeAhead2048)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace kv
