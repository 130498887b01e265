// The frame window (class KV4Frame) that every other window of the program lives in.
#pragma once

#include <windows.h>

namespace kv {

inline constexpr const char* kFrameClass = "KV4Frame";

// Registers the frame's window class; false when the system refused it.
bool RegisterFrameClass(HINSTANCE instance);

// Creates the frame with the caption "Kalvora"; nullptr on failure.
HWND CreateFrame(HINSTANCE instance);

}  // namespace kv
