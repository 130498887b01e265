// The framework every kvtool command is written against: registration, argument reading,
// JSON output and the exit codes (0 success, 1 failure, 2 bad usage).
#pragma once

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "base/messages.h"
#include "base/text_encoding.h"
#include "calendar/dates.h"
#include "shell/config.h"

namespace kv::tool {

using Json = nlohmann::ordered_json;

// Thrown for bad usage (exit 2) and for a failure of the operation itself (exit 1). The message
// goes to standard error.
struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};
struct Failure : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// The command line after the command's name. Options and flags are taken out first, then the
// positional arguments in order; Done() refuses whatever is left over.
class Args {
 public:
  explicit Args(std::vector<std::string> tokens) : tokens_(std::move(tokens)) {}

  bool Flag(std::string_view name);                              // --name
  std::optional<std::string> Option(std::string_view name);      // --name VALUE or --name=VALUE
  std::vector<std::string> Options(std::string_view name);       // every --name VALUE
  std::string Positional(std::string_view what);                 // the next one, required
  std::optional<std::string> OptionalPositional();
  std::vector<std::string> Rest();                               // all remaining positionals
  void Done();

 private:
  std::vector<std::string> tokens_;
};

// Strict readers of argument values; each throws UsageError naming what was wrong.
long long ParseInteger(std::string_view text, std::string_view what, long long min, long long max);
double ParseNumber(std::string_view text, std::string_view what);
DateStamp ParseDate(std::string_view text);            // YYYY-MM-DD, a real date of years 1 ... 9999
DateStamp ParseDateTime(std::string_view text);        // YYYY-MM-DDTHH:MM
std::string DateText(const DateStamp& d);              // YYYY-MM-DD
std::string DateTimeText(const DateStamp& d);          // YYYY-MM-DDTHH:MM

// Texts of the program are Windows-1252; JSON and the terminal are UTF-8.
using kv::AnsiFromUtf8;
using kv::Utf8FromAnsi;

// Writes one JSON document and a newline to standard output.
void Emit(const Json& json);

// Messages the core would show in a box go to standard error, one line each; a question gets
// its default answer.
class StderrMessages : public MessageSink {
 public:
  MsgAnswer Show(const UserMessage& message) override;
  int shown = 0;
};

// Records every text the program would show (UTF-8) and answers each question the same way:
// accepted (OK, Yes) or declined.
class AnsweringMessages : public MessageSink {
 public:
  explicit AnsweringMessages(bool ok) : ok_(ok) {}
  MsgAnswer Show(const UserMessage& message) override;
  Json Texts() const;
  std::string Last() const { return texts.empty() ? std::string() : texts.back(); }
  std::vector<std::string> texts;

 private:
  bool ok_;
};

// A calendar configuration file read as the program reads it (a version 6 file converted), or a
// new configuration when no file is named. Fails on a file that is not one.
CalendarConfig LoadCalendarConfig(const std::optional<std::string>& path);

using Handler = std::function<void(Args&)>;

// Registers a command at start-up; `name` may be one word ("date") or two ("overlay dump").
struct Command {
  Command(const char* name, const char* usage, Handler handler);
};

}  // namespace kv::tool
