// The modem dialer's windows: dialling a phonebook number (the "Dial Preview" dialog when the
// number's mode asks for it, then the call with the "Kalvora Dialer" window) and the
// "Dialing Configuration" dialog of the Configure menu.
#pragma once

#include <windows.h>

#include <string>

#include "personal/phone.h"

namespace kv {

// Dials `number` in its own mode (or the settings' default) through the modem of the settings.
// `owner` owns the dialogs. Refused numbers, a port in use and other failures are told to the user.
void DialPhoneNumber(HINSTANCE instance, HWND owner, const std::string& number, DialAction mode);

// The "Dialing Configuration" dialog: the dialling page and the modem page.
INT_PTR RunDialingConfiguration(HINSTANCE instance, HWND owner);

}  // namespace kv
