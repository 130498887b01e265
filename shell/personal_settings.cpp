#include "shell/personal_settings.h"

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

}  // namespace kv
