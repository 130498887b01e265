#include "views/day_page.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <filesystem>

#include "base/canvas_record.h"
#include "base/file_io.h"
#include "calendar/jewish.h"
#include "overlays/day_assembly.h"
#include "overlays/overlay_file.h"
#include "overlays/overlay_set.h"
#include "overlays/overlay_source.h"
#include "calendar/date_format.h"
#include "calendar/regional.h"
#include "sky/astro.h"

namespace kv {
namespace {

DayEntry Entry(const std::string& text, int32_t source, int32_t offset = 0, uint8_t gift = 0) {
  DayEntry e;
  e.text = text, e.source = source, e.offset = offset, e.gift = gift;
  return e;
}

DayToDoRow ToDo(int priority, DateStamp due, const std::string& text, uint16_t slot) {
  DayToDoRow r;
  r.priority = priority, r.due = due, r.text = text, r.slot = slot;
  return r;
}

class DayPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetRegional(RegionalSettings{});
    in.date = DateStamp{2026, 6, 21};
    in.options.julianDay = true;
    in.options.weekNumbers = true;
    in.options.jewishDateLine = true;
    in.options.hasReference = true;
    in.options.locationName = "Tromso";
    in.entries = {Entry("Summer Solstice", 0), Entry("Anna's Birthday", 1, -3), Entry("Wedding", 2, 2, 1),
                  Entry("9:00a Dentist", -42)};
    in.schedule = {DayScheduleRow{540, 600, "Dentist", 42, true}, DayScheduleRow{780, 1500, "Night train", 43, false},
                   DayScheduleRow{1500, 1560, "Tomorrow", 44, false}};
    in.due = {ToDo(1, DateStamp{2026, 6, 21, 23, 59}, "Pay rent", 3)};
    in.todo = {ToDo(2, DateStamp{2026, 6, 25, 10, 0}, "Book hotel", 4), ToDo(1, DateStamp{2026, 6, 21, 23, 59}, "Pay rent", 3)};
    in.sky = true;
    in.daylight = true;
    in.sun.flags = NEVER_SETS;
    in.moon = RiseSet{1400, 700, 100.0, 262.96, 0};
    in.phase = MoonPhaseEntry{6, 22, 500, 2};
  }
  std::vector<std::string> Texts(const std::vector<DayLine>& lines, DaySection section) {
    std::vector<std::string> out;
    for (const DayLine& l : lines)
      if (l.section == section) out.push_back(l.text);
    return out;
  }
  DayPageInput in;
};

TEST_F(DayPageTest, LinesReadAsTheUserSeesThem) {
  std::vector<DayLine> lines = BuildDayLines(in);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0].text, FormatLongDate(6, 21, 2026));
  EXPECT_EQ(lines[0].left, "172/193");
  EXPECT_EQ(lines[0].right, "Week 24");
  EXPECT_EQ(lines[1].text, "(Tammuz 6, 5786)");
  // Offsets become prefixes, the gift follows in brackets, schedule items stay in their box.
  EXPECT_EQ(Texts(lines, DaySection::Entries),
            (std::vector<std::string>{"Summer Solstice", "3 days before Anna's Birthday", "2 days after Wedding (Paper, Clocks)"}));
  // Items starting on another day are not rows of this day.
  EXPECT_EQ(Texts(lines, DaySection::Schedule),
            (std::vector<std::string>{"Schedule: ", "Start\tEnd\tActivity", "9:00a\t10:00a\tDentist", "1:00p\t1:00a\tNight train"}));
  EXPECT_EQ(Texts(lines, DaySection::Due), (std::vector<std::string>{"Due Today: ", "Pri.\tDue\tItem:", "1\t\tPay rent"}));
  std::vector<std::string> todo = Texts(lines, DaySection::ToDo);
  ASSERT_EQ(todo.size(), 4u);
  EXPECT_EQ(todo[0], "To Do: ");
  EXPECT_EQ(todo[2], "2\t" + FormatShortDate(6, 25, 2026) + "\tBook hotel");
  // A polar day, a moonrise pushed past midnight by the daylight hour, azimuths cut to tenths.
  std::string moonset = "Moonset: " + FormatTimeOfDay(760, Regional()) + "  -  Azimuth 262.9\xB0";
  EXPECT_EQ(Texts(lines, DaySection::Sun), (std::vector<std::string>{"Sun and Moon: ", "Tromso", "The sun will not set.",
                                                                      "Moonrise: None", moonset, "Jun. 22  First Quarter"}));
}

TEST_F(DayPageTest, SkyEdgeCases) {
  struct Case {
    RiseSet sun, moon;
    bool daylight;
    std::vector<std::string> sky;  // the lines after the location
  };
  std::string t = [] { return std::string(); }();
  auto rise = [](int label, int minute, const char* az) {
    return std::string(label == 0 ? "Sunrise: " : label == 1 ? "Sunset: " : label == 2 ? "Moonrise: " : "Moonset: ") +
           FormatTimeOfDay(minute, Regional()) + "  -  Azimuth " + az + "\xB0";
  };
  Case cases[] = {
      // Daylight time adds one hour, once.
      {RiseSet{300, 1260, 45.06, 315.0, 0}, RiseSet{0, 0, 0, 0, NEVER_RISES}, true,
       {rise(0, 360, "45.0"), rise(1, 1320, "315.0"), "The moon will not rise."}},
      {RiseSet{300, 1260, 45.06, 315.0, 0}, RiseSet{0, 0, 0, 0, NEVER_SETS}, false,
       {rise(0, 300, "45.0"), rise(1, 1260, "315.0"), "The moon will not set."}},
      // Midwinter in the Arctic; a moonrise rounded to 1440 is not on this day.
      {RiseSet{0, 0, 0, 0, NEVER_RISES}, RiseSet{1440, 600, 80.0, 280.0, 0}, false,
       {"The sun will not rise.", "Moonrise: None", rise(3, 600, "280.0")}},
  };
  in.phase.reset();
  for (const Case& c : cases) {
    in.sun = c.sun, in.moon = c.moon, in.daylight = c.daylight;
    std::vector<std::string> sky = Texts(BuildDayLines(in), DaySection::Sun);
    ASSERT_GE(sky.size(), 2u);
    EXPECT_EQ(std::vector<std::string>(sky.begin() + 2, sky.end()), c.sky);
  }
  // Hidden, or without a point of reference: no box at all.
  in.options.sunMoonHidden = true;
  EXPECT_TRUE(Texts(BuildDayLines(in), DaySection::Sun).empty());
  in.options.sunMoonHidden = false;
  in.sky = false;
  EXPECT_TRUE(Texts(BuildDayLines(in), DaySection::Sun).empty());
  // Jewish-primary mode has no day-of-year label.
  in.options.jewishPrimary = true;
  EXPECT_EQ(BuildDayLines(in)[0].left, "");
}

TEST_F(DayPageTest, KeysMoveTheFocusAndBeepAtTheEnds) {
  std::vector<DayLine> lines = BuildDayLines(in);
  auto index = [&](const std::string& text) {
    auto it = std::find_if(lines.begin(), lines.end(), [&](const DayLine& l) { return l.text == text; });
    return static_cast<int>(it - lines.begin());
  };
  int title = 0, first = index("Summer Solstice"), wedding = index("2 days after Wedding (Paper, Clocks)");
  int dentist = index("9:00a\t10:00a\tDentist"), rent = index("1\t\tPay rent"), location = index("Tromso");
  int last = static_cast<int>(lines.size()) - 1;
  ASSERT_EQ(FirstFocusLine(lines), title);
  struct Case {
    int from;
    DayKey key;
    int to;
    bool beep;
  } cases[] = {
      {title, DayKey::Up, title, true},          // nothing above the first line
      {last, DayKey::Down, last, true},          // nothing below the last
      {title, DayKey::Down, first, false},       // the Jewish date line is not a stop
      {wedding, DayKey::Down, dentist, false},   // box and column heads are skipped
      {dentist, DayKey::Up, wedding, false},
      {first, DayKey::Home, title, false},
      {first, DayKey::End, last, false},
      {first, DayKey::PageDown, dentist, false},
      {dentist, DayKey::PageDown, rent, false},  // the start of "Due Today"
      {location, DayKey::PageDown, location, true},
      {wedding, DayKey::PageUp, title, false},   // the start of the section before
      {title, DayKey::PageUp, title, true},
      {-1, DayKey::Down, first, false},          // no focus yet: from the first line
  };
  for (const Case& c : cases) {
    DayKeyResult r = DayPageKey(lines, c.from, c.key);
    EXPECT_EQ(r.focus, c.to) << c.from << " key " << static_cast<int>(c.key);
    EXPECT_EQ(r.beep, c.beep) << c.from << " key " << static_cast<int>(c.key);
  }
  DayKeyResult space = DayPageKey(lines, dentist, DayKey::Space);
  EXPECT_TRUE(space.act);
  EXPECT_FALSE(space.beep);
  EXPECT_EQ(DayLineAction(lines, dentist), DayAction::OpenSchedule);
  EXPECT_EQ(DayLineAction(lines, first), DayAction::OpenEntry);
  EXPECT_EQ(DayLineAction(lines, rent), DayAction::OpenToDo);
  EXPECT_EQ(DayLineAction(lines, title), DayAction::QuickEdit);
  EXPECT_EQ(DayLineAction(lines, location), DayAction::None);
  EXPECT_EQ(DayLineAction(lines, 999), DayAction::None);
  // An empty page beeps on every move.
  EXPECT_TRUE(DayPageKey({}, -1, DayKey::Down).beep);
}

TEST_F(DayPageTest, LayoutHitsAndPaint) {
  RecordingCanvas canvas;
  in.due[0].overdue = true;
  std::vector<DayLine> lines = BuildDayLines(in);
  DayPageLayout layout = LayOutDayPage(canvas, 600, lines, 12);
  ASSERT_EQ(layout.lines.size(), lines.size());
  for (size_t i = 1; i < lines.size(); ++i) {
    EXPECT_GE(layout.lines[i].top, layout.lines[i - 1].bottom) << i;  // top to bottom, no overlap
    if (lines[i].kind == DayLineKind::ScheduleRow) {
      EXPECT_GE(layout.lines[i].Height(), 16);
    }
  }
  auto centre = [&](size_t i) {
    const Rect& r = layout.lines[i];
    return Point{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  };
  auto find = [&](DayLineKind kind, DaySection section) {
    for (size_t i = 0; i < lines.size(); ++i)
      if (lines[i].kind == kind && lines[i].section == section) return i;
    return lines.size();
  };
  size_t row = find(DayLineKind::ScheduleRow, DaySection::Schedule);
  size_t heads = find(DayLineKind::ColumnHeads, DaySection::Schedule);
  size_t entry = find(DayLineKind::Entry, DaySection::Entries);
  size_t due = find(DayLineKind::DueRow, DaySection::Due);
  size_t dueHeads = find(DayLineKind::ColumnHeads, DaySection::Due);
  EXPECT_EQ(DayPageHit(layout, lines, centre(row)).action, DayAction::OpenSchedule);
  EXPECT_EQ(DayPageHit(layout, lines, centre(row)).line, static_cast<int>(row));
  EXPECT_EQ(DayPageHit(layout, lines, centre(heads)).action, DayAction::NewSchedule);
  EXPECT_EQ(DayPageHit(layout, lines, centre(entry)).action, DayAction::OpenEntry);
  EXPECT_EQ(DayPageHit(layout, lines, centre(due)).action, DayAction::OpenToDo);
  EXPECT_EQ(DayPageHit(layout, lines, centre(dueHeads)).action, DayAction::None);
  EXPECT_EQ(DayPageHit(layout, lines, Point{1, layout.height - 1}).action, DayAction::QuickEdit);

  PaintDayPage(canvas, layout, lines, static_cast<int>(row), in.options);
  for (const char* text : {"Schedule: ", "Start", "Activity", "Due Today: ", "Item:", "To Do: ", "Sun and Moon: ",
                           "The sun will not set.", "Moonrise: None", "172/193", "Week 24"})
    EXPECT_NE(canvas.FindText(text), nullptr) << text;
  // The focused row is filled with the selection colour; the phase symbol is drawn.
  bool selected = false;
  for (const CanvasCall* c : canvas.CallsOf(CallKind::Fill)) selected |= c->colour == in.options.colours.selection && c->rect == layout.lines[row];
  EXPECT_TRUE(selected);
  EXPECT_EQ(canvas.Count(CallKind::Pie), 1u);  // first quarter: the dark half
  // An overdue item: its priority digit in the highlight colour, its text plain.
  bool redDigit = false, plainText = false;
  for (const CanvasCall* c : canvas.CallsOf(CallKind::TextInRect)) {
    redDigit |= c->text == "1" && c->colour == in.options.colours.highlight;
    plainText |= c->text == "Pay rent" && c->colour == in.options.colours.windowText;
  }
  EXPECT_TRUE(redDigit);
  EXPECT_TRUE(plainText);
}

// The day view shows the selected day's entries whatever month the assembly held before: a
// Gregorian month, then the same day in Jewish-primary mode, where the day is a Jewish day.
TEST(DayPageEntries, FollowTheSelectedDayAndMode) {
  namespace fs = std::filesystem;
  fs::path file = fs::temp_directory_path() / ("kvdaypage-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + ".kov");
  OverlayImage image;
  std::string error;
  ASSERT_TRUE(CompileOverlaySource(R"(event "Purim" kind=jewish-date month=6 day=14
event "Ides" kind=annual month=3 day=15
)", image, error)) << error;
  ASSERT_TRUE(WriteFileReplacing(file.string(), SerializeOverlay(image)));
  ResetOverlays();
  ResetAssembly();
  ResetCalendarState();
  ASSERT_GT(AddOverlay(file.string()), 0);

  RecomputeDisplayedMonths(2024, 1);  // the month view was elsewhere
  SelectGregorianDate(DateStamp{2024, 3, 24});  // Purim 5784 (14 Adar II)
  auto texts = [] {
    std::vector<std::string> out;
    for (const DayEntry* e : AssembledDayEntries(Calendar())) out.push_back(e->text);
    return out;
  };
  EXPECT_EQ(texts(), (std::vector<std::string>{"Purim"}));
  SelectGregorianDate(DateStamp{2024, 3, 15});
  EXPECT_EQ(texts(), (std::vector<std::string>{"Ides"}));

  ViewOptions jewish;
  jewish.jewishPrimary = true;
  SetViewOptions(jewish);  // 15 March 2024 is 5 Adar II 5784
  ASSERT_EQ(Calendar().month, kAdarII);
  EXPECT_EQ(texts(), (std::vector<std::string>{"Ides"}));
  EXPECT_TRUE(Assembly().options.jewishMode);
  SelectGregorianDate(DateStamp{2024, 3, 24});
  EXPECT_EQ(texts(), (std::vector<std::string>{"Purim"}));

  ResetOverlays();
  ResetAssembly();
  ResetCalendarState();
  std::error_code ec;
  fs::remove(file, ec);
}

}  // namespace
}  // namespace kv
