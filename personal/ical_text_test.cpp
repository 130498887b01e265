#include "personal/ical_text.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

std::vector<ContentComponent> Parse(std::string_view text) {
  std::vector<ContentComponent> out;
  ContentError error;
  EXPECT_TRUE(ParseContentLines(text, out, error)) << error.line << ": " << error.why;
  return out;
}

TEST(ContentLines, UnfoldsAndKeepsTheFirstPhysicalLineWhateverTheLineEnds) {
  // The same calendar with CR LF, LF, a byte-order mark, a tab continuation and a blank line.
  for (std::string eol : {"\r\n", "\n"}) {
    for (std::string bom : {"", "\xEF\xBB\xBF"}) {
      std::string text = bom + "BEGIN:VCALENDAR" + eol + "BEGIN:VEVENT" + eol + "SUMMARY:Lunch with" + eol +
                         "  the board" + eol + "\tof directors" + eol + eol + "dtstart;tzid=\"Europe/Berlin\":20250101T120000" +
                         eol + "END:VEVENT" + eol + "END:VCALENDAR" + eol;
      std::vector<ContentComponent> cal = Parse(text);
      ASSERT_EQ(cal.size(), 1u);
      ASSERT_EQ(cal[0].children.size(), 1u);
      const ContentComponent& ev = cal[0].children[0];
      EXPECT_EQ(ev.line, 2);
      ASSERT_NE(ev.Find("SUMMARY"), nullptr);
      EXPECT_EQ(ev.Find("SUMMARY")->value, "Lunch with the boardof directors");
      EXPECT_EQ(ev.Find("SUMMARY")->line, 3);
      ASSERT_NE(ev.Find("DTSTART"), nullptr);
      EXPECT_EQ(ev.Find("DTSTART")->line, 7);
      EXPECT_EQ(ev.Find("DTSTART")->Param("TZID"), "Europe/Berlin");
    }
  }
}

TEST(ContentLines, ParametersMayBeQuotedListedOrBare) {
  std::vector<ContentComponent> c = Parse(
      "BEGIN:VCARD\nTEL;TYPE=work,voice;PREF=1:+1 555 0100\nADR;LABEL=\"12 Main St; Suite 4: back\":;;12 Main St\n"
      "TEL;HOME:555\nEND:VCARD\n");
  const ContentComponent& card = c[0];
  EXPECT_EQ(card.properties[0].Param("TYPE"), "work,voice");
  EXPECT_EQ(card.properties[0].Param("PREF"), "1");
  EXPECT_EQ(card.properties[1].Param("LABEL"), "12 Main St; Suite 4: back");
  EXPECT_EQ(card.properties[1].value, ";;12 Main St");
  EXPECT_EQ(card.properties[2].Param("TYPE"), "HOME");
}

TEST(ContentLines, StructuralFaultsAreRefusedWithTheirLine) {
  struct Case {
    const char* text;
    int line;
    const char* why;
  } cases[] = {
      {"BEGIN:VCALENDAR\nno colon here\nEND:VCALENDAR\n", 2, "not a property line"},
      {"BEGIN:VCALENDAR\nBEGIN:VEVENT\nEND:VTODO\nEND:VCALENDAR\n", 3, "END:VTODO where END:VEVENT"},
      {"BEGIN:VCALENDAR\nBEGIN:VEVENT\nSUMMARY:x\n", 2, "never ended"},
      {"SUMMARY:x\nBEGIN:VCALENDAR\nEND:VCALENDAR\n", 1, "outside BEGIN"},
      {"END:VCALENDAR\n", 1, "without BEGIN"},
      {"", 1, "no BEGIN line"},
      {"\xEF\xBB\xBF\r\n\r\n", 1, "no BEGIN line"},
      {"BEGIN:VCALENDAR\nX;A=\"open:1\nEND:VCALENDAR\n", 2, "not a property line"},
      {"BEGIN:\nEND:\n", 1, "BEGIN without a component name"},
  };
  for (const Case& c : cases) {
    std::vector<ContentComponent> out;
    ContentError error;
    EXPECT_FALSE(ParseContentLines(c.text, out, error)) << c.text;
    EXPECT_EQ(error.line, c.line) << c.text;
    EXPECT_NE(error.why.find(c.why), std::string::npos) << c.text << " -> " << error.why;
  }
}

TEST(ContentLines, DeepNestingIsRefused) {
  std::string text;
  for (int i = 0; i < 40; ++i) text += "BEGIN:X\n";
  std::vector<ContentComponent> out;
  ContentError error;
  EXPECT_FALSE(ParseContentLines(text, out, error));
  EXPECT_EQ(error.line, 17);
}

TEST(ContentText, EscapesRoundTripAndUnknownEscapesStay) {
  struct Case {
    const char* text;
    const char* escaped;
  } cases[] = {
      {"plain", "plain"},
      {"a,b;c\\d", "a\\,b\\;c\\\\d"},
      {"line1\nline2", "line1\\nline2"},
      {"", ""},
      {"ends with \\", "ends with \\\\"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EscapeText(c.text), c.escaped);
    EXPECT_EQ(UnescapeText(c.escaped), c.text);
  }
  EXPECT_EQ(EscapeText("a\r\nb"), "a\\nb");
  EXPECT_EQ(UnescapeText("A\\NB\\x\\"), "A\nB\\x\\");
  EXPECT_EQ(SplitEscaped("Doe;John\\;Jr;;", ';'), (std::vector<std::string>{"Doe", "John\\;Jr", "", ""}));
}

TEST(ContentWriter, FoldsBefore75OctetsWithoutSplittingCharacters) {
  std::string text;
  for (int i = 0; i < 60; ++i) text += "\xC3\xA9\xE2\x82\xAC";  // é€, 2 + 3 octets
  ContentWriter w;
  w.Begin("VCALENDAR");
  w.Text("SUMMARY", text);
  w.End("VCALENDAR");
  std::string out = w.Result();
  size_t pos = 0;
  while (pos < out.size()) {
    size_t end = out.find("\r\n", pos);
    ASSERT_NE(end, std::string::npos);
    EXPECT_LE(end - pos, 75u);
    // A physical line never starts in the middle of a character (after the fold's blank).
    size_t first = out[pos] == ' ' ? pos + 1 : pos;
    if (first < end) {
      EXPECT_NE(static_cast<unsigned char>(out[first]) & 0xC0, 0x80);
    }
    pos = end + 2;
  }
  std::vector<ContentComponent> back = Parse(out);
  EXPECT_EQ(UnescapeText(back[0].Find("SUMMARY")->value), text);
}

}  // namespace
}  // namespace kv
