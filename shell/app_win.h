// The running program's windows and start-up facts, shared by the frame, the desk and the
// modules that plug into them. One instance, reset only by a new start.
#pragma once

#include <windows.h>

#include <array>
#include <string>

namespace kv {

struct AppState {
  HINSTANCE instance = nullptr;
  HWND frame = nullptr;
  HWND mdiClient = nullptr;
  HWND toolbar = nullptr;
  HWND dateButton = nullptr;
  HWND clockButton = nullptr;
  HACCEL accelerators = nullptr;
  std::array<HWND, 7> desk{};  // indexed by desk code 1 ... 6

  // Modeless windows whose keyboard messages the main loop hands over, in this order.
  HWND mapTools = nullptr;
  HWND search = nullptr;

  bool autoSave = false;       // "AutoSave" = "1"
  int clockIcon = 15;          // "ClockIcon"; 0x100 = the desktop clock is enabled
  int screenWidth = 0;
  int screenHeight = 0;
  int cellIconSize = 32;
  bool firstRun = false;       // no settings of any release were found in the registry
  bool earlierLayoutFound = false;
  bool closing = false;        // the desk is being torn down
  DWORD startTick = 0;
  UINT colorOkMessage = 0;     // "commdlg_ColorOK"
  UINT setRgbMessage = 0;      // "commdlg_SetRGBColor"
};

AppState& App();

// The desk window of a code, or nullptr when it is closed.
HWND DeskWindow(int code);

}  // namespace kv
