#include "shell/commands.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "base/command_table.h"
#include "shell/config.h"

namespace kv {
namespace {

TEST(Commands, EveryCommandHasOneOwner) {
  std::set<int> seen;
  for (int id : FrameCommands()) {
    EXPECT_TRUE(seen.insert(id).second) << id;
    EXPECT_NE(OwnerOf(id), CommandOwner::None) << id;
  }
  EXPECT_EQ(OwnerOf(CMD_CLOCK_BUTTON), CommandOwner::None);
  EXPECT_EQ(OwnerOf(30000), CommandOwner::None);  // an MDI child of the window list
  EXPECT_EQ(OwnerOf(CMD_SEARCH), OwnerOf(CMD_SEARCH_BUTTON));
  EXPECT_EQ(OwnerOf(CMD_PRINT), CommandOwner::Printing);
  EXPECT_EQ(OwnerOf(CMD_SOUND), CommandOwner::Alarms);
  EXPECT_EQ(OwnerOf(CMD_DATABASE_PATH), CommandOwner::DatabasePath);
}

TEST(Commands, MenuStates) {
  struct Case {
    uint8_t active;
    uint16_t view;
    bool notesEmpty;
    bool pageLayout, print, metafile, goToDate, metafileOutputs;
  };
  const Case cases[] = {
      {kDeskMap, kMonthView, false, false, false, false, false, true},
      {kDeskCalendar, kMonthView, false, true, true, true, true, true},
      {kDeskCalendar, kYearView, false, true, true, true, true, true},
      {kDeskCalendar, kDayView, false, true, true, false, true, false},
      {kDeskNotes, kMonthView, true, true, false, false, false, true},
      {kDeskNotes, kMonthView, false, true, true, false, false, true},
      {kDeskSchedule, kDayView, true, true, true, false, false, false},
      {0, kMonthView, false, true, true, false, false, true},
  };
  for (const Case& c : cases) {
    MenuContext m;
    m.active = c.active;
    m.view = c.view;
    m.notesEmpty = c.notesEmpty;
    FileMenuState f = FileMenu(m);
    CalendarMenuState k = CalendarMenu(m);
    EXPECT_EQ(f.pageLayout, c.pageLayout) << int(c.active) << " " << c.view;
    EXPECT_EQ(f.print, c.print) << int(c.active) << " " << c.view;
    EXPECT_EQ(f.metafile, c.metafile) << int(c.active) << " " << c.view;
    EXPECT_EQ(k.goToDate, c.goToDate) << int(c.active) << " " << c.view;
    EXPECT_EQ(k.metafileOutputs, c.metafileOutputs) << int(c.active) << " " << c.view;
  }
  MenuContext m;
  m.clockEnabled = true;
  m.autoSave = false;
  m.tabsOn = false;
  EXPECT_TRUE(ConfigureMenu(m).clockChecked);
  EXPECT_FALSE(ConfigureMenu(m).autoSaveChecked);
  EXPECT_FALSE(CalendarMenu(m).overlayTabsChecked);
}

// The menu resource and the accelerator table hold every command of the frame.
TEST(Commands, MenuResourceHoldsEveryCommand) {
  std::ifstream rc(KV_SOURCE_DIR "/resources/shell.rc");
  if (!rc) GTEST_SKIP() << "resources/shell.rc is not readable from here";
  std::stringstream text;
  text << rc.rdbuf();
  std::string script = text.str();
  std::set<std::string> named;
  std::regex item(R"(MENUITEM\s+"[^"]*",\s*(CMD_[A-Z_]+))");
  for (std::sregex_iterator it(script.begin(), script.end(), item), end; it != end; ++it) named.insert((*it)[1]);
  // Every frame command with a menu item; each has an owner (EveryCommandHasOneOwner).
  for (const char* name :
       {"CMD_OPEN_CONFIGURATION", "CMD_SAVE_CONFIGURATION", "CMD_SAVE_CONFIGURATION_AS", "CMD_PAGE_LAYOUT", "CMD_PRINT",
        "CMD_METAFILE_CLIPBOARD", "CMD_METAFILE_DISK", "CMD_MIGRATE_DATA", "CMD_EXIT", "CMD_LOCATION", "CMD_GPS",
        "CMD_CALENDAR_OPTIONS", "CMD_SCHEDULER_OPTIONS", "CMD_TODO_OPTIONS", "CMD_PHONE_DIALING", "CMD_OVERLAYS",
        "CMD_DATABASE_PATH", "CMD_FONTS", "CMD_COLOURS", "CMD_SOUND", "CMD_ICONIC_CLOCK", "CMD_DESKTOP_ICON",
        "CMD_AUTOSAVE", "CMD_YEAR_VIEW", "CMD_MONTH_VIEW", "CMD_DAY_VIEW", "CMD_QUICK_EDIT", "CMD_GO_TO_DATE",
        "CMD_TODAY", "CMD_OVERLAY_TABS", "CMD_WORLD_MAP", "CMD_WINDOW_CALENDAR", "CMD_WINDOW_SCHEDULE",
        "CMD_WINDOW_TODO", "CMD_WINDOW_PHONEBOOK", "CMD_WINDOW_NOTES", "CMD_SEARCH", "CMD_ARRANGE_ALL",
        "CMD_RESET_DESK", "CMD_HELP_TOPICS", "CMD_ABOUT"})
    EXPECT_TRUE(named.count(name)) << name << " is not in the menu";
  for (const char* accel : {"\"D\", CMD_GO_TO_DATE", "\"O\", CMD_OPEN_CONFIGURATION", "\"P\", CMD_PRINT",
                            "\"S\", CMD_SAVE_CONFIGURATION", "\"T\", CMD_TODAY", "VK_F3, CMD_SEARCH",
                            "VK_F4, CMD_WINDOW_CALENDAR", "VK_F5, CMD_WINDOW_SCHEDULE", "VK_F6, CMD_WINDOW_TODO",
                            "VK_F7, CMD_WINDOW_PHONEBOOK", "VK_F8, CMD_WINDOW_NOTES", "VK_F9, CMD_WORLD_MAP",
                            "VK_F10, CMD_RESET_DESK", "VK_F1, CMD_HELP_CONTEXT"})
    EXPECT_NE(script.find(accel), std::string::npos) << accel;
}

}  // namespace
}  // namespace kv
