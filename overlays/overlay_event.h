// The overlay event: a 56-byte fixed record with a 20-byte accent, and its description. The
// same accent layout is an overlay file's default accent.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace kv {

// Rule kinds.
enum OverlayKind : int {
  kKindOnce = 1,
  kKindWeekly = 2,
  kKindEveryNDays = 3,
  kKindMonthlyDay = 4,
  kKindMonthlyNthWeekday = 5,
  kKindAnnual = 6,
  kKindAnnualNthWeekday = 7,
  kKindFloating = 8,
  kKindBirthday = 9,
  kKindAnniversary = 10,
  kKindEveryDay = 11,
  kKindEaster = 12,
  kKindEveryNMonths = 13,
  kKindEveryNYears = 14,
  kKindMonthlyLastWeekday = 25,
  kKindMonthlyLastDay = 26,
  kKindAnnualLastWeekday = 27,
  kKindJewishDate = 60,
  kKindJewishPeriod = 61,
  kKindJewishFast = 62,
  kKindYahrzeit = 63,
  kKindJewishBirthday = 64,
  kKindRoshChodesh = 65,
  kKindDaylightBegins = 98,
  kKindStandardBegins = 99,
};

bool IsJewishKind(int kind);  // 60 ... 65

// Event flags (offset 18).
constexpr uint16_t kWeekendRuleMask = 0x0003;  // 0 none, 1 Friday before, 2 Monday after, 3 nearest
constexpr uint16_t kFlagAboveTimed = 0x0004;
constexpr uint16_t kFlagBelowTimed = 0x0008;
constexpr uint16_t kFlagTimed = 0x0010;

// Accent flags.
constexpr uint16_t kAccentNoGifts = 0x0001;       // kind 10: traditional gifts not displayed
constexpr uint16_t kAccentTextColour = 0x0020;
constexpr uint16_t kAccentPattern = 0x0040;
constexpr uint16_t kAccentIcon = 0x0080;

constexpr size_t kAccentSize = 20;
constexpr size_t kEventFixedSize = 56;
constexpr size_t kDescriptionSize = 120;  // 119 characters and the terminating zero

struct Accent {
  uint16_t highlight = 0;
  uint16_t flags = 0;
  uint16_t icon = 0;
  uint16_t pattern = 0;          // 1 "Solid" ... 7 "Diagonal Cross"
  uint32_t patternColour = 0;    // RGB, red in the low byte
  uint32_t textColour = 0;
  uint32_t reserved = 0;
  friend bool operator==(const Accent&, const Accent&) = default;
};

void ParseAccent(const uint8_t* p, Accent& a);
void SerializeAccent(const Accent& a, uint8_t* p);

struct OverlayEvent {
  uint16_t kind = kKindOnce;
  int16_t year = 0;
  uint16_t month = 0;
  uint16_t day = 0;
  int16_t endYear = 0;       // also the Easter offset (12), the Yahrzeit alternative days (63)
  uint16_t endMonth = 0;     // also the Yahrzeit alternative months (63)
  uint16_t endDay = 0;       // 0 = no date range
  uint16_t param = 0;        // weekday; N + 6; anniversary type; period length; Jewish flags
  int16_t offset = 0;        // days after the date (negative: before)
  uint16_t flags = 0;
  Accent accent;
  int16_t weight = 0;        // listing weight
  uint16_t sameTime = 0;     // weight among events of the same time, 1 ... 255
  uint16_t zone = 0;         // time zone of the event's time
  std::array<uint8_t, 10> reserved{};
  std::string description;   // up to 119 characters, Windows-1252
  friend bool operator==(const OverlayEvent&, const OverlayEvent&) = default;
};

void ParseEventFixed(const uint8_t* p, OverlayEvent& e);
void SerializeEventFixed(const OverlayEvent& e, uint8_t* p);

// Listing weights.
constexpr int kAboveWeightBase = 3000;    // untimed, listed above timed events: 3000 - weight
constexpr int kBelowWeightBase = -2000;   // untimed, listed below: -2000 - weight
int TimedListingWeight(int startMinute);  // 1440 - start minute
int EventStartMinute(const OverlayEvent& e);  // of a timed event

// The alternatives of a Yahrzeit and the Easter offset, kept in the range fields.
int EasterOffset(const OverlayEvent& e);

// The event has a date range that its kind honours.
bool HasDateRange(const OverlayEvent& e);

}  // namespace kv
