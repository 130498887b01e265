// The computer's clock and regional settings as Windows reports them.
#pragma once

#include "calendar/clock.h"
#include "calendar/regional.h"

namespace kv {

class Win32Clock : public ClockSource {
 public:
  DateStamp LocalNow() override;
};

// The "intl" section of the user profile over the defaults.
RegionalSettings ReadRegionalSettings();

}  // namespace kv
