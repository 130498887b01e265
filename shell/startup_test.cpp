#include "shell/startup.h"

#include <gtest/gtest.h>

#include <set>

#include "overlays/overlay_set.h"
#include "shell/configuration.h"
#include "base/messages.h"
#include "base/settings.h"
#include "shell/shell_services.h"
#include "base/bytes.h"

namespace kv {
namespace {

class FakeRegistry : public RegistryTree {
 public:
  bool KeyExists(const std::string& path) override { return keys.count(path) != 0; }
  bool CreateKey(const std::string& path) override {
    keys.insert(path);
    created.push_back(path);
    return true;
  }
  bool CopyTree(const std::string& from, const std::string& to) override {
    copies.push_back(from + " -> " + to);
    return true;
  }
  std::set<std::string> keys;
  std::vector<std::string> created, copies;
};

TEST(RegistryMigration, Decisions) {
  struct Case {
    std::set<std::string> keys;
    bool firstRun;
    bool copied;
  };
  const Case cases[] = {
      {{"Software\\Quorvex\\Kalvora"}, false, false},
      {{"Software\\Quorvex\\Kalvora", "Software\\Vantrelle", "Software\\Vantrelle\\Kalvora"}, false, false},
      {{}, true, false},
      {{"Software\\Vantrelle"}, false, false},  // another product of the earlier vendor
      {{"Software\\Vantrelle", "Software\\Vantrelle\\Kalvora"}, true, true},
  };
  for (const Case& c : cases) {
    FakeRegistry r;
    r.keys = c.keys;
    EXPECT_EQ(MigrateRegistryKey(r), c.firstRun) << c.keys.size();
    if (c.copied) {
      EXPECT_EQ(r.created, (std::vector<std::string>{"Software\\Quorvex", "Software\\Quorvex\\Kalvora"}));
      EXPECT_EQ(r.copies, std::vector<std::string>{"Software\\Vantrelle\\Kalvora -> Software\\Quorvex\\Kalvora"});
    } else {
      EXPECT_TRUE(r.copies.empty());
      EXPECT_TRUE(r.created.empty());
    }
  }
}

// A disk with the user's documents and the program folder with its master files.
class StartupTest : public testing::Test {
 protected:
  void SetUp() override {
    ResetConfigurationState();
    SetFileSystem(&fs_);
    SetShellServices(&services_);
    SetSettingsStore(&settings_);
    fs_.AddFolders(kDocs);
    fs_.AddFolders(kProgram);
    in_ = {kDocs, kProgram, "C:\\Users\\Ann\\AppData\\Roaming"};
    fs_.AddFolders(in_.appData);
  }
  void TearDown() override {
    SetFileSystem(nullptr);
    SetShellServices(nullptr);
    SetSettingsStore(nullptr);
    ResetConfigurationState();
  }
  void AddMasters() {
    for (const StandardOverlay& o : StandardOverlays())
      fs_.AddFile(JoinWindowsPath(kProgram, std::string("Data\\") + o.programFile), o.programFile);
    fs_.AddFile(JoinWindowsPath(kProgram, "KVLOCATION.DAT"), "locations");
  }
  void StartAt(const std::string& dataFolder) {
    ConfigState().dataFolder = dataFolder;
    ConfigState().programFolder = kProgram;
  }
  // A first start's configuration, written and opened.
  void OpenNewDefaultConfiguration() {
    ASSERT_TRUE(WriteDefaultConfiguration());
    ASSERT_EQ(ReadConfiguration(kData + "\\default.kvc"), 0);
  }
  std::vector<uint8_t> Saved() { return *fs_.ReadAll(kData + "\\default.kvc"); }

  // Services that record what start-up asks of the overlay and locations modules.
  class Recorder : public ShellServices {
   public:
    void BringSampleUpToDate(const std::string& path) override { samples.push_back(path); }
    void MergeOldLocations(const std::string& path, const std::string&) override { merged.push_back(path); }
    std::vector<std::string> samples, merged;
  };

  static constexpr const char* kDocs = "C:\\Users\\Ann\\Documents";
  static constexpr const char* kProgram = "C:\\Program Files\\Kalvora";
  const std::string kData = "C:\\Users\\Ann\\Documents\\My Calendars";
  MemoryFileSystem fs_;
  Recorder services_;
  MemorySettings settings_;
  ScriptedMessages messages_;
  ScopedMessageSink sink_{messages_};
  DataFolderInputs in_;
};

TEST_F(StartupTest, NewDataFolderGetsItsDesktopIni) {
  DataFolderResult r = PrepareDataFolder(fs_, in_);
  EXPECT_EQ(r.dataFolder, kData);
  EXPECT_TRUE(r.created);
  EXPECT_FALSE(r.relocated);
  EXPECT_FALSE(r.earlierLayoutFound);
  EXPECT_EQ(fs_.Text(kData + "\\desktop.ini"),
            "[.ShellClassInfo]\r\nIconFile=C:\\Program Files\\Kalvora\\kalvora.exe\r\nIconIndex=1");
  // A second start finds it and leaves it alone.
  fs_.AddFile(kData + "\\desktop.ini", "mine");
  DataFolderResult again = PrepareDataFolder(fs_, in_);
  EXPECT_FALSE(again.created);
  EXPECT_EQ(fs_.Text(kData + "\\desktop.ini"), "mine");
  EXPECT_TRUE(messages_.Shown().empty());
}

TEST_F(StartupTest, MissingDocumentsFolderLeavesTheDataFolderUnset) {
  in_.personal = "C:\\Nowhere";
  EXPECT_EQ(PrepareDataFolder(fs_, in_).dataFolder, "");
  in_.personal = "";
  EXPECT_EQ(PrepareDataFolder(fs_, in_).dataFolder, "");
}

TEST_F(StartupTest, DataOfAReleaseCandidateIsRelocated) {
  std::string old = in_.appData + "\\Vantrelle\\Kalvora";
  fs_.AddFile(old + "\\default.kvc", "cfg");
  fs_.AddFile(old + "\\Overlays\\Mine.kov", "ovl");
  fs_.AddFile(old + "\\kvlocal.dat", "loc");
  fs_.AddFile(JoinWindowsPath(kProgram, "Kalvora Data.rtf"), "rtf");
  DataFolderResult r = PrepareDataFolder(fs_, in_);
  EXPECT_TRUE(r.relocated);
  EXPECT_FALSE(r.created);
  EXPECT_EQ(fs_.Text(kData + "\\default.kvc"), "cfg");
  EXPECT_EQ(fs_.Text(kData + "\\Overlays\\Mine.kov"), "ovl");
  EXPECT_FALSE(fs_.FolderExists(old));
  EXPECT_EQ(fs_.Text(JoinWindowsPath(kProgram, "kvlocal.dat")), "loc");
  EXPECT_FALSE(fs_.FileExists(kData + "\\desktop.ini"));
  EXPECT_EQ(r.documentToOpen, JoinWindowsPath(kProgram, "Kalvora Data.rtf"));
  ASSERT_EQ(messages_.Shown().size(), 1u);
  EXPECT_NE(messages_.Shown()[0].text.find(kData), std::string::npos);
}

TEST_F(StartupTest, EarlierLayoutAtTheDriveRootMovesIn) {
  fs_.AddFile("C:\\My Locations.dat", "root locations");
  fs_.AddFile("C:\\Overlays\\Old.kov", "o");
  fs_.AddFile("C:\\Databases\\Default\\x.kvdb", "d");
  fs_.AddFile("C:\\default.kvc", "old cfg");
  DataFolderResult r = PrepareDataFolder(fs_, in_);
  EXPECT_TRUE(r.earlierLayoutFound);
  EXPECT_EQ(fs_.Text(kData + "\\My Locations.dat"), "root locations");
  EXPECT_EQ(fs_.Text(kData + "\\Overlays\\Old.kov"), "o");
  EXPECT_EQ(fs_.Text(kData + "\\Databases\\Default\\x.kvdb"), "d");
  EXPECT_FALSE(fs_.FileExists("C:\\default.kvc"));
  EXPECT_FALSE(fs_.FolderExists("C:\\Custom Icons"));
  // Without "My Locations.dat" at the root nothing there is touched.
  fs_.AddFile("C:\\default.kvc", "someone's");
  EXPECT_FALSE(PrepareDataFolder(fs_, in_).earlierLayoutFound);
  EXPECT_TRUE(fs_.FileExists("C:\\default.kvc"));
}

TEST_F(StartupTest, DefaultFilesOnAnEmptyDataFolder) {
  AddMasters();
  fs_.AddFolders(kData);
  fs_.AddFile(JoinWindowsPath(kProgram, "KVLOCAL.DAT"), "a");
  fs_.AddFile(JoinWindowsPath(kProgram, "KVLOCAL_40.DAT"), "b");
  StartAt(kData);
  EXPECT_TRUE(CreateDefaultFiles(fs_, kData, kProgram));
  std::vector<uint8_t> cfg = *fs_.ReadAll(kData + "\\default.kvc");
  EXPECT_EQ(cfg.size(), kConfigSize);
  EXPECT_EQ(fs_.Text(kData + "\\My Locations.dat"), "locations");
  for (const char* folder : {"Databases", "Databases\\Default", "Overlays", "Custom Icons"})
    EXPECT_TRUE(fs_.FolderExists(JoinWindowsPath(kData, folder))) << folder;
  for (const StandardOverlay& o : StandardOverlays())
    EXPECT_EQ(fs_.Text(kData + "\\Overlays\\" + o.overlayFile), o.programFile) << o.overlayFile;
  EXPECT_EQ(services_.samples, std::vector<std::string>{kData + "\\Overlays\\Sample.kov"});
  EXPECT_EQ(services_.merged, std::vector<std::string>{kData + "\\My Locations.dat"});  // old locations join the fresh copy
  EXPECT_TRUE(fs_.FileExists(kData + "\\Databases\\Default\\To Do Archive.txt"));
}

TEST_F(StartupTest, DefaultFilesNeverOverwrite) {
  AddMasters();
  fs_.AddFile(kData + "\\default.kvc", "my configuration");
  fs_.AddFile(kData + "\\My Locations.dat", "my places");
  fs_.AddFile(kData + "\\Overlays\\Sample.kov", "my sample");
  fs_.AddFile(JoinWindowsPath(kProgram, "KVLOCAL.DAT"), "a");
  fs_.AddFile(JoinWindowsPath(kProgram, "KVLOCAL_40.DAT"), "b");
  StartAt(kData);
  EXPECT_FALSE(CreateDefaultFiles(fs_, kData, kProgram));
  EXPECT_EQ(fs_.Text(kData + "\\default.kvc"), "my configuration");
  EXPECT_EQ(fs_.Text(kData + "\\My Locations.dat"), "my places");
  EXPECT_EQ(fs_.Text(kData + "\\Overlays\\Sample.kov"), "my sample");
  EXPECT_TRUE(services_.samples.empty());
  EXPECT_TRUE(services_.merged.empty());  // only a fresh copy takes the old locations in
  EXPECT_EQ(fs_.Text(kData + "\\Overlays\\Holidays (UK).kov"), "GBR_HDAY.DAT");
}

TEST_F(StartupTest, MissingMastersAreSkipped) {
  fs_.AddFolders(kData);
  StartAt(kData);
  EXPECT_TRUE(CreateDefaultFiles(fs_, kData, kProgram));
  EXPECT_FALSE(fs_.FileExists(kData + "\\My Locations.dat"));
  EXPECT_FALSE(fs_.FileExists(kData + "\\Overlays\\Sample.kov"));
  EXPECT_TRUE(services_.samples.empty());
  EXPECT_TRUE(fs_.FolderExists(kData + "\\Overlays"));
}

TEST(FirstUse, CountryFromLanguageAndZone) {
  struct Case {
    int language, zone;
    Country country;
  };
  const Case cases[] = {
      {1033, 34, Country::USA},     {1033, 43, Country::USA},     {1033, 44, Country::None},
      {1033, 33, Country::None},    {1036, 4, Country::France},   {1036, 5, Country::None},
      {2057, 1, Country::UK},       {2057, 2, Country::UK},       {2057, 3, Country::None},
      {3084, 36, Country::Canada},  {4105, 45, Country::Canada},  {4105, 46, Country::None},
      {3084, 35, Country::None},    {1031, 4, Country::None},     {1033, 0, Country::None},
  };
  for (const Case& c : cases) EXPECT_EQ(FirstUseCountry(c.language, c.zone), c.country) << c.language << " " << c.zone;
}

TEST(FirstUse, OverlaysInOrder) {
  EXPECT_EQ(FirstUseOverlays(Country::Canada, "D:\\O"),
            (std::vector<std::string>{"D:\\O\\Holidays (Canada).kov", "D:\\O\\Holidays (Christian).kov",
                                      "D:\\O\\Holidays (Jewish).kov", "D:\\O\\Sample.kov"}));
  EXPECT_EQ(FirstUseOverlays(Country::None, "D:\\O").size(), 3u);
  EXPECT_EQ(FirstUseOverlays(Country::France, "D:\\O")[0], "D:\\O\\Holidays (France).kov");
  EXPECT_EQ(FirstUseOverlays(Country::UK, "D:\\O")[0], "D:\\O\\Holidays (UK).kov");
  EXPECT_EQ(FirstUseOverlays(Country::USA, "D:\\O")[0], "D:\\O\\Holidays (USA).kov");
}

TEST_F(StartupTest, FinishingFirstUseLoadsTheOverlaysAndClearsTheFlag) {
  AddMasters();
  fs_.AddFolders(kData);
  StartAt(kData);
  CreateDefaultFiles(fs_, kData, kProgram);
  services_.samples.clear();
  OpenNewDefaultConfiguration();
  ASSERT_EQ(Config().firstUse, 1);
  EXPECT_FALSE(FinishFirstUse(Country::USA, false));
  std::vector<uint8_t> saved = Saved();
  EXPECT_EQ(saved[8], 0);
  EXPECT_EQ(ReadU16LE(&saved[4446]), 4);
  std::string tail(saved.begin() + kConfigSize, saved.end());
  EXPECT_EQ(tail, kData + "\\Overlays\\Holidays (USA).kov\x1C" + kData + "\\Overlays\\Holidays (Christian).kov\x1C" +
                      kData + "\\Overlays\\Holidays (Jewish).kov\x1C" + kData + "\\Overlays\\Sample.kov\x1C");
  EXPECT_EQ(services_.samples, std::vector<std::string>{kData + "\\Overlays\\Sample.kov"});
}

// An overlay the first use cannot find is left out and named in one warning: its master when
// the installation lacks that too, else the copy in the overlays folder that is missing.
TEST_F(StartupTest, FirstUseNamesTheOverlaysItCannotFind) {
  const std::string masters = std::string(kProgram) + "\\Data\\";
  const std::string overlays = kData + "\\Overlays\\";
  struct Case {
    Country country;
    std::vector<std::string> present;  // in the overlays folder
    std::vector<std::string> masters;  // in the program folder's Data folder
    std::string loaded;                // the configuration's tail
    std::string named;                 // the warning's list, empty for no warning
  };
  const Case cases[] = {
      {Country::UK, {"Holidays (Jewish).kov"}, {},
       overlays + "Holidays (Jewish).kov\x1C",
       masters + "GBR_HDAY.DAT\n" + masters + "CHRSTIAN.DAT\n" + masters + "SAMPLE.DAT"},
      {Country::None, {"Holidays (Christian).kov", "Sample.kov"}, {"JEWISH.DAT"},
       overlays + "Holidays (Christian).kov\x1C" + overlays + "Sample.kov\x1C", overlays + "Holidays (Jewish).kov"},
      {Country::None, {"Holidays (Christian).kov", "Holidays (Jewish).kov", "Sample.kov"}, {},
       overlays + "Holidays (Christian).kov\x1C" + overlays + "Holidays (Jewish).kov\x1C" + overlays + "Sample.kov\x1C",
       ""},
      {Country::France, {}, {}, "",
       masters + "FRA_HDAY.DAT\n" + masters + "CHRSTIAN.DAT\n" + masters + "JEWISH.DAT\n" + masters + "SAMPLE.DAT"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.named);
    fs_ = MemoryFileSystem();
    messages_.Clear();
    services_.CloseOverlays();
    ResetConfigurationState();
    fs_.AddFolders(kData + "\\Overlays");
    for (const std::string& f : c.present) fs_.AddFile(overlays + f, f);
    for (const std::string& f : c.masters) fs_.AddFile(masters + f, f);
    StartAt(kData);
    OpenNewDefaultConfiguration();
    FinishFirstUse(c.country, false);
    std::vector<uint8_t> saved = Saved();
    EXPECT_EQ(std::string(saved.begin() + kConfigSize, saved.end()), c.loaded);
    EXPECT_EQ(saved[8], 0);  // the first use is over all the same
    if (c.named.empty()) {
      EXPECT_TRUE(messages_.Shown().empty());
    } else {
      ASSERT_EQ(messages_.Shown().size(), 1u);
      EXPECT_EQ(messages_.Shown()[0].text,
                "The calendar starts without these standard overlays, as their files could not be found:\n\n" + c.named);
      EXPECT_EQ(messages_.Shown()[0].icon, MsgIcon::Warning);
    }
  }
}

TEST_F(StartupTest, FirstUseAfterAnEarlierLayoutLoadsNoOverlays) {
  fs_.AddFolders(kData);
  StartAt(kData);
  OpenNewDefaultConfiguration();
  FinishFirstUse(Country::USA, true);
  std::vector<uint8_t> saved = Saved();
  EXPECT_EQ(saved.size(), kConfigSize);
  EXPECT_EQ(saved[8], 0);
  EXPECT_TRUE(services_.samples.empty());
  EXPECT_TRUE(messages_.Shown().empty());  // no overlays were looked for, so none is missing
}

TEST(FirstUse, ScreenNotice) {
  EXPECT_TRUE(SmallScreenNoticeDue(800, true));
  EXPECT_TRUE(SmallScreenNoticeDue(1023, true));
  EXPECT_FALSE(SmallScreenNoticeDue(1024, true));
  EXPECT_FALSE(SmallScreenNoticeDue(800, false));
}

}  // namespace
}  // namespace kv
