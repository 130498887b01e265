// The settings of the personal windows as the configuration keeps them: the configuration
// record's fields turned into the settings the personal modules take.
#pragma once

#include "personal/schedule_window.h"
#include "personal/todo.h"
#include "shell/config.h"

namespace kv {

ToDoSettings ToDoSettingsFromConfig(const CalendarConfig& config);
// The schedule window's grid: initial hour, increment and the summary bar's hours (made sane).
ScheduleGridSettings ScheduleGridSettingsFromConfig(const CalendarConfig& config);
// The other way, after the "Configure To Do" page: every setting but the view choice, which
// the window's View menu keeps itself.
void ToDoSettingsIntoConfig(const ToDoSettings& settings, CalendarConfig& config);

}  // namespace kv
