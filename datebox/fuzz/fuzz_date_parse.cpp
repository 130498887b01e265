// libFuzzer target for the typed-date reader: whatever a user types (or pastes) into a date
// box is read against short and long pictures, Gregorian and Jewish, and a date it accepts
// must be a real date that reads back the same from its own text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "calendar/dates.h"
#include "calendar/jewish.h"
#include "datebox/date_parse.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kv;
  if (size < 1) return 0;
  // The first byte chooses the calendar and the pictures; the rest is the typed text.
  uint8_t choice = data[0];
  std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  DateParseContext context;
  static const char* const kShort[] = {"M/d/yy", "dd.MM.yyyy", "yyyy-MM-dd", "d/M/yyyy"};
  static const char* const kLong[] = {"dddd', 'MMMM' 'd', 'yyyy", "dddd d MMMM yyyy", "d. MMMM yyyy", "MMMM d"};
  context.shortPicture = kShort[choice & 3];
  context.longPicture = kLong[(choice >> 2) & 3];
  context.jewish = (choice & 0x10) != 0;
  context.today = context.jewish ? TypedDate{5787, 3, 25} : TypedDate{2026, 12, 7};
  std::optional<TypedDate> date = ParseTypedDate(text, context);
  if (!date) return 0;
  bool real = context.jewish ? IsValidJewishDate(JewishDate{date->year, date->month, date->day})
                             : IsValidDate(date->month, date->day, date->year);
  if (!real) std::abort();
  return 0;
}
