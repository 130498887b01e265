#include "resources/strings.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

// The order and uniqueness of the rows is checked when the table is built; what is left to
// catch here is a lookup that misses or a format that drops a field.
TEST(StringTable, UnknownNumbersGiveEmptyTextAndFieldsAreFilled) {
  EXPECT_EQ(StringText(1104), "Saturday");  // the last of a run of rows
  EXPECT_FALSE(HasString(1));
  EXPECT_EQ(StringText(1), "");
  EXPECT_EQ(FormatText("%s %d", "Week", 53), "Week 53");
  EXPECT_EQ(FormatText("%s", ""), "");
}

}  // namespace
}  // namespace kv
