#include "overlays/event_editor.h"

#include <algorithm>

#include "calendar/date_format.h"
#include "calendar/regional.h"
#include "calendar/time_parse.h"
#include "calendar/zone_conversion.h"
#include "resources/strings.h"
#include "base/messages.h"

namespace kv {
namespace {

std::string Text(int id) { return std::string(StringText(id)); }
template <typename... A>
std::string Format(int id, A... args) {
  return FormatText(Text(id).c_str(), args...);
}

// Repeat list labels and categories.
enum : int {
  kLabelNo = 21020, kLabelEveryWeekday, kLabelEveryNDays, kLabelEveryNDaysUnknown, kLabelMonthlyDay,
  kLabelMonthlyNth, kLabelMonthlyLast, kLabelMonthlyLastDay, kLabelAnnual, kLabelAnnualNth, kLabelAnnualLast,
  kLabelEveryNMonths, kLabelEveryNMonthsUnknown, kLabelEveryNYears, kLabelEveryNYearsUnknown, kLabelFloating,
  kLabelBirthday, kLabelAnniversary, kLabelEaster, kLabelBefore, kLabelAfter, kLabelUntilEnd, kLabelJewishDate,
  kLabelJewishPeriod, kLabelJewishFast, kLabelYahrzeit, kLabelJewishBirthday, kLabelRoshChodesh,
};
enum : int { kCatWeekly = 21050, kCatPeriodic, kCatMonthly, kCatAnnually, kCatEveryDay, kCatJewish };
constexpr int kJewishMark = 20140;

// Editor messages.
enum : int {
  kMsgNoText = 21010, kMsgOffset, kMsgTime, kMsgN, kMsgEndDate, kMsgPriority, kMsgGregorianOnly, kMsgWeightHelp,
};

// Editor labels.
enum : int {
  kLblStartDate = 21110, kLblBirthdate, kLblName, kLblMarried, kLblOccurred, kLblCouple, kLblDescription,
  kLblBeginsOn, kLblPassedOn, kLblText, kLblOccursOn,
};

// Floating Event dialog.
enum : int { kFloatTitle = 21100, kFloatFollowing, kFloatDay, kFloatNth };

std::string Category(int kind) {
  switch (kind) {
    case 1: return {};
    case 2: return Text(kCatWeekly);
    case 3: case 13: case 14: return Text(kCatPeriodic);
    case 4: case 5: case 25: case 26: return Text(kCatMonthly);
    case 11: return Text(kCatEveryDay);
    default: return kind >= 60 ? Text(kCatJewish) : Text(kCatAnnually);
  }
}

}  // namespace

int WeekOfMonth(int day) { return (day - 1) / 7 + 1; }
int FirstDayOfWeekOfMonth(int day) { return (WeekOfMonth(day) - 1) * 7 + 1; }

std::vector<RepeatChoice> Describe(const DateStamp& date, const RepeatOffer& offer) {
  std::vector<RepeatChoice> out;
  auto add = [&](int kind, std::string label) { out.push_back(RepeatChoice{kind, Category(kind), std::move(label)}); };
  const CalendarNames& names = Names();
  bool overlay = offer.target == RepeatFor::Overlay;
  if (offer.gregorianKinds && IsValidDate(date.month, date.day, date.year)) {
    int d = date.day, m = date.month, y = date.year;
    const std::string& weekday = names.weekdays[Weekday(m, d, y)];
    const std::string& month = names.months[m];
    int n = WeekOfMonth(d);
    int length = MonthLength(m, y);
    // "Last" is offered in the last seven days, February counted as 28.
    bool inLastWeek = d > (m == 2 ? 28 : length) - 7;
    add(kKindOnce, Text(kLabelNo));
    add(kKindWeekly, Format(kLabelEveryWeekday, weekday.c_str()));
    add(kKindEveryNDays, offer.n > 0 ? Format(kLabelEveryNDays, offer.n) : Text(kLabelEveryNDaysUnknown));
    add(kKindMonthlyDay, Format(kLabelMonthlyDay, d, OrdinalSuffix(d)));
    if (n < 5) add(kKindMonthlyNthWeekday, Format(kLabelMonthlyNth, n, OrdinalSuffix(n), weekday.c_str()));
    if (inLastWeek) add(kKindMonthlyLastWeekday, Format(kLabelMonthlyLast, weekday.c_str()));
    if (d == length) add(kKindMonthlyLastDay, Text(kLabelMonthlyLastDay));
    add(kKindAnnual, Format(kLabelAnnual, month.c_str(), d, OrdinalSuffix(d)));
    if (n < 5) add(kKindAnnualNthWeekday, Format(kLabelAnnualNth, n, OrdinalSuffix(n), weekday.c_str(), month.c_str()));
    if (inLastWeek) add(kKindAnnualLastWeekday, Format(kLabelAnnualLast, weekday.c_str(), month.c_str()));
    add(kKindEveryNMonths, offer.n > 0 ? Format(kLabelEveryNMonths, offer.n) : Text(kLabelEveryNMonthsUnknown));
    add(kKindEveryNYears, offer.n > 0 ? Format(kLabelEveryNYears, offer.n) : Text(kLabelEveryNYearsUnknown));
    if (overlay) {
      if (d > 1) add(kKindFloating, Text(kLabelFloating));
      add(kKindBirthday, Text(kLabelBirthday));
      add(kKindAnniversary, Text(kLabelAnniversary));
      if (y >= 1583) {
        MonthDay e = EasterSunday(y);
        int diff = JulianDayNumber(m, d, y) - JulianDayNumber(e.month, e.day, y);
        if (diff >= -59 && diff <= 60)
          add(kKindEaster, Format(kLabelEaster, diff < 0 ? -diff : diff, Text(diff < 0 ? kLabelBefore : kLabelAfter).c_str()));
      }
      add(kKindEveryDay, Text(kLabelUntilEnd));
    }
  }
  if (offer.jewishKinds) {
    add(kKindJewishDate, Text(kLabelJewishDate));
    add(kKindJewishPeriod, Text(kLabelJewishPeriod));
    add(kKindJewishFast, Text(kLabelJewishFast));
    add(kKindYahrzeit, Text(kLabelYahrzeit));
    add(kKindJewishBirthday, Text(kLabelJewishBirthday));
    add(kKindRoshChodesh, Text(kLabelRoshChodesh));
  }
  return out;
}

std::string ChosenRepeatLabel(const RepeatChoice& choice) {
  return IsJewishKind(choice.kind) ? choice.label + Text(kJewishMark) : choice.label;
}

std::string RepeatCategoryColumnSample() { return Text(kCatEveryDay); }

EditorLayout EditorLayoutFor(int kind, bool wedding) {
  EditorLayout l;
  l.dateLabel = kLblOccursOn;
  l.textLabel = kLblText;
  switch (kind) {
    case kKindEveryNDays: l.dateLabel = kLblStartDate, l.nField = true, l.nDefault = 14; break;
    case kKindBirthday: case kKindJewishBirthday:
      l.dateLabel = kLblBirthdate, l.textLabel = kLblName, l.roomKept = 16, l.afterSunset = kind == kKindJewishBirthday;
      break;
    case kKindAnniversary:
      l.dateLabel = wedding ? kLblMarried : kLblOccurred, l.textLabel = wedding ? kLblCouple : kLblDescription;
      l.roomKept = 19, l.anniversaryBoxes = true;
      break;
    case kKindEveryDay: case kKindEveryNMonths: case kKindEveryNYears:
      l.dateLabel = kLblStartDate;
      l.nField = kind != kKindEveryDay, l.nDefault = 2;
      break;
    case kKindJewishPeriod: l.dateLabel = kLblBeginsOn, l.periodDays = true; break;
    case kKindYahrzeit: l.dateLabel = kLblPassedOn, l.textLabel = kLblName, l.roomKept = 16, l.afterSunset = true; break;
    case kKindRoshChodesh: l.hasDate = false; break;
    case kKindFloating: l.floatingButton = true; break;
    default: break;
  }
  l.weekendsButton = kind == 4 || kind == 6 || kind == 13 || kind == 14 || kind == 26;
  if (kind == 3 || kind == 11 || kind == 13 || kind == 14) l.range = RangeBox::Always;
  else if (kind == 2 || (kind >= 4 && kind <= 8) || (kind >= 25 && kind <= 27) || kind == 60 || kind == 62)
    l.range = RangeBox::Optional;
  l.offsetAndTime = kind != kKindEveryDay && !IsJewishKind(kind);
  return l;
}

int MaxDescriptionLength(int kind) { return 119 - EditorLayoutFor(kind).roomKept; }

bool CanEditInMode(const OverlayEvent& event, bool jewishMode) {
  if (!jewishMode || IsJewishKind(event.kind)) return true;
  ShowMessage(Text(kMsgGregorianOnly));
  return false;
}

std::string WeightHelpText(bool timed) { return Format(kMsgWeightHelp, timed ? 255 : 999); }

EditorField CheckEventEditor(const EventEditorValues& v, OverlayEvent& event, bool newEvent) {
  EditorLayout layout = EditorLayoutFor(v.kind, v.wedding);
  bool hasTimeField = layout.offsetAndTime;
  if (v.text.empty()) {
    ShowMessage(Text(kMsgNoText));
    return EditorField::Text;
  }
  if (hasTimeField && v.offsetDays < 0) {
    ShowMessage(Text(kMsgOffset));
    return EditorField::Offset;
  }
  std::optional<int> minute;
  if (hasTimeField && !v.timeText.empty()) {
    minute = ParseTimeOfDay(v.timeText, Regional());
    if (!minute) {
      ShowMessage(Text(kMsgTime));
      return EditorField::Time;
    }
  }
  if (layout.nField && (v.n < 1 || v.n > 120)) {
    ShowMessage(Text(kMsgN));
    return EditorField::N;
  }
  bool ranged = layout.range == RangeBox::Always || (layout.range == RangeBox::Optional && v.rangeOn);
  if (ranged && MakeMinuteKey(v.rangeEnd.year, v.rangeEnd.month, v.rangeEnd.day) <
                    MakeMinuteKey(v.date.year, v.date.month, v.date.day)) {
    ShowMessage(Text(kMsgEndDate));
    return EditorField::EndDate;
  }
  int maxWeight = minute ? 255 : 999;
  if (v.weight < 1 || v.weight > maxWeight) {
    ShowMessage(Format(kMsgPriority, maxWeight));
    return EditorField::Weight;
  }

  OverlayEvent e = event;
  e.kind = static_cast<uint16_t>(v.kind);
  e.description = v.text.substr(0, static_cast<size_t>(MaxDescriptionLength(v.kind)));
  e.year = static_cast<int16_t>(v.date.year);
  e.month = v.date.month;
  e.day = v.date.day;
  if (v.kind == kKindMonthlyNthWeekday || v.kind == kKindAnnualNthWeekday)
    e.day = static_cast<uint16_t>(FirstDayOfWeekOfMonth(v.date.day));
  if (v.kind == kKindRoshChodesh) e.year = 0, e.month = 1, e.day = 1;
  e.endYear = 0, e.endMonth = 0, e.endDay = 0;
  if (ranged) {
    e.endYear = static_cast<int16_t>(v.rangeEnd.year);
    e.endMonth = v.rangeEnd.month;
    e.endDay = v.rangeEnd.day;
  }
  switch (v.kind) {
    case kKindWeekly: case kKindMonthlyNthWeekday: case kKindAnnualNthWeekday: case kKindFloating:
    case kKindMonthlyLastWeekday: case kKindAnnualLastWeekday:
      e.param = static_cast<uint16_t>(v.weekday);
      break;
    case kKindEveryNDays: case kKindEveryNMonths: case kKindEveryNYears:
      e.param = static_cast<uint16_t>(v.n + 6);
      break;
    case kKindAnniversary: e.param = v.wedding ? 0 : 1; break;
    case kKindJewishPeriod: e.param = static_cast<uint16_t>(v.periodDays); break;
    case kKindYahrzeit:
      e.param = static_cast<uint16_t>(v.jewishFlags & 7);
      e.endYear = static_cast<int16_t>(v.yahrzeitDays);
      e.endMonth = v.yahrzeitMonths;
      break;
    case kKindJewishBirthday: e.param = static_cast<uint16_t>(v.jewishFlags & 7); break;
    case kKindEaster:
      if (v.date.year >= 1583) {
        MonthDay easter = EasterSunday(v.date.year);
        e.endYear = static_cast<int16_t>(JulianDayNumber(v.date.month, v.date.day, v.date.year) -
                                         JulianDayNumber(easter.month, easter.day, v.date.year));
      }
      break;
    default: e.param = 0; break;
  }
  e.offset = hasTimeField ? static_cast<int16_t>(v.offsetBefore ? -v.offsetDays : v.offsetDays) : 0;
  e.flags = static_cast<uint16_t>(layout.weekendsButton ? (v.weekendRule & kWeekendRuleMask) : 0);
  if (minute) {
    e.flags |= kFlagTimed;
    e.weight = static_cast<int16_t>(TimedListingWeight(*minute));
  } else {
    e.flags |= v.above ? kFlagAboveTimed : kFlagBelowTimed;
    e.weight = static_cast<int16_t>(v.above ? kAboveWeightBase - v.weight : kBelowWeightBase - v.weight);
  }
  e.sameTime = static_cast<uint16_t>(minute ? v.weight : 0);
  if (v.kind == kKindAnniversary) {
    if (v.gifts) e.accent.flags &= static_cast<uint16_t>(~kAccentNoGifts);
    else e.accent.flags |= kAccentNoGifts;
  }
  if (newEvent) e.zone = static_cast<uint16_t>(CurrentZone());
  event = e;
  return EditorField::None;
}

EventEditorValues EditorValuesOf(const OverlayEvent& e) {
  EventEditorValues v;
  v.kind = e.kind;
  v.date = DateStamp{e.year, e.month, e.day};
  v.text = e.description;
  v.offsetDays = e.offset < 0 ? -e.offset : e.offset;
  v.offsetBefore = e.offset < 0;
  if (e.flags & kFlagTimed) {
    v.timeText = FormatTimeOfDay(std::clamp(EventStartMinute(e), 0, 1439), Regional());
    v.weight = e.sameTime;
  } else if (e.flags & kFlagAboveTimed) {
    v.above = true;
    v.weight = kAboveWeightBase - e.weight;
  } else {
    v.weight = kBelowWeightBase - e.weight;
  }
  v.n = static_cast<int>(e.param) - 6;
  v.periodDays = e.param;
  v.rangeOn = e.endDay != 0;
  v.rangeEnd = DateStamp{e.endYear, e.endMonth, e.endDay};
  v.wedding = e.param == 0;
  v.gifts = !(e.accent.flags & kAccentNoGifts);
  v.weekday = e.param <= 6 ? e.param : 0;
  v.weekendRule = e.flags & kWeekendRuleMask;
  v.jewishFlags = e.param & 7;
  v.yahrzeitDays = static_cast<uint16_t>(e.endYear);
  v.yahrzeitMonths = e.endMonth;
  return v;
}

FloatingForm MakeFloatingForm(const DateStamp& date) {
  FloatingForm f;
  const CalendarNames& names = Names();
  if (!IsValidDate(date.month, date.day, date.year)) return f;
  f.title = Format(kFloatTitle, names.months[date.month].c_str());
  f.following = Format(kFloatFollowing, names.weekdays[Weekday(date.month, date.day, date.year)].c_str());
  for (int back = 6; back >= 1; --back) {
    int ref = date.day - back;
    if (ref < 1) continue;
    FloatingOffer o;
    o.dayLabel = Format(kFloatDay, ref, OrdinalSuffix(ref));
    int n = WeekOfMonth(ref);
    o.weekdayLabel = Format(kFloatNth, n, OrdinalSuffix(n), names.weekdays[Weekday(date.month, ref, date.year)].c_str());
    o.startDay = ref + 1;
    f.offers.push_back(o);
  }
  return f;
}

}  // namespace kv
