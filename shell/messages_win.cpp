#include "shell/messages_win.h"

namespace kv {
namespace {

UINT IconFlags(MsgIcon icon) {
  switch (icon) {
    case MsgIcon::Information: return MB_ICONINFORMATION;
    case MsgIcon::Warning: return MB_ICONEXCLAMATION;
    case MsgIcon::Stop: return MB_ICONSTOP;
    case MsgIcon::Question: return MB_ICONQUESTION;
    default: return 0;
  }
}

UINT ButtonFlags(MsgButtons buttons) {
  switch (buttons) {
    case MsgButtons::OkCancel: return MB_OKCANCEL;
    case MsgButtons::YesNo: return MB_YESNO;
    case MsgButtons::YesNoCancel: return MB_YESNOCANCEL;
    case MsgButtons::RetryCancel: return MB_RETRYCANCEL;
    default: return MB_OK;
  }
}

UINT DefaultButtonFlags(int button) {
  return button == 2 ? MB_DEFBUTTON2 : button == 3 ? MB_DEFBUTTON3 : MB_DEFBUTTON1;
}

void Beep(MsgBeep beep) {
  switch (beep) {
    case MsgBeep::None: return;
    case MsgBeep::Information: MessageBeep(MB_ICONASTERISK); return;
    case MsgBeep::Warning: MessageBeep(MB_ICONEXCLAMATION); return;
    case MsgBeep::Stop: MessageBeep(MB_ICONHAND); return;
    case MsgBeep::Question: MessageBeep(MB_ICONQUESTION); return;
    default: MessageBeep(MB_OK); return;
  }
}

MsgAnswer FromId(int id) {
  switch (id) {
    case IDCANCEL: return MsgAnswer::Cancel;
    case IDYES: return MsgAnswer::Yes;
    case IDNO: return MsgAnswer::No;
    case IDRETRY: return MsgAnswer::Retry;
    default: return MsgAnswer::Ok;
  }
}

}  // namespace

MsgAnswer MessageBoxSink::Show(const UserMessage& m) {
  Beep(m.beep);
  HWND owner = m.owner == MsgOwner::Frame ? frame_ : m.owner == MsgOwner::Active ? GetActiveWindow() : nullptr;
  UINT flags = IconFlags(m.icon) | ButtonFlags(m.buttons) | DefaultButtonFlags(m.defaultButton);
  if (!owner) flags |= MB_TASKMODAL;
  int id = MessageBoxA(owner, m.text.c_str(), m.caption.empty() ? nullptr : m.caption.c_str(), flags);
  return FromId(id);
}

}  // namespace kv
