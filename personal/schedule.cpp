#include "personal/schedule.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "calendar/date_format.h"
#include "calendar/zone_conversion.h"
#include "overlays/overlay_event.h"
#include "overlays/overlay_rules.h"
#include "personal/schedule_store.h"
#include "resources/strings.h"
#include "base/messages.h"
#include "base/bytes.h"
#include "store/container.h"
#include "store/container_format.h"
#include "base/file_io.h"

namespace kv {

namespace {

constexpr int kErrUpdatingSchedule = 24001;
constexpr int kConflictIntro = 24002;
constexpr int kCannotStore = 24003;
constexpr int kContinueScheduling = 24004;
constexpr int kReadyTo = 24005;
constexpr int kVerbSchedule = 24006;
constexpr int kVerbUpdate = 24007;
constexpr int kConflictSummary = 24008;
constexpr int kDeleteItems = 24009;
constexpr int kDialogTitle = 24011;

struct ScheduleState {
  SchedDayList day;
  void (*changed)() = nullptr;
  std::vector<std::pair<int, std::function<void()>>> listeners;
  int nextToken = 1;
};

ScheduleState& S() {
  static ScheduleState state;
  return state;
}

std::string Text(int id) { return std::string(StringText(id)); }

int Year(uint32_t key) { return static_cast<int>(key >> 16); }
int Month(uint32_t key) { return static_cast<int>(key & 0xFFFF); }

void Changed() {
  SchedDayList& d = S().day;
  if (d.year != 0) SchedLoadDay(d.day, MonthKey(d.year, d.month), 0, true);
  if (S().changed) S().changed();
  // A listener may add or remove listeners while it runs: walk a copy.
  auto listeners = S().listeners;
  for (auto& [token, listener] : listeners)
    if (listener) listener();
}

void ShowWriteError() { ShowMessage(Text(kErrUpdatingSchedule), MsgIcon::Warning); }

}  // namespace

// ---- the record ----------------------------------------------------------------------------

std::optional<SchedRecord> ParseSchedRecord(std::span<const uint8_t> bytes) {
  if (bytes.size() < kSchedRecordBytes) return std::nullopt;
  const uint8_t* p = bytes.data();
  if (ReadU16LE(p) != kSchedRecordBytes || p[2] != kDbTypeSchedItem) return std::nullopt;
  SchedRecord r;
  r.start = ReadI16LE(p + 4);
  r.end = ReadI16LE(p + 6);
  r.alarm = ReadI16LE(p + 8);
  r.sound = p[10];
  r.armed = p[11];
  r.noteId = ReadU16LE(p + 12);
  r.reserved14 = ReadU16LE(p + 14);
  r.recurKind = p[16];
  r.recurCount = p[17];
  r.seriesId = ReadU32LE(p + 18);
  r.title = ReadFixedText(p + 22, kSchedTitleMax);  // a title without its zero stops at 39
  r.zone = p[62];
  r.reserved63 = p[63];
  return r;
}

std::vector<uint8_t> SerializeSchedRecord(const SchedRecord& r) {
  std::vector<uint8_t> b(kSchedRecordBytes, 0);
  uint8_t* p = b.data();
  PutU16LE(p, kSchedRecordBytes);
  p[2] = kDbTypeSchedItem;
  PutI16LE(p + 4, r.start);
  PutI16LE(p + 6, r.end);
  PutI16LE(p + 8, r.alarm);
  p[10] = r.sound;
  p[11] = r.armed;
  PutU16LE(p + 12, r.noteId);
  PutU16LE(p + 14, r.reserved14);
  p[16] = r.recurKind;
  p[17] = r.recurCount;
  PutU32LE(p + 18, r.seriesId);
  PutFixedText(p + 22, kSchedTitleField, std::string_view(r.title).substr(0, kSchedTitleMax));
  p[62] = r.zone;
  p[63] = r.reserved63;
  return b;
}

uint32_t MakeSeriesId(uint16_t firstId, uint32_t monthKey) {
  return (monthKey & ~uint32_t{0xFFF0}) | ((uint32_t{firstId} << 4) & 0xFFF0);
}

void SetSchedChangedHook(void (*hook)()) { S().changed = hook; }

int AddSchedChangedListener(std::function<void()> listener) {
  int token = S().nextToken++;
  S().listeners.emplace_back(token, std::move(listener));
  return token;
}

void RemoveSchedChangedListener(int token) {
  std::erase_if(S().listeners, [token](const auto& l) { return l.first == token; });
}

// ---- reading and converting ------------------------------------------------------------------

std::vector<StoredSchedItem> ReadDayItems(uint32_t monthKey, int day) {
  std::vector<StoredSchedItem> out;
  DbRequest r;
  r.chain = monthKey;
  r.day = static_cast<uint8_t>(day);
  r.type = kDbTypeSchedItem;
  // The walk ends at the chain's end; the bound keeps a damaged chain from looping.
  for (int guard = 0; guard < 65536 && DbAccess(kDbRead, r); ++guard) {
    if (auto rec = ParseSchedRecord(r.block)) out.push_back({r.id, static_cast<uint8_t>(r.mode & 0xFF), *rec});
    r.mode = kDbFindNext;
  }
  return out;
}

int ZoneShift(const SchedRecord& record, int year, int month, int day) {
  int zone = CurrentZone();
  if (record.zone == zone || !IsValidDate(month, day, year)) return 0;
  int start = std::clamp<int>(record.start, 0, kMinutesPerDay - 1);
  DateStamp local{year, static_cast<uint16_t>(month), static_cast<uint16_t>(day),
                  static_cast<uint16_t>(start / 60), static_cast<uint16_t>(start % 60)};
  DateStamp there = ConvertZoneTime(local, record.zone, zone);
  if (!IsValidDate(there.month, there.day, there.year)) return 0;
  return (DayNumber(there.month, there.day, there.year) - DayNumber(month, day, year)) * kMinutesPerDay +
         there.hour * 60 + there.minute - start;
}

namespace {

// Days an item's date can move when its times are taken into another zone.
constexpr int kZoneMoveDays = 2;

// Floor division for minutes that may be negative.
int DaysOf(int minutes) { return minutes >= 0 ? minutes / kMinutesPerDay : -((-minutes + kMinutesPerDay - 1) / kMinutesPerDay); }

MinuteKey KeyAt(const DateStamp& date, int minutes) {
  int days = DaysOf(minutes);
  DateStamp d = days == 0 ? date : AddDays(date.month, date.day, date.year, days);
  int rest = minutes - days * kMinutesPerDay;
  return MakeMinuteKey(d.year, d.month, d.day, rest / 60, rest % 60);
}

}  // namespace

// ---- the range listing ----------------------------------------------------------------------

std::vector<SchedListEntry> SchedListRange(int fromMonth, int toMonth, int year, int fromDay, int toDay,
                                           uint8_t mask) {
  std::vector<SchedListEntry> out;
  if (fromMonth < 1 || fromMonth > 12 || toMonth < 1 || toMonth > 12 || year < 1 || year > 9999) return out;
  int lastYear = toMonth < fromMonth ? year + 1 : year;
  if (lastYear > 9999) return out;
  fromDay = std::clamp(fromDay, 1, MonthLength(fromMonth, year));
  toDay = std::clamp(toDay, 1, MonthLength(toMonth, lastYear));
  int32_t first = DayNumber(fromMonth, fromDay, year);
  int32_t last = DayNumber(toMonth, toDay, lastYear);
  if (last < first) return out;

  // The walk takes in two days on each side: an item of another zone stored on a neighbouring
  // day can fall within the range once moved into the current zone.
  DateStamp walkFirst = AddDays(fromMonth, fromDay, year, -kZoneMoveDays);
  DateStamp walkLast = AddDays(toMonth, toDay, lastYear, kZoneMoveDays);
  if (!IsValidDate(walkFirst.month, walkFirst.day, walkFirst.year)) walkFirst = {year, static_cast<uint16_t>(fromMonth), static_cast<uint16_t>(fromDay)};
  if (!IsValidDate(walkLast.month, walkLast.day, walkLast.year)) walkLast = {lastYear, static_cast<uint16_t>(toMonth), static_cast<uint16_t>(toDay)};
  DbListingPause pause;
  for (int y = walkFirst.year, m = walkFirst.month;;) {
    uint32_t key = MonthKey(y, m);
    bool firstMonth = y == walkFirst.year && m == walkFirst.month;
    bool lastMonth = y == walkLast.year && m == walkLast.month;
    if (FileExists(MonthFilePath(key)) && DbOpen(kDbModeRead, key, kCallerSchedList)) {
      int dayFrom = firstMonth ? walkFirst.day : 1;
      int dayTo = lastMonth ? walkLast.day : MonthLength(m, y);
      for (int d = dayFrom; d <= dayTo; ++d) {
        int32_t storedDn = DayNumber(m, d, y);
        bool inRange = storedDn >= first && storedDn <= last;
        for (const StoredSchedItem& it : ReadDayItems(key, d)) {
          if ((it.flag & mask) == 0) continue;
          const SchedRecord& rec = it.record;
          // Items of the current zone stay on their day: outside the range they are not wanted.
          if (!inRange && rec.zone == CurrentZone()) continue;
          int shift = ZoneShift(rec, y, m, d);
          int start = rec.start + shift;
          int moveDays = DaysOf(start);
          DateStamp date{y, static_cast<uint16_t>(m), static_cast<uint16_t>(d), 0, 0};
          if (moveDays != 0) date = AddDays(m, d, y, moveDays);
          int32_t dn = DayNumber(date.month, date.day, date.year);
          if (dn < first || dn > last) continue;
          int moved = shift - moveDays * kMinutesPerDay;
          SchedListEntry e;
          e.start = KeyAt(date, rec.start + moved);
          e.end = KeyAt(date, rec.end + moved);
          e.alarm = static_cast<int16_t>(std::clamp(rec.alarm + moved, -32768, 32767));
          e.id = it.id;
          e.noteId = rec.noteId;
          e.month = static_cast<uint8_t>(m | ((it.flag & kSchedFlagMonthCalendar) ? kSchedListMonthCalendar : 0));
          e.day = static_cast<uint8_t>(d);
          e.alarmByte = rec.armed ? (rec.sound ? rec.sound : kSchedAlarmSilent) : 0;
          e.zone = rec.zone;
          e.title = rec.title;
          out.push_back(std::move(e));
        }
      }
      DbClose();
    }
    if (lastMonth) break;
    if (++m > 12) m = 1, ++y;
  }
  std::stable_sort(out.begin(), out.end(),
                   [](const SchedListEntry& a, const SchedListEntry& b) { return a.start < b.start; });
  return out;
}

// ---- the day list ---------------------------------------------------------------------------

SchedDayList& SchedDay() { return S().day; }

void SchedLoadDay(int day, uint32_t monthKey, uint16_t selectId, bool reload) {
  SchedDayList& list = S().day;
  int year = Year(monthKey), month = Month(monthKey);
  if (!IsValidDate(month, day, year)) {
    list = SchedDayList();
    return;
  }
  bool same = list.year == year && list.month == month && list.day == day;
  if (!same || reload) {
    list = SchedDayList();
    list.year = year;
    list.month = month;
    list.day = day;
    DbListingPause pause;
    for (int offset = -1; offset <= 1; ++offset) {
      DateStamp d = AddDays(month, day, year, offset);
      if (!IsValidDate(d.month, d.day, d.year)) continue;
      uint32_t key = MonthKey(d.year, d.month);
      if (!FileExists(MonthFilePath(key)) || !DbOpen(kDbModeRead, key, kCallerSchedDay)) continue;
      for (const StoredSchedItem& it : ReadDayItems(key, d.day)) {
        SchedItem item;
        item.id = it.id;
        item.flag = it.flag;
        item.action = kSchedActionNone;
        item.year = d.year;
        item.month = d.month;
        item.day = d.day;
        item.record = it.record;
        int move = ZoneShift(it.record, d.year, d.month, d.day) + offset * kMinutesPerDay;
        auto moved = [move](int16_t v) { return static_cast<int16_t>(std::clamp(v + move, -32768, 32767)); };
        item.record.start = moved(it.record.start);
        item.record.end = moved(it.record.end);
        item.record.alarm = moved(it.record.alarm);
        list.items.push_back(std::move(item));
      }
      DbClose();
    }
    std::stable_sort(list.items.begin(), list.items.end(),
                     [](const SchedItem& a, const SchedItem& b) { return a.record.start < b.record.start; });
    for (const SchedItem& it : list.items) {
      if (it.record.start < 0) ++list.before;
      else if (it.record.start < kMinutesPerDay) ++list.within;
    }
  }
  if (selectId != 0) {
    for (size_t i = 0; i < list.items.size(); ++i)
      if (list.items[i].id == selectId) list.selected = static_cast<int>(i);
  }
}

// ---- conflicts ------------------------------------------------------------------------------

int SchedCheckConflict(const std::string& caption, const SchedItem& item, const SchedRequest& request, bool series) {
  if (!IsValidDate(request.month, request.day, request.year)) return kSchedNoConflict;
  const SchedRecord& rec = item.record;
  int shift = ZoneShift(rec, request.year, request.month, request.day);
  int newStart = rec.start + shift, newEnd = rec.end + shift;
  if (newEnd <= newStart) return kSchedNoConflict;  // an item without duration overlaps nothing
  std::optional<StoredSchedItem> other;
  DbListingPause pause;
  // The day itself, and its neighbours: an item of the day before can reach past midnight, and
  // items of other zones can move onto the day.
  for (int offset : {0, -1, 1}) {
    DateStamp d = AddDays(request.month, request.day, request.year, offset);
    if (!IsValidDate(d.month, d.day, d.year)) continue;
    uint32_t key = MonthKey(d.year, d.month);
    if (!FileExists(MonthFilePath(key)) || !DbOpen(kDbModeRead, key, kCallerSchedConflict)) continue;
    bool itemsDay = d.year == item.year && d.month == item.month && d.day == item.day;
    for (const StoredSchedItem& it : ReadDayItems(key, d.day)) {
      int s = ZoneShift(it.record, d.year, d.month, d.day) + offset * kMinutesPerDay;
      int start = it.record.start + s, end = it.record.end + s;
      if (end <= start || !(start < newEnd && end > newStart)) continue;
      // The item itself: by its series id, or by its id on its own day (a single item being
      // made into a series is its own first occurrence).
      bool self = (series && rec.seriesId != 0 && it.record.seriesId == rec.seriesId) ||
                  (item.id != 0 && it.id == item.id && itemsDay);
      if (self) continue;
      other = it;
      break;
    }
    DbClose();
    if (other) break;
  }
  if (!other) return kSchedNoConflict;
  UserMessage m;
  m.text = Text(kConflictIntro) + "\n\n" + FormatLongDate(request.month, request.day, request.year) + "\n" +
           other->record.title + "\n\n" + Text(series ? kContinueScheduling : kCannotStore);
  m.caption = caption;
  if (series) {
    m.icon = MsgIcon::Question;
    m.beep = MsgBeep::Question;
    m.buttons = MsgButtons::OkCancel;
    return ShowUserMessage(m) == MsgAnswer::Ok ? kSchedSkip : kSchedCancel;
  }
  m.icon = MsgIcon::Warning;
  m.beep = MsgBeep::Default;
  ShowUserMessage(m);
  return kSchedCancel;
}

uint16_t SchedFindInSeries(const SchedRequest& request, uint32_t seriesId) {
  if (seriesId == 0 || !IsValidDate(request.month, request.day, request.year)) return 0;
  uint32_t key = MonthKey(request.year, request.month);
  if (!FileExists(MonthFilePath(key))) return 0;
  bool wasOpen = DbIsOpen();
  // Called from inside a store pass (the month already open) or on its own.
  if (!wasOpen && !DbOpen(kDbModeRead, key, kCallerSchedConflict)) return 0;
  uint16_t found = 0;
  for (const StoredSchedItem& it : ReadDayItems(key, request.day))
    if (it.record.seriesId == seriesId) {
      found = it.id;
      break;
    }
  if (!wasOpen) DbClose();
  return found;
}

std::optional<SchedItem> SchedReadItem(int32_t year, int month, int day, uint16_t id) {
  if (id == 0 || !IsValidDate(month, day, year)) return std::nullopt;
  uint32_t key = MonthKey(year, month);
  if (!FileExists(MonthFilePath(key))) return std::nullopt;
  DbListingPause pause;
  if (!DbOpen(kDbModeRead, key, kCallerSchedDay)) return std::nullopt;
  DbRequest r;
  r.id = id;
  r.chain = key;
  r.day = static_cast<uint8_t>(day);
  r.type = kDbTypeSchedItem;
  std::optional<SchedItem> out;
  if (DbAccess(kDbRead, r)) {
    if (auto rec = ParseSchedRecord(r.block)) {
      SchedItem item;
      item.id = r.id;
      item.flag = static_cast<uint8_t>(r.mode & 0xFF);
      item.year = year;
      item.month = month;
      item.day = day;
      item.record = *rec;
      out = item;
    }
  }
  DbClose();
  return out;
}

// ---- series dates ---------------------------------------------------------------------------

std::vector<SchedRequest> SchedOccurrences(int kind, int n, const DateStamp& first, const DateStamp& until) {
  std::vector<SchedRequest> out;
  if (!IsValidDate(first.month, first.day, first.year) || !IsValidDate(until.month, until.day, until.year))
    return out;
  int32_t firstDn = DayNumber(first.month, first.day, first.year);
  int32_t lastDn = DayNumber(until.month, until.day, until.year);
  if (lastDn < firstDn) return out;
  OverlayEvent e;
  e.kind = static_cast<uint16_t>(kind);
  e.year = static_cast<int16_t>(first.year);
  e.month = first.month;
  e.day = first.day;
  e.endYear = static_cast<int16_t>(until.year);
  e.endMonth = until.month;
  e.endDay = until.day;
  int weekday = Weekday(first.month, first.day, first.year);
  switch (kind) {
    case kKindWeekly: case kKindMonthlyLastWeekday: case kKindAnnualLastWeekday:
      e.param = static_cast<uint16_t>(weekday);
      break;
    case kKindMonthlyNthWeekday: case kKindAnnualNthWeekday:
      // The rule's day is the first day of its week of the month.
      e.day = static_cast<uint16_t>((first.day - 1) / 7 * 7 + 1);
      e.param = static_cast<uint16_t>(weekday);
      break;
    case kKindEveryNDays: case kKindEveryNMonths: case kKindEveryNYears:
      e.param = static_cast<uint16_t>(std::clamp(n, 0, 200) + 6);
      break;
    default:
      break;
  }
  RangeKeys range{WideMinuteKey(first), WideMinuteKey(until)};
  std::vector<EventHit> hits;
  for (int y = first.year, m = first.month; y < until.year || (y == until.year && m <= until.month);) {
    hits.clear();
    EventHitsInMonth(e, y, m, range, hits);
    for (const EventHit& h : hits) {
      int32_t dn = DayNumber(h.date.month, h.date.day, h.date.year);
      if (dn < firstDn || dn > lastDn) continue;
      if (!out.empty() && out.back().year == h.date.year && out.back().month == h.date.month &&
          out.back().day == h.date.day)
        continue;
      out.push_back({h.date.year, h.date.month, h.date.day});
    }
    if (++m > 12) m = 1, ++y;
  }
  return out;
}

// ---- storing --------------------------------------------------------------------------------

namespace {

bool IsSeries(const SchedItem& item) { return item.record.recurKind >= 2; }

// Writes a record on a day of the open container; id 0 stores a new record. The id, 0 on failure.
uint16_t WriteRecord(uint32_t key, int day, uint16_t id, uint8_t flag, const SchedRecord& rec) {
  DbRequest r;
  r.id = id;
  r.chain = key;
  r.day = static_cast<uint8_t>(day);
  r.type = kDbTypeSchedItem;
  r.mode = flag;
  r.block = SerializeSchedRecord(rec);
  return DbAccess(kDbWrite, r) ? r.id : 0;
}

bool DeleteRecord(uint32_t key, int day, uint8_t type, uint16_t id) {
  DbRequest r;
  r.id = id;
  r.chain = key;
  r.day = static_cast<uint8_t>(day);
  r.type = type;
  return id != 0 && DbAccess(kDbDelete, r) != 0;
}

std::optional<std::vector<uint8_t>> ReadRecord(uint32_t key, int day, uint8_t type, uint16_t id) {
  DbRequest r;
  r.id = id;
  r.chain = key;
  r.day = static_cast<uint8_t>(day);
  r.type = type;
  if (id == 0 || !DbAccess(kDbRead, r)) return std::nullopt;
  return r.block;
}

// Deletes a single item and its note.
bool DeleteSingle(const SchedItem& item) {
  uint32_t key = MonthKey(item.year, item.month);
  if (!DbOpen(kDbModeWrite, key, kCallerSchedWrite)) return false;
  uint16_t noteId = 0;
  if (auto bytes = ReadRecord(key, item.day, kDbTypeSchedItem, item.id))
    if (auto rec = ParseSchedRecord(*bytes)) noteId = rec->noteId;
  bool ok = DeleteRecord(key, item.day, kDbTypeSchedItem, item.id);
  if (ok && noteId != 0) DeleteRecord(key, item.day, kDbTypeItemNote, noteId);
  DbClose();
  return ok;
}

// The item was moved from another date: removes the old record and brings its note along into
// the new month under the note's new id.
bool MoveFromOldDate(SchedSaveRequest& req, uint16_t newId) {
  SchedItem& item = req.item;
  uint32_t oldKey = MonthKey(req.oldYear, req.oldMonth);
  uint32_t newKey = MonthKey(item.year, item.month);
  std::optional<std::vector<uint8_t>> note;
  if (!DbOpen(kDbModeWrite, oldKey, kCallerSchedWrite)) return false;
  uint16_t oldNote = 0;
  if (auto bytes = ReadRecord(oldKey, req.oldDay, kDbTypeSchedItem, req.oldId))
    if (auto rec = ParseSchedRecord(*bytes)) oldNote = rec->noteId;
  if (oldNote != 0) note = ReadRecord(oldKey, req.oldDay, kDbTypeItemNote, oldNote);
  bool ok = DeleteRecord(oldKey, req.oldDay, kDbTypeSchedItem, req.oldId);
  DbClose();
  if (!ok) return false;
  if (!note) {
    if (item.record.noteId == 0) return true;
    // The descriptor named a note the old month no longer has: the new record must not point at
    // whatever note holds that id in the new month.
    item.record.noteId = 0;
    if (!DbOpen(kDbModeWrite, newKey, kCallerSchedWrite)) return false;
    ok = WriteRecord(newKey, item.day, newId, item.flag, item.record) != 0;
    DbClose();
    return ok;
  }
  // The note goes into the new month first, so that it is never lost: the old copy is removed
  // only once the new one and the item's link to it are written.
  if (!DbOpen(kDbModeWrite, newKey, kCallerSchedWrite)) return false;
  DbRequest r;
  r.chain = newKey;
  r.day = static_cast<uint8_t>(item.day);
  r.type = kDbTypeItemNote;
  r.block = *note;
  ok = DbAccess(kDbWrite, r) != 0;
  if (ok) {
    item.record.noteId = r.id;
    ok = WriteRecord(newKey, item.day, newId, item.flag, item.record) != 0;
  }
  DbClose();
  if (!ok) return false;
  if (!DbOpen(kDbModeWrite, oldKey, kCallerSchedWrite)) return false;
  DeleteRecord(oldKey, req.oldDay, kDbTypeItemNote, oldNote);
  DbClose();
  return true;
}

SchedSaveResult SaveSingle(SchedSaveRequest& req) {
  SchedSaveResult res;
  SchedItem& item = req.item;
  if (!IsValidDate(item.month, item.day, item.year)) return ShowWriteError(), res;
  if (item.action == kSchedActionDelete) {
    if (!DeleteSingle(item)) return ShowWriteError(), res;
    res.ok = true;
    Changed();
    return res;
  }
  item.record.seriesId = 0;
  bool moved = req.oldId != 0 && (req.oldYear != item.year || req.oldMonth != item.month || req.oldDay != item.day);
  if (moved) item.action = kSchedActionNew;
  SchedRequest day{item.year, item.month, item.day};
  // A moved item is itself only where it still stands: its old id on its old day. Another
  // item that happens to carry the same id on the new day is a real conflict.
  SchedItem self = item;
  if (moved) self.id = req.oldId, self.year = req.oldYear, self.month = req.oldMonth, self.day = req.oldDay;
  if (SchedCheckConflict(req.caption, self, day, false) == kSchedCancel) {
    res.conflicts = 1;
    return res;
  }
  uint32_t key = MonthKey(item.year, item.month);
  uint16_t id = item.action == kSchedActionUpdate ? item.id : 0;
  SchedRecord stored = item.record;
  if (moved) stored.noteId = 0;  // linked again once the note has moved along
  if (!DbOpen(kDbModeWrite, key, kCallerSchedWrite)) return ShowWriteError(), res;
  id = WriteRecord(key, item.day, id, item.flag, stored);
  DbClose();
  if (id == 0) return ShowWriteError(), res;
  item.id = id;
  res.ids.push_back(id);
  res.stored = 1;
  if (moved && !MoveFromOldDate(req, id)) {
    ShowWriteError();
    Changed();
    return res;
  }
  res.ok = true;
  Changed();
  return res;
}

SchedSaveResult SaveSeries(SchedSaveRequest& req) {
  SchedSaveResult res;
  SchedItem& item = req.item;
  DateStamp first{item.year, static_cast<uint16_t>(item.month), static_cast<uint16_t>(item.day), 0, 0};
  std::vector<SchedRequest> dates = SchedOccurrences(item.record.recurKind, req.recurN, first, req.until);
  int total = static_cast<int>(dates.size());
  bool deleting = item.action == kSchedActionDelete;
  bool updating = item.action == kSchedActionUpdate;
  if (!deleting) {
    UserMessage ask;
    ask.text = FormatText(Text(kReadyTo).c_str(), Text(updating ? kVerbUpdate : kVerbSchedule).c_str(), total);
    ask.caption = req.caption;
    ask.icon = MsgIcon::Question;
    ask.beep = MsgBeep::Question;
    ask.buttons = MsgButtons::OkCancel;
    if (ShowUserMessage(ask) != MsgAnswer::Ok) return res;
    // Pass 1: conflicts.
    for (SchedRequest& d : dates) {
      int r = SchedCheckConflict(req.caption, item, d, true);
      if (r == kSchedCancel) return res;
      if (r == kSchedSkip) d.day = 0, ++res.conflicts;
    }
    if (res.conflicts > 0) {
      UserMessage sum;
      sum.text = FormatText(Text(kConflictSummary).c_str(), res.conflicts, total, total - res.conflicts);
      sum.caption = req.caption;
      sum.icon = MsgIcon::Question;
      sum.beep = MsgBeep::Question;
      sum.buttons = MsgButtons::OkCancel;
      if (ShowUserMessage(sum) != MsgAnswer::Ok) return res;
    }
  }
  if (item.record.recurKind != kKindEveryNDays) item.record.recurCount = 0;
  else item.record.recurCount = static_cast<uint8_t>(std::clamp(req.recurN, 0, 255));
  // Pass 2: store.
  uint32_t series = updating || deleting ? item.record.seriesId : 0;
  for (const SchedRequest& d : dates) {
    if (d.day == 0) continue;
    uint32_t key = MonthKey(d.year, d.month);
    if (deleting && !FileExists(MonthFilePath(key))) continue;
    if (!DbOpen(kDbModeWrite, key, kCallerSchedSeries)) return ShowWriteError(), Changed(), res;
    bool ok = true;
    uint16_t existing = series != 0 ? SchedFindInSeries(d, series) : 0;
    if (existing == 0 && updating && item.id != 0 && d.year == item.year && d.month == item.month && d.day == item.day)
      existing = item.id;  // the edited item becomes the occurrence of its own date
    if (deleting) {
      if (existing != 0) {
        uint16_t noteId = 0;
        if (auto bytes = ReadRecord(key, d.day, kDbTypeSchedItem, existing))
          if (auto rec = ParseSchedRecord(*bytes)) noteId = rec->noteId;
        ok = DeleteRecord(key, d.day, kDbTypeSchedItem, existing);
        if (ok && noteId != 0) DeleteRecord(key, d.day, kDbTypeItemNote, noteId);
        if (ok) ++res.stored;
      }
    } else {
      SchedRecord rec = item.record;
      rec.seriesId = series;
      // Each occurrence keeps its own note; a new occurrence starts without one.
      rec.noteId = 0;
      if (existing != 0)
        if (auto bytes = ReadRecord(key, d.day, kDbTypeSchedItem, existing))
          if (auto old = ParseSchedRecord(*bytes)) rec.noteId = old->noteId, rec.reserved14 = old->reserved14;
      uint16_t id = WriteRecord(key, d.day, existing, item.flag, rec);
      ok = id != 0;
      if (ok && series == 0) {
        series = MakeSeriesId(id, key);
        rec.seriesId = series;
        ok = WriteRecord(key, d.day, id, item.flag, rec) != 0;
      }
      if (ok) {
        res.ids.push_back(id);
        ++res.stored;
      }
    }
    DbClose();
    if (!ok) return ShowWriteError(), Changed(), res;
  }
  item.record.seriesId = series;
  res.seriesId = series;
  res.ok = true;
  Changed();
  return res;
}

}  // namespace

SchedSaveResult SchedSave(SchedSaveRequest& request) {
  if (request.caption.empty()) request.caption = Text(kDialogTitle);
  return IsSeries(request.item) ? SaveSeries(request) : SaveSingle(request);
}

SchedSaveResult SchedRemove(SchedSaveRequest& request) {
  UserMessage ask;
  ask.text = Text(kDeleteItems);
  ask.caption = Text(IDS_PRODUCT_NAME);
  ask.icon = MsgIcon::Question;
  ask.beep = MsgBeep::Question;
  ask.buttons = MsgButtons::OkCancel;
  if (ShowUserMessage(ask) != MsgAnswer::Ok) return {};
  request.item.action = kSchedActionDelete;
  return SchedSave(request);
}

void ResetSchedule() {
  S().day = SchedDayList();
  S().changed = nullptr;
  S().listeners.clear();
}

}  // namespace kv
