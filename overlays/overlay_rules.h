// Evaluation of overlay event rules: on which days of a displayed month an event falls and
// what it shows there, with weekend moves, offsets, date ranges and the time-zone shift, and
// the texts of birthdays, anniversaries and Yahrzeit.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "calendar/dates.h"
#include "calendar/jewish_observance.h"
#include "overlays/day_entry.h"
#include "overlays/overlay_event.h"

namespace kv {

// The date range of an event as minute keys of its first and last day (Jewish ranges
// converted); without a range every key lies within. The keys are computed without the 32-bit
// wrap of MinuteKey, so that a range ending in 9999 (after mid-October 8017) still works.
struct RangeKeys {
  uint64_t first = 0;
  uint64_t last = UINT64_MAX;
};
uint64_t WideMinuteKey(const DateStamp& d);
RangeKeys RangeKeysOf(const OverlayEvent& e);

// One day on which an event shows.
struct EventHit {
  DateStamp date;          // the Gregorian day
  int listingWeight = 0;   // after the time-zone shift
  int baseYear = 0;        // the year whose occurrence this is (Jewish year for Jewish kinds)
  bool eventYear = false;  // Jewish birthday or Yahrzeit in the year of the event
};

// Every day of the Gregorian month (year, month) on which the event falls, in date order, once
// per occurrence: occurrences of neighbouring months and years that the weekend rule, the offset
// or the time-zone shift carry into the month are included, those carried out are not.
void EventHitsInMonth(const OverlayEvent& e, int year, int month, const RangeKeys& range, std::vector<EventHit>& out);

// The day of the displayed month on which the event next falls at or after `fromDay`, or 0.
// With an entry, fills its text, the event's own accent, offset and listing weight.
int Evaluate(const OverlayEvent& e, int year, int month, int fromDay, const RangeKeys& range, DayEntry* entry = nullptr);

// Fills an entry for a hit: text (without a time), the event's own accent, listing weight,
// same-time weight, offset (birthdays and anniversaries) and gift.
void FillEntry(const OverlayEvent& e, const EventHit& hit, DayEntry& entry);

// The line an event shows for a hit (before any time is put in front).
std::string EventText(const OverlayEvent& e, const EventHit& hit);

std::string BirthdayText(std::string_view name, int age);                   // age 0: " was born!"
std::string AnniversaryText(std::string_view description, int years, bool wedding);
int GiftPosition(int years);                                                 // 1 ... 25, or 0
std::string GiftText(int position);                                          // ids 1952-1976
std::string YahrzeitText(std::string_view name, int years, bool afterSunset);
std::string JewishBirthdayText(std::string_view name, int age, bool afterSunset);

// The Jewish rule stored in an event of kind 60-65.
JewishRule JewishRuleOf(const OverlayEvent& e);

}  // namespace kv
