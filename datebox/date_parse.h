// Reading a date typed into a date box, and the text a date box shows.
//
// The text is read against a date picture: the short one, or the long one when the text holds
// a letter. Literal pieces of the picture are blanked; what is left gives at most three
// numbers, at most one month name (a case-insensitive prefix of a month's name) and at most one
// weekday name, which is ignored. The numbers take the day, month and year places in the order
// the picture has them; a place left empty takes today's value.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kv {

// A date in the calendar the box shows: Gregorian, or Jewish (month 13 = Adar II).
struct TypedDate {
  int year = 0;
  int month = 0;
  int day = 0;
  friend bool operator==(const TypedDate&, const TypedDate&) = default;
};

struct DateParseContext {
  std::string shortPicture;
  std::string longPicture;
  bool jewish = false;  // Jewish month names and Jewish dates
  TypedDate today;      // in the same calendar
};

// The regional pictures and today from the program's clock, in the primary calendar.
DateParseContext CurrentDateParseContext(bool jewish);

// The date the text names, or nothing when it is not a date. A year typed with one or two
// digits falls in today's century. Gregorian years run from 1583 (the calendar's first) to
// 9999.
std::optional<TypedDate> ParseTypedDate(std::string_view text, const DateParseContext& context);

// The text a date box shows for a date: the long date form of its calendar.
std::string DateBoxText(const TypedDate& date, bool jewish);

}  // namespace kv
