#include "overlays/overlay_set.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "base/messages.h"
#include "base/settings.h"
#include "base/bytes.h"

namespace kv {
namespace {

namespace fs = std::filesystem;

class OverlaySetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("kvset-" + std::to_string(std::random_device{}()));
    fs::create_directories(folder_ / "Overlays");
    SetSettingsStore(&settings_);
    ResetOverlays();
  }
  void TearDown() override {
    ResetOverlays();
    SetSettingsStore(nullptr);
    std::error_code ec;
    fs::remove_all(folder_, ec);
  }
  std::string File(const std::string& name) const { return (folder_ / name).string(); }

  // Writes an overlay file of events named by their descriptions.
  std::string Make(const std::string& name, const std::vector<std::string>& texts, Accent accent = {}) {
    OverlayImage image;
    image.header.accent = accent;
    int day = 1;
    for (const std::string& t : texts) {
      OverlayEvent e;
      e.kind = kKindAnnual;
      e.month = 3;
      e.day = static_cast<uint16_t>(day++);
      e.description = t;
      image.events.push_back(e);
    }
    std::string path = File(name);
    EXPECT_TRUE(WriteFileReplacing(path, SerializeOverlay(image)));
    return path;
  }

  std::vector<std::string> Texts(int number) {
    std::vector<std::string> out;
    for (size_t p : OverlayEventPositions(number, kSortAscendingDate)) out.push_back(Overlays().events[p].event.description);
    return out;
  }

  fs::path folder_;
  MemorySettings settings_;
  ScriptedMessages messages_;
  ScopedMessageSink scope_{messages_};
};

TEST_F(OverlaySetTest, AddingOverlays) {
  Accent accent;
  accent.highlight = 1;
  int a = AddOverlay(Make("Family.kov", {"Anna", "Max"}, accent));
  int b = AddOverlay(Make("Work.v2.kov", {"Review"}));
  EXPECT_EQ(a, 1);
  EXPECT_EQ(b, 2);
  EXPECT_EQ(OverlayName(1), "Family");
  EXPECT_EQ(OverlayName(2), "Work.v2");
  EXPECT_EQ(OverlayAccent(1).highlight, 1);
  EXPECT_EQ(Overlays().events.size(), 3u);
  EXPECT_EQ(Texts(2), (std::vector<std::string>{"Review"}));

  EXPECT_EQ(AddOverlay(File("missing.kov")), 0);
  std::vector<uint8_t> bad = {'X', 'Y', 'Z', 0, 1, 2, 3};
  WriteFileReplacing(File("bad.kov"), bad);
  EXPECT_EQ(AddOverlay(File("bad.kov")), 0);
  ASSERT_EQ(messages_.Shown().size(), 2u);
  EXPECT_EQ(messages_.Shown()[0].text, "Error opening file:\n\n" + File("missing.kov"));
  EXPECT_EQ(messages_.Shown()[0].icon, MsgIcon::Warning);
  EXPECT_EQ(messages_.Shown()[1].text, "File failed header check:\n\n" + File("bad.kov"));
  EXPECT_EQ(OverlayCount(), 2);

  // A damaged file keeps the events before the damage and says so.
  std::string damagedPath = Make("Damaged.kov", {"one", "two"});
  std::vector<uint8_t> bytes;
  ReadWholeFile(damagedPath, bytes, 1000);
  bytes.resize(bytes.size() - 20);
  WriteFileReplacing(damagedPath, bytes);
  EXPECT_EQ(AddOverlay(damagedPath), 3);
  EXPECT_EQ(Texts(3), (std::vector<std::string>{"one"}));
  EXPECT_EQ(messages_.Shown().back().text,
            "The overlay file is damaged; the events before the damage were loaded:\n\n" + damagedPath);
}

TEST_F(OverlaySetTest, TwentyAtMost) {
  std::string path = Make("One.kov", {"x"});
  for (int i = 1; i <= 20; ++i) EXPECT_EQ(AddOverlay(path), i);
  messages_.Clear();
  EXPECT_EQ(AddOverlay(path), 0);
  EXPECT_TRUE(messages_.Shown().empty());  // refused without a message
  EXPECT_EQ(OverlayCount(), 20);
  EXPECT_EQ(NewOverlay(File("New.kov")), 0);
}

TEST_F(OverlaySetTest, RemovingRenumbers) {
  AddOverlay(Make("A.kov", {"a"}));
  AddOverlay(Make("B.kov", {"b"}));
  AddOverlay(Make("C.kov", {"c"}));
  EXPECT_TRUE(RemoveOverlay(2));
  EXPECT_EQ(OverlayName(2), "C");
  EXPECT_EQ(Texts(2), (std::vector<std::string>{"c"}));
  EXPECT_TRUE(fs::exists(File("B.kov")));
  RemoveAllOverlays();
  EXPECT_EQ(OverlayCount(), 0);
  EXPECT_TRUE(Overlays().events.empty());
}

TEST_F(OverlaySetTest, MovingRenumbersAndKeepsTheLoadOrder) {
  Accent red;
  red.highlight = 1;
  AddOverlay(Make("A.kov", {"a1", "a2"}));
  AddOverlay(Make("B.kov", {"b1"}, red));
  AddOverlay(Make("C.kov", {"c1"}));
  EXPECT_FALSE(MoveOverlay(1, -1));  // already first
  EXPECT_FALSE(MoveOverlay(3, 1));   // already last
  EXPECT_FALSE(MoveOverlay(2, 2));
  EXPECT_TRUE(MoveOverlay(2, -1));
  EXPECT_EQ(OverlayName(1), "B");
  EXPECT_EQ(OverlayName(2), "A");
  EXPECT_EQ(OverlayAccent(1).highlight, 1);
  EXPECT_EQ(OverlayAccent(2).highlight, 0);
  EXPECT_EQ(Texts(1), (std::vector<std::string>{"b1"}));
  EXPECT_EQ(Texts(2), (std::vector<std::string>{"a1", "a2"}));
  // The held list is what loading the files in the new order gives.
  std::vector<LoadedEvent> moved = Overlays().events;
  ReloadAllOverlays();
  ASSERT_EQ(moved.size(), Overlays().events.size());
  for (size_t i = 0; i < moved.size(); ++i) {
    EXPECT_EQ(moved[i].overlay, Overlays().events[i].overlay) << i;
    EXPECT_EQ(moved[i].event.description, Overlays().events[i].event.description) << i;
  }
  EXPECT_TRUE(MoveOverlay(2, 1));
  EXPECT_EQ(OverlayName(3), "A");
  EXPECT_EQ(Texts(3), (std::vector<std::string>{"a1", "a2"}));
}

TEST_F(OverlaySetTest, SavingAndEditing) {
  int n = AddOverlay(Make("Edit.kov", {"first", "second"}));
  unsigned changes = 0;
  SetOverlaysChangedHook([&] { ++changes; });
  OverlayEvent e;
  e.kind = kKindAnnual;
  e.month = 1;
  e.day = 5;
  e.description = "new";
  ASSERT_TRUE(AddEventToOverlay(n, e));
  EXPECT_EQ(Texts(n), (std::vector<std::string>{"new", "first", "second"}));
  std::vector<uint8_t> bytes;
  ReadWholeFile(File("Edit.kov"), bytes, 10000);
  EXPECT_EQ(bytes.size(), 40u + 57 * 3 + 3 + 5 + 6);
  EXPECT_EQ(ReadU32LE(bytes.data() + 28), 3u);

  // Delete asks first; Cancel keeps the event.
  size_t second = OverlayEventPositions(n, kSortAlphabetical)[1];  // "new"
  messages_.Answer(MsgAnswer::Cancel);
  EXPECT_FALSE(DeleteEvent(second));
  EXPECT_EQ(messages_.Shown().back().text, "Delete this entry from disk?");
  EXPECT_EQ(Overlays().events.size(), 3u);
  messages_.Answer(MsgAnswer::Ok);
  EXPECT_TRUE(DeleteEvent(second));
  EXPECT_EQ(Texts(n), (std::vector<std::string>{"first", "second"}));
  ReadWholeFile(File("Edit.kov"), bytes, 10000);
  EXPECT_EQ(bytes.size(), 40u + 57 * 2 + 5 + 6);  // the file shrinks with the list

  // Cut from one overlay, paste into another.
  int other = AddOverlay(Make("Other.kov", {}));
  messages_.Answer(MsgAnswer::Ok);
  ASSERT_TRUE(CutEvent(OverlayEventPositions(n, kSortAlphabetical)[0]));  // "first"
  ASSERT_TRUE(PasteEvent(other));
  EXPECT_EQ(Texts(n), (std::vector<std::string>{"second"}));
  EXPECT_EQ(Texts(other), (std::vector<std::string>{"first"}));
  ASSERT_TRUE(PasteEvent(other));
  EXPECT_EQ(Texts(other), (std::vector<std::string>{"first", "first"}));

  size_t pos = OverlayEventPositions(n, kSortAlphabetical)[0];
  OverlayEvent changed = Overlays().events[pos].event;
  changed.description = "renamed";
  ASSERT_TRUE(ReplaceEvent(pos, changed));
  EXPECT_EQ(Texts(n), (std::vector<std::string>{"renamed"}));
  EXPECT_GT(changes, 5u);
  SetOverlaysChangedHook(nullptr);

  // Reloading from disk gives the same list.
  std::vector<LoadedEvent> before = Overlays().events;
  ReloadAllOverlays();
  ASSERT_EQ(Overlays().events.size(), before.size());
  for (size_t i = 0; i < before.size(); ++i) EXPECT_EQ(Overlays().events[i].event, before[i].event);
}

TEST_F(OverlaySetTest, AccentsAndTheLHeader) {
  Accent accent;
  accent.highlight = 1;
  accent.flags = kAccentTextColour;
  accent.textColour = 0xFF;
  std::string path = Make("L.kov", {"x"}, accent);
  std::vector<uint8_t> bytes;
  ReadWholeFile(path, bytes, 1000);
  bytes[3] = 'L';
  bytes[33] = 0x5A;  // reserved header bytes survive a save
  WriteFileReplacing(path, bytes);
  int n = AddOverlay(path);
  EXPECT_TRUE(CanClearAccent(n));
  ASSERT_TRUE(SaveOverlay(n));
  ReadWholeFile(path, bytes, 1000);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "KOV6");
  EXPECT_EQ(ReadU16LE(bytes.data() + 8), 0);  // an "L" file's default accent is cleared
  EXPECT_EQ(bytes[33], 0x5A);
  ASSERT_TRUE(SetOverlayAccent(n, accent));
  EXPECT_EQ(OverlayAccent(n).highlight, 1);
  ASSERT_TRUE(ClearOverlayAccent(n));
  EXPECT_FALSE(CanClearAccent(n));
}

TEST_F(OverlaySetTest, NewOverlayFiles) {
  std::string path = File("Fresh.kov");
  int n = NewOverlay(path);
  EXPECT_EQ(n, 1);
  EXPECT_EQ(fs::file_size(path), 40u);
  // Replacing an existing file asks; Cancel stops.
  messages_.Answer(MsgAnswer::Cancel);
  EXPECT_FALSE(SaveNewOverlay(path, {}, Accent{}));
  EXPECT_EQ(messages_.Shown().back().text, "The filename already exisits.  Do you want to replace it?");
  EXPECT_EQ(messages_.Shown().back().buttons, MsgButtons::OkCancel);
  EXPECT_FALSE(SaveNewOverlay(File("no/such/folder/x.kov"), {}, Accent{}));
  EXPECT_EQ(messages_.Shown().back().text, "Error creating file:\n\n" + File("no/such/folder/x.kov"));
}

TEST_F(OverlaySetTest, ListOrderSetting) {
  EXPECT_EQ(OverlayListOrder(), kSortAscendingDate);
  SetOverlayListOrder(0);
  EXPECT_EQ(settings_.Read("Configuration", "OvlSort"), "0");
  EXPECT_EQ(OverlayListOrder(), kSortAlphabetical);
  SetOverlayListOrder(7);
  EXPECT_EQ(OverlayListOrder(), kSortAlphabetical);
}

TEST_F(OverlaySetTest, StandardOverlaysAndTheSample) {
  std::vector<std::string> paths = StandardOverlayPaths(folder_.string(), HomeCountry::Uk);
  ASSERT_EQ(paths.size(), 4u);
  EXPECT_EQ(OverlayNameOfPath(paths[0]), "Holidays (UK)");
  EXPECT_EQ(OverlayNameOfPath(paths[3]), "Sample");
  EXPECT_EQ(StandardOverlayPaths(folder_.string(), HomeCountry::None).size(), 3u);

  // The sample's Gregorian events move into the current month; Jewish ones keep theirs.
  OverlayImage sample;
  OverlayEvent birthday;
  birthday.kind = kKindBirthday;
  birthday.month = 1;
  birthday.day = 12;
  birthday.description = "Anna";
  OverlayEvent yahrzeit = birthday;
  yahrzeit.kind = kKindYahrzeit;
  yahrzeit.month = 5;
  sample.events = {birthday, yahrzeit};
  std::string samplePath = (folder_ / "Overlays" / "Sample.kov").string();
  WriteFileReplacing(samplePath, SerializeOverlay(sample));
  for (const std::string& p : paths)
    if (p != samplePath) WriteFileReplacing(p, SerializeOverlay(OverlayImage{}));
  SetUpStandardOverlays(folder_.string(), HomeCountry::Uk, 8);
  EXPECT_EQ(OverlayCount(), 4);
  OverlayImage back;
  ASSERT_EQ(ReadOverlayFile(samplePath, back), kOverlayLoaded);
  EXPECT_EQ(back.events[0].month, 8);
  EXPECT_EQ(back.events[1].month, 5);

  // A description over 120 characters leaves the file as it was.
  std::vector<uint8_t> bytes = SerializeOverlay(sample);
  std::string longText(130, 'L');
  bytes.erase(bytes.begin() + 40 + 56, bytes.begin() + 40 + 56 + 4);
  bytes.insert(bytes.begin() + 40 + 56, longText.begin(), longText.end());
  WriteFileReplacing(samplePath, bytes);
  EXPECT_FALSE(PrepareSampleOverlay(samplePath, 3));
  std::vector<uint8_t> after;
  ReadWholeFile(samplePath, after, 10000);
  EXPECT_EQ(after, bytes);
}

}  // namespace
}  // namespace kv
