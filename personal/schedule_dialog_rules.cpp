#include "personal/schedule_dialog_rules.h"

#include "resources/strings.h"
#include "base/messages.h"

namespace kv {

namespace {

constexpr int kBadValue = 20139;
constexpr int kNeedsTitle = 21010;
constexpr int kBadTime = 21012;
constexpr int kBadCount = 21013;
constexpr int kAlarmAfterStart = 24000;
constexpr int kAlarmRange = 24010;
constexpr int kCaptionOn = 24012;
constexpr int kCaptionOff = 24013;

}  // namespace

bool SchedKindTakesN(int kind) { return kind == 3 || kind == 13 || kind == 14; }

SchedTimes SchedNewItemTimes(std::optional<int> chosenStart, int summaryStartHour, int defaultLead) {
  SchedTimes t;
  t.start = chosenStart ? MinuteOfDay(*chosenStart) : MinuteOfDay(summaryStartHour * 60);
  t.end = MinuteOfDay(t.start + 60);
  t.lead = defaultLead;
  t.alarm = t.start - t.lead;
  return t;
}

void SchedMoveStart(SchedTimes& t, int newStart) {
  int duration = MinuteOfDay(t.end - t.start);
  t.start = newStart;
  t.end = MinuteOfDay(newStart + duration);
  t.alarm = newStart - t.lead;
}

void SchedSetAlarmTime(SchedTimes& t, int alarm) {
  t.alarm = alarm;
  t.lead = t.start - alarm;
}

void SchedSwitchAlarm(SchedTimes& t, bool on) {
  t.alarmOn = on;
  if (on) t.alarm = t.start - t.lead;
}

std::string SchedAlarmCaption(bool on) { return std::string(StringText(on ? kCaptionOn : kCaptionOff)); }

SchedValidation SchedValidate(const SchedDialogInput& in) {
  SchedValidation v;
  auto fail = [&v](int id, SchedField field) {
    v.messageId = id;
    v.focus = field;
    v.tab = field == SchedField::AlarmTime ? SchedTab::Alarm : SchedTab::Event;
    ShowMessage(std::string(StringText(id)), MsgIcon::Warning);
    return v;
  };
  bool series = in.recurKind >= 2;
  if (!in.start || *in.start < 0 || *in.start >= kMinutesPerDay) return fail(kBadValue, SchedField::Start);
  if (!in.end || *in.end < 0 || *in.end >= kMinutesPerDay) return fail(kBadValue, SchedField::End);
  if (in.alarmOn && (!in.alarm || *in.alarm <= -kMinutesPerDay || *in.alarm >= kMinutesPerDay))
    return fail(kBadValue, SchedField::AlarmTime);
  if (!in.date || !IsValidDate(in.date->month, in.date->day, in.date->year)) return fail(kBadValue, SchedField::Date);
  if (series && (!in.until || !IsValidDate(in.until->month, in.until->day, in.until->year)))
    return fail(kBadValue, SchedField::Until);
  v.end = *in.end;
  if (v.end <= *in.start) v.end += kMinutesPerDay;
  else if (in.alarmOn && *in.alarm > *in.start) return fail(kAlarmAfterStart, SchedField::AlarmTime);
  if (series && SchedKindTakesN(in.recurKind) && (!in.count || *in.count < 1 || *in.count > 120))
    return fail(kBadCount, SchedField::Count);
  if (in.title.empty()) return fail(kNeedsTitle, SchedField::Title);
  v.ok = true;
  return v;
}

SchedSettingsResult SchedCheckSettings(const SchedSettingsInput& in) {
  SchedSettingsResult r;
  auto fail = [&r](int id, SchedSettingsField field) {
    r.messageId = id;
    r.focus = field;
    ShowMessage(std::string(StringText(id)), MsgIcon::Warning);
    return r;
  };
  auto hour = [&in](const std::optional<int>& h, int lo12, int& out, auto to24) {
    if (!h) return false;
    if (in.clock24) {
      if (*h < 0 || *h > 23) return false;
      out = *h;
      return true;
    }
    if (*h < lo12 || *h > 12) return false;
    out = to24(*h);
    return true;
  };
  if (!hour(in.initialHour, 1, r.initialHour, [&in](int h) { return in.initialPm ? (h == 12 ? 12 : h + 12) : (h == 12 ? 0 : h); }))
    return fail(kBadTime, SchedSettingsField::InitialHour);
  if (!hour(in.startHour, 1, r.startHour, [](int h) { return h == 12 ? 0 : h; }))
    return fail(kBadTime, SchedSettingsField::StartHour);
  if (!hour(in.endHour, 1, r.endHour, [](int h) { return h == 12 ? 12 : h + 12; }))
    return fail(kBadTime, SchedSettingsField::EndHour);
  if (!in.defaultAlarm || *in.defaultAlarm > 0 || *in.defaultAlarm < -240)
    return fail(kAlarmRange, SchedSettingsField::DefaultAlarm);
  r.alarmLead = -*in.defaultAlarm;
  r.ok = true;
  return r;
}

}  // namespace kv
