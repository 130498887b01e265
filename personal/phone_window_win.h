// The phonebook window (class MDIDialogClass): an MDI child whose controls are made from the
// "Phonebook" template (PhoneBuildControls), listing the entries as people or organizations by
// category, with type-ahead in the name list, the selected entry's address and phones, and the
// "New Phone/Address Entry" dialog for adding and editing. The shell's window procedure of the
// class passes every message here first and falls back to its desk handling when this returns
// false.
//
// What the window answers:
//   kMsgPhonebookFinish (1037): the selected entry goes into the configuration (through
//     PhoneWindowHooks::remember) before the configuration is saved.
// What it tells: the notes window gets kMsgNotesContext (1027) with the selected entry's note
// context whenever the selection changes and when the phonebook becomes the active window.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/dialog_template.h"
#include "personal/phone.h"
#include "personal/phone_window.h"

namespace kv {

// What the window needs from the program around it (installed once by the shell).
struct PhoneWindowHooks {
  std::function<HFONT()> font;               // the controls' font; none or nullptr: the system's GUI font
  std::function<HWND()> notesWindow;         // the open notes window, or nullptr
  std::function<HWND()> bringUp;             // opens the phonebook (or brings it up) and returns it
  // The configuration's remembered entry and list kind (true = people), and storing them.
  std::function<PhoneRemembered()> remembered;
  std::function<void(const PhoneRemembered&)> remember;
  std::function<bool()> peopleView;
  std::function<void(bool)> setPeopleView;
  // Dialling a number with its action; without a dialer the dial buttons stay greyed.
  std::function<void(HWND window, const std::string& number, DialAction action)> dial;
};
void SetPhoneWindowHooks(PhoneWindowHooks hooks);

// Handles a message of the phonebook window; false leaves it to the desk's default handling
// (also after acting on WM_CREATE, WM_MDIACTIVATE and WM_DESTROY, which the desk needs too).
bool PhoneWindowMessage(HWND window, UINT message, WPARAM wp, LPARAM lp, LRESULT& result);

// Creates the child controls of `window` from template items, in dialog units converted with
// `baseUnits` (average letter width, font height), each given `font`. False when a control
// could not be made.
bool PhoneBuildControls(HWND window, const std::vector<DialogItem>& items, HFONT font, SIZE baseUnits);

// Brings up the phonebook (opening it when closed) and selects the entry with this id. With
// `resetToKind` 0 (organizations) or 1 (people) the window first switches to that list and to
// all categories. False when the entry is not listed in the window's current list and category
// (the window then keeps its selection) or the window could not be opened.
bool ShowPhoneEntry(uint16_t entryId, int resetToKind = -1);

// The display name of an entry the open window lists (the notes window's title), else "".
std::string PhoneWindowEntryName(uint16_t entryId);

}  // namespace kv
