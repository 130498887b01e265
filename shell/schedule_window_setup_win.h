// Where the shell meets the schedule window: the calendar's selected date it follows, the
// schedule editors it opens, its grid settings from the open configuration and its font.
#pragma once

namespace kv {

// Installs the window's hooks (once, at start-up, after the calendar views).
void InstallScheduleWindow();

// Takes the schedule window's font from the shell's screen fonts and its grid settings from the
// configuration again (after a configuration is opened or its options change).
void ApplyScheduleWindowSettings();

}  // namespace kv
