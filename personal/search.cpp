#include "personal/search.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "calendar/date_format.h"
#include "resources/strings.h"
#include "base/messages.h"
#include "base/settings.h"

namespace kv {
namespace {

constexpr int kMsgNoText = 1671;       // "Please enter text to search for."
constexpr int kMsgNoMatches = 1672;    // "Search returned no matches."
constexpr int kMsgNoAreas = 1675;      // "Please select at least one area to search."
constexpr int kMsgBusy = 1676;         // "A data access operation is in currently in progress..."
constexpr int kMsgBadDate = 1112;      // "Invalid date or range!"
constexpr int kMsgEndBeforeStart = 1146;
constexpr int kOrganizations = 1669;
constexpr int kPeople = 1670;

constexpr const char* kSection = "Search";
constexpr size_t kHistoryMax = 4;
constexpr int kDefaultFrom = -30;
constexpr int kDefaultThru = 30;
constexpr size_t kExcerptLength = 37;

// The "Where" label of each result type, by its number in the string table.
constexpr int kWhereIds[] = {1028, 1036, 1026, 1025, 1066, 1065, 1067, 1059};

constexpr char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
constexpr bool IsWordChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

std::string Cut(std::string text, size_t max) {
  if (text.size() > max) text.resize(max);
  return text;
}

bool IsDateless(const SearchResult& r) { return r.type == kSearchPhoneNote || r.date.year == 0; }

int Sign(int v) { return (v > 0) - (v < 0); }

// A signed day count from the settings, or the default when it is absent or not a number.
long ReadDays(const char* value, long fallback) {
  std::string text = RegReadSetting(kSection, value);
  if (text.empty()) return fallback;
  errno = 0;
  char* end = nullptr;
  long days = std::strtol(text.c_str(), &end, 10);
  if (errno || end == text.c_str() || *end) return fallback;
  return days;
}

// Today moved by a number of days; a move that leaves the calendar's years gives the default.
DateStamp DaysFromToday(const DateStamp& today, long days, long fallback) {
  constexpr long kLimit = 4000000;  // beyond every valid date from every valid today
  if (days < -kLimit || days > kLimit) days = fallback;
  DateStamp d = AddDays(today.month, today.day, today.year, static_cast<int32_t>(days));
  if (!IsValidDate(d.month, d.day, d.year)) d = AddDays(today.month, today.day, today.year, static_cast<int32_t>(fallback));
  return DateStamp{d.year, d.month, d.day};
}

bool ValidDate(const DateStamp& d) { return IsValidDate(d.month, d.day, d.year); }

// ---- the run ----------------------------------------------------------------------------------

class Run {
 public:
  Run(const SearchRequest& request, SearchSources& sources, std::vector<SearchResult>& results)
      : rq_(request), needle_(SearchNeedle(request.text)), src_(sources), out_(results) {}

  void Schedule();
  bool Phonebook();
  void ToDo();
  void OverlayEvents();
  void GeneralNotes();

 private:
  std::optional<uint32_t> Match(std::string_view text) const {
    return SearchTextMatch(needle_, text, rq_.matchCase, rq_.wholeWord);
  }
  void Add(uint32_t type, const DateStamp& date, uint16_t item, uint32_t offset, std::string description,
           uint16_t kind = 0) {
    SearchResult r;
    r.date = date;
    r.offset = offset;
    r.type = type;
    r.item = item;
    r.entryKind = kind;
    r.description = Cut(std::move(description), kSearchDescriptionMax);
    r.where = Cut(SearchWhereLabel(type), kSearchWhereMax);
    out_.push_back(std::move(r));
  }
  // Searches an item's note; a hit is described by the owner's date, or by the given text.
  void Note(uint32_t type, const std::optional<std::string>& text, const DateStamp& date, uint16_t owner,
            const std::string* name = nullptr, uint16_t kind = 0) {
    if (!text) return;
    std::optional<uint32_t> at = Match(*text);
    if (!at) return;
    std::string description = name ? *name : ValidDate(date) ? FormatLongDate(date.month, date.day, date.year) : "";
    Add(type, date, owner, *at, std::move(description), kind);
  }
  bool Wants(uint16_t area) const { return rq_.areas & area; }
  // Calls f(year, month, fromDay, toDay) for every month of the range, across year ends.
  template <typename F>
  void EachMonth(F f) const {
    const DateStamp& a = rq_.range.from;
    const DateStamp& b = rq_.range.thru;
    for (int y = a.year, m = a.month; y < b.year || (y == b.year && m <= b.month);) {
      bool first = y == a.year && m == a.month;
      bool last = y == b.year && m == b.month;
      f(y, m, first ? a.day : 1, last ? b.day : MonthLength(m, y));
      if (++m > 12) m = 1, ++y;
    }
  }

  const SearchRequest& rq_;
  std::string_view needle_;
  SearchSources& src_;
  std::vector<SearchResult>& out_;
};

void Run::Schedule() {
  if (!Wants(kAreaSchedule | kAreaScheduleNotes)) return;
  std::vector<SearchScheduleEntry> entries;
  EachMonth([&](int y, int m, int fromDay, int toDay) {
    entries.clear();
    src_.ScheduleMonth(y, m, fromDay, toDay, Wants(kAreaScheduleNotes), entries);
    for (const SearchScheduleEntry& e : entries) {
      DateStamp date{e.start.year, e.start.month, e.start.day};
      if (Wants(kAreaSchedule)) {
        if (std::optional<uint32_t> at = Match(e.title)) Add(kSearchSchedule, e.start, e.id, *at, e.title);
      }
      if (Wants(kAreaScheduleNotes)) Note(kSearchScheduleNote, e.note, date, e.id);
    }
  });
}

bool Run::Phonebook() {
  if (!Wants(kAreaPhone | kAreaPhoneNotes)) return true;
  std::vector<SearchPhoneEntry> entries;
  bool read = src_.PhoneEntries(Wants(kAreaPhoneNotes), entries);
  for (const SearchPhoneEntry& e : entries) {
    if (Wants(kAreaPhone)) {
      if (std::optional<uint32_t> at = Match(e.text)) Add(kSearchPhone, DateStamp{}, e.id, *at, e.name, e.kind);
    }
    if (Wants(kAreaPhoneNotes)) Note(kSearchPhoneNote, e.note, DateStamp{}, e.id, &e.name, e.kind);
  }
  return read;
}

void Run::ToDo() {
  if (!Wants(kAreaToDo | kAreaToDoNotes)) return;
  std::vector<SearchToDoEntry> items;
  src_.ToDoItems(Wants(kAreaToDoNotes), items);
  for (const SearchToDoEntry& e : items) {
    DateStamp date{e.required.year, e.required.month, e.required.day};
    if (Wants(kAreaToDo)) {
      if (std::optional<uint32_t> at = Match(e.text)) Add(kSearchToDo, date, e.slot, *at, e.text);
    }
    if (Wants(kAreaToDoNotes)) Note(kSearchToDoNote, e.note, date, e.slot);
  }
}

void Run::OverlayEvents() {
  if (!Wants(kAreaOverlays)) return;
  int32_t first = DayNumber(rq_.range.from.month, rq_.range.from.day, rq_.range.from.year);
  int32_t last = DayNumber(rq_.range.thru.month, rq_.range.thru.day, rq_.range.thru.year);
  std::vector<SearchOverlayHit> hits;
  EachMonth([&](int y, int m, int, int) {
    hits.clear();
    src_.OverlayMonth(y, m, hits);
    // Day by day, each day's events in the order the overlays hold them.
    std::stable_sort(hits.begin(), hits.end(), [](const SearchOverlayHit& a, const SearchOverlayHit& b) {
      return DayNumber(a.date.month, a.date.day, a.date.year) < DayNumber(b.date.month, b.date.day, b.date.year);
    });
    for (const SearchOverlayHit& h : hits) {
      if (!ValidDate(h.date)) continue;
      int32_t day = DayNumber(h.date.month, h.date.day, h.date.year);
      if (day < first || day > last) continue;
      if (std::optional<uint32_t> at = Match(h.text)) Add(kSearchOverlay, h.date, 0, *at, h.text);
    }
  });
}

void Run::GeneralNotes() {
  if (!Wants(kAreaGeneralNotes)) return;
  std::vector<SearchDayNote> notes;
  EachMonth([&](int y, int m, int fromDay, int toDay) {
    notes.clear();
    if (!src_.GeneralNotes(y, m, fromDay, toDay, notes)) return;
    for (const SearchDayNote& n : notes) {
      if (n.day < fromDay || n.day > toDay) continue;
      if (std::optional<uint32_t> at = Match(n.text)) {
        DateStamp date{y, static_cast<uint16_t>(m), static_cast<uint16_t>(n.day)};
        Add(kSearchGeneralNote, date, n.noteId, *at, NoteExcerpt(n.text));
      }
    }
  });
}

}  // namespace

// ---- text match -------------------------------------------------------------------------------

std::string_view SearchNeedle(std::string_view text) { return text.substr(0, std::min(text.size(), kSearchTextMax)); }

std::optional<uint32_t> SearchTextMatch(std::string_view needle, std::string_view haystack, bool matchCase,
                                        bool wholeWord) {
  needle = SearchNeedle(needle);
  if (needle.empty() || haystack.size() < needle.size()) return std::nullopt;
  char folded[kSearchTextMax];
  for (size_t i = 0; i < needle.size(); ++i) folded[i] = matchCase ? needle[i] : Upper(needle[i]);
  for (size_t at = 0; at + needle.size() <= haystack.size(); ++at) {
    size_t i = 0;
    while (i < needle.size() && (matchCase ? haystack[at + i] : Upper(haystack[at + i])) == folded[i]) ++i;
    if (i < needle.size()) continue;
    if (wholeWord) {
      size_t end = at + needle.size();
      if (end < haystack.size() && IsWordChar(haystack[end])) continue;
      if (at > 0 && IsWordChar(haystack[at - 1])) continue;
    }
    return static_cast<uint32_t>(at);
  }
  return std::nullopt;
}

std::string NoteExcerpt(std::string_view note) {
  std::string text(note.substr(0, std::min(note.size(), kExcerptLength)));
  // A note that fits is shown whole; a longer one is cut back to its last blank.
  bool cut = note.size() > kExcerptLength;
  if (cut) {
    size_t blank = text.rfind(' ');
    if (blank != std::string::npos && blank > 0) text.resize(blank);
  }
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  }
  if (cut) text += "...";
  return text;
}

// ---- results ----------------------------------------------------------------------------------

std::string SearchWhereLabel(uint32_t type) {
  if (type < 1 || type > 8) return {};
  return std::string(StringText(kWhereIds[type - 1]));
}

std::string SearchDateText(const SearchResult& result) {
  if (IsDateless(result) || !ValidDate(result.date)) return {};
  return FormatShortDate(result.date.month, result.date.day, result.date.year);
}

std::string SearchEntryKindName(uint16_t entryKind) {
  return std::string(StringText(entryKind ? kPeople : kOrganizations));
}

int CompareByDescription(const SearchResult& a, const SearchResult& b) { return Sign(a.description.compare(b.description)); }

int CompareByWhere(const SearchResult& a, const SearchResult& b) { return Sign(a.where.compare(b.where)); }

int CompareByDate(const SearchResult& a, const SearchResult& b) {
  bool noA = IsDateless(a), noB = IsDateless(b);
  if (noA && noB) return CompareByDescription(a, b);
  if (noA != noB) return noA ? 1 : -1;
  return Sign(DayNumber(a.date.month, a.date.day, a.date.year) - DayNumber(b.date.month, b.date.day, b.date.year));
}

void SortSearchResults(std::vector<SearchResult>& results, SearchColumn column) {
  auto compare = column == SearchColumn::Description ? CompareByDescription
                 : column == SearchColumn::Date      ? CompareByDate
                                                     : CompareByWhere;
  std::stable_sort(results.begin(), results.end(),
                   [compare](const SearchResult& a, const SearchResult& b) { return compare(a, b) < 0; });
}

// ---- settings ---------------------------------------------------------------------------------

std::vector<std::string> SearchHistory() {
  std::vector<std::string> history;
  for (size_t i = 1; i <= kHistoryMax; ++i) {
    std::string text = RegReadSetting(kSection, FormatText("Srch%d", static_cast<int>(i)));
    if (text.empty()) break;
    history.push_back(std::move(text));
  }
  return history;
}

void RecordSearchText(std::string_view text) {
  if (text.empty()) return;
  std::vector<std::string> history = SearchHistory();
  auto same = std::find(history.begin(), history.end(), text);
  if (same != history.end()) history.erase(same);
  history.insert(history.begin(), std::string(text));
  if (history.size() > kHistoryMax) history.resize(kHistoryMax);
  // Values behind a gap are cleared, so that an old text cannot come back when the gap fills.
  for (size_t i = 0; i < kHistoryMax; ++i)
    RegWriteSetting(kSection, FormatText("Srch%d", static_cast<int>(i + 1)), i < history.size() ? history[i] : "");
}

SearchRange LoadSearchRange(const DateStamp& today) {
  return SearchRange{DaysFromToday(today, ReadDays("From", kDefaultFrom), kDefaultFrom),
                     DaysFromToday(today, ReadDays("Thru", kDefaultThru), kDefaultThru)};
}

uint16_t LoadSearchAreas() {
  std::string text = RegReadSetting(kSection, "Type");
  char* end = nullptr;
  long areas = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end || areas < 0 || areas > 0xFFFF) return kAreaAll;
  return static_cast<uint16_t>(areas);
}

void SaveSearchSettings(const SearchRange& range, uint16_t areas, const DateStamp& today) {
  int32_t now = DayNumber(today.month, today.day, today.year);
  auto days = [&](const DateStamp& d) { return static_cast<long>(DayNumber(d.month, d.day, d.year) - now); };
  RegWriteSetting(kSection, "From", FormatText("%ld", days(range.from)));
  RegWriteSetting(kSection, "Thru", FormatText("%ld", days(range.thru)));
  RegWriteSetting(kSection, "Type", FormatText("%d", areas));
}

bool CheckSearchWhere(const SearchRange& range, uint16_t areas, int* failed) {
  auto fail = [&](int which, int message) {
    if (failed) *failed = which;
    ShowMessage(std::string(StringText(message)), MsgIcon::Warning);
    return false;
  };
  if (!ValidDate(range.from)) return fail(1, kMsgBadDate);
  if (!ValidDate(range.thru)) return fail(2, kMsgBadDate);
  if (DayNumber(range.from.month, range.from.day, range.from.year) >
      DayNumber(range.thru.month, range.thru.day, range.thru.year))
    return fail(3, kMsgEndBeforeStart);
  if (!(areas & kAreaAll)) return fail(4, kMsgNoAreas);
  if (failed) *failed = 0;
  return true;
}

// ---- the run ----------------------------------------------------------------------------------

SearchOutcome RunSearch(const SearchRequest& request, SearchSources& sources, std::vector<SearchResult>& results) {
  // A refused search leaves the list as it was.
  if (sources.Busy()) {
    ShowMessage(std::string(StringText(kMsgBusy)), MsgIcon::Warning);
    return SearchOutcome::Busy;
  }
  std::string_view needle = SearchNeedle(request.text);
  if (needle.empty()) {
    ShowMessage(std::string(StringText(kMsgNoText)), MsgIcon::Warning);
    return SearchOutcome::EmptyText;
  }
  if (!(request.areas & kAreaAll)) {
    ShowMessage(std::string(StringText(kMsgNoAreas)), MsgIcon::Warning);
    return SearchOutcome::NoAreas;
  }
  // The range is walked month by month; a range that is not one is refused rather than walked.
  constexpr uint16_t kRanged = kAreaSchedule | kAreaScheduleNotes | kAreaOverlays | kAreaGeneralNotes;
  const SearchRange& r = request.range;
  if ((request.areas & kRanged) &&
      (!ValidDate(r.from) || !ValidDate(r.thru) ||
       DayNumber(r.from.month, r.from.day, r.from.year) > DayNumber(r.thru.month, r.thru.day, r.thru.year))) {
    ShowMessage(std::string(StringText(kMsgBadDate)), MsgIcon::Warning);
    return SearchOutcome::BadRange;
  }

  results.clear();
  Run run(request, sources, results);
  run.Schedule();
  if (run.Phonebook()) {
    run.ToDo();
    run.OverlayEvents();
    run.GeneralNotes();
  }

  if (results.empty()) {
    ShowMessage(std::string(StringText(kMsgNoMatches)), MsgIcon::Information);
    return SearchOutcome::NoMatches;
  }
  RecordSearchText(needle);
  return SearchOutcome::Found;
}

SearchOutcome RunSearchKept(const SearchRequest& request, SearchSources& sources) {
  SearchState& s = Search();
  SearchOutcome outcome = RunSearch(request, sources, s.results);
  if (outcome == SearchOutcome::Found) s.current = 0;
  if (outcome == SearchOutcome::NoMatches) s.current = -1;
  return outcome;
}

SearchState& Search() {
  static SearchState state;
  return state;
}

void ResetSearch() { Search() = SearchState{}; }

// ---- the Search window's geometry -----------------------------------------------------------

SearchColumnWidths SearchColumnWidthsFor(int listWidth) {
  int quarter = std::max(listWidth, 0) / 4;
  return SearchColumnWidths{std::max(listWidth, 0) - 2 * quarter, quarter, quarter};
}

bool SearchRectsOverlap(const SearchRect& a, const SearchRect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

SearchRect PlaceCollapsedSearch(const SearchRect& search, const SearchRect& target, int screenWidth,
                                int clientTop) {
  if (!SearchRectsOverlap(search, target)) return search;
  int width = search.right - search.left, height = search.bottom - search.top;
  int roomLeft = target.left, roomRight = screenWidth - target.right;
  int left = roomRight >= roomLeft ? std::min(target.right + 1, screenWidth - width) : std::max(target.left - width, 0);
  SearchRect moved{left, search.top, left + width, search.top + height};
  if (SearchRectsOverlap(moved, target)) moved.top = clientTop, moved.bottom = clientTop + height;
  return moved;
}

}  // namespace kv
