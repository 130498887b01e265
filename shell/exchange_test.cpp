#include "shell/exchange.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

TEST(Exchange, TheNamesExtensionDecidesThenTheFilter) {
  struct Case { const char* path; int filter; ExchangeFormat want; };
  const Case cases[] = {
      {"C:\\Out\\Work.ics", 4, ExchangeFormat::Ical},      // typed over the CSV filter
      {"C:\\Out\\Work.ICS", 1, ExchangeFormat::Ical},
      {"C:\\Out\\people.vcf", 1, ExchangeFormat::VCard3},
      {"C:\\Out\\people.vcf", 3, ExchangeFormat::VCard4},
      {"C:\\Out\\people.CSV", 2, ExchangeFormat::Csv},
      {"C:\\Out\\people", 4, ExchangeFormat::Csv},         // no extension: the filter
      {"C:\\Out.d\\people", 2, ExchangeFormat::VCard3},    // a dot in a folder is no extension
      {"C:\\Out\\notes.txt", 1, ExchangeFormat::Unknown},  // a foreign extension is refused
      {"C:\\Out\\people", 0, ExchangeFormat::Unknown},
  };
  for (const Case& c : cases) EXPECT_EQ(ExchangeFormatFor(c.path, c.filter), c.want) << c.path << " " << c.filter;
}

TEST(Exchange, SkippedLinesAreListedUpToALimit) {
  std::vector<ExchangeSkip> skipped;
  EXPECT_EQ(SkippedLines(skipped), "");
  for (int i = 1; i <= 12; ++i) skipped.push_back({i * 10, "unknown time zone"});
  std::string text = SkippedLines(skipped, 2);
  EXPECT_EQ(text, "Line 10: unknown time zone\nLine 20: unknown time zone\n... and 10 more.");
}

}  // namespace
}  // namespace kv
