// Search over a large calendar:
//   build/native/bin/kvbench --benchmark_filter=Search
// The data: ten years of schedule (50,000 items, every fifth with a note), a general note on
// every day, 2,048 phonebook entries each with a note, 1,000 to-do items (every fourth with a
// note) and the seven standard overlays (from the Data folder built beside kvbench). It is
// written once into a temporary database folder.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

#include "bench/bench_overlays.h"
#include "overlays/overlay_set.h"
#include "personal/notes.h"
#include "personal/phone.h"
#include "personal/schedule.h"
#include "personal/search.h"
#include "personal/search_sources.h"
#include "personal/todo.h"
#include "resources/strings.h"
#include "base/messages.h"
#include "base/settings.h"
#include "store/container.h"
#include "store/phone_file.h"
#include "store/todo_file.h"

namespace kv {
namespace {

constexpr int kFirstYear = 2015;
constexpr int kYears = 10;
constexpr int kItems = 50000;
constexpr int kCaller = 1990;

const char* const kWords[] = {"Meeting", "Lunch", "Dentist", "Review", "Call", "Gym", "Project", "Budget"};

uint16_t WriteRecord(uint32_t chain, int day, uint8_t type, uint8_t flag, std::vector<uint8_t> bytes) {
  DbRequest rq;
  rq.chain = chain;
  rq.day = static_cast<uint8_t>(day);
  rq.type = type;
  rq.mode = flag;
  rq.block = std::move(bytes);
  return DbAccess(kDbWrite, rq) ? rq.id : 0;
}

void WriteSchedule() {
  int days = 0;
  for (int y = kFirstYear; y < kFirstYear + kYears; ++y) days += YearLength(y);
  int item = 0;
  int dayIndex = 0;
  for (int y = kFirstYear; y < kFirstYear + kYears; ++y) {
    for (int m = 1; m <= 12; ++m) {
      uint32_t key = MonthKey(y, m);
      DbOpen(kDbModeWrite, key, kCaller);
      for (int d = 1; d <= MonthLength(m, y); ++d, ++dayIndex) {
        WriteRecord(key, d, kNoteDay, 0,
                    SerializeNote(NoteRecord{kNoteDay, FormatText("Notes of day %d: bring the papers for the "
                                                                  "meeting and water the plants.", dayIndex)}));
        int until = static_cast<int>(static_cast<long long>(kItems) * (dayIndex + 1) / days);
        for (int slot = 0; item < until; ++item, ++slot) {
          SchedRecord r;
          r.start = static_cast<int16_t>(480 + 45 * slot);
          r.end = static_cast<int16_t>(r.start + 30);
          r.title = FormatText("%s %d with the team", kWords[item % 8], item);
          if (item % 5 == 0) {
            r.noteId = WriteRecord(key, d, kNoteSchedule, 0,
                                   SerializeNote(NoteRecord{kNoteSchedule, FormatText("Agenda %d: figures, plans "
                                                                                      "and the next steps.", item)}));
          }
          WriteRecord(key, d, 4, kSchedFlagItem, SerializeSchedRecord(r));
        }
      }
      DbClose();
    }
  }
}

void WritePhonebook() {
  std::vector<uint16_t> noteIds;
  DbSelectStore(kStorePhoneNotes);
  DbOpen(kDbModeWrite, 0, kCaller);
  for (int i = 0; i < kPhoneMaxEntries; ++i)
    noteIds.push_back(WriteRecord(0, 0, kNotePhone, 0,
                                  SerializeNote(NoteRecord{kNotePhone, FormatText("Met %d at the fair.", i)})));
  DbClose();
  for (int i = 0; i < kPhoneMaxEntries; ++i) {
    PhoneFields f;
    f[kPhoneCategory] = i % 3 ? "Friends" : "Business";
    f[kPhoneLast] = i % 4 ? FormatText("Smith%d", i) : "";
    f[kPhoneFirst] = FormatText("Ann%d", i);
    f[kPhoneCompany] = FormatText("Company %d", i);
    f[kPhoneAddress] = FormatText("%d Main Street\r\nSpringfield", i);
    f[kPhoneNumber1] = "555-0100";
    PhoneEntry entry{};
    PhoneEntryRef ref;
    BuildPhoneEntry(f, entry);
    PhoneStoreEntry(entry, ref);
  }
  PhoneStoreOpen(kDbModeWrite, kCaller);
  std::vector<PhoneLoaded> loaded;
  PhoneLoadEntries(loaded);
  for (size_t i = 0; i < loaded.size(); ++i) {
    SetPhoneEntryNoteId(loaded[i].entry, noteIds[i]);
    PhoneWriteEntry(loaded[i].entry, loaded[i].slot);
  }
  PhoneStoreClose();
}

void WriteToDo() {
  DbSelectStore(kStoreToDoNotes);
  for (int i = 0; i < 1000; ++i) {
    ToDoRecord r;
    r.text = FormatText("%s task %d", kWords[(i + 3) % 8], i);
    if (i % 4 == 0) {
      DbOpen(kDbModeWrite, 0, kCaller);
      r.noteId = WriteRecord(0, 0, kNoteToDo, 0, SerializeNote(NoteRecord{kNoteToDo, "Ask about the dentist bill."}));
      DbClose();
    }
    DateStamp due = AddDays(1, 1, kFirstYear, i * 3);
    ToDoInsertItem(MakeMinuteKey(due.year, due.month, due.day), MakeMinuteKey(due.year, due.month, due.day, 23, 59),
                   SerializeToDoRecord(r));
  }
}

// The data folder, written on first use.
bool PrepareData(benchmark::State& state) {
  static bool ready = false;
  static MemorySettings settings;
  SetSettingsStore(&settings);
  if (!LoadStandardOverlays(state)) return false;
  if (ready) return true;
  static const std::filesystem::path folder = std::filesystem::temp_directory_path() / "kv_search_bench";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  std::atexit([] {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  });
  ResetStore();
  SetDatabaseFolder(folder.string());
  WriteSchedule();
  WritePhonebook();
  WriteToDo();
  ready = true;
  return true;
}

// Searches the whole range of every area, over and over.
void SearchWholeRange(benchmark::State& state, const char* text, bool matchCase, bool wholeWord) {
  if (!PrepareData(state)) return;
  ScriptedMessages messages;
  ScopedMessageSink scope(messages);
  StoreSearchSources sources;
  SearchRequest rq;
  rq.text = text;
  rq.matchCase = matchCase;
  rq.wholeWord = wholeWord;
  rq.range = SearchRange{DateStamp{kFirstYear, 1, 1}, DateStamp{kFirstYear + kYears - 1, 12, 31}};
  std::vector<SearchResult> results;
  for (auto _ : state) {
    RunSearch(rq, sources, results);
    benchmark::DoNotOptimize(results.data());
  }
  state.counters["results"] = static_cast<double>(results.size());
}

// A word that is in every fourth to-do note and one title in eight.
void Search_WholeRange(benchmark::State& state) { SearchWholeRange(state, "dentist", false, false); }
BENCHMARK(Search_WholeRange)->Unit(benchmark::kMillisecond);

// With whole words and case, finding nothing: every text is read and compared in full.
void Search_WholeRangeNoMatch(benchmark::State& state) { SearchWholeRange(state, "Zebra", true, true); }
BENCHMARK(Search_WholeRangeNoMatch)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kv
