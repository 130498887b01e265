// The configuration's display options as the three options dialogs edit them: the calendar
// options (each field with its control and how a choice maps to the stored value), the font
// roles, the four colours, the checks of typed values, what a change has to refresh, and the
// copy of the edited fields that Cancel puts back.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "shell/config.h"

namespace kv {

// What a change to a field must bring up to date on screen.
enum OptionRefresh : unsigned {
  kRefreshViews = 1,    // the views' options: relayout and repaint of the calendar
  kRefreshDrawing = 2,  // brushes, pens and fonts made anew (colours, screen fonts)
};

// How a calendar option is shown.
enum class OptionControl {
  Check,          // a check box: checked = 1
  InvertedCheck,  // a check box checked while the field is 0 (the field says "hidden")
  List,           // a drop-down list: position i stands for values[i]
  Minutes,        // an edit field of minutes, checked when the dialog is confirmed
};

struct CalendarOptionField {
  int control;                          // control id of the calendar options dialog
  OptionControl kind;
  uint8_t CalendarConfig::*field;
  std::span<const uint8_t> values;      // List: the stored value of each position
  std::span<const int> lineTexts;       // List: the string of each position
  unsigned refresh;                     // OptionRefresh bits
};

// Every field the calendar options dialog edits, in tab order.
std::span<const CalendarOptionField> CalendarOptionFields();
const CalendarOptionField* CalendarOptionFor(int control);

// The position a list shows for a stored value: the value's own position, else the position
// its readers take it as (a calendar system other than 2 is Gregorian; a moon phase or week
// start out of range is the default), else 0.
int ListPosition(const CalendarOptionField& field, uint8_t value);
// The value stored for a chosen position; the current value when the position is the one the
// current value already shows (so an odd value survives an untouched list).
uint8_t ListValue(const CalendarOptionField& field, int position, uint8_t current);

// Minutes of candle-lighting (before sunset) and Havdalah (after sunset): whole numbers from 0
// to kMaxOptionMinutes, blanks around them allowed.
inline constexpr int kMaxOptionMinutes = 120;
std::optional<uint8_t> ParseOptionMinutes(std::string_view text);

// A refused entry: the message to show and the control to put the focus on.
struct OptionProblem {
  int message = 0;  // string id
  int control = 0;
};
// Checks the typed minutes of the minute fields in tab order; the first bad one is reported.
// A switched-on time takes 1 ... 120 minutes, the rule of the Jewish Setup dialog, which edits
// the same fields. `textOf` gives the text of a control, `checkedOf` the state of a check box.
template <typename TextOf, typename CheckedOf>
std::optional<OptionProblem> CheckCalendarOptions(TextOf textOf, CheckedOf checkedOf);
// The check box that switches a minutes field's time on.
int MinutesSwitch(int control);
// The message of a bad minutes field.
inline constexpr int kMinutesMessage = 20122;

// The fields the calendar options dialog owns, copied so that Cancel can put them back exactly.
void CopyCalendarOptions(const CalendarConfig& from, CalendarConfig& to);

// ---- fonts ----
struct FontRoleEntry {
  bool printer;
  int slot;
  int name;  // string id
};
// Every font slot that a window or a printout uses, screen roles first.
std::span<const FontRoleEntry> FontRoles();
FontRecord& FontSlot(CalendarConfig& config, const FontRoleEntry& role);
const FontRecord& FontSlot(const CalendarConfig& config, const FontRoleEntry& role);

// The slot's record for a font chosen in the font dialog (point size in tenths, as the dialog
// gives it, rounded to whole points and kept from 1 to 400; the face cut to 31 characters).
// Bytes of the slot without a field of their own are kept.
FontRecord FontRecordFor(const FontRecord& old, std::string_view face, int tenthsOfPoint, int weight, bool italic,
                         uint8_t charSet, uint8_t pitchAndFamily);
// What "Default" puts in a slot: the font of a new configuration (an empty printer slot, whose
// built-in font then applies).
FontRecord DefaultFontRecord(const FontRoleEntry& role);
// "Arial, 9 pt, Bold Italic": the font a slot stands for, as the dialog describes it.
std::string DescribeFont(const FontChoice& font);
// Screen fonts reach the windows through the drawing resources; printer fonts are only read
// when printing.
unsigned FontRefresh(const FontRoleEntry& role);

void CopyFonts(const CalendarConfig& from, CalendarConfig& to);

// ---- colours ----
struct ColourRoleEntry {
  uint32_t CalendarConfig::*field;
  int button;  // the "Change..." button of the colours dialog
  int sample;  // the swatch beside it
};
std::span<const ColourRoleEntry> ColourRoles();
// A COLORREF as the colour dialog may hand it back, kept to its 24 colour bits.
inline uint32_t StoredColour(uint32_t colorRef) { return colorRef & 0x00FFFFFFu; }

void CopyColours(const CalendarConfig& from, CalendarConfig& to);

// ---- template ----
template <typename TextOf, typename CheckedOf>
std::optional<OptionProblem> CheckCalendarOptions(TextOf textOf, CheckedOf checkedOf) {
  for (const CalendarOptionField& f : CalendarOptionFields()) {
    if (f.kind != OptionControl::Minutes) continue;
    std::optional<uint8_t> minutes = ParseOptionMinutes(textOf(f.control));
    if (!minutes || (*minutes == 0 && checkedOf(MinutesSwitch(f.control))))
      return OptionProblem{kMinutesMessage, f.control};
  }
  return std::nullopt;
}

}  // namespace kv
