// The events of each day of the displayed months: every overlay event of the active overlays
// (or of the overlay whose tab is selected), the time changes and the schedule items, gathered
// into per-day lists of day entries in cell order, plus per-day marks and flags.
//
// Slots: 0 the previous month, 1 the next month, 2 the current month (full day entries),
// 3 ... 15 the months of the year view in the year's order (marks only): January ... December,
// or the Jewish year's months from Tishrei, Adar II after Adar I, thirteen in a leap year.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "calendar/dates.h"
#include "overlays/day_entry.h"

namespace kv {

// ---- what later modules supply --------------------------------------------------------------

// One schedule item of the listed range: its day and start time, text, number in the schedule
// store and flags byte.
struct ScheduleItem {
  DateStamp start;  // date, hour and minute
  std::string text;
  int32_t number = 0;
  uint8_t flags = 0;
};

// The schedule store's range listing (Gregorian days, both ends included). The schedule module
// installs its own; without one there are no items.
class ScheduleSource {
 public:
  virtual ~ScheduleSource() = default;
  virtual void ItemsInRange(const DateStamp& first, const DateStamp& last, std::vector<ScheduleItem>& out) = 0;
};

// Whether a day has a daily note (asked only while the notes indicator is on).
class NoteLookup {
 public:
  virtual ~NoteLookup() = default;
  virtual bool HasDayNote(const DateStamp& day) = 0;
};

// The moon's quarters of a Gregorian month (asked only while moon phases are shown).
struct MoonQuarter {
  int day = 0;     // day of the Gregorian month
  int phase = 0;   // 1 new, 2 first quarter, 3 full, 4 last quarter
  int minute = 0;  // local time of day
};
class MoonPhaseSource {
 public:
  virtual ~MoonPhaseSource() = default;
  virtual void QuartersInMonth(int year, int month, std::vector<MoonQuarter>& out) = 0;
};

// The caller keeps ownership; nullptr removes the source.
void SetScheduleSource(ScheduleSource* source);
void SetNoteLookup(NoteLookup* lookup);
void SetMoonPhaseSource(MoonPhaseSource* source);

// ---- options and state ----------------------------------------------------------------------

struct AssemblyOptions {
  bool jewishMode = false;      // the displayed month is a Jewish month
  int tabOverlay = 0;           // 0 all overlays; else only this overlay's events
  bool timeChanges = false;     // "&Time changes"
  bool clockIcons = false;      // "&Clock icons"
  bool notesIndicator = false;  // "Daily &notes indicator"
  bool moonPhases = false;
};

constexpr int kSlotPrevious = 0;
constexpr int kSlotNext = 1;
constexpr int kSlotCurrent = 2;
constexpr int kSlotYearFirst = 3;
constexpr int kYearSlotCount = 13;  // a Jewish leap year has thirteen months
constexpr int kSlotCount = kSlotYearFirst + kYearSlotCount;
constexpr size_t kMaxDayEntries = 65535;  // addressed by 16-bit indices

constexpr uint16_t kDayHasEvent = 1;
constexpr uint16_t kDayHasNote = 2;

struct MonthSlot {
  int year = 0;
  int month = 0;                  // Gregorian, or Jewish in Jewish mode
  bool jewish = false;
  int length = 0;
  std::array<uint8_t, 32> marks{};  // [day]: a highlighted event falls there
};

struct AssemblyState {
  AssemblyOptions options;
  std::array<MonthSlot, kSlotCount> slots;
  std::vector<DayEntry> pool;              // pool index i is pool[i - 1]
  std::array<uint16_t, 32> first{};        // [day]: pool index of the day's first entry
  std::array<uint16_t, 32> flags{};        // [day]: kDayHasEvent, kDayHasNote
  std::array<MoonQuarter, 32> moon{};      // [day]: phase 0 when none
  unsigned assembled = 0;                  // counts assemblies (tools and tests)
};

AssemblyState& Assembly();
void ResetAssembly();  // options, slots and entries back to empty; sources kept

// Gathers one slot for a month (Gregorian (year, month), or the Jewish month in Jewish mode).
void Assemble(int slot, int year, int month);
// The previous, next and current months around a month, in that order.
void RecomputeDisplayedMonths(int year, int month);

// The months of a year in the year view's order: how many (12, or 13 in a Jewish leap year),
// and the month (Gregorian 1 ... 12, or Jewish 1 ... 13) at a position 0 ... count - 1 and back
// (-1 for a month the year does not have).
int YearMonthCount(int year, bool jewish);
int YearMonthAt(int year, int index, bool jewish);
int YearIndexOf(int year, int month, bool jewish);
// Gathers the marks of every month of a year (Jewish in Jewish mode) into the year slots; the
// slots the year does not use are emptied.
void AssembleYear(int year);

// The month before and after, in the mode's calendar.
void PreviousMonth(int& year, int& month, bool jewish);
void NextMonth(int& year, int& month, bool jewish);

// The entries of a day of the current slot in cell order.
const DayEntry* FirstEntry(int day);
const DayEntry* NextEntry(const DayEntry& entry);
std::vector<const DayEntry*> DayEntries(int day);

// The Gregorian days a Jewish month spans.
struct GregorianSpan {
  DateStamp first;
  DateStamp last;
};
GregorianSpan SpanOfJewishMonth(int jewishYear, int jewishMonth);

// The Jewish months that overlap a Gregorian month (one to three), with their lengths, for
// showing Jewish dates beside Gregorian ones.
struct JewishMonthPart {
  int year = 0;
  int month = 0;
  int length = 0;
  int firstGregorianDay = 0;  // the Gregorian day on which this part begins
};
std::vector<JewishMonthPart> JewishMonthsOfGregorianMonth(int year, int month);

}  // namespace kv
