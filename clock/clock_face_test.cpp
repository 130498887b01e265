#include "clock/clock_face.h"

#include <gtest/gtest.h>

#include "base/canvas_record.h"

namespace kv {
namespace {

CalendarNames TestNames() {
  CalendarNames n;
  const char* months[] = {"", "January", "February", "March", "April", "May", "June", "July", "August", "September",
                          "October", "November", "December"};
  const char* days[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
  for (int i = 1; i <= 12; ++i) n.months[i] = months[i];
  for (int i = 0; i < 7; ++i) n.weekdays[i] = days[i];
  return n;
}

TEST(ClockSetting, ParsesStoredText) {
  struct Case {
    const char* text;
    int want;
  } cases[] = {
      {"", kClockDefault},           // missing: time, date, weekday, on top; off
      {"abc", kClockDefault},        // unreadable
      {"-5", kClockDefault},
      {"270", 270},                  // 0x10E: enabled, time, date, weekday
      {" 398 ", 398},                // 0x18E with glass
      {"4095", 0x18F},               // unknown bits dropped
      {"0", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseClockSetting(c.text), c.want) << c.text;
  EXPECT_EQ(ParseClockCoordinate(""), -1);
  EXPECT_EQ(ParseClockCoordinate("x1"), -1);
  EXPECT_EQ(ParseClockCoordinate("812"), 812);
}

TEST(ClockPieces, FollowTheDisplayBits) {
  RegionalSettings regional;
  CalendarNames names = TestNames();
  DateStamp now{2026, 12, 31, 23, 58};
  const int minute = 23 * 60 + 58;
  EXPECT_EQ(ClockPieces(0x0E, now, minute, regional, names), (std::vector<std::string>{"11:58 PM", "Dec 31", "Thu"}));
  EXPECT_EQ(ClockPieces(0x02, now, minute, regional, names), (std::vector<std::string>{"11:58 PM"}));
  EXPECT_EQ(ClockPieces(0x0C, now, minute, regional, names), (std::vector<std::string>{"Dec 31", "Thu"}));
  EXPECT_TRUE(ClockPieces(0x01, now, minute, regional, names).empty());
  regional.clock24 = true;
  EXPECT_EQ(ClockPieces(0x02, DateStamp{2027, 1, 1, 0, 5}, 5, regional, names), (std::vector<std::string>{"0:05"}));
  // A date the clock has not read yet shows no date pieces rather than reading out of range.
  EXPECT_EQ(ClockPieces(0x0E, DateStamp{}, 0, regional, names).size(), 1u);
}

TEST(ClockLayout, PlainClockOnePieceHasNoSeparator) {
  RecordingCanvas canvas;
  std::vector<std::string> one{"11:58 PM"};
  ClockLayout layout = MeasurePlainClock(canvas, FontRole::Dialog, one);
  int w = canvas.TextWidth(FontRole::Dialog, "11:58 PM");
  EXPECT_EQ(layout.window.cx, w + 10 + 2);
  EXPECT_EQ(layout.window.cy, canvas.LineHeight(FontRole::Dialog) + 10);
  EXPECT_TRUE(layout.separatorX.empty());
  EXPECT_EQ(layout.pieceX, std::vector<int>{6});

  PaintPlainClock(canvas, FontRole::Dialog, layout, one, ClockColours{0xF0F0F0, 0x000000, 0x808080, 0xFFFFFF, 0x101010});
  EXPECT_EQ(canvas.Texts(), one);
  // Frame, two bevels of four lines each, and nothing else.
  EXPECT_EQ(canvas.Count(CallKind::Line), 8u);
  EXPECT_EQ(canvas.Count(CallKind::Frame), 1u);
}

TEST(ClockLayout, PlainClockPiecesAndSeparators) {
  RecordingCanvas canvas;
  std::vector<std::string> pieces{"9:05 AM", "Mar 7", "Sat"};
  ClockLayout layout = MeasurePlainClock(canvas, FontRole::Dialog, pieces);
  int w0 = canvas.TextWidth(FontRole::Dialog, pieces[0]), w1 = canvas.TextWidth(FontRole::Dialog, pieces[1]),
      w2 = canvas.TextWidth(FontRole::Dialog, pieces[2]);
  EXPECT_EQ(layout.window.cx, w0 + w1 + w2 + 30 + 2);
  EXPECT_EQ(layout.pieceX, (std::vector<int>{6, 16 + w0, 26 + w0 + w1}));
  EXPECT_EQ(layout.separatorX, (std::vector<int>{11 + w0, 21 + w0 + w1}));

  ClockColours colours{0xF0F0F0, 0x112233, 0x808080, 0xFFFFFF, 0x101010};
  PaintPlainClock(canvas, FontRole::Dialog, layout, pieces, colours);
  ASSERT_EQ(canvas.Texts(), pieces);
  for (const CanvasCall* text : canvas.CallsOf(CallKind::Text)) {
    EXPECT_EQ(text->colour, colours.text);
    EXPECT_EQ(text->rect.top, 5);
    // Every text lies inside the inner bevel.
    EXPECT_LT(text->rect.right, layout.window.cx - 4);
    EXPECT_LE(text->rect.bottom, layout.window.cy - 5);
  }
  // The separators run between the pieces and do not touch them.
  auto lines = canvas.CallsOf(CallKind::Line);
  ASSERT_EQ(lines.size(), 10u);
  for (size_t i = 0; i < 2; ++i) {
    const CanvasCall* sep = lines[8 + i];
    EXPECT_EQ(sep->points[0].x, sep->points[1].x);
    EXPECT_GT(sep->points[0].x, layout.pieceX[i] + canvas.TextWidth(FontRole::Dialog, pieces[i]));
    EXPECT_LT(sep->points[0].x, layout.pieceX[i + 1]);
  }
  const CanvasCall& fill = canvas.Calls()[0];
  EXPECT_EQ(fill.kind, CallKind::Fill);
  EXPECT_EQ(fill.colour, colours.face);
  EXPECT_EQ(fill.rect, (Rect{0, 0, layout.window.cx, layout.window.cy}));
}

TEST(ClockLayout, GlassClockJoinsThePieces) {
  RecordingCanvas canvas;
  std::vector<std::string> pieces{"9:05 AM", "Mar 7", "Sat"};
  EXPECT_EQ(JoinClockPieces(pieces), "9:05 AM  \x95  Mar 7  \x95  Sat");
  EXPECT_EQ(JoinClockPieces({"Sat"}), "Sat");
  ClockLayout layout = MeasureGlassClock(canvas, FontRole::Dialog, pieces, Size{4, 3});
  int sum = 0;
  for (const auto& p : pieces) sum += canvas.TextWidth(FontRole::Dialog, p);
  EXPECT_EQ(layout.window.cx, sum + 2 * canvas.TextWidth(FontRole::Dialog, kGlassSeparator) + 8);
  EXPECT_EQ(layout.window.cy, canvas.LineHeight(FontRole::Dialog) + 6);
  ClockLayout one = MeasureGlassClock(canvas, FontRole::Dialog, {"Sat"}, Size{4, 3});
  EXPECT_EQ(one.window.cx, canvas.TextWidth(FontRole::Dialog, "Sat") + 8);
}

TEST(ClockPlace, StaysOnTheScreen) {
  const Size window{100, 26}, screen{1280, 1024};
  struct Case {
    int x, y;
    Point want;
  } cases[] = {
      {-1, -1, {0, 0}},            // nothing stored: the corner
      {200, 300, {200, 300}},
      {5000, 300, {1179, 300}},    // beyond the right edge: pulled back, fully on the screen
      {200, 5000, {200, 997}},
      {1179, 997, {1179, 997}},    // exactly fits
      {1180, 998, {1179, 997}},
      {-1, 40, {0, 40}},
  };
  for (const Case& c : cases) EXPECT_EQ(PlaceClock(c.x, c.y, window, screen), c.want) << c.x << "," << c.y;
  // A window wider than the screen starts at its left edge.
  EXPECT_EQ(PlaceClock(50, 50, Size{2000, 26}, screen), (Point{0, 50}));
}

TEST(ClockPlace, FrameParksOutOfSight) {
  EXPECT_EQ(ParkedFramePosition(Rect{100, 50, 900, 650}, Rect{0, 0, 1280, 1024}), (Point{-800, -600}));
  // A monitor left of the primary one: out of sight of the whole virtual screen.
  EXPECT_EQ(ParkedFramePosition(Rect{-500, 10, 300, 610}, Rect{-1920, -200, 1280, 1024}), (Point{-2720, -800}));
}

TEST(ClockDrag, TellsAMoveFromAClick) {
  ClockDragTracker t;
  t.Press({10, 10});
  EXPECT_FALSE(t.Move({11, 11}));  // one pixel either way is still a click
  EXPECT_FALSE(t.Move({9, 9}));
  EXPECT_TRUE(t.Release());        // opens the menu

  t.Press({10, 10});
  EXPECT_TRUE(t.Move({12, 10}));   // two pixels starts the move, once
  EXPECT_FALSE(t.Move({20, 10}));
  EXPECT_FALSE(t.Release());       // no menu after a move

  EXPECT_FALSE(t.Move({50, 50}));  // moving with the button up does nothing
  EXPECT_FALSE(t.Release());       // a release without a press opens nothing
  t.Press({0, 0});
  EXPECT_TRUE(t.Move({0, -2}));
}

TEST(ClockDialog, NeedsOneDisplayItemWhenEnabled) {
  EXPECT_EQ(ClockDialogValue(true, 0x0F), 0x10F);
  EXPECT_EQ(ClockDialogValue(true, 0x02), 0x102);
  EXPECT_EQ(ClockDialogValue(true, 0x08 | kClockGlass), 0x188);
  EXPECT_EQ(ClockDialogValue(true, 0x01), std::nullopt);
  EXPECT_EQ(ClockDialogValue(true, kClockGlass), std::nullopt);
  // Switched off, the choices are kept for the next time, checked or not.
  EXPECT_EQ(ClockDialogValue(false, 0x01), 0x01);
  EXPECT_EQ(ClockDialogValue(false, 0x0E), 0x0E);
}

}  // namespace
}  // namespace kv
