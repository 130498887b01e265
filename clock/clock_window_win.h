// The desktop clock (class KVClock): a small window that stands in for the minimised frame,
// shows the time, date and weekday, can be dragged anywhere, and brings the frame back on a
// double click or through its menu.
#pragma once

#include <windows.h>

#include <functional>

#include "clock/clock_face.h"

namespace kv {

inline constexpr const char* kClockClass = "KVClock";

// What the clock needs of the program around it; the program fills it once at start.
struct ClockEnvironment {
  HINSTANCE instance = nullptr;
  HWND frame = nullptr;
  std::function<int()> setting;              // the "ClockIcon" value in force
  std::function<HFONT()> font;               // the text's font
  std::function<ClockColours()> colours;     // the plain clock's colours
  std::function<HWND()> searchWindow;        // hidden while the clock stands in
  // The system's optional functions; each may be empty (no glass, no glowing text).
  HRESULT(WINAPI* extendFrame)(HWND, const void*) = nullptr;
  HRESULT(WINAPI* compositionEnabled)(BOOL*) = nullptr;
  HANDLE(WINAPI* openTheme)(HWND, LPCWSTR) = nullptr;
  HRESULT(WINAPI* closeTheme)(HANDLE) = nullptr;
  HRESULT(WINAPI* drawThemeTextEx)(HANDLE, HDC, int, int, LPCWSTR, int, DWORD, RECT*, const void*) = nullptr;
  BOOL(WINAPI* alphaBlend)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION) = nullptr;
};
void SetClockEnvironment(ClockEnvironment environment);

// The procedure of the class (registered with the program's other classes, CS_DBLCLKS).
LRESULT CALLBACK ClockWindowProc(HWND window, UINT message, WPARAM wp, LPARAM lp);

// True when the system composes the desktop, so the glass clock can be offered.
bool GlassAvailable();

// Shows the clock in place of the frame and moves the frame out of sight; false when the clock
// could not be made (the frame then minimises as usual) or one is already shown.
bool ShowDesktopClock();
// Closes the clock bringing the frame back exactly as it was; nothing when no clock is shown.
void RestoreFrameFromClock();
// The clock window of this program, or nullptr.
HWND DesktopClockWindow();

}  // namespace kv
