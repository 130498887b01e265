#include "shell/database_path.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/settings.h"
#include "shell/configuration.h"
#include "shell/shell_services.h"

namespace kv {
namespace {

TEST(DatabasePath, ChecksTheFolderShown) {
  const std::string current = "C:\\Users\\ann\\Documents\\My Calendars\\Databases\\Default";
  const struct {
    std::string shown;
    DatabasePathCheck check;
  } cases[] = {
      {current, DatabasePathCheck::Unchanged},
      {"c:\\users\\ANN\\documents\\my calendars\\databases\\default", DatabasePathCheck::Unchanged},
      {"", DatabasePathCheck::Unchanged},  // nothing chosen
      {"D:\\Calendars\\Work", DatabasePathCheck::Switch},
      {"\\\\server\\share\\Calendars", DatabasePathCheck::Switch},  // chosen here, so trusted
      {"C:\\" + std::string(252, 'a'), DatabasePathCheck::Switch},   // 255 characters: the field's most
      {"C:\\" + std::string(253, 'a'), DatabasePathCheck::Refused},
      {"C:\\" + std::string(256, 'a'), DatabasePathCheck::Refused},  // what the browser may give (259)
      {"C:\\Calendars\\COM1", DatabasePathCheck::Refused},
      {"C:\\Calen|dars", DatabasePathCheck::Refused},
  };
  for (const auto& c : cases) {
    std::string message;
    EXPECT_EQ(CheckDatabasePath(current, c.shown, &message), c.check) << c.shown;
    EXPECT_EQ(message.empty(), c.check != DatabasePathCheck::Refused) << c.shown;
  }
  std::string message;
  CheckDatabasePath(current, "C:\\" + std::string(256, 'a'), &message);
  EXPECT_NE(message.find("255"), std::string::npos) << message;
}

class FolderServices : public ShellServices {
 public:
  std::vector<std::string> folders;
  void UseDatabaseFolder(const std::string& folder) override { folders.push_back(folder); }
};

TEST(DatabasePath, SwitchStoresAndReopensTheFolder) {
  ResetConfigurationState();
  MemorySettings settings;
  SetSettingsStore(&settings);
  FolderServices services;
  SetShellServices(&services);
  ConfigurationState& s = ConfigState();
  s.heldDatabaseFolder = "\\\\elsewhere\\share\\db";  // a file's folder this session did not use
  s.sessionDatabaseFolder = s.config.databaseFolder = "C:\\Data\\Databases\\(default)";
  SetConfigDirty(false);

  SwitchDatabaseFolder("\\\\nas\\calendars\\home");
  EXPECT_EQ(Config().databaseFolder, "\\\\nas\\calendars\\home");
  EXPECT_TRUE(ConfigDirty());
  EXPECT_TRUE(s.heldDatabaseFolder.empty());  // the choice is what gets saved
  EXPECT_EQ(services.folders, std::vector<std::string>{"\\\\nas\\calendars\\home"});
  EXPECT_TRUE(IsTrustedPath("\\\\nas\\calendars\\home"));  // reopening this file will not ask

  SetShellServices(nullptr);
  SetSettingsStore(nullptr);
  ResetConfigurationState();
}

}  // namespace
}  // namespace kv
