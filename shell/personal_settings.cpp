#include "shell/personal_settings.h"

#include <algorithm>

namespace kv {

ToDoSettings ToDoSettingsFromConfig(const CalendarConfig& config) {
  ToDoSettings s;
  s.sortByPriority = config.todoSortByPriority != 0;
  s.viewAll = config.todoView != 0;
  s.hideCompleted = config.todoViewPending != 0;
  s.removeAfterDays = config.todoRemoveAfterDays;
  s.logRemoved = config.todoLog != 0;
  s.archiveName = config.todoLogFile;
  s.logNotes = config.todoLogNotes != 0;
  return s;
}

ScheduleGridSettings ScheduleGridSettingsFromConfig(const CalendarConfig& config) {
  ScheduleGridSettings s;
  s.increment = config.schedulerIncrement;
  s.initialHour = config.schedulerHour;
  s.summaryStartHour = config.summaryStartHour;
  s.summaryEndHour = config.summaryEndHour;
  return SaneGridSettings(s);
}

void ToDoSettingsIntoConfig(const ToDoSettings& s, CalendarConfig& config) {
  config.todoSortByPriority = s.sortByPriority ? 1 : 0;
  config.todoViewPending = s.hideCompleted ? 1 : 0;
  config.todoRemoveAfterDays = static_cast<uint16_t>(std::clamp(s.removeAfterDays, 0, 0xFFFF));
  config.todoLog = s.logRemoved ? 1 : 0;
  config.todoLogFile = s.archiveName.substr(0, 255);
  config.todoLogNotes = s.logNotes ? 1 : 0;
}

}  // namespace kv
