// One line of a calendar cell, as the day assembly builds it and the views and printing read it.
#pragma once

#include <cstdint>
#include <string>

namespace kv {

struct DayEntry {
  uint16_t previous = 0;     // pool index (1-based) of the previous entry of the day; 0 = first
  uint16_t next = 0;         // pool index of the next entry; 0 = last
  std::string text;          // the line: "%s %s" compact time and text for timed entries; at most 127 bytes
  int32_t left = 0, top = 0, right = 0, bottom = 0;  // line rectangle as last drawn (month view)
  uint16_t highlight = 0;
  uint16_t accentFlags = 0;
  uint16_t icon = 0;
  uint16_t pattern = 0;
  uint32_t patternColour = 0;
  uint32_t textColour = 0;
  uint32_t reserved = 0;
  int32_t source = 0;        // event-list position; 9999 time change; minus the number of a schedule item
  int32_t sameTime = 0;
  int32_t listingWeight = 0;
  int32_t offset = 0;        // birthdays and anniversaries: the event's offset in days
  uint8_t gift = 0;          // anniversary gift position 1 ... 25
  uint8_t itemFlags = 0;     // schedule item flags
};

constexpr size_t kDayEntryTextMax = 127;
constexpr int32_t kTimeChangeSource = 9999;

}  // namespace kv
