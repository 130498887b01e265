#include "personal/search_window.h"

#include <gtest/gtest.h>

#include "calendar/date_format.h"
#include "personal/search_test_support.h"
#include "resources/search_dialog.h"
#include "resources/strings.h"
#include "base/messages.h"
#include "base/settings.h"

namespace kv {
namespace {

using test::D;

SearchResult R(uint32_t type, DateStamp date, std::string description, uint16_t item = 0, uint32_t offset = 0) {
  SearchResult r;
  r.type = type;
  r.date = date;
  r.description = std::move(description);
  r.where = SearchWhereLabel(type);
  r.item = item;
  r.offset = offset;
  return r;
}

// ---- the result list ------------------------------------------------------------------------

TEST(SearchWindowRows, CellsOfEachKindOfResult) {
  std::vector<SearchResult> results = {
      R(kSearchSchedule, D(2026, 12, 7, 10, 30), "Dentist"),
      R(kSearchPhone, DateStamp{}, "Ann Smith"),
      R(kSearchPhoneNote, D(2026, 1, 1), "Bob Jones"),  // dateless whatever it holds
      R(kSearchGeneralNote, D(2026, 2, 30), "Bad day..."),  // a date that is none shows none
  };
  std::vector<SearchRow> rows = SearchRows(results);
  ASSERT_EQ(rows.size(), 4u);
  const std::string expected[4][3] = {
      {"Dentist", FormatShortDate(12, 7, 2026), "Schedule"},
      {"Ann Smith", "", "Phonebook"},
      {"Bob Jones", "", "Phonebook Notes"},
      {"Bad day...", "", "Notes"},
  };
  for (size_t i = 0; i < rows.size(); ++i)
    for (int column = 0; column < 3; ++column) EXPECT_EQ(SearchCell(rows[i], column), expected[i][column]) << i;
  EXPECT_EQ(SearchCell(rows[0], 3), "");
  EXPECT_EQ(SearchCell(rows[0], -1), "");
}

TEST(SearchWindowRows, HeaderColumns) {
  EXPECT_EQ(SearchColumnAt(0), SearchColumn::Description);
  EXPECT_EQ(SearchColumnAt(1), SearchColumn::Date);
  EXPECT_EQ(SearchColumnAt(2), SearchColumn::Where);
  EXPECT_FALSE(SearchColumnAt(3));
  EXPECT_FALSE(SearchColumnAt(-1));
}

class SearchWindowSortTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetSearch();
    Search().results = {
        R(kSearchSchedule, D(2026, 3, 1), "Call", 1),
        R(kSearchPhoneNote, DateStamp{}, "Ann", 2),
        R(kSearchToDo, D(2025, 12, 31), "Budget", 3),
        R(kSearchOverlay, D(2026, 1, 1), "Anniversary", 4),
        R(kSearchPhone, DateStamp{}, "Zed", 5),
    };
  }
  void TearDown() override { ResetSearch(); }
  std::string Order() const {
    std::string s;
    for (const SearchResult& r : Search().results) s += std::to_string(r.item);
    return s;
  }
};

TEST_F(SearchWindowSortTest, EachColumnKeepsTheCurrentResult) {
  struct Case { SearchColumn column; int current; const char* order; int currentAfter; };
  const Case cases[] = {
      {SearchColumn::Description, 2, "24315", 2},  // "Ann" before "Anniversary" byte-wise
      {SearchColumn::Date, 0, "34125", 2},          // dated by day, then dateless by description
      {SearchColumn::Where, 4, "45213", 1},         // "Overlay" "Phonebook" "Phonebook Notes" ...
      {SearchColumn::Description, -1, "24315", -1}, // no current result stays none
  };
  for (const Case& c : cases) {
    SetUp();
    Search().current = c.current;
    SortKeptResults(c.column);
    EXPECT_EQ(Order(), c.order) << static_cast<int>(c.column);
    EXPECT_EQ(Search().current, c.currentAfter) << static_cast<int>(c.column);
  }
}

TEST_F(SearchWindowSortTest, SortingTwiceChangesNothingAndEqualKeysKeepTheirOrder) {
  Search().results.push_back(R(kSearchSchedule, D(2026, 3, 1, 9), "Call", 6));  // same day as item 1
  Search().current = 5;
  SortKeptResults(SearchColumn::Date);
  std::string once = Order();
  SortKeptResults(SearchColumn::Date);
  EXPECT_EQ(Order(), once);
  EXPECT_EQ(once, "341625");
  EXPECT_EQ(Search().results[static_cast<size_t>(Search().current)].item, 6);
}

TEST_F(SearchWindowSortTest, EmptyResults) {
  Search().results.clear();
  SortKeptResults(SearchColumn::Where);
  EXPECT_TRUE(Search().results.empty());
  EXPECT_EQ(Search().current, -1);
}

// ---- settings, the request and "Where to search..." ---------------------------------------

class SearchWindowSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override { SetSettingsStore(&settings_); }
  void TearDown() override { SetSettingsStore(nullptr); }
  MemorySettings settings_;
  ScriptedMessages messages_;
  ScopedMessageSink scope_{messages_};
};

TEST_F(SearchWindowSettingsTest, RequestTakesTheFieldsAndTheKeptSettings) {
  SearchWindowSettings s{SearchRange{D(2026, 1, 1), D(2026, 2, 1)}, kAreaToDo | kAreaOverlays};
  SearchRequest rq = SearchRequestFor(std::string(70, 'x'), true, false, s);
  EXPECT_EQ(rq.text, std::string(63, 'x'));
  EXPECT_TRUE(rq.matchCase);
  EXPECT_FALSE(rq.wholeWord);
  EXPECT_EQ(rq.range.from, D(2026, 1, 1));
  EXPECT_EQ(rq.range.thru, D(2026, 2, 1));
  EXPECT_EQ(rq.areas, kAreaToDo | kAreaOverlays);
}

TEST_F(SearchWindowSettingsTest, ChecksAndAreas) {
  EXPECT_EQ(AreasOfChecks({true, false, false, false, false, false, false, true}), 129);
  EXPECT_EQ(AreasOfChecks({}), 0);
  for (uint16_t areas : {0, 1, 0x55, 0xAA, 255}) EXPECT_EQ(AreasOfChecks(ChecksOfAreas(areas)), areas);
  EXPECT_EQ(AreasOfChecks(ChecksOfAreas(0x1FF)), 255);  // bits beyond the eight boxes are no area
}

TEST_F(SearchWindowSettingsTest, WhereOkFocusesTheFailingControlAndStoresOnlyWhenAllPass) {
  const DateStamp today = D(2026, 12, 7);
  const std::string bad = std::string(StringText(1112));
  struct Case {
    std::optional<DateStamp> from, thru;
    uint16_t areas;
    int focus;
    std::string message;
  };
  const Case cases[] = {
      {std::nullopt, D(2026, 12, 8), 255, IDC_WHERE_FROM, bad},          // the box holds no date
      {D(2026, 2, 30), D(2026, 12, 8), 255, IDC_WHERE_FROM, bad},        // not a date
      {D(2026, 12, 1), std::nullopt, 255, IDC_WHERE_UNTIL, bad},
      {D(2026, 12, 9), D(2026, 12, 8), 255, IDC_WHERE_UNTIL, std::string(StringText(1146))},
      {D(2026, 12, 1), D(2026, 12, 8), 0, IDC_WHERE_FIRST_AREA, std::string(StringText(1675))},
      {std::nullopt, D(2026, 12, 8), 0, IDC_WHERE_FROM, bad},           // the dates come first
  };
  for (const Case& c : cases) {
    messages_.Clear();
    SearchWindowSettings s{SearchRange{D(2026, 1, 1), D(2026, 1, 2)}, 3};
    EXPECT_EQ(AcceptSearchWhere(c.from, c.thru, c.areas, today, s), c.focus) << c.message;
    EXPECT_EQ(messages_.Texts(), std::vector<std::string>{c.message});
    EXPECT_EQ(s.areas, 3);  // nothing kept
    EXPECT_EQ(RegReadSetting("Search", "Type"), "");
  }
  messages_.Clear();
  SearchWindowSettings s;
  // One day is a range; the time of day is dropped.
  EXPECT_EQ(AcceptSearchWhere(D(2026, 12, 5, 10, 30), D(2026, 12, 5), kAreaSchedule, today, s), 0);
  EXPECT_TRUE(messages_.Texts().empty());
  EXPECT_EQ(s.range.from, D(2026, 12, 5));
  EXPECT_EQ(s.areas, kAreaSchedule);
  EXPECT_EQ(RegReadSetting("Search", "From"), "-2");
  EXPECT_EQ(RegReadSetting("Search", "Thru"), "-2");
  EXPECT_EQ(RegReadSetting("Search", "Type"), "1");
  // Opening the window again a day later finds the same distance from today.
  SearchWindowSettings later = LoadSearchWindowSettings(D(2026, 12, 8));
  EXPECT_EQ(later.range.from, D(2026, 12, 6));
  EXPECT_EQ(later.areas, kAreaSchedule);
}

// ---- the collapsed strip --------------------------------------------------------------------

TEST(SearchWindowStrip, ButtonsAndHeight) {
  SearchButtons full = SearchButtonsFor(false), strip = SearchButtonsFor(true);
  EXPECT_TRUE(full.find && full.where && !full.reopen);
  EXPECT_TRUE(!strip.find && !strip.where && strip.reopen);
  // A window at y 100 whose client ends 4 pixels above its bottom edge; the separator at 160.
  EXPECT_EQ(CollapsedSearchHeight(100, 500, 496, 160), 64);
  EXPECT_EQ(CollapsedSearchHeight(100, 500, 500, 160), 60);
  EXPECT_EQ(CollapsedSearchHeight(100, 500, 510, 90), 0);  // nonsense never goes negative
}

// ---- bringing a hit forward ---------------------------------------------------------------

class OwnersOnly : public SearchSources {
 public:
  bool Busy() override { return false; }
  void ScheduleMonth(int year, int month, int fromDay, int toDay, bool withNotes,
                     std::vector<SearchScheduleEntry>& out) override {
    asked += FormatText("S%d-%d:%d-%d%s ", year, month, fromDay, toDay, withNotes ? "+" : "");
    for (const SearchScheduleEntry& e : schedule)
      if (e.start.year == year && e.start.month == month && e.start.day >= fromDay && e.start.day <= toDay)
        out.push_back(e);
  }
  bool PhoneEntries(bool withNotes, std::vector<SearchPhoneEntry>& out) override {
    asked += withNotes ? "P+ " : "P ";
    out = phone;
    return true;
  }
  void ToDoItems(bool withNotes, std::vector<SearchToDoEntry>& out) override {
    asked += withNotes ? "T+ " : "T ";
    out = todo;
  }
  void OverlayMonth(int, int, std::vector<SearchOverlayHit>&) override { asked += "O "; }
  bool GeneralNotes(int, int, int, int, std::vector<SearchDayNote>&) override {
    asked += "G ";
    return false;
  }

  std::vector<SearchScheduleEntry> schedule;
  std::vector<SearchPhoneEntry> phone;
  std::vector<SearchToDoEntry> todo;
  std::string asked;
};

std::string Describe(const SearchGoTo& g) {
  const char* windows[] = {"none", "calendar", "schedule", "todo", "phonebook", "notes"};
  std::string s = windows[static_cast<int>(g.window)];
  if (g.date) s += FormatText(" %d-%d-%d", g.date->year, g.date->month, g.date->day);
  s += FormatText(" item %u", g.item);
  if (g.startMinute >= 0) s += FormatText(" at %d", g.startMinute);
  if (g.window == SearchHitWindow::Phonebook) s += FormatText(" kind %u", g.entryKind);
  if (g.note)
    s += FormatText(" note %u/%u/%u/%u/%u @%u", g.note->type, g.note->dateKey, g.note->day, g.note->ownerId,
                    g.note->noteId, g.offset);
  return s;
}

TEST(SearchWindowGoTo, EachKindOfHit) {
  OwnersOnly sources;
  // Item 7 listed on the 1st of December but stored on the 30th of November (another zone).
  SearchScheduleEntry item;
  item.start = D(2026, 12, 1, 0, 30);
  item.stored = D(2026, 11, 30);
  item.id = 7;
  item.noteId = 70;
  sources.schedule = {item};
  sources.todo = {SearchToDoEntry{3, D(2026, 5, 1), 30, "Taxes", std::nullopt}};
  SearchPhoneEntry entry;
  entry.id = 12;
  entry.noteId = 120;
  entry.kind = 1;
  sources.phone = {entry};
  uint32_t nov = (2026u << 16) | 11, dec = (2026u << 16) | 12;

  SearchResult phone = R(kSearchPhone, DateStamp{}, "Ann Smith", 12);
  phone.entryKind = 1;
  SearchResult phoneNote = R(kSearchPhoneNote, DateStamp{}, "Ann Smith", 12, 4);
  phoneNote.entryKind = 1;
  const std::pair<SearchResult, std::string> cases[] = {
      {R(kSearchSchedule, D(2026, 12, 1, 0, 30), "Call", 7, 2), "schedule 2026-12-1 item 7 at 30"},
      {R(kSearchScheduleNote, D(2026, 12, 1, 0, 30), "", 7, 5),
       FormatText("schedule 2026-12-1 item 7 note 2/%u/30/7/70 @5", nov)},
      {R(kSearchToDo, D(2026, 5, 1), "Taxes", 3), "todo item 3"},
      {R(kSearchToDoNote, D(2026, 5, 1), "", 3, 9), "todo item 3 note 3/0/0/3/30 @9"},
      {phone, "phonebook item 12 kind 1"},
      {phoneNote, "phonebook item 12 kind 1 note 5/0/0/12/120 @4"},
      {R(kSearchOverlay, D(2026, 12, 25), "Christmas"), "calendar 2026-12-25 item 0"},
      {R(kSearchGeneralNote, D(2026, 12, 24, 0, 0), "Buy...", 44, 11),
       FormatText("notes 2026-12-24 item 44 note 1/%u/24/0/44 @11", dec)},
      // The owner is gone since the search: its window still comes, without a note.
      {R(kSearchScheduleNote, D(2026, 12, 2), "", 7, 5), "schedule 2026-12-2 item 7"},
      {R(kSearchToDoNote, D(2026, 5, 1), "", 4, 1), "todo item 4"},
      {R(kSearchPhoneNote, DateStamp{}, "", 13, 1), "phonebook item 13 kind 0"},
      // Nothing to open: a type of no area, a dated kind without a date.
      {R(0, D(2026, 1, 1), ""), "none item 0"},
      {R(9, D(2026, 1, 1), ""), "none item 0"},
      {R(kSearchOverlay, DateStamp{}, ""), "none item 0"},
      {R(kSearchGeneralNote, D(2026, 13, 1), ""), "none item 0"},
  };
  for (const auto& [result, expected] : cases) EXPECT_EQ(Describe(PlanSearchGoTo(result, sources)), expected);
}

TEST(SearchWindowGoTo, OnlyNoteHitsReadTheStoresAndThenWithoutTheNotes) {
  OwnersOnly sources;
  for (uint32_t type : {kSearchSchedule, kSearchToDo, kSearchPhone, kSearchOverlay, kSearchGeneralNote})
    PlanSearchGoTo(R(type, D(2026, 12, 1), "x", 1), sources);
  EXPECT_EQ(sources.asked, "");
  PlanSearchGoTo(R(kSearchScheduleNote, D(2026, 12, 1), "", 1), sources);
  PlanSearchGoTo(R(kSearchToDoNote, D(2026, 12, 1), "", 1), sources);
  PlanSearchGoTo(R(kSearchPhoneNote, DateStamp{}, "", 1), sources);
  EXPECT_EQ(sources.asked, "S2026-12:1-1 T P ");
}

// A search that found something puts its text first in the history the combo box offers, and
// the first result becomes current; a search that found nothing leaves the history.
TEST_F(SearchWindowSettingsTest, RunKeepsHistoryAndCurrent) {
  OwnersOnly sources;
  SearchToDoEntry task{1, D(2026, 5, 1), 0, "Pay the dentist", std::nullopt};
  sources.todo = {task};
  SearchWindowSettings s{SearchRange{D(2026, 1, 1), D(2026, 1, 31)}, kAreaToDo};
  ResetSearch();
  for (const char* text : {"one", "two", "three", "four"}) RecordSearchText(text);
  EXPECT_EQ(RunSearchKept(SearchRequestFor("dentist", false, true, s), sources), SearchOutcome::Found);
  EXPECT_EQ(Search().current, 0);
  EXPECT_EQ(SearchHistory(), (std::vector<std::string>{"dentist", "four", "three", "two"}));
  EXPECT_EQ(RunSearchKept(SearchRequestFor("Dentist", true, false, s), sources), SearchOutcome::NoMatches);
  EXPECT_EQ(Search().current, -1);
  EXPECT_EQ(SearchHistory(), (std::vector<std::string>{"dentist", "four", "three", "two"}));
  EXPECT_EQ(messages_.Texts(), std::vector<std::string>{std::string(StringText(1672))});
  ResetSearch();
}

}  // namespace
}  // namespace kv
