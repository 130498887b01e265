#include "print/print_range.h"

#include <cstdio>
#include <vector>

#include "calendar/dates.h"

namespace kv {
namespace {

constexpr int kLastYear = 9999;

int PartsOf(RangeFormat format) {
  switch (format) {
    case RangeFormat::Year: return 1;
    case RangeFormat::Month: return 2;
    case RangeFormat::Day: return 3;
    case RangeFormat::None: break;
  }
  return 0;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The numbers of a text "n/n/n", blanks allowed around each; nothing when any part is not a
// plain decimal number or when it is too long to be one of ours.
std::optional<std::vector<int>> SplitNumbers(std::string_view text) {
  std::vector<int> numbers;
  size_t i = 0;
  while (true) {
    while (i < text.size() && IsBlank(text[i])) ++i;
    int value = 0;
    int digits = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
      if (++digits > 5) return std::nullopt;
      value = value * 10 + (text[i] - '0');
      ++i;
    }
    if (digits == 0) return std::nullopt;
    numbers.push_back(value);
    while (i < text.size() && IsBlank(text[i])) ++i;
    if (i == text.size()) return numbers;
    if (text[i] != '/') return std::nullopt;
    ++i;
  }
}

int Compare(const RangeValue& a, const RangeValue& b) {
  if (a.year != b.year) return a.year < b.year ? -1 : 1;
  if (a.month != b.month) return a.month < b.month ? -1 : 1;
  if (a.day != b.day) return a.day < b.day ? -1 : 1;
  return 0;
}

}  // namespace

RangeFormat RangeFormatOfKind(int kind, bool generalNotes) {
  switch (kind) {
    case 0: return RangeFormat::Year;
    case 1: return RangeFormat::Month;
    case 3:
    case 5: return RangeFormat::Day;
    case 4: return generalNotes ? RangeFormat::Day : RangeFormat::None;
    default: return RangeFormat::None;
  }
}

std::optional<RangeValue> ParseRangeValue(RangeFormat format, std::string_view text) {
  const int parts = PartsOf(format);
  if (parts == 0) return std::nullopt;
  auto numbers = SplitNumbers(text);
  if (!numbers || static_cast<int>(numbers->size()) != parts) return std::nullopt;
  RangeValue value;
  const std::vector<int>& n = *numbers;
  switch (format) {
    case RangeFormat::Year: value.year = n[0]; break;
    case RangeFormat::Month: value.month = n[0]; value.year = n[1]; break;
    case RangeFormat::Day: value.month = n[0]; value.day = n[1]; value.year = n[2]; break;
    case RangeFormat::None: break;
  }
  if (!IsValidDate(value.month, value.day, value.year)) return std::nullopt;
  return value;
}

std::string FormatRangeValue(RangeFormat format, const RangeValue& value) {
  char text[40] = "";
  switch (format) {
    case RangeFormat::Year: std::snprintf(text, sizeof text, "%d", value.year); break;
    case RangeFormat::Month: std::snprintf(text, sizeof text, "%d/%d", value.month, value.year); break;
    case RangeFormat::Day: std::snprintf(text, sizeof text, "%d/%d/%d", value.month, value.day, value.year); break;
    case RangeFormat::None: break;
  }
  return text;
}

std::string StepRangeText(RangeFormat format, std::string_view text, int steps) {
  auto value = ParseRangeValue(format, text);
  if (!value) return std::string(text);
  RangeValue next = *value;
  switch (format) {
    case RangeFormat::Year: next.year += steps; break;
    case RangeFormat::Month: {
      const int months = next.year * 12 + (next.month - 1) + steps;
      next.year = months / 12;
      next.month = months % 12 + 1;
      break;
    }
    case RangeFormat::Day: {
      const int32_t from = DayNumber(1, 1, 1);
      const int32_t to = DayNumber(12, 31, kLastYear);
      const int32_t day = DayNumber(next.month, next.day, next.year) + steps;
      if (day < from || day > to) return std::string(text);
      const DateStamp d = AddDays(next.month, next.day, next.year, steps);
      next = {d.year, d.month, d.day};
      break;
    }
    case RangeFormat::None: break;
  }
  if (next.year < 1 || next.year > kLastYear) return std::string(text);
  return FormatRangeValue(format, next);
}

CheckedRange CheckRange(RangeFormat format, std::string_view fromText, std::string_view toText) {
  CheckedRange result;
  auto from = ParseRangeValue(format, fromText);
  if (!from) {
    result.failing = RangeBox::From;
    return result;
  }
  auto to = ParseRangeValue(format, toText);
  if (!to) {
    result.failing = RangeBox::To;
    return result;
  }
  result.from = *from;
  result.to = *to;
  if (Compare(*from, *to) > 0) result.failing = RangeBox::From;
  return result;
}

RangeBox CheckPhoneRange(int first, int last, int count) {
  if (first < 0 || first >= count) return RangeBox::From;
  if (last < 0 || last >= count) return RangeBox::To;
  if (first > last) return RangeBox::From;
  return RangeBox::None;
}

}  // namespace kv
