#include "calendar/time_parse.h"

#include <cctype>
#include <string>

namespace kv {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Lower(std::string_view text) {
  std::string out;
  for (char c : text)
    if (c != '.' && !IsBlank(c)) out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// 0 morning, 1 afternoon, -1 not a designator. Dots and blanks inside are ignored, so
// "a.m.", "A M" and "am" all read as morning.
int ReadDesignator(std::string_view text, const RegionalSettings& r) {
  std::string word = Lower(text);
  if (word.empty()) return -1;
  if (word == "a" || word == "am" || word == Lower(r.morning)) return 0;
  if (word == "p" || word == "pm" || word == Lower(r.afternoon)) return 1;
  return -1;
}

}  // namespace

std::optional<int> ParseTimeOfDay(std::string_view text, const RegionalSettings& r) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);

  size_t i = 0;
  auto digits = [&] {
    size_t start = i;
    while (i < text.size() && IsDigit(text[i])) ++i;
    return text.substr(start, i - start);
  };
  std::string_view first = digits();
  if (first.empty()) return std::nullopt;

  int hour = 0, minute = 0;
  auto number = [](std::string_view d) {
    int n = 0;
    for (char c : d) n = n * 10 + (c - '0');
    return n;
  };
  bool separated = i < text.size() && (text[i] == r.timeSeparator || text[i] == ':' || text[i] == '.') &&
                   i + 1 < text.size() && IsDigit(text[i + 1]);
  if (separated) {
    if (first.size() > 2) return std::nullopt;
    ++i;
    std::string_view second = digits();
    if (second.size() != 2) return std::nullopt;
    hour = number(first);
    minute = number(second);
  } else if (first.size() <= 2) {
    hour = number(first);
  } else if (first.size() <= 4) {
    // "930" and "0930": the last two digits are the minutes.
    hour = number(first.substr(0, first.size() - 2));
    minute = number(first.substr(first.size() - 2));
  } else {
    return std::nullopt;
  }

  std::string_view rest = text.substr(i);
  if (!rest.empty()) {
    if (r.clock24) return std::nullopt;
    int half = ReadDesignator(rest, r);
    if (half < 0 || hour < 1 || hour > 12) return std::nullopt;
    hour = hour % 12 + half * 12;
  }
  if (hour > 23 || minute > 59) return std::nullopt;
  return hour * 60 + minute;
}

}  // namespace kv
