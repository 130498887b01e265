#include "sky/text_fields.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

TEST(TextFields, QuotingRoundTrips) {
  struct Case {
    const char* text;
    const char* written;
  } cases[] = {
      {"plain", "plain"},
      {"Las Vegas, NV", "\"Las Vegas, NV\""},
      {"The \"Big\" Apple", "\"The \"\"Big\"\" Apple\""},
      {"two\rlines", "\"two\rlines\""},
      {"", ""},
  };
  const int maxima[] = {64, 64};
  for (const Case& c : cases) {
    EXPECT_EQ(QuoteField(c.text), c.written);
    std::string line = std::string(c.written) + ",next\r\n";
    FieldLine f = ReadFieldLine(line, 0, maxima);
    EXPECT_EQ(f.fields[0], c.text);
    EXPECT_EQ(f.fields[1], "next");
    EXPECT_EQ(f.next, line.size());
  }
}

TEST(TextFields, LinesFieldsAndLimits) {
  const int maxima[] = {4, 3, 10};
  std::string data = "abcdef,xy\r\n\"q,\"\"\",1,2,3,4\nlast";
  FieldLine a = ReadFieldLine(data, 0, maxima);
  EXPECT_EQ(a.fields, (std::vector<std::string>{"abc", "xy", ""}));  // cut to 3, missing field empty
  EXPECT_EQ(a.next, 11u);
  FieldLine b = ReadFieldLine(data, a.next, maxima);
  EXPECT_EQ(b.fields, (std::vector<std::string>{"q,\"", "1", "2"}));  // extra fields ignored
  FieldLine c = ReadFieldLine(data, b.next, maxima);
  EXPECT_EQ(c.fields[0], "las");
  EXPECT_EQ(c.next, data.size());
  // A limit stops the reading of the line but not the finding of the next one.
  FieldLine d = ReadFieldLine("abcdefgh,ij\r\nnext", 0, maxima, 3);
  EXPECT_EQ(d.fields[0], "abc");
  EXPECT_EQ(d.fields[1], "");
  EXPECT_EQ(d.next, 13u);
  // An unclosed quote runs to the end of the data without reading past it.
  FieldLine e = ReadFieldLine("\"open,field", 0, maxima);
  EXPECT_EQ(e.fields[0], "ope");
  EXPECT_EQ(e.next, 11u);
}

TEST(TextFields, Integers) {
  struct Case {
    const char* text;
    int value;
  } cases[] = {{"42", 42}, {"-7", -7}, {" 12x", 12}, {"", 0}, {"abc", 0}, {"+5", 5}, {"99999999999999", 1000000000}};
  for (const Case& c : cases) EXPECT_EQ(FieldInteger(c.text), c.value) << c.text;
}

}  // namespace
}  // namespace kv
