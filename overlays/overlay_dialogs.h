// What the overlay dialogs need beside the editor's checks: the Jewish date an event stores for
// the day picked in a date box (and back), the cell patterns offered for an accent, the lines of
// the active-overlay list, and the month names of "Jewish Setup".
#pragma once

#include <array>
#include <string>
#include <vector>

#include "calendar/dates.h"
#include "calendar/jewish.h"

namespace kv {

// The Jewish date an event of a Jewish kind stores for a Gregorian day picked in the editor,
// with the flag bits of Yahrzeit and birthdays (second Adar, leap year, after sunset). A death
// or birth after sunset belongs to the next Jewish day. The second Adar is stored as month 6
// with the second-Adar bit for kinds 63 and 64, and as 6 for the others (their Adar follows the
// year). Rosh Chodesh has no date.
struct StoredJewishDate {
  JewishDate date;
  int flags = 0;
};
StoredJewishDate JewishDateForEditor(int kind, const DateStamp& gregorian, bool afterSunset);
// The Gregorian day the editor shows for a stored Jewish date (the day of the event, before
// sunset when it happened after sunset; Adar of a leap year is the second Adar unless a Yahrzeit or
// birthday says otherwise); 1 Tishrei of the current year for Rosh Chodesh and
// for dates that cannot be converted.
DateStamp EditorDayOfJewishDate(int kind, const JewishDate& stored, int flags, int fallbackYear);

// The cell patterns of an accent, in list order: "(None)" then "Solid" ... "Diagonal Cross";
// the position in the list is the stored pattern number.
std::vector<std::string> AccentPatternNames();

// The "Jewish Setup" month names: the user's name of months 1 ... 12 (empty for the built-in
// one), and storing them (cut to 15 characters; a name equal to the built-in one is stored
// empty) before the names are rebuilt.
constexpr size_t kJewishMonthNameMax = 15;
std::array<std::string, 12> UserJewishMonthNames();
void StoreJewishMonthNames(const std::array<std::string, 12>& names);

}  // namespace kv
