#include "personal/schedule_dialog.h"

#include <algorithm>

#include "base/messages.h"
#include "calendar/zone_conversion.h"
#include "overlays/event_editor.h"
#include "overlays/overlay_event.h"
#include "personal/alarms.h"
#include "personal/sound_setup.h"
#include "resources/strings.h"
#include "sky/zones.h"

namespace kv {

namespace {

constexpr int kBadValue = 20139;
constexpr int kNoneText = 1117;
constexpr uint8_t kAlarmWithoutSound = 255;

// A plausible lead for a stored alarm: within a day before the start.
bool PlausibleLead(int lead) { return lead >= 0 && lead < kMinutesPerDay; }

std::string Cut(const std::string& title) { return title.substr(0, std::min(title.size(), kSchedTitleMax)); }

}  // namespace

SchedDialogModel SchedDialogNew(const DateStamp& day, int startMinute, int endMinute, const SchedDialogDefaults& d) {
  SchedDialogModel m;
  m.isNew = true;
  m.date = DateOnly(day);
  std::optional<int> chosen;
  if (startMinute >= 0) chosen = startMinute;
  m.times = SchedNewItemTimes(chosen, d.summaryStartHour, std::clamp(d.alarmLead, 0, 240));
  // A dragged range: its later end is the item's end (a range of no length keeps the hour).
  if (startMinute >= 0 && endMinute >= 0 && MinuteOfDay(endMinute) != m.times.start) m.times.end = MinuteOfDay(endMinute);
  if (d.alarmChoice != 0) {
    m.sound = d.alarmChoice >= 1 && d.alarmChoice <= kAlarmSounds ? d.alarmChoice : 0;
    SchedSwitchAlarm(m.times, true);
  }
  m.monthCalendar = d.displayOnMonth;
  m.until = m.date;
  m.zone = CurrentZone();
  return m;
}

SchedDialogModel SchedDialogEdit(const SchedItem& item, const SchedDialogDefaults& d) {
  SchedDialogModel m;
  const SchedRecord& r = item.record;
  m.isNew = false;
  m.stored = item;
  m.date = DateStamp{item.year, static_cast<uint16_t>(item.month), static_cast<uint16_t>(item.day), 0, 0};
  m.times.start = MinuteOfDay(r.start);
  m.times.end = MinuteOfDay(r.end);
  m.times.alarmOn = r.armed != 0;
  int lead = m.times.start - r.alarm;
  m.times.lead = (m.times.alarmOn || PlausibleLead(lead)) ? lead : std::clamp(d.alarmLead, 0, 240);
  m.times.alarm = m.times.start - m.times.lead;
  m.sound = r.sound <= kAlarmSounds ? r.sound : 0;
  m.monthCalendar = (item.flag & kSchedFlagMonthCalendar) != 0;
  m.recurKind = std::max<int>(1, r.recurKind);
  m.recurN = r.recurKind == kKindEveryNDays ? r.recurCount : 0;
  m.until = m.date;
  m.title = Cut(r.title);
  m.zone = r.zone;
  return m;
}

std::optional<SchedItem> SchedFindShownItem(uint16_t id, const DateStamp& day) {
  if (id == 0 || !IsValidDate(day.month, day.day, day.year)) return std::nullopt;
  // The listed date is the stored one unless the item's zone moved it across midnight.
  for (int offset : {0, -1, 1, -2, 2}) {
    DateStamp d = AddDays(day.month, day.day, day.year, offset);
    if (auto item = SchedReadItem(d.year, d.month, d.day, id)) return item;
  }
  return std::nullopt;
}

namespace {

std::vector<RepeatChoice> Choices(const DateStamp& date, int n) {
  RepeatOffer offer;
  offer.target = RepeatFor::Schedule;
  offer.n = n;
  return Describe(date, offer);
}

}  // namespace

std::vector<int> SchedRecurKinds(const DateStamp& date) {
  std::vector<int> kinds;
  for (const RepeatChoice& c : Choices(date, 0)) kinds.push_back(c.kind);
  if (kinds.empty()) kinds.push_back(kKindOnce);
  return kinds;
}

std::vector<std::string> SchedRecurLabels(const DateStamp& date, int n) {
  std::vector<std::string> labels;
  for (const RepeatChoice& c : Choices(date, n)) labels.push_back(c.category + c.label);
  if (labels.empty()) labels.push_back(std::string(StringText(kNoneText)));
  return labels;
}

std::string SchedZoneName(int zone, const DateStamp& date, int start) {
  const ZoneRecord* z = FindZone(zone);
  if (!z) return {};
  DateStamp local = DateOnly(date);
  int minute = MinuteOfDay(start);
  local.hour = static_cast<uint16_t>(minute / 60);
  local.minute = static_cast<uint16_t>(minute % 60);
  bool daylight = z->HasDaylightRule() && IsValidDate(local.month, local.day, local.year) && IsDaylightAt(*z, local);
  return daylight && !z->daylightName.empty() ? z->daylightName : z->standardName;
}

std::vector<std::string> SchedSoundChoices() {
  std::vector<std::string> out{std::string(StringText(kNoneText))};
  for (int i = 1; i <= kAlarmSounds; ++i) {
    AlarmSound sound;
    bool named = AlarmSoundName(i, sound) && !sound.description.empty();
    out.push_back(named ? sound.description : SoundEntryName(i));
  }
  return out;
}

SchedSaveRequest SchedRequestOf(const SchedDialogModel& m, const SchedDialogFields& f, int end) {
  SchedSaveRequest req;
  SchedItem& item = req.item;
  const DateStamp date = f.date ? *f.date : m.date;
  bool moved = !m.isNew && (date.year != m.stored.year || date.month != m.stored.month || date.day != m.stored.day);
  if (!m.isNew) item = m.stored;
  item.action = m.isNew || moved ? kSchedActionNew : kSchedActionUpdate;
  item.year = date.year;
  item.month = date.month;
  item.day = date.day;
  SchedRecord& r = item.record;
  r.title = Cut(f.title);
  r.start = static_cast<int16_t>(f.start.value_or(m.times.start));
  r.end = static_cast<int16_t>(end);
  // The alarm time is kept while the alarm is off, so that switching it on again finds its lead.
  int alarm = f.alarmOn && f.alarm ? *f.alarm : r.start - m.times.lead;
  r.alarm = static_cast<int16_t>(std::clamp(alarm, -kMinutesPerDay + 1, kMinutesPerDay - 1));
  r.armed = f.alarmOn ? 1 : 0;
  r.sound = static_cast<uint8_t>(std::clamp(f.sound, 0, kAlarmSounds));
  r.zone = static_cast<uint8_t>(m.zone);
  r.recurKind = static_cast<uint8_t>(std::max(1, f.recurKind));
  int n = SchedKindTakesN(f.recurKind) ? f.count.value_or(0) : 0;
  r.recurCount = f.recurKind == kKindEveryNDays ? static_cast<uint8_t>(std::clamp(n, 0, 255)) : 0;
  if (m.isNew) r.seriesId = 0, r.noteId = 0;
  item.flag = f.monthCalendar ? (kSchedFlagItem | kSchedFlagMonthCalendar) : kSchedFlagItem;
  if (moved) {
    req.oldYear = m.stored.year;
    req.oldMonth = m.stored.month;
    req.oldDay = m.stored.day;
    req.oldId = m.stored.id;
    item.id = 0;
    // A series moved to another date is a new series: the old one stays as it was.
    if (r.recurKind >= 2) r.seriesId = 0;
  }
  req.until = f.until ? DateOnly(*f.until) : m.until;
  req.recurN = n;
  return req;
}

SchedDialogResult SchedDialogCommit(SchedDialogModel& m, const SchedDialogFields& f) {
  SchedDialogResult res;
  SchedDialogInput in;
  in.start = f.start;
  in.end = f.end;
  in.alarm = f.alarm;
  in.alarmOn = f.alarmOn;
  in.date = f.date;
  in.recurKind = f.recurKind;
  in.until = f.until;
  in.count = f.count;
  in.title = Cut(f.title);
  res.validation = SchedValidate(in);
  if (!res.validation.ok) return res;
  SchedSaveRequest req = SchedRequestOf(m, f, res.validation.end);
  res.store = SchedSave(req);
  res.saved = res.store.ok;
  if (res.saved) {
    m.stored = req.item;
    m.isNew = false;
  }
  return res;
}

SchedDialogResult SchedDialogRemove(SchedDialogModel& m, const SchedDialogFields& f) {
  SchedDialogResult res;
  if (m.isNew) return res;
  SchedSaveRequest req;
  req.item = m.stored;
  bool series = m.stored.record.recurKind >= 2 && m.stored.record.seriesId != 0;
  if (series) {
    bool dateOk = f.date && IsValidDate(f.date->month, f.date->day, f.date->year);
    bool untilOk = f.until && IsValidDate(f.until->month, f.until->day, f.until->year);
    if (!dateOk || !untilOk) {
      res.validation.messageId = kBadValue;
      res.validation.focus = dateOk ? SchedField::Until : SchedField::Date;
      ShowMessage(std::string(StringText(kBadValue)), MsgIcon::Warning);
      return res;
    }
    req.item.year = f.date->year;
    req.item.month = f.date->month;
    req.item.day = f.date->day;
    req.until = DateOnly(*f.until);
    req.recurN = m.recurN;
  }
  res.validation.ok = true;
  res.store = SchedRemove(req);
  res.saved = res.store.ok;
  return res;
}

SchedDialogDefaults SchedRememberedDefaults(const SchedDialogDefaults& before, const SchedDialogFields& saved) {
  SchedDialogDefaults d = before;
  d.displayOnMonth = saved.monthCalendar;
  d.alarmChoice = !saved.alarmOn ? 0 : saved.sound >= 1 && saved.sound <= kAlarmSounds ? saved.sound : kAlarmWithoutSound;
  return d;
}

SchedSettingsShown SchedShowSettings(int initialHour, int startHour, int endHour, int alarmLead, int increment,
                                     bool clock24) {
  SchedSettingsShown s;
  auto in24 = [](int h) { return std::clamp(h, 0, 23); };
  initialHour = in24(initialHour), startHour = in24(startHour), endHour = in24(endHour);
  s.defaultAlarm = -std::clamp(alarmLead, 0, 240);
  const std::vector<int>& steps = SchedIncrements();
  s.increment = std::find(steps.begin(), steps.end(), increment) != steps.end() ? increment : 15;
  if (clock24) {
    s.initialHour = initialHour, s.startHour = startHour, s.endHour = endHour;
    return s;
  }
  auto twelve = [](int h) { return h % 12 == 0 ? 12 : h % 12; };
  s.initialHour = twelve(initialHour);
  s.initialPm = initialHour >= 12;
  s.startHour = twelve(startHour);  // read back as a morning hour
  s.endHour = twelve(endHour);      // read back as an afternoon hour
  return s;
}

const std::vector<int>& SchedIncrements() {
  static const std::vector<int> steps{5, 10, 15, 20, 30, 60};
  return steps;
}

}  // namespace kv
