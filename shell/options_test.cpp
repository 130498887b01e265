#include "shell/options.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "resources/options_dialog.h"
#include "resources/strings.h"
#include "shell/view_settings.h"

namespace kv {
namespace {

CalendarConfig Defaults() { return DefaultCalendarConfig({}); }

TEST(CalendarOptions, EveryControlHasOneFieldAndEveryListItsTexts) {
  std::set<int> controls;
  std::vector<uint8_t CalendarConfig::*> fields;  // member pointers have no order
  for (const CalendarOptionField& f : CalendarOptionFields()) {
    EXPECT_TRUE(controls.insert(f.control).second) << f.control;
    EXPECT_EQ(std::count(fields.begin(), fields.end(), f.field), 0) << f.control;
    fields.push_back(f.field);
    EXPECT_EQ(CalendarOptionFor(f.control), &f);
    EXPECT_NE(f.refresh & kRefreshViews, 0u) << "a calendar option must reach the views: " << f.control;
    if (f.kind == OptionControl::List) {
      ASSERT_EQ(f.values.size(), f.lineTexts.size()) << f.control;
      for (int id : f.lineTexts) EXPECT_FALSE(StringText(id).empty()) << id;
    } else {
      EXPECT_TRUE(f.values.empty()) << f.control;
    }
  }
  EXPECT_EQ(CalendarOptionFor(IDC_OPT_JEWISH_SETUP), nullptr);
  // Every display option the views read from the record has a home here.
  for (auto field : {&CalendarConfig::showAdjacentMonths, &CalendarConfig::weekStart, &CalendarConfig::calendarSystem,
                     &CalendarConfig::moonPhases, &CalendarConfig::saturdayRed, &CalendarConfig::sundayRed,
                     &CalendarConfig::timeChanges, &CalendarConfig::notesIndicator, &CalendarConfig::sunMoonHidden,
                     &CalendarConfig::calendarMode, &CalendarConfig::julianDay, &CalendarConfig::weekNumbers,
                     &CalendarConfig::candleLighting, &CalendarConfig::candleMinutes, &CalendarConfig::havdalah,
                     &CalendarConfig::havdalahMinutes, &CalendarConfig::overlayTabsHidden})
    EXPECT_EQ(std::count(fields.begin(), fields.end(), field), 1);
}

// Each control, set the way a user would, reaches the views' options.
TEST(CalendarOptions, ControlsReachTheViews) {
  struct Case {
    int control;
    int position;  // list position, or 1/0 for a box checked or not
    bool ViewOptions::*flag;
    bool expected;
  };
  const Case cases[] = {
      {IDC_OPT_SATURDAY_RED, 1, &ViewOptions::saturdayRed, true},
      {IDC_OPT_SUNDAY_RED, 0, &ViewOptions::sundayRed, false},
      {IDC_OPT_ADJACENT, 0, &ViewOptions::smallCalendars, false},
      {IDC_OPT_SYSTEM, 1, &ViewOptions::jewishPrimary, true},
      {IDC_OPT_MODE, 1, &ViewOptions::jewishDateLine, true},
      {IDC_OPT_OVERLAY_TABS, 0, &ViewOptions::overlayTabsHidden, true},
      {IDC_OPT_TIME_CHANGES, 0, &ViewOptions::timeChanges, false},
      {IDC_OPT_TIME_CHANGES, 1, &ViewOptions::clockIcons, false},
      {IDC_OPT_TIME_CHANGES, 2, &ViewOptions::clockIcons, true},
      {IDC_OPT_NOTES, 0, &ViewOptions::notesIndicator, false},
      {IDC_OPT_JULIAN, 1, &ViewOptions::julianDay, true},
      {IDC_OPT_WEEK_NUMBERS, 1, &ViewOptions::weekNumbers, true},
      {IDC_OPT_SUN_MOON, 1, &ViewOptions::sunMoonHidden, false},
      {IDC_OPT_SUN_MOON, 0, &ViewOptions::sunMoonHidden, true},
      {IDC_OPT_CANDLES, 1, &ViewOptions::candleLighting, true},
      {IDC_OPT_HAVDALAH, 1, &ViewOptions::havdalah, true},
  };
  for (const Case& c : cases) {
    CalendarConfig config = Defaults();
    const CalendarOptionField& f = *CalendarOptionFor(c.control);
    uint8_t& value = config.*f.field;
    switch (f.kind) {
      case OptionControl::List: value = ListValue(f, c.position, value); break;
      case OptionControl::Check: value = c.position ? 1 : 0; break;
      case OptionControl::InvertedCheck: value = c.position ? 0 : 1; break;
      case OptionControl::Minutes: break;
    }
    EXPECT_EQ(ViewOptionsFromConfig(config).*c.flag, c.expected) << c.control << " position " << c.position;
  }
  CalendarConfig config = Defaults();
  const CalendarOptionField& week = *CalendarOptionFor(IDC_OPT_WEEK_START);
  config.weekStart = ListValue(week, 1, config.weekStart);
  EXPECT_EQ(ViewOptionsFromConfig(config).weekStart, 1);  // Monday
  const CalendarOptionField& moon = *CalendarOptionFor(IDC_OPT_MOON);
  config.moonPhases = ListValue(moon, 2, config.moonPhases);
  EXPECT_EQ(ViewOptionsFromConfig(config).moonPhases, 2);
}

// A stored value without a list position of its own shows as what the views take it for, and
// stays as it is while the list is left alone.
TEST(CalendarOptions, OddStoredValuesShowAsReadAndSurviveAnUntouchedList) {
  struct Case {
    int control;
    uint8_t stored;
    int shown;
  };
  const Case cases[] = {
      {IDC_OPT_SYSTEM, 0, 0},  {IDC_OPT_SYSTEM, 2, 1},       {IDC_OPT_SYSTEM, 1, 0},      {IDC_OPT_SYSTEM, 7, 0},
      {IDC_OPT_MOON, 2, 2},    {IDC_OPT_MOON, 9, 1},         {IDC_OPT_TIME_CHANGES, 2, 2}, {IDC_OPT_TIME_CHANGES, 5, 1},
      {IDC_OPT_WEEK_START, 6, 6}, {IDC_OPT_WEEK_START, 7, 0}, {IDC_OPT_MODE, 1, 1},        {IDC_OPT_MODE, 3, 0},
  };
  for (const Case& c : cases) {
    const CalendarOptionField& f = *CalendarOptionFor(c.control);
    EXPECT_EQ(ListPosition(f, c.stored), c.shown) << c.control << " " << int(c.stored);
    EXPECT_EQ(ListValue(f, c.shown, c.stored), c.stored) << c.control << " " << int(c.stored);
  }
  const CalendarOptionField& system = *CalendarOptionFor(IDC_OPT_SYSTEM);
  EXPECT_EQ(ListValue(system, 1, 1), 2);   // choosing "Jewish" stores 2
  EXPECT_EQ(ListValue(system, 0, 2), 0);
  EXPECT_EQ(ListValue(system, 5, 2), 2);   // no such position: unchanged
  EXPECT_EQ(ListValue(system, -1, 2), 2);
}

TEST(CalendarOptions, Minutes) {
  const std::map<std::string, std::optional<int>> cases = {
      {"0", 0},          {"18", 18},       {" 42 ", 42},    {"120", 120},   {"121", std::nullopt},
      {"", std::nullopt}, {"  ", std::nullopt}, {"-5", std::nullopt}, {"1a", std::nullopt}, {"0018", std::nullopt},
      {"255", std::nullopt}, {"999", std::nullopt}, {"4 2", std::nullopt}, {"+5", std::nullopt}, {"007", 7},
  };
  for (const auto& [text, expected] : cases) {
    std::optional<uint8_t> got = ParseOptionMinutes(text);
    EXPECT_EQ(got.has_value(), expected.has_value()) << '"' << text << '"';
    if (got && expected) {
      EXPECT_EQ(*got, *expected) << text;
    }
  }
}

TEST(CalendarOptions, CheckReportsTheFirstBadFieldInTabOrder) {
  std::map<int, std::string> texts = {{IDC_OPT_CANDLE_MINUTES, "18"}, {IDC_OPT_HAVDALAH_MINUTES, "42"}};
  std::map<int, bool> on = {{IDC_OPT_CANDLES, true}, {IDC_OPT_HAVDALAH, true}};
  auto textOf = [&](int id) { return texts[id]; };
  auto checkedOf = [&](int id) { return on[id]; };
  EXPECT_FALSE(CheckCalendarOptions(textOf, checkedOf));
  texts[IDC_OPT_HAVDALAH_MINUTES] = "200";
  auto problem = CheckCalendarOptions(textOf, checkedOf);
  ASSERT_TRUE(problem);
  EXPECT_EQ(problem->control, IDC_OPT_HAVDALAH_MINUTES);
  EXPECT_EQ(problem->message, kMinutesMessage);
  texts[IDC_OPT_CANDLE_MINUTES] = "x";
  problem = CheckCalendarOptions(textOf, checkedOf);
  ASSERT_TRUE(problem);
  EXPECT_EQ(problem->control, IDC_OPT_CANDLE_MINUTES);
  EXPECT_NE(StringText(kMinutesMessage).find("1 to 120 minutes"), std::string_view::npos);
}

// Zero minutes are a time switched off: refused only while its box is ticked, as the Jewish
// Setup dialog refuses them.
TEST(CalendarOptions, ZeroMinutesOnlyWhileSwitchedOff) {
  std::map<int, std::string> texts = {{IDC_OPT_CANDLE_MINUTES, "18"}, {IDC_OPT_HAVDALAH_MINUTES, "0"}};
  std::map<int, bool> on = {{IDC_OPT_CANDLES, true}, {IDC_OPT_HAVDALAH, false}};
  auto textOf = [&](int id) { return texts[id]; };
  auto checkedOf = [&](int id) { return on[id]; };
  EXPECT_FALSE(CheckCalendarOptions(textOf, checkedOf));
  on[IDC_OPT_HAVDALAH] = true;
  auto problem = CheckCalendarOptions(textOf, checkedOf);
  ASSERT_TRUE(problem);
  EXPECT_EQ(problem->control, IDC_OPT_HAVDALAH_MINUTES);
}

// Cancel puts back exactly the fields a dialog owns and nothing else: the image of the record
// is the one before the dialog, while a change made elsewhere in the meantime stays.
TEST(CalendarOptions, CopiesRestoreExactlyTheirOwnFields) {
  CalendarConfig before = Defaults();
  before.calendarSystem = 1;  // an odd value is restored as it was
  CalendarConfig edited = before;
  edited.weekStart = 3, edited.calendarSystem = 2, edited.moonPhases = 2, edited.candleMinutes = 40,
  edited.havdalahMinutes = 72, edited.overlayTabsHidden = 1, edited.sunMoonHidden = 0;
  edited.screenFonts[1].face = "Tahoma", edited.printerFonts[7].pointSize = 30;
  edited.themeColour = 0x123456, edited.customColours[15] = 0xABCDEF, edited.gridColour = 0x0000FF;
  edited.schedulerHour = 11;  // another dialog's field

  CalendarConfig restored = edited;
  CopyCalendarOptions(before, restored);
  CopyFonts(before, restored);
  CopyColours(before, restored);
  CalendarConfig expected = before;
  expected.schedulerHour = 11;
  EXPECT_EQ(SerializeCalendarConfig(restored), SerializeCalendarConfig(expected));

  // Each copy alone leaves the others' fields.
  CalendarConfig onlyFonts = edited;
  CopyFonts(before, onlyFonts);
  EXPECT_EQ(onlyFonts.screenFonts[1].face, before.screenFonts[1].face);
  EXPECT_EQ(onlyFonts.themeColour, 0x123456u);
  EXPECT_EQ(onlyFonts.weekStart, 3);
  CalendarConfig onlyColours = edited;
  CopyColours(before, onlyColours);
  EXPECT_EQ(onlyColours.customColours, before.customColours);
  EXPECT_EQ(onlyColours.candleMinutes, 40);
}

TEST(FontOptions, RolesCoverEveryReadSlotOnce) {
  std::set<std::pair<bool, int>> seen;
  for (const FontRoleEntry& r : FontRoles()) {
    EXPECT_TRUE(seen.insert({r.printer, r.slot}).second);
    EXPECT_GE(r.slot, 0);
    EXPECT_LT(r.slot, 8);
    EXPECT_FALSE(StringText(r.name).empty());
    EXPECT_EQ(FontRefresh(r) != 0, !r.printer);
  }
  // The views' slots (title, cell, event, bold, small and text windows) and every printer slot.
  for (int slot : {0, 1, 2, 3, 5}) EXPECT_TRUE(seen.count({false, slot})) << slot;
  for (int slot = 0; slot < 8; ++slot) EXPECT_TRUE(seen.count({true, slot})) << slot;

  CalendarConfig c = Defaults();
  FontSlot(c, FontRoles()[0]).face = "Tahoma";
  EXPECT_EQ(c.screenFonts[0].face, "Tahoma");
  FontSlot(c, FontRoles().back()).pointSize = 11;
  EXPECT_EQ(c.printerFonts[7].pointSize, 11);
}

TEST(FontOptions, RecordFromTheFontDialog) {
  FontRecord old;
  old.kept[100] = 0x5A;
  struct Case {
    int tenths, weight;
    uint16_t points, storedWeight;
  };
  const Case cases[] = {{90, 700, 9, 700}, {105, 400, 11, 400}, {104, 400, 10, 400},
                        {0, 0, 1, 400},    {9000, 400, 400, 400}, {120, 1200, 12, 1000}};
  for (const Case& c : cases) {
    FontRecord r = FontRecordFor(old, "Arial", c.tenths, c.weight, false, 0, 0x20);
    EXPECT_EQ(r.pointSize, c.points) << c.tenths;
    EXPECT_EQ(r.weight, c.storedWeight) << c.weight;
    EXPECT_EQ(r.kept[100], 0x5A);
  }
  std::string longFace(40, 'F');
  FontRecord r = FontRecordFor(old, longFace, 100, 400, true, 177, 0x12);
  EXPECT_EQ(r.face.size(), 31u);
  EXPECT_EQ(r.italic, 1);
  EXPECT_EQ(r.charSet, 177);
  EXPECT_EQ(r.pitchAndFamily, 0x12);
  // The record survives the file's byte image.
  CalendarConfig c = Defaults();
  c.printerFonts[3] = r;
  CalendarConfig back = ParseCalendarConfig(SerializeCalendarConfig(c));
  EXPECT_EQ(back.printerFonts[3].face, r.face);
  EXPECT_EQ(back.printerFonts[3].pointSize, 10);
  EXPECT_EQ(back.printerFonts[3].italic, 1);
}

TEST(FontOptions, DefaultsAreThoseOfANewConfiguration) {
  const FontRoleEntry& title = FontRoles()[0];
  ASSERT_FALSE(title.printer);
  EXPECT_EQ(DefaultFontRecord(title).face, "Verdana");
  EXPECT_EQ(DefaultFontRecord(title).pointSize, 16);
  // A printer slot goes back to empty: its built-in font applies.
  const FontRoleEntry& header = FontRoles().back();
  ASSERT_TRUE(header.printer);
  EXPECT_EQ(DefaultFontRecord(header).pointSize, 0);
  EXPECT_EQ(EffectiveFont(DefaultFontRecord(header), header.slot, true).face, "Arial");
}

TEST(FontOptions, Description) {
  FontChoice f{"Arial", 9, 400, false, 0, 0};
  EXPECT_EQ(DescribeFont(f), "Arial, 9 pt");
  f.weight = 700;
  EXPECT_EQ(DescribeFont(f), "Arial, 9 pt, Bold");
  f.italic = true;
  EXPECT_EQ(DescribeFont(f), "Arial, 9 pt, Bold Italic");
  f.weight = 400;
  EXPECT_EQ(DescribeFont(f), "Arial, 9 pt, Italic");
}

TEST(ColourOptions, FourColoursWithTheirControls) {
  std::vector<uint32_t CalendarConfig::*> fields;
  std::set<int> controls;
  for (const ColourRoleEntry& r : ColourRoles()) {
    EXPECT_EQ(std::count(fields.begin(), fields.end(), r.field), 0);
    fields.push_back(r.field);
    EXPECT_TRUE(controls.insert(r.button).second);
    EXPECT_TRUE(controls.insert(r.sample).second);
  }
  EXPECT_EQ(fields.size(), 4u);
  EXPECT_EQ(StoredColour(0xFF123456u), 0x00123456u);
}

}  // namespace
}  // namespace kv
