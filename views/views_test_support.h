// What the views' tests share: a fresh calendar state, and the messages it shows recorded.
#pragma once

#include <gtest/gtest.h>

#include "base/messages.h"
#include "views/calendar_state.h"

namespace kv {

class FreshCalendarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetCalendarState();
    SetMessageSink(&messages_);
  }
  void TearDown() override {
    SetMessageSink(nullptr);
    ResetCalendarState();
  }
  ScriptedMessages messages_;
};

}  // namespace kv
