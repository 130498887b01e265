#include "base/messages.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

TEST(Messages, RecordsTextsAndAnswersFromTheScript) {
  ScriptedMessages sink;
  ScopedMessageSink scope(sink);
  sink.Answer(MsgAnswer::No);
  EXPECT_EQ(ShowMessage("Delete?", MsgIcon::Question, MsgButtons::YesNo), MsgAnswer::No);
  // Script exhausted: the default button answers.
  EXPECT_EQ(ShowMessage("Again?", MsgIcon::Question, MsgButtons::YesNo), MsgAnswer::Yes);
  // A plain notice never consumes a scripted answer.
  sink.Answer(MsgAnswer::Cancel);
  EXPECT_EQ(ShowMessage("Note", MsgIcon::Information), MsgAnswer::Ok);
  EXPECT_EQ(ShowMessage("Proceed?", MsgIcon::Question, MsgButtons::OkCancel), MsgAnswer::Cancel);
  ASSERT_EQ(sink.Shown().size(), 4u);
  EXPECT_EQ(sink.Shown()[0].caption, "Kalvora");
  EXPECT_EQ(sink.Shown()[0].beep, MsgBeep::Question);
  EXPECT_EQ(sink.Texts()[2], "Note");
}

TEST(Messages, FallbacksAcceptOrDecline) {
  ScriptedMessages sink;
  ScopedMessageSink scope(sink);
  sink.SetFallback(ScriptedMessages::Fallback::Decline);
  EXPECT_EQ(ShowMessage("?", MsgIcon::Question, MsgButtons::YesNo), MsgAnswer::No);
  EXPECT_EQ(ShowMessage("?", MsgIcon::Question, MsgButtons::OkCancel), MsgAnswer::Cancel);
  EXPECT_EQ(ShowMessage("?", MsgIcon::Question, MsgButtons::YesNoCancel), MsgAnswer::Cancel);
  sink.SetFallback(ScriptedMessages::Fallback::Accept);
  EXPECT_EQ(ShowMessage("?", MsgIcon::Question, MsgButtons::RetryCancel), MsgAnswer::Retry);
  EXPECT_EQ(DefaultAnswer(MsgButtons::YesNo, 2), MsgAnswer::No);  // the second button is the default
}

}  // namespace
}  // namespace kv
