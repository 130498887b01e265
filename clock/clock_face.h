// The desktop clock's decisions that need no window: the "ClockIcon" setting, the pieces it
// shows, its size and place on the screen, the plain painting, the frame's hiding place while
// the clock stands in for it, and the press-move-release tracking that tells a drag from a
// click.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/canvas.h"
#include "calendar/dates.h"
#include "calendar/regional.h"

namespace kv {

// Bits of the "ClockIcon" setting.
inline constexpr int kClockOnTop = 0x01;
inline constexpr int kClockShowTime = 0x02;
inline constexpr int kClockShowDate = 0x04;
inline constexpr int kClockShowWeekday = 0x08;
inline constexpr int kClockGlass = 0x80;
inline constexpr int kClockEnabled = 0x100;
inline constexpr int kClockOptionBits = kClockOnTop | kClockShowTime | kClockShowDate | kClockShowWeekday | kClockGlass;
// Time, date, weekday and always on top; the clock itself off.
inline constexpr int kClockDefault = 15;

// The setting from its stored text: missing or unreadable text gives the default, unknown bits
// are dropped.
int ParseClockSetting(std::string_view text);

// The texts the clock shows, in order, each only when its bit is set: the time in the full
// form, the date as the month's first three letters and the day, the weekday's first three
// letters.
std::vector<std::string> ClockPieces(int setting, const DateStamp& now, int minuteOfDay,
                                     const RegionalSettings& regional, const CalendarNames& names);

// The pieces of the glass clock joined by two blanks, a bullet and two blanks.
inline constexpr std::string_view kGlassSeparator = "  \x95  ";
std::string JoinClockPieces(const std::vector<std::string>& pieces);

inline constexpr int kClockMargin = 5;  // inner margin, both ways

struct ClockLayout {
  Size window;                 // the window's outer size
  std::vector<int> pieceX;     // plain clock: where each piece starts
  std::vector<int> separatorX; // plain clock: the line before every piece but the first
  int textY = kClockMargin;
};

// Plain clock: each piece with 5 pixels either side, plus 2. Glass clock: the joined text and
// the sizing frame (`frame` = the system's sizing-frame width and height) all round.
ClockLayout MeasurePlainClock(const Canvas& canvas, FontRole role, const std::vector<std::string>& pieces);
ClockLayout MeasureGlassClock(const Canvas& canvas, FontRole role, const std::vector<std::string>& pieces, Size frame);

// The top-left corner: the stored position pulled back so that the whole window lies on the
// screen, or the screen's corner when none is stored (-1).
Point PlaceClock(int storedX, int storedY, Size window, Size screen);

// The stored "ClockX"/"ClockY" text as a coordinate; -1 for none.
int ParseClockCoordinate(std::string_view text);

struct ClockColours {
  Colour face = 0;       // the frame's background
  Colour text = 0;
  Colour shadow = 0;
  Colour highlight = 0;
  Colour frame = 0;      // the frame pen
};

// The plain clock: background, bevelled border (outer and inner rectangle 2 and 4 pixels in),
// the pieces and the separator lines.
void PaintPlainClock(Canvas& canvas, FontRole role, const ClockLayout& layout, const std::vector<std::string>& pieces,
                     const ClockColours& colours);

// Where the frame goes while the clock stands in for it: its right and bottom edges on the left
// and top edges of the virtual screen, its size unchanged.
Point ParkedFramePosition(const Rect& frame, const Rect& virtualScreen);

// Press, move, release on the clock: a move of more than one pixel either way while the
// button is down starts a move of the window; a release without one opens the clock's menu.
class ClockDragTracker {
 public:
  void Press(Point at);
  // True once, when this move starts the window's move.
  bool Move(Point at);
  // True when the release should open the menu (the button was down and nothing moved).
  bool Release();
  bool ButtonDown() const { return down_; }

 private:
  bool down_ = false;
  bool moving_ = false;
  Point pressed_;
};

// The "Clock Icon" dialog's result: the value to store, or nothing when the clock is enabled
// without any of time, date and weekday (the dialog says so and stays).
std::optional<int> ClockDialogValue(bool enabled, int options);

}  // namespace kv
