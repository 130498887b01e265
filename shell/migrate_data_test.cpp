#include "shell/migrate_data.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "base/bytes.h"
#include "base/file_io.h"
#include "base/messages.h"
#include "overlays/overlay_file.h"
#include "shell/config.h"
#include "store/phone_file.h"
#include "store/store_test_support.h"
#include "store/todo_file.h"

namespace kv {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> Obc(uint16_t version, const std::string& database, const std::vector<std::string>& overlays,
                         char separator) {
  std::vector<uint8_t> bytes(kObcHeaderSize, 0);
  std::memcpy(bytes.data(), "ORBCA", 6);
  PutU16LE(bytes.data() + 6, version);
  PutFixedText(bytes.data() + kObcDatabaseOffset, 260, database);
  PutU16LE(bytes.data() + kObcOverlayCountOffset, static_cast<uint16_t>(overlays.size()));
  for (const std::string& name : overlays) {
    bytes.insert(bytes.end(), name.begin(), name.end());
    bytes.push_back(static_cast<uint8_t>(separator));
  }
  return bytes;
}

// An overlay of the predecessor (format 5) with one fixed-date event.
std::vector<uint8_t> OlderOverlay(const std::string& description) {
  std::vector<uint8_t> b(14, 0);
  std::memcpy(b.data(), "QOV", 3);
  PutU16LE(b.data() + 6, 5);
  PutU16LE(b.data() + 12, 1);
  std::vector<uint8_t> e(26, 0);
  PutI16LE(e.data(), 2025);
  e[2] = 7, e[3] = 4, e[10] = 1;
  PutI16LE(e.data() + 16, 10);
  b.insert(b.end(), e.begin(), e.end());
  b.insert(b.end(), description.begin(), description.end());
  b.push_back(0);
  return b;
}

std::vector<uint8_t> Bytes(const std::string& path) { return test::ReadAll(path); }

void Put(const std::string& path, const std::vector<uint8_t>& bytes) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A sound container, with one schedule item when a title is given.
void MonthFile(const std::string& path, const std::string& title) {
  fs::create_directories(fs::path(path).parent_path());
  ASSERT_NE(DbOpenFile(kDbModeWrite, path, 9001), 0);
  if (!title.empty()) {
    EXPECT_NE(test::Put(test::DayRequest(MonthKey(2025, 1), 5, kDbTypeSchedItem), test::SchedRecord(title)), 0);
  }
  DbClose();
}

std::string Name(const std::string& path) { return fs::path(path).filename().string(); }

std::vector<std::string> Listing(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class MigrateData : public ::testing::Test {
 protected:
  void SetUp() override {
    root = test::MakeTempFolder();
    install = JoinPath(root, "Orbisa");
    data = JoinPath(root, "Data");
    source = JoinPath(install, "default.obc");
    std::string dav = JoinPath(install, "DAV");
    MonthFile(JoinPath(dav, "JAN-2025.obd"), "Dentist");
    MonthFile(JoinPath(dav, "ToDo.obd"), "");
    fs::create_directories(dav);
    ASSERT_NE(ToDoStoreOpenFile(kDbModeWrite, JoinPath(dav, "todo.otd"), 9002), 0);
    ToDoStoreClose();
    ASSERT_NE(PhoneStoreOpenFile(kDbModeWrite, JoinPath(dav, "phonebk.obp"), 9003), 0);
    PhoneStoreClose();
    Put(JoinPath(dav, "readme.txt"), {'h', 'i'});
    Put(JoinPath(install, "Holidays.oov"), OlderOverlay("Old holiday"));
    Put(source, Obc(5, "", {JoinPath(install, "Holidays.oov")}, '\x1C'));

    // This program's data folder: the default calendar and a database of its own.
    DefaultConfigInputs inputs;
    inputs.dataFolder = data;
    ConfigImage image = SerializeCalendarConfig(DefaultCalendarConfig(inputs));
    Put(JoinPath(data, "default.kvc"), std::vector<uint8_t>(image.begin(), image.end()));
    MonthFile(JoinPath(data, "Databases/Default/JAN-2025.kvdb"), "Old own item");
    MonthFile(JoinPath(data, "Databases/Default/FEB-2025.kvdb"), "Stale month");

    request.source = source;
    request.dataFolder = data;
    request.openConfig = JoinPath(data, "default.kvc");
    request.today = {2026, 12, 7, 0, 0};
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(root, ec);
  }

  MigrationResult Run() {
    MigrationTarget target;
    EXPECT_EQ(CheckMigrationTarget(request, target), 0);
    return RunMigration(request, target);
  }

  CalendarConfig ReadConfig(const std::string& path, std::vector<std::string>* overlays = nullptr) {
    std::vector<uint8_t> bytes = Bytes(path);
    EXPECT_GE(bytes.size(), kConfigSize);
    ConfigImage image{};
    std::memcpy(image.data(), bytes.data(), kConfigSize);
    CalendarConfig c = ParseCalendarConfig(image);
    if (overlays) *overlays = SplitOverlayTail(bytes.data() + kConfigSize, bytes.size() - kConfigSize, c.overlayCount);
    return c;
  }

  std::string root, install, data, source;
  MigrationRequest request;
};

TEST(MigrateDataParse, ReadsBothSeparatorsAndRefusesWhatIsNotAPredecessorFile) {
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    bool ok;
    std::vector<std::string> overlays;
    std::string database;
  };
  std::vector<uint8_t> truncated = Obc(5, "", {"C:\\A.oov", "C:\\B.oov"}, '\x1C');
  truncated.resize(truncated.size() - 4);  // the second name cut short, its separator gone
  std::vector<uint8_t> badMagic = Obc(5, "", {}, '\x1C');
  badMagic[0] = 'X';
  std::vector<uint8_t> shortHeader = Obc(5, "", {}, '\x1C');
  shortHeader.resize(1000);
  std::vector<uint8_t> overCount = Obc(5, "", {"C:\\A.oov"}, '\x1C');
  PutU16LE(overCount.data() + kObcOverlayCountOffset, 60000);
  const Case cases[] = {
      {"version 4 blanks", Obc(4, "D:\\Cal", {"C:\\O\\US.oov", "C:\\O\\Jewish.oov"}, ' '), true,
       {"C:\\O\\US.oov", "C:\\O\\Jewish.oov"}, "D:\\Cal"},
      {"version 5 separator keeps blanks", Obc(5, "", {"C:\\My Files\\US.oov", "C:\\B.oov"}, '\x1C'), true,
       {"C:\\My Files\\US.oov", "C:\\B.oov"}, ""},
      {"version 6 as 5", Obc(6, "", {"C:\\A.oov"}, '\x1C'), true, {"C:\\A.oov"}, ""},
      {"last name unterminated", truncated, true, {"C:\\A.oov", "C:\\B."}, ""},
      {"count beyond the file", overCount, true, {"C:\\A.oov"}, ""},
      {"version 3", Obc(3, "", {}, ' '), false, {}, ""},
      {"bad magic", badMagic, false, {}, ""},
      {"short header", shortHeader, false, {}, ""},
      {"empty", {}, false, {}, ""},
  };
  for (const Case& c : cases) {
    std::optional<ObcContents> obc = ParseObc(c.bytes.data(), c.bytes.size());
    ASSERT_EQ(obc.has_value(), c.ok) << c.name;
    if (!obc) continue;
    EXPECT_EQ(obc->overlays, c.overlays) << c.name;
    EXPECT_EQ(obc->databaseFolder, c.database) << c.name;
  }
}

TEST(MigrateDataParse, NamesOfTheInstallationAndTheCopies) {
  const std::pair<const char*, const char*> commands[] = {
      {"\"C:\\Program Files\\Orbisa\\orbisa.exe\" \"%1\"", "C:\\Program Files\\Orbisa"},
      {"C:\\Program Files\\Orbisa\\ORBISA.EXE %1", "C:\\Program Files\\Orbisa"},
      {"  C:\\Orb\\orbisa \"%1\"", "C:\\Orb"},
      {"orbisa.exe %1", ""},
      {"", ""},
  };
  for (const auto& [command, folder] : commands) EXPECT_EQ(InstallationFolderFromCommand(command), folder) << command;

  const std::pair<const char*, const char*> names[] = {
      {"JAN-2025.obd", "JAN-2025.kvdb"}, {"todo.OBD", "todo.kvdb"},  {"PHONEBK.OBP", "PhoneBk.kvpb"},
      {"todo.otd", "ToDo.kvtd"},         {"other.obp", ""},          {".obd", ""},
      {"notes.txt", ""},
  };
  for (const auto& [from, to] : names) EXPECT_EQ(MigratedDatabaseName(from), to) << from;
  EXPECT_EQ(MigratedOverlayName("C:\\Orbisa\\Holidays.oov"), "Holidays.kov");
  EXPECT_EQ(MigratedOverlayName("C:\\Dir.x\\Plain"), "Plain.kov");
  EXPECT_EQ(MigratedOverlayName("D:\\a.b.c"), "a.b.kov");
}

TEST_F(MigrateData, TargetChecksGiveTheMessageOfEachRefusal) {
  MigrationTarget target;
  request.configName = "  ", request.databaseName = "Work";
  EXPECT_EQ(CheckMigrationTarget(request, target), 1206);
  request.configName = "Work", request.databaseName = "";
  EXPECT_EQ(CheckMigrationTarget(request, target), 1207);
  request.databaseName = "a:b";
  EXPECT_EQ(CheckMigrationTarget(request, target), 30502);
  request.databaseName = "Work";
  EXPECT_EQ(CheckMigrationTarget(request, target), 0);
  EXPECT_EQ(target.config, JoinPath(data, "Work.kvc"));
  EXPECT_EQ(target.databaseFolder, JoinPath(JoinPath(data, "Databases"), "Work"));
  EXPECT_FALSE(target.configExists);
  EXPECT_FALSE(target.databaseExists);
  request.configName = "default", request.databaseName = "Default";
  EXPECT_EQ(CheckMigrationTarget(request, target), 0);
  EXPECT_TRUE(target.configExists);
  EXPECT_TRUE(target.databaseExists);

  // A folder path of 259 characters does not fit the configuration's 256-byte field.
  std::string databases = JoinPath(data, "Databases");
  request.databaseName = std::string(259 - databases.size() - 1, 'd');
  ASSERT_EQ(JoinPath(databases, request.databaseName).size(), 259u);
  EXPECT_EQ(CheckMigrationTarget(request, target), 30500);
  request.databaseName = std::string(255 - databases.size() - 1, 'd');
  EXPECT_EQ(CheckMigrationTarget(request, target), 0);
  request.configName = std::string(300, 'c');
  EXPECT_EQ(CheckMigrationTarget(request, target), 30501);
  request.replaceDefault = true;
  request.dataFolder = std::string(250, 'x');
  EXPECT_EQ(CheckMigrationTarget(request, target), 30500);
}

TEST_F(MigrateData, ReplacingTheDefaultMovesTheOldDatabaseAsideAndLeavesTheSourceAlone) {
  std::vector<uint8_t> before = Bytes(JoinPath(install, "DAV/JAN-2025.obd"));
  fs::file_time_type stamp = fs::last_write_time(JoinPath(install, "DAV/todo.otd"));
  request.replaceDefault = true;
  MigrationResult r = Run();
  EXPECT_TRUE(r.problems.empty()) << r.problems.front();
  std::string folder = JoinPath(JoinPath(data, "Databases"), "Default");
  EXPECT_EQ(Listing(folder), (std::vector<std::string>{"JAN-2025.kvdb", "PhoneBk.kvpb", "ToDo.kvdb", "ToDo.kvtd"}));
  EXPECT_EQ(Bytes(JoinPath(folder, "JAN-2025.kvdb")), before);
  for (const std::string& f : r.copied) EXPECT_TRUE(VerifyDbFile(f, DbFileKindOf(f)).empty()) << f;
  // The old database is whole in the backup, and no stale month is left in the calendar.
  EXPECT_EQ(Name(r.backupFolder), "Default before migration 2026-12-07");
  EXPECT_EQ(Listing(r.backupFolder), (std::vector<std::string>{"FEB-2025.kvdb", "JAN-2025.kvdb"}));
  EXPECT_EQ(Bytes(JoinPath(install, "DAV/JAN-2025.obd")), before);
  EXPECT_EQ(fs::last_write_time(JoinPath(install, "DAV/todo.otd")), stamp);
  EXPECT_EQ(Bytes(JoinPath(install, "Holidays.oov")), OlderOverlay("Old holiday"));

  std::vector<std::string> overlays;
  CalendarConfig c = ReadConfig(JoinPath(data, "default.kvc"), &overlays);
  EXPECT_EQ(c.databaseFolder, folder);
  EXPECT_EQ(overlays, (std::vector<std::string>{JoinPath(JoinPath(data, "Overlays"), "Holidays.kov")}));
  OverlayImage image;
  ASSERT_EQ(ReadOverlayFile(overlays[0], image), kOverlayLoaded);
  ASSERT_EQ(image.events.size(), 1u);
  EXPECT_EQ(image.events[0].description, "Old holiday");

  // A second run on the same day keeps the first backup and makes another.
  MigrationResult again = Run();
  EXPECT_EQ(Name(again.backupFolder), "Default before migration 2026-12-07 (2)");
  EXPECT_EQ(Listing(r.backupFolder).size(), 2u);
}

TEST_F(MigrateData, NewConfigurationStartsFromTheOpenOneAndVersion4NamesItsOwnFolder) {
  // A version 4 source naming its database folder and two overlays separated by blanks.
  std::string elsewhere = JoinPath(root, "Elsewhere");
  MonthFile(JoinPath(elsewhere, "MAR-2024.obd"), "Meeting");
  Put(JoinPath(install, "Extra.oov"), OlderOverlay("Extra day"));
  Put(source, Obc(4, elsewhere, {JoinPath(install, "Holidays.oov"), JoinPath(install, "Extra.oov")}, ' '));
  CalendarConfig open = ReadConfig(request.openConfig);
  open.sundayRed = 1;
  ConfigImage image = SerializeCalendarConfig(open);
  Put(request.openConfig, std::vector<uint8_t>(image.begin(), image.end()));

  request.configName = "Orbisa";
  request.databaseName = "From Orbisa";
  MigrationResult r = Run();
  EXPECT_TRUE(r.problems.empty());
  EXPECT_TRUE(r.backupFolder.empty());
  std::string folder = JoinPath(JoinPath(data, "Databases"), "From Orbisa");
  EXPECT_EQ(Listing(folder), (std::vector<std::string>{"MAR-2024.kvdb"}));
  std::vector<std::string> overlays;
  CalendarConfig c = ReadConfig(JoinPath(data, "Orbisa.kvc"), &overlays);
  EXPECT_EQ(c.databaseFolder, folder);
  EXPECT_EQ(c.sundayRed, 1);
  EXPECT_EQ(overlays.size(), 2u);
  // The default calendar and its database are as they were.
  EXPECT_EQ(Listing(JoinPath(data, "Databases/Default")), (std::vector<std::string>{"FEB-2025.kvdb", "JAN-2025.kvdb"}));
  EXPECT_EQ(ReadConfig(request.openConfig).databaseFolder, open.databaseFolder);
}

TEST_F(MigrateData, DamagedAndMissingFilesAreProblemsAndTheRestIsMigrated) {
  Put(JoinPath(install, "DAV/FEB-2025.obd"), {'O', 'R', 'B', 'D', 'B', 0, 1, 2});
  Put(source, Obc(5, "", {JoinPath(install, "Gone.oov"), JoinPath(install, "readme.oov"), JoinPath(install, "Holidays.oov")},
                  '\x1C'));
  Put(JoinPath(install, "readme.oov"), {'t', 'e', 'x', 't', 0, 0});
  request.configName = "Work";
  request.databaseName = "Work";
  MigrationResult r = Run();
  ASSERT_EQ(r.problems.size(), 3u);
  EXPECT_NE(r.problems[0].find("FEB-2025.obd is damaged"), std::string::npos) << r.problems[0];
  EXPECT_NE(r.problems[1].find("Gone.oov cannot be read"), std::string::npos) << r.problems[1];
  EXPECT_NE(r.problems[2].find("readme.oov is not an overlay"), std::string::npos) << r.problems[2];
  EXPECT_EQ(r.copied.size(), 4u);
  EXPECT_EQ(r.overlays.size(), 1u);
  EXPECT_FALSE(fs::exists(JoinPath(data, "Overlays/readme.kov")));

  // A source that is not a predecessor configuration migrates nothing and changes nothing.
  Put(source, {'n', 'o', 'p', 'e'});
  std::vector<uint8_t> kvc = Bytes(JoinPath(data, "Work.kvc"));
  MigrationResult none = Run();
  ASSERT_EQ(none.problems.size(), 1u);
  EXPECT_TRUE(none.copied.empty());
  EXPECT_EQ(Bytes(JoinPath(data, "Work.kvc")), kvc);
}

TEST_F(MigrateData, TheReplaceQuestionDecidesAboutAnOverlayOfThisProgram) {
  std::string own = JoinPath(JoinPath(data, "Overlays"), "Holidays.kov");
  std::vector<uint8_t> mine;
  ASSERT_TRUE(ConvertOlderOverlay(OlderOverlay("My own holiday").data(), OlderOverlay("My own holiday").size(), 0, mine));
  Put(own, mine);
  Put(JoinPath(install, "Extra.oov"), OlderOverlay("Extra day"));
  Put(source, Obc(5, "", {JoinPath(install, "Holidays.oov"), JoinPath(install, "Extra.oov")}, '\x1C'));
  request.replaceDefault = true;

  struct Case {
    MsgAnswer answer;
    const char* description;  // of the calendar's Holidays.kov afterwards
    size_t listed;
  };
  for (const Case& c : {Case{MsgAnswer::No, "My own holiday", 2}, Case{MsgAnswer::Cancel, "My own holiday", 0},
                        Case{MsgAnswer::Yes, "Old holiday", 2}}) {
    fs::remove(JoinPath(data, "Overlays/Extra.kov"));
    ScriptedMessages messages;
    ScopedMessageSink scope(messages);
    messages.Answer(c.answer);
    MigrationResult r = Run();
    ASSERT_EQ(messages.Texts().size(), 1u);
    EXPECT_EQ(messages.Texts()[0], "The overlay file " + own +
                                       " already exists in Kalvora.\n\nReplace the existing overlay with the overlay from Orbisa?");
    EXPECT_EQ(messages.Shown()[0].buttons, MsgButtons::YesNoCancel);
    EXPECT_EQ(r.overlays.size(), c.listed);
    EXPECT_EQ(r.overlaysCancelled, c.answer == MsgAnswer::Cancel);
    OverlayImage image;
    ASSERT_EQ(ReadOverlayFile(own, image), kOverlayLoaded);
    EXPECT_EQ(image.events.at(0).description, c.description);
  }
}

}  // namespace
}  // namespace kv
