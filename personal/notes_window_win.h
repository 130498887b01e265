// The Notes window (class KVNote): the title strip with the kind of note and its owner, the
// edit field and its own scroll bar. The shell's window procedure of the class passes every
// message here first and falls back to its desk handling when this returns false.
//
// What the shell tells the window:
//   kMsgNotesContext (1027): show another owner's note; the parameters are those of
//     PackNoteContext (notes_window.h). A general note with date key 0 means the calendar's
//     selected day.
//   kMsgSelectedDateChanged (1076): the calendar's selected day moved; the window asks the
//     NotesHooks::selectedDate the shell installed (SetNotesHooks) and follows it while it shows
//     a general note.
// After a general note is created or emptied, NotesHooks::dayNoteChanged is called with its day
// so that the month view redraws that day's note mark.
#pragma once

#include <windows.h>

#include <cstdint>

#include "personal/notes.h"

namespace kv {

// Handles a message of the notes window; false leaves it to the desk's default handling (also
// after acting on WM_CREATE, WM_SIZE, WM_MDIACTIVATE and WM_DESTROY, which the desk needs too).
bool NotesWindowMessage(HWND window, UINT message, WPARAM wp, LPARAM lp, LRESULT& result);

// True while the open notes window's edit field holds text (the File menu greys "&Print..."
// for an empty note); false without a window.
bool NotesWindowHasText();

// Puts the caret of the open notes window at a character offset of its note (clamped to the
// text), with no text selected, and scrolls it into view: where a search found its match.
void NotesWindowSelectAt(uint32_t offset);

// Tells a notes window to show an owner's note (kMsgNotesContext); nothing without a window.
// Send waits until the window has switched (and saved the note it left); Post does not.
void SendNoteContext(HWND notes, const NoteContext& context);
void PostNoteContext(HWND notes, const NoteContext& context);

// The font of the edit field and the title strip (the shell's notes font); nullptr, or not
// called at all, uses the system's GUI font. The caller keeps the font alive while the window
// is open; an open window takes a new font at once.
void SetNotesWindowFont(HFONT font);

}  // namespace kv
