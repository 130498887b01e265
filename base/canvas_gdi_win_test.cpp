#include "base/canvas_gdi_win.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "base/canvas_record.h"
#include "base/canvas_svg.h"

namespace kv {
namespace {

// A 32-bit top-down bitmap in a memory context, white to begin with, whose pixels the test reads.
class Surface {
 public:
  Surface(int width, int height) : width_(width) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
    for (int i = 0; i < width * height; ++i) bits_[i] = 0xFFFFFF;
  }
  ~Surface() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  HDC dc() const { return dc_; }
  Colour At(int x, int y) const {
    GdiFlush();
    return bits_[y * width_ + x] & 0xFFFFFF;
  }

 private:
  int width_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
  uint32_t* bits_ = nullptr;
};

bool Near(Colour a, Colour b, int tolerance) {
  return std::abs(RedOf(a) - RedOf(b)) <= tolerance && std::abs(GreenOf(a) - GreenOf(b)) <= tolerance &&
         std::abs(BlueOf(a) - BlueOf(b)) <= tolerance;
}

TEST(GdiCanvas, DrawsWhereAsked) {
  Surface s(120, 80);
  {
    GdiCanvas c(s.dc());
    c.FillRect({10, 10, 20, 20}, 0xFF0000);
    c.PushClip({0, 0, 30, 80});
    c.FillRect({0, 40, 60, 50}, 0x0000FF);
    c.PopClip();
    c.FrameRect({40, 10, 60, 30}, Pen{0x00FF00});
    c.DrawLine({0, 60}, {10, 60}, Pen{0xFF0000});
    c.DrawEllipse({40, 40, 60, 60}, kNoPen, SolidBrush(0x123456));
    c.DrawImage(Image{1, 1, {0xFFFF8000}}, {90, 0, 100, 10});
    c.DrawImage(Image{2, 2, std::vector<uint32_t>(4, 0x80000000)}, {100, 0, 110, 10});
  }
  EXPECT_EQ(s.At(15, 15), 0xFF0000u);
  EXPECT_EQ(s.At(20, 15), 0xFFFFFFu);  // right edge outside
  EXPECT_EQ(s.At(25, 45), 0x0000FFu);
  EXPECT_EQ(s.At(35, 45), 0xFFFFFFu);  // clipped away
  EXPECT_EQ(s.At(40, 20), 0x00FF00u);
  EXPECT_EQ(s.At(59, 20), 0x00FF00u);  // the frame lies inside the rectangle
  EXPECT_EQ(s.At(50, 20), 0xFFFFFFu);
  EXPECT_EQ(s.At(9, 60), 0xFF0000u);
  EXPECT_EQ(s.At(10, 60), 0xFFFFFFu);  // the end point is left out
  EXPECT_EQ(s.At(50, 50), 0x123456u);
  EXPECT_EQ(s.At(40, 40), 0xFFFFFFu);  // the ellipse's corner
  EXPECT_EQ(s.At(95, 5), 0xFF8000u);
  EXPECT_TRUE(Near(s.At(105, 5), 0x7F7F7F, 3)) << std::hex << s.At(105, 5);
}

// GDI's hatches are the patterns the SVG writer draws.
TEST(GdiCanvas, HatchesMatchTheSvgPatterns) {
  Surface s(8, 48);
  Hatch hatches[] = {Hatch::Horizontal, Hatch::Vertical, Hatch::ForwardDiagonal, Hatch::BackwardDiagonal,
                     Hatch::Cross, Hatch::DiagonalCross};
  {
    GdiCanvas c(s.dc());
    for (int k = 0; k < 6; ++k) c.FillHatch({0, 8 * k, 8, 8 * k + 8}, hatches[k], 0x000000, 0xFFFFFF);
  }
  for (int k = 0; k < 6; ++k)
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) {
        bool set = HatchBits(hatches[k], y) & (0x80 >> x);
        EXPECT_EQ(s.At(x, 8 * k + y), set ? 0u : 0xFFFFFFu) << "hatch " << k << " at " << x << "," << y;
      }
}

TEST(GdiCanvas, TextIsDrawnInItsBox) {
  Surface s(100, 40);
  Size size;
  {
    GdiCanvas c(s.dc());
    c.DrawText(FontRole::Cell, {10, 10}, "WWW", 0x000000);
    size = c.MeasureText(FontRole::Cell, "WWW");
  }
  // Ink may reach a little past the last advance (the overhang of a "W"), never above or left.
  int dark = 0, outside = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 100; ++x)
      if (s.At(x, y) != 0xFFFFFFu) {
        ++dark;
        EXPECT_TRUE(x >= 10 && x < 10 + size.cx + 4 && y >= 10 && y < 10 + size.cy) << x << "," << y;
        outside += x >= 10 + size.cx;
      }
  EXPECT_LT(outside * 10, dark);
  EXPECT_GT(dark, 20);
}

// The compiled-in table measures as GDI does: exactly where the face GDI chose is a Liberation
// face (Wine with fonts-liberation), roughly elsewhere (Windows' own fonts).
TEST(GdiCanvas, MeasuresLikeTheTable) {
  struct Case {
    const char* face;
    int height, weight;
  } cases[] = {
      {"Arial", -13, 400}, {"Arial", -11, 700}, {"Verdana", -21, 700}, {"Times New Roman", 16, 400},
      {"MS Sans Serif", -13, 400}, {"Microsoft Sans Serif", -13, 400}, {"Tahoma", -9, 400},
      {"Liberation Serif", -15, 400}, {"Liberation Mono", -13, 700}, {"Arial", -133, 400},  // a printer size
  };
  const char* texts[] = {"January", "Rosh Hashana begins at sundown", "Caf\xe9 \x80 10:45p", "WWWWWWWWWW", ""};
  Surface s(4, 4);
  GdiCanvas c(s.dc());
  for (const Case& k : cases) {
    FontSpec fontSpec{k.face, k.height, k.weight, false};
    c.SetFont(FontRole::Event, fontSpec);
    NativeFont table(fontSpec);
    char face[LF_FACESIZE] = {};
    {
      HFONT probe = CreateFontA(k.height, 0, 0, 0, k.weight, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, k.face);
      HGDIOBJ old = SelectObject(s.dc(), probe);
      GetTextFaceA(s.dc(), LF_FACESIZE, face);
      SelectObject(s.dc(), old);
      DeleteObject(probe);
    }
    // Faces drawn with a Liberation face: by name, or through the prefix's replacements.
    bool liberation = std::string(face).starts_with("Liberation") || std::string(face) == "Times New Roman" ||
                      std::string(face) == "Courier New" || std::string(face) == "Arial";
    SCOPED_TRACE(std::string(k.face) + " " + std::to_string(k.height) + " drawn with " + face);
    TextMetrics gdi = c.Metrics(FontRole::Event), ours = table.Metrics();
    for (const char* text : texts) {
      int got = c.TextWidth(FontRole::Event, text), want = table.TextWidth(text);
      if (liberation) {
        EXPECT_EQ(got, want) << text;
      } else {
        EXPECT_NEAR(got, want, want / 8 + 2) << text;
      }
    }
    if (liberation) {
      EXPECT_EQ(gdi.height, ours.height);
      EXPECT_EQ(gdi.ascent, ours.ascent);
      EXPECT_EQ(gdi.averageWidth, ours.averageWidth);
    }
    // The same lines either way for a calendar cell's worth of text.
    RecordingCanvas recorder;
    recorder.SetFont(FontRole::Event, fontSpec);
    constexpr std::string_view kCell = "Thanksgiving Day (United States) and Rosh Chodesh Kislev";
    if (liberation) {
      for (int width : {40, 80, 120})
        EXPECT_EQ(WrapText(c, FontRole::Event, kCell, width), WrapText(recorder, FontRole::Event, kCell, width));
    }
  }
}

// Metafiles record the drawing for later: an enhanced metafile measures through its reference
// context; a Windows metafile cannot measure at all, and the table answers instead.
TEST(GdiCanvas, DrawsIntoMetafiles) {
  HDC emf = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(emf, nullptr);
  {
    GdiCanvas c(emf);
    EXPECT_EQ(c.TextWidth(FontRole::Cell, "January"), NativeFont(FontSpec{}).TextWidth("January"));
    c.FillRect({0, 0, 10, 10}, 0x00FF00);
    c.DrawPieAngles({10, 0, 30, 20}, 0, 90, kNoPen, SolidBrush(0x0000FF));
  }
  HENHMETAFILE picture = CloseEnhMetaFile(emf);
  ASSERT_NE(picture, nullptr);
  ENHMETAHEADER header{};
  GetEnhMetaFileHeader(picture, sizeof header, &header);
  Surface s(40, 40);
  RECT frame{header.rclBounds.left, header.rclBounds.top, header.rclBounds.right + 1, header.rclBounds.bottom + 1};
  PlayEnhMetaFile(s.dc(), picture, &frame);
  DeleteEnhMetaFile(picture);
  EXPECT_EQ(s.At(5, 5), 0x00FF00u);
  EXPECT_EQ(s.At(25, 5), 0x0000FFu);   // the upper right quarter of the pie
  EXPECT_EQ(s.At(15, 15), 0xFFFFFFu);  // and not the lower left

  HDC wmf = CreateMetaFileA(nullptr);
  ASSERT_NE(wmf, nullptr);
  {
    GdiCanvas c(wmf);
    EXPECT_EQ(c.TextWidth(FontRole::Cell, "January"), NativeFont(FontSpec{}).TextWidth("January"));
    EXPECT_EQ(c.LineHeight(FontRole::Cell), 15);
    c.FillRect({2, 2, 8, 8}, 0xFF0000);
    c.PushClip({0, 0, 4, 40});
    c.FillRect({0, 20, 40, 30}, 0x0000FF);
    c.PopClip();
    c.DrawImage(Image{1, 1, {0x80000000}}, {20, 20, 30, 30});  // no blending here: over white
    c.DrawImage(Image{2, 1, {0xFF10E0A0, 0xFF0000FF}}, {30, 0, 40, 10});
  }
  HMETAFILE plain = CloseMetaFile(wmf);
  ASSERT_NE(plain, nullptr);
  Surface t(40, 40);
  PlayMetaFile(t.dc(), plain);
  DeleteMetaFile(plain);
  EXPECT_EQ(t.At(5, 5), 0xFF0000u);
  EXPECT_EQ(t.At(2, 25), 0x0000FFu);
  EXPECT_EQ(t.At(10, 25), 0xFFFFFFu);
  EXPECT_TRUE(Near(t.At(25, 25), 0x7F7F7F, 3)) << std::hex << t.At(25, 25);
  EXPECT_EQ(t.At(31, 5), 0x10E0A0u);
  EXPECT_EQ(t.At(38, 5), 0x0000FFu);
}

}  // namespace
}  // namespace kv
