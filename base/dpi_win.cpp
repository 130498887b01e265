#include "base/dpi_win.h"

namespace kv {
namespace {

// Windows 10 1607 and later; looked up so the program still starts on older systems.
template <typename F>
F User32Function(const char* name) {
  HMODULE user = GetModuleHandleA("user32.dll");
  return user ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(user, name))) : nullptr;
}

}  // namespace

int SystemDpi() {
  static const int dpi = [] {
    HDC screen = GetDC(nullptr);
    int value = screen ? GetDeviceCaps(screen, LOGPIXELSY) : kDefaultDpi;
    if (screen) ReleaseDC(nullptr, screen);
    return value > 0 ? value : kDefaultDpi;
  }();
  return dpi;
}

int WindowDpi(HWND window) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpi = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
  if (window && getDpi) {
    UINT dpi = getDpi(window);
    if (dpi > 0) return static_cast<int>(dpi);
  }
  return SystemDpi();
}

int SystemMetricForDpi(int index, int dpi) {
  using GetMetricFn = int(WINAPI*)(int, UINT);
  static const auto getMetric = User32Function<GetMetricFn>("GetSystemMetricsForDpi");
  if (getMetric) return getMetric(index, static_cast<UINT>(dpi));
  return MulDiv(GetSystemMetrics(index), dpi, SystemDpi());
}

}  // namespace kv
