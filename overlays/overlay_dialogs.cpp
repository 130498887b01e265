#include "overlays/overlay_dialogs.h"

#include "base/settings.h"
#include "calendar/jewish_observance.h"
#include "overlays/overlay_event.h"
#include "resources/strings.h"

namespace kv {
namespace {

constexpr int kPatternNameFirst = 28000;  // "(None)", "Solid" ... "Diagonal Cross"
constexpr int kPatternCount = 8;
constexpr int kBuiltInMonthFirst = 20100;  // "Tishrei" ... "Elul"

bool TakesFlags(int kind) { return kind == kKindYahrzeit || kind == kKindJewishBirthday; }

}  // namespace

StoredJewishDate JewishDateForEditor(int kind, const DateStamp& gregorian, bool afterSunset) {
  StoredJewishDate out;
  if (kind == kKindRoshChodesh) {
    out.date = JewishDate{0, 1, 1};
    return out;
  }
  bool flagged = TakesFlags(kind);
  DateStamp day = gregorian;
  if (flagged && afterSunset) day = AddDays(gregorian.month, gregorian.day, gregorian.year, 1);
  out.date = GregorianToJewish(day.month, day.day, day.year);
  if (flagged) {
    if (afterSunset) out.flags |= kJewishAfterSunset;
    if (IsJewishLeapYear(out.date.year)) out.flags |= kJewishInLeapYear;
    if (out.date.month == kAdarII) out.flags |= kJewishInSecondAdar;
  }
  if (out.date.month == kAdarII) out.date.month = kAdar;
  return out;
}

DateStamp EditorDayOfJewishDate(int kind, const JewishDate& stored, int flags, int fallbackYear) {
  JewishDate d = stored;
  bool flagged = TakesFlags(kind);
  // Adar of a leap year: a Yahrzeit or birthday says which; the other kinds keep theirs in the
  // second Adar, as they are observed.
  if (d.month == kAdar && IsJewishLeapYear(d.year) && (!flagged || (flags & kJewishInSecondAdar))) d.month = kAdarII;
  if (kind == kKindRoshChodesh || d.year < kFirstJewishYear || d.year > kLastJewishYear || !IsValidJewishDate(d)) {
    JewishDate now = GregorianToJewish(1, 1, fallbackYear);
    return JewishToGregorian(JewishDate{now.year, 1, 1});
  }
  DateStamp g = JewishToGregorian(d);
  if (flagged && (flags & kJewishAfterSunset)) g = AddDays(g.month, g.day, g.year, -1);
  return g;
}

std::vector<std::string> AccentPatternNames() {
  std::vector<std::string> names;
  for (int i = 0; i < kPatternCount; ++i) names.emplace_back(StringText(kPatternNameFirst + i));
  return names;
}

std::array<std::string, 12> UserJewishMonthNames() {
  std::array<std::string, 12> names;
  for (int m = 1; m <= 12; ++m) {
    std::string name = RegReadSetting("Jewish Setup", FormatText("M%d", m));
    if (name.size() > kJewishMonthNameMax) name.resize(kJewishMonthNameMax);
    names[static_cast<size_t>(m - 1)] = name;
  }
  return names;
}

void StoreJewishMonthNames(const std::array<std::string, 12>& names) {
  for (int m = 1; m <= 12; ++m) {
    std::string name = names[static_cast<size_t>(m - 1)];
    if (name.size() > kJewishMonthNameMax) name.resize(kJewishMonthNameMax);
    if (name == StringText(kBuiltInMonthFirst + m - 1)) name.clear();
    RegWriteSetting("Jewish Setup", FormatText("M%d", m), name);
  }
  RebuildJewishMonthNames();
}

}  // namespace kv
