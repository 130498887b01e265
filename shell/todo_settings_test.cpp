#include <gtest/gtest.h>

#include "shell/personal_settings.h"

namespace kv {
namespace {

TEST(ToDoSettingsInConfig, EveryPageSettingGoesBackAndForth) {
  CalendarConfig config;
  config.todoView = 1;
  ToDoSettings s;
  s.sortByPriority = true;
  s.hideCompleted = true;
  s.removeAfterDays = 999;
  s.logRemoved = false;
  s.archiveName = std::string(300, 'a');  // longer than the field holds
  s.logNotes = false;
  ToDoSettingsIntoConfig(s, config);
  ToDoSettings back = ToDoSettingsFromConfig(config);
  EXPECT_TRUE(back.sortByPriority);
  EXPECT_TRUE(back.hideCompleted);
  EXPECT_EQ(back.removeAfterDays, 999);
  EXPECT_FALSE(back.logRemoved);
  EXPECT_EQ(back.archiveName, std::string(255, 'a'));
  EXPECT_FALSE(back.logNotes);
  EXPECT_TRUE(back.viewAll) << "the page leaves the view choice alone";
  s = ToDoSettings{};
  s.removeAfterDays = -5;
  ToDoSettingsIntoConfig(s, config);
  EXPECT_EQ(ToDoSettingsFromConfig(config).removeAfterDays, 0);
  EXPECT_EQ(ToDoSettingsFromConfig(config).archiveName, "To Do Archive.txt");
}

}  // namespace
}  // namespace kv
