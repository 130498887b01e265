#include "base/untrusted_text.h"

#include <gtest/gtest.h>

#include <string>

namespace kv {
namespace {

constexpr size_t npos = std::string_view::npos;
using namespace std::string_literals;

// --- dial strings --------------------------------------------------------------------------

TEST(UntrustedText, DialStrings) {
  struct Case {
    std::string number;
    bool safe;
    size_t offending;  // checked when refused
  };
  const Case cases[] = {
      {"555-1234", true, 0},
      {"+1 (617) 555.1234", true, 0},
      {"9,,1-800-555-0199;", true, 0},
      {"*70 W 555 1234 P 12#", true, 0},
      {"t555wp!@", true, 0},
      {std::string(kMaxDialStringLength, '5'), true, 0},
      // Hostile numbers: another AT command after a carriage return, line feed, NUL or letters.
      {"5551234\rATZ", false, 7},
      {"5551234\r", false, 7},
      {"555\n", false, 3},
      {"555\0" "1"s, false, 3},
      {"555;ATH0", false, 4},
      {"555&F", false, 3},
      {"555+++ATH", false, 6},
      {"555\x1b", false, 3},
      {"555\xff", false, 3},
      {"555\t1", false, 3},
      {"", false, npos},
      {std::string(kMaxDialStringLength + 1, '5'), false, kMaxDialStringLength},
      // A bad character within the limit is named before the length.
      {"5A" + std::string(100, '5'), false, 1},
  };
  for (const Case& c : cases) {
    size_t at = 12345;
    EXPECT_EQ(IsSafeDialString(c.number, &at), c.safe) << c.number;
    if (!c.safe) {
      EXPECT_EQ(at, c.offending) << c.number;
    }
    EXPECT_EQ(DialStringRefusal(c.number).empty(), c.safe) << c.number;
  }
}

TEST(UntrustedText, DialStringRefusalNamesTheCharacterReadably) {
  EXPECT_EQ(DialStringRefusal("555\rATZ"),
            "The number \"555?ATZ\" cannot be dialled: the character (code 13) at position 4 is not a dialling "
            "character.\n\nA number may hold only digits, * # , ; ! @ W P T, blanks, dashes, parentheses, dots and +.");
  EXPECT_NE(DialStringRefusal("12x").find("the character \"x\" at position 3"), std::string::npos);
  EXPECT_EQ(DialStringRefusal(""), "There is no number to dial.");
  EXPECT_NE(DialStringRefusal(std::string(61, '1')).find("at most 60 characters"), std::string::npos);
}

// --- download addresses --------------------------------------------------------------------

TEST(UntrustedText, DownloadAddresses) {
  struct Case {
    std::string address;
    bool safe;
  };
  const Case cases[] = {
      {"http://www.example.com/", true},
      {"https://www.example.com/kalvora/download?v=4.7&lang=en#top", true},
      {"HTTPS://Example.COM", true},
      {"http://example.com:8080/a%20b", true},
      {"http://[::1]:80/", true},
      {"http://192.168.1.1/update.html", true},
      // Other schemes, or none.
      {"file:///C:/Windows/System32/calc.exe", false},
      {"FILE://server/share/x.exe", false},
      {"javascript:alert(1)", false},
      {"JavaScript:http://x", false},
      {"\\\\server\\share\\setup.exe", false},
      {"//server/share/setup.exe", false},
      {"C:\\Windows\\notepad.exe", false},
      {"calc.exe", false},
      {"ftp://example.com/", false},
      {"mailto:a@example.com", false},
      {"http:example.com", false},
      {" http://example.com", false},
      {"", false},
      // No host, or a host that is not one.
      {"http://", false},
      {"http:///etc/passwd", false},
      {"http://\\\\server\\share", false},
      {"http://user@evil.example/", false},
      {"http://example.com:/", false},
      {"http://example.com:99999999/", false},
      {"http://example.com:80x/", false},
      {"http://[::1/", false},
      {"http://ex_ample.com/", false},
      // Characters the shell or a browser's command line could read otherwise.
      {"http://example.com/\" --user-data-dir=C:\\x", false},
      {"http://example.com/'x'", false},
      {"http://example.com/a b", false},
      {"http://example.com/a\tb", false},
      {"http://example.com/\r\nfile:///c:/", false},
      {"http://example.com/a|calc", false},
      {"http://example.com/a^b", false},
      {"http://example.com/<x>", false},
      {"http://example.com/a\\b", false},
      {"http://example.com/`x`", false},
      {"http://example.com/%", false},
      {"http://example.com/%2", false},
      {"http://example.com/%zz", false},
      {"http://example.com/\x7f", false},
      {"http://example.com/caf\xe9", false},
      {"http://example.com/" + std::string(1, '\0') + "x", false},
      // Length.
      {"http://example.com/" + std::string(kMaxDownloadAddressLength - 19, 'a'), true},
      {"http://example.com/" + std::string(kMaxDownloadAddressLength - 18, 'a'), false},
      {"http://example.com/" + std::string(100000, 'a'), false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsSafeDownloadAddress(c.address), c.safe) << c.address;
    EXPECT_EQ(DownloadAddressRefusal(c.address).empty(), c.safe) << c.address;
  }
}

TEST(UntrustedText, DownloadAddressRefusals) {
  EXPECT_EQ(DownloadAddressRefusal("file:///c:/x.exe"),
            "The address \"file:///c:/x.exe\" is not opened: only http:// and https:// addresses of a web server are.");
  EXPECT_EQ(DownloadAddressRefusal("http://x.com/a\"b"),
            "The address \"http://x.com/a\"b\" is not opened: the character \"\"\" at position 15 may not appear in a "
            "web address.");
  EXPECT_EQ(DownloadAddressRefusal("http://" + std::string(5000, 'a')),
            "The address received is not opened: it is longer than 2048 characters.");
}

// --- paths ---------------------------------------------------------------------------------

TEST(UntrustedText, ClassifiesPaths) {
  struct Case {
    std::string path;
    PathKind kind;
  };
  const Case cases[] = {
      {"C:\\Users\\ann\\Documents\\My Calendars\\USA_HDAY.kov", PathKind::Local},
      {"Data\\SAMPLE.DAT", PathKind::Local},
      {"c:/calendars/work.kvc", PathKind::Local},
      {"\\\\?\\C:\\calendars\\work.kvc", PathKind::Local},
      {"\\calendars\\x.kov", PathKind::Local},
      {"Console.kov", PathKind::Local},     // longer than a device name
      {"COM10.kov", PathKind::Local},
      {"CONx\\a.kov", PathKind::Local},
      {"LPT0.kov", PathKind::Local},
      {"\\\\127.0.0.1\\share\\x.kov", PathKind::Network},
      {"\\\\server\\share\\holidays\\x.kov", PathKind::Network},
      {"//server/share/x.kov", PathKind::Network},
      {"\\/server\\share\\x.kov", PathKind::Network},
      {"\\\\?\\UNC\\server\\share\\x.kov", PathKind::Network},
      {"\\\\?\\unc\\server\\share\\x.kov", PathKind::Network},
      {"\\\\.\\UNC\\server\\share\\x.kov", PathKind::Network},
      {"\\\\server\\share", PathKind::Network},
      // Unusable: devices, device namespace, forbidden characters, length, no share.
      {"", PathKind::Unusable},
      {"NUL", PathKind::Unusable},
      {"nul.kov", PathKind::Unusable},
      {"C:\\Data\\CON", PathKind::Unusable},
      {"C:\\Data\\con.txt", PathKind::Unusable},
      {"C:\\AUX\\x.kov", PathKind::Unusable},
      {"C:PRN", PathKind::Unusable},
      {"COM1", PathKind::Unusable},
      {"Data\\com9.kov", PathKind::Unusable},
      {"lpt1.kov", PathKind::Unusable},
      {"LPT1 .kov", PathKind::Unusable},
      {"COM\xb9.kov", PathKind::Unusable},
      {"\\\\server\\share\\NUL", PathKind::Unusable},
      {"\\\\?\\UNC\\server\\share\\COM1", PathKind::Unusable},
      {"\\\\.\\COM1", PathKind::Unusable},
      {"\\\\.\\pipe\\x", PathKind::Unusable},
      {"\\\\?\\GLOBALROOT\\Device\\x", PathKind::Unusable},
      {"\\\\?\\Volume{12345678-1234-1234-1234-123456789012}\\x.kov", PathKind::Unusable},
      {"\\\\", PathKind::Unusable},
      {"\\\\server", PathKind::Unusable},
      {"\\\\server\\", PathKind::Unusable},
      {"\\\\\\share\\x", PathKind::Unusable},
      {"C:\\a<b.kov", PathKind::Unusable},
      {"C:\\a>b.kov", PathKind::Unusable},
      {"C:\\a\"b.kov", PathKind::Unusable},
      {"C:\\a|b.kov", PathKind::Unusable},
      {"C:\\a?.kov", PathKind::Unusable},
      {"C:\\*.kov", PathKind::Unusable},
      {"C:\\a\rb.kov", PathKind::Unusable},
      {"C:\\a\x1f" "b.kov", PathKind::Unusable},
      {"C:\\a" + std::string(1, '\0') + "b.kov", PathKind::Unusable},
      {"C:\\x.kov:stream", PathKind::Unusable},
      {"\\\\server\\share\\a*b", PathKind::Unusable},
      {"C:\\" + std::string(kMaxPathLength - 3, 'a'), PathKind::Local},
      {"C:\\" + std::string(kMaxPathLength - 2, 'a'), PathKind::Unusable},
      {"\\\\server\\" + std::string(400, 'a'), PathKind::Unusable},
  };
  for (const Case& c : cases) {
    std::string reason;
    EXPECT_EQ(ClassifyPath(c.path, &reason), c.kind) << c.path;
    EXPECT_EQ(reason.empty(), c.kind != PathKind::Unusable) << c.path;
  }
}

TEST(UntrustedText, PathRefusalsSayWhy) {
  std::string reason;
  ClassifyPath("C:\\Data\\COM1.kov", &reason);
  EXPECT_EQ(reason, "The path \"C:\\Data\\COM1.kov\" cannot be used: it names a device (such as CON, NUL, COM1 or "
                    "LPT1), not a file.");
  ClassifyPath("C:\\a|b", &reason);
  EXPECT_EQ(reason, "The path \"C:\\a|b\" cannot be used: it holds the character \"|\", which a file name may not "
                    "contain.");
  ClassifyPath(std::string(300, 'a'), &reason);
  EXPECT_NE(reason.find("longer than 259 characters"), std::string::npos);
}

}  // namespace
}  // namespace kv
