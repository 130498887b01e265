#include "base/window_kit_win.h"

#include <string>

#include "base/messages.h"
#include "resources/strings.h"

namespace kv {

void ReportWindowException(HWND window, UINT message, const char* what) noexcept {
  // A failed paint would be asked for again at once: mark the window painted.
  if (message == WM_PAINT && window) ValidateRect(window, nullptr);
  static bool showing = false;  // an exception inside the box's own message loop waits its turn
  if (showing) return;
  showing = true;
  try {
    std::string reason = what && *what ? what : "unknown error";
    ShowMessage(FormatText(std::string(StringText(19000)).c_str(), reason.c_str()), MsgIcon::Stop);
  } catch (...) {
    MessageBeep(MB_ICONHAND);
  }
  showing = false;
}

}  // namespace kv
