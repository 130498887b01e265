#include "shell/view_settings.h"

#include "shell/desk.h"

namespace kv {

ViewOptions ViewOptionsFromConfig(const CalendarConfig& c, int screenWidth, const SystemViewColours& system) {
  ViewOptions o;
  // The week-start list of the options dialog begins with Sunday.
  o.weekStart = c.weekStart <= 6 ? c.weekStart : 0;
  o.jewishPrimary = c.calendarSystem == 2;
  o.jewishDateLine = c.calendarMode == 1;
  o.smallCalendars = c.showAdjacentMonths != 0;
  o.moonPhases = c.moonPhases <= 2 ? c.moonPhases : 1;
  o.saturdayRed = c.saturdayRed != 0;
  o.sundayRed = c.sundayRed != 0;
  o.candleLighting = c.candleLighting != 0;
  o.candleMinutes = c.candleMinutes;
  o.havdalah = c.havdalah != 0;
  o.havdalahMinutes = c.havdalahMinutes;
  o.julianDay = c.julianDay != 0;
  o.weekNumbers = c.weekNumbers != 0;
  o.sunMoonHidden = c.sunMoonHidden != 0;
  o.overlayTabsHidden = c.overlayTabsHidden != 0;
  o.timeChanges = c.timeChanges != 0;
  o.clockIcons = c.timeChanges == 2;
  o.notesIndicator = c.notesIndicator != 0;
  o.hasReference = !c.locationName.empty();
  o.locationName = c.locationName;
  o.latitude = c.location.latitude;
  o.longitude = c.location.longitude;
  o.zone = c.location.zone;
  o.iconSize = CellIconSize(screenWidth);
  o.colours.window = system.window;
  o.colours.windowText = system.windowText;
  o.colours.selection = system.selection;
  o.colours.selectionText = system.selectionText;
  o.colours.theme = ColourFromColorRef(c.themeColour);
  o.colours.shadow = ColourFromColorRef(c.shadowColour);
  o.colours.grid = ColourFromColorRef(c.gridColour);
  o.colours.highlight = ColourFromColorRef(c.highlightColour);
  return o;
}

FontTable ScreenFontTable(const CalendarConfig& config, int pixelsPerInch) {
  FontTable fonts{};
  auto spec = [&](int slot) {
    FontChoice f = EffectiveFont(config.screenFonts[static_cast<size_t>(slot)], slot, false);
    FontSpec s;
    s.face = f.face;
    s.height = -FontPixelHeight(pixelsPerInch, f.pointSize);
    s.weight = f.weight;
    s.italic = f.italic;
    return s;
  };
  fonts[static_cast<size_t>(FontRole::Title)] = spec(0);
  fonts[static_cast<size_t>(FontRole::Cell)] = spec(1);
  fonts[static_cast<size_t>(FontRole::Event)] = spec(2);
  fonts[static_cast<size_t>(FontRole::Bold)] = spec(3);
  fonts[static_cast<size_t>(FontRole::Small)] = spec(5);
  FontSpec dialog;
  dialog.face = "MS Shell Dlg";
  dialog.height = -FontPixelHeight(pixelsPerInch, 8);
  fonts[static_cast<size_t>(FontRole::Dialog)] = dialog;
  return fonts;
}

}  // namespace kv
