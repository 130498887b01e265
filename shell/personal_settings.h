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

}  // namespace kv
