#include "overlays/day_assembly.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <random>

#include "calendar/jewish.h"
#include "calendar/regional.h"
#include "calendar/daylight_markers.h"
#include "overlays/overlay_set.h"
#include "overlays/overlay_source.h"
#include "base/file_io.h"
#include "base/messages.h"

namespace kv {
namespace {

namespace fs = std::filesystem;

class FakeSchedule : public ScheduleSource {
 public:
  void ItemsInRange(const DateStamp& first, const DateStamp& last, std::vector<ScheduleItem>& out) override {
    asked.push_back({first, last});
    for (const ScheduleItem& i : items) out.push_back(i);
  }
  std::vector<ScheduleItem> items;
  std::vector<std::pair<DateStamp, DateStamp>> asked;
};

class FakeNotes : public NoteLookup {
 public:
  bool HasDayNote(const DateStamp& day) override { return day.day % 10 == 3; }
};

class FakeMoon : public MoonPhaseSource {
 public:
  void QuartersInMonth(int, int month, std::vector<MoonQuarter>& out) override {
    out.push_back(MoonQuarter{month == 12 ? 9 : 2, 3, 615});
  }
};

class DayAssemblyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("kvasm-" + std::to_string(std::random_device{}()));
    fs::create_directories(folder_);
    ResetOverlays();
    ResetAssembly();
    SetRegional(RegionalSettings{});
  }
  void TearDown() override {
    ResetOverlays();
    ResetAssembly();
    SetScheduleSource(nullptr);
    SetNoteLookup(nullptr);
    SetMoonPhaseSource(nullptr);
    SetDaylightMarkers(DaylightMarkers{});
    std::error_code ec;
    fs::remove_all(folder_, ec);
  }
  // Adds an overlay compiled from its text.
  int Add(const std::string& name, const std::string& text) {
    OverlayImage image;
    std::string error;
    EXPECT_TRUE(CompileOverlaySource(text, image, error)) << error;
    std::string path = (folder_ / name).string();
    EXPECT_TRUE(WriteFileReplacing(path, SerializeOverlay(image)));
    return AddOverlay(path);
  }
  std::vector<std::string> Texts(int day) {
    std::vector<std::string> out;
    for (const DayEntry* e : DayEntries(day)) out.push_back(e->text);
    return out;
  }
  std::map<int, int> CountsByDay() {
    std::map<int, int> out;
    for (int d = 1; d <= 31; ++d)
      if (FirstEntry(d)) out[d] = static_cast<int>(DayEntries(d).size());
    return out;
  }
  fs::path folder_;
};

TEST_F(DayAssemblyTest, WeeklyAndRangedDailyEvents) {
  Add("a.kov", R"(event "Yoga" kind=weekly weekday=tue
event "Festival" kind=every-day year=2026 month=12 day=10 range_end=2026/12/13
)");
  RecomputeDisplayedMonths(2026, 12);
  std::map<int, int> counts = CountsByDay();
  EXPECT_EQ(counts, (std::map<int, int>{{1, 1}, {8, 1}, {10, 1}, {11, 1}, {12, 1}, {13, 1}, {15, 1}, {22, 1}, {29, 1}}));
  EXPECT_EQ(Assembly().flags[10], kDayHasEvent);
  EXPECT_EQ(Assembly().flags[2], 0);
}

TEST_F(DayAssemblyTest, CellOrder) {
  Add("a.kov", R"(event "below 1" kind=annual month=6 day=3 below=1
event "above 5" kind=annual month=6 day=3 above=5
event "nine, weight 3" kind=annual month=6 day=3 time=09:00 sametime=3
event "above 1" kind=annual month=6 day=3 above=1
event "nine, weight 1" kind=annual month=6 day=3 time=09:00 sametime=1
event "below 9" kind=annual month=6 day=3 below=9
)");
  FakeSchedule schedule;
  schedule.items.push_back(ScheduleItem{DateStamp{2026, 6, 3, 14, 30}, "Dentist", 42, 0x11});
  schedule.items.push_back(ScheduleItem{DateStamp{2026, 6, 3, 8, 5}, "Run", 43, 0});
  SetScheduleSource(&schedule);
  RecomputeDisplayedMonths(2026, 6);
  EXPECT_EQ(Texts(3), (std::vector<std::string>{"above 1", "above 5", "8:05a Run", "9:00a nine, weight 1",
                                                "9:00a nine, weight 3", "2:30p Dentist", "below 1", "below 9"}));
  std::vector<const DayEntry*> entries = DayEntries(3);
  EXPECT_EQ(entries[5]->source, -42);
  EXPECT_EQ(entries[5]->itemFlags, 0x11);
  EXPECT_EQ(entries[5]->listingWeight, 1440 - 870);
  // The links stay in pool order while the contents moved.
  EXPECT_EQ(entries[0]->previous, 0);
  EXPECT_EQ(entries.back()->next, 0);
  ASSERT_EQ(schedule.asked.size(), 1u);
  EXPECT_EQ(schedule.asked[0].first, (DateStamp{2026, 6, 1}));
  EXPECT_EQ(schedule.asked[0].second, (DateStamp{2026, 6, 30}));
}

TEST_F(DayAssemblyTest, AccentsMarksAndTheTabFilter) {
  int family = Add("Family.kov", R"(overlay highlight=1 text_colour=#FF0000 pattern=solid pattern_colour=#00FF00
event "Anna" kind=birthday year=1990 month=1 day=12
event "Own" kind=annual month=1 day=20 highlight=2 icon=5 text_colour=#0000FF
event "December" kind=annual month=12 day=24 highlight=1
event "February" kind=annual month=2 day=2
)");
  int work = Add("Work.kov", R"(event "Review" kind=annual month=1 day=12 highlight=1
)");
  FakeSchedule schedule;
  schedule.items.push_back(ScheduleItem{DateStamp{2026, 1, 5, 9, 0}, "Meeting", 1, 0});
  SetScheduleSource(&schedule);
  RecomputeDisplayedMonths(2026, 1);
  std::vector<const DayEntry*> twelve = DayEntries(12);
  ASSERT_EQ(twelve.size(), 2u);
  EXPECT_EQ(twelve[0]->text, "Anna's 36th Birthday");
  EXPECT_EQ(twelve[0]->highlight, 1);               // the overlay's default
  EXPECT_EQ(twelve[0]->textColour, 0x0000FFu);      // the overlay's text colour
  EXPECT_EQ(twelve[0]->pattern, 1);
  EXPECT_EQ(twelve[0]->patternColour, 0x00FF00u);
  const DayEntry* own = FirstEntry(20);
  EXPECT_EQ(own->highlight, 2);
  EXPECT_EQ(own->icon, 5);
  EXPECT_EQ(own->textColour, 0xFF0000u);
  EXPECT_EQ(own->accentFlags, kAccentTextColour | kAccentPattern | kAccentIcon);
  // Marks: the current month counts the default highlight; the small calendars only events
  // with their own.
  const AssemblyState& s = Assembly();
  EXPECT_EQ(s.slots[kSlotCurrent].marks[12], 1);
  EXPECT_EQ(s.slots[kSlotCurrent].marks[20], 1);
  EXPECT_EQ(s.slots[kSlotPrevious].marks[24], 1);
  EXPECT_EQ(s.slots[kSlotNext].marks[2], 0);
  EXPECT_EQ(s.slots[kSlotPrevious].year, 2025);
  EXPECT_EQ(s.slots[kSlotNext].month, 2);

  Assembly().options.tabOverlay = work;
  RecomputeDisplayedMonths(2026, 1);
  EXPECT_EQ(Texts(12), (std::vector<std::string>{"Review"}));
  EXPECT_EQ(Texts(5), (std::vector<std::string>{"9:00a Meeting"}));  // schedule items still appear
  EXPECT_TRUE(DayEntries(20).empty());
  Assembly().options.tabOverlay = family;
  RecomputeDisplayedMonths(2026, 1);
  EXPECT_EQ(Texts(12), (std::vector<std::string>{"Anna's 36th Birthday"}));
}

TEST_F(DayAssemblyTest, CarriesFromNeighbouringMonthsShowOnce) {
  Add("a.kov", R"(event "Charles" kind=birthday year=2018 month=1 day=3 offset=-7
event "New Year" kind=annual month=1 day=1 weekend=nearest
event "Month end" kind=monthly day=1 weekend=friday
)");
  RecomputeDisplayedMonths(2021, 12);
  // 1 January 2022 is a Saturday: New Year's observance and the 1st's Friday-before both land
  // on Friday 31 December; Charles' birthday of 3 January 2022 a week early.
  EXPECT_EQ(Texts(27), (std::vector<std::string>{"Charles' 4th Birthday"}));
  EXPECT_EQ(Texts(31), (std::vector<std::string>{"Month end", "New Year"}));  // event-list order
  EXPECT_EQ(Texts(1), (std::vector<std::string>{"Month end"}));
  RecomputeDisplayedMonths(2022, 1);
  EXPECT_TRUE(DayEntries(1).empty());
  EXPECT_TRUE(DayEntries(3).empty());
  EXPECT_EQ(FirstEntry(27), nullptr);
}

TEST_F(DayAssemblyTest, NotesMoonAndTimeChanges) {
  FakeNotes notes;
  FakeMoon moon;
  SetNoteLookup(&notes);
  SetMoonPhaseSource(&moon);
  DaylightMarkers markers;
  markers.daylightBegins = {3, 8, 0};
  markers.standardBegins = {11, 1, 0};
  SetDaylightMarkers(markers);
  RecomputeDisplayedMonths(2026, 3);
  EXPECT_EQ(Assembly().flags[3], 0);  // the indicator is off
  EXPECT_TRUE(DayEntries(8).empty());
  Assembly().options.notesIndicator = true;
  Assembly().options.moonPhases = true;
  Assembly().options.timeChanges = true;
  RecomputeDisplayedMonths(2026, 3);
  EXPECT_EQ(Assembly().flags[3], kDayHasNote);
  EXPECT_EQ(Assembly().flags[23], kDayHasNote);
  EXPECT_EQ(Assembly().moon[2].phase, 3);
  EXPECT_EQ(Assembly().moon[2].minute, 615);
  std::vector<const DayEntry*> change = DayEntries(8);
  ASSERT_EQ(change.size(), 1u);
  EXPECT_EQ(change[0]->text, "Begin daylight time");
  EXPECT_EQ(change[0]->source, kTimeChangeSource);
  EXPECT_EQ(change[0]->accentFlags, 0);
  Assembly().options.clockIcons = true;
  RecomputeDisplayedMonths(2026, 11);
  change = DayEntries(1);
  ASSERT_EQ(change.size(), 1u);
  EXPECT_EQ(change[0]->text, "Begin standard time");
  EXPECT_EQ(change[0]->icon, 18);
  EXPECT_EQ(change[0]->accentFlags, 128);
  SetDaylightMarkers(DaylightMarkers{});  // month 14: never
  RecomputeDisplayedMonths(2026, 3);
  EXPECT_TRUE(DayEntries(8).empty());
}

TEST_F(DayAssemblyTest, JewishMonths) {
  Add("j.kov", R"(event "Purim" kind=jewish-date month=6 day=14 highlight=1
event "Chanukah" kind=jewish-period month=3 day=25 days=8
event "Civil" kind=annual month=3 day=1
)");
  FakeSchedule schedule;
  SetScheduleSource(&schedule);
  Assembly().options.jewishMode = true;
  RecomputeDisplayedMonths(5784, kAdarII);  // 11 March ... 8 April 2024
  EXPECT_EQ(Assembly().slots[kSlotCurrent].length, 29);
  EXPECT_EQ(Texts(14), (std::vector<std::string>{"Purim"}));
  EXPECT_TRUE(DayEntries(20).empty());
  EXPECT_EQ(Assembly().slots[kSlotPrevious].month, kAdar);
  EXPECT_EQ(Assembly().slots[kSlotNext].month, kNisan);
  ASSERT_EQ(schedule.asked.size(), 1u);
  EXPECT_EQ(schedule.asked[0].first, (DateStamp{2024, 3, 11}));
  EXPECT_EQ(schedule.asked[0].second, (DateStamp{2024, 4, 8}));
  // Chanukah 5785 across Kislev and Tevet: days 25-29 (or 30) of Kislev and the rest in Tevet.
  RecomputeDisplayedMonths(5785, kKislev);
  int kislev = JewishMonthLength(kKislev, 5785);
  for (int d = 25; d <= kislev; ++d) EXPECT_EQ(Texts(d), (std::vector<std::string>{"Chanukah"})) << d;
  RecomputeDisplayedMonths(5785, kTevet);
  int inTevet = 8 - (kislev - 24);
  for (int d = 1; d <= 3; ++d) EXPECT_EQ(Texts(d).size(), d <= inTevet ? 1u : 0u) << d;
  // A Gregorian annual event inside a Jewish month: 1 March 2024 is 21 Adar I 5784.
  RecomputeDisplayedMonths(5784, kAdar);
  EXPECT_EQ(Texts(21), (std::vector<std::string>{"Civil"}));
  // Jewish months overlapping a Gregorian month.
  std::vector<JewishMonthPart> parts = JewishMonthsOfGregorianMonth(2024, 3);
  ASSERT_EQ(parts.size(), 2u);
  EXPECT_EQ(parts[0].month, kAdar);
  EXPECT_EQ(parts[1].month, kAdarII);
  EXPECT_EQ(parts[1].firstGregorianDay, 11);
}

TEST_F(DayAssemblyTest, PoolLimitReportedOnce) {
  std::string text;
  for (int i = 0; i < 2200; ++i) text += "event \"Every day " + std::to_string(i) + "\" kind=every-day year=2000 month=1 day=1 range_end=2100/1/1\n";
  Add("many.kov", text);
  ScriptedMessages messages;
  ScopedMessageSink scope(messages);
  RecomputeDisplayedMonths(2026, 1);
  EXPECT_EQ(Assembly().pool.size(), kMaxDayEntries);
  EXPECT_EQ(messages.Texts(), (std::vector<std::string>{"Not enough memory to complete operation."}));
  EXPECT_EQ(messages.Shown()[0].icon, MsgIcon::Stop);
  size_t listed = 0;
  for (int d = 1; d <= 31; ++d) listed += DayEntries(d).size();
  EXPECT_EQ(listed, kMaxDayEntries);
}

// Every month of 1900-2100 with all seven standard overlays as the build places them in the
// program folder: runs clean under the sanitizer build, and every annual Gregorian event shows
// exactly once a year, every Jewish annual event once a Jewish year.
TEST_F(DayAssemblyTest, StandardOverlaysOverTwoCenturies) {
  std::string data = RunningProgramFolder() + "/Data/";
  for (const char* name : {"USA_HDAY", "CAN_HDAY", "GBR_HDAY", "FRA_HDAY", "CHRSTIAN", "JEWISH", "SAMPLE"})
    ASSERT_GT(AddOverlay(data + name + ".DAT"), 0) << name;
  Assembly().options.timeChanges = true;
  const std::vector<LoadedEvent>& events = Overlays().events;
  std::map<std::pair<size_t, int>, int> perYear;  // (source, Gregorian year) -> count
  for (int y = 1900; y <= 2100; ++y) {
    for (int m = 1; m <= 12; ++m) {
      RecomputeDisplayedMonths(y, m);
      for (int d = 1; d <= 31; ++d)
        for (const DayEntry* e : DayEntries(d))
          if (e->source >= 0 && e->source < static_cast<int32_t>(events.size())) ++perYear[{static_cast<size_t>(e->source), y}];
    }
  }
  for (int y = 1900; y <= 2100; ++y) {
    for (int slot = kSlotYearFirst; slot < kSlotYearFirst + 12; ++slot) Assemble(slot, y, slot - kSlotYearFirst + 1);
  }
  for (size_t i = 0; i < events.size(); ++i) {
    const OverlayEvent& e = events[i].event;
    bool annual = (e.kind == kKindAnnual || e.kind == kKindAnnualNthWeekday || e.kind == kKindAnnualLastWeekday ||
                   e.kind == kKindFloating || e.kind == kKindEaster) && e.endDay == 0;
    if (!annual) continue;
    // A weekend move can carry 1 January into the year before: then one year has two.
    bool carried = e.month == 1 && e.day == 1 && (e.flags & kWeekendRuleMask);
    int total = 0;
    for (int y = 1901; y <= 2099; ++y) {
      total += perYear[{i, y}];
      ASSERT_LE((perYear[{i, y}]), carried ? 2 : 1) << e.description << " " << y;
    }
    ASSERT_NEAR(total, 199, carried ? 1 : 0) << e.description;
  }
}

}  // namespace
}  // namespace kv

namespace kv {
namespace {

// The year view of a Jewish leap year has thirteen months: Adar II gets a slot of its own after
// Adar I, with its marks, and the months after it move one slot on.
TEST_F(DayAssemblyTest, YearSlotsOfAJewishLeapYear) {
  Add("j.kov", R"(event "Purim" kind=jewish-date month=6 day=14 highlight=1
event "Civil" kind=annual month=3 day=1 highlight=1
)");
  Assembly().options.jewishMode = true;
  AssembleYear(5784);
  const AssemblyState& s = Assembly();
  ASSERT_EQ(YearMonthCount(5784, true), 13);
  struct Case { int index; int month; int length; int markedDay; };
  for (const Case& c : {Case{0, kTishrei, 30, 0}, Case{5, kAdar, 30, 21}, Case{6, kAdarII, 29, 14},
                        Case{7, kNisan, 30, 0}, Case{12, kElul, 29, 0}}) {
    const MonthSlot& slot = s.slots[static_cast<size_t>(kSlotYearFirst + c.index)];
    EXPECT_EQ(slot.month, c.month) << c.index;
    EXPECT_TRUE(slot.jewish) << c.index;
    EXPECT_EQ(slot.length, c.length) << c.index;
    if (c.markedDay) {
      EXPECT_EQ(slot.marks[static_cast<size_t>(c.markedDay)], 1) << c.index;
    }
    EXPECT_EQ(YearIndexOf(5784, c.month, true), c.index);
  }
  EXPECT_EQ(s.slots[kSlotYearFirst + 5].marks[14], 0);  // Purim is in Adar II of a leap year

  // A common year uses twelve slots and empties the thirteenth.
  AssembleYear(5785);
  EXPECT_EQ(YearMonthCount(5785, true), 12);
  EXPECT_EQ(s.slots[kSlotYearFirst + 5].month, kAdar);
  EXPECT_EQ(s.slots[kSlotYearFirst + 5].marks[14], 1);
  EXPECT_EQ(s.slots[kSlotYearFirst + 11].month, kElul);
  EXPECT_EQ(s.slots[kSlotYearFirst + 12].length, 0);
  EXPECT_EQ(YearIndexOf(5785, kAdarII, true), -1);
  EXPECT_EQ(YearMonthAt(5785, 12, true), -1);

  // Gregorian years: January ... December, the thirteenth slot unused.
  Assembly().options.jewishMode = false;
  AssembleYear(2024);
  EXPECT_EQ(s.slots[kSlotYearFirst].month, 1);
  EXPECT_FALSE(s.slots[kSlotYearFirst].jewish);
  EXPECT_EQ(s.slots[kSlotYearFirst + 2].marks[1], 1);
  EXPECT_EQ(s.slots[kSlotYearFirst + 11].month, 12);
  EXPECT_EQ(s.slots[kSlotYearFirst + 12].length, 0);
  EXPECT_EQ(YearMonthAt(2024, 12, false), -1);
}

}  // namespace
}  // namespace kv
