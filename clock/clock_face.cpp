#include "clock/clock_face.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>

#include "calendar/date_format.h"

namespace kv {
namespace {

std::optional<int> ParseInt(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  int value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace

int ParseClockSetting(std::string_view text) {
  std::optional<int> value = ParseInt(text);
  if (!value || *value < 0) return kClockDefault;
  return *value & (kClockOptionBits | kClockEnabled);
}

int ParseClockCoordinate(std::string_view text) {
  std::optional<int> value = ParseInt(text);
  return value ? *value : -1;
}

std::vector<std::string> ClockPieces(int setting, const DateStamp& now, int minuteOfDay,
                                     const RegionalSettings& regional, const CalendarNames& names) {
  std::vector<std::string> pieces;
  if (setting & kClockShowTime) pieces.push_back(FormatTimeOfDay(std::clamp(minuteOfDay, 0, 1439), regional));
  if (setting & kClockShowDate && now.month >= 1 && now.month <= 12)
    pieces.push_back(names.months[now.month].substr(0, 3) + " " + std::to_string(now.day));
  if (setting & kClockShowWeekday && now.month >= 1 && now.month <= 12) {
    int weekday = Weekday(now.month, now.day, now.year);
    pieces.push_back(names.weekdays[static_cast<size_t>(weekday)].substr(0, 3));
  }
  return pieces;
}

std::string JoinClockPieces(const std::vector<std::string>& pieces) {
  std::string joined;
  for (size_t i = 0; i < pieces.size(); ++i) {
    if (i) joined += kGlassSeparator;
    joined += pieces[i];
  }
  return joined;
}

ClockLayout MeasurePlainClock(const Canvas& canvas, FontRole role, const std::vector<std::string>& pieces) {
  ClockLayout layout;
  int x = kClockMargin + 1;
  int width = 2;
  for (size_t i = 0; i < pieces.size(); ++i) {
    int w = canvas.TextWidth(role, pieces[i]);
    if (i) layout.separatorX.push_back(x - kClockMargin);
    layout.pieceX.push_back(x);
    x += w + 2 * kClockMargin;
    width += w + 2 * kClockMargin;
  }
  layout.window = {width, canvas.LineHeight(role) + 2 * kClockMargin};
  return layout;
}

ClockLayout MeasureGlassClock(const Canvas& canvas, FontRole role, const std::vector<std::string>& pieces, Size frame) {
  ClockLayout layout;
  int width = 0;
  for (const std::string& piece : pieces) width += canvas.TextWidth(role, piece);
  if (pieces.size() > 1) width += static_cast<int>(pieces.size() - 1) * canvas.TextWidth(role, kGlassSeparator);
  layout.window = {width + 2 * frame.cx, canvas.LineHeight(role) + 2 * frame.cy};
  layout.pieceX.push_back(frame.cx);
  layout.textY = frame.cy;
  return layout;
}

Point PlaceClock(int storedX, int storedY, Size window, Size screen) {
  int x = storedX < 0 ? 0 : std::max(0, std::min(storedX, screen.cx - window.cx - 1));
  int y = storedY < 0 ? 0 : std::max(0, std::min(storedY, screen.cy - window.cy - 1));
  return {x, y};
}

void PaintPlainClock(Canvas& canvas, FontRole role, const ClockLayout& layout, const std::vector<std::string>& pieces,
                     const ClockColours& colours) {
  const int w = layout.window.cx, h = layout.window.cy;
  canvas.FillRect({0, 0, w, h}, colours.face);
  canvas.FrameRect({0, 0, w, h}, Pen{colours.frame});
  // A raised edge two pixels in and a sunken one four pixels in, around the texts.
  auto bevel = [&](int inset, Colour topLeft, Colour bottomRight) {
    int l = inset, t = inset, r = w - 1 - inset, b = h - 1 - inset;
    canvas.DrawLine({l, b}, {l, t}, Pen{topLeft});
    canvas.DrawLine({l, t}, {r, t}, Pen{topLeft});
    canvas.DrawLine({r, t}, {r, b}, Pen{bottomRight});
    canvas.DrawLine({r, b}, {l - 1, b}, Pen{bottomRight});
  };
  bevel(2, colours.highlight, colours.shadow);
  bevel(4, colours.shadow, colours.highlight);
  for (int x : layout.separatorX) canvas.DrawLine({x, 4}, {x, h - 4}, Pen{colours.shadow});
  canvas.SetTextBackground(colours.face);
  for (size_t i = 0; i < pieces.size() && i < layout.pieceX.size(); ++i)
    canvas.DrawText(role, {layout.pieceX[i], layout.textY}, pieces[i], colours.text);
  canvas.SetTextBackground(kTransparent);
}

Point ParkedFramePosition(const Rect& frame, const Rect& virtualScreen) {
  return {virtualScreen.left - frame.Width(), virtualScreen.top - frame.Height()};
}

void ClockDragTracker::Press(Point at) {
  down_ = true;
  moving_ = false;
  pressed_ = at;
}

bool ClockDragTracker::Move(Point at) {
  if (!down_ || moving_) return false;
  if (std::abs(at.x - pressed_.x) <= 1 && std::abs(at.y - pressed_.y) <= 1) return false;
  moving_ = true;
  down_ = false;
  return true;
}

bool ClockDragTracker::Release() {
  bool click = down_ && !moving_;
  down_ = false;
  moving_ = false;
  return click;
}

std::optional<int> ClockDialogValue(bool enabled, int options) {
  options &= kClockOptionBits;
  if (!enabled) return options;
  if (!(options & (kClockShowTime | kClockShowDate | kClockShowWeekday))) return std::nullopt;
  return options | kClockEnabled;
}

}  // namespace kv
