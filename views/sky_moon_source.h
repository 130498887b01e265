// The moon's quarters for the day assembly, from the year's phase table at the point of
// reference. The calendar installs it while a point of reference is set.
#pragma once

#include "overlays/day_assembly.h"

namespace kv {

class SkyMoonPhases final : public MoonPhaseSource {
 public:
  void QuartersInMonth(int year, int month, std::vector<MoonQuarter>& out) override;
};

// The one the program and the render tool install.
SkyMoonPhases& ProgramMoonPhases();

}  // namespace kv
