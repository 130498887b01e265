// The desk: which child windows are open, where they stand, their z-order and the active one.
// The geometry of Arrange All, the plan of Reset Desk, the recording of the desk into the
// configuration and the placement checks are computed here; the frame only applies them.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "shell/config.h"

namespace kv {

// The open-window bit of a tool window (0 for the calendar, which is always open).
uint8_t OpenBitOf(DeskCode code);

// Records the desk: codes of the desk windows from the top of the z-order down (other values
// skipped, at most six), then the active window's code, plus 10 when it is maximized.
void RecordDesk(CalendarConfig& config, const std::vector<uint8_t>& topFirst, uint8_t activeCode,
                bool activeMaximized);

// The saved z-order as a list of codes, top first.
std::vector<DeskCode> SavedZOrder(const DeskLayout& desk);

struct DeskRect {
  int x = 0, y = 0, width = 0, height = 0;
  friend bool operator==(const DeskRect&, const DeskRect&) = default;
};

struct ToolWindowState {
  bool open = false;
  bool minimized = false;
};

struct ArrangeInput {
  int clientWidth = 0;
  int clientHeight = 0;
  ToolWindowState schedule, notes, todo, phonebook;
  int phonebookWidth = 0;
  int phonebookHeight = 0;
};

struct ArrangeResult {
  std::vector<std::pair<DeskCode, DeskRect>> stacked;  // schedule, notes, to-do: top to bottom
  DeskRect calendar;
  std::optional<std::pair<int, int>> phonebookPosition;  // x, y; kept size
};

// Arrange All: the open, not minimized schedule, notes and to-do windows stacked in the right
// quarter; the calendar fills the rest; the phonebook centred; the world map left alone.
ArrangeResult ArrangeAll(const ArrangeInput& input);

// What Reset Desk does, given the saved layout and the tool windows open now (bits of 116).
struct ResetDeskPlan {
  std::vector<DeskCode> close;   // open now, closed in the saved layout
  std::vector<DeskCode> open;    // open in the saved layout: schedule, notes, to-do, phonebook, map
  std::vector<DeskCode> zOrder;  // saved stacking, top first
  DeskCode active = kDeskCalendar;
  bool activeSaved = false;      // a saved active window exists
  bool maximizeActive = false;
};
ResetDeskPlan PlanResetDesk(const DeskLayout& saved, uint8_t openNow);

// A screen or work area in screen coordinates (right and bottom excluded).
struct ScreenArea {
  int left = 0, top = 0, right = 0, bottom = 0;
};

// True when the whole rectangle lies on the screen and is not empty.
bool LiesOnScreen(const Placement& p, const ScreenArea& screen);

// The frame's starting place: the stored placement when it lies on the screen, else the work
// area.
Placement FrameStartPlacement(const Placement& stored, const ScreenArea& screen, const ScreenArea& workArea);

// The world map window needs a screen of at least 800 x 538 pixels.
bool ScreenFitsMap(int screenWidth, int screenHeight);

// The calendar's cell icon size for a screen width: 16, 24 or 32 pixels.
int CellIconSize(int screenWidth);

}  // namespace kv
