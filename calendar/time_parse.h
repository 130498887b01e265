// Reading a time of day typed by the user.
#pragma once

#include <optional>
#include <string_view>

#include "calendar/regional.h"

namespace kv {

// Accepts "9:30", "09:30", "9.30", "930", "0930", "21:30", "9", "12a", "9:30p", "9:30 PM",
// "9:30 a.m." and the regional designators and time separator. In 12-hour mode a designator may
// follow (the hour is then 1 ... 12); in 24-hour mode it is refused. Surrounding blanks are
// ignored. Returns minutes since midnight (0 ... 1439), or nothing when the text is not a time.
std::optional<int> ParseTimeOfDay(std::string_view text, const RegionalSettings& regional);

}  // namespace kv
