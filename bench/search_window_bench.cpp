// Showing a long list of hits in the Search window:
//   build/native/bin/kvbench --benchmark_filter=SearchWindow
// 5,000 results of every area (dated ones over ten years, phonebook ones without a date) become
// list rows: once as a search leaves them, and after a header click sorts them by each column.
#include <benchmark/benchmark.h>

#include <random>

#include "personal/search_window.h"
#include "resources/strings.h"

namespace kv {
namespace {

constexpr int kResults = 5000;

std::vector<SearchResult> ManyResults() {
  const char* const words[] = {"Meeting", "Lunch", "Dentist", "Review", "Call", "Gym", "Project", "Budget"};
  std::mt19937 random(5);
  std::vector<SearchResult> results;
  for (int i = 0; i < kResults; ++i) {
    SearchResult r;
    r.type = static_cast<uint32_t>(1 + random() % 8);
    if (r.type != kSearchPhone && r.type != kSearchPhoneNote) {
      DateStamp d = AddDays(1, 1, 2020, static_cast<int32_t>(random() % 3650));
      r.date = DateStamp{d.year, d.month, d.day, static_cast<uint16_t>(random() % 24), 0};
    }
    r.item = static_cast<uint16_t>(i);
    r.description = FormatText("%s %d with the team", words[random() % 8], static_cast<int>(random() % 100000));
    r.where = SearchWhereLabel(r.type);
    results.push_back(std::move(r));
  }
  return results;
}

// The rows of a fresh search: a date text for each dated hit.
void SearchWindow_Rows5000(benchmark::State& state) {
  std::vector<SearchResult> results = ManyResults();
  for (auto _ : state) {
    std::vector<SearchRow> rows = SearchRows(results);
    benchmark::DoNotOptimize(rows.data());
  }
}
BENCHMARK(SearchWindow_Rows5000)->Unit(benchmark::kMillisecond);

// A header click: the kept results sorted by the column (the current one followed), then the
// rows again.
void SearchWindow_SortAndRows5000(benchmark::State& state) {
  const std::vector<SearchResult> results = ManyResults();
  auto column = static_cast<SearchColumn>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    Search().results = results;
    Search().current = kResults / 2;
    state.ResumeTiming();
    SortKeptResults(column);
    std::vector<SearchRow> rows = SearchRows(Search().results);
    benchmark::DoNotOptimize(rows.data());
  }
  ResetSearch();
}
BENCHMARK(SearchWindow_SortAndRows5000)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kv
