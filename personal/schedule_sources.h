// What the schedule and the notes give the day assembly: the month's items shown on the month
// calendar (through the range listing) and the days that have a general note.
#pragma once

#include "overlays/day_assembly.h"

namespace kv {

class ScheduleListingSource : public ScheduleSource {
 public:
  void ItemsInRange(const DateStamp& first, const DateStamp& last, std::vector<ScheduleItem>& out) override;
};

class DayNoteMarks : public NoteLookup {
 public:
  bool HasDayNote(const DateStamp& day) override;
};

// Installs both (they live as long as the program).
void InstallPersonalSources();

}  // namespace kv
