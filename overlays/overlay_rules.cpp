#include "overlays/overlay_rules.h"

#include <algorithm>

#include "calendar/date_format.h"
#include "calendar/jewish.h"
#include "calendar/zone_conversion.h"
#include "resources/strings.h"

namespace kv {
namespace {

constexpr int32_t kFirstUsableJdn = 1721426 + 366;  // 1 January of year 2
constexpr int32_t kLastUsableJdn = 5373484 - 366;   // 31 December 9998

constexpr int kWasBorn = 21000;       // " was born!"
constexpr int kBirthdayWord = 21001;  // " Birthday"
constexpr int kAnniversaryWord = 21002;
constexpr int kWeddingDay = 21003;    // " Wedding Day!"
constexpr int kDash = 21004;          // " - "
constexpr int kPassedAway = 1251;
constexpr int kYahrzeitWord = 1252;
constexpr int kJewishMark = 20140;    // " (J)"
constexpr int kGiftFirst = 1952;
constexpr int kDaylightText = 1220;
constexpr int kStandardText = 1219;
constexpr char kAfterSunsetMark = '\xBB';  // »

int WeekdayOfJdn(int32_t jdn) { return static_cast<int>((jdn + 1) % 7); }

int32_t OnOrAfter(int32_t jdn, int weekday) { return jdn + ((weekday - WeekdayOfJdn(jdn)) % 7 + 7) % 7; }

int32_t MoveOffWeekend(int32_t jdn, int rule) {
  int wd = WeekdayOfJdn(jdn);
  if (wd == 6) return jdn + (rule == 1 || rule == 3 ? -1 : rule == 2 ? 2 : 0);
  if (wd == 0) return jdn + (rule == 1 ? -2 : rule == 2 || rule == 3 ? 1 : 0);
  return jdn;
}

int32_t Jdn(int year, int month, int day) { return JulianDayNumber(month, day, year); }

// The N of kinds 3, 13 and 14, with its default when the stored value is below 1.
int PeriodOf(const OverlayEvent& e, int fallback) {
  int n = static_cast<int>(e.param) - 6;
  return n < 1 ? fallback : n;
}

int Mod(int a, int n) { return (a % n + n) % n; }

struct Base {
  int32_t jdn;
  int year;
};

// The occurrences of the rule itself (before the weekend rule and the offset) in [lo, hi].
void Bases(const OverlayEvent& e, int32_t lo, int32_t hi, std::vector<Base>& out) {
  DateStamp a = DateOfJulianDay(lo), b = DateOfJulianDay(hi);
  auto push = [&](int32_t j, int year) {
    if (j >= lo && j <= hi) out.push_back(Base{j, year});
  };
  auto eachMonth = [&](auto fn) {
    for (int y = a.year, m = a.month; y < b.year || (y == b.year && m <= b.month);) {
      fn(y, m);
      if (++m > 12) m = 1, ++y;
    }
  };
  bool storedMonthOk = e.month >= 1 && e.month <= 12;
  bool storedDayOk = e.day >= 1 && e.day <= 31;
  bool weekdayOk = e.param <= 6;
  switch (e.kind) {
    case kKindOnce:
      if (IsValidDate(e.month, e.day, e.year)) push(Jdn(e.year, e.month, e.day), e.year);
      break;
    case kKindWeekly:
      if (weekdayOk)
        for (int32_t j = OnOrAfter(lo, e.param); j <= hi; j += 7) push(j, DateOfJulianDay(j).year);
      break;
    case kKindEveryNDays: {
      if (!IsValidDate(e.month, e.day, e.year)) break;
      int n = PeriodOf(e, 14);
      int32_t s = Jdn(e.year, e.month, e.day);
      int32_t from = std::max(lo, s);
      for (int32_t j = s + (from - s + n - 1) / n * n; j <= hi; j += n) push(j, e.year);
      break;
    }
    case kKindMonthlyDay:
      eachMonth([&](int y, int m) {
        if (storedDayOk && e.day <= MonthLength(m, y)) push(Jdn(y, m, e.day), y);
      });
      break;
    case kKindMonthlyLastDay:
      eachMonth([&](int y, int m) { push(Jdn(y, m, MonthLength(m, y)), y); });
      break;
    case kKindMonthlyNthWeekday:
      eachMonth([&](int y, int m) {
        if (!weekdayOk || !storedDayOk || e.day > MonthLength(m, y)) return;
        int32_t j = OnOrAfter(Jdn(y, m, e.day), e.param);
        if (DateOfJulianDay(j).month == m) push(j, y);
      });
      break;
    case kKindMonthlyLastWeekday:
      eachMonth([&](int y, int m) {
        if (weekdayOk) push(OnOrAfter(Jdn(y, m, MonthLength(m, y) - 6), e.param), y);
      });
      break;
    case kKindAnnual:
    case kKindBirthday:
    case kKindAnniversary:
    case kKindEveryNYears:
      if (!storedMonthOk || !storedDayOk) break;
      for (int y = a.year; y <= b.year; ++y) {
        if ((e.kind == kKindBirthday || e.kind == kKindAnniversary) && y < e.year) continue;
        if (e.kind == kKindEveryNYears && Mod(y - e.year, PeriodOf(e, 2)) != 0) continue;
        int len = MonthLength(e.month, y);
        if (e.day <= len) push(Jdn(y, e.month, e.day), y);
        else if (e.month == 2 && e.day == 29) push(Jdn(y, 3, 1), y);  // 29 February in a common year
      }
      break;
    case kKindAnnualNthWeekday:
    case kKindFloating:
    case kKindDaylightBegins:
    case kKindStandardBegins:
      if (!storedMonthOk || !storedDayOk || !weekdayOk) break;
      for (int y = a.year; y <= b.year; ++y) push(OnOrAfter(Jdn(y, e.month, 1) + e.day - 1, e.param), y);
      break;
    case kKindAnnualLastWeekday:
      if (!storedMonthOk || !weekdayOk) break;
      for (int y = a.year; y <= b.year; ++y) push(OnOrAfter(Jdn(y, e.month, MonthLength(e.month, y) - 6), e.param), y);
      break;
    case kKindEaster:
      for (int y = std::max(a.year, 1583); y <= b.year; ++y) {
        MonthDay easter = EasterSunday(y);
        push(Jdn(y, easter.month, easter.day) + EasterOffset(e), y);
      }
      break;
    case kKindEveryDay:
      for (int32_t j = lo; j <= hi; ++j) push(j, DateOfJulianDay(j).year);
      break;
    case kKindEveryNMonths:
      if (!storedMonthOk || !storedDayOk) break;
      eachMonth([&](int y, int m) {
        int elapsed = (y - e.year) * 12 + m - e.month;
        if (Mod(elapsed, PeriodOf(e, 2)) == 0 && e.day <= MonthLength(m, y)) push(Jdn(y, m, e.day), y);
      });
      break;
    default:
      break;
  }
}

// The rule's date moved by the weekend rule and the offset, in the order the kind takes them.
int32_t Shifted(const OverlayEvent& e, int32_t jdn) {
  int rule = e.flags & kWeekendRuleMask;
  switch (e.kind) {
    case kKindWeekly: case kKindMonthlyDay: case kKindMonthlyNthWeekday: case kKindAnnual:
    case kKindEveryNMonths: case kKindMonthlyLastWeekday: case kKindMonthlyLastDay:
      return MoveOffWeekend(jdn, rule) + e.offset;
    case kKindEveryNYears:
      return MoveOffWeekend(jdn + e.offset, rule);
    case kKindEveryNDays: case kKindEveryDay:
      return jdn;
    default:
      return jdn + e.offset;
  }
}

int OffsetOf(const OverlayEvent& e) {
  return e.kind == kKindEveryNDays || e.kind == kKindEveryDay ? 0 : e.offset;
}

void JewishHits(const OverlayEvent& e, int year, int month, const RangeKeys& range, std::vector<EventHit>& out) {
  static thread_local std::vector<JewishObservance> observances;
  observances.clear();
  ObservancesInMonth(JewishRuleOf(e), year, month, observances);
  bool ranged = HasDateRange(e);
  for (const JewishObservance& o : observances) {
    if (ranged) {
      uint64_t key = WideMinuteKey(o.date);
      if (key < range.first || key > range.last) continue;
    }
    EventHit hit;
    hit.date = o.date;
    hit.listingWeight = e.weight;
    hit.baseYear = o.jewishYear;
    hit.eventYear = o.eventYear;
    out.push_back(hit);
  }
}

std::string Cut(std::string text) {
  if (text.size() > kDayEntryTextMax) text.resize(kDayEntryTextMax);
  return text;
}

std::string Text(int id) { return std::string(StringText(id)); }

}  // namespace

JewishRule JewishRuleOf(const OverlayEvent& e) {
  JewishRule r;
  r.kind = e.kind;
  r.year = e.year;
  r.month = e.month;
  r.day = e.day;
  if (e.kind == kKindYahrzeit || e.kind == kKindJewishBirthday) r.flags = e.param & 7;
  if (e.kind == kKindJewishPeriod) r.periodDays = e.param;
  if (e.kind == kKindYahrzeit) {
    auto days = static_cast<uint16_t>(e.endYear);
    r.altDay[0] = days & 0xFF;
    r.altDay[1] = days >> 8;
    r.altMonth[0] = e.endMonth & 0x0F;
    r.altMonth[1] = (e.endMonth >> 4) & 0x0F;
  }
  return r;
}

uint64_t WideMinuteKey(const DateStamp& d) {
  int64_t key = ((((static_cast<int64_t>(d.year) * 12 + d.month) * 31 + d.day - 32) * 24 + d.hour) * 60) + d.minute;
  return key < 0 ? 0 : static_cast<uint64_t>(key);
}

RangeKeys RangeKeysOf(const OverlayEvent& e) {
  RangeKeys r;
  if (!HasDateRange(e)) return r;
  if (IsJewishKind(e.kind)) {
    if (e.year != 0) r.first = WideMinuteKey(JewishToGregorian(JewishDate{e.year, e.month, e.day}));
    r.last = WideMinuteKey(JewishToGregorian(JewishDate{e.endYear, e.endMonth, e.endDay}));
  } else {
    r.first = WideMinuteKey(DateStamp{e.year, e.month, e.day});
    r.last = WideMinuteKey(DateStamp{e.endYear, e.endMonth, e.endDay});
  }
  return r;
}

void EventHitsInMonth(const OverlayEvent& e, int year, int month, const RangeKeys& range, std::vector<EventHit>& out) {
  if (month < 1 || month > 12 || year < 2 || year > 9998) return;
  size_t begin = out.size();
  if (IsJewishKind(e.kind)) {
    JewishHits(e, year, month, range, out);
    return;
  }
  int32_t first = Jdn(year, month, 1);
  int32_t last = first + MonthLength(month, year) - 1;
  int offset = OffsetOf(e);
  // Bases whose weekend move (up to 2 days), offset and zone shift (a day) can land in the month.
  int32_t lo = std::clamp(first - offset - 3, kFirstUsableJdn, kLastUsableJdn);
  int32_t hi = std::clamp(last - offset + 3, kFirstUsableJdn, kLastUsableJdn);
  static thread_local std::vector<Base> bases;
  bases.clear();
  Bases(e, lo, hi, bases);
  bool ranged = HasDateRange(e);
  bool zoneShift = (e.flags & kFlagTimed) && e.zone != CurrentZone();
  for (const Base& b : bases) {
    // The range bounds the rule's own dates: a first or last occurrence that the weekend rule
    // moves across the range's end still counts.
    if (ranged) {
      uint64_t key = WideMinuteKey(DateOfJulianDay(b.jdn));
      if (key < range.first || key > range.last) continue;
    }
    int32_t j = Shifted(e, b.jdn);
    int weight = e.weight;
    if (zoneShift) {
      int minute = std::clamp(1440 - static_cast<int>(e.weight), 0, 1439);
      DateStamp local = DateOfJulianDay(j);
      local.hour = static_cast<uint16_t>(minute / 60);
      local.minute = static_cast<uint16_t>(minute % 60);
      DateStamp home = ConvertZoneTime(local, e.zone, CurrentZone());
      if (IsValidDate(home.month, home.day, home.year)) {
        j = Jdn(home.year, home.month, home.day);
        weight = 1440 - (home.hour * 60 + home.minute);
      }
    }
    if (j < first || j > last) continue;
    EventHit hit;
    hit.date = DateOfJulianDay(j);
    hit.listingWeight = weight;
    hit.baseYear = b.year;
    out.push_back(hit);
  }
  std::stable_sort(out.begin() + static_cast<long>(begin), out.end(),
                   [](const EventHit& x, const EventHit& y) { return x.date.day < y.date.day; });
}

int Evaluate(const OverlayEvent& e, int year, int month, int fromDay, const RangeKeys& range, DayEntry* entry) {
  static thread_local std::vector<EventHit> hits;
  hits.clear();
  EventHitsInMonth(e, year, month, range, hits);
  for (const EventHit& h : hits) {
    if (h.date.day < fromDay) continue;
    if (entry) FillEntry(e, h, *entry);
    return h.date.day;
  }
  return 0;
}

std::string BirthdayText(std::string_view name, int age) {
  if (age <= 0) return std::string(name) + Text(kWasBorn);
  return Possessive(name) + FormatText("%d%s", age, OrdinalSuffix(age)) + Text(kBirthdayWord);
}

std::string AnniversaryText(std::string_view description, int years, bool wedding) {
  if (years <= 0) return wedding ? std::string(description) + Text(kWeddingDay) : std::string(description);
  std::string out = wedding ? Possessive(description) : std::string(description) + Text(kDash);
  return out + FormatText("%d%s", years, OrdinalSuffix(years)) + Text(kAnniversaryWord);
}

int GiftPosition(int years) {
  if (years >= 1 && years <= 15) return years;
  constexpr int kLater[] = {20, 25, 30, 35, 40, 45, 50, 55, 60, 75};
  for (int i = 0; i < 10; ++i)
    if (kLater[i] == years) return 16 + i;
  return 0;
}

std::string GiftText(int position) {
  return position >= 1 && position <= 25 ? Text(kGiftFirst + position - 1) : std::string();
}

std::string YahrzeitText(std::string_view name, int years, bool afterSunset) {
  if (years <= 0) {
    std::string out = std::string(name) + Text(kPassedAway);
    if (afterSunset) out += kAfterSunsetMark;
    return out;
  }
  return std::string(name) + Text(kDash) + FormatText("%d%s", years, OrdinalSuffix(years)) + Text(kYahrzeitWord);
}

std::string JewishBirthdayText(std::string_view name, int age, bool afterSunset) {
  std::string out = BirthdayText(name, age);
  if (age <= 0 && afterSunset) out += kAfterSunsetMark;
  return out + Text(kJewishMark);
}

std::string EventText(const OverlayEvent& e, const EventHit& hit) {
  int years = hit.baseYear - e.year;
  bool afterSunset = hit.eventYear && (e.param & kJewishAfterSunset);
  switch (e.kind) {
    case kKindBirthday: return Cut(BirthdayText(e.description, years));
    case kKindAnniversary: return Cut(AnniversaryText(e.description, years, e.param == 0));
    case kKindYahrzeit: return Cut(e.year == 0 ? e.description : YahrzeitText(e.description, years, afterSunset));
    case kKindJewishBirthday:
      return Cut(e.year == 0 ? e.description + Text(kJewishMark) : JewishBirthdayText(e.description, years, afterSunset));
    case kKindDaylightBegins: return Text(kDaylightText);
    case kKindStandardBegins: return Text(kStandardText);
    default: return Cut(e.description);
  }
}

void FillEntry(const OverlayEvent& e, const EventHit& hit, DayEntry& entry) {
  entry.text = EventText(e, hit);
  entry.highlight = e.accent.highlight;
  entry.accentFlags = e.accent.flags;
  entry.icon = e.accent.icon;
  entry.pattern = e.accent.pattern;
  entry.patternColour = e.accent.patternColour;
  entry.textColour = e.accent.textColour;
  entry.reserved = e.accent.reserved;
  entry.listingWeight = hit.listingWeight;
  entry.sameTime = e.sameTime;
  bool personal = e.kind == kKindBirthday || e.kind == kKindAnniversary;
  entry.offset = personal ? e.offset : 0;
  entry.gift = 0;
  if (e.kind == kKindAnniversary && e.param == 0 && !(e.accent.flags & kAccentNoGifts))
    entry.gift = static_cast<uint8_t>(GiftPosition(hit.baseYear - e.year));
}

}  // namespace kv
