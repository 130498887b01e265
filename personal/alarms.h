// Alarms: the pending alarm of the current day, found among the schedule's armed items; the
// clock tick's part (date change, minute message, going off); acknowledging an alarm that went
// off by switching its item's alarm off; and the eight configurable sounds kept as settings.
// No timer, dialog or sound playing here: the front end acts on what these functions decide.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "calendar/clock.h"
#include "calendar/dates.h"

namespace kv {

constexpr int kAlarmNone = 1500;  // the pending minute when nothing is pending
constexpr int kAlarmSounds = 8;
constexpr int kCallerAlarmAck = 1107;

struct PendingAlarm {
  int minute = kAlarmNone;  // minute of the current day it goes off, signed
  int sound = 0;            // 0 ... 8, 0 = no sound
  int eventTime = 0;        // the item's start, minutes after midnight
  uint16_t id = 0;          // the item's record id ...
  int day = 0;              // ... day ...
  uint32_t monthKey = 0;    // ... and month file ((year << 16) | month)
  std::string title;
};

struct AlarmState {
  PendingAlarm pending;     // what goes off next
  PendingAlarm shown;       // what went off last (acknowledged when its dialog closes)
  bool dialogOpen = false;
};
AlarmState& Alarms();

// Switches off the alarm that went off last (when acknowledging), then sets the pending alarm
// from the armed items of `today`: the smallest alarm time below 1500, ties to the earlier start.
void AlarmFindNextOn(const DateStamp& today, bool acknowledge);
// The same for the clock's today.
void AlarmFindNext(bool acknowledge);

// What a tick asks of the front end.
struct AlarmTickResult {
  bool minuteChanged = false;   // refresh the clock display
  bool dateChanged = false;     // refresh the date display too (the next alarm was looked for)
  bool minuteMessage = false;   // the alarm dialog is open: beep and refresh its current time
  bool goesOff = false;         // open the alarm dialog for Alarms().shown and play its sound
};

// One tick against the current time at the point of reference.
AlarmTickResult AlarmTick(const CurrentTime& now);
// The pending alarm is due: it goes off unless an alarm dialog is still open (then it waits for
// that one to be dismissed). True when it went off.
bool AlarmGoOff();
// The calendar switched to another database folder. The pending alarm is looked for again in
// the new folder, and an alarm on show from the old one is no longer switched off when its
// dialog is dismissed: its record id would name another item in the new folder.
void AlarmsFollowDatabaseFolder();
// The alarm dialog was dismissed: the alarm it showed is switched off and the next one found.
void AlarmDialogClosed();
// Shows an alarm that went off (the alarm window), which calls AlarmDialogClosed when the user
// dismisses it.
using AlarmPresenter = std::function<void(const PendingAlarm& alarm)>;
// Plugs the alarms into the clock tick and the schedule's changes: the next alarm is looked for
// at once, on every date change and on every change of the schedule, and a due alarm goes off
// through `present`. Without a presenter a due alarm is only marked as gone off.
void InstallAlarmHooks(AlarmPresenter present = nullptr);

// ---- sounds ---------------------------------------------------------------------------------

struct AlarmSound {
  std::string description;  // at most 39 characters
  std::string path;
};

// "AlarmSound%d" of section "Audio".
std::string AlarmSoundValueName(int index);
// The value's text: "\"description\",path".
std::string AlarmSoundValue(const AlarmSound& sound);
// Reads a value: a quoted description and, after the comma, the path; false when either part
// is missing (the value then counts as missing).
bool ParseAlarmSoundValue(const std::string& value, AlarmSound& sound);
// The sound of index 1 ... 8 from the settings; false when missing or malformed.
bool AlarmSoundName(int index, AlarmSound& sound);
// The alarm sounds every start makes sure of: "AlarmSound1" ... "AlarmSound8" of the "Audio"
// section, created with their default descriptions and the wave files of the program folder's
// "Alarms" folder when missing or malformed.
void AlarmDefaultSounds(const std::string& programFolder);
// The sound setup's OK: writes each entry, or deletes its value when its path is "None".
void AlarmSaveSounds(const std::array<AlarmSound, kAlarmSounds>& sounds);
// The path to play for an index; empty for index 0, a missing value or the path "None".
std::string AlarmSoundPath(int index);

void ResetAlarms();

}  // namespace kv
