// What the iCalendar reader and writer share: value parsing and the zone helpers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "calendar/dates.h"
#include "personal/ical_text.h"

namespace kv {

struct ZoneRecord;

namespace ical_detail {

// "YYYYMMDD" or "YYYYMMDDTHHMMSS[Z]".
bool ParseDateText(std::string_view s, DateStamp& d, bool& hasTime, bool& utc);
// A DURATION ("P1D", "-PT15M", "P2W") in minutes.
bool ParseDuration(std::string_view s, int64_t& minutes);
// UTF-8 → the program's single-byte text; `lost` counts the characters it cannot hold.
std::string ToAnsi(std::string_view utf8, int& lost);
// Line ends as the program's multi-line texts keep them: CR LF.
std::string CrLf(std::string_view text);
bool Unhex(std::string_view s, uint8_t* p, size_t n);
// Asks before an import stores anything: `ready` ("Ready to import ...  Proceed?") followed by
// the lost-character and skipped-entry notes; true when the user answered OK.
bool AskToImport(std::string ready, int lostCharacters, size_t skipped, const std::string& caption);
// A zone without offset or rule, for conversions to and from UTC.
const ZoneRecord& UtcZone();
// The zone of the table with a VTIMEZONE's offsets and rules; 0 when none.
int ZoneOfVtimezone(const ContentComponent& vtz);

}  // namespace ical_detail
}  // namespace kv
