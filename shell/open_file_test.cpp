#include "shell/open_file.h"

#include <gtest/gtest.h>

#include "base/messages.h"
#include "shell/configuration.h"
#include "shell/shell_services.h"

namespace kv {
namespace {

TEST(OpenFile, TheCommandLineNamesAnOverlayByItsExtension) {
  struct Case { const char* line; std::optional<std::string> want; };
  const Case cases[] = {
      {"\"C:\\Users\\Ann\\Documents\\My Calendars\\Overlays\\Holidays (USA).kov\"",
       "C:\\Users\\Ann\\Documents\\My Calendars\\Overlays\\Holidays (USA).kov"},
      {"  \"D:\\Shared\\family.KOV\"  ", "D:\\Shared\\family.KOV"},   // blanks, any case
      {"D:\\Shared\\Birthdays.Kov", "D:\\Shared\\Birthdays.Kov"},    // unquoted
      {"\"D:\\My.Overlays\\team.kov\" /extra", "D:\\My.Overlays\\team.kov"},  // after the quote: ignored
      {"Work", std::nullopt},                                         // a configuration's name
      {"\"D:\\Cal\\Work.kvc\"", std::nullopt},
      {"D:\\Over.kov\\Work.kvc", std::nullopt},                       // the folder's name does not count
      {"D:\\Cal\\.kov", std::nullopt},                                // no name before the extension
      {"D:\\Cal\\team.kov.bak", std::nullopt},
      {"", std::nullopt},
      {"\"", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(OverlayFileOfCommandLine(c.line), c.want) << c.line;
}

TEST(OpenFile, AHandedPathIsBoundedAndEndsAtItsNul) {
  const char path[] = "C:\\Overlays\\team.kov";
  EXPECT_EQ(HandedOverlayPath(path, sizeof path), "C:\\Overlays\\team.kov");
  EXPECT_EQ(HandedOverlayPath(path, 11), "C:\\Overlays");  // no NUL: the bytes given
  EXPECT_EQ(HandedOverlayPath(path, 0), std::nullopt);
  EXPECT_EQ(HandedOverlayPath(nullptr, 10), std::nullopt);
  EXPECT_EQ(HandedOverlayPath("\0abc", 4), std::nullopt);
  std::string longest(259, 'a'), tooLong(260, 'a');
  EXPECT_EQ(HandedOverlayPath(longest.data(), longest.size()), longest);
  EXPECT_EQ(HandedOverlayPath(tooLong.data(), tooLong.size()), std::nullopt);
}

class OpenOverlayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetShellServices(nullptr);
    SetConfigDirty(false);
  }
  void TearDown() override {
    SetShellServices(nullptr);
    SetConfigDirty(false);
  }
  ScriptedMessages messages_;
  ScopedMessageSink sink_{messages_};
};

TEST_F(OpenOverlayTest, YesAddsTheOverlayAndChangesTheConfiguration) {
  Services().AddOverlay("C:\\Overlays\\Holidays (USA).kov");
  messages_.Answer(MsgAnswer::Yes);
  EXPECT_EQ(OpenOverlayFile("D:\\Shared\\Team.kov"), OverlayOpening::Added);
  ASSERT_EQ(messages_.Shown().size(), 1u);
  const UserMessage& q = messages_.Shown()[0];
  EXPECT_EQ(q.text, "Add the overlay \"Team\" to the open calendar configuration?\n\nD:\\Shared\\Team.kov");
  EXPECT_EQ(q.caption, "Kalvora");
  EXPECT_EQ(q.buttons, MsgButtons::YesNo);
  EXPECT_EQ(q.icon, MsgIcon::Question);
  EXPECT_EQ(Services().OverlayNames(), (std::vector<std::string>{"C:\\Overlays\\Holidays (USA).kov", "D:\\Shared\\Team.kov"}));
  EXPECT_TRUE(ConfigDirty());
}

TEST_F(OpenOverlayTest, NoLeavesTheSetAndTheConfigurationAsTheyWere) {
  messages_.Answer(MsgAnswer::No);
  EXPECT_EQ(OpenOverlayFile("D:\\Shared\\Team.kov"), OverlayOpening::Declined);
  EXPECT_EQ(messages_.Shown().size(), 1u);
  EXPECT_TRUE(Services().OverlayNames().empty());
  EXPECT_FALSE(ConfigDirty());
}

TEST_F(OpenOverlayTest, AnOverlayAlreadyInTheSetIsNotAskedAbout) {
  Services().AddOverlay("D:\\Shared\\Team.kov");
  EXPECT_EQ(OpenOverlayFile("d:\\shared\\TEAM.KOV"), OverlayOpening::AlreadyOpen);
  EXPECT_TRUE(messages_.Shown().empty());
  EXPECT_EQ(Services().OverlayNames().size(), 1u);
  EXPECT_FALSE(ConfigDirty());
}

TEST_F(OpenOverlayTest, AFullSetOrAnOverlongPathIsReportedWithoutAQuestion) {
  for (int i = 0; i < 20; ++i) Services().AddOverlay("C:\\Overlays\\o" + std::to_string(i) + ".kov");
  EXPECT_EQ(OpenOverlayFile("D:\\Shared\\Team.kov"), OverlayOpening::NotAdded);
  ASSERT_EQ(messages_.Shown().size(), 1u);
  EXPECT_EQ(messages_.Shown()[0].text,
            "The overlay \"Team\" cannot be added: a calendar shows at most 20 overlays.  Remove one in Configure Overlays first.");
  EXPECT_EQ(messages_.Shown()[0].buttons, MsgButtons::Ok);

  SetShellServices(nullptr);
  messages_.Clear();
  std::string longPath = "D:\\" + std::string(253, 'x') + ".kov";
  ASSERT_EQ(longPath.size(), 260u);
  EXPECT_EQ(OpenOverlayFile(longPath), OverlayOpening::NotAdded);
  ASSERT_EQ(messages_.Shown().size(), 1u);
  EXPECT_EQ(messages_.Shown()[0].text, "The overlay " + longPath + " cannot be added: its path is longer than 259 characters.");
  EXPECT_TRUE(Services().OverlayNames().empty());
  EXPECT_FALSE(ConfigDirty());
}

// The overlay module turns a file away after Yes: nothing changes.
class RefusingServices : public ShellServices {
 public:
  bool AddOverlay(const std::string&) override { return false; }
};

TEST_F(OpenOverlayTest, AFileTheSetRefusesChangesNothing) {
  RefusingServices refusing;
  SetShellServices(&refusing);
  messages_.Answer(MsgAnswer::Yes);
  EXPECT_EQ(OpenOverlayFile("D:\\Shared\\Broken.kov"), OverlayOpening::NotAdded);
  EXPECT_FALSE(ConfigDirty());
}

}  // namespace
}  // namespace kv
