// The schedule: timed items stored as 64-byte type-4 records in the month files, chained under
// their day; the range listing the month view, the alarms, search and printing read; the day
// list the schedule window shows; conflict checks; storing single items and series.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "calendar/dates.h"

namespace kv {

// ---- the item record --------------------------------------------------------------------------

constexpr size_t kSchedRecordBytes = 64;
constexpr size_t kSchedTitleField = 40;
constexpr size_t kSchedTitleMax = 39;

// Flag byte of an item's index slot: every item has bit 1; bit 2 shows it on the month calendar.
constexpr uint8_t kSchedFlagItem = 1;
constexpr uint8_t kSchedFlagMonthCalendar = 2;

// Actions of a descriptor.
constexpr uint8_t kSchedActionNone = 0;
constexpr uint8_t kSchedActionUpdate = 1;
constexpr uint8_t kSchedActionNew = 2;
constexpr uint8_t kSchedActionDelete = 3;

// Record bytes 4 ... 63 (the length and type at 0 ... 3 are fixed: 64, 4, 0).
struct SchedRecord {
  int16_t start = 0;        // minutes after midnight
  int16_t end = 0;          // minutes after midnight of the start date; 1440 and up: next day
  int16_t alarm = 0;        // minutes after midnight of the start date; negative: the day before
  uint8_t sound = 0;        // 0 = none, 1 ... 8
  uint8_t armed = 0;        // 1 = alarm on
  uint16_t noteId = 0;      // type-2 note in the same month file; 0 = none
  uint16_t reserved14 = 0;  // carried unchanged
  uint8_t recurKind = 0;    // 0 or 1 single; 2 and up: the rule kind that made the series
  uint8_t recurCount = 0;   // N of a kind-3 series
  uint32_t seriesId = 0;    // 0 for a single item
  std::string title;        // at most 39 characters
  uint8_t zone = 0;         // zone identifier the times were entered in
  uint8_t reserved63 = 0;

  friend bool operator==(const SchedRecord&, const SchedRecord&) = default;
};

// Nothing when the bytes are not a 64-byte type-4 record (length field 64, type 4).
std::optional<SchedRecord> ParseSchedRecord(std::span<const uint8_t> bytes);
std::vector<uint8_t> SerializeSchedRecord(const SchedRecord& record);

// The editing and display form of an item (the dialog edits one; the day list is an array).
struct SchedItem {
  uint16_t id = 0;
  uint8_t flag = kSchedFlagItem;
  uint8_t action = kSchedActionNone;
  // Working space: the item's date as stored (the month file and day chain it lives in).
  int32_t year = 0;
  int month = 0;
  int day = 0;
  SchedRecord record;
};

// Series id of a new series from its first occurrence's id and month key.
uint32_t MakeSeriesId(uint16_t firstId, uint32_t monthKey);

// ---- the range listing ------------------------------------------------------------------------

struct SchedListEntry {
  MinuteKey start = 0;    // occurrence date and start time (in the current zone)
  MinuteKey end = 0;      // date and end time; 1440 and more carry into later days
  int16_t alarm = 0;      // minutes after midnight of the listed date
  uint16_t id = 0;        // record id
  uint16_t noteId = 0;
  uint8_t month = 0;      // month of the stored record, +0x80 when shown on the month calendar
  uint8_t day = 0;        // day of the stored record
  uint8_t alarmByte = 0;  // 0 no alarm armed; 255 armed without sound; else the sound index
  uint8_t zone = 0;       // zone of the record
  std::string title;
};
constexpr uint8_t kSchedListMonthCalendar = 0x80;
constexpr uint8_t kSchedAlarmSilent = 255;

// The items of the dates (year, fromMonth, fromDay) ... (toMonth, toDay) (toMonth < fromMonth:
// in the next year) whose flag byte shares a bit with `mask`, converted to the current zone and
// sorted by start key (stable). Empty when nothing matches; the vector's end marks the end of
// the listing. A container the caller left open is closed and reopened around the listing.
std::vector<SchedListEntry> SchedListRange(int fromMonth, int toMonth, int year, int fromDay, int toDay,
                                           uint8_t mask);

// ---- the day list -------------------------------------------------------------------------------

struct SchedDayList {
  int32_t year = 0;  // the selected day; 0: none loaded
  int month = 0;
  int day = 0;
  std::vector<SchedItem> items;  // times converted and relative to the selected day's midnight
  int before = 0;                // items starting before the selected day
  int within = 0;                // items starting within it
  int selected = -1;             // index of the selected item, -1 none
};

// The day list of the schedule window (module state).
SchedDayList& SchedDay();
// Builds the day list for (day of month key); does nothing when it already holds that day unless
// `reload`. Selects `selectId` when given and found.
void SchedLoadDay(int day, uint32_t monthKey, uint16_t selectId = 0, bool reload = false);

// ---- conflicts, storing, removing -----------------------------------------------------------

// Results of a conflict check.
constexpr int kSchedNoConflict = 1;
constexpr int kSchedCancel = 2;
constexpr int kSchedSkip = 5;

// One occurrence of an item to check or store.
struct SchedRequest {
  int32_t year = 0;
  int month = 0;
  int day = 0;
};

// Checks `item` (its record, id and series id) on the request's day: 1 no conflict, 2 cancel
// (single item: conflict, nothing stored), 5 skip this occurrence (series, answered OK).
// `caption`: the dialog's title.
int SchedCheckConflict(const std::string& caption, const SchedItem& item, const SchedRequest& request,
                       bool series);

// The id of the item on the request's day whose series id is `seriesId`; 0 when none.
uint16_t SchedFindInSeries(const SchedRequest& request, uint32_t seriesId);

// What SchedSave did (for tools and tests).
struct SchedSaveResult {
  bool ok = false;
  int stored = 0;
  int conflicts = 0;
  std::vector<uint16_t> ids;  // ids written (new or rewritten)
  uint32_t seriesId = 0;
};

// The dialog's descriptor as validated: the item, its date, and for a series the until date.
struct SchedSaveRequest {
  SchedItem item;              // action 1, 2 or 3; date in item.year/month/day
  std::string caption;         // the dialog's title; empty: "Schedule Event"
  // The stored item's date before the edit (differs from the item's date when it was moved).
  int32_t oldYear = 0;
  int oldMonth = 0;
  int oldDay = 0;
  DateStamp until;             // last date of a series
  uint16_t oldId = 0;          // the stored item's id before a move to another date
  int recurN = 0;              // N of kinds 3, 13 and 14 (only kind 3 keeps it in the record)
};

// Stores, updates or deletes a single item or a series. ok false on cancel or failure.
SchedSaveResult SchedSave(SchedSaveRequest& request);

// Asks "Delete item(s) from schedule?"; on OK stores the descriptor with action 3.
SchedSaveResult SchedRemove(SchedSaveRequest& request);

// Reads one stored item (opening and closing its month).
std::optional<SchedItem> SchedReadItem(int32_t year, int month, int day, uint16_t id);

// The dates of a series: every date from `first` through `until` on which the rule of `kind`
// (the overlay rule kinds; N for kinds 3, 13 and 14) falls, in date order.
std::vector<SchedRequest> SchedOccurrences(int kind, int n, const DateStamp& first, const DateStamp& until);

// Caller codes of the schedule's store accesses.
constexpr int kCallerSchedList = 1101;
constexpr int kCallerSchedDay = 1102;
constexpr int kCallerSchedConflict = 1103;
constexpr int kCallerSchedWrite = 1104;
constexpr int kCallerSchedSeries = 1114;

// Called after every stored, moved or deleted item (the views refresh and the next alarm is
// looked for). nullptr removes it.
void SetSchedChangedHook(void (*hook)());
// Further listeners called after that hook (windows that show items, such as the schedule
// window): the hook stays the alarms' alone, and every listener runs too. The token removes it.
int AddSchedChangedListener(std::function<void()> listener);
void RemoveSchedChangedListener(int token);

// Forgets the day list, the hook and the listeners (tests).
void ResetSchedule();

}  // namespace kv
