// The phonebook window's portable half: the child controls made from the "Phonebook" template's
// items, the category filter and name lists, what the window shows of the selected entry, the
// entry dialog's fields (numbers with their dial actions apart), and the selected entry
// remembered in the configuration. The Win32 window (phone_window_win.h) only creates controls,
// fills them from these and forwards the user's actions.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/dialog_template.h"
#include "personal/notes.h"
#include "personal/phone.h"

namespace kv {

// ---- building the window from the template ----------------------------------------------------

// A control to create: the class name, its text, style, pixel rectangle and id.
struct TemplateControl {
  std::string className;
  std::string text;
  uint32_t style = 0;
  uint32_t exStyle = 0;   // 0x204 (client edge, no parent notify) for edit fields, else 0
  int x = 0, y = 0, cx = 0, cy = 0;
  uint32_t id = 0;
};
// The class of a template item: the predefined ordinals 0x80-0x85 by name, else its own name;
// an unknown ordinal gives "".
std::string TemplateClassName(const TemplateName& windowClass);
// One item in pixels with the font's base units (x and width by baseX / 4, y and height by
// baseY / 8). An ordinal title (an icon's resource number) gives an empty text.
TemplateControl PlanTemplateControl(const DialogItem& item, int baseX, int baseY);

// ---- the lists ---------------------------------------------------------------------------------

// The category filter's lines: "All", then the categories in alphabetical order (ignoring case).
std::vector<std::string> PhoneFilterLines(const PhoneBook& book);
// The line of the current filter (0 for "All", also when the category has gone).
int PhoneFilterLine(const PhoneBook& book, const std::vector<std::string>& lines);
// The filter a chosen line stands for: empty for "All".
std::string PhoneFilterOfLine(const std::vector<std::string>& lines, int line);

// The position of an entry id in the index, -1 when it is not listed.
int PhoneIndexOfId(const PhoneBook& book, int id);

// ---- the selected entry as the window shows it ---------------------------------------------

struct PhoneRow {
  std::string label;    // "Home:" (the stored label and a colon), empty without a label
  std::string number;   // without its dial-action suffix
  DialAction action = DialAction::Default;
};
struct PhoneEntryDisplay {
  std::string heading;  // "Salutation First Last", then the title and the company, one per line
  std::string address;
  std::array<PhoneRow, 4> rows;
};
PhoneEntryDisplay DisplayPhoneEntry(const PhoneFields& fields);

// The selected entry read from the file: its fields and note id (kept up to date in the index,
// since the notes window writes the note id into the file). False when the slot no longer
// holds the listed entry.
struct PhoneSelection {
  int16_t id = 0;
  uint16_t noteId = 0;
  PhoneFields fields;
};
bool PhoneReadSelection(PhoneBook& book, PhoneSelection& out);

// The notes window's context for the selected entry (type 5; nothing selected: an empty one).
NoteContext PhoneSelectionNoteContext(const PhoneBook& book);

// ---- the entry dialog --------------------------------------------------------------------------

// The dialog's values: the fields with the numbers stripped of their suffix, and each number's
// dial action.
struct PhoneForm {
  PhoneFields fields;
  std::array<DialAction, 4> actions{};
};
PhoneForm PhoneFormFromFields(const PhoneFields& fields);
// The fields to store: each number gets its action's suffix; a number too long for the suffix
// loses its last characters, never the suffix.
PhoneFields PhoneFieldsFromForm(const PhoneForm& form);

// The longest number the dialog lets the user type: room is kept for a suffix.
constexpr size_t kPhoneNumberTyped = 30;

// ---- the selection kept in the configuration -------------------------------------------------

struct PhoneRemembered {
  uint16_t id = 0;
  std::string name;     // the display name, at most 23 characters
};
constexpr size_t kPhoneRememberedNameMax = 23;
PhoneRemembered RememberPhoneSelection(const PhoneBook& book);
// The line to select after loading: the remembered id, else the remembered name (ignoring case),
// else the first line; -1 for an empty list.
int FindRememberedPhoneEntry(const PhoneBook& book, const PhoneRemembered& remembered);

// ---- the type-ahead prefix shown beside the list --------------------------------------------

// The window runs its clearing timer with the step's milliseconds; the text beside the list
// shows the prefix.
constexpr unsigned kPhoneTypeAheadTimer = 1;

}  // namespace kv
