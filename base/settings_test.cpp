#include "base/settings.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

TEST(Settings, AbsentValuesReadEmptyAndEmptyWritesDelete) {
  MemorySettings store;
  SetSettingsStore(&store);
  EXPECT_EQ(RegReadSetting("Configuration", "AutoSave"), "");
  EXPECT_TRUE(RegWriteSetting("Configuration", "AutoSave", "1"));
  EXPECT_EQ(RegReadSetting("Configuration", "AutoSave"), "1");
  EXPECT_EQ(RegReadSetting("Audio", "AutoSave"), "");  // sections are separate
  EXPECT_TRUE(RegWriteSetting("Configuration", "AutoSave", ""));
  EXPECT_FALSE(store.Has("Configuration", "AutoSave"));
  EXPECT_TRUE(RegWriteSetting("Configuration", "Missing", ""));  // deleting nothing is fine
  EXPECT_EQ(store.Count(), 0u);
  SetSettingsStore(nullptr);
}

}  // namespace
}  // namespace kv
