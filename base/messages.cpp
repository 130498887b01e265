#include "base/messages.h"

#include "resources/strings.h"

namespace kv {
namespace {

struct MessageState {
  ScriptedMessages silent;
  MessageSink* sink = nullptr;
};

MessageState& State() {
  static MessageState state;
  return state;
}

MsgBeep BeepFor(MsgIcon icon) {
  switch (icon) {
    case MsgIcon::Information: return MsgBeep::Information;
    case MsgIcon::Warning: return MsgBeep::Warning;
    case MsgIcon::Stop: return MsgBeep::Stop;
    case MsgIcon::Question: return MsgBeep::Question;
    default: return MsgBeep::Default;
  }
}

}  // namespace

void SetMessageSink(MessageSink* sink) { State().sink = sink; }

MessageSink& CurrentMessageSink() {
  MessageState& s = State();
  return s.sink ? *s.sink : s.silent;
}

MsgAnswer ShowUserMessage(const UserMessage& message) { return CurrentMessageSink().Show(message); }

MsgAnswer ShowMessage(const std::string& text, MsgIcon icon, MsgButtons buttons) {
  UserMessage m;
  m.text = text;
  m.caption = std::string(StringText(IDS_PRODUCT_NAME));
  m.icon = icon;
  m.beep = BeepFor(icon);
  m.buttons = buttons;
  return ShowUserMessage(m);
}

MsgAnswer DefaultAnswer(MsgButtons buttons, int defaultButton) {
  switch (buttons) {
    case MsgButtons::Ok: return MsgAnswer::Ok;
    case MsgButtons::OkCancel: return defaultButton == 2 ? MsgAnswer::Cancel : MsgAnswer::Ok;
    case MsgButtons::YesNo: return defaultButton == 2 ? MsgAnswer::No : MsgAnswer::Yes;
    case MsgButtons::YesNoCancel:
      return defaultButton == 3 ? MsgAnswer::Cancel : defaultButton == 2 ? MsgAnswer::No : MsgAnswer::Yes;
    case MsgButtons::RetryCancel: return defaultButton == 2 ? MsgAnswer::Cancel : MsgAnswer::Retry;
  }
  return MsgAnswer::Ok;
}

MsgAnswer AcceptAnswer(MsgButtons buttons) {
  return buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoCancel ? MsgAnswer::Yes
         : buttons == MsgButtons::RetryCancel                              ? MsgAnswer::Retry
                                                                           : MsgAnswer::Ok;
}

MsgAnswer DeclineAnswer(MsgButtons buttons) {
  return buttons == MsgButtons::YesNo ? MsgAnswer::No : buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::Cancel;
}

MsgAnswer ScriptedMessages::Show(const UserMessage& message) {
  shown_.push_back(message);
  if (message.buttons == MsgButtons::Ok) return MsgAnswer::Ok;
  if (!script_.empty()) {
    MsgAnswer answer = script_.front();
    script_.pop_front();
    return answer;
  }
  switch (fallback_) {
    case Fallback::Accept: return AcceptAnswer(message.buttons);
    case Fallback::Decline: return DeclineAnswer(message.buttons);
    default: return DefaultAnswer(message.buttons, message.defaultButton);
  }
}

std::vector<std::string> ScriptedMessages::Texts() const {
  std::vector<std::string> texts;
  for (const UserMessage& m : shown_) texts.push_back(m.text);
  return texts;
}

ScopedMessageSink::ScopedMessageSink(MessageSink& sink) : previous_(&CurrentMessageSink()) { SetMessageSink(&sink); }

ScopedMessageSink::~ScopedMessageSink() { SetMessageSink(previous_); }

}  // namespace kv
