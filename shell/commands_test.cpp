#include "shell/commands.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "resources/strings.h"
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

TEST(Commands, ToolbarTooltipsAreTheCommandsStrings) {
  for (int id : {1001, 1002, 1301, 1302, 1303, 1312, 1320, 1321, 1322, 1323, 1324, 1325, 1326, 1327, 1330})
    EXPECT_FALSE(StringText(id).empty()) << id;
  EXPECT_EQ(StringText(1330), "Display World Orbisa");
  EXPECT_EQ(StringText(1327), "Reset desk windows");
}

TEST(Commands, DeskWindows) {
  EXPECT_EQ(DeskWindowOf(CMD_SHOW_SCHEDULE), kDeskSchedule);
  EXPECT_EQ(DeskWindowOf(CMD_WINDOW_SCHEDULE), kDeskSchedule);
  EXPECT_EQ(DeskWindowOf(CMD_SHOW_NOTES), kDeskNotes);
  EXPECT_EQ(DeskWindowOf(CMD_WINDOW_TODO), kDeskToDo);
  EXPECT_EQ(DeskWindowOf(CMD_SHOW_PHONEBOOK), kDeskPhonebook);
  EXPECT_EQ(DeskWindowOf(CMD_WORLD_MAP), kDeskMap);
  EXPECT_EQ(DeskWindowOf(CMD_WINDOW_CALENDAR), kDeskCalendar);
  EXPECT_EQ(DeskWindowOf(CMD_ARRANGE_ALL), 0);
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
  const std::pair<const char*, int> menuCommands[] = {
      {"CMD_OPEN_CONFIGURATION", 1001}, {"CMD_SAVE_CONFIGURATION", 1002}, {"CMD_SAVE_CONFIGURATION_AS", 1003},
      {"CMD_PAGE_LAYOUT", 1005},        {"CMD_PRINT", 1007},              {"CMD_METAFILE_CLIPBOARD", 1010},
      {"CMD_METAFILE_DISK", 1011},      {"CMD_MIGRATE_DATA", 1015},       {"CMD_EXIT", 1099},
      {"CMD_LOCATION", 1201},           {"CMD_GPS", 1202},                {"CMD_CALENDAR_OPTIONS", 1203},
      {"CMD_SCHEDULER_OPTIONS", 1204},  {"CMD_TODO_OPTIONS", 1205},       {"CMD_PHONE_DIALING", 1206},
      {"CMD_OVERLAYS", 1207},           {"CMD_DATABASE_PATH", 1208},      {"CMD_FONTS", 1209},
      {"CMD_COLOURS", 1210},            {"CMD_SOUND", 1211},              {"CMD_ICONIC_CLOCK", 1212},
      {"CMD_DESKTOP_ICON", 1213},       {"CMD_AUTOSAVE", 1220},           {"CMD_YEAR_VIEW", 1301},
      {"CMD_MONTH_VIEW", 1302},         {"CMD_DAY_VIEW", 1303},           {"CMD_QUICK_EDIT", 1310},
      {"CMD_GO_TO_DATE", 1311},         {"CMD_TODAY", 1312},              {"CMD_OVERLAY_TABS", 1314},
      {"CMD_WORLD_MAP", 1330},          {"CMD_WINDOW_CALENDAR", 1501},    {"CMD_WINDOW_SCHEDULE", 1502},
      {"CMD_WINDOW_TODO", 1503},        {"CMD_WINDOW_PHONEBOOK", 1504},   {"CMD_WINDOW_NOTES", 1505},
      {"CMD_SEARCH", 1506},             {"CMD_ARRANGE_ALL", 1507},        {"CMD_RESET_DESK", 1508},
      {"CMD_HELP_TOPICS", 1901},        {"CMD_ABOUT", 1990},
  };
  for (const auto& [name, id] : menuCommands) {
    EXPECT_TRUE(named.count(name)) << name << " is not in the menu";
    EXPECT_NE(OwnerOf(id), CommandOwner::None) << name;
  }
  for (const char* accel : {"\"D\", CMD_GO_TO_DATE", "\"O\", CMD_OPEN_CONFIGURATION", "\"P\", CMD_PRINT",
                            "\"S\", CMD_SAVE_CONFIGURATION", "\"T\", CMD_TODAY", "VK_F3, CMD_SEARCH",
                            "VK_F4, CMD_WINDOW_CALENDAR", "VK_F5, CMD_WINDOW_SCHEDULE", "VK_F6, CMD_WINDOW_TODO",
                            "VK_F7, CMD_WINDOW_PHONEBOOK", "VK_F8, CMD_WINDOW_NOTES", "VK_F9, CMD_WORLD_MAP",
                            "VK_F10, CMD_RESET_DESK"})
    EXPECT_NE(script.find(accel), std::string::npos) << accel;
}

}  // namespace
}  // namespace kv
