#include "sky/text_fields.h"

#include <cstdio>

namespace kv {

FieldLine ReadFieldLine(std::string_view data, size_t pos, std::span<const int> maxima, size_t limit) {
  FieldLine out;
  out.fields.resize(maxima.size());
  size_t end = limit == std::string_view::npos || limit > data.size() - pos ? data.size() : pos + limit;
  size_t i = pos;
  size_t field = 0;
  auto keep = [&](std::string& text, char c) {
    if (field < maxima.size() && text.size() + 1 < static_cast<size_t>(maxima[field])) text += c;
  };
  bool lineEnded = false;
  while (i < end && !lineEnded) {
    std::string scratch;
    std::string& text = field < out.fields.size() ? out.fields[field] : scratch;
    if (data[i] == '"') {
      ++i;
      while (i < end) {
        if (data[i] == '"') {
          if (i + 1 < end && data[i + 1] == '"') {
            keep(text, '"');
            i += 2;
            continue;
          }
          ++i;  // the closing quote; anything up to the next separator is ignored
          break;
        }
        keep(text, data[i++]);
      }
    }
    while (i < end && data[i] != ',' && data[i] != '\r' && data[i] != '\n') keep(text, data[i++]);
    if (i < end && data[i] == ',') {
      ++i;
      ++field;
    } else {
      lineEnded = true;
    }
  }
  // Past the line's end (also when the block stopped first): the next line starts after it.
  size_t j = i;
  bool quoted = false;
  while (j < data.size() && (quoted || (data[j] != '\r' && data[j] != '\n'))) {
    if (data[j] == '"') quoted = !quoted;
    ++j;
  }
  if (j < data.size() && data[j] == '\r') ++j;
  if (j < data.size() && data[j] == '\n') ++j;
  out.next = j;
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

bool ReadWholeFile(const std::string& path, std::string* contents) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  contents->clear();
  char buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) contents->append(buffer, n);
  bool ok = !std::ferror(f);
  std::fclose(f);
  return ok;
}

int FieldInteger(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > 1000000000) break;  // fields are short; a runaway number is cut, not overflowed
  }
  return static_cast<int>(negative ? -value : value);
}

}  // namespace kv
