// Entry of kalvora.exe.
#include <windows.h>

#include "calendar/clock_win.h"
#include "shell/frame_win.h"
#include "shell/messages_win.h"
#include "shell/settings_win.h"

namespace kv {
namespace {

// A second start only brings the running frame to the top.
bool ActivateRunningInstance() {
  HWND frame = FindWindowA(kFrameClass, nullptr);
  if (!frame) return false;
  if (IsIconic(frame)) ShowWindow(frame, SW_RESTORE);
  SetForegroundWindow(frame);
  BringWindowToTop(frame);
  return true;
}

int RunMessageLoop() {
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}

int Main(HINSTANCE instance, int show) {
  if (ActivateRunningInstance()) return 0;

  static RegistrySettings settings;
  static MessageBoxSink messages;
  static Win32Clock clock;
  SetSettingsStore(&settings);
  SetMessageSink(&messages);
  SetClockSource(&clock);
  SetRegional(ReadRegionalSettings());

  if (!RegisterFrameClass(instance)) return 1;
  HWND frame = CreateFrame(instance);
  if (!frame) return 1;
  messages.SetFrame(frame);
  ShowWindow(frame, show);
  UpdateWindow(frame);
  return RunMessageLoop();
}

}  // namespace
}  // namespace kv

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) { return kv::Main(instance, show); }
