#include "base/command_table.h"

#include <gtest/gtest.h>

#include <vector>

#include "resources/command_ids.h"

namespace kv {
namespace {

struct CommandTable : ::testing::Test {
  void TearDown() override { ResetCommandHandlers(); }
};

TEST_F(CommandTable, ACommandWithoutItsHandlerIsUnavailableAndNeverRuns) {
  EXPECT_FALSE(CommandAvailable(CMD_PRINT));
  EXPECT_FALSE(RunCommand(CMD_PRINT));
  // A handler of another owner does not make it available.
  std::vector<int> ran;
  SetCommandHandler(CommandOwner::Schedule, [&](int id, bool run) { if (run) ran.push_back(id); return true; });
  EXPECT_FALSE(CommandAvailable(CMD_PRINT));
  EXPECT_TRUE(RunCommand(CMD_SCHEDULER_OPTIONS));
  EXPECT_EQ(ran, std::vector<int>{CMD_SCHEDULER_OPTIONS});
  // Commands that are not the frame's never reach a handler.
  SetCommandHandler(CommandOwner::None, [&](int, bool) { return true; });
  EXPECT_FALSE(CommandAvailable(30000));
}

TEST_F(CommandTable, AHandlerMayDeclineACommandOfItsOwn) {
  int runs = 0;
  SetCommandHandler(CommandOwner::Printing, [&](int id, bool run) {
    if (id != CMD_PRINT) return false;  // only printing is ready
    runs += run;
    return true;
  });
  EXPECT_TRUE(CommandAvailable(CMD_PRINT));
  EXPECT_FALSE(CommandAvailable(CMD_PAGE_LAYOUT));
  EXPECT_FALSE(RunCommand(CMD_PAGE_LAYOUT));
  EXPECT_TRUE(RunCommand(CMD_PRINT));
  EXPECT_EQ(runs, 1);
  SetCommandHandler(CommandOwner::Printing, nullptr);  // removed again
  EXPECT_FALSE(CommandAvailable(CMD_PRINT));
}

TEST_F(CommandTable, AHandlerThatReplacesItselfWhileRunningIsSafe) {
  int first = 0, second = 0;
  SetCommandHandler(CommandOwner::Search, [&](int, bool run) {
    if (run) {
      ++first;
      SetCommandHandler(CommandOwner::Search, [&](int, bool r) { second += r; return true; });
    }
    return true;
  });
  EXPECT_TRUE(RunCommand(CMD_SEARCH));
  EXPECT_TRUE(ForwardToOwner(CommandOwner::Search, CMD_SEARCH_BUTTON));
  EXPECT_EQ(first, 1);
  EXPECT_EQ(second, 1);
  EXPECT_FALSE(ForwardToOwner(CommandOwner::Gps, CMD_GPS));
}

}  // namespace
}  // namespace kv
