// The Search window's portable half: the rows its list shows for the kept results and their
// order after a column click, what its "Where to search..." dialog accepts, the strip it
// collapses to after bringing a hit forward, and what bringing a hit forward means for each
// kind of hit. The Win32 window (search_window_win.h) only shows and forwards.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "personal/notes.h"
#include "personal/search.h"

namespace kv {

// ---- the result list ------------------------------------------------------------------------

// One list row: the description, the date text and the area label of a result.
struct SearchRow {
  std::string description;
  std::string date;
  std::string where;
};
std::vector<SearchRow> SearchRows(const std::vector<SearchResult>& results);
// The text of one cell (column 0 description, 1 date, 2 where; empty for any other).
const std::string& SearchCell(const SearchRow& row, int column);

// The column a header click sorts by; nothing for a column the list does not have.
std::optional<SearchColumn> SearchColumnAt(int index);

// Sorts the kept results (Search()) by a column; the current result stays the current one at
// its new place.
void SortKeptResults(SearchColumn column);

// ---- the run --------------------------------------------------------------------------------

// What the window keeps between searches: the range and the areas (loaded at opening, stored
// by "Where to search...").
struct SearchWindowSettings {
  SearchRange range;
  uint16_t areas = kAreaAll;
};
SearchWindowSettings LoadSearchWindowSettings(const DateStamp& today);

// The request the window's fields make: the typed text (at most 63 characters are read), the
// two check boxes, the kept range and areas.
SearchRequest SearchRequestFor(std::string_view text, bool matchCase, bool wholeWord,
                               const SearchWindowSettings& settings);

// ---- "Where to search..." -------------------------------------------------------------------

// The area mask of the eight check boxes (box i is bit i) and back.
uint16_t AreasOfChecks(const std::array<bool, 8>& checked);
std::array<bool, 8> ChecksOfAreas(uint16_t areas);

// Checks the dialog's values as OK does (a date box that holds no date gives nothing): the
// failing check's message is shown and the control that must take the focus is returned, or 0
// when everything passed and the settings were stored (in `settings` and the registry).
int AcceptSearchWhere(std::optional<DateStamp> from, std::optional<DateStamp> thru, uint16_t areas,
                      const DateStamp& today, SearchWindowSettings& settings);

// ---- the collapsed strip --------------------------------------------------------------------

// The strip's buttons: "&Find" and "&Where..." work in the full window, "Re&open" only in the
// collapsed one.
struct SearchButtons {
  bool find = true;
  bool where = true;
  bool reopen = false;
};
SearchButtons SearchButtonsFor(bool collapsed);

// The height of the collapsed window (screen coordinates of the full window at opening): its
// caption and top down to the separator's bottom, then its bottom frame.
int CollapsedSearchHeight(int windowTop, int windowBottom, int clientBottom, int separatorBottom);

// ---- bringing a hit forward ---------------------------------------------------------------

enum class SearchHitWindow { None, Calendar, Schedule, ToDo, Phonebook, Notes };

struct SearchGoTo {
  SearchHitWindow window = SearchHitWindow::None;  // the window brought forward
  std::optional<DateStamp> date;  // the calendar's new selected date
  uint16_t item = 0;              // schedule item id, to-do slot or phonebook entry id
  int startMinute = -1;           // a schedule item's start: the row the schedule scrolls to
  uint16_t entryKind = 0;         // phonebook: 0 organisations, 1 people
  std::optional<NoteContext> note;  // the note the notes window opens
  uint32_t offset = 0;            // where the caret goes in that note
};

// What opening a result does. The notes of items are found through the stores again (the
// item's note id and, for schedule items, the day the item is stored under); an item deleted
// since the search gets no note.
SearchGoTo PlanSearchGoTo(const SearchResult& result, SearchSources& sources);

}  // namespace kv
