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

}  // namespace kv
