// What the schedule and the notes give the day assembly: the month's items shown on the month
// calendar (through the range listing) and the days that have a general note.
#pragma once

#include "overlays/day_assembly.h"

namespace kv {

class ScheduleListingSource : public ScheduleSource {
 public:
  void ItemsInRange(const DateStamp& first, const DateStamp& last, std::vector<ScheduleItem>& out) override;
};

// Reads a month's day notes once per assembly rather than opening the month for every day.
class DayNoteMarks : public NoteLookup {
 public:
  bool HasDayNote(const DateStamp& day) override;

 private:
  bool valid_ = false;
  uint32_t monthKey_ = 0;
  unsigned assembly_ = 0;
  uint32_t days_ = 0;  // bit d: day d has a note
};

// Installs both (they live as long as the program).
void InstallPersonalSources();

}  // namespace kv
