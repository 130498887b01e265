#include "shell/view_settings.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

TEST(ViewSettingsTest, ConfigurationFieldsBecomeViewOptions) {
  CalendarConfig c = DefaultCalendarConfig(DefaultConfigInputs{});
  c.calendarSystem = 2;
  c.calendarMode = 1;
  c.timeChanges = 2;
  c.moonPhases = 9;           // out of range in a damaged file: drawn phases
  c.weekStart = 12;           // likewise: Sunday
  c.highlightColour = 0x000000FF;  // COLORREF red
  c.themeColour = 0x00FF0000;      // COLORREF blue
  c.locationName = "";
  ViewOptions o = ViewOptionsFromConfig(c, 800);
  EXPECT_TRUE(o.jewishPrimary);
  EXPECT_TRUE(o.jewishDateLine);
  EXPECT_TRUE(o.timeChanges);
  EXPECT_TRUE(o.clockIcons);
  EXPECT_EQ(o.moonPhases, 1);
  EXPECT_EQ(o.weekStart, 0);
  EXPECT_EQ(o.colours.highlight, MakeColour(255, 0, 0));
  EXPECT_EQ(o.colours.theme, MakeColour(0, 0, 255));
  EXPECT_FALSE(o.hasReference);
  EXPECT_EQ(o.iconSize, 16);

  c.calendarSystem = 0;
  c.timeChanges = 1;
  c.locationName = "Boston, MA";
  c.location.latitude = 42.36;
  o = ViewOptionsFromConfig(c, 1280);
  EXPECT_FALSE(o.jewishPrimary);
  EXPECT_FALSE(o.clockIcons);
  EXPECT_TRUE(o.hasReference);
  EXPECT_DOUBLE_EQ(o.latitude, 42.36);
  EXPECT_EQ(o.iconSize, 32);
}

TEST(ViewSettingsTest, FontSlotsBecomeRolesAtTheScreensResolution) {
  CalendarConfig c = DefaultCalendarConfig(DefaultConfigInputs{});
  FontTable at96 = ScreenFontTable(c, 96);
  FontTable at144 = ScreenFontTable(c, 144);
  const FontSpec& title = at96[static_cast<size_t>(FontRole::Title)];
  EXPECT_EQ(title.weight, 700);
  EXPECT_LT(title.height, 0);  // an em height, as a point size gives
  EXPECT_EQ(-at96[static_cast<size_t>(FontRole::Cell)].height, FontPixelHeight(96, c.screenFonts[1].pointSize ? c.screenFonts[1].pointSize : 7));
  EXPECT_LT(at144[static_cast<size_t>(FontRole::Event)].height, at96[static_cast<size_t>(FontRole::Event)].height);
  // An empty slot falls back to the built-in face rather than an unnamed font.
  c.screenFonts[2] = FontRecord{};
  EXPECT_FALSE(ScreenFontTable(c, 96)[static_cast<size_t>(FontRole::Event)].face.empty());
}

}  // namespace
}  // namespace kv
