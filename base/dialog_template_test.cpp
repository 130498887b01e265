#include "base/dialog_template.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kv {
namespace {

// Builds template images the way the resource compiler lays them out.
struct Image {
  std::vector<uint8_t> b;
  void U16(uint16_t v) { b.push_back(uint8_t(v)), b.push_back(uint8_t(v >> 8)); }
  void U32(uint32_t v) { U16(uint16_t(v)), U16(uint16_t(v >> 16)); }
  void Text(const std::u16string& s) {
    for (char16_t c : s) U16(c);
    U16(0);
  }
  void Ordinal(uint16_t v) { U16(0xFFFF), U16(v); }
  void Align() {
    while (b.size() % 4) b.push_back(0);
  }
};

Image Classic() {
  Image i;
  i.U32(0x80C800C0 | 0x40);  // popup, caption, sysmenu, DS_SETFONT
  i.U32(0);
  i.U16(2);                  // items
  i.U16(10), i.U16(20), i.U16(240), i.U16(160);
  i.U16(0);                  // no menu
  i.U16(0);                  // the dialog class
  i.Text(u"Caf\u00e9 Setup");
  i.U16(8);
  i.Text(u"MS Shell Dlg");
  i.Align();
  i.U32(0x50010001), i.U32(0);
  i.U16(183), i.U16(139), i.U16(50), i.U16(14), i.U16(1);
  i.Ordinal(0x80);
  i.Text(u"OK");
  i.U16(0);
  i.Align();
  i.U32(0x50010080), i.U32(0);
  i.U16(7), i.U16(7), i.U16(100), i.U16(14), i.U16(1001);
  i.Text(u"Datebox");
  i.Ordinal(7);  // an ordinal text (an icon's number)
  i.U16(0);
  return i;
}

Image Extended() {
  Image i;
  i.U16(1), i.U16(0xFFFF);
  i.U32(0);                  // help id
  i.U32(0x00000001);         // WS_EX_DLGMODALFRAME
  i.U32(0x80C80048);         // DS_SETFONT | DS_SHELLFONT
  i.U16(1);
  i.U16(0), i.U16(0), i.U16(330), i.U16(200);
  i.Ordinal(5);              // a menu by number
  i.Text(u"MDIDialogClass");
  i.Text(u"Phonebook");
  i.U16(8), i.U16(700), i.b.push_back(1), i.b.push_back(0);
  i.Text(u"MS Shell Dlg");
  i.Align();
  i.U32(0), i.U32(0), i.U32(0x50000000);
  i.U16(5), i.U16(6), i.U16(7), i.U16(8);
  i.U32(70000);              // 32-bit ids in the extended form
  i.Ordinal(0x82);
  i.Text(u"&Name:");
  i.U16(0);
  return i;
}

TEST(DialogTemplate, ReadsBothFormsWithFontAndItems) {
  Image c = Classic();
  auto t = ParseDialogTemplate(c.b.data(), c.b.size());
  ASSERT_TRUE(t);
  EXPECT_FALSE(t->extended);
  EXPECT_EQ(t->cx, 240);
  EXPECT_EQ(t->cy, 160);
  EXPECT_EQ(t->title, "Caf\xe9 Setup");  // Windows-1252
  EXPECT_EQ(t->pointSize, 8);
  EXPECT_EQ(t->face, "MS Shell Dlg");
  ASSERT_EQ(t->items.size(), 2u);
  EXPECT_EQ(t->items[0].id, 1u);
  EXPECT_EQ(t->items[0].windowClass.ordinal, 0x80);
  EXPECT_EQ(t->items[0].text.text, "OK");
  EXPECT_EQ(t->items[1].windowClass.text, "Datebox");
  EXPECT_EQ(t->items[1].text.ordinal, 7);

  Image e = Extended();
  t = ParseDialogTemplate(e.b.data(), e.b.size());
  ASSERT_TRUE(t);
  EXPECT_TRUE(t->extended);
  EXPECT_EQ(t->exStyle, 1u);
  EXPECT_EQ(t->menu.ordinal, 5);
  EXPECT_EQ(t->windowClass.text, "MDIDialogClass");
  EXPECT_EQ(t->weight, 700);
  EXPECT_TRUE(t->italic);
  ASSERT_EQ(t->items.size(), 1u);
  EXPECT_EQ(t->items[0].id, 70000u);
  EXPECT_EQ(t->items[0].text.text, "&Name:");
}

TEST(DialogTemplate, ACutTemplateIsRefusedAtEveryLength) {
  for (const Image& image : {Classic(), Extended()}) {
    for (size_t n = 0; n + 1 < image.b.size(); ++n)
      EXPECT_FALSE(ParseDialogTemplate(image.b.data(), n)) << n;
  }
  EXPECT_FALSE(ParseDialogTemplate(nullptr, 0));
}

TEST(DialogTemplate, DialogUnitsScaleWithTheFont) {
  // "MS Shell Dlg" 8 pt at 96 dpi: base units 6 x 13; at 144 dpi about 9 x 20.
  EXPECT_EQ(DialogBaseX(312), 6);
  EXPECT_EQ(DialogUnitsToPixelsX(50, 6), 75);
  EXPECT_EQ(DialogUnitsToPixelsY(14, 13), 23);
  EXPECT_EQ(DialogUnitsToPixelsX(50, 9), 113);
  EXPECT_EQ(DialogUnitsToPixelsY(14, 20), 35);
}

}  // namespace
}  // namespace kv
