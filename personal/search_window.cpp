#include "personal/search_window.h"

#include <algorithm>
#include <numeric>

#include "resources/search_dialog.h"

namespace kv {
namespace {

bool ValidDate(const std::optional<DateStamp>& d) { return d && IsValidDate(d->month, d->day, d->year); }


}  // namespace

// ---- the result list ------------------------------------------------------------------------

std::vector<SearchRow> SearchRows(const std::vector<SearchResult>& results) {
  std::vector<SearchRow> rows;
  rows.reserve(results.size());
  for (const SearchResult& r : results) rows.push_back(SearchRow{r.description, SearchDateText(r), r.where});
  return rows;
}

const std::string& SearchCell(const SearchRow& row, int column) {
  static const std::string none;
  switch (column) {
    case 0: return row.description;
    case 1: return row.date;
    case 2: return row.where;
    default: return none;
  }
}

std::optional<SearchColumn> SearchColumnAt(int index) {
  switch (index) {
    case 0: return SearchColumn::Description;
    case 1: return SearchColumn::Date;
    case 2: return SearchColumn::Where;
    default: return std::nullopt;
  }
}

void SortKeptResults(SearchColumn column) {
  SearchState& s = Search();
  // Sorted through an index list, so that the current result can be followed to its new place.
  std::vector<size_t> order(s.results.size());
  std::iota(order.begin(), order.end(), size_t{0});
  auto compare = column == SearchColumn::Description ? CompareByDescription
                 : column == SearchColumn::Date      ? CompareByDate
                                                     : CompareByWhere;
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return compare(s.results[a], s.results[b]) < 0; });
  std::vector<SearchResult> sorted;
  sorted.reserve(order.size());
  int current = -1;
  for (size_t i = 0; i < order.size(); ++i) {
    if (static_cast<int>(order[i]) == s.current) current = static_cast<int>(i);
    sorted.push_back(std::move(s.results[order[i]]));
  }
  s.results = std::move(sorted);
  s.current = current;
}

// ---- the run --------------------------------------------------------------------------------

SearchWindowSettings LoadSearchWindowSettings(const DateStamp& today) {
  return SearchWindowSettings{LoadSearchRange(today), LoadSearchAreas()};
}

SearchRequest SearchRequestFor(std::string_view text, bool matchCase, bool wholeWord,
                               const SearchWindowSettings& settings) {
  SearchRequest rq;
  rq.text = std::string(SearchNeedle(text));
  rq.matchCase = matchCase;
  rq.wholeWord = wholeWord;
  rq.range = settings.range;
  rq.areas = settings.areas;
  return rq;
}

// ---- "Where to search..." -------------------------------------------------------------------

uint16_t AreasOfChecks(const std::array<bool, 8>& checked) {
  uint16_t areas = 0;
  for (size_t i = 0; i < checked.size(); ++i)
    if (checked[i]) areas = static_cast<uint16_t>(areas | (1u << i));
  return areas;
}

std::array<bool, 8> ChecksOfAreas(uint16_t areas) {
  std::array<bool, 8> checked{};
  for (size_t i = 0; i < checked.size(); ++i) checked[i] = (areas >> i) & 1;
  return checked;
}

int AcceptSearchWhere(std::optional<DateStamp> from, std::optional<DateStamp> thru, uint16_t areas,
                      const DateStamp& today, SearchWindowSettings& settings) {
  // A box without a date reads as no date at all, which the checks refuse as invalid.
  SearchRange range{ValidDate(from) ? DateOnly(*from) : DateStamp{}, ValidDate(thru) ? DateOnly(*thru) : DateStamp{}};
  int failed = 0;
  if (!CheckSearchWhere(range, areas, &failed)) {
    switch (failed) {
      case 1: return IDC_WHERE_FROM;
      case 4: return IDC_WHERE_FIRST_AREA;
      default: return IDC_WHERE_UNTIL;  // an invalid end, or an end before the start
    }
  }
  settings.range = range;
  settings.areas = areas;
  SaveSearchSettings(range, areas, today);
  return 0;
}

// ---- the collapsed strip --------------------------------------------------------------------

SearchButtons SearchButtonsFor(bool collapsed) { return SearchButtons{!collapsed, !collapsed, collapsed}; }

int CollapsedSearchHeight(int windowTop, int windowBottom, int clientBottom, int separatorBottom) {
  int bottomFrame = std::max(windowBottom - clientBottom, 0);
  return std::max(separatorBottom - windowTop, 0) + bottomFrame;
}

// ---- bringing a hit forward ---------------------------------------------------------------

namespace {

std::optional<NoteContext> ScheduleNoteOf(const SearchResult& r, SearchSources& sources) {
  std::vector<SearchScheduleEntry> entries;
  sources.ScheduleMonth(r.date.year, r.date.month, r.date.day, r.date.day, false, entries);
  for (const SearchScheduleEntry& e : entries) {
    if (e.id != r.item) continue;
    return ScheduleNoteContext(e.stored.year, e.stored.month, e.stored.day, e.id, e.noteId);
  }
  return std::nullopt;
}

std::optional<NoteContext> ToDoNoteOf(const SearchResult& r, SearchSources& sources) {
  std::vector<SearchToDoEntry> items;
  sources.ToDoItems(false, items);
  for (const SearchToDoEntry& e : items)
    if (e.slot == r.item) return ToDoNoteContext(e.slot, e.noteId);
  return std::nullopt;
}

std::optional<NoteContext> PhoneNoteOf(const SearchResult& r, SearchSources& sources) {
  std::vector<SearchPhoneEntry> entries;
  sources.PhoneEntries(false, entries);
  for (const SearchPhoneEntry& e : entries)
    if (e.id == r.item) return PhoneNoteContext(e.id, e.noteId);
  return std::nullopt;
}

}  // namespace

SearchGoTo PlanSearchGoTo(const SearchResult& r, SearchSources& sources) {
  SearchGoTo go;
  go.item = r.item;
  go.offset = r.offset;
  bool dated = IsValidDate(r.date.month, r.date.day, r.date.year);
  switch (r.type) {
    case kSearchSchedule:
    case kSearchScheduleNote:
      if (!dated) return SearchGoTo{};
      go.window = SearchHitWindow::Schedule;
      go.date = DateOnly(r.date);
      if (r.type == kSearchSchedule) go.startMinute = r.date.hour * 60 + r.date.minute;
      else go.note = ScheduleNoteOf(r, sources);
      break;
    case kSearchToDo:
    case kSearchToDoNote:
      go.window = SearchHitWindow::ToDo;
      if (r.type == kSearchToDoNote) go.note = ToDoNoteOf(r, sources);
      break;
    case kSearchPhone:
    case kSearchPhoneNote:
      go.window = SearchHitWindow::Phonebook;
      go.entryKind = r.entryKind;
      if (r.type == kSearchPhoneNote) go.note = PhoneNoteOf(r, sources);
      break;
    case kSearchOverlay:
      if (!dated) return SearchGoTo{};
      go.window = SearchHitWindow::Calendar;
      go.date = DateOnly(r.date);
      break;
    case kSearchGeneralNote:
      if (!dated) return SearchGoTo{};
      go.window = SearchHitWindow::Notes;
      go.date = DateOnly(r.date);
      go.note = DayNoteContext(r.date.year, r.date.month, r.date.day);
      go.note->noteId = r.item;
      break;
    default: return SearchGoTo{};
  }
  return go;
}

}  // namespace kv
