// Search: finds a piece of text in the schedule, the to-do list, the phonebook, the overlay
// events, the notes of schedule items, to-do items and phonebook entries, and the general day
// notes; keeps the hits with their description, date and area, sorts them by column, and keeps
// the search settings (text history, date range, areas).
//
// The stores are reached through SearchSources, so that the walk over the areas can be checked
// with fakes; StoreSearchSources (search_sources.h) reads the real database files and overlays.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/dates.h"

namespace kv {

// ---- text match -----------------------------------------------------------------------------

constexpr size_t kSearchTextMax = 63;

// The needle as a search takes it: cut to 63 characters.
std::string_view SearchNeedle(std::string_view text);

// Offset of the first match of the needle (cut to 63 characters) in the haystack, or nothing.
// Without matchCase only ASCII a to z are folded; with wholeWord a match must neither follow nor
// precede a letter or digit. An empty needle never matches.
std::optional<uint32_t> SearchTextMatch(std::string_view needle, std::string_view haystack, bool matchCase,
                                        bool wholeWord);

// A note's first words for the description column: its first 37 characters cut back to their
// last blank, control characters blanked, "..." appended.
std::string NoteExcerpt(std::string_view note);

// ---- results --------------------------------------------------------------------------------

// Result types (one per area) and the area bits of the mask.
enum SearchType : uint32_t {
  kSearchSchedule = 1,
  kSearchToDo = 2,
  kSearchPhone = 3,
  kSearchOverlay = 4,
  kSearchScheduleNote = 5,
  kSearchToDoNote = 6,
  kSearchPhoneNote = 7,
  kSearchGeneralNote = 8,
};
constexpr uint16_t kAreaSchedule = 1;
constexpr uint16_t kAreaToDo = 2;
constexpr uint16_t kAreaPhone = 4;
constexpr uint16_t kAreaOverlays = 8;
constexpr uint16_t kAreaScheduleNotes = 16;
constexpr uint16_t kAreaToDoNotes = 32;
constexpr uint16_t kAreaPhoneNotes = 64;
constexpr uint16_t kAreaGeneralNotes = 128;
constexpr uint16_t kAreaAll = 255;

constexpr size_t kSearchDescriptionMax = 119;  // 120-byte field with its zero
constexpr size_t kSearchWhereMax = 47;         // 48-byte field with its zero

struct SearchResult {
  DateStamp date;          // all zero for phonebook and phonebook-note hits
  uint32_t offset = 0;     // of the match in the searched text
  uint32_t type = 0;       // SearchType
  uint16_t item = 0;       // schedule item id, to-do slot, phonebook entry id or note id
  uint16_t entryKind = 0;  // phonebook hits: 0 organisation, 1 person
  std::string description;
  std::string where;
};

// "Schedule", "To Do", ... for a result type; empty for a type outside 1 ... 8.
std::string SearchWhereLabel(uint32_t type);
// The "Date" column: the short date, or empty for a dateless result.
std::string SearchDateText(const SearchResult& result);
// "Organizations" or "People" for a phonebook hit's entry kind.
std::string SearchEntryKindName(uint16_t entryKind);

// Column comparators (negative, zero, positive) and the sort a header click makes.
enum class SearchColumn { Description, Date, Where };
int CompareByDescription(const SearchResult& a, const SearchResult& b);
int CompareByDate(const SearchResult& a, const SearchResult& b);
int CompareByWhere(const SearchResult& a, const SearchResult& b);
void SortSearchResults(std::vector<SearchResult>& results, SearchColumn column);

// ---- settings -------------------------------------------------------------------------------

// "Srch1" ... "Srch4" of the "Search" section, most recent first, up to the first missing one.
std::vector<std::string> SearchHistory();
// Moves the text to the front (or puts it there, dropping the oldest of four) and writes the
// history back.
void RecordSearchText(std::string_view text);

struct SearchRange {
  DateStamp from;  // date-only
  DateStamp thru;
};
// The range as days from today ("From" default -30, "Thru" default +30), turned into dates.
SearchRange LoadSearchRange(const DateStamp& today);
uint16_t LoadSearchAreas();  // "Type", default 255
void SaveSearchSettings(const SearchRange& range, uint16_t areas, const DateStamp& today);

// The "Where to search..." checks: both dates valid, the start not after the end, at least one
// area. Shows the failing check's message; which check failed goes to `failed` (1 from, 2 thru,
// 3 order, 4 areas). True when all pass.
bool CheckSearchWhere(const SearchRange& range, uint16_t areas, int* failed = nullptr);

// ---- the run --------------------------------------------------------------------------------

// What the stores give the search.
struct SearchScheduleEntry {
  DateStamp start;         // date and start time as listed
  DateStamp stored;        // the date the item is stored under (its month file and day)
  uint16_t id = 0;
  uint16_t noteId = 0;
  std::string title;
  std::optional<std::string> note;  // its note's text, when asked for and found
};
struct SearchToDoEntry {
  uint16_t slot = 0;       // 1-based
  DateStamp required;      // the date of the slot's sort key
  uint16_t noteId = 0;
  std::string text;
  std::optional<std::string> note;
};
struct SearchPhoneEntry {
  uint16_t id = 0;
  uint16_t noteId = 0;
  uint16_t kind = 0;       // 0 organisation (no last name), 1 person
  std::string text;        // the packed fields as stored
  std::string name;        // the display name of a hit
  std::optional<std::string> note;
};
struct SearchOverlayHit {
  DateStamp date;
  std::string text;
};
struct SearchDayNote {
  int day = 0;
  uint16_t noteId = 0;
  std::string text;
};

class SearchSources {
 public:
  virtual ~SearchSources() = default;
  // The notes container is held open by another operation.
  virtual bool Busy() = 0;
  // The schedule's listing of days fromDay ... toDay of one month, in start order. With
  // `withNotes` the items' notes come along (each notes file is opened once for all of them).
  virtual void ScheduleMonth(int year, int month, int fromDay, int toDay, bool withNotes,
                             std::vector<SearchScheduleEntry>& out) = 0;
  // Every live phonebook entry in slot order; false on a read failure (the search then ends).
  virtual bool PhoneEntries(bool withNotes, std::vector<SearchPhoneEntry>& out) = 0;
  // Every to-do item in list order.
  virtual void ToDoItems(bool withNotes, std::vector<SearchToDoEntry>& out) = 0;
  // Every occurrence of every active overlay event that the calendar shows in the month.
  virtual void OverlayMonth(int year, int month, std::vector<SearchOverlayHit>& out) = 0;
  // The general notes of days fromDay ... toDay of a month; false when the month has no file.
  virtual bool GeneralNotes(int year, int month, int fromDay, int toDay, std::vector<SearchDayNote>& out) = 0;
};

struct SearchRequest {
  std::string text;
  bool matchCase = false;
  bool wholeWord = false;
  SearchRange range;
  uint16_t areas = kAreaAll;
};

enum class SearchOutcome { Found, NoMatches, EmptyText, Busy, BadRange, NoAreas };

// Runs a search over the areas of the mask in their fixed order, filling `results`. Refuses an
// empty text, a busy notes file, an empty mask and a range that is not one with a message,
// leaving `results` as they were; otherwise replaces them. Reports a search without matches;
// with matches records the text in the history.
SearchOutcome RunSearch(const SearchRequest& request, SearchSources& sources, std::vector<SearchResult>& results);

// The current result of the last search (-1 when there is none), for the Search window.
struct SearchState {
  std::vector<SearchResult> results;
  int current = -1;
};
SearchState& Search();
void ResetSearch();
// Runs a search into the module's results: the first result becomes current, or none when
// nothing was found.
SearchOutcome RunSearchKept(const SearchRequest& request, SearchSources& sources);

// ---- the Search window's geometry ------------------------------------------------------------

// The list's three columns: Description takes what the other two, a quarter each, leave.
struct SearchColumnWidths {
  int description = 0, date = 0, where = 0;
};
SearchColumnWidths SearchColumnWidthsFor(int listWidth);

struct SearchRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  friend bool operator==(const SearchRect&, const SearchRect&) = default;
};
bool SearchRectsOverlap(const SearchRect& a, const SearchRect& b);
// Where the collapsed Search window goes after a result brought `target` forward: beside it on
// the side with more screen room (the right on a tie), kept on the screen; if it still
// overlaps, at the top of the frame's client area.
SearchRect PlaceCollapsedSearch(const SearchRect& search, const SearchRect& target, int screenWidth,
                                int clientTop);

}  // namespace kv
