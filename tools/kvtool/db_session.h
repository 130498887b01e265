// What the commands over a database folder share: the folder (--db DIR), the moment they run
// at (--now), and what the core would show the user meanwhile, kept as one-line texts so that
// a command can report them as its error. Questions are answered yes: the command line already
// said what to do.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "calendar/clock.h"
#include "base/messages.h"
#include "tools/kvtool/cli.h"

namespace kv::tool {

class MessageLog : public MessageSink {
 public:
  MessageLog() : scope_(*this) {}
  MsgAnswer Show(const UserMessage& message) override;
  // Every text so far joined with "; " (UTF-8); empty when none was shown.
  std::string Joined() const;
  // Throws Failure with the texts shown since `from`, or with `fallback` when there were none.
  [[noreturn]] void Fail(const std::string& fallback, size_t from = 0) const;
  size_t Count() const { return texts_.size(); }
  // Writes every text to standard error as a warning.
  void Warn() const;

 private:
  std::vector<std::string> texts_;
  ScopedMessageSink scope_;
};

// Takes --db DIR (required) and --now YYYY-MM-DDTHH:MM (optional; else the system clock) out of
// the arguments and installs them for the command's lifetime, with a MessageLog.
class DbSession {
 public:
  explicit DbSession(Args& args, bool takesNow = true);
  ~DbSession();
  DbSession(const DbSession&) = delete;
  DbSession& operator=(const DbSession&) = delete;

  MessageLog log;

 private:
  std::unique_ptr<FixedClock> clock_;
};

}  // namespace kv::tool
