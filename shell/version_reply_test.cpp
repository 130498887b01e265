#include "shell/version_reply.h"

#include <gtest/gtest.h>

#include <string>

namespace kv {
namespace {

struct ReplyCase {
  std::string reply;
  bool tag, newer;
  std::string version, address;
};

TEST(VersionReply, ReadsEachForm) {
  const std::string big = "http://example.com/" + std::string(3000, 'a');
  const ReplyCase cases[] = {
      // A newer release, in a page around the answer.
      {"<html><VCHECK>1 4.08.0012 http://www.kalvora.com/get</VCHECK></html>", true, true, "4.8.0012",
       "http://www.kalvora.com/get"},
      {"<VCHECK>1 5.00.0001 HTTPS://Example.com/dl?x=1</VCHECK>", true, true, "5.0.0001", "HTTPS://Example.com/dl?x=1"},
      // Separators are not examined.
      {"<VCHECK>1x4y08z0012_http://a.b/</VCHECK>", true, true, "4.8.0012", "http://a.b/"},
      // The current version.
      {"<VCHECK>0 4.07.0000 http://www.kalvora.com/</VCHECK>", true, false, "4.7.0000", ""},
      {"<VCHECK>0 4.07.0000</VCHECK>", true, false, "4.7.0000", ""},
      // Flag "1" without a usable address reads as no newer release.
      {"<VCHECK>1 4.08.0012 ftp://x.com/a</VCHECK>", true, false, "4.8.0012", ""},
      {"<VCHECK>1 4.08.0012 file:///c:/windows/calc.exe</VCHECK>", true, false, "4.8.0012", ""},
      {"<VCHECK>1 4.08.0012 javascript:alert(1)</VCHECK>", true, false, "4.8.0012", ""},
      {"<VCHECK>1 4.08.0012 \\\\server\\share\\setup.exe</VCHECK>", true, false, "4.8.0012", ""},
      {"<VCHECK>1 4.08.0012 http://x.com/a\"b</VCHECK>", true, false, "4.8.0012", ""},
      {"<VCHECK>1 4.08.0012 http://x.com/a\r\nb</VCHECK>", true, false, "4.8.0012", ""},
      {"<VCHECK>1 4.08.0012 http://</VCHECK>", true, false, "4.8.0012", ""},
      {"<VCHECK>1 4.08.0012 </VCHECK>", true, false, "4.8.0012", ""},
      {"<VCHECK>1 4.08.0012</VCHECK>", true, false, "4.8.0012", ""},
      {"<VCHECK>1 4.08.0012 " + big + "</VCHECK>", true, false, "4.8.0012", ""},
      // No tag: absent, unclosed (cut off), too short, or not digits where digits belong.
      {"", false, false, "", ""},
      {"<html>Service unavailable</html>", false, false, "", ""},
      {"<vcheck>1 4.08.0012 http://a.b/</vcheck>", false, false, "", ""},
      {"<VCHECK>1 4.08.0012 http://a.b/", false, false, "", ""},
      {"<VCHECK>1 4.08.00", false, false, "", ""},
      {"<VCHECK>", false, false, "", ""},
      {"<VCHECK></VCHECK>", false, false, "", ""},
      {"<VCHECK>1 4.08.001</VCHECK>", false, false, "", ""},
      {"<VCHECK>1</VCHECK> 4.08.0012 http://a.b/", false, false, "", ""},
      {"<VCHECK>1 4.0x.0012 http://a.b/</VCHECK>", false, false, "", ""},
      {"<VCHECK>1 -.08.0012 http://a.b/</VCHECK>", false, false, "", ""},
      // Only the first 4096 bytes count: a closing tag beyond them is not seen.
      {std::string(4080, ' ') + "<VCHECK>1 4.08.0012 http://a.b/</VCHECK>", false, false, "", ""},
  };
  for (const ReplyCase& c : cases) {
    VersionReply r = ParseVersionReply(c.reply);
    EXPECT_EQ(r.tag, c.tag) << c.reply.substr(0, 80);
    EXPECT_EQ(r.newer, c.newer) << c.reply.substr(0, 80);
    if (c.tag) {
      EXPECT_EQ(VersionText(r.major, r.minor, r.build), c.version) << c.reply.substr(0, 80);
    }
    EXPECT_EQ(r.address, c.address) << c.reply.substr(0, 80);
  }
}

// Every prefix of a good reply is read without going past its end; only the whole one has the tag.
TEST(VersionReply, EveryCutReadsAsNoTag) {
  std::string reply = "<VCHECK>1 4.08.0012 http://a.b/c</VCHECK>";
  for (size_t n = 0; n < reply.size(); ++n) {
    std::string cut = reply.substr(0, n);  // its own buffer, so a read past it is caught by the sanitizers
    EXPECT_FALSE(ParseVersionReply(cut).tag) << n;
  }
  EXPECT_TRUE(ParseVersionReply(reply).newer);
}

TEST(VersionReply, Request) {
  EXPECT_EQ(VersionRequestPath(), "/vcheck/kalvora4.asp?4,07,0000.");
  EXPECT_EQ(VersionRequestAddress("http://127.0.0.1:8080/"), "http://127.0.0.1:8080/vcheck/kalvora4.asp?4,07,0000.");
  EXPECT_EQ(VersionRequestAddress(kDefaultVersionService), "http://www.kalvora.com/vcheck/kalvora4.asp?4,07,0000.");
  EXPECT_EQ(VersionText(4, 7, 0), "4.7.0000");
  EXPECT_EQ(VersionText(4, 8, 12), "4.8.0012");
}

}  // namespace
}  // namespace kv
