#include "shell/options.h"

#include <algorithm>
#include <cctype>

#include "resources/options_dialog.h"
#include "resources/strings.h"

namespace kv {
namespace {

// The week-start list begins with Sunday, in the order of the day-name strings.
constexpr uint8_t kWeekStarts[] = {0, 1, 2, 3, 4, 5, 6};
constexpr int kWeekStartTexts[] = {1098, 1099, 1100, 1101, 1102, 1103, 1104};
// Only 2 makes Jewish dates primary.
constexpr uint8_t kSystems[] = {0, 2};
constexpr int kSystemTexts[] = {29001, 29002};
constexpr uint8_t kModes[] = {0, 1};
constexpr int kModeTexts[] = {29001, 29003};
constexpr uint8_t kMoonPhases[] = {0, 1, 2};
constexpr int kMoonPhaseTexts[] = {29004, 29005, 29006};
constexpr uint8_t kTimeChanges[] = {0, 1, 2};
constexpr int kTimeChangeTexts[] = {29007, 29008, 29009};

using C = CalendarConfig;
constexpr unsigned kViews = kRefreshViews;

const CalendarOptionField kFields[] = {
    {IDC_OPT_WEEK_START, OptionControl::List, &C::weekStart, kWeekStarts, kWeekStartTexts, kViews},
    {IDC_OPT_SATURDAY_RED, OptionControl::Check, &C::saturdayRed, {}, {}, kViews},
    {IDC_OPT_SUNDAY_RED, OptionControl::Check, &C::sundayRed, {}, {}, kViews},
    {IDC_OPT_SYSTEM, OptionControl::List, &C::calendarSystem, kSystems, kSystemTexts, kViews},
    {IDC_OPT_MODE, OptionControl::List, &C::calendarMode, kModes, kModeTexts, kViews},
    {IDC_OPT_ADJACENT, OptionControl::Check, &C::showAdjacentMonths, {}, {}, kViews},
    {IDC_OPT_OVERLAY_TABS, OptionControl::InvertedCheck, &C::overlayTabsHidden, {}, {}, kViews},
    {IDC_OPT_MOON, OptionControl::List, &C::moonPhases, kMoonPhases, kMoonPhaseTexts, kViews},
    {IDC_OPT_TIME_CHANGES, OptionControl::List, &C::timeChanges, kTimeChanges, kTimeChangeTexts, kViews},
    {IDC_OPT_NOTES, OptionControl::Check, &C::notesIndicator, {}, {}, kViews},
    {IDC_OPT_JULIAN, OptionControl::Check, &C::julianDay, {}, {}, kViews},
    {IDC_OPT_WEEK_NUMBERS, OptionControl::Check, &C::weekNumbers, {}, {}, kViews},
    {IDC_OPT_SUN_MOON, OptionControl::InvertedCheck, &C::sunMoonHidden, {}, {}, kViews},
    {IDC_OPT_CANDLES, OptionControl::Check, &C::candleLighting, {}, {}, kViews},
    {IDC_OPT_CANDLE_MINUTES, OptionControl::Minutes, &C::candleMinutes, {}, {}, kViews},
    {IDC_OPT_HAVDALAH, OptionControl::Check, &C::havdalah, {}, {}, kViews},
    {IDC_OPT_HAVDALAH_MINUTES, OptionControl::Minutes, &C::havdalahMinutes, {}, {}, kViews},
};

const FontRoleEntry kFontRoles[] = {
    // Screen slot 4 has no reader among the windows; slots 6 and 7 are empty on screen.
    {false, 0, 29020}, {false, 1, 29021}, {false, 2, 29022}, {false, 3, 29023}, {false, 5, 29024},
    {true, 0, 29030},  {true, 1, 29031},  {true, 2, 29032},  {true, 3, 29033},  {true, 4, 29034},
    {true, 5, 29035},  {true, 6, 29036},  {true, 7, 29037},
};

const ColourRoleEntry kColourRoles[] = {
    {&C::themeColour, IDC_COL_THEME, IDC_COL_THEME_SAMPLE},
    {&C::shadowColour, IDC_COL_SHADOW, IDC_COL_SHADOW_SAMPLE},
    {&C::gridColour, IDC_COL_GRID, IDC_COL_GRID_SAMPLE},
    {&C::highlightColour, IDC_COL_HIGHLIGHT, IDC_COL_HIGHLIGHT_SAMPLE},
};

// The value a list's readers take an unlisted stored value for.
uint8_t ReadAs(const CalendarOptionField& field, uint8_t value) {
  if (field.field == &C::calendarSystem) return value == 2 ? 2 : 0;
  if (field.field == &C::moonPhases) return value <= 2 ? value : 1;
  if (field.field == &C::timeChanges) return value == 0 ? 0 : value == 2 ? 2 : 1;
  return field.values.empty() ? 0 : field.values.front();
}

}  // namespace

std::span<const CalendarOptionField> CalendarOptionFields() { return kFields; }

const CalendarOptionField* CalendarOptionFor(int control) {
  for (const CalendarOptionField& f : kFields)
    if (f.control == control) return &f;
  return nullptr;
}

int ListPosition(const CalendarOptionField& field, uint8_t value) {
  for (uint8_t wanted : {value, ReadAs(field, value)}) {
    auto it = std::find(field.values.begin(), field.values.end(), wanted);
    if (it != field.values.end()) return static_cast<int>(it - field.values.begin());
  }
  return 0;
}

uint8_t ListValue(const CalendarOptionField& field, int position, uint8_t current) {
  if (position < 0 || position >= static_cast<int>(field.values.size())) return current;
  if (position == ListPosition(field, current)) return current;
  return field.values[static_cast<size_t>(position)];
}

std::optional<uint8_t> ParseOptionMinutes(std::string_view text) {
  auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  if (text.empty() || text.size() > 3) return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value > kMaxOptionMinutes) return std::nullopt;
  return static_cast<uint8_t>(value);
}

int MinutesSwitch(int control) { return control == IDC_OPT_HAVDALAH_MINUTES ? IDC_OPT_HAVDALAH : IDC_OPT_CANDLES; }

void CopyCalendarOptions(const CalendarConfig& from, CalendarConfig& to) {
  for (const CalendarOptionField& f : kFields) to.*f.field = from.*f.field;
}

std::span<const FontRoleEntry> FontRoles() { return kFontRoles; }

FontRecord& FontSlot(CalendarConfig& config, const FontRoleEntry& role) {
  auto& fonts = role.printer ? config.printerFonts : config.screenFonts;
  return fonts[static_cast<size_t>(role.slot)];
}

const FontRecord& FontSlot(const CalendarConfig& config, const FontRoleEntry& role) {
  const auto& fonts = role.printer ? config.printerFonts : config.screenFonts;
  return fonts[static_cast<size_t>(role.slot)];
}

FontRecord FontRecordFor(const FontRecord& old, std::string_view face, int tenthsOfPoint, int weight, bool italic,
                         uint8_t charSet, uint8_t pitchAndFamily) {
  FontRecord r = old;
  r.pointSize = static_cast<uint16_t>(std::clamp((tenthsOfPoint + 5) / 10, 1, 400));
  r.weight = static_cast<uint16_t>(std::clamp(weight <= 0 ? 400 : weight, 1, 1000));
  r.italic = italic ? 1 : 0;
  r.charSet = charSet;
  r.pitchAndFamily = pitchAndFamily;
  r.face = std::string(face.substr(0, 31));
  return r;
}

FontRecord DefaultFontRecord(const FontRoleEntry& role) {
  static const CalendarConfig defaults = DefaultCalendarConfig({});
  return FontSlot(defaults, role);
}

std::string DescribeFont(const FontChoice& font) {
  std::string text = FormatText(std::string(StringText(29050)).c_str(), font.face.c_str(), font.pointSize);
  if (font.weight >= 600) text.append(", ").append(StringText(29051));
  if (font.italic) text.append(font.weight >= 600 ? " " : ", ").append(StringText(29052));
  return text;
}

unsigned FontRefresh(const FontRoleEntry& role) { return role.printer ? 0u : kRefreshDrawing | kRefreshViews; }

void CopyFonts(const CalendarConfig& from, CalendarConfig& to) {
  to.screenFonts = from.screenFonts;
  to.printerFonts = from.printerFonts;
}

std::span<const ColourRoleEntry> ColourRoles() { return kColourRoles; }

void CopyColours(const CalendarConfig& from, CalendarConfig& to) {
  for (const ColourRoleEntry& c : kColourRoles) to.*c.field = from.*c.field;
  to.customColours = from.customColours;
}

}  // namespace kv
