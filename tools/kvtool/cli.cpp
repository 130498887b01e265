#include "tools/kvtool/cli.h"

#include <charconv>
#include <cstdio>
#include <iostream>
#include <map>

#include "tools/kvtool/registry.h"

#include <algorithm>
#include <cstring>

#include "base/file_io.h"
#include "base/filesystem.h"

namespace kv::tool {
namespace {

bool IsOption(const std::string& token) { return token.size() > 2 && token[0] == '-' && token[1] == '-'; }

}  // namespace

bool Args::Flag(std::string_view name) {
  std::string wanted = "--" + std::string(name);
  for (auto it = tokens_.begin(); it != tokens_.end(); ++it) {
    if (*it == wanted) {
      tokens_.erase(it);
      return true;
    }
  }
  return false;
}

std::optional<std::string> Args::Option(std::string_view name) {
  std::vector<std::string> all = Options(name);
  if (all.size() > 1) throw UsageError("--" + std::string(name) + " given more than once");
  if (all.empty()) return std::nullopt;
  return all.front();
}

std::vector<std::string> Args::Options(std::string_view name) {
  std::string wanted = "--" + std::string(name);
  std::vector<std::string> values;
  for (size_t i = 0; i < tokens_.size();) {
    if (tokens_[i] == wanted) {
      if (i + 1 >= tokens_.size()) throw UsageError(wanted + " needs a value");
      values.push_back(tokens_[i + 1]);
      tokens_.erase(tokens_.begin() + static_cast<long>(i), tokens_.begin() + static_cast<long>(i) + 2);
    } else if (tokens_[i].rfind(wanted + "=", 0) == 0) {
      values.push_back(tokens_[i].substr(wanted.size() + 1));
      tokens_.erase(tokens_.begin() + static_cast<long>(i));
    } else {
      ++i;
    }
  }
  return values;
}

std::string Args::Positional(std::string_view what) {
  std::optional<std::string> value = OptionalPositional();
  if (!value) throw UsageError("missing " + std::string(what));
  return *value;
}

std::optional<std::string> Args::OptionalPositional() {
  for (auto it = tokens_.begin(); it != tokens_.end(); ++it) {
    if (!IsOption(*it)) {
      std::string value = *it;
      tokens_.erase(it);
      return value;
    }
  }
  return std::nullopt;
}

std::vector<std::string> Args::Rest() {
  std::vector<std::string> rest;
  while (auto value = OptionalPositional()) rest.push_back(*value);
  return rest;
}

void Args::Done() {
  if (!tokens_.empty()) throw UsageError("unexpected argument: " + tokens_.front());
}

long long ParseInteger(std::string_view text, std::string_view what, long long min, long long max) {
  long long value = 0;
  const char* first = text.data();
  const char* last = text.data() + text.size();
  if (!text.empty() && text.front() == '+') ++first;
  auto [ptr, ec] = std::from_chars(first, last, value);
  if (text.empty() || ec != std::errc() || ptr != last)
    throw UsageError(std::string(what) + " must be a whole number, not \"" + std::string(text) + "\"");
  if (value < min || value > max)
    throw UsageError(std::string(what) + " must be between " + std::to_string(min) + " and " + std::to_string(max));
  return value;
}

double ParseNumber(std::string_view text, std::string_view what) {
  std::string copy(text);
  char* end = nullptr;
  double value = std::strtod(copy.c_str(), &end);
  if (copy.empty() || end != copy.c_str() + copy.size() || value != value)
    throw UsageError(std::string(what) + " must be a number, not \"" + copy + "\"");
  return value;
}

namespace {

int Digits(std::string_view text, size_t pos, size_t count, std::string_view whole, std::string_view form) {
  int value = 0;
  for (size_t i = pos; i < pos + count; ++i) {
    if (i >= text.size() || text[i] < '0' || text[i] > '9')
      throw UsageError("\"" + std::string(whole) + "\" is not a date of the form " + std::string(form));
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

DateStamp ReadDate(std::string_view text, std::string_view form) {
  if (text.size() < 10 || text[4] != '-' || text[7] != '-')
    throw UsageError("\"" + std::string(text) + "\" is not a date of the form " + std::string(form));
  DateStamp d;
  d.year = Digits(text, 0, 4, text, form);
  d.month = static_cast<uint16_t>(Digits(text, 5, 2, text, form));
  d.day = static_cast<uint16_t>(Digits(text, 8, 2, text, form));
  if (!IsValidDate(d.month, d.day, d.year))
    throw UsageError("\"" + std::string(text.substr(0, 10)) + "\" is not a valid date");
  return d;
}

}  // namespace

DateStamp ParseDate(std::string_view text) {
  if (text.size() != 10) throw UsageError("\"" + std::string(text) + "\" is not a date of the form YYYY-MM-DD");
  return ReadDate(text, "YYYY-MM-DD");
}

DateStamp ParseDateTime(std::string_view text) {
  const char* form = "YYYY-MM-DDTHH:MM";
  if (text.size() != 16 || text[10] != 'T' || text[13] != ':')
    throw UsageError("\"" + std::string(text) + "\" is not a date and time of the form " + form);
  DateStamp d = ReadDate(text, form);
  int hour = Digits(text, 11, 2, text, form);
  int minute = Digits(text, 14, 2, text, form);
  if (hour > 23 || minute > 59) throw UsageError("\"" + std::string(text) + "\" is not a valid time of day");
  d.hour = static_cast<uint16_t>(hour);
  d.minute = static_cast<uint16_t>(minute);
  return d;
}

std::string DateText(const DateStamp& d) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d.year, d.month, d.day);
  return buf;
}

std::string DateTimeText(const DateStamp& d) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d", d.year, d.month, d.day, d.hour, d.minute);
  return buf;
}

void Emit(const Json& json) {
  // Bytes that are not UTF-8 (a damaged name in a file) are shown as U+FFFD, never a failure.
  std::string text = json.dump(-1, ' ', false, Json::error_handler_t::replace);
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

Command::Command(const char* name, const char* usage, Handler handler) {
  Registry().push_back(RegisteredCommand{name, usage, std::move(handler)});
}


MsgAnswer StderrMessages::Show(const UserMessage& m) {
  std::string text = Utf8FromAnsi(m.text);
  std::replace(text.begin(), text.end(), '\n', ' ');
  std::fprintf(stderr, "kvtool: %s\n", text.c_str());
  ++shown;
  return DefaultAnswer(m.buttons, m.defaultButton);
}

MsgAnswer AnsweringMessages::Show(const UserMessage& m) {
  texts.push_back(Utf8FromAnsi(m.text));
  return ok_ ? AcceptAnswer(m.buttons) : DeclineAnswer(m.buttons);
}

Json AnsweringMessages::Texts() const {
  Json list = Json::array();
  for (const std::string& t : texts) list.push_back(t);
  return list;
}

CalendarConfig LoadCalendarConfig(const std::optional<std::string>& path) {
  if (!path) {
    DefaultConfigInputs in;
    in.dataFolder = ".";
    in.screenWidth = 1280;
    in.screenHeight = 1024;
    return DefaultCalendarConfig(in);
  }
  std::vector<uint8_t> file;
  if (!FileExists(*path) || !ReadWholeFile(*path, file, size_t{1} << 20)) throw Failure("cannot read " + *path);
  if (file.size() < 10 || !HasConfigHeader(file.data(), file.size())) throw Failure("File failed header check: " + *path);
  ConfigImage image{};
  std::memcpy(image.data(), file.data(), std::min(file.size(), kConfigSize));
  if (ConfigVersionOf(image.data()) == 6) ConvertVersion6Image(image);
  return ParseCalendarConfig(image);
}

}  // namespace kv::tool
