#include "personal/search.h"

#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <random>
#include <tuple>

#include "calendar/date_format.h"
#include "personal/search_test_support.h"
#include "resources/strings.h"
#include "base/messages.h"
#include "base/settings.h"

namespace kv {
namespace {

using test::D;

// ---- text match -------------------------------------------------------------------------------

TEST(SearchMatch, Table) {
  struct Case { const char* needle; const char* haystack; bool matchCase, wholeWord; int expected; };  // -1: none
  const Case cases[] = {
      {"cat", "cat", false, false, 0},                // the whole haystack
      {"cats", "cat", false, false, -1},              // needle longer than haystack
      {"", "cat", false, false, -1},                  // empty needle
      {"cat", "cat.", false, true, 0},                // whole word at the text's start, before a stop
      {"cat", "the cat", false, true, 4},             // at the text's end
      {"cat", "cats", false, true, -1},
      {"cat", "bobcat cat", false, true, 7},          // the first accepted position
      {"cat", "bobcat", false, false, 3},
      {"cat", "cat2", false, true, -1},               // digits are word characters
      {"cat", "_cat_", false, true, 1},               // '_' is not
      {"dENTIST", "See Dentist", false, false, 4},    // ASCII folding both ways
      {"dENTIST", "See Dentist", true, false, -1},
      {"caf\xe9", "CAF\xc9", false, false, -1},       // letters beyond a to z compare exactly
      {"caf\xe9", "CAF\xe9", false, false, 0},
      {"\xe9t\xe9", "x \xe9t\xe9 y", false, true, 2}, // non-ASCII letters are no word characters
      {"ab", "aab", false, false, 1},
      {"a b", "xa b", false, true, -1},
  };
  for (const Case& c : cases) {
    std::optional<uint32_t> at = SearchTextMatch(c.needle, c.haystack, c.matchCase, c.wholeWord);
    EXPECT_EQ(at ? static_cast<int>(*at) : -1, c.expected) << c.needle << " in " << c.haystack;
  }
}

TEST(SearchMatch, NeedleIsCutAt63Characters) {
  std::string needle(63, 'x');
  std::string longer = needle + "y";  // the 64th character is dropped
  EXPECT_EQ(SearchNeedle(longer), needle);
  EXPECT_EQ(SearchTextMatch(longer, "a" + needle + "z", false, false), 1u);
  EXPECT_FALSE(SearchTextMatch(needle, std::string(62, 'x'), false, false));
}

// Against a plain reference on random texts over a small alphabet (so that matches are common),
// with bytes beyond ASCII and control characters among them.
TEST(SearchMatch, AgreesWithAReferenceOnRandomTexts) {
  const std::string alphabet("aAbB \x1c.\xe9\xc9\x00" "1", 11);
  std::mt19937 random(7);
  auto text = [&](size_t max) {
    std::string t(random() % (max + 1), ' ');
    for (char& c : t) c = alphabet[random() % alphabet.size()];
    return t;
  };
  auto fold = [](std::string t) {
    for (char& c : t)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return t;
  };
  auto word = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) && static_cast<unsigned char>(c) < 0x80; };
  for (int i = 0; i < 20000; ++i) {
    std::string needle = text(4), haystack = text(24);
    bool matchCase = random() % 2, wholeWord = random() % 2;
    std::string n = matchCase ? needle : fold(needle), h = matchCase ? haystack : fold(haystack);
    std::optional<uint32_t> expected;
    for (size_t at = h.find(n); !n.empty() && at != std::string::npos; at = h.find(n, at + 1)) {
      size_t end = at + n.size();
      if (wholeWord && ((at > 0 && word(h[at - 1])) || (end < h.size() && word(h[end])))) continue;
      expected = static_cast<uint32_t>(at);
      break;
    }
    ASSERT_EQ(SearchTextMatch(needle, haystack, matchCase, wholeWord), expected)
        << i << " '" << needle << "' in '" << haystack << "'";
  }
}

TEST(SearchMatch, NoteExcerpt) {
  const std::pair<std::string, std::string> cases[] = {
      {"Call Bob", "Call Bob"},  // fits: shown whole
      {"Line one\r\nline two", "Line one  line two"},
      // 37 characters and more: cut back to the last blank inside the first 37.
      {"The quick brown fox jumps over the lazy dog", "The quick brown fox jumps over the..."},
      {std::string(40, 'x'), std::string(37, 'x') + "..."},  // no blank: the 37 characters stay
      {"Meeting\twith the whole team about the budget", "Meeting with the whole team about..."},
      {" " + std::string(40, 'y'), " " + std::string(36, 'y') + "..."},
      {std::string(37, 'z'), std::string(37, 'z')},
  };
  for (const auto& [note, excerpt] : cases) EXPECT_EQ(NoteExcerpt(note), excerpt) << note;
}

// ---- results and their order --------------------------------------------------------------------

SearchResult R(uint32_t type, DateStamp date, std::string description) {
  SearchResult r;
  r.type = type;
  r.date = date;
  r.description = std::move(description);
  r.where = SearchWhereLabel(type);
  return r;
}

TEST(SearchResults, DateOrder) {
  // Dateless after dated; two dateless by description; equal days equal whatever the time.
  const struct { SearchResult a, b; int expected; } cases[] = {
      {R(kSearchSchedule, D(2025, 1, 2), "b"), R(kSearchSchedule, D(2025, 1, 3), "a"), -1},
      {R(kSearchSchedule, D(2025, 12, 31), "a"), R(kSearchToDo, D(2026, 1, 1), "a"), -1},
      {R(kSearchSchedule, D(2025, 1, 2, 9), "b"), R(kSearchGeneralNote, D(2025, 1, 2, 0), "a"), 0},
      {R(kSearchPhoneNote, D(2020, 1, 1), "a"), R(kSearchSchedule, D(2025, 1, 1), "z"), 1},  // date cleared
      {R(kSearchPhone, DateStamp{}, "a"), R(kSearchOverlay, D(2025, 1, 1), "z"), 1},
      {R(kSearchPhoneNote, D(2020, 1, 1), "b"), R(kSearchPhone, DateStamp{}, "a"), 1},
      {R(kSearchPhoneNote, DateStamp{}, "a"), R(kSearchPhoneNote, D(2030, 1, 1), "a"), 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CompareByDate(c.a, c.b), c.expected) << c.a.description << " " << c.b.description;
    EXPECT_EQ(CompareByDate(c.b, c.a), -c.expected);
  }
  EXPECT_EQ(SearchDateText(R(kSearchPhoneNote, D(2025, 3, 4), "x")), "");  // phonebook notes are dateless
  EXPECT_EQ(SearchDateText(R(kSearchSchedule, D(2025, 3, 4), "x")), FormatShortDate(3, 4, 2025));
}

TEST(SearchResults, SortingByEachColumn) {
  std::vector<SearchResult> rs = {R(kSearchPhoneNote, DateStamp{}, "Zed"), R(kSearchSchedule, D(2025, 5, 1), "b"),
                                  R(kSearchPhone, DateStamp{}, "Abe"), R(kSearchOverlay, D(2025, 4, 1), "c"),
                                  R(kSearchToDo, D(2025, 4, 1), "a")};
  auto order = [&] {
    std::string s;
    for (const SearchResult& r : rs) s += r.description + ",";
    return s;
  };
  SortSearchResults(rs, SearchColumn::Date);
  EXPECT_EQ(order(), "c,a,b,Abe,Zed,");  // equal days keep their order
  SortSearchResults(rs, SearchColumn::Description);
  EXPECT_EQ(order(), "Abe,Zed,a,b,c,");  // byte-wise: upper case first
  SortSearchResults(rs, SearchColumn::Where);
  EXPECT_EQ(order(), "c,Abe,Zed,b,a,");  // Overlay, Phonebook, Phonebook Notes, Schedule, To Do
}

TEST(SearchLayout, ColumnWidths) {
  const std::tuple<int, int, int> cases[] = {{403, 203, 100}, {3, 3, 0}, {-5, 0, 0}};
  for (const auto& [width, description, quarter] : cases) {
    SearchColumnWidths w = SearchColumnWidthsFor(width);
    EXPECT_EQ(w.description, description) << width;
    EXPECT_EQ(w.date, quarter);
    EXPECT_EQ(w.where, quarter);
  }
}

TEST(SearchLayout, CollapsedWindowMovesOutOfTheWay) {
  const int screen = 1000, clientTop = 60;
  const struct { SearchRect search, target, expected; } cases[] = {
      // No overlap: stays.
      {{700, 100, 900, 150}, {0, 100, 600, 500}, {700, 100, 900, 150}},
      // More room on the right (a tie counts as the right): one pixel right of the target.
      {{300, 100, 500, 150}, {100, 80, 500, 600}, {501, 100, 701, 150}},
      // Kept on the screen (no further right than the screen width less its own width); still
      // overlapping, it goes up to the client area's top.
      {{300, 100, 500, 150}, {100, 80, 820, 600}, {800, 60, 1000, 110}},
      // More room on the left: its right edge on the target's left edge, not below 0.
      {{500, 100, 700, 150}, {400, 80, 950, 600}, {200, 100, 400, 150}},
      {{500, 100, 700, 150}, {100, 80, 950, 600}, {0, 60, 200, 110}},
  };
  for (const auto& c : cases) {
    SearchRect got = PlaceCollapsedSearch(c.search, c.target, screen, clientTop);
    EXPECT_EQ(got, c.expected) << got.left << "," << got.top << "," << got.right << "," << got.bottom;
  }
}

// ---- settings -----------------------------------------------------------------------------------

class SearchSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override { SetSettingsStore(&settings_); }
  void TearDown() override { SetSettingsStore(nullptr); }
  MemorySettings settings_;
  ScriptedMessages messages_;
  ScopedMessageSink scope_{messages_};
};

TEST_F(SearchSettingsTest, HistoryMovesToFrontAndDropsTheOldest) {
  for (const char* t : {"one", "two", "three", "four"}) RecordSearchText(t);
  EXPECT_EQ(SearchHistory(), (std::vector<std::string>{"four", "three", "two", "one"}));
  RecordSearchText("two");  // known text: only moves to the front
  EXPECT_EQ(SearchHistory(), (std::vector<std::string>{"two", "four", "three", "one"}));
  RecordSearchText("five");  // a fifth text drops the oldest
  EXPECT_EQ(SearchHistory(), (std::vector<std::string>{"five", "two", "four", "three"}));
  RecordSearchText("Five");  // texts compare exactly
  EXPECT_EQ(SearchHistory().front(), "Five");
  EXPECT_EQ(settings_.Read("Search", "Srch4"), "four");
  // Reading stops at the first missing value.
  settings_ = MemorySettings{};
  settings_.Write("Search", "Srch1", "a");
  settings_.Write("Search", "Srch3", "c");  // after a gap: not read
  EXPECT_EQ(SearchHistory(), (std::vector<std::string>{"a"}));
  RecordSearchText("b");
  EXPECT_EQ(SearchHistory(), (std::vector<std::string>{"b", "a"}));
  EXPECT_FALSE(settings_.Has("Search", "Srch3"));  // the stale value behind the gap is gone
}

TEST_F(SearchSettingsTest, RangeAndAreasPersistAsDaysFromToday) {
  DateStamp today = D(2026, 12, 6);
  SearchRange r = LoadSearchRange(today);  // defaults -30 and +30
  EXPECT_EQ(r.from, D(2026, 11, 6));
  EXPECT_EQ(r.thru, D(2027, 1, 5));
  EXPECT_EQ(LoadSearchAreas(), 255);

  SaveSearchSettings(SearchRange{D(2026, 1, 1), D(2027, 1, 1)}, 17, today);
  EXPECT_EQ(settings_.Read("Search", "From"), "-339");
  EXPECT_EQ(settings_.Read("Search", "Thru"), "26");
  EXPECT_EQ(settings_.Read("Search", "Type"), "17");
  r = LoadSearchRange(D(2026, 12, 7));  // a day later, the range moves with today
  EXPECT_EQ(r.from, D(2026, 1, 2));
  EXPECT_EQ(LoadSearchAreas(), 17);

  // Values that are no numbers, or lead out of the calendar, give the defaults.
  const std::pair<const char*, const char*> bad[] = {{"x", "9000000"}, {"-5000000", "1e3"}};
  for (const auto& [from, thru] : bad) {
    settings_.Write("Search", "From", from);
    settings_.Write("Search", "Thru", thru);
    settings_.Write("Search", "Type", thru);
    r = LoadSearchRange(today);
    EXPECT_EQ(r.from, D(2026, 11, 6)) << from;
    EXPECT_EQ(r.thru, D(2027, 1, 5)) << thru;
    EXPECT_EQ(LoadSearchAreas(), 255) << thru;
  }
  settings_.Write("Search", "From", "-3000000");  // far back, inside the limit, before year 1
  EXPECT_EQ(LoadSearchRange(today).from, D(2026, 11, 6));
}

TEST_F(SearchSettingsTest, WhereChecks) {
  const struct { SearchRange range; uint16_t areas; int failed; const char* message; } cases[] = {
      {{D(2025, 2, 30), D(2025, 3, 1)}, 1, 1, "Invalid date or range!"},
      {{D(2025, 2, 1), D(0, 3, 1)}, 1, 2, "Invalid date or range!"},
      {{D(2025, 3, 2), D(2025, 3, 1)}, 1, 3, "End date must be equal to or greater than starting date."},
      {{D(2025, 3, 1), D(2025, 3, 1)}, 0, 4, "Please select at least one area to search."},
      {{D(2025, 3, 1), D(2025, 3, 1)}, 256, 4, "Please select at least one area to search."},
      {{D(2025, 3, 1), D(2025, 3, 1)}, 128, 0, nullptr},
  };
  for (const auto& c : cases) {
    messages_.Clear();
    int failed = -1;
    EXPECT_EQ(CheckSearchWhere(c.range, c.areas, &failed), c.failed == 0);
    EXPECT_EQ(failed, c.failed);
    EXPECT_EQ(messages_.Texts(), c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
  }
}

// ---- the run over the areas -----------------------------------------------------------------------

class FakeSources : public SearchSources {
 public:
  bool Busy() override { return busy; }
  void ScheduleMonth(int year, int month, int fromDay, int toDay, bool withNotes,
                     std::vector<SearchScheduleEntry>& out) override {
    walked.push_back(FormatText("S%d-%d:%d-%d", year, month, fromDay, toDay));
    for (SearchScheduleEntry e : schedule) {
      if (e.start.year != year || e.start.month != month || e.start.day < fromDay || e.start.day > toDay) continue;
      // Schedule notes are looked up under the stored date.
      if (withNotes) e.note = Note(2, e.stored, e.noteId);
      out.push_back(e);
    }
  }
  bool PhoneEntries(bool withNotes, std::vector<SearchPhoneEntry>& out) override {
    out = phone;
    for (SearchPhoneEntry& e : out)
      if (withNotes) e.note = Note(5, DateStamp{}, e.noteId);
    return phoneReads;
  }
  void ToDoItems(bool withNotes, std::vector<SearchToDoEntry>& out) override {
    out = todo;
    for (SearchToDoEntry& e : out)
      if (withNotes) e.note = Note(3, DateStamp{}, e.noteId);
  }
  void OverlayMonth(int year, int month, std::vector<SearchOverlayHit>& out) override {
    walked.push_back(FormatText("O%d-%d", year, month));
    auto it = overlay.find({year, month});
    if (it != overlay.end()) out = it->second;
  }
  bool GeneralNotes(int year, int month, int fromDay, int toDay, std::vector<SearchDayNote>& out) override {
    auto it = dayNotes.find({year, month});
    if (it == dayNotes.end()) return false;  // no month file
    walked.push_back(FormatText("N%d-%d:%d-%d", year, month, fromDay, toDay));
    for (const SearchDayNote& n : it->second)
      if (n.day >= fromDay && n.day <= toDay) out.push_back(n);
    return true;
  }
  std::optional<std::string> Note(int noteType, const DateStamp& date, uint16_t noteId) {
    if (!noteId) return std::nullopt;
    notesRead.push_back(FormatText("%d:%d-%d-%d:%d", noteType, date.year, date.month, date.day, noteId));
    auto it = notes.find({noteType, noteId});
    if (it == notes.end()) return std::nullopt;
    return it->second;
  }

  bool busy = false;
  bool phoneReads = true;
  std::vector<SearchScheduleEntry> schedule;
  std::vector<SearchPhoneEntry> phone;
  std::vector<SearchToDoEntry> todo;
  std::map<std::pair<int, int>, std::vector<SearchOverlayHit>> overlay;
  std::map<std::pair<int, int>, std::vector<SearchDayNote>> dayNotes;
  std::map<std::pair<int, uint16_t>, std::string> notes;
  std::vector<std::string> walked;
  std::vector<std::string> notesRead;
};

class SearchRunTest : public SearchSettingsTest {
 protected:
  SearchRequest Request(const char* text, uint16_t areas = kAreaAll) {
    SearchRequest rq;
    rq.text = text;
    rq.areas = areas;
    rq.range = SearchRange{D(2025, 12, 20), D(2026, 1, 10)};
    return rq;
  }
  std::string Hits() const { return test::SearchHits(results_); }
  FakeSources src_;
  std::vector<SearchResult> results_;
};

TEST_F(SearchRunTest, AreasInTheirOrderWithTheirResults) {
  src_.schedule = {{D(2025, 12, 19, 9), D(2025, 12, 19), 1, 0, "Dentist early", {}},  // before the range
                   {D(2025, 12, 24, 9, 30), D(2025, 12, 24), 2, 7, "Dentist", {}},
                   {D(2026, 1, 2, 8), D(2026, 1, 2), 3, 8, "Lunch", {}},
                   {D(2026, 1, 11, 8), D(2026, 1, 11), 4, 0, "Dentist late", {}}};  // after it
  src_.notes = {{{2, 7}, "ask the dentist"}, {{2, 8}, "nothing"}, {{3, 5}, "Dentist bill"},
                {{5, 9}, "his dentist"}};
  src_.phone = {{3, 0, 1, "Doctors\x1cSmith\x1cJohn\x1c" "Dr.\x1c\x1c\x1c" "Dentist Street 1\x1c", "Dr. John Smith", {}},
                {4, 9, 0, "Shops\x1c\x1c\x1c\x1c\x1c" "ACME\x1c", "ACME", {}}};
  src_.todo = {{6, D(2024, 5, 1, 23, 59), 5, "Pay bill", {}},  // outside the range: to-do is searched whole
               {2, D(2027, 1, 1, 12), 0, "Call dentist", {}}};
  src_.overlay[{2025, 12}] = {{D(2025, 12, 25), "Dentist day"}, {D(2025, 12, 1), "Dentist outside"}};
  src_.overlay[{2026, 1}] = {{D(2026, 1, 1), "New Year"}, {D(2026, 1, 31), "Dentist after"}};
  src_.dayNotes[{2026, 1}] = {{3, 11, "Went to the dentist today and it was fine, more or less."}};

  EXPECT_EQ(RunSearch(Request("DENTIST"), src_, results_), SearchOutcome::Found);
  EXPECT_EQ(Hits(),
            "1/2025-12-24/2/0/Dentist|"                               // schedule titles
            "5/2025-12-24/2/8/" + FormatLongDate(12, 24, 2025) + "|"  // and notes, month by month
            "3/0-0-0/3/25/Dr. John Smith|"                            // phonebook
            "7/0-0-0/4/4/ACME|"                                       // phonebook note
            "6/2024-5-1/6/0/" + FormatLongDate(5, 1, 2024) + "|"      // to-do note
            "2/2027-1-1/2/5/Call dentist|"                            // to-do text
            "4/2025-12-25/0/0/Dentist day|"                           // overlays inside the range
            "8/2026-1-3/11/12/Went to the dentist today and it was...|");
  EXPECT_EQ(results_[0].date, D(2025, 12, 24, 9, 30));  // schedule hits keep their start time
  EXPECT_EQ(results_[2].entryKind, 1);
  EXPECT_EQ(results_[2].where, "Phonebook");
  EXPECT_EQ(results_[4].date.hour, 0);
  // December then January of the next year, the first and last months cut to the range.
  EXPECT_EQ(src_.walked, (std::vector<std::string>{"S2025-12:20-31", "S2026-1:1-10", "O2025-12", "O2026-1",
                                                   "N2026-1:1-10"}));
  EXPECT_EQ(SearchHistory(), (std::vector<std::string>{"DENTIST"}));
  EXPECT_TRUE(messages_.Texts().empty());
}

TEST_F(SearchRunTest, MaskSelectsAreasAndNotesAreReadOnlyWhenAsked) {
  // Listed on the 24th, stored on the 23rd in another zone: the note is looked up where it is stored.
  src_.schedule = {{D(2025, 12, 24, 9), D(2025, 12, 23), 2, 7, "Dentist", {}}};
  src_.notes = {{{2, 7}, "dentist"}};
  src_.todo = {{1, D(2025, 1, 1), 5, "dentist", {}}};
  EXPECT_EQ(RunSearch(Request("dentist", kAreaScheduleNotes), src_, results_), SearchOutcome::Found);
  EXPECT_EQ(Hits(), "5/2025-12-24/2/0/" + FormatLongDate(12, 24, 2025) + "|");
  EXPECT_EQ(src_.notesRead, (std::vector<std::string>{"2:2025-12-23:7"}));
  src_.notesRead.clear();
  EXPECT_EQ(RunSearch(Request("dentist", kAreaSchedule | kAreaToDo), src_, results_), SearchOutcome::Found);
  EXPECT_EQ(results_.size(), 2u);
  EXPECT_TRUE(src_.notesRead.empty());
  SearchRequest whole = Request("dentis", kAreaToDo);
  whole.wholeWord = true;  // the choice reaches every area's match
  EXPECT_EQ(RunSearch(whole, src_, results_), SearchOutcome::NoMatches);
}

TEST_F(SearchRunTest, RefusalsAndEmptyOutcomes) {
  src_.todo = {{1, D(2025, 1, 1), 0, "milk", {}}};
  const SearchRange kept{};  // the request's own range
  const struct {
    const char* text;
    uint16_t areas;
    bool busy;
    SearchRange range;
    SearchOutcome outcome;
    const char* message;
  } cases[] = {
      {"", kAreaAll, false, kept, SearchOutcome::EmptyText, "Please enter text to search for."},
      {"milk", kAreaAll, true, kept, SearchOutcome::Busy,
       "A data access operation is in currently in progress.\n\nPlease allow it to complete before selecting any "
       "Search functions"},
      {"milk", 0, false, kept, SearchOutcome::NoAreas, "Please select at least one area to search."},
      {"milk", kAreaAll, false, {D(2025, 2, 1), D(2025, 1, 1)}, SearchOutcome::BadRange, "Invalid date or range!"},
      {"milk", kAreaSchedule, false, {D(2025, 1, 1), D(2025, 13, 1)}, SearchOutcome::BadRange, "Invalid date or range!"},
      {"bread", kAreaAll, false, kept, SearchOutcome::NoMatches, "Search returned no matches."},
      // The to-do list ignores the range, so a bad range does not matter to it alone.
      {"milk", kAreaToDo, false, {D(2025, 2, 30), D(2025, 1, 1)}, SearchOutcome::Found, nullptr},
  };
  for (const auto& c : cases) {
    messages_.Clear();
    src_.busy = c.busy;
    SearchRequest rq = Request(c.text, c.areas);
    if (c.range.from.year) rq.range = c.range;
    results_.assign(1, SearchResult{});  // the previous search's
    results_[0].description = "previous";
    EXPECT_EQ(RunSearch(rq, src_, results_), c.outcome) << c.text << c.areas;
    EXPECT_EQ(messages_.Texts(), c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
    // A refused search leaves the previous results; one that ran replaces them.
    switch (c.outcome) {
      case SearchOutcome::NoMatches: EXPECT_TRUE(results_.empty()); break;
      case SearchOutcome::Found: EXPECT_EQ(Hits(), "2/2025-1-1/1/0/milk|"); break;
      default: EXPECT_EQ(Hits(), "0/0-0-0/0/0/previous|"); break;
    }
  }
  EXPECT_EQ(SearchHistory(), (std::vector<std::string>{"milk"}));  // only a search that found something
}

TEST_F(SearchRunTest, KeptResultsAndTheCurrentOne) {
  ResetSearch();
  src_.todo = {{1, D(2025, 1, 1), 0, "milk", {}}};
  EXPECT_EQ(RunSearchKept(Request("milk"), src_), SearchOutcome::Found);
  EXPECT_EQ(Search().results.size(), 1u);
  EXPECT_EQ(Search().current, 0);
  EXPECT_EQ(RunSearchKept(Request(""), src_), SearchOutcome::EmptyText);  // refused: all stays
  EXPECT_EQ(Search().current, 0);
  EXPECT_EQ(RunSearchKept(Request("bread"), src_), SearchOutcome::NoMatches);
  EXPECT_TRUE(Search().results.empty());
  EXPECT_EQ(Search().current, -1);
  ResetSearch();
}

TEST_F(SearchRunTest, PhonebookReadFailureEndsTheSearch) {
  src_.phone = {{1, 0, 1, "Bob", "Bob", {}}};
  src_.phoneReads = false;
  src_.todo = {{1, D(2025, 1, 1), 0, "Bob", {}}};
  EXPECT_EQ(RunSearch(Request("bob"), src_, results_), SearchOutcome::Found);
  EXPECT_EQ(Hits(), "3/0-0-0/1/0/Bob|");  // what was read is kept; the to-do list is not reached
}

TEST_F(SearchRunTest, LongTextsAreCutToTheirFields) {
  src_.todo = {{1, D(2025, 1, 1), 0, std::string(200, 'a'), {}}};
  EXPECT_EQ(RunSearch(Request(std::string(80, 'a').c_str(), kAreaToDo), src_, results_), SearchOutcome::Found);
  ASSERT_EQ(results_.size(), 1u);
  EXPECT_EQ(results_[0].description.size(), kSearchDescriptionMax);
  EXPECT_EQ(SearchHistory().front(), std::string(63, 'a'));  // the history keeps the needle as searched
}

}  // namespace
}  // namespace kv
