#include "resources/strings.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

TEST(StringTable, RowsAreInAscendingOrderWithoutDuplicates) {
  ASSERT_GT(StringCount(), 0u);
  for (size_t i = 1; i < StringCount(); ++i)
    EXPECT_LT(StringIdAt(i - 1), StringIdAt(i)) << "row " << i;
}

TEST(StringTable, LooksUpTextsByNumber) {
  EXPECT_EQ(StringText(1027), "Week");
  EXPECT_EQ(StringText(1068), "SMTWTFS");
  EXPECT_EQ(StringText(1074), "January");
  EXPECT_EQ(StringText(1097), "D E C E M B E R");
  EXPECT_EQ(StringText(1104), "Saturday");
  EXPECT_TRUE(HasString(1085));
  EXPECT_FALSE(HasString(1));
  EXPECT_EQ(StringText(1), "");
}

TEST(StringTable, FormatTextFillsFields) {
  EXPECT_EQ(FormatText("%d/%d", 60, 306), "60/306");
  EXPECT_EQ(FormatText("%s %d", "Week", 53), "Week 53");
  EXPECT_EQ(FormatText("%s", ""), "");
}

}  // namespace
}  // namespace kv
