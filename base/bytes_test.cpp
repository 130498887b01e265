#include "base/bytes.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

TEST(Bytes, LittleEndianRoundTrips) {
  uint8_t buf[8] = {};
  PutU16LE(buf, 0xBEEF);
  EXPECT_EQ(buf[0], 0xEF);
  EXPECT_EQ(buf[1], 0xBE);
  EXPECT_EQ(ReadU16LE(buf), 0xBEEF);
  EXPECT_EQ(ReadI16LE(buf), static_cast<int16_t>(0xBEEF));
  PutI32LE(buf, -2);
  EXPECT_EQ(buf[0], 0xFE);
  EXPECT_EQ(buf[3], 0xFF);
  EXPECT_EQ(ReadI32LE(buf), -2);
  PutF64LE(buf, -33.8688);
  EXPECT_EQ(ReadF64LE(buf), -33.8688);
  PutF32LE(buf, 1.5f);
  EXPECT_EQ(buf[3], 0x3F);
  EXPECT_EQ(ReadF32LE(buf), 1.5f);
}

TEST(Bytes, FixedTextFields) {
  uint8_t field[6];
  PutFixedText(field, sizeof field, "Kalvora");
  EXPECT_EQ(ReadFixedText(field, sizeof field), "Kalvo");
  EXPECT_EQ(field[5], 0);
  PutFixedText(field, sizeof field, "ab");
  EXPECT_EQ(field[2], 0);
  EXPECT_EQ(field[5], 0);
  const uint8_t unterminated[4] = {'a', 'b', 'c', 'd'};
  EXPECT_EQ(ReadFixedText(unterminated, 4), "abcd");
}

}  // namespace
}  // namespace kv
