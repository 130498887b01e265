#include "base/text_encoding.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

TEST(TextEncoding, WindowsCodePageRoundTripsThroughUtf8) {
  // Every assigned byte comes back as itself.
  for (int b = 1; b < 256; ++b) {
    std::string one(1, static_cast<char>(b));
    if (b >= 0x80 && b < 0xA0 && UnicodeOfAnsi(static_cast<unsigned char>(b)) == 0) continue;
    EXPECT_EQ(AnsiFromUtf8(Utf8FromAnsi(one)), one) << b;
  }
  EXPECT_EQ(Utf8FromAnsi("\xB0"), "\xC2\xB0");            // degree sign
  EXPECT_EQ(Utf8FromAnsi("\x80"), "\xE2\x82\xAC");        // euro sign
  EXPECT_EQ(Utf8FromAnsi("Caf\xE9 \xBB"), "Caf\xC3\xA9 \xC2\xBB");
}

TEST(TextEncoding, CharactersWithoutAPlaceAndBrokenUtf8BecomeQuestionMarks) {
  EXPECT_EQ(AnsiFromUtf8("\xE2\x98\x83"), "?");        // snowman
  EXPECT_EQ(AnsiFromUtf8("a\xC3"), "a?");              // cut short
  EXPECT_EQ(AnsiFromUtf8("\xFF\xFEx"), "??x");         // not UTF-8 at all
  EXPECT_EQ(AnsiFromUtf8("\xF0\x9F\x98\x80!"), "?!");  // outside the basic plane
  EXPECT_EQ(AnsiOfUnicode(0x20AC), 0x80);
  EXPECT_EQ(AnsiOfUnicode(0x3042), -1);
}

}  // namespace
}  // namespace kv
