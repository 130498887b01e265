// The checks and lists behind the overlay dialogs, each of which runs on every OK or change of
// date in the editor:
//   build/native/bin/kvbench --benchmark_filter='OverlayDialog'
#include <benchmark/benchmark.h>

#include "base/messages.h"
#include "calendar/jewish_observance.h"
#include "overlays/event_editor.h"
#include "overlays/overlay_dialogs.h"

namespace kv {
namespace {

EventEditorValues GoodValues() {
  EventEditorValues v;
  v.kind = kKindEveryNMonths;
  v.date = DateStamp{2026, 12, 7};
  v.text = "Water filter";
  v.n = 3;
  v.rangeOn = true;
  v.rangeEnd = DateStamp{2027, 12, 7};
  v.timeText = "9:30 AM";
  v.weight = 20;
  return v;
}

// All checks passed and the event stored (the longest path through the checks).
void OverlayDialog_CheckEventEditor(benchmark::State& state) {
  EventEditorValues v = GoodValues();
  OverlayEvent e;
  for (auto _ : state) {
    EditorField f = CheckEventEditor(v, e, true);
    benchmark::DoNotOptimize(f);
    benchmark::DoNotOptimize(e);
  }
}
BENCHMARK(OverlayDialog_CheckEventEditor);

// The last check refused (the message goes to a recorder).
void OverlayDialog_CheckEventEditorRefused(benchmark::State& state) {
  ScriptedMessages messages;
  ScopedMessageSink scope(messages);
  EventEditorValues v = GoodValues();
  v.weight = 300;
  OverlayEvent e;
  for (auto _ : state) {
    EditorField f = CheckEventEditor(v, e, true);
    benchmark::DoNotOptimize(f);
    if (messages.Shown().size() > 1000) messages.Clear();
  }
}
BENCHMARK(OverlayDialog_CheckEventEditorRefused);

// The repeat list for a date (Gregorian and Jewish kinds), walking the days of a year.
void OverlayDialog_Describe(benchmark::State& state) {
  RepeatOffer offer;
  offer.jewishKinds = true;
  int day = 0;
  for (auto _ : state) {
    DateStamp d = AddDays(1, 1, 2027, day);
    std::vector<RepeatChoice> list = Describe(d, offer);
    benchmark::DoNotOptimize(list.data());
    day = (day + 1) % 365;
  }
}
BENCHMARK(OverlayDialog_Describe);

// The Jewish date a picked day stores, with its flags.
void OverlayDialog_JewishDateForEditor(benchmark::State& state) {
  int day = 0;
  for (auto _ : state) {
    StoredJewishDate j = JewishDateForEditor(kKindYahrzeit, AddDays(1, 1, 2027, day), (day & 1) != 0);
    benchmark::DoNotOptimize(j);
    day = (day + 1) % 365;
  }
}
BENCHMARK(OverlayDialog_JewishDateForEditor);

// The Yahrzeit observance check of chosen days.
void OverlayDialog_CheckYahrzeitObservance(benchmark::State& state) {
  JewishDate death{5787, kAdar, 24};
  YahrzeitObservanceForm form = MakeYahrzeitObservanceForm(death, false);
  for (auto _ : state) {
    int bad = CheckYahrzeitObservance(form, death);
    benchmark::DoNotOptimize(bad);
  }
}
BENCHMARK(OverlayDialog_CheckYahrzeitObservance);

}  // namespace
}  // namespace kv
