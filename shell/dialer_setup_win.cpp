#include "shell/dialer_setup_win.h"

#include "base/command_table.h"
#include "devices/dialer_win.h"
#include "resources/command_ids.h"
#include "shell/app_win.h"

namespace kv {

void InstallDialer(HINSTANCE instance, HWND frame) {
  SetCommandHandler(CommandOwner::Dialer, [instance, frame](int command, bool run) {
    if (command != CMD_PHONE_DIALING) return false;
    if (run) RunDialingConfiguration(instance, frame);
    return true;
  });
}

std::function<void(HWND window, const std::string& number, DialAction action)> DialerDialHook() {
  return [](HWND window, const std::string& number, DialAction action) {
    DialPhoneNumber(App().instance, GetAncestor(window, GA_ROOT), number, action);
  };
}

}  // namespace kv
