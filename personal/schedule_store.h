// What the schedule's modules share about stored items: walking a day's items in the open
// month container, and the move of an item's times into the current zone.
#pragma once

#include <cstdint>
#include <vector>

#include "personal/schedule.h"

namespace kv {

struct StoredSchedItem {
  uint16_t id = 0;
  uint8_t flag = 0;
  SchedRecord record;
};

// Every type-4 item of a day of the open container, in chain order (records that fail to parse
// are passed over).
std::vector<StoredSchedItem> ReadDayItems(uint32_t monthKey, int day);

// Minutes to add to an item's times stored on (year, month, day) to express them in the current
// zone, relative to the same midnight (0 when the zones agree).
int ZoneShift(const SchedRecord& record, int year, int month, int day);

}  // namespace kv
