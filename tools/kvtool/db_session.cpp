#include "tools/kvtool/db_session.h"

#include <cstdio>

#include "store/db_files.h"

namespace kv::tool {

MsgAnswer MessageLog::Show(const UserMessage& message) {
  // One line: a blank line becomes one blank, any other line end too.
  std::string text;
  for (size_t i = 0; i < message.text.size(); ++i) {
    char c = message.text[i];
    if (c == '\r') continue;
    if (c == '\n' && i + 1 < message.text.size() && message.text[i + 1] == '\n') ++i;
    text += c == '\n' ? ' ' : c;
  }
  texts_.push_back(Utf8FromAnsi(text));
  return AcceptAnswer(message.buttons);
}

std::string MessageLog::Joined() const {
  std::string all;
  for (const std::string& t : texts_) all += (all.empty() ? "" : "; ") + t;
  return all;
}

void MessageLog::Warn() const {
  for (const std::string& t : texts_) std::fprintf(stderr, "kvtool: %s\n", t.c_str());
}

void MessageLog::Fail(const std::string& fallback, size_t from) const {
  std::string all;
  for (size_t i = from; i < texts_.size(); ++i) all += (all.empty() ? "" : "; ") + texts_[i];
  throw Failure(all.empty() ? fallback : all);
}

DbSession::DbSession(Args& args, bool takesNow) {
  std::optional<std::string> db = args.Option("db");
  if (!db || db->empty()) throw UsageError("--db DIR is required");
  SetDatabaseFolder(AnsiFromUtf8(*db));
  if (!takesNow) return;
  if (std::optional<std::string> now = args.Option("now")) {
    clock_ = std::make_unique<FixedClock>(ParseDateTime(*now));
    SetClockSource(clock_.get());
  }
}

DbSession::~DbSession() {
  if (clock_) SetClockSource(nullptr);
}

}  // namespace kv::tool
