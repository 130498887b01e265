#include "personal/alarms.h"

#include <cstdio>

#include "personal/schedule.h"
#include "resources/strings.h"
#include "personal/clock_tick.h"
#include "base/filesystem.h"
#include "base/settings.h"
#include "base/bytes.h"
#include "store/container.h"
#include "store/container_format.h"

namespace kv {

namespace {

constexpr int kNoneText = 1117;
constexpr size_t kSoundFieldMax = 127;  // each part is read into a 128-byte buffer
constexpr const char* kAudioSection = "Audio";

AlarmState& State() {
  static AlarmState state;
  return state;
}

// Switches the armed byte of the alarm that went off last. A month that cannot be opened
// leaves the item armed; it then goes off again at the next search.
void Acknowledge(const PendingAlarm& shown) {
  if (shown.id == 0 || shown.day < 1 || shown.day > 31) return;
  DbListingPause pause;
  if (!DbOpen(kDbModeWrite, shown.monthKey, kCallerAlarmAck)) return;
  DbRequest r;
  r.id = shown.id;
  r.chain = shown.monthKey;
  r.day = static_cast<uint8_t>(shown.day);
  r.type = kDbTypeSchedItem;
  if (DbAccess(kDbRead, r) && r.block.size() >= kSchedItemSize && r.block[11] != 0) {
    r.block[11] = 0;
    r.mode &= 0xFF;
    DbAccess(kDbWrite, r);
  }
  DbClose();
}

}  // namespace

AlarmState& Alarms() { return State(); }

void AlarmFindNextOn(const DateStamp& today, bool acknowledge) {
  AlarmState& s = State();
  if (acknowledge) {
    Acknowledge(s.shown);
    s.shown = PendingAlarm();
  }
  s.pending = PendingAlarm();
  const SchedListEntry* best = nullptr;
  std::vector<SchedListEntry> list;
  if (IsValidDate(today.month, today.day, today.year))
    list = SchedListRange(today.month, today.month, today.year, today.day, today.day, 1);
  for (const SchedListEntry& e : list) {
    if (e.alarmByte == 0 || e.alarm >= kAlarmNone) continue;
    if (!best || e.alarm < best->alarm) best = &e;
  }
  if (best) {
    PendingAlarm& p = s.pending;
    DateStamp start = SplitMinuteKey(best->start);
    int month = best->month & 0x0F;
    int year = start.year;
    // The record may lie in the neighbouring month across a year end when the zone moved it.
    if (month == 12 && start.month == 1) --year;
    else if (month == 1 && start.month == 12) ++year;
    p.minute = best->alarm;
    p.sound = best->alarmByte == kSchedAlarmSilent ? 0 : best->alarmByte;
    p.eventTime = start.hour * 60 + start.minute;
    p.id = best->id;
    p.day = best->day;
    p.monthKey = (static_cast<uint32_t>(year) << 16) | static_cast<uint32_t>(month);
    p.title = best->title;
  }
  SetNextAlarmMinute(s.pending.minute);
}

void AlarmFindNext(bool acknowledge) { AlarmFindNextOn(Today(), acknowledge); }

bool AlarmGoOff() {
  AlarmState& s = State();
  if (s.pending.minute == kAlarmNone) return false;
  if (s.dialogOpen) {
    // One alarm at a time: this one waits until the open one has been dismissed, so that the
    // dismissal switches off the alarm the user actually saw.
    SetNextAlarmMinute(s.pending.minute);
    return false;
  }
  s.shown = s.pending;
  s.pending.minute = kAlarmNone;
  s.dialogOpen = true;
  return true;
}

AlarmTickResult AlarmTick(const CurrentTime& now) {
  AlarmTickResult out;
  TickState& tick = ClockTickState();
  TickResult r = AdvanceTick(tick, now);
  out.minuteChanged = r.minuteChanged;
  out.dateChanged = r.dayChanged;
  if (r.dayChanged) AlarmFindNextOn(tick.today, false);
  out.minuteMessage = r.minuteChanged && State().dialogOpen;
  if (TakeDueAlarm(tick, now.minuteOfDay)) out.goesOff = AlarmGoOff();
  return out;
}

void AlarmsFollowDatabaseFolder() {
  State().shown.id = 0;
  AlarmFindNext(false);
}

void AlarmDialogClosed() {
  State().dialogOpen = false;
  AlarmFindNext(true);
}

void InstallAlarmHooks(AlarmPresenter present) {
  AlarmHooks hooks;
  hooks.dateChanged = [] { AlarmFindNext(false); };
  hooks.fire = [present] {
    if (AlarmGoOff() && present) present(State().shown);
  };
  SetAlarmHooks(std::move(hooks));
  // A stored, moved or deleted item can change which alarm comes next.
  SetSchedChangedHook([] { AlarmFindNext(false); });
  AlarmFindNext(false);
}

// ---- sounds ---------------------------------------------------------------------------------

void AlarmDefaultSounds(const std::string& programFolder) {
  static constexpr const char* kDefaults[kAlarmSounds] = {"Soft Chime", "Fog Horn", "Kettle",  "Fireworks",
                                                          "Bongo",      "Doorbell", "Ray Gun", "Burglar Alarm"};
  AlarmSound sound;
  for (int i = 0; i < kAlarmSounds; ++i) {
    std::string name = AlarmSoundValueName(i + 1);
    if (ParseAlarmSoundValue(RegReadSetting("Audio", name), sound)) continue;
    std::string wave = JoinWindowsPath(JoinWindowsPath(programFolder, "Alarms"), std::string(kDefaults[i]) + ".wav");
    RegWriteSetting("Audio", name, AlarmSoundValue({kDefaults[i], wave}));
  }
}

std::string AlarmSoundValueName(int index) { return FormatText("AlarmSound%d", index); }

std::string AlarmSoundValue(const AlarmSound& sound) {
  // Built by appending: GCC 12 warns falsely about a literal in front of a temporary string.
  std::string value = "\"";
  value.append(sound.description, 0, kSchedTitleMax).append("\",").append(sound.path);
  return value;
}

bool ParseAlarmSoundValue(const std::string& value, AlarmSound& sound) {
  // A quoted description, a comma, the path; each read into a 128-byte buffer.
  char description[kSoundFieldMax + 1], path[kSoundFieldMax + 1];
  if (std::sscanf(value.c_str(), " \"%127[^\"]\",%127[^\n]", description, path) != 2) return false;
  sound.description = description;
  sound.path = path;
  return true;
}

bool AlarmSoundName(int index, AlarmSound& sound) {
  if (index < 1 || index > kAlarmSounds) return false;
  return ParseAlarmSoundValue(RegReadSetting(kAudioSection, AlarmSoundValueName(index)), sound);
}

void AlarmSaveSounds(const std::array<AlarmSound, kAlarmSounds>& sounds) {
  std::string none(StringText(kNoneText));
  for (int i = 1; i <= kAlarmSounds; ++i) {
    const AlarmSound& s = sounds[static_cast<size_t>(i - 1)];
    // An empty text deletes the value.
    RegWriteSetting(kAudioSection, AlarmSoundValueName(i), s.path == none ? std::string() : AlarmSoundValue(s));
  }
}

std::string AlarmSoundPath(int index) {
  AlarmSound s;
  if (index == 0 || !AlarmSoundName(index, s) || s.path == StringText(kNoneText)) return std::string();
  return s.path;
}

void ResetAlarms() { State() = AlarmState(); }

}  // namespace kv
