// Shared by the personal modules' tests: a fresh database folder with recorded messages, zones
// reset (zone 1 current; zone 2 two hours ahead of zone 1, zone 3 five hours behind), and helpers
// that store schedule items and notes directly.
#pragma once

#include <string>
#include <vector>

#include "calendar/zone_conversion.h"
#include "personal/notes.h"
#include "personal/schedule.h"
#include "store/store_test_support.h"

namespace kv::test {

inline int ZoneOffset(int zone) { return zone == 2 ? 120 : zone == 3 ? -300 : 0; }

inline DateStamp ShiftZones(const DateStamp& local, int from, int to) {
  int minutes = local.hour * 60 + local.minute - ZoneOffset(from) + ZoneOffset(to);
  int days = minutes >= 0 ? minutes / 1440 : -((-minutes + 1439) / 1440);
  minutes -= days * 1440;
  DateStamp d = AddDays(local.month, local.day, local.year, days);
  d.hour = static_cast<uint16_t>(minutes / 60);
  d.minute = static_cast<uint16_t>(minutes % 60);
  return d;
}

class PersonalTest : public StoreTest {
 protected:
  void SetUp() override {
    StoreTest::SetUp();
    ResetSchedule();
    ResetNotes();
    SetZoneConversion(ShiftZones);
    SetCurrentZone(1);
  }
  void TearDown() override {
    ResetSchedule();
    ResetNotes();
    SetZoneConversion(nullptr);
    SetCurrentZone(0);
    StoreTest::TearDown();
  }

  // Writes an item straight into its month file; its id.
  uint16_t PutItem(int year, int month, int day, int start, int end, const std::string& title, int zone = 1,
                   uint8_t flag = kSchedFlagItem, int alarm = 0, uint8_t armed = 0, uint8_t sound = 0,
                   uint32_t series = 0, uint16_t noteId = 0) {
    kv::SchedRecord rec;
    rec.start = static_cast<int16_t>(start);
    rec.end = static_cast<int16_t>(end);
    rec.alarm = static_cast<int16_t>(alarm);
    rec.armed = armed;
    rec.sound = sound;
    rec.title = title;
    rec.zone = static_cast<uint8_t>(zone);
    rec.seriesId = series;
    rec.noteId = noteId;
    uint32_t key = MonthKey(year, month);
    if (!DbOpen(kDbModeWrite, key, 1990)) return 0;
    uint16_t id = Put(DayRequest(key, day, kDbTypeSchedItem), SerializeSchedRecord(rec), flag);
    DbClose();
    return id;
  }

  // A descriptor for a new item on a date.
  static SchedSaveRequest NewItem(int year, int month, int day, int start, int end, const std::string& title) {
    SchedSaveRequest req;
    req.item.action = kSchedActionNew;
    req.item.year = year;
    req.item.month = month;
    req.item.day = day;
    req.item.record.start = static_cast<int16_t>(start);
    req.item.record.end = static_cast<int16_t>(end);
    req.item.record.title = title;
    req.item.record.zone = 1;
    return req;
  }

  std::vector<SchedListEntry> ListDayOf(int year, int month, int day) {
    return SchedListRange(month, month, year, day, day, 1);
  }
};

}  // namespace kv::test
