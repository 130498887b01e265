#include "sky/text_fields.h"

#include <cstdio>

namespace kv {

namespace {

// Walks the fields of the line that starts at `pos`, up to `end`, handing each character kept
// to `keep(field, c)`; returns where it stopped and whether that was the line's end (CR, LF
// or the end of the data outside quotes).
template <typename Keep>
size_t WalkLine(std::string_view data, size_t pos, size_t end, Keep keep, bool* lineEnded) {
  size_t i = pos, field = 0;
  *lineEnded = false;
  while (i < end) {
    if (data[i] == '"') {
      ++i;
      while (i < end) {
        if (data[i] == '"') {
          if (i + 1 < end && data[i + 1] == '"') {
            keep(field, '"');
            i += 2;
            continue;
          }
          ++i;  // the closing quote; what follows up to the separator is kept as written
          break;
        }
        keep(field, data[i++]);
      }
    }
    while (i < end && data[i] != ',' && data[i] != '\r' && data[i] != '\n') keep(field, data[i++]);
    if (i < end && data[i] == ',') {
      ++i;
      ++field;
      continue;
    }
    break;
  }
  *lineEnded = i < end || end == data.size();
  return i;
}

}  // namespace

FieldLine ReadFieldLine(std::string_view data, size_t pos, std::span<const int> maxima, size_t limit) {
  FieldLine out;
  out.fields.resize(maxima.size());
  size_t end = limit == std::string_view::npos || limit > data.size() - pos ? data.size() : pos + limit;
  bool lineEnded = false;
  size_t i = WalkLine(
      data, pos, end,
      [&](size_t field, char c) {
        if (field < maxima.size() && out.fields[field].size() + 1 < static_cast<size_t>(maxima[field]))
          out.fields[field] += c;
      },
      &lineEnded);
  // A line longer than the limit: the next one starts after its real end.
  if (!lineEnded) i = WalkLine(data, pos, data.size(), [](size_t, char) {}, &lineEnded);
  if (i < data.size() && data[i] == '\r') ++i;
  if (i < data.size() && data[i] == '\n') ++i;
  out.next = i;
  return out;
}

std::string QuoteField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string out = "\"";
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

std::string JoinFields(std::span<const std::string> fields) {
  std::string line;
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i) line += ',';
    line += QuoteField(fields[i]);
  }
  return line + "\r\n";
}

int FieldInteger(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > 1000000000) {  // fields are short; a runaway number is capped, not overflowed
      value = 1000000000;
      break;
    }
  }
  return static_cast<int>(negative ? -value : value);
}

}  // namespace kv
