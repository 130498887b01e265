// Screen resolution. The program is per-monitor aware: each top-level window sizes its fonts,
// pictures and fixed pixel measures for the monitor it is on, and follows WM_DPICHANGED when it
// moves to another. Sizes in the code are written for 96 pixels per inch and scaled here.
#pragma once

#include <windows.h>

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace kv {

inline constexpr int kDefaultDpi = 96;

// The system's resolution (the primary monitor's at log-on).
int SystemDpi();

// The resolution of the monitor a window is on; the system's on systems without per-monitor
// resolution, and for a null window.
int WindowDpi(HWND window);

// A size written for 96 pixels per inch at `dpi`, rounded to the nearest pixel.
inline int ScaleToDpi(int pixels, int dpi) { return MulDiv(pixels, dpi, kDefaultDpi); }

// GetSystemMetricsForDpi where the system has it, GetSystemMetrics scaled otherwise.
int SystemMetricForDpi(int index, int dpi);

}  // namespace kv
