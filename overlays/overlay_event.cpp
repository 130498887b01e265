#include "overlays/overlay_event.h"

#include "base/bytes.h"

namespace kv {

bool IsJewishKind(int kind) { return kind >= kKindJewishDate && kind <= kKindRoshChodesh; }

void ParseAccent(const uint8_t* p, Accent& a) {
  a.highlight = ReadU16LE(p + 0);
  a.flags = ReadU16LE(p + 2);
  a.icon = ReadU16LE(p + 4);
  a.pattern = ReadU16LE(p + 6);
  a.patternColour = ReadU32LE(p + 8);
  a.textColour = ReadU32LE(p + 12);
  a.reserved = ReadU32LE(p + 16);
}

void SerializeAccent(const Accent& a, uint8_t* p) {
  PutU16LE(p + 0, a.highlight);
  PutU16LE(p + 2, a.flags);
  PutU16LE(p + 4, a.icon);
  PutU16LE(p + 6, a.pattern);
  PutU32LE(p + 8, a.patternColour);
  PutU32LE(p + 12, a.textColour);
  PutU32LE(p + 16, a.reserved);
}

void ParseEventFixed(const uint8_t* p, OverlayEvent& e) {
  e.kind = ReadU16LE(p + 0);
  e.year = ReadI16LE(p + 2);
  e.month = ReadU16LE(p + 4);
  e.day = ReadU16LE(p + 6);
  e.endYear = ReadI16LE(p + 8);
  e.endMonth = ReadU16LE(p + 10);
  e.endDay = ReadU16LE(p + 12);
  e.param = ReadU16LE(p + 14);
  e.offset = ReadI16LE(p + 16);
  e.flags = ReadU16LE(p + 18);
  ParseAccent(p + 20, e.accent);
  e.weight = ReadI16LE(p + 40);
  e.sameTime = ReadU16LE(p + 42);
  e.zone = ReadU16LE(p + 44);
  for (size_t i = 0; i < e.reserved.size(); ++i) e.reserved[i] = p[46 + i];
}

void SerializeEventFixed(const OverlayEvent& e, uint8_t* p) {
  PutU16LE(p + 0, e.kind);
  PutI16LE(p + 2, e.year);
  PutU16LE(p + 4, e.month);
  PutU16LE(p + 6, e.day);
  PutI16LE(p + 8, e.endYear);
  PutU16LE(p + 10, e.endMonth);
  PutU16LE(p + 12, e.endDay);
  PutU16LE(p + 14, e.param);
  PutI16LE(p + 16, e.offset);
  PutU16LE(p + 18, e.flags);
  SerializeAccent(e.accent, p + 20);
  PutI16LE(p + 40, e.weight);
  PutU16LE(p + 42, e.sameTime);
  PutU16LE(p + 44, e.zone);
  for (size_t i = 0; i < e.reserved.size(); ++i) p[46 + i] = e.reserved[i];
}

int TimedListingWeight(int startMinute) { return 1440 - startMinute; }

int EventStartMinute(const OverlayEvent& e) { return 1440 - e.weight; }

int EasterOffset(const OverlayEvent& e) { return e.endYear; }

bool HasDateRange(const OverlayEvent& e) {
  if (e.endDay == 0) return false;
  switch (e.kind) {
    case kKindWeekly: case kKindEveryNDays: case kKindMonthlyDay: case kKindMonthlyNthWeekday: case kKindAnnual:
    case kKindAnnualNthWeekday: case kKindFloating: case kKindEveryDay: case kKindEveryNMonths:
    case kKindEveryNYears: case kKindMonthlyLastWeekday: case kKindMonthlyLastDay: case kKindAnnualLastWeekday:
    case kKindJewishDate: case kKindJewishFast:
      return true;
    default:
      return false;
  }
}

}  // namespace kv
