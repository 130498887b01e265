// The phonebook: up to 2048 name-and-address entries in the phonebook file
// (store/phone_file.h). This module packs and unpacks an entry's fields, makes the display
// names, builds the window's name index and choice lists, stores and deletes entries, and runs
// the name list's type-ahead. The window and its dialog only call these.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "store/phone_file.h"

namespace kv {

// The fifteen packed fields, in stored order.
enum PhoneField : int {
  kPhoneCategory, kPhoneLast, kPhoneFirst, kPhoneSalutation, kPhoneTitle, kPhoneCompany,
  kPhoneAddress, kPhoneNumber1, kPhoneNumber2, kPhoneNumber3, kPhoneNumber4,
  kPhoneLabel1, kPhoneLabel2, kPhoneLabel3, kPhoneLabel4,
  kPhoneFieldCount
};
// The longest text each field can hold (phone numbers with their dial-action suffix).
inline constexpr std::array<size_t, kPhoneFieldCount> kPhoneFieldMax = {
    23, 47, 23, 15, 39, 47, 159, 31, 31, 31, 31, 11, 11, 11, 11};
// The packed text, separators included, fills at most this many bytes.
constexpr size_t kPhonePackedMax = 251;
constexpr uint8_t kPhoneSeparator = 0x1C;
constexpr size_t kPhoneNameMax = 39;   // display names are cut to this
// The first item of the category filter list: "All".
constexpr int kStrAllCategories = 24534;

using PhoneFields = std::array<std::string, kPhoneFieldCount>;

// The packed text (each field followed by 0x1C), without the closing zero byte.
std::string PackPhoneFields(const PhoneFields& fields);
// How many characters must go for the packed text to fit; 0 when it fits.
size_t PhonePackExcess(const std::string& packed);

// The four labels shown for old entries that stored none.
std::array<std::string, 4> DefaultPhoneLabels();

// An entry's fields from its record: the current layout (byte 255 = 1, taken as a separator),
// or the old 16-column layout with its address composed and, without stored labels, the
// default labels.
PhoneFields UnpackPhoneEntry(const PhoneEntry& entry);
// The old layout's address: Address1, Address2, "City, Region  PostalCode", Country, one per line.
std::string ComposeLegacyAddress(std::string_view address1, std::string_view address2, std::string_view city,
                                 std::string_view region, std::string_view postalCode, std::string_view country);

// A record of the current layout (id and note id 0 until stored); false when the packed text
// does not fit.
bool BuildPhoneEntry(const PhoneFields& fields, PhoneEntry& entry);

// The dial action a number's last character selects.
enum class DialAction { Default, SmartDial, Exact, Preview };
struct PhoneNumberText {
  std::string number;   // without the suffix
  DialAction action = DialAction::Default;
};
PhoneNumberText SplitDialAction(std::string_view stored);
std::string JoinDialAction(std::string_view number, DialAction action);
const char* DialActionName(DialAction action);   // "Default", "SmartDial", "Exact", "Preview"

// People list the name ("Last, First"), organizations the company ("Company [Last]").
enum class PhoneView { People, Organizations };
// The display name for the view, cut to 39 characters; 0 when the entry is not listed in it.
int PhoneDisplayName(std::string& out, std::string_view first, std::string_view last, std::string_view company,
                     PhoneView view);

// One listed entry.
struct PhoneIndexEntry {
  int16_t id = 0;
  uint16_t noteId = 0;
  uint16_t slot = 0;
  std::string name;       // display name
  std::string category;
};

// The combo boxes' drop-down lists; no two items equal ignoring case.
struct PhoneChoices {
  std::vector<std::string> categories, salutations, titles, labels;
  void Add(const PhoneFields& fields);
};
// Appends unless an item equal ignoring case is there; the text is cut to `max` characters.
void AddPhoneChoice(std::vector<std::string>& list, std::string_view text, size_t max);

// The window's state: view, category filter (empty = all), the index sorted by display name,
// the choice lists, the selection and the file's live entry count.
struct PhoneBook {
  PhoneView view = PhoneView::People;
  std::string categoryFilter;
  std::vector<PhoneIndexEntry> index;
  PhoneChoices choices;
  int selected = -1;
  int liveCount = 0;
};

// Reads the file and builds the index and the choice lists for the view and filter (a wrong
// header count is corrected in the file). 0 when the file cannot be read (the list is empty).
int PhoneLoad(PhoneBook& book);

// The fields of the entry in a slot, read from the file; false when it cannot be read.
bool PhoneReadFields(uint16_t slot, PhoneFields& fields);

// "New": false after "Phonebook is full (2048 total entries maximum)." when the book is full.
bool PhoneCanAdd(const PhoneBook& book);

enum class PhoneSaveError { None, Name, Category, TooLong, Full, Write };
struct PhoneSaveResult {
  PhoneSaveError error = PhoneSaveError::None;
  PhoneField focus = kPhoneCategory;   // the field to focus after an error
  PhoneEntryRef ref;                   // where the entry was stored
  bool Ok() const { return error == PhoneSaveError::None; }
};
// Validates (showing the message), stores a new entry (`editIndex` -1) or the entry at that
// position of the index, updates the choice lists and the index (kept sorted) and selects it.
PhoneSaveResult PhoneSave(PhoneBook& book, const PhoneFields& fields, int editIndex = -1);

// Deletes the selected entry after asking (when `ask`), with its note; the selection moves to
// the previous name. True when deleted.
bool PhoneDelete(PhoneBook& book, bool ask = true);

// Sorts the index alphabetically by display name, ignoring case (stable).
void SortPhoneIndex(std::vector<PhoneIndexEntry>& index);

// The name list's type-ahead: printable characters build a prefix of at most 42 characters
// that selects the first name starting with it (ignoring case); from two characters on the
// search starts at the current entry and wraps. The window runs the timer it asks for.
// Comparisons of names and categories that ignore the case of ASCII letters.
bool EqualNoCase(std::string_view a, std::string_view b);
bool LessNoCase(std::string_view a, std::string_view b);

class PhoneTypeAhead {
 public:
  static constexpr size_t kMaxPrefix = 42;
  struct Step {
    int select = -1;       // the index to select, -1 for none
    bool beep = false;     // no name matched; the prefix was cleared
    int timerMs = 0;       // restart the clearing timer with this, 0 to stop it
  };
  Step Key(char key, const std::vector<PhoneIndexEntry>& index, int current);
  void Clear() { prefix_.clear(); }   // timer ran out, focus lost
  const std::string& Prefix() const { return prefix_; }

 private:
  std::string prefix_;
};


constexpr int kCallerPhoneLoad = 1703;
constexpr int kCallerPhoneDelete = 1704;
constexpr int kCallerPhoneRepair = 1707;   // count repair; deleting a note

}  // namespace kv
