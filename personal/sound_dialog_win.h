// "Sou&nd..." (command 1211): the "Kalvora Sound Setup" dialog (template 124), where the eight
// alarm sounds get their descriptions and wave files.
#pragma once

#include <windows.h>

namespace kv {

// Plugs the command into the command table (owner Alarms); the dialog opens over `owner`.
void InstallSoundCommand(HINSTANCE instance, HWND owner);

// Runs the dialog modal over `owner`; IDOK when the sounds were saved.
INT_PTR RunSoundSetup(HINSTANCE instance, HWND owner);

}  // namespace kv
