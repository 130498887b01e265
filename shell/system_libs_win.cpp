#include "shell/system_libs_win.h"

#include "base/system_library_win.h"

namespace kv {
namespace {

OptionalLibraries& State() {
  static OptionalLibraries libraries;
  return libraries;
}

template <typename F>
void Load(HMODULE module, const char* name, F& pointer) {
  pointer = module ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

}  // namespace

void LoadOptionalLibraries() {
  OptionalLibraries& l = State();
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
  GetVersionExA(&version);
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
  l.major = version.dwMajorVersion;
  l.minor = version.dwMinorVersion;
  // The libraries stay loaded for the life of the process.
  if (l.major >= 6) {
    HMODULE dwm = LoadSystemLibrary("dwmapi.dll");
    Load(dwm, "DwmExtendFrameIntoClientArea", l.DwmExtendFrameIntoClientArea);
    Load(dwm, "DwmEnableBlurBehindWindow", l.DwmEnableBlurBehindWindow);
  }
  if (l.major >= 5) {
    Load(LoadSystemLibrary("shlwapi.dll"), "PathUnExpandEnvStringsA", l.PathUnExpandEnvStringsA);
    HMODULE theme = LoadSystemLibrary("uxtheme.dll");
    Load(theme, "EnableThemeDialogTexture", l.EnableThemeDialogTexture);
    Load(theme, "OpenThemeData", l.OpenThemeData);
    Load(theme, "CloseThemeData", l.CloseThemeData);
    Load(theme, "DrawThemeBackground", l.DrawThemeBackground);
    Load(theme, "DrawThemeTextEx", l.DrawThemeTextEx);
    Load(theme, "IsCompositionActive", l.IsCompositionActive);
    Load(theme, "GetThemeSysColorBrush", l.GetThemeSysColorBrush);
    Load(LoadSystemLibrary("comdlg32.dll"), "PrintDlgExA", l.PrintDlgExA);
  }
  if (l.major >= 4) Load(LoadSystemLibrary("msimg32.dll"), "AlphaBlend", l.AlphaBlend);
}

const OptionalLibraries& Libraries() { return State(); }

bool SystemSupported() { return State().major >= 4 && State().AlphaBlend != nullptr; }

}  // namespace kv
