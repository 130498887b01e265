// The schedule's editors in the running program: the "Schedule Event" dialog behind the views'
// "open a schedule item" and "new schedule item", and "&Scheduler..." (the "Configure
// Scheduler" dialog, template 182) with its settings kept in the open configuration.
#pragma once

#include <functional>

namespace kv {

// Installs both editors into the views and the command into the command table.
void InstallScheduleEditors();

// Called after "Configure Scheduler" changed the settings (the schedule window redraws its
// grid). An empty function removes it.
void SetSchedulerSettingsChangedHook(std::function<void()> hook);

}  // namespace kv
