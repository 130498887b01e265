// What the "Schedule Event" dialog does apart from its window: the values it opens with for a
// new or a stored item, the recurrence choices for its date, the zone name it shows, the check
// on OK turned into a save request, storing and removing; and the scheduler settings shown in
// the form of the user's clock. The window only reads its controls into SchedDialogFields and
// shows what these return.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "calendar/dates.h"
#include "personal/schedule.h"
#include "personal/schedule_dialog_rules.h"

namespace kv {

// What the configuration gives a new item.
struct SchedDialogDefaults {
  int summaryStartHour = 6;     // a new item without a chosen time starts at this hour
  int alarmLead = 5;            // default alarm: minutes before the start
  bool displayOnMonth = false;  // the box as the last saved item left it
  int alarmChoice = 0;          // the sound of the last saved item with an alarm; 0 = no alarm
};

// The dialog's values.
struct SchedDialogModel {
  bool isNew = true;
  SchedItem stored;             // the stored item (its date, id, record) when not new
  DateStamp date;
  SchedTimes times;
  int sound = 0;                // 0 = none, 1 ... 8
  bool monthCalendar = false;
  int recurKind = 1;            // 1 single; 2 and up a series
  int recurN = 0;               // N of kinds 3, 13 and 14 (0: not known)
  DateStamp until;              // last date of a series
  std::string title;
  int zone = 0;                 // zone identifier the times are entered in
};

// A new item on `day` (startMinute / endMinute -1: no time chosen; an end is taken only with a
// start), in the current zone.
SchedDialogModel SchedDialogNew(const DateStamp& day, int startMinute, int endMinute, const SchedDialogDefaults& defaults);
// A stored item as the dialog shows it: its own times in its own zone, the end within the day.
SchedDialogModel SchedDialogEdit(const SchedItem& item, const SchedDialogDefaults& defaults);

// The stored item `id` that the calendar shows on `day`: it lies on that day, or on a
// neighbouring day when its zone moved it across midnight. Nothing when it is gone.
std::optional<SchedItem> SchedFindShownItem(uint16_t id, const DateStamp& day);

// The "&Recurs:" choices for a date: the schedule's rule kinds and their labels (N shown when
// known). A date typed anew may not offer the kind chosen before; the list then starts over.
std::vector<int> SchedRecurKinds(const DateStamp& date);
std::vector<std::string> SchedRecurLabels(const DateStamp& date, int n);

// The zone's standard or daylight name for a date and start time; empty for an unknown zone.
std::string SchedZoneName(int zone, const DateStamp& date, int start);

// The sound list: "None", then the eight sounds by description (their entry names when they
// have none).
std::vector<std::string> SchedSoundChoices();

// What the controls hold on OK; a value that could not be read is empty.
struct SchedDialogFields {
  std::optional<int> start, end, alarm;
  bool alarmOn = false;
  std::optional<DateStamp> date;
  int recurKind = 1;
  std::optional<DateStamp> until;
  std::optional<int> count;
  std::string title;
  int sound = 0;
  bool monthCalendar = false;
};

// OK: the checks in order (a failure has been shown; `validation` says where to go), then the
// item stored. `saved` is true when the schedule changed; the dialog closes then, and when the
// user cancelled a question or a conflict refused the item it stays open as it was.
struct SchedDialogResult {
  SchedValidation validation;
  bool saved = false;
  SchedSaveResult store;
};
SchedDialogResult SchedDialogCommit(SchedDialogModel& model, const SchedDialogFields& fields);

// "&Remove": asks, then deletes the item or the series' occurrences from the dialog's date
// through the until date. A series needs a readable until date ("Bad value ..." otherwise).
SchedDialogResult SchedDialogRemove(SchedDialogModel& model, const SchedDialogFields& fields);

// The save request the checked fields make (no messages, nothing stored).
SchedSaveRequest SchedRequestOf(const SchedDialogModel& model, const SchedDialogFields& fields, int end);

// What the last saved item leaves for the next new one.
SchedDialogDefaults SchedRememberedDefaults(const SchedDialogDefaults& before, const SchedDialogFields& saved);

// ---- the scheduler settings -----------------------------------------------------------------

// The stored hours as the page shows them: on a 12-hour clock 1 ... 12 with the initial hour's
// PM choice (the start hour is a morning hour, the end hour an afternoon hour).
struct SchedSettingsShown {
  int initialHour = 0;
  bool initialPm = false;
  int startHour = 0;
  int endHour = 0;
  int defaultAlarm = 0;  // the lead negated: 0 ... -240
  int increment = 15;
};
SchedSettingsShown SchedShowSettings(int initialHour, int startHour, int endHour, int alarmLead, int increment,
                                     bool clock24);
// The increments offered, in list order.
const std::vector<int>& SchedIncrements();

}  // namespace kv
