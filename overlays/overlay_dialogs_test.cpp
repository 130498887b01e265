#include "overlays/overlay_dialogs.h"

#include <gtest/gtest.h>

#include "base/settings.h"
#include "calendar/jewish_observance.h"
#include "overlays/overlay_event.h"

namespace kv {
namespace {

TEST(OverlayDialogs, JewishDateOfAPickedDay) {
  struct Case {
    int kind;
    DateStamp day;
    bool afterSunset;
    JewishDate stored;
    int flags;
  } cases[] = {
      // 5 December 2026 is 25 Kislev 5787 (a leap year).
      {kKindJewishDate, {2026, 12, 5}, false, {5787, 3, 25}, 0},
      {kKindJewishDate, {2026, 12, 5}, true, {5787, 3, 25}, 0},  // only 63 and 64 know sunset
      {kKindYahrzeit, {2026, 12, 5}, false, {5787, 3, 25}, kJewishInLeapYear},
      {kKindYahrzeit, {2026, 12, 5}, true, {5787, 3, 26}, kJewishInLeapYear | kJewishAfterSunset},
      // 24 March 2024 is 14 Adar II 5784: stored as Adar with the second-Adar bit.
      {kKindJewishBirthday, {2024, 3, 24}, false, {5784, 6, 14}, kJewishInLeapYear | kJewishInSecondAdar},
      {kKindJewishFast, {2024, 3, 24}, false, {5784, 6, 14}, 0},
      // After sunset on 11 September 2026 (29 Elul 5786) is 1 Tishrei 5787, across the year end.
      {kKindYahrzeit, {2026, 9, 11}, true, {5787, 1, 1}, kJewishInLeapYear | kJewishAfterSunset},
      {kKindRoshChodesh, {2026, 12, 5}, false, {0, 1, 1}, 0},
  };
  for (const Case& c : cases) {
    StoredJewishDate s = JewishDateForEditor(c.kind, c.day, c.afterSunset);
    EXPECT_EQ(s.date, c.stored) << c.kind << " " << c.day.month << "/" << c.day.day;
    EXPECT_EQ(s.flags, c.flags) << c.kind << " " << c.day.month << "/" << c.day.day;
    // And back to the day the editor shows, except Rosh Chodesh, which has no date.
    if (c.kind == kKindRoshChodesh) continue;
    DateStamp back = EditorDayOfJewishDate(c.kind, s.date, s.flags, 2026);
    EXPECT_EQ(back.year, c.day.year);
    EXPECT_EQ(back.month, c.day.month);
    EXPECT_EQ(back.day, c.day.day);
  }
}

TEST(OverlayDialogs, UnshowableJewishDatesFallBackToTheNewYear) {
  // 1 Tishrei 5787 is 12 September 2026.
  for (JewishDate d : {JewishDate{0, 1, 1}, JewishDate{5787, 2, 31}, JewishDate{99999, 1, 1}}) {
    DateStamp g = EditorDayOfJewishDate(kKindJewishDate, d, 0, 2027);
    EXPECT_EQ(g.year, 2026);
    EXPECT_EQ(g.month, 9);
    EXPECT_EQ(g.day, 12);
  }
}

TEST(OverlayDialogs, PatternNamesFollowTheStoredNumbers) {
  std::vector<std::string> names = AccentPatternNames();
  ASSERT_EQ(names.size(), 8u);
  EXPECT_EQ(names[1], "Solid");
  EXPECT_EQ(names[4], "Diagonal 1");
  EXPECT_EQ(names[7], "Diagonal Cross");
}

TEST(OverlayDialogs, JewishMonthNames) {
  MemorySettings settings;
  SetSettingsStore(&settings);
  std::array<std::string, 12> names;
  names[0] = "Tishri";
  names[5] = "Adar";                   // the built-in name: stored empty
  names[6] = "Nisan-with-a-long-name";  // cut to 15 characters
  StoreJewishMonthNames(names);
  EXPECT_EQ(settings.Read("Jewish Setup", "M1"), "Tishri");
  EXPECT_EQ(settings.Read("Jewish Setup", "M6"), "");
  EXPECT_EQ(settings.Read("Jewish Setup", "M7"), "Nisan-with-a-lo");
  EXPECT_EQ(JewishBaseMonthName(1), "Tishri");
  EXPECT_EQ(JewishMonthName(13, true), "Adar II");
  EXPECT_EQ(UserJewishMonthNames()[6], "Nisan-with-a-lo");
  StoreJewishMonthNames({});
  EXPECT_EQ(JewishBaseMonthName(1), "Tishrei");
  SetSettingsStore(nullptr);
  RebuildJewishMonthNames();
}

}  // namespace
}  // namespace kv
