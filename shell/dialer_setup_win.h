// Where the shell meets the modem dialer: Configure > "&Phone dialing..." and the phonebook's
// dial buttons.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "personal/phone.h"

namespace kv {

// Installs the Configure command (once, at start-up).
void InstallDialer(HINSTANCE instance, HWND frame);

// What the phonebook window calls to dial a number.
std::function<void(HWND window, const std::string& number, DialAction action)> DialerDialHook();

}  // namespace kv
