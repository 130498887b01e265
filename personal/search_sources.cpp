#include "personal/search_sources.h"

#include <algorithm>
#include <cstring>

#include "overlays/overlay_rules.h"
#include "overlays/overlay_set.h"
#include "personal/notes.h"
#include "personal/phone.h"
#include "personal/schedule.h"
#include "personal/todo.h"
#include "store/container.h"
#include "store/phone_file.h"
#include "store/todo_file.h"

namespace kv {
namespace {

constexpr size_t kPhoneTextOffset = 4;
constexpr size_t kPhoneTextEnd = 255;  // byte 255 is the layout marker

// The stored year of a listed item whose zone moved it across a year end.
int StoredYear(int listedYear, int listedMonth, int storedMonth) {
  if (listedMonth == 1 && storedMonth == 12) return listedYear - 1;
  if (listedMonth == 12 && storedMonth == 1) return listedYear + 1;
  return listedYear;
}

// The notes of to-do items or phonebook entries, read from their notes file with one open.
template <typename Entry>
void ReadOwnerNotes(int store, uint16_t type, std::vector<Entry>& entries) {
  if (std::none_of(entries.begin(), entries.end(), [](const Entry& e) { return e.noteId != 0; })) return;
  DbSelectStore(store);
  if (!DbOpen(kDbModeRead, 0, kCallerSearchNote)) return;
  for (Entry& e : entries) {
    if (!e.noteId) continue;
    if (std::optional<NoteText> note = NoteReadOpen(type, 0, 0, e.noteId)) e.note = std::move(note->text);
  }
  DbClose();
}

}  // namespace

std::string SearchPhoneName(std::string_view salutation, std::string_view first, std::string_view last,
                            std::string_view company) {
  if (last.empty()) return std::string(company);
  std::string name;
  if (!salutation.empty()) name.append(salutation).append(" ");
  return name.append(first).append(" ").append(last);
}

bool StoreSearchSources::Busy() { return DbIsOpen(); }

void StoreSearchSources::ScheduleMonth(int year, int month, int fromDay, int toDay, bool withNotes,
                                       std::vector<SearchScheduleEntry>& out) {
  size_t first = out.size();
  for (const SchedListEntry& e : SchedListRange(month, month, year, fromDay, toDay, 1)) {
    SearchScheduleEntry s;
    s.start = SplitMinuteKey(e.start);
    int storedMonth = e.month & ~kSchedListMonthCalendar;
    s.stored = DateStamp{StoredYear(s.start.year, s.start.month, storedMonth), static_cast<uint16_t>(storedMonth), e.day};
    s.id = e.id;
    s.noteId = e.noteId;
    s.title = e.title;
    out.push_back(std::move(s));
  }
  if (!withNotes) return;
  // The notes lie in the month files the items are stored in: nearly always this month's, now
  // and then a neighbour's for an item of another zone. Each file is opened once per run of items.
  uint32_t openKey = 0;
  for (size_t i = first; i < out.size(); ++i) {
    SearchScheduleEntry& s = out[i];
    if (!s.noteId) continue;
    uint32_t key = MonthKey(s.stored.year, s.stored.month);
    if (key != openKey) {
      if (openKey) DbClose();
      openKey = DbOpen(kDbModeRead, key, kCallerSearchNote) ? key : 0;
      if (!openKey) continue;
    }
    if (std::optional<NoteText> note = NoteReadOpen(kNoteSchedule, key, s.stored.day, s.noteId))
      s.note = std::move(note->text);
  }
  if (openKey) DbClose();
}

bool StoreSearchSources::PhoneEntries(bool withNotes, std::vector<SearchPhoneEntry>& out) {
  if (!PhoneStoreOpen(kDbModeRead, kCallerSearchPhone)) return true;  // no phonebook: nothing to search
  std::vector<PhoneLoaded> loaded;
  bool read = PhoneLoadEntries(loaded) != 0;
  PhoneStoreClose();
  for (const PhoneLoaded& l : loaded) {
    SearchPhoneEntry e;
    e.id = static_cast<uint16_t>(PhoneEntryId(l.entry));
    e.noteId = PhoneEntryNoteId(l.entry);
    const auto* text = reinterpret_cast<const char*>(l.entry.data()) + kPhoneTextOffset;
    e.text.assign(text, strnlen(text, kPhoneTextEnd - kPhoneTextOffset));
    PhoneFields f = UnpackPhoneEntry(l.entry);
    e.kind = f[kPhoneLast].empty() ? 0 : 1;
    e.name = SearchPhoneName(f[kPhoneSalutation], f[kPhoneFirst], f[kPhoneLast], f[kPhoneCompany]);
    out.push_back(std::move(e));
  }
  if (withNotes) ReadOwnerNotes(kStorePhoneNotes, kNotePhone, out);
  return read;
}

void StoreSearchSources::ToDoItems(bool withNotes, std::vector<SearchToDoEntry>& out) {
  if (!ToDoStoreOpen(kDbModeRead, kCallerSearchToDo)) return;
  for (const ToDoListed& l : ToDoListOrder()) {
    std::optional<ToDoItem> item = ToDoReadItem(l.slot);
    if (!item) continue;
    ToDoRecord record = ParseToDoRecord(*item);
    DateStamp required = SplitMinuteKey(l.sortKey);
    out.push_back(SearchToDoEntry{l.slot, required, record.noteId, std::move(record.text), std::nullopt});
  }
  ToDoStoreClose();
  if (withNotes) ReadOwnerNotes(kStoreToDoNotes, kNoteToDo, out);
}

void StoreSearchSources::OverlayMonth(int year, int month, std::vector<SearchOverlayHit>& out) {
  std::vector<EventHit> hits;
  for (const LoadedEvent& le : Overlays().events) {
    hits.clear();
    EventHitsInMonth(le.event, year, month, RangeKeysOf(le.event), hits);
    for (const EventHit& h : hits) out.push_back(SearchOverlayHit{h.date, EventText(le.event, h)});
  }
}

bool StoreSearchSources::GeneralNotes(int year, int month, int fromDay, int toDay, std::vector<SearchDayNote>& out) {
  uint32_t key = MonthKey(year, month);
  if (!DbOpen(kDbModeRead, key, kCallerSearchDayNotes)) return false;
  for (int day = fromDay; day <= toDay; ++day) {
    if (std::optional<NoteText> note = NoteReadOpen(kNoteDay, key, day, 0))
      out.push_back(SearchDayNote{day, note->id, std::move(note->text)});
  }
  DbClose();
  return true;
}

}  // namespace kv
