// The calendar configuration record (`CalendarConfig`): the 4448-byte fixed part of a ".kvc"
// file, followed by the tail of overlay file names. This module is the record itself: its
// fields, its byte image, the defaults of a new file, the conversion of version 6 files and
// the rules applied after every load. Reading and writing files is configuration.h.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "print/page_layout.h"

namespace kv {

inline constexpr size_t kConfigSize = 4448;
inline constexpr uint16_t kConfigVersion = 7;
inline constexpr uint16_t kOldestConfigVersion = 6;
inline constexpr size_t kFontRecordSize = 136;
inline constexpr size_t kLocationRecordSize = 88;
inline constexpr size_t kOverlayNameMax = 259;    // characters of one name of the tail
inline constexpr uint8_t kTailSeparator = 0x1C;
inline constexpr size_t kWindowBlockOffset = 12;  // the desk: placements, states, view, open windows
inline constexpr size_t kWindowBlockSize = 108;

// A window's place in its parent's client coordinates, in pixels.
struct Placement {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
  friend bool operator==(const Placement&, const Placement&) = default;
};

// The position of a window that keeps its own size (phonebook, world map).
struct Position16 {
  int16_t x = 0;
  int16_t y = 0;
  friend bool operator==(const Position16&, const Position16&) = default;
};

// One font slot. Bytes without a field of their own are kept as they were read.
struct FontRecord {
  uint16_t pointSize = 0;      // 0: empty slot, a built-in font applies
  uint16_t weight = 0;         // 400 normal, 700 bold
  uint8_t charSet = 0;
  uint8_t pitchAndFamily = 0;
  uint8_t italic = 0;
  std::string face;            // at most 31 characters
  std::array<uint8_t, kFontRecordSize> kept{};
};

// The point of reference's record. Only the coordinates and the two zone bytes are the
// shell's to know; the other bytes belong to the locations module and are kept as they are.
struct ConfigLocation {
  double latitude = 0;         // degrees, north positive
  double longitude = 0;        // degrees, east positive
  uint8_t zone = 0;            // zone identifier of the point of reference
  uint8_t systemZone = 0;      // the computer's zone, refreshed at every start
  std::array<uint8_t, kLocationRecordSize> kept{};
};

// Desk window codes and the bits of the open tool windows.
enum DeskCode : uint8_t {
  kDeskCalendar = 1,
  kDeskNotes = 2,
  kDeskSchedule = 3,
  kDeskToDo = 4,
  kDeskPhonebook = 5,
  kDeskMap = 6,
};
enum OpenWindowBit : uint8_t {
  kOpenPhonebook = 1,
  kOpenNotes = 2,
  kOpenSchedule = 4,
  kOpenToDo = 8,
  kOpenMap = 16,
};
enum SizeState : uint8_t { kRestored = 0, kMinimized = 1, kMaximized = 2 };
enum CalendarView : uint16_t { kYearView = 1, kMonthView = 2, kDayView = 4 };

// The desk: the window block of the configuration (offsets 12-119). Each desk window's place
// and size state are reached by its code, so the desk code needs no mapping of its own.
struct DeskLayout {
  Placement frame, calendar, notes, schedule, todo;
  Position16 mapPosition, phonebookPosition;
  std::array<uint8_t, 6> zOrder{};    // desk codes, top first; 0 ends a shorter list
  uint16_t activeWindow = 0;          // desk code, plus 10 when it was maximized
  uint8_t frameState = 0, calendarState = 0, notesState = 0, scheduleState = 0, phonebookState = 0,
          todoState = 0;
  uint16_t view = 0;
  uint8_t openWindows = 0;
  uint8_t phonebookPeople = 0;
  std::array<uint8_t, 2> reserved118{};

  // The placement of a sizeable window (calendar, notes, schedule, to-do), else nullptr.
  Placement* PlacementOf(uint8_t code);
  const Placement* PlacementOf(uint8_t code) const;
  // The position of a window that keeps its size (phonebook, world map), else nullptr.
  Position16* PositionOf(uint8_t code);
  const Position16* PositionOf(uint8_t code) const;
  // The size state of a window that has one (all but the world map), else nullptr.
  uint8_t* SizeStateOf(uint8_t code);
  const uint8_t* SizeStateOf(uint8_t code) const;
  uint8_t SavedSizeState(uint8_t code) const;  // kRestored for a window without one
};

struct CalendarConfig {
  uint16_t version = kConfigVersion;  // as read; always written as 7
  uint8_t firstUse = 0;
  std::array<uint8_t, 3> reserved9{};
  DeskLayout desk;
  uint32_t themeColour = 0, shadowColour = 0, gridColour = 0, highlightColour = 0;
  std::array<uint8_t, 4> reserved136{};
  std::array<uint32_t, 16> customColours{};
  std::array<uint8_t, 68> reserved204{};
  uint8_t showAdjacentMonths = 0;
  uint8_t weekStart = 0;
  uint8_t calendarSystem = 0;         // 2: Jewish dates primary
  uint8_t moonPhases = 0;
  uint8_t saturdayRed = 0;
  uint8_t sundayRed = 0;
  uint16_t schedulerHour = 0;
  uint8_t summaryStartHour = 0;
  uint8_t summaryEndHour = 0;
  uint8_t alarmLead = 0;
  uint8_t schedulerIncrement = 0;
  uint8_t displayOnMonth = 0;
  uint8_t todoSortByPriority = 0;
  uint8_t todoView = 0;
  uint8_t todoLog = 0;
  uint16_t todoRemoveAfterDays = 0;
  uint8_t todoViewPending = 0;
  std::array<uint8_t, 2> reserved291{};
  uint8_t timeChanges = 0;
  uint8_t notesIndicator = 0;
  uint8_t alarmChoice = 0;
  uint8_t sunMoonHidden = 0;
  uint8_t calendarMode = 0;
  uint8_t julianDay = 0;
  uint8_t weekNumbers = 0;
  uint8_t printLayout = 0;            // byte 300
  uint8_t printOption = 0;            // byte 301
  uint8_t candleLighting = 0;
  uint8_t candleMinutes = 0;
  uint8_t havdalah = 0;
  uint8_t havdalahMinutes = 0;
  uint8_t overlayTabsHidden = 0;
  uint8_t todoLogNotes = 0;
  std::string todoLogFile;            // at most 255 characters
  uint16_t phonebookLastId = 0;
  std::string phonebookLastName;      // at most 23 characters
  uint16_t mapFlags = 0;
  std::string locationName;           // at most 63 characters
  ConfigLocation location;
  std::array<uint8_t, 102> reserved744{};
  std::string databaseFolder;         // at most 255 characters
  std::array<FontRecord, 8> screenFonts;
  std::array<FontRecord, 8> printerFonts;
  std::array<uint8_t, 272> reserved3278{};
  std::array<PageLayout, 10> pageLayouts;
  std::string selectedOverlay;        // at most 255 characters
  uint16_t overlayCount = 0;
};

using ConfigImage = std::array<uint8_t, kConfigSize>;

// The record from its 4448-byte image, and back. Serialize writes magic and version 7.
CalendarConfig ParseCalendarConfig(const ConfigImage& image);
ConfigImage SerializeCalendarConfig(const CalendarConfig& config);

// True when the image starts with "KVCAL" and its NUL and holds a version of at least 6.
bool HasConfigHeader(const uint8_t* bytes, size_t size);
uint16_t ConfigVersionOf(const uint8_t* bytes);

// Rearranges a version 6 image in place into the layout of version 7.
void ConvertVersion6Image(ConfigImage& image);

// What a new configuration depends on outside the record.
struct DefaultConfigInputs {
  int screenWidth = 1024;
  int screenHeight = 768;
  uint32_t shadowColour = 0x00A0A0A0;  // the system's button shadow colour
  uint32_t gridColour = 0x00000000;    // the system's window text colour
  std::string dataFolder;              // the database folder lies in it
  uint8_t zone = 0;                    // the system's time zone identifier
};

// The defaults of a freshly made "default.kvc" (no point of reference beyond the zone).
CalendarConfig DefaultCalendarConfig(const DefaultConfigInputs& inputs);

// "%s\Databases\Default" and, for an empty field read from a file, "%s\Databases\(default)".
std::string DefaultDatabaseFolder(const std::string& dataFolder);
std::string FallbackDatabaseFolder(const std::string& dataFolder);

// Rules applied after every load: view 0 becomes month, an empty database folder the
// fallback folder, white custom colours the pastel palette, an empty first screen slot the
// built-in screen fonts.
void ApplyLoadRules(CalendarConfig& config, const std::string& dataFolder);
void FillCustomColours(CalendarConfig& config);
void FillDefaultScreenFonts(CalendarConfig& config);

// The overlay names of a file's tail: as many names as `count` says, each closed by 0x1C.
// A piece without its closing byte, or longer than 259 characters, is not a name.
std::vector<std::string> SplitOverlayTail(const uint8_t* bytes, size_t size, size_t count);
std::vector<uint8_t> JoinOverlayTail(const std::vector<std::string>& names);

// The font a slot stands for once empty slots fall back to the built-in ones.
struct FontChoice {
  std::string face;
  int pointSize = 0;
  int weight = 400;
  bool italic = false;
  uint8_t charSet = 0;
  uint8_t pitchAndFamily = 0;
};
FontChoice EffectiveFont(const FontRecord& record, int slot, bool printer);

// The height in pixels of a font of `pointSize` points at `pixelsPerInch`.
int FontPixelHeight(int pixelsPerInch, int pointSize);

}  // namespace kv
