#include "personal/schedule_sources.h"

#include "personal/notes.h"
#include "personal/schedule.h"

namespace kv {

void ScheduleListingSource::ItemsInRange(const DateStamp& first, const DateStamp& last, std::vector<ScheduleItem>& out) {
  // The listing covers up to a year; longer spans are taken a month at a time.
  for (int y = first.year, m = first.month; y < last.year || (y == last.year && m <= last.month);) {
    bool firstMonth = y == first.year && m == first.month;
    bool lastMonth = y == last.year && m == last.month;
    int fromDay = firstMonth ? first.day : 1;
    int toDay = lastMonth ? last.day : MonthLength(m, y);
    for (const SchedListEntry& e : SchedListRange(m, m, y, fromDay, toDay, kSchedFlagMonthCalendar)) {
      ScheduleItem item;
      item.start = SplitMinuteKey(e.start);
      item.text = e.title;
      item.number = e.id;
      item.flags = (e.month & kSchedListMonthCalendar) ? (kSchedFlagItem | kSchedFlagMonthCalendar) : kSchedFlagItem;
      out.push_back(std::move(item));
    }
    if (++m > 12) m = 1, ++y;
  }
}

bool DayNoteMarks::HasDayNote(const DateStamp& day) { return DayHasNote(day.year, day.month, day.day); }

void InstallPersonalSources() {
  static ScheduleListingSource schedule;
  static DayNoteMarks notes;
  SetScheduleSource(&schedule);
  SetNoteLookup(&notes);
}

}  // namespace kv
