#include "shell/clock_setup_win.h"

#include <windows.h>

#include "base/canvas_gdi_win.h"
#include "base/command_table.h"
#include "clock/clock_dialog_win.h"
#include "clock/clock_window_win.h"
#include "clock/desktop_icon_win.h"
#include "resources/command_ids.h"
#include "shell/app_win.h"
#include "shell/configuration.h"
#include "shell/drawing_win.h"
#include "shell/frame_win.h"
#include "shell/location_dialogs_win.h"
#include "shell/system_libs_win.h"
#include "base/system_library_win.h"

namespace kv {
namespace {

ClockColours FrameColours() {
  ClockColours c;
  c.face = SystemColour(COLOR_BTNFACE);  // the frame's background
  c.text = SystemColour(COLOR_BTNTEXT);
  c.shadow = FromColorref(Config().shadowColour);
  c.highlight = SystemColour(COLOR_BTNHIGHLIGHT);
  c.frame = FromColorref(Config().gridColour);
  return c;
}

ClockEnvironment Environment() {
  const OptionalLibraries& l = Libraries();
  ClockEnvironment env;
  env.instance = App().instance;
  env.frame = App().frame;
  env.setting = [] { return App().clockIcon; };
  env.font = [] { return Drawing().dialogFont; };
  env.colours = FrameColours;
  env.searchWindow = []() -> HWND { return App().search && IsWindow(App().search) ? App().search : nullptr; };
  env.extendFrame = l.DwmExtendFrameIntoClientArea;
  if (l.DwmExtendFrameIntoClientArea) {
    // Loaded already by the optional libraries: this only takes another reference.
    if (HMODULE dwm = LoadSystemLibrary("dwmapi.dll"))
      env.compositionEnabled = reinterpret_cast<HRESULT(WINAPI*)(BOOL*)>(
          reinterpret_cast<void*>(GetProcAddress(dwm, "DwmIsCompositionEnabled")));
  }
  env.openTheme = l.OpenThemeData;
  env.closeTheme = l.CloseThemeData;
  env.drawThemeTextEx = l.DrawThemeTextEx;
  env.alphaBlend = l.AlphaBlend;
  return env;
}

// The frame's own size state stays what it was while the clock stands in (leaving a maximised
// state on the way out of sight is not the user's choice).
bool ClockStandsIn() {
  uint8_t state = Config().desk.frameState;
  bool shown = ShowDesktopClock();
  Config().desk.frameState = state;
  return shown;
}

}  // namespace

void InstallDesktopClock() {
  SetClockEnvironment(Environment());
  Hooks().clockStandsIn = ClockStandsIn;
  Hooks().clockRestoresFrame = RestoreFrameFromClock;
  SetCommandHandler(CommandOwner::DesktopClock, [](int command, bool run) {
    if (command != CMD_ICONIC_CLOCK) return false;
    if (run) RunClockIconDialog(App().instance, App().frame, App().clockIcon);
    return true;
  });
  SetCommandHandler(CommandOwner::DesktopIcon, [](int command, bool run) {
    if (command != CMD_DESKTOP_ICON) return false;
    if (run) RunDesktopIconDialog(App().frame);
    return true;
  });
  // The welcome wizard's "Desktop Icon" step.
  WelcomeStepsInUse().desktopIcon = [](HWND owner) { return RunDesktopIconDialog(owner); };
}

}  // namespace kv
