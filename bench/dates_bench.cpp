// Date arithmetic and formatting: run with build/native/bin/kvbench --benchmark_filter=Dates
#include <benchmark/benchmark.h>

#include "calendar/date_format.h"
#include "calendar/dates.h"
#include "calendar/time_parse.h"

namespace kv {
namespace {

// Walks the days of 1900-2099 so every call sees a different date.
struct DateWalker {
  int year = 1900, month = 1, day = 1;
  void Next() {
    if (++day > MonthLength(month, year)) {
      day = 1;
      if (++month > 12) month = 1, year = year >= 2099 ? 1900 : year + 1;
    }
  }
};

void Dates_DayNumberAndWeekday(benchmark::State& state) {
  DateWalker w;
  for (auto _ : state) {
    DateFacts f = ExamineDate(w.month, w.day, w.year);
    benchmark::DoNotOptimize(f);
    w.Next();
  }
}
BENCHMARK(Dates_DayNumberAndWeekday);

void Dates_JulianRoundTrip(benchmark::State& state) {
  DateWalker w;
  for (auto _ : state) {
    DateStamp d = DateOfJulianDay(JulianDayNumber(w.month, w.day, w.year));
    benchmark::DoNotOptimize(d);
    w.Next();
  }
}
BENCHMARK(Dates_JulianRoundTrip);

void Dates_WeekNumber(benchmark::State& state) {
  DateWalker w;
  for (auto _ : state) {
    benchmark::DoNotOptimize(WeekNumber(w.month, w.day, w.year));
    w.Next();
  }
}
BENCHMARK(Dates_WeekNumber);

void Dates_LongDatePicture(benchmark::State& state) {
  DateWalker w;
  for (auto _ : state) {
    benchmark::DoNotOptimize(FormatLongDate(w.month, w.day, w.year));
    w.Next();
  }
}
BENCHMARK(Dates_LongDatePicture);

void Dates_ParseTime(benchmark::State& state) {
  RegionalSettings r;
  const char* texts[] = {"9:30", "9:30 PM", "0930", "12a", "21:45", "11:59p"};
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(ParseTimeOfDay(texts[i++ % 6], r));
  }
}
BENCHMARK(Dates_ParseTime);

}  // namespace
}  // namespace kv
