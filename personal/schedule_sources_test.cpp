#include "personal/schedule_sources.h"

#include <gtest/gtest.h>

#include "personal/personal_test_support.h"

namespace kv {
namespace {

class MonthSources : public test::PersonalTest {
 protected:
  void SetUp() override {
    PersonalTest::SetUp();
    ResetAssembly();
    InstallPersonalSources();
    Assembly().options.notesIndicator = true;
  }
  void TearDown() override {
    SetScheduleSource(nullptr);
    SetNoteLookup(nullptr);
    ResetAssembly();
    PersonalTest::TearDown();
  }
  static std::vector<std::string> Texts(int day) {
    std::vector<std::string> out;
    for (const DayEntry* e : DayEntries(day)) out.push_back(e->text);
    return out;
  }
};

TEST_F(MonthSources, TheMonthShowsItsCalendarItemsAndMarksDaysWithNotes) {
  uint16_t shown = PutItem(2025, 3, 14, 23 * 60, 1500, "Night shift", 1, kSchedFlagItem | kSchedFlagMonthCalendar);
  PutItem(2025, 3, 14, 600, 660, "Not on the calendar");
  PutItem(2025, 4, 1, 60, 120, "Early in April", 2, kSchedFlagItem | kSchedFlagMonthCalendar);  // 31 March here
  NoteContext day = DayNoteContext(2025, 3, 20);
  ASSERT_TRUE(NoteSave(day, "Spring"));

  RecomputeDisplayedMonths(2025, 3);
  auto on14 = DayEntries(14);
  ASSERT_EQ(on14.size(), 1u);
  EXPECT_NE(on14[0]->text.find("Night shift"), std::string::npos);
  EXPECT_EQ(on14[0]->source, -static_cast<int>(shown));
  EXPECT_EQ(on14[0]->listingWeight, 60);
  ASSERT_EQ(DayEntries(31).size(), 1u);
  EXPECT_NE(Texts(31)[0].find("Early in April"), std::string::npos);
  EXPECT_TRUE(Assembly().flags[20] & kDayHasNote);
  EXPECT_FALSE(Assembly().flags[21] & kDayHasNote);

  // A note saved later shows at the next assembly.
  NoteContext other = DayNoteContext(2025, 3, 21);
  ASSERT_TRUE(NoteSave(other, "Equinox party"));
  RecomputeDisplayedMonths(2025, 3);
  EXPECT_TRUE(Assembly().flags[21] & kDayHasNote);
}

}  // namespace
}  // namespace kv
