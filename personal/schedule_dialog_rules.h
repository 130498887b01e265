// The rules of the "Schedule Event" dialog and of the schedule settings page that do not need a
// window: how end and alarm follow the start, a new item's times, the checks on OK in their
// order with the message and the field to focus.
#pragma once

#include <optional>
#include <string>

#include "calendar/dates.h"

namespace kv {

// The dialog's times (minutes after midnight; end 1440 and up: the next day).
struct SchedTimes {
  int start = 0;
  int end = 0;
  int alarm = 0;
  int lead = 0;       // start - alarm
  bool alarmOn = false;
};

// A new item: at the time chosen in the schedule window, else at the summary bar's start hour,
// lasting 60 minutes (an end past 23:59 wraps to the next day's early minutes); the alarm lead
// is the configured default.
SchedTimes SchedNewItemTimes(std::optional<int> chosenStart, int summaryStartHour, int defaultLead);
// Changing the start moves the end by the same amount (the duration kept modulo 1440) and the
// alarm with it (the lead kept).
void SchedMoveStart(SchedTimes& times, int newStart);
// Setting the alarm time sets the lead.
void SchedSetAlarmTime(SchedTimes& times, int alarm);
// Switching the alarm on fills the alarm time from the lead.
void SchedSwitchAlarm(SchedTimes& times, bool on);
// The alarm switch's caption: "(&On)" or "(&Off)".
std::string SchedAlarmCaption(bool on);

// The fields on OK; a value that could not be read is empty.
enum class SchedField { None, Start, End, AlarmTime, Date, Until, Count, Title };
enum class SchedTab { Event, Alarm };

struct SchedDialogInput {
  std::optional<int> start;
  std::optional<int> end;
  std::optional<int> alarm;       // read only when the alarm is on
  bool alarmOn = false;
  std::optional<DateStamp> date;
  int recurKind = 1;              // 2 and up: a series
  std::optional<DateStamp> until; // read only for a series
  std::optional<int> count;       // N, read for kinds 3, 13 and 14
  std::string title;
};

struct SchedValidation {
  bool ok = false;
  int messageId = 0;              // the text shown (0 when ok)
  SchedField focus = SchedField::None;
  SchedTab tab = SchedTab::Event;
  int end = 0;                    // the end to store: 1440 added when it is at or before the start
};

// The checks in order; a failure beeps and shows its message (through the messages seam).
SchedValidation SchedValidate(const SchedDialogInput& input);

// ---- the schedule settings page ------------------------------------------------------------

struct SchedSettingsInput {
  bool clock24 = true;
  std::optional<int> initialHour;  // 0 ... 23, or 1 ... 12 with initialPm on a 12-hour clock
  bool initialPm = false;
  std::optional<int> startHour;    // 12-hour clock: a morning hour 1 ... 12
  std::optional<int> endHour;      // 12-hour clock: an afternoon hour 1 ... 12 (12 is noon)
  std::optional<int> defaultAlarm; // 0 ... -240
};

enum class SchedSettingsField { None, InitialHour, StartHour, EndHour, DefaultAlarm };

struct SchedSettingsResult {
  bool ok = false;
  int messageId = 0;
  SchedSettingsField focus = SchedSettingsField::None;
  int initialHour = 0;  // 0 ... 23
  int startHour = 0;
  int endHour = 0;
  int alarmLead = 0;    // 0 ... 240
};

SchedSettingsResult SchedCheckSettings(const SchedSettingsInput& input);

// The rule kinds that repeat every N days, months or years (the dialog's 'N' field).
bool SchedKindTakesN(int kind);

}  // namespace kv
