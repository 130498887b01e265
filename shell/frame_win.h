// The frame window (class KV4Frame): menu, accelerators, toolbar, MDI client, the routing of
// every command, the clock tick, first use and shutdown.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "calendar/dates.h"
#include "base/command_table.h"
#include "shell/commands.h"

namespace kv {

inline constexpr const char* kFrameClass = "KV4Frame";

LRESULT CALLBACK FrameWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

// Creates the frame (hidden, caption "Kalvora", its class menu); nullptr on failure.
HWND CreateFrame(HINSTANCE instance);

// Each module's commands arrive through the command table (base/command_table.h); commands
// whose owner has no handler are greyed in the menus and do nothing.

// What the frame asks of the modules that stand in for it or greet the user; each may stay
// empty.
struct FrameHooks {
  // The desktop clock: shows itself instead of the minimized frame (true when it did), and
  // closes itself bringing the frame back.
  std::function<bool()> clockStandsIn;
  std::function<void()> clockRestoresFrame;
  // The welcome wizard of the first use (before the standard overlays are loaded).
  std::function<void()> welcome;
  // Relayout of the calendar after its overlays changed.
  std::function<void()> overlaysChanged;
};
FrameHooks& Hooks();

// The clock tick with its display updates (timer 99, message 1065).
void RunFrameTick();
void CALLBACK ClockTimerProc(HWND, UINT, UINT_PTR, DWORD);

// Starts the program on a fixed clock that kMsgTestAdvanceClock moves.
void InstallTestClock(const DateStamp& start);

// The frame's caption for the open configuration.
void SetFrameTitle();

// The frame's own commands (frame_commands_win.cpp).
bool RunFrameCommand(HWND frame, int command);
void OpenMapWindow();
void FinishFirstUseNow();
// Opens a configuration file and lays the desk out for it, without asking about the changes of
// the open one (the caller has); false when the file could not be read.
bool LoadConfigurationFile(HWND frame, const std::string& path);

}  // namespace kv
