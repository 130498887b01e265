// The settings of the personal windows as the configuration keeps them: the configuration
// record's fields turned into the settings the personal modules take.
#pragma once

#include "personal/todo.h"
#include "shell/config.h"

namespace kv {

ToDoSettings ToDoSettingsFromConfig(const CalendarConfig& config);

}  // namespace kv
