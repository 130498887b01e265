// The user's regional settings (time and date formats) and the calendar's display names.
// Both are loaded once at start-up and do not change while the program runs.
#pragma once

#include <string>
#include <string_view>

namespace kv {

struct RegionalSettings {
  bool clock24 = false;            // "iTime": 24-hour clock
  char timeSeparator = ':';        // "sTime"
  char dateSeparator = '/';        // "sDate"
  std::string longDatePicture = "dddd', 'MMMM' 'd', 'yyyy";  // "sLongDate"
  std::string shortDatePicture = "M/d/yy";                   // "sShortDate"
  std::string morning = "AM";      // "s1159", at most 6 characters
  std::string afternoon = "PM";    // "s2359", at most 6 characters
  bool hourLeadingZero = false;    // "iTLZero"
  bool metric = false;             // "iMeasure" 0
  char thousandSeparator = ',';    // "sThousand"
};

// Applies one value of the profile's "intl" section. Empty values and unknown keys leave the
// setting as it was; designators are cut to 6 characters.
void ApplyIntlValue(RegionalSettings& settings, std::string_view key, std::string_view value);

// Names of the "intl" values the program reads, for the platform reader.
inline constexpr std::string_view kIntlKeys[] = {"iMeasure", "iTime",  "sTime",  "sDate",    "sLongDate",
                                                  "s1159",    "s2359", "sShortDate", "iTLZero", "sThousand"};

// The program's settings; defaults until start-up reads the profile.
const RegionalSettings& Regional();
void SetRegional(const RegionalSettings& settings);

// Month and weekday names from the string table.
struct CalendarNames {
  std::string months[13];        // [1] "January" ... [12] "December", at most 23 characters
  std::string spacedMonths[13];  // [1] "J A N U A R Y" ..., at most 47 characters
  std::string weekdays[7];       // [0] "Sunday" ..., at most 23 characters
  std::string weekdayInitials;   // "SMTWTFS"
};
const CalendarNames& Names();

}  // namespace kv
