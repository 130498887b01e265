// Lookup of the program's texts by number (the table lives in strings.def).
#pragma once

#include <string>
#include <string_view>

namespace kv {

// Numbers of texts the code refers to by name. Only texts used from more than one place, or
// whose number matters to the outside (menus, tooltips), need a name here; others are looked
// up by their number at the one place that shows them.
enum StringId : int {
  IDS_WEEK = 1027,
  IDS_WEEKDAY_INITIALS = 1068,
  IDS_MONTH_FIRST = 1074,          // 1074-1085 "January" ... "December"
  IDS_SPACED_MONTH_FIRST = 1086,   // 1086-1097 "J A N U A R Y" ...
  IDS_WEEKDAY_FIRST = 1098,        // 1098-1104 "Sunday" ... "Saturday"
  IDS_GREGORIAN_YEAR_LIMIT = 1126,
  IDS_PRODUCT_NAME = 25000,
};

// The text with this number; empty when the table has no such row.
std::string_view StringText(int id);

// True when the table has a row with this number.
bool HasString(int id);

// printf-style formatting into a std::string, for texts with %d/%s fields.
std::string FormatText(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

}  // namespace kv
