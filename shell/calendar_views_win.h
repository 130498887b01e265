// Where the shell meets the calendar views: the views' options and fonts from the open
// configuration, the selected date at start, the commands of the Calendar menu that the views
// carry out (Quick Edit, Date..., Today, Overlay Tabs, Move back and forward), and the news of a
// new selected date for the schedule and notes windows.
#pragma once

namespace kv {

// Installs the command handler and the date hook and selects today (once, at start-up).
void InstallCalendarViews();

// Takes the options, colours and fonts of the open configuration into the views and lays the
// calendar window out again (after a configuration is opened or its options change).
void ApplyViewSettings();

}  // namespace kv
