#include "shell/schedule_editor_win.h"

#include <windows.h>

#include <string>

#include "base/command_table.h"
#include "base/dialog_win.h"
#include "calendar/regional.h"
#include "personal/schedule_dialog.h"
#include "personal/schedule_dialog_win.h"
#include "resources/command_ids.h"
#include "resources/schedule_dialog.h"
#include "shell/app_win.h"
#include "shell/configuration.h"
#include "views/calendar_state.h"
#include "views/calendar_window_win.h"

namespace kv {
namespace {

std::function<void()>& SettingsChanged() {
  static std::function<void()> hook;
  return hook;
}

// What the open configuration gives a new item, and takes back from the last one saved.
SchedDialogDefaults DefaultsFromConfig() {
  const CalendarConfig& c = Config();
  return SchedDialogDefaults{c.summaryStartHour, c.alarmLead, c.displayOnMonth != 0, c.alarmChoice};
}

void Edit(const DateStamp& day, uint16_t id, int startMinute, int endMinute) {
  SchedDialogDefaults defaults = DefaultsFromConfig();
  bool changed = RunScheduleDialog(App().frame, day, id, startMinute, endMinute, defaults);
  CalendarConfig& c = Config();
  c.displayOnMonth = defaults.displayOnMonth ? 1 : 0;
  c.alarmChoice = static_cast<uint8_t>(defaults.alarmChoice);
  // The schedule window reloads through the schedule's own change hook.
  if (changed) RefreshCalendarViews();
}

// ---- "Configure Scheduler" --------------------------------------------------------------------

class SchedulerOptionsDialog : public Dialog {
 public:
  SchedulerOptionsDialog() : Dialog(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_SCHEDULER_OPTIONS)) {}

 protected:
  bool OnInit() override {
    const CalendarConfig& c = Config();
    const RegionalSettings& r = Regional();
    clock24_ = r.clock24;
    SchedSettingsShown s = SchedShowSettings(c.schedulerHour, c.summaryStartHour, c.summaryEndHour, c.alarmLead,
                                             c.schedulerIncrement, clock24_);
    SetInt(IDC_SCHEDOPT_INITIAL, s.initialHour);
    AddLine(IDC_SCHEDOPT_INITIAL_AMPM, r.morning);
    AddLine(IDC_SCHEDOPT_INITIAL_AMPM, r.afternoon);
    Select(IDC_SCHEDOPT_INITIAL_AMPM, s.initialPm ? 1 : 0);
    const std::vector<int>& steps = SchedIncrements();
    for (size_t i = 0; i < steps.size(); ++i) {
      AddLine(IDC_SCHEDOPT_INCREMENT, std::to_string(steps[i]));
      if (steps[i] == s.increment) Select(IDC_SCHEDOPT_INCREMENT, static_cast<int>(i));
    }
    SetInt(IDC_SCHEDOPT_START, s.startHour);
    SetInt(IDC_SCHEDOPT_END, s.endHour);
    SetText(IDC_SCHEDOPT_START_AMPM, r.morning);
    SetText(IDC_SCHEDOPT_END_AMPM, r.afternoon);
    for (int id : {IDC_SCHEDOPT_INITIAL_AMPM, IDC_SCHEDOPT_START_AMPM, IDC_SCHEDOPT_END_AMPM}) Show(id, !clock24_);
    SetInt(IDC_SCHEDOPT_ALARM, s.defaultAlarm);
    for (int id : {IDC_SCHEDOPT_INITIAL, IDC_SCHEDOPT_START, IDC_SCHEDOPT_END, IDC_SCHEDOPT_ALARM})
      SendDlgItemMessageA(hwnd(), id, EM_LIMITTEXT, 6, 0);
    return true;
  }

  bool OnOk() override {
    SchedSettingsInput in;
    in.clock24 = clock24_;
    in.initialHour = Int(IDC_SCHEDOPT_INITIAL);
    in.initialPm = Selection(IDC_SCHEDOPT_INITIAL_AMPM) == 1;
    in.startHour = Int(IDC_SCHEDOPT_START);
    in.endHour = Int(IDC_SCHEDOPT_END);
    in.defaultAlarm = Int(IDC_SCHEDOPT_ALARM);
    SchedSettingsResult r = SchedCheckSettings(in);
    if (!r.ok) {
      switch (r.focus) {
        case SchedSettingsField::InitialHour: FocusOn(IDC_SCHEDOPT_INITIAL); break;
        case SchedSettingsField::StartHour: FocusOn(IDC_SCHEDOPT_START); break;
        case SchedSettingsField::EndHour: FocusOn(IDC_SCHEDOPT_END); break;
        case SchedSettingsField::DefaultAlarm: FocusOn(IDC_SCHEDOPT_ALARM); break;
        case SchedSettingsField::None: break;
      }
      return false;
    }
    const std::vector<int>& steps = SchedIncrements();
    int step = Selection(IDC_SCHEDOPT_INCREMENT);
    CalendarConfig& c = Config();
    c.schedulerHour = static_cast<uint16_t>(r.initialHour);
    c.summaryStartHour = static_cast<uint8_t>(r.startHour);
    c.summaryEndHour = static_cast<uint8_t>(r.endHour);
    c.alarmLead = static_cast<uint8_t>(r.alarmLead);
    if (step >= 0 && step < static_cast<int>(steps.size())) c.schedulerIncrement = static_cast<uint8_t>(steps[static_cast<size_t>(step)]);
    ConfigState().summaryStartMinute = r.startHour * 60;
    ConfigState().summaryEndMinute = r.endHour * 60;
    SetConfigDirty();
    return true;
  }

 private:
  bool clock24_ = true;
};

}  // namespace

void SetSchedulerSettingsChangedHook(std::function<void()> hook) { SettingsChanged() = std::move(hook); }

void InstallScheduleEditors() {
  ViewEditors& editors = Editors();
  editors.openScheduleItem = [](int32_t number, const DateStamp& day) {
    if (number > 0 && number <= 0xFFFF) Edit(day, static_cast<uint16_t>(number), -1, -1);
  };
  editors.newScheduleItem = [](const DateStamp& day, int startMinute, int endMinute) {
    Edit(day, 0, startMinute, endMinute);
  };
  SetCommandHandler(CommandOwner::Schedule, [](int command, bool run) {
    if (command != CMD_SCHEDULER_OPTIONS) return false;
    if (!run) return true;
    SchedulerOptionsDialog dialog;
    if (dialog.RunModal(App().frame) == IDOK && SettingsChanged()) SettingsChanged()();
    return true;
  });
}

}  // namespace kv
