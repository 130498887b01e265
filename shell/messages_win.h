// Messages to the user as message boxes.
#pragma once

#include <windows.h>

#include "base/messages.h"

namespace kv {

class MessageBoxSink : public MessageSink {
 public:
  MsgAnswer Show(const UserMessage& message) override;
  // The frame window, owner of messages that ask for it.
  void SetFrame(HWND frame) { frame_ = frame; }

 private:
  HWND frame_ = nullptr;
};

}  // namespace kv
