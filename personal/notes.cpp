#include "personal/notes.h"

#include "calendar/date_format.h"
#include "calendar/dates.h"
#include "overlays/day_assembly.h"
#include "personal/schedule.h"
#include "resources/strings.h"
#include "base/messages.h"
#include "store/container.h"
#include "base/bytes.h"
#include "store/container_format.h"
#include "store/db_files.h"
#include "base/file_io.h"
#include "store/phone_file.h"
#include "store/todo_file.h"

namespace kv {

namespace {

constexpr int kTitleGeneral = 1064;
constexpr int kTitleToDo = 1065;
constexpr int kTitleSchedule = 1066;
constexpr int kTitlePhone = 1067;
constexpr int kErrUpdatingNotes = 1157;

struct NotesState {
  NotesWindowState window;
  NoteOwnerTitles titles;
};

NotesState& N() {
  static NotesState state;
  return state;
}

bool ValidType(uint16_t type) {
  return type == kNoteDay || type == kNoteSchedule || type == kNoteToDo || type == kNotePhone;
}
bool InMonthFile(uint16_t type) { return type == kNoteDay || type == kNoteSchedule; }

int KeyYear(uint32_t key) { return static_cast<int>(key >> 16); }
int KeyMonth(uint32_t key) { return static_cast<int>(key & 0xFFFF); }

bool ValidContext(const NoteContext& c) {
  if (!ValidType(c.type)) return false;
  if (InMonthFile(c.type)) return IsValidDate(KeyMonth(c.dateKey), c.day, KeyYear(c.dateKey));
  return c.ownerId != 0;
}

// Opens the container that holds a context's notes.
bool OpenFor(const NoteContext& c, int mode, int callerCode) {
  if (InMonthFile(c.type)) {
    if (mode == kDbModeRead && !FileExists(MonthFilePath(c.dateKey))) return false;
    return DbOpen(mode, c.dateKey, callerCode) != 0;
  }
  int selector = c.type == kNoteToDo ? kStoreToDoNotes : kStorePhoneNotes;
  if (mode == kDbModeRead && !FileExists(NotesFilePath(selector))) return false;
  DbSelectStore(selector);
  return DbOpen(mode, 0, callerCode) != 0;
}

DbRequest RequestFor(const NoteContext& c, uint16_t id) {
  DbRequest r;
  r.id = id;
  r.type = static_cast<uint8_t>(c.type);
  if (InMonthFile(c.type)) {
    r.chain = c.dateKey;
    r.day = c.day;
  }
  return r;
}

// Deletes one note record by id from the context's container.
bool DeleteNoteRecord(const NoteContext& c, uint16_t id, int callerCode) {
  if (!OpenFor(c, kDbModeWrite, callerCode)) return false;
  DbRequest r = RequestFor(c, id);
  bool ok = DbAccess(kDbDelete, r) != 0;
  DbClose();
  return ok;
}

void ShowNotesError() { ShowMessage(std::string(StringText(kErrUpdatingNotes)), MsgIcon::Warning); }

// A schedule item keeps its note's id; the month file holding both is open.
bool SetScheduleItemNote(const NoteContext& c) {
  DbRequest r;
  r.id = c.ownerId;
  r.chain = c.dateKey;
  r.day = c.day;
  r.type = kDbTypeSchedItem;
  bool ok = DbAccess(kDbRead, r) != 0 && r.block.size() >= kSchedItemSize;
  if (ok) {
    PutU16LE(r.block.data() + 12, c.noteId);
    r.mode &= 0xFF;  // the item keeps its flag byte
    ok = DbAccess(kDbWrite, r) != 0;
  }
  return ok;
}

// The owner record keeps the note's id.
bool UpdateOwner(const NoteContext& c) {
  switch (c.type) {
    case kNoteSchedule: {
      if (!DbOpen(kDbModeWrite, c.dateKey, kCallerNoteSchedOwner)) return false;
      bool ok = SetScheduleItemNote(c);
      DbClose();
      return ok;
    }
    case kNoteToDo: {
      if (!ToDoStoreOpen(kDbModeWrite, kCallerNoteToDoOwner)) return false;
      auto item = ToDoReadItem(c.ownerId);
      bool ok = item.has_value();
      if (ok) {
        SetToDoItemNoteId(*item, c.noteId);
        ok = ToDoWriteItem(*item, c.ownerId) != 0;
      }
      ToDoStoreClose();
      return ok;
    }
    case kNotePhone: {
      if (!PhoneStoreOpen(kDbModeWrite, kCallerNotePhoneOwner)) return false;
      std::vector<PhoneLoaded> entries;
      bool ok = false;
      if (PhoneLoadEntries(entries)) {
        for (PhoneLoaded& e : entries) {
          if (PhoneEntryId(e.entry) != static_cast<int16_t>(c.ownerId)) continue;
          SetPhoneEntryNoteId(e.entry, c.noteId);
          ok = PhoneWriteEntry(e.entry, e.slot) != 0;
          break;
        }
      }
      PhoneStoreClose();
      return ok;
    }
    default:
      return true;
  }
}

// The month view's mark of a day with a general note.
void MarkDay(const NoteContext& c, bool hasNote) {
  if (N().window.yearView) return;
  const MonthSlot& slot = Assembly().slots[kSlotCurrent];
  if (slot.jewish || slot.year != KeyYear(c.dateKey) || slot.month != KeyMonth(c.dateKey) || c.day > 31) return;
  uint16_t& flags = Assembly().flags[c.day];
  flags = static_cast<uint16_t>(hasNote ? (flags | kDayHasNote) : (flags & ~kDayHasNote));
}

}  // namespace

bool SameNoteContext(const NoteContext& a, const NoteContext& b) {
  return a.type == b.type && a.dateKey == b.dateKey && a.day == b.day && a.ownerId == b.ownerId;
}

NoteContext DayNoteContext(int year, int month, int day) {
  NoteContext c;
  c.type = kNoteDay;
  c.dateKey = MonthKey(year, month);
  c.day = static_cast<uint8_t>(day);
  return c;
}

NoteContext ScheduleNoteContext(int year, int month, int day, uint16_t itemId, uint16_t noteId) {
  NoteContext c = DayNoteContext(year, month, day);
  c.type = kNoteSchedule;
  c.ownerId = itemId;
  c.noteId = noteId;
  return c;
}

NoteContext ToDoNoteContext(uint16_t itemSlot, uint16_t noteId) {
  NoteContext c;
  c.type = kNoteToDo;
  c.ownerId = itemSlot;
  c.noteId = noteId;
  return c;
}

NoteContext PhoneNoteContext(uint16_t entryId, uint16_t noteId) {
  NoteContext c = ToDoNoteContext(entryId, noteId);
  c.type = kNotePhone;
  return c;
}

std::optional<NoteRecord> ParseNoteRecord(const std::vector<uint8_t>& bytes) {
  auto text = ParseNoteText(bytes);
  if (!text || bytes.size() < 3) return std::nullopt;
  return NoteRecord{bytes[2], *text};
}

std::vector<uint8_t> SerializeNote(const NoteRecord& note) { return SerializeNoteRecord(note.type, note.text); }

// ---- finding -----------------------------------------------------------------------------------

std::optional<NoteText> NoteReadOpen(uint16_t type, uint32_t monthKey, int day, uint16_t noteId) {
  if (!ValidType(type)) return std::nullopt;
  NoteContext c;
  c.type = type;
  if (InMonthFile(type)) {
    if (day < 1 || day > 31) return std::nullopt;
    c.dateKey = monthKey;
    c.day = static_cast<uint8_t>(day);
  } else if (noteId == 0) {
    return std::nullopt;
  }
  DbRequest r = RequestFor(c, noteId);
  if (!DbAccess(kDbRead, r)) return std::nullopt;
  auto text = ParseNoteText(r.block);
  if (!text) return std::nullopt;
  return NoteText{r.id, *text};
}

std::optional<NoteText> NoteFind(const NoteContext& c, int callerCode) {
  if (!ValidType(c.type)) return std::nullopt;
  if (InMonthFile(c.type) && !IsValidDate(KeyMonth(c.dateKey), c.day, KeyYear(c.dateKey))) return std::nullopt;
  // A general note is found by its day; the others by their id.
  uint16_t id = c.type == kNoteDay ? 0 : c.noteId;
  if (c.type != kNoteDay && id == 0) return std::nullopt;
  if (!OpenFor(c, kDbModeRead, callerCode)) return std::nullopt;
  auto found = NoteReadOpen(c.type, c.dateKey, c.day, id);
  DbClose();
  return found;
}

std::optional<NoteText> NoteFindDay(int year, int month, int day, int callerCode) {
  return NoteFind(DayNoteContext(year, month, day), callerCode);
}

std::optional<NoteText> NoteFindSchedule(int year, int month, int day, uint16_t noteId, int callerCode) {
  return NoteFind(ScheduleNoteContext(year, month, day, 0, noteId), callerCode);
}

std::optional<NoteText> NoteFindToDo(uint16_t noteId, int callerCode) {
  return NoteFind(ToDoNoteContext(0, noteId), callerCode);
}

std::optional<NoteText> NoteFindPhone(uint16_t noteId, int callerCode) {
  return NoteFind(PhoneNoteContext(0, noteId), callerCode);
}

bool DayHasNote(int year, int month, int day) {
  auto note = NoteFindDay(year, month, day);
  return note && !note->text.empty();
}

// ---- saving ----------------------------------------------------------------------------------

bool NoteSave(NoteContext& c, const std::string& text) {
  if (!ValidContext(c)) return ShowNotesError(), false;
  uint16_t id = c.noteId;
  // A general note is the day's one note: find it when the context does not know it yet, so
  // that a second one is never made.
  if (c.type == kNoteDay && id == 0)
    if (auto existing = NoteFind(c)) id = existing->id;
  if (text.empty() && id == 0) return true;
  // The text must fit a record whose length is 16-bit.
  if (text.size() + 12 > 0xFFFF) return ShowNotesError(), false;

  // Each write session of a store file survives a crash whole or not at all. A schedule item
  // lies in the month file of its note, so both change in one session. The owners of to-do and
  // phonebook notes lie in other files: there a record that changes its length is written anew
  // and the old one deleted only once the owner points at the new one, and a deleted note loses
  // its owner's reference first, so that a crash between the files leaves at worst a record no
  // owner points at, never an owner pointing at a record that is gone.
  bool otherFile = c.type == kNoteToDo || c.type == kNotePhone;
  uint16_t before = c.noteId;
  uint16_t retired = 0;   // the old record, deleted once the owner no longer points at it
  if (!OpenFor(c, kDbModeWrite, text.empty() ? kCallerNoteDelete : kCallerNoteWrite)) return ShowNotesError(), false;
  DbRequest r = RequestFor(c, id);
  bool ok = true;
  if (!text.empty()) {
    r.block = SerializeNoteRecord(static_cast<uint8_t>(c.type), text);
    DbRequest old = RequestFor(c, id);
    if (otherFile && id != 0 && DbAccess(kDbRead, old) && old.block.size() != r.block.size()) {
      retired = id;
      r.id = 0;
    }
    ok = DbAccess(kDbWrite, r) != 0;
    id = r.id;
  } else if (otherFile) {
    retired = id;
    id = 0;
  } else {
    ok = DbAccess(kDbDelete, r) != 0;
    id = 0;
  }
  bool ownerDone = false;
  if (ok && c.type == kNoteSchedule) {
    NoteContext next = c;
    next.noteId = id;
    ownerDone = SetScheduleItemNote(next);
    // A new note no item points at could never be reached again: it is taken back.
    if (!ownerDone && before == 0 && id != 0) {
      DbRequest undo = RequestFor(c, id);
      if (DbAccess(kDbDelete, undo)) id = 0;
    }
  }
  DbClose();
  if (!ok) return ShowNotesError(), false;
  c.noteId = id;
  if (c.type == kNoteDay) MarkDay(c, id != 0);
  if (c.type == kNoteSchedule) return ownerDone || (ShowNotesError(), false);
  if (before != id || c.type != kNoteDay) {
    if (!UpdateOwner(c)) {
      // A note no owner points at could never be reached again: a new one is taken back (the
      // text stays in the window, still modified, for the next attempt) and the owner keeps
      // the one it points at.
      if (id == before || id == 0 || DeleteNoteRecord(c, id, kCallerNoteDelete)) c.noteId = before;
      return ShowNotesError(), false;
    }
  }
  if (retired != 0) DeleteNoteRecord(c, retired, kCallerNoteDelete);
  return true;
}

bool NoteDeleteForRemovedOwner(uint16_t type, uint16_t noteId, int callerCode) {
  if ((type != kNoteToDo && type != kNotePhone) || noteId == 0) return true;
  NoteContext c = type == kNoteToDo ? ToDoNoteContext(0, noteId) : PhoneNoteContext(0, noteId);
  // Opening for writing would make a notes file that is not there.
  if (!FileExists(NotesFilePath(type == kNoteToDo ? kStoreToDoNotes : kStorePhoneNotes))) return true;
  return DeleteNoteRecord(c, noteId, callerCode);
}

// ---- the window's state ----------------------------------------------------------------------

NotesWindowState& NotesWindow() { return N().window; }

bool NoteSaveCurrent() {
  NotesWindowState& w = N().window;
  if (!w.modified) return true;
  if (!ValidContext(w.context)) {
    w.modified = false;
    return true;
  }
  if (!NoteSave(w.context, w.text)) return false;
  w.modified = false;
  return true;
}

bool NoteSwitchContext(const NoteContext& next) {
  NotesWindowState& w = N().window;
  if (SameNoteContext(w.context, next) && w.context.type != 0) return true;
  if (!NoteSaveCurrent()) return false;
  w.context = next;
  w.text.clear();
  w.modified = false;
  if (next.type == kNoteDay || next.noteId != 0) {
    if (auto found = NoteFind(next)) {
      w.text = found->text;
      w.context.noteId = found->id;
    } else if (next.type == kNoteDay) {
      w.context.noteId = 0;
    }
  }
  w.secondLine = NoteSecondLine(w.context);
  return true;
}

std::string NoteTitleLine(uint16_t type) {
  switch (type) {
    case kNoteDay: return std::string(StringText(kTitleGeneral));
    case kNoteSchedule: return std::string(StringText(kTitleSchedule));
    case kNoteToDo: return std::string(StringText(kTitleToDo));
    case kNotePhone: return std::string(StringText(kTitlePhone));
    default: return std::string();
  }
}

std::string NoteSecondLine(const NoteContext& c) {
  switch (c.type) {
    case kNoteDay:
      if (!IsValidDate(KeyMonth(c.dateKey), c.day, KeyYear(c.dateKey))) return std::string();
      return FormatLongDate(KeyMonth(c.dateKey), c.day, KeyYear(c.dateKey));
    case kNoteSchedule:
      if (auto item = SchedReadItem(KeyYear(c.dateKey), KeyMonth(c.dateKey), c.day, c.ownerId))
        return item->record.title;
      return std::string();
    case kNoteToDo: return N().titles.toDoText ? N().titles.toDoText(c.ownerId) : std::string();
    case kNotePhone: return N().titles.phoneName ? N().titles.phoneName(c.ownerId) : std::string();
    default: return std::string();
  }
}

void SetNoteOwnerTitles(const NoteOwnerTitles& titles) { N().titles = titles; }
NoteOwnerTitles NoteOwnerTitlesInUse() { return N().titles; }

void ResetNotes() { N() = NotesState(); }

}  // namespace kv
