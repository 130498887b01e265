// The notes window's portable half: the edit field kept in step with the notes' state (loading
// the note of a new context, saving the one it leaves), the calendar's selected date it follows,
// the parameters of the context message (1027), the title strip and the layout of the window,
// and its scroll bar. The Win32 window (notes_window_win.h) only draws and forwards.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "base/canvas.h"
#include "calendar/dates.h"
#include "personal/notes.h"

namespace kv {

// ---- what the window's edit field offers --------------------------------------------------

class NotesEditField {
 public:
  virtual ~NotesEditField() = default;
  virtual std::string Text() const = 0;
  virtual bool Modified() const = 0;
  // Replaces the text, clears the modified mark and the undo history (a note just loaded).
  virtual void Load(const std::string& text) = 0;
  // Clears the modified mark and the undo history (a note just saved).
  virtual void MarkSaved() = 0;
};

// ---- what the window needs from the program around it -------------------------------------

struct NotesHooks {
  // The calendar's selected day; without it today's date at the point of reference.
  std::function<DateStamp()> selectedDate;
  // True while the calendar shows the year view (no day cell carries a note mark then).
  std::function<bool()> yearView;
  // A day gained or lost its general note: its note mark in the month view must be redrawn.
  std::function<void(const DateStamp&)> dayNoteChanged;
};
void SetNotesHooks(NotesHooks hooks);

// ---- the context message (kMsgNotesContext) -----------------------------------------------
// The sender packs the new context into the message's two parameters:
//   first  = type | day << 16 | owner id << 32 | note id << 48
//   second = date key ((year << 16) | month; 0 for to-do and phonebook notes)
// A general note (type 1) with date key 0 means "the calendar's selected day".
struct NotesContextParams {
  uint64_t first = 0;
  uint64_t second = 0;
};
NotesContextParams PackNoteContext(const NoteContext& context);
NoteContext UnpackNoteContext(uint64_t first, uint64_t second);

// The general note of the calendar's selected day (or of today).
NoteContext SelectedDayContext();

// ---- switching and saving -----------------------------------------------------------------

// Shows the note of `next`: the field's text is taken over; a modified note is saved first and
// a failed save abandons the switch (false; the field keeps its text, still modified, and the
// user was told "Error detected updating notes to disk."). The same context again does nothing;
// a context of no known kind is refused (false) and the window keeps its note.
bool NotesShowContext(const NoteContext& next, NotesEditField& field);
// The calendar's selected date moved: a window that shows a general note (or nothing yet)
// follows it to the new day; one that shows an item's note stays with the item, since the
// active window's selection decides that context. False when saving the old note failed.
bool NotesFollowSelectedDate(NotesEditField& field);
// Saves a modified note (closing, losing the focus, Windows ending the session): false when it
// failed, and then the window must stay open with its text.
bool NotesSaveField(NotesEditField& field);

// ---- title strip, layout and scroll bar ---------------------------------------------------

// The two title lines: the kind's title and the date (general notes: long form, or short when
// the long one is wider than `width`) or the owner's title.
struct NotesTitle {
  std::string first;
  std::string second;
};
NotesTitle NotesTitleFor(const NoteContext& context, int width,
                         const std::function<int(std::string_view)>& measure);

struct NotesLayout {
  int stripHeight = 0;    // the title strip: 2 x line height + 2 + line height / 2
  int ruleY = 0;          // the line under the titles: 2 x line height + 2
  Rect edit;              // the edit field: below the strip, left of the scroll bar
  Rect scrollBar;         // the vertical bar at the right edge, below the strip
  Rect format;            // the edit field's formatting rectangle (in the field)
};
NotesLayout LayOutNotesWindow(int width, int height, int lineHeight, int scrollBarWidth, int leftMargin);

// The mark of an item with a note (the to-do list, the day page): a sheet with two lines of
// writing, in `ink` on a pale yellow.
void PaintNoteMark(Canvas& canvas, const Rect& mark, Colour ink);

// Draws the title strip: both lines centred in the width less the left margin (a line wider than
// the window starts at x = 0) and the rule across the width.
void PaintNotesTitle(Canvas& canvas, FontRole role, const NotesTitle& title, int width, int leftMargin,
                     Colour text, Colour rule);

// The separate scroll bar: shown only while the text has more lines than fit; position 0-100.
struct NotesScroll {
  bool shown = false;
  int visibleLines = 0;
  int position = 0;
};
NotesScroll NotesScrollFor(int lineCount, int firstVisibleLine, int formatHeight, int lineHeight);

void ResetNotesWindow();

}  // namespace kv
