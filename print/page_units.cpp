#include "print/page_units.h"

#include <cstdio>

namespace kv {

std::string FormatPageMeasure(int twips, bool metric) {
  const int unit = metric ? kTwipsPerCentimetre : kTwipsPerInchUnit;
  // Hundredths of the unit, rounded to the nearest.
  const long hundredths = (static_cast<long>(twips) * 100 + unit / 2) / unit;
  char text[32];
  std::snprintf(text, sizeof text, "%ld.%02ld", hundredths / 100, hundredths % 100);
  return text;
}

std::optional<int> ParsePageMeasure(std::string_view text, bool metric) {
  size_t i = 0, end = text.size();
  while (i < end && (text[i] == ' ' || text[i] == '\t')) ++i;
  while (end > i && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
  if (i == end) return std::nullopt;
  long whole = 0, fraction = 0, scale = 1;
  int digits = 0;
  bool point = false;
  for (; i < end; ++i) {
    const char c = text[i];
    if (c == '.' || c == ',') {
      if (point) return std::nullopt;
      point = true;
    } else if (c >= '0' && c <= '9') {
      if (++digits > 9) return std::nullopt;
      if (point) {
        if (scale < 100000) fraction = fraction * 10 + (c - '0'), scale *= 10;
      } else {
        whole = whole * 10 + (c - '0');
      }
    } else {
      return std::nullopt;
    }
  }
  if (digits == 0) return std::nullopt;
  const long unit = metric ? kTwipsPerCentimetre : kTwipsPerInchUnit;
  const long twips = whole * unit + (fraction * unit + scale / 2) / scale;
  if (twips > kLargestPageMeasure) return std::nullopt;
  return static_cast<int>(twips);
}

}  // namespace kv
