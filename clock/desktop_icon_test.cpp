#include "clock/desktop_icon.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

// The two keys as a map would hold them; `failWrites` makes every write fail.
struct FakeKeys : DesktopIconKeys {
  bool classKey = false;
  std::string name;
  bool shellFolder = false;
  bool entry = false;
  bool failWrites = false;
  int writes = 0;

  std::optional<std::string> ClassName() override { return classKey ? std::optional(name) : std::nullopt; }
  bool ClassHasShellFolder() override { return classKey && shellFolder; }
  bool SetClassName(std::string_view n) override {
    if (failWrites) return false;
    ++writes;
    classKey = true;
    name = n;
    return true;
  }
  bool DeleteShellFolder() override {
    if (failWrites) return false;
    ++writes;
    shellFolder = false;
    return true;
  }
  bool NamespaceEntryExists() override { return entry; }
  bool CreateNamespaceEntry() override {
    if (failWrites) return false;
    ++writes;
    entry = true;
    return true;
  }
  bool DeleteNamespaceEntry() override {
    if (failWrites) return false;
    ++writes;
    entry = false;
    return true;
  }
};

TEST(DesktopIcon, QueryReadsNameAndEntry) {
  FakeKeys keys;
  DesktopIconState s = QueryDesktopIcon(keys);
  EXPECT_FALSE(s.provided);
  EXPECT_EQ(s.displayName, "");
  keys.entry = true;  // an entry without a class key still counts
  EXPECT_TRUE(QueryDesktopIcon(keys).provided);
  keys.classKey = true;
  keys.name = "My Calendars";
  s = QueryDesktopIcon(keys);
  EXPECT_TRUE(s.provided);
  EXPECT_EQ(s.displayName, "My Calendars");
  // "ShellFolder" under the class key: not provided, whatever the namespace says.
  keys.shellFolder = true;
  s = QueryDesktopIcon(keys);
  EXPECT_FALSE(s.provided);
  EXPECT_EQ(s.displayName, "My Calendars");
}

TEST(DesktopIcon, OnWithoutNameWritesProductName) {
  FakeKeys keys;
  ASSERT_TRUE(ProvideDesktopIcon(keys, true, "Kalvora"));
  EXPECT_TRUE(keys.classKey);
  EXPECT_EQ(keys.name, "Kalvora");
  EXPECT_TRUE(keys.entry);
  EXPECT_TRUE(QueryDesktopIcon(keys).provided);
}

TEST(DesktopIcon, OffAndOnAgainKeepsTheName) {
  FakeKeys keys;
  keys.classKey = true;
  keys.name = "Family Calendar";
  keys.entry = true;
  ASSERT_TRUE(ProvideDesktopIcon(keys, false, "Kalvora"));
  EXPECT_FALSE(keys.entry);
  EXPECT_EQ(keys.name, "Family Calendar");
  ASSERT_TRUE(ProvideDesktopIcon(keys, true, "Kalvora"));
  EXPECT_TRUE(keys.entry);
  EXPECT_EQ(keys.name, "Family Calendar");
  // An empty stored name is no name: the product name takes its place.
  keys.name.clear();
  ASSERT_TRUE(ProvideDesktopIcon(keys, true, "Kalvora"));
  EXPECT_EQ(keys.name, "Kalvora");
}

TEST(DesktopIcon, OnRemovesShellFolder) {
  FakeKeys keys;
  keys.classKey = true;
  keys.name = "Kalvora";
  keys.shellFolder = true;
  keys.entry = true;
  EXPECT_FALSE(QueryDesktopIcon(keys).provided);
  ASSERT_TRUE(ProvideDesktopIcon(keys, true, "Kalvora"));
  EXPECT_FALSE(keys.shellFolder);
  EXPECT_TRUE(QueryDesktopIcon(keys).provided);
}

TEST(DesktopIcon, FailedWriteChangesNothing) {
  FakeKeys keys;
  keys.failWrites = true;
  EXPECT_FALSE(ProvideDesktopIcon(keys, true, "Kalvora"));
  EXPECT_FALSE(keys.classKey);
  EXPECT_FALSE(keys.entry);
  keys.entry = true;
  EXPECT_FALSE(ProvideDesktopIcon(keys, false, "Kalvora"));
  EXPECT_TRUE(keys.entry);
}

}  // namespace
}  // namespace kv
