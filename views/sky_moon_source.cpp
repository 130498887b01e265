#include "views/sky_moon_source.h"

#include "sky/sun_moon.h"

namespace kv {

void SkyMoonPhases::QuartersInMonth(int year, int month, std::vector<MoonQuarter>& out) {
  MoonPhasesForYear(year);
  const MoonPhaseTable& table = CurrentMoonPhases();
  if (table.year != year) return;
  // The table's last entry is the first phase of the next year: stop before it.
  for (int i = 0; i < table.count && i < kMoonPhaseSlots; ++i) {
    const MoonPhaseEntry& e = table.entries[static_cast<size_t>(i)];
    if (e.month == 0) break;
    if (i > 0 && e.month < table.entries[static_cast<size_t>(i - 1)].month) break;
    if (e.month == month) out.push_back(MoonQuarter{e.day, e.code, e.minute});
  }
}

SkyMoonPhases& ProgramMoonPhases() {
  static SkyMoonPhases phases;
  return phases;
}

}  // namespace kv
