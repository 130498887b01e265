#include "calendar/regional.h"

#include "resources/strings.h"

namespace kv {
namespace {

RegionalSettings& State() {
  static RegionalSettings settings;
  return settings;
}

std::string Cut(std::string_view text, size_t max) { return std::string(text.substr(0, max)); }

}  // namespace

void ApplyIntlValue(RegionalSettings& s, std::string_view key, std::string_view value) {
  if (value.empty()) return;
  if (key == "iTime") s.clock24 = value != "0";
  else if (key == "iTLZero") s.hourLeadingZero = value != "0";
  else if (key == "iMeasure") s.metric = value == "0";
  else if (key == "sTime") s.timeSeparator = value[0];
  else if (key == "sDate") s.dateSeparator = value[0];
  else if (key == "sThousand") s.thousandSeparator = value[0];
  else if (key == "sLongDate") s.longDatePicture = std::string(value);
  else if (key == "sShortDate") s.shortDatePicture = std::string(value);
  else if (key == "s1159") s.morning = Cut(value, 6);
  else if (key == "s2359") s.afternoon = Cut(value, 6);
}

const RegionalSettings& Regional() { return State(); }
void SetRegional(const RegionalSettings& settings) { State() = settings; }

const CalendarNames& Names() {
  static const CalendarNames names = [] {
    CalendarNames n;
    for (int m = 1; m <= 12; ++m) {
      n.months[m] = Cut(StringText(IDS_MONTH_FIRST + m - 1), 23);
      n.spacedMonths[m] = Cut(StringText(IDS_SPACED_MONTH_FIRST + m - 1), 47);
    }
    for (int d = 0; d < 7; ++d) n.weekdays[d] = Cut(StringText(IDS_WEEKDAY_FIRST + d), 23);
    n.weekdayInitials = std::string(StringText(IDS_WEEKDAY_INITIALS));
    return n;
  }();
  return names;
}

}  // namespace kv
