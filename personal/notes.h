// Notes: one free-text note per day, schedule item, to-do item and phonebook entry, stored as
// records of the database files (types 1, 2, 3 and 5); the owner record keeps the note's id.
// The notes window shows the note of a context and follows the user's selection, saving the
// note it leaves and loading the one it arrives at.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kv {

// Note types: the window's note type and the record type of the note.
constexpr uint16_t kNoteDay = 1;       // general day note, month file, by day
constexpr uint16_t kNoteSchedule = 2;  // schedule item note, month file of the item's date
constexpr uint16_t kNoteToDo = 3;      // to-do item note, "ToDo.kvdb"
constexpr uint16_t kNotePhone = 5;     // phonebook entry note, "PhoneBk.kvdb"

// Caller codes of the notes' store accesses.
constexpr int kCallerNoteLoad = 1122;
constexpr int kCallerNoteWrite = 1119;
constexpr int kCallerNoteDelete = 1120;
constexpr int kCallerNoteSchedOwner = 1121;
constexpr int kCallerNoteToDoOwner = 1206;
constexpr int kCallerNotePhoneOwner = 1705;

// What identifies a note.
struct NoteContext {
  uint16_t type = 0;
  uint32_t dateKey = 0;  // (year << 16) | month for types 1 and 2; 0 for types 3 and 5
  uint8_t day = 0;       // types 1 and 2; 0 for types 3 and 5
  uint16_t ownerId = 0;  // schedule item id, to-do item (slot) or phonebook entry id; 0 for type 1
  uint16_t noteId = 0;   // 0 while the owner has no note
};

// Same note: type, date key, day and owner id equal (the note id is not compared).
bool SameNoteContext(const NoteContext& a, const NoteContext& b);

NoteContext DayNoteContext(int year, int month, int day);
NoteContext ScheduleNoteContext(int year, int month, int day, uint16_t itemId, uint16_t noteId);
NoteContext ToDoNoteContext(uint16_t itemSlot, uint16_t noteId);
NoteContext PhoneNoteContext(uint16_t entryId, uint16_t noteId);

// A note found: its id and text.
struct NoteText {
  uint16_t id = 0;
  std::string text;
};

// A note record: length (text length + 12), type, eight zero bytes, the text and its zero.
struct NoteRecord {
  uint8_t type = 0;
  std::string text;
  friend bool operator==(const NoteRecord&, const NoteRecord&) = default;
};
std::optional<NoteRecord> ParseNoteRecord(const std::vector<uint8_t>& bytes);
std::vector<uint8_t> SerializeNote(const NoteRecord& note);

// ---- finding notes by kind (each opens its store for reading and closes it) --------------------

// The day's general note (the first type-1 record of the day).
std::optional<NoteText> NoteFindDay(int year, int month, int day, int callerCode = kCallerNoteLoad);
// A schedule item's note by its id, in the month file of the item's date.
std::optional<NoteText> NoteFindSchedule(int year, int month, int day, uint16_t noteId,
                                         int callerCode = kCallerNoteLoad);
std::optional<NoteText> NoteFindToDo(uint16_t noteId, int callerCode = kCallerNoteLoad);
std::optional<NoteText> NoteFindPhone(uint16_t noteId, int callerCode = kCallerNoteLoad);
// Any context (a general note is found by its day; the others by the context's note id).
std::optional<NoteText> NoteFind(const NoteContext& context, int callerCode = kCallerNoteLoad);

// On a container the caller holds open: the note of a type on a day (id 0: the first), or by id
// in a notes file (chain 0). For walking many days of one month without reopening it.
std::optional<NoteText> NoteReadOpen(uint16_t type, uint32_t monthKey, int day, uint16_t noteId);

// Whether a day has a general note (the month view's note mark).
bool DayHasNote(int year, int month, int day);

// ---- saving -------------------------------------------------------------------------------

// Stores `text` as the context's note: an empty text is never stored (emptying deletes the
// record and the note id becomes 0); a new note or a length change yields a new id. The owner
// record (schedule item, to-do item, phonebook entry) receives the note id. On failure shows
// "Error detected updating notes to disk." and returns false, changing nothing in the context.
bool NoteSave(NoteContext& context, const std::string& text);

// Deletes the note of a to-do item or phonebook entry that is being removed (the owner is not
// updated: it goes too). True when the note is gone, also when there never was one.
bool NoteDeleteForRemovedOwner(uint16_t type, uint16_t noteId, int callerCode);

// ---- the notes window's state ---------------------------------------------------------------

struct NotesWindowState {
  NoteContext context;
  std::string text;       // the edit field
  bool modified = false;  // the edit field's modified mark
  bool yearView = false;  // the calendar shows the year view (no day cell to mark)
  std::string secondLine; // the title area's second line
};
NotesWindowState& NotesWindow();

// Switches to a new context: nothing when it is the same; saves a modified note first (a failed
// save abandons the switch: false); then loads the new note (a general note by its day).
bool NoteSwitchContext(const NoteContext& next);
// Saves the window's note when modified; false when that failed.
bool NoteSaveCurrent();

// The title area: line one the kind's title, line two the date (general note) or the owner's
// title (schedule item title, to-do text, phonebook display name).
std::string NoteTitleLine(uint16_t type);
std::string NoteSecondLine(const NoteContext& context);

// Supplies the owners' titles for the second line (to-do text and phonebook name come from
// their modules; the schedule title is read from the month file). Either may be empty.
struct NoteOwnerTitles {
  std::string (*toDoText)(uint16_t slot) = nullptr;
  std::string (*phoneName)(uint16_t entryId) = nullptr;
};
void SetNoteOwnerTitles(const NoteOwnerTitles& titles);
// The titles in use, so that each module can set its own and keep the others'.
NoteOwnerTitles NoteOwnerTitlesInUse();

void ResetNotes();

}  // namespace kv
