#include "personal/schedule_sources.h"

#include "personal/notes.h"
#include "personal/schedule.h"
#include "store/container.h"
#include "store/db_files.h"
#include "base/file_io.h"

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

bool DayNoteMarks::HasDayNote(const DateStamp& day) {
  if (!IsValidDate(day.month, day.day, day.year)) return false;
  uint32_t key = MonthKey(day.year, day.month);
  unsigned assembly = Assembly().assembled;
  if (!valid_ || key != monthKey_ || assembly != assembly_) {
    valid_ = true;
    monthKey_ = key;
    assembly_ = assembly;
    days_ = 0;
    DbListingPause pause;
    if (FileExists(MonthFilePath(key)) && DbOpen(kDbModeRead, key, kCallerNoteLoad)) {
      for (int d = 1; d <= MonthLength(day.month, day.year); ++d) {
        auto note = NoteReadOpen(kNoteDay, key, d, 0);
        if (note && !note->text.empty()) days_ |= uint32_t{1} << d;
      }
      DbClose();
    }
  }
  return (days_ >> day.day) & 1u;
}

void InstallPersonalSources() {
  static ScheduleListingSource schedule;
  static DayNoteMarks notes;
  SetScheduleSource(&schedule);
  SetNoteLookup(&notes);
}

}  // namespace kv
