// The frame window (class KV4Frame): menu, accelerators, toolbar, MDI client, the routing of
// every command, the clock tick, first use and shutdown.
#pragma once

#include <windows.h>

#include <functional>

#include "calendar/dates.h"
#include "shell/commands.h"

namespace kv {

inline constexpr const char* kFrameClass = "KV4Frame";

// A test may drive the program's clock: with the environment value KALVORA_TEST_CLOCK set to
// "YYYY-MM-DDTHH:MM" the program starts on that clock, and this message (its parameter a
// number of minutes) moves it and runs the tick. Without the value the message does nothing.
inline constexpr UINT kMsgTestAdvanceClock = WM_APP + 1;

LRESULT CALLBACK FrameWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

// Creates the frame (hidden, caption "Kalvora", its class menu); nullptr on failure.
HWND CreateFrame(HINSTANCE instance);

// The one place each module's commands arrive. A handler is asked first whether it carries
// out a command (run false) and then to carry it out (run true). Commands whose owner has no
// handler are greyed in the menus and do nothing.
using CommandHandler = std::function<bool(int command, bool run)>;
void SetCommandHandler(CommandOwner owner, CommandHandler handler);
bool CommandAvailable(int command);
// Hands a command to another owner's handler as well, when that one takes it.
bool ForwardToOwner(CommandOwner owner, int command);

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

// Carries out a command as if it had been chosen from the menu.
void RunCommand(HWND frame, int command);

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

}  // namespace kv
