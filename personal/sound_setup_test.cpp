#include "personal/sound_setup.h"

#include <gtest/gtest.h>

#include "base/settings.h"

namespace kv {
namespace {

class SoundSetupTest : public testing::Test {
 protected:
  void SetUp() override { SetSettingsStore(&settings); }
  void TearDown() override { SetSettingsStore(nullptr); }
  MemorySettings settings;
};

TEST_F(SoundSetupTest, LoadsEditsAndWritesBackEveryEntry) {
  AlarmDefaultSounds("C:\\Program Files\\Kalvora");
  SoundSetup s = LoadSoundSetup();
  EXPECT_EQ(s.selected, 0);
  EXPECT_EQ(s.entries[2].description, "Kettle");
  EXPECT_EQ(s.entries[2].path, "C:\\Program Files\\Kalvora\\Alarms\\Kettle.wav");
  EXPECT_EQ(SoundFileTitle(s.entries[2].path), "Kettle.wav");

  s.selected = 1;
  SetSoundDescription(s, "Harbour horn, long and low, for the morning train");
  EXPECT_EQ(s.entries[1].description, "Harbour horn, long and low, for the mor");  // 39 characters
  s.selected = 3;
  ASSERT_TRUE(SetSoundFile(s, "D:\\Sounds\\bells.v2.wav"));
  EXPECT_EQ(s.entries[3].description, "bells.v2");
  EXPECT_EQ(SoundTestPath(s), "D:\\Sounds\\bells.v2.wav");
  s.selected = 5;
  s.entries[5].path = "None";
  EXPECT_EQ(SoundTestPath(s), "");
  SaveSoundSetup(s);

  EXPECT_EQ(settings.Read("Audio", "AlarmSound2"), "\"Harbour horn, long and low, for the mor\",C:\\Program Files\\Kalvora\\Alarms\\Fog Horn.wav");
  EXPECT_EQ(settings.Read("Audio", "AlarmSound4"), "\"bells.v2\",D:\\Sounds\\bells.v2.wav");
  EXPECT_FALSE(settings.Has("Audio", "AlarmSound6"));  // "None" removes the value
  SoundSetup again = LoadSoundSetup();
  for (int i : {0, 1, 2, 3, 4, 6, 7}) {
    EXPECT_EQ(again.entries[static_cast<size_t>(i)].description, s.entries[static_cast<size_t>(i)].description) << i;
    EXPECT_EQ(again.entries[static_cast<size_t>(i)].path, s.entries[static_cast<size_t>(i)].path) << i;
  }
  // The removed sound stays "None" until the next start brings its default back.
  EXPECT_EQ(again.entries[5].path, "None");
  EXPECT_EQ(again.entries[5].description, "");
  SaveSoundSetup(again);
  EXPECT_FALSE(settings.Has("Audio", "AlarmSound6"));
  AlarmDefaultSounds("C:\\Program Files\\Kalvora");
  EXPECT_EQ(LoadSoundSetup().entries[5].description, "Doorbell");
}

TEST_F(SoundSetupTest, MalformedValuesCountAsMissingAndUnusablePathsAreRefused) {
  settings.Write("Audio", "AlarmSound1", "no quotes at all");
  settings.Write("Audio", "AlarmSound2", "\"Only a description\",");
  SoundSetup s = LoadSoundSetup();
  for (int i = 0; i < kAlarmSounds; ++i) EXPECT_EQ(s.entries[static_cast<size_t>(i)].path, "None") << i;

  struct Case {
    std::string path;
    bool accepted;
    const char* description;
  } cases[] = {
      {"", false, ""},
      {"C:\\" + std::string(124, 'a'), true, ""},   // 127 characters: read back whole
      {"C:\\" + std::string(125, 'a'), false, ""},  // 128: the setting could not hold it
      {"C:\\Sounds\\.hidden", true, ".hidden"},     // no extension to take off
      {"plain", true, "plain"},
  };
  for (const Case& c : cases) {
    SoundSetup one = LoadSoundSetup();
    EXPECT_EQ(SetSoundFile(one, c.path), c.accepted) << c.path.size();
    if (!c.accepted) {
      EXPECT_EQ(one.entries[0].path, "None");
    } else if (c.description[0]) {
      EXPECT_EQ(one.entries[0].description, c.description);
    }
  }
  // A path of 127 characters survives the setting's round trip.
  SoundSetup s2 = LoadSoundSetup();
  std::string longest = "C:\\" + std::string(124, 'b');
  ASSERT_TRUE(SetSoundFile(s2, longest));
  SaveSoundSetup(s2);
  EXPECT_EQ(LoadSoundSetup().entries[0].path, longest);
}

TEST(SoundSetupNames, EntriesAreNumberedAlarms) {
  EXPECT_EQ(SoundEntryName(1), "Alarm 1");
  EXPECT_EQ(SoundEntryName(8), "Alarm 8");
  EXPECT_EQ(SoundFileTitle("None"), "None");
  EXPECT_EQ(SoundFileTitle("C:/a/b.wav"), "b.wav");
  EXPECT_EQ(SoundFileTitle("D:x.wav"), "x.wav");
}

}  // namespace
}  // namespace kv
