// The range a print job covers, as the user types it into the print dialog's "From" and "To"
// boxes: years ("%d"), months ("%d/%d", month/year) or days ("%d/%d/%d", month/day/year),
// depending on what is printed. Reading, checking, formatting and stepping of these texts live
// here, apart from the dialog, so that every rule can be tested without a window.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kv {

// How the range of a kind of printout is written.
enum class RangeFormat { None, Year, Month, Day };

// The range format of a print kind number (0 year, 1 month, 3 day, 4 notes, 5 schedule,
// 6 to-do, 7 phonebook). Notes ask for days only when the general notes are printed.
RangeFormat RangeFormatOfKind(int kind, bool generalNotes = true);

// One end of a range. Unused parts are 1 (the month of a year, the day of a month).
struct RangeValue {
  int year = 0;
  int month = 1;
  int day = 1;
  friend bool operator==(const RangeValue&, const RangeValue&) = default;
};

// Reads one box. Blanks around the numbers are allowed; anything else that is not a valid
// value of the format (letters, a missing or extra part, month 13, 31 February, year 0 or
// above 9999) gives nothing.
std::optional<RangeValue> ParseRangeValue(RangeFormat format, std::string_view text);

// The text of a value in the format ("2026", "11/2026", "11/5/2026").
std::string FormatRangeValue(RangeFormat format, const RangeValue& value);

// The value one step away (a year, a month or a day; steps may be negative), kept within
// the years 1 ... 9999. An unreadable text is returned unchanged.
std::string StepRangeText(RangeFormat format, std::string_view text, int steps);

// Which box made a range unacceptable.
enum class RangeBox { None, From, To };

struct CheckedRange {
  RangeBox failing = RangeBox::None;  // None: the range is good
  RangeValue from;
  RangeValue to;
};

// Reads and checks both boxes: each must be readable, and the start must not lie after the end
// (a later start year, a later start month in the same year, a later start day). An unreadable
// box fails on itself; a start after the end fails on the start box.
CheckedRange CheckRange(RangeFormat format, std::string_view fromText, std::string_view toText);

// The phonebook's range is two positions in its list of entries; the first must not come after
// the last, and both must be entries (0 ... count - 1).
RangeBox CheckPhoneRange(int first, int last, int count);

}  // namespace kv
