// Messages to the user: a beep of the matching kind and a message box. Core code reports
// every user-facing failure and asks every question through here, so tests can check the very
// words a user sees and script the answers.
#pragma once

#include <deque>
#include <string>
#include <vector>

namespace kv {

enum class MsgIcon { None, Information, Warning, Stop, Question };
enum class MsgBeep { None, Default, Information, Warning, Stop, Question };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class MsgAnswer { Ok, Cancel, Yes, No, Retry };
// Which window owns the box: none, the frame, or whatever window is active.
enum class MsgOwner { None, Frame, Active };

struct UserMessage {
  std::string text;
  std::string caption;            // empty: the system's default caption
  MsgIcon icon = MsgIcon::None;
  MsgBeep beep = MsgBeep::None;   // played before the box appears
  MsgButtons buttons = MsgButtons::Ok;
  int defaultButton = 1;          // 1-based
  MsgOwner owner = MsgOwner::Active;
};

class MessageSink {
 public:
  virtual ~MessageSink() = default;
  virtual MsgAnswer Show(const UserMessage& message) = 0;
};

// Installs the sink in use; the caller keeps ownership. nullptr restores a silent sink that
// gives every question its default answer.
void SetMessageSink(MessageSink* sink);
MessageSink& CurrentMessageSink();

MsgAnswer ShowUserMessage(const UserMessage& message);

// The common case: a text captioned "Kalvora" with an icon, a beep of the same kind and the
// given buttons.
MsgAnswer ShowMessage(const std::string& text, MsgIcon icon = MsgIcon::Warning,
                      MsgButtons buttons = MsgButtons::Ok);

// The answer the default button gives; the answer of the first button (OK, Yes, Retry); the
// answer that declines (Cancel, or No where there is no Cancel).
MsgAnswer DefaultAnswer(MsgButtons buttons, int defaultButton = 1);
MsgAnswer AcceptAnswer(MsgButtons buttons);
MsgAnswer DeclineAnswer(MsgButtons buttons);

// Records every message and answers from a script; once the script runs out, each question
// gets its default answer, or is accepted or declined when a fallback is set.
class ScriptedMessages : public MessageSink {
 public:
  MsgAnswer Show(const UserMessage& message) override;

  void Answer(MsgAnswer answer) { script_.push_back(answer); }
  enum class Fallback { DefaultButton, Accept, Decline };
  void SetFallback(Fallback fallback) { fallback_ = fallback; }
  const std::vector<UserMessage>& Shown() const { return shown_; }
  std::vector<std::string> Texts() const;
  void Clear() { shown_.clear(), script_.clear(); }

 private:
  std::vector<UserMessage> shown_;
  std::deque<MsgAnswer> script_;
  Fallback fallback_ = Fallback::DefaultButton;
};

// Installs a sink for the lifetime of a scope and restores the previous one afterwards.
class ScopedMessageSink {
 public:
  explicit ScopedMessageSink(MessageSink& sink);
  ~ScopedMessageSink();
  ScopedMessageSink(const ScopedMessageSink&) = delete;
  ScopedMessageSink& operator=(const ScopedMessageSink&) = delete;

 private:
  MessageSink* previous_;
};

}  // namespace kv
