#include "shell/configuration.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "base/filesystem.h"
#include "base/messages.h"
#include "base/settings.h"
#include "shell/shell_services.h"
#include "base/bytes.h"

namespace kv {
namespace {

const std::string kData = "C:\\Users\\Ann\\Documents\\My Calendars";

// A configuration environment in memory: files, messages and the shell's fallback services.
class ConfigurationTest : public testing::Test {
 protected:
  void SetUp() override {
    ResetConfigurationState();
    SetFileSystem(&fs_);
    SetShellServices(nullptr);
    ConfigState().dataFolder = kData;
    ConfigState().programFolder = "C:\\Program Files\\Kalvora";
    fs_.AddFolders(kData);
  }
  void TearDown() override {
    SetFileSystem(nullptr);
    SetShellServices(nullptr);
    ResetConfigurationState();
  }

  std::vector<uint8_t> File(const CalendarConfig& c, const std::string& tail = "") {
    ConfigImage image = SerializeCalendarConfig(c);
    std::vector<uint8_t> bytes(image.size() + tail.size());
    std::copy(image.begin(), image.end(), bytes.begin());
    std::copy(tail.begin(), tail.end(), bytes.begin() + static_cast<long>(image.size()));
    return bytes;
  }
  std::string Put(const std::string& path, const std::vector<uint8_t>& bytes) {
    fs_.AddFile(path, std::string(bytes.begin(), bytes.end()));
    return path;
  }
  CalendarConfig Defaults() {
    DefaultConfigInputs in;
    in.dataFolder = kData;
    return DefaultCalendarConfig(in);
  }

  MemoryFileSystem fs_;
  ScriptedMessages messages_;
  ScopedMessageSink sink_{messages_};
};

TEST_F(ConfigurationTest, ExactRecordWithoutOverlays) {
  std::string path = Put(kData + "\\Work.kvc", File(Defaults()));
  EXPECT_EQ(ReadConfiguration(path), 0);
  EXPECT_TRUE(Services().OverlayNames().empty());
  EXPECT_EQ(ConfigState().fileName, path);
  EXPECT_EQ(Config().desk.view, kMonthView);  // 0 read as month
  EXPECT_FALSE(ConfigState().converted);
  EXPECT_EQ(ConfigState().summaryEndMinute, 21 * 60);
  EXPECT_TRUE(messages_.Shown().empty());
}

TEST_F(ConfigurationTest, TailLoadsAsManyNamesAsTheCountSays) {
  CalendarConfig c = Defaults();
  c.overlayCount = 2;
  c.selectedOverlay = "C:\\O\\B.kov";
  std::string path = Put(kData + "\\Two.kvc", File(c, "C:\\O\\A.kov\x1C" "C:\\O\\B.kov\x1C" "C:\\O\\C.kov\x1C"));
  ASSERT_EQ(ReadConfiguration(path), 0);
  EXPECT_EQ(Services().OverlayNames(), (std::vector<std::string>{"C:\\O\\A.kov", "C:\\O\\B.kov"}));
  EXPECT_EQ(ConfigState().selectedOverlay, 1);

  // The selected tab is found by the exact name only.
  c.selectedOverlay = "c:\\o\\b.kov";
  Put(path, File(c, "C:\\O\\A.kov\x1C" "C:\\O\\B.kov\x1C"));
  ASSERT_EQ(ReadConfiguration(path), 0);
  EXPECT_EQ(Services().OverlayNames().size(), 2u);  // the overlays of the previous file were let go
  EXPECT_EQ(ConfigState().selectedOverlay, -1);
}

// A configuration that names network paths asks once, listing them, before opening any.
TEST_F(ConfigurationTest, NetworkPathsAreOpenedOnlyWhenTheUserAgrees) {
  MemorySettings settings;
  SetSettingsStore(&settings);
  CalendarConfig c = Defaults();
  c.overlayCount = 4;
  c.databaseFolder = "\\\\127.0.0.1\\share\\db";
  const std::string tail = "C:\\O\\A.kov\x1C" "\\\\127.0.0.1\\share\\x.kov\x1C" "//evil/s/y.kov\x1C"
                           "\\\\?\\UNC\\evil\\s\\z.kov\x1C";
  std::string path = Put(kData + "\\Mailed.kvc", File(c, tail));
  std::vector<uint8_t> original = *fs_.ReadAll(path);

  // Answered No: only the local overlay opens, the session uses the fallback folder, and a
  // save writes every path back as the file had it.
  messages_.Answer(MsgAnswer::No);
  ASSERT_EQ(ReadConfiguration(path), 0);
  ASSERT_EQ(messages_.Shown().size(), 1u);
  const UserMessage& q = messages_.Shown()[0];
  EXPECT_EQ(q.buttons, MsgButtons::YesNo);
  EXPECT_EQ(q.defaultButton, 2);
  EXPECT_EQ(q.text, "The calendar configuration " + path + " names files on other computers:\n\n"
                    "    \\\\127.0.0.1\\share\\db\n    \\\\127.0.0.1\\share\\x.kov\n    //evil/s/y.kov\n"
                    "    \\\\?\\UNC\\evil\\s\\z.kov\n\nOpening them connects to those computers, which may ask for "
                    "your Windows sign-in. Open these files?");
  EXPECT_EQ(Services().OverlayNames(), std::vector<std::string>{"C:\\O\\A.kov"});
  EXPECT_EQ(Config().databaseFolder, FallbackDatabaseFolder(kData));
  EXPECT_EQ(settings.Count(), 0u) << "nothing declined is remembered";
  EXPECT_EQ(fs_.ReadAll(path), original) << "reading changes nothing";
  ASSERT_EQ(WriteConfiguration(kSave), 1);
  std::vector<uint8_t> saved = *fs_.ReadAll(path);
  EXPECT_EQ(std::string(saved.begin() + kConfigSize, saved.end()), tail);
  EXPECT_EQ(ParseCalendarConfig(*reinterpret_cast<const ConfigImage*>(saved.data())).databaseFolder,
            "\\\\127.0.0.1\\share\\db");

  // Answered Yes: everything opens, and the paths count as chosen here from then on.
  messages_.Clear();
  messages_.Answer(MsgAnswer::Yes);
  ASSERT_EQ(ReadConfiguration(path), 0);
  EXPECT_EQ(Services().OverlayNames().size(), 4u);
  EXPECT_EQ(Config().databaseFolder, "\\\\127.0.0.1\\share\\db");
  EXPECT_TRUE(IsTrustedPath("\\\\127.0.0.1\\SHARE\\x.kov"));
  messages_.Clear();
  ASSERT_EQ(ReadConfiguration(path), 0);
  EXPECT_TRUE(messages_.Shown().empty()) << "chosen paths are not asked about again";
  EXPECT_EQ(Services().OverlayNames().size(), 4u);
  SetSettingsStore(nullptr);
}

// An overlay on a share picked in the program's own dialog counts as chosen on this machine.
TEST_F(ConfigurationTest, OverlaysChosenInTheDialogAreNotAskedAbout) {
  MemorySettings settings;
  SetSettingsStore(&settings);
  RememberOverlayFolder("C:\\O\\A.kov");
  RememberOverlayFolder("\\\\server\\share\\B.kov");
  EXPECT_FALSE(IsTrustedPath("C:\\O\\A.kov"));
  EXPECT_TRUE(IsTrustedPath("\\\\server\\share\\B.kov"));
  EXPECT_FALSE(IsTrustedPath("\\\\server\\share\\C.kov"));
  CalendarConfig c = Defaults();
  c.overlayCount = 2;
  std::string path = Put(kData + "\\Mine.kvc", File(c, "\\\\server\\share\\B.kov\x1C" "\\\\server\\share\\C.kov\x1C"));
  messages_.Answer(MsgAnswer::No);
  ASSERT_EQ(ReadConfiguration(path), 0);
  ASSERT_EQ(messages_.Shown().size(), 1u);
  EXPECT_EQ(messages_.Shown()[0].text.find("B.kov"), std::string::npos) << "only the path not chosen is listed";
  EXPECT_EQ(Services().OverlayNames(), std::vector<std::string>{"\\\\server\\share\\B.kov"});
  SetSettingsStore(nullptr);
}

// Paths that cannot name a file are refused in one message; the rest of the file loads.
TEST_F(ConfigurationTest, UnusablePathsAreRefusedAndTheRestLoads) {
  MemorySettings settings;
  SetSettingsStore(&settings);
  CalendarConfig c = Defaults();
  c.overlayCount = 4;
  c.databaseFolder = "C:\\Data\\NUL";
  const std::string tail = "C:\\O\\A.kov\x1C" "COM1.kov\x1C" "C:\\O\\a|b.kov\x1C" "C:\\O\\B.kov\x1C";
  std::string path = Put(kData + "\\Odd.kvc", File(c, tail));
  ASSERT_EQ(ReadConfiguration(path), 0);
  ASSERT_EQ(messages_.Shown().size(), 1u);
  EXPECT_EQ(messages_.Shown()[0].icon, MsgIcon::Warning);
  EXPECT_EQ(messages_.Shown()[0].text,
            "The path \"C:\\Data\\NUL\" cannot be used: it names a device (such as CON, NUL, COM1 or LPT1), not a "
            "file.\n\nThe path \"COM1.kov\" cannot be used: it names a device (such as CON, NUL, COM1 or LPT1), not "
            "a file.\n\nThe path \"C:\\O\\a|b.kov\" cannot be used: it holds the character \"|\", which a file name "
            "may not contain.\n\nThe rest of the calendar configuration is opened.");
  EXPECT_EQ(Services().OverlayNames(), (std::vector<std::string>{"C:\\O\\A.kov", "C:\\O\\B.kov"}));
  EXPECT_EQ(Config().databaseFolder, FallbackDatabaseFolder(kData));
  SetSettingsStore(nullptr);
}

TEST_F(ConfigurationTest, RefusedFilesLeaveTheOpenConfigurationWhole) {
  CalendarConfig c = Defaults();
  c.overlayCount = 1;
  c.sundayRed = 0;
  std::string good = Put(kData + "\\Good.kvc", File(c, "A.kov\x1C"));
  ASSERT_EQ(ReadConfiguration(good), 0);

  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    bool message;
  };
  std::vector<uint8_t> v5 = File(Defaults());
  PutU16LE(&v5[6], 5);
  std::vector<uint8_t> noNul = File(Defaults());
  noNul[5] = 'X';
  std::vector<uint8_t> other = File(Defaults());
  std::memcpy(other.data(), "KOV6\0\0", 6);
  const Case cases[] = {
      {"v5.kvc", v5, true},
      {"nonul.kvc", noNul, true},
      {"other.kvc", other, true},
      {"tiny.kvc", {'K', 'V', 'C', 'A', 'L', 0, 7, 0, 1}, false},  // fewer than 10 bytes: no message
  };
  for (const Case& k : cases) {
    messages_.Clear();
    std::string path = Put(kData + "\\" + k.name, k.bytes);
    EXPECT_EQ(ReadConfiguration(path), -1) << k.name;
    if (k.message) {
      ASSERT_EQ(messages_.Shown().size(), 1u) << k.name;
      EXPECT_EQ(messages_.Shown()[0].text, "File failed header check:\n\n" + path);
      EXPECT_EQ(messages_.Shown()[0].icon, MsgIcon::Warning);
      EXPECT_EQ(messages_.Shown()[0].owner, MsgOwner::None);
    } else {
      EXPECT_TRUE(messages_.Shown().empty()) << k.name;
    }
    EXPECT_EQ(fs_.ReadAll(path), k.bytes) << "the refused file is left untouched";
    EXPECT_EQ(ConfigState().fileName, good);
    EXPECT_EQ(Config().sundayRed, 0);
    EXPECT_EQ(Services().OverlayNames(), std::vector<std::string>{"A.kov"});
  }
  EXPECT_EQ(ReadConfiguration(kData + "\\missing.kvc"), -1);
}

TEST_F(ConfigurationTest, Version6ConvertsAndSavesAsVersion7) {
  std::vector<uint8_t> v6 = File(Defaults());
  PutU16LE(&v6[6], 6);
  PutFixedText(&v6[208], 64, "Boston, MA");
  v6[100] = 1;  // old "phonebook open"
  std::string path = Put(kData + "\\Old.kvc", v6);
  ASSERT_EQ(ReadConfiguration(path), 0);
  EXPECT_TRUE(ConfigState().converted);
  EXPECT_EQ(Config().desk.mapPosition, (Position16{10, 10}));
  EXPECT_EQ(Config().mapFlags, 27);
  EXPECT_EQ(Config().locationName, "Boston, MA");
  EXPECT_EQ(Config().desk.openWindows, kOpenPhonebook);
  ASSERT_EQ(WriteConfiguration(kSave), 1);
  std::vector<uint8_t> saved = *fs_.ReadAll(path);
  ASSERT_EQ(saved.size(), kConfigSize);
  EXPECT_EQ(ReadU16LE(&saved[6]), 7);
  EXPECT_EQ(ReadFixedText(&saved[592], 64), "Boston, MA");
  EXPECT_EQ(ReadU16LE(&saved[92]), 10);
}

TEST_F(ConfigurationTest, ShortFileKeepsDefaultsBeyondItsEnd) {
  std::vector<uint8_t> bytes = File(Defaults());
  bytes[116] = 16;  // only the map open
  bytes.resize(200);
  std::string path = Put(kData + "\\Short.kvc", bytes);
  ASSERT_EQ(ReadConfiguration(path), 0);
  EXPECT_EQ(Config().desk.openWindows, 16);
  EXPECT_EQ(Config().schedulerHour, 8);
  EXPECT_EQ(Config().mapFlags, 27);
  EXPECT_EQ(Config().overlayCount, 0);
  EXPECT_EQ(Config().databaseFolder, kData + "\\Databases\\Default");
}

TEST_F(ConfigurationTest, WritingRecordsTheDeskFirstAndWritesTheTail) {
  std::string path = Put(kData + "\\Desk.kvc", File(Defaults()));
  ASSERT_EQ(ReadConfiguration(path), 0);
  Services().AddOverlay("C:\\O\\Holidays (USA).kov");
  Services().AddOverlay("C:\\O\\Sample.kov");
  int recorded = 0;
  ConfigState().hooks.recordDesk = [&](CalendarConfig& c) {
    ++recorded;
    RecordDesk(c, {3, 1}, 3, true);
  };
  SetConfigDirty();
  ASSERT_EQ(WriteConfiguration(kSave), 1);
  EXPECT_EQ(recorded, 1);
  EXPECT_FALSE(ConfigDirty());
  std::vector<uint8_t> saved = *fs_.ReadAll(path);
  ASSERT_EQ(saved.size(), kConfigSize + 23 + 1 + 15 + 1);
  EXPECT_EQ(ReadU16LE(&saved[4446]), 2);
  EXPECT_EQ(saved[100], 3);
  EXPECT_EQ(saved[101], 1);
  EXPECT_EQ(saved[102], 0);
  EXPECT_EQ(ReadU16LE(&saved[106]), 13);
  EXPECT_EQ(std::string(saved.begin() + kConfigSize, saved.end()),
            "C:\\O\\Holidays (USA).kov\x1C" "C:\\O\\Sample.kov\x1C");
  EXPECT_EQ(ConfigState().savedDesk.activeWindow, 13);
}

TEST_F(ConfigurationTest, FailedSaveReportsAndStaysDirtySaveAsSwitchesOnlyOnSuccess) {
  std::string path = Put(kData + "\\default.kvc", File(Defaults()));
  ASSERT_EQ(ReadConfiguration(path), 0);
  std::vector<uint8_t> before = *fs_.ReadAll(path);
  SetConfigDirty();
  Config().sundayRed = 0;
  fs_.SetWritesFail(true);
  EXPECT_EQ(WriteConfiguration(kSave), 0);
  EXPECT_TRUE(ConfigDirty());
  ASSERT_EQ(messages_.Shown().size(), 1u);
  EXPECT_EQ(messages_.Shown()[0].text, "Error detected saving configuration file:\n\n" + path);
  EXPECT_EQ(messages_.Shown()[0].caption, "");
  EXPECT_EQ(messages_.Shown()[0].owner, MsgOwner::Frame);
  EXPECT_EQ(*fs_.ReadAll(path), before);
  fs_.SetWritesFail(false);
  EXPECT_EQ(WriteConfiguration(kSaveAs, "Z:\\no\\such\\folder.kvc"), 0);
  EXPECT_EQ(ConfigState().fileName, path);

  int changed = 0;
  ConfigState().hooks.fileChanged = [&] { ++changed; };
  std::string other = kData + "\\Travel.kvc";
  ASSERT_EQ(WriteConfiguration(kSaveAs, other), 1);
  EXPECT_EQ(changed, 1);
  EXPECT_EQ(ConfigState().fileName, other);
  EXPECT_TRUE(fs_.FileExists(other));
  EXPECT_EQ(FrameTitle(ConfigState().fileName), "Kalvora - Travel");
}

// Services that know a zone and a few locations, as the sky module will; DEFAULT.DAT names a
// city for some zones only.
class ZoneServices : public ShellServices {
 public:
  int SystemZone() override { return zone; }
  std::vector<LocationEntry> ReadLocations(const std::string& path) override {
    reads.push_back(path);
    if (path.ends_with("DEFAULT.DAT")) return {{"Boston, MA", 35, 42.36, -71.06}, {"Honolulu, HI", 34, 21.3, -157.86}};
    return {{"Anchorage, AK", 30, 61.2, -149.9}, {"New York, NY", 35, 40.71, -74.0}, {"Boston, MA", 35, 42.36, -71.06}};
  }
  int zone = 35;
  std::vector<std::string> reads;
};

TEST_F(ConfigurationTest, DefaultConfigurationTakesALocationOfTheSystemZone) {
  const std::string defaults = "C:\\Program Files\\Kalvora\\DEFAULT.DAT";
  ZoneServices services;
  SetShellServices(&services);
  ConfigState().defaults.screenWidth = 800;
  ConfigState().defaults.screenHeight = 600;
  ASSERT_TRUE(WriteDefaultConfiguration());
  EXPECT_EQ(services.reads, std::vector<std::string>{defaults});
  std::vector<uint8_t> saved = *fs_.ReadAll(kData + "\\default.kvc");
  ASSERT_EQ(saved.size(), kConfigSize);
  EXPECT_EQ(saved[8], 1);
  EXPECT_EQ(saved[692], 35);
  EXPECT_EQ(ReadFixedText(&saved[592], 64), "Boston, MA");
  EXPECT_EQ(ReadF64LE(&saved[656]), 42.36);
  EXPECT_EQ(ReadI32LE(&saved[20]), 780);
  EXPECT_TRUE(fs_.FileExists(kData + "\\Databases\\Default\\To Do Archive.txt"));

  // A zone DEFAULT.DAT does not name takes the first of its locations in the master list, and
  // once the user has a locations file, in that.
  services.zone = 30;
  services.reads.clear();
  ASSERT_TRUE(WriteDefaultConfiguration());
  EXPECT_EQ(services.reads, (std::vector<std::string>{defaults, "C:\\Program Files\\Kalvora\\KVLOCATION.DAT"}));
  saved = *fs_.ReadAll(kData + "\\default.kvc");
  EXPECT_EQ(ReadFixedText(&saved[592], 64), "Anchorage, AK");
  fs_.AddFile(kData + "\\My Locations.dat", "x");
  services.reads.clear();
  ASSERT_TRUE(WriteDefaultConfiguration());
  EXPECT_EQ(services.reads, (std::vector<std::string>{defaults, kData + "\\My Locations.dat"}));
}

TEST_F(ConfigurationTest, DefaultConfigurationWithoutZonesHasNoLocation) {
  ConfigState().defaults.screenWidth = 1280;
  ConfigState().defaults.screenHeight = 1024;
  ASSERT_TRUE(WriteDefaultConfiguration());
  std::vector<uint8_t> saved = *fs_.ReadAll(kData + "\\default.kvc");
  // The very bytes "kvtool config new" writes for the same data folder and screen.
  DefaultConfigInputs in;
  in.dataFolder = kData;
  in.screenWidth = 1280;
  in.screenHeight = 1024;
  ConfigImage expected = SerializeCalendarConfig(DefaultCalendarConfig(in));
  EXPECT_EQ(saved, std::vector<uint8_t>(expected.begin(), expected.end()));
  EXPECT_EQ(saved[692], 0);
  EXPECT_EQ(ReadFixedText(&saved[592], 64), "");
  fs_.SetWritesFail(true);
  EXPECT_FALSE(WriteDefaultConfiguration());
}

TEST(ConfigurationCommandLine, NamesTheFileToOpen) {
  struct Case {
    const char* line;
    const char* path;
    bool named;
  };
  const Case cases[] = {
      {"", "D:\\Cal\\DEFAULT.KVC", false},
      {"   ", "D:\\Cal\\DEFAULT.KVC", false},
      {"Work", "D:\\Cal\\Work.kvc", true},
      {"Work.kvc", "D:\\Cal\\Work.kvc", true},
      {"  Travel.txt", "D:\\Cal\\Travel.kvc", true},
      {"C:\\Cals\\Home.bak", "C:\\Cals\\Home.kvc", true},
      {"\"C:\\My Cals\\Home.kvc\"", "C:\\My Cals\\Home.kvc", true},
      {"\"C:\\My Cals\\Home", "C:\\My Cals\\Home.kvc", true},
      {"C:\\v1.2\\Home.kvc", "C:\\v1.2\\Home.kvc", true},
      {"\"Bare Name\"", "D:\\Cal\\Bare Name.kvc", true},
  };
  for (const Case& c : cases) {
    CommandLineConfiguration r = ConfigurationFromCommandLine(c.line, "D:\\Cal");
    EXPECT_EQ(r.path, c.path) << c.line;
    EXPECT_EQ(r.named, c.named) << c.line;
  }
  std::string longName = "C:\\" + std::string(300, 'a');
  EXPECT_EQ(ConfigurationFromCommandLine(longName, "D:\\Cal").path, longName.substr(0, 259) + ".kvc");
}

TEST_F(ConfigurationTest, OpeningFromTheCommandLineReportsFailures) {
  bool named = true;
  EXPECT_FALSE(OpenConfigurationFromCommandLine("", &named));
  EXPECT_FALSE(named);
  ASSERT_EQ(messages_.Shown().size(), 1u);
  EXPECT_EQ(messages_.Shown()[0].text, "Error detected retrieving default configuration DEFAULT.KVC");
  EXPECT_EQ(messages_.Shown()[0].caption, "");

  messages_.Clear();
  EXPECT_FALSE(OpenConfigurationFromCommandLine("Nowhere", &named));
  EXPECT_TRUE(named);
  ASSERT_EQ(messages_.Shown().size(), 1u);
  EXPECT_EQ(messages_.Shown()[0].text, "Cannot open calendar configuration: " + kData + "\\Nowhere.kvc");
  EXPECT_EQ(messages_.Shown()[0].caption, "Kalvora");

  messages_.Clear();
  Put(kData + "\\DEFAULT.KVC", File(Defaults()));
  EXPECT_TRUE(OpenConfigurationFromCommandLine("  ", &named));
  EXPECT_TRUE(messages_.Shown().empty());
}

TEST(ConfigurationTitle, ProductNameAndFileTitle) {
  EXPECT_EQ(FrameTitle("C:\\Cal\\default.kvc"), "Kalvora");
  EXPECT_EQ(FrameTitle("C:\\Cal\\DEFAULT.KVC"), "Kalvora");
  EXPECT_EQ(FrameTitle("C:\\Cal\\Default"), "Kalvora");
  EXPECT_EQ(FrameTitle("C:\\Cal\\Work.kvc"), "Kalvora - Work");
  EXPECT_EQ(FrameTitle("C:\\v1.2\\Defaults.kvc"), "Kalvora - Defaults");
}

TEST_F(ConfigurationTest, FileDialogsOfEachKind) {
  FileDialogSetup open = FileDialogFor(kOpenConfiguration);
  EXPECT_FALSE(open.save);
  EXPECT_EQ(open.filter, std::string("Calendar (*.kvc)\0*.kvc\0\0", 24));
  EXPECT_EQ(open.initialFolder, kData);
  EXPECT_TRUE(FileDialogFor(kSaveConfiguration).save);
  EXPECT_EQ(FileDialogFor(kOpenOverlay).initialFolder, kData + "\\Overlays");
  RememberOverlayFolder("E:\\Shared\\Team.kov");
  EXPECT_EQ(FileDialogFor(kSaveOverlay).initialFolder, "E:\\Shared");
  // A caller's filter gets its closing double NUL.
  FileRequest request{"F:\\Sounds", "Chime.wav", std::string("Wave (*.wav)\0*.wav", 18), "wav"};
  FileDialogSetup caller = FileDialogFor(kCallerFile, request);
  EXPECT_EQ(caller.initialFolder, "F:\\Sounds");
  EXPECT_EQ(caller.fileName, "Chime.wav");
  EXPECT_EQ(caller.filter, std::string("Wave (*.wav)\0*.wav\0\0", 20));
}

}  // namespace
}  // namespace kv
