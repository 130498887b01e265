// kvtool render month: the month view laid out and painted as the program paints it, as JSON
// (the geometry, every cell's lines and marks, the tabs) or as an SVG picture.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "base/canvas_record.h"
#include "base/canvas_svg.h"
#include "base/file_io.h"
#include "base/messages.h"
#include "calendar/jewish.h"
#include "overlays/day_assembly.h"
#include "overlays/overlay_set.h"
#include "personal/schedule_sources.h"
#include "shell/config.h"
#include "shell/view_settings.h"
#include "sky/reference.h"
#include "sky/zones.h"
#include "store/db_files.h"
#include "tools/kvtool/cli.h"
#include "views/month_layout.h"
#include "views/month_paint.h"
#include "views/overlay_tabs.h"
#include "views/sky_moon_source.h"

namespace kv::tool {
namespace {

Size ParseSize(const std::string& text) {
  size_t x = text.find('x');
  if (x == std::string::npos) throw UsageError("--size takes WIDTHxHEIGHT, such as 800x600");
  return Size{static_cast<int>(ParseInteger(text.substr(0, x), "width", 100, 10000)),
              static_cast<int>(ParseInteger(text.substr(x + 1), "height", 100, 10000))};
}

void ParseMonthArgument(const std::string& text, bool jewish, int& year, int& month) {
  if (text.size() != 7 || text[4] != '-') throw UsageError("\"" + text + "\" is not a month of the form YYYY-MM");
  year = static_cast<int>(ParseInteger(text.substr(0, 4), "year", jewish ? kMinGregorianModeJewishYear : 1583,
                                       jewish ? kLastJewishYear - 1 : 9998));
  month = static_cast<int>(ParseInteger(text.substr(5), "month", 1, jewish ? 13 : 12));
  if (jewish && month == kAdarII && !IsJewishLeapYear(year))
    throw UsageError(std::to_string(year) + " is not a leap year: it has no month 13");
}

// The point of reference: from the command line, else the configuration's.
void ApplyReference(Args& args, const CalendarConfig& config, int year, ViewOptions& o) {
  std::optional<std::string> lat = args.Option("lat"), lon = args.Option("lon"), zone = args.Option("zone");
  std::string zones = JoinPath(RunningProgramFolder(), "KVTZX.DAT");
  if (FileExists(zones)) LoadZoneTable(zones);
  PointOfReference point;
  if (lat || lon || zone) {
    if (!lat || !lon || !zone) throw UsageError("--lat, --lon and --zone go together");
    point.name = "Point of reference";
    point.latitude = ParseNumber(*lat, "latitude");
    point.longitude = ParseNumber(*lon, "longitude");
    if (point.latitude < -90 || point.latitude > 90) throw UsageError("latitude must lie between -90 and 90");
    if (point.longitude < -180 || point.longitude > 180) throw UsageError("longitude must lie between -180 and 180");
    point.zone = static_cast<int>(ParseInteger(*zone, "zone", 0, 255));
  } else {
    point.name = config.locationName;
    point.zone = config.location.zone;
    point.latitude = config.location.latitude;
    point.longitude = config.location.longitude;
  }
  ApplyPointOfReference(point, year);
  o.hasReference = !point.name.empty();
  o.locationName = point.name;
  o.latitude = point.latitude, o.longitude = point.longitude, o.zone = point.zone;
}

std::string Hex(Colour c) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02X%02X%02X", RedOf(c), GreenOf(c), BlueOf(c));
  return text;
}

Json RectJson(const Rect& r) { return Json::array({r.left, r.top, r.right, r.bottom}); }

Command render("render month",
               "YYYY-MM --size WxH [--config FILE.kvc] [--db DIR] [--jewish] [--tab N] [--lat DEG --lon DEG --zone ID] "
               "[--format json|svg] [OVERLAY...]",
               [](Args& args) {
  std::optional<std::string> sizeText = args.Option("size");
  std::optional<std::string> configPath = args.Option("config");
  std::optional<std::string> db = args.Option("db");
  bool jewish = args.Flag("jewish");
  std::optional<std::string> tab = args.Option("tab");
  std::string format = args.Option("format").value_or("json");
  if (format != "json" && format != "svg") throw UsageError("--format is json or svg");
  if (!sizeText) throw UsageError("--size WxH is required");
  Size size = ParseSize(*sizeText);
  std::string monthText = args.Positional("month");
  int year = 0, month = 0;
  ParseMonthArgument(monthText, jewish, year, month);
  CalendarConfig config = LoadCalendarConfig(configPath);
  ViewOptions o = ViewOptionsFromConfig(config);
  o.jewishPrimary = jewish;
  int gregorianYear = jewish ? JewishToGregorian(JewishDate{year, month, 1}).year : year;
  ApplyReference(args, config, gregorianYear, o);
  std::vector<std::string> paths = args.Rest();
  args.Done();
  int tabIndex = tab ? static_cast<int>(ParseInteger(*tab, "tab", 0, static_cast<long long>(paths.size()))) : 0;
  if (db) {
    std::error_code error;
    if (!std::filesystem::is_directory(*db, error)) throw Failure("no database folder " + *db);
  }

  StderrMessages sink;
  ScopedMessageSink scope(sink);
  ResetOverlays();
  for (const std::string& p : paths) {
    int before = sink.shown;
    if (!AddOverlay(AnsiFromUtf8(p))) throw Failure("cannot load " + p);
    if (sink.shown != before) throw Failure(p + " is damaged");
  }
  ResetAssembly();
  if (db) {
    ResetStore();
    SetDatabaseFolder(*db);
    InstallPersonalSources();
  }
  SetMoonPhaseSource(&ProgramMoonPhases());
  AssemblyOptions& a = Assembly().options;
  a.jewishMode = jewish;
  a.tabOverlay = tabIndex;
  a.timeChanges = o.timeChanges;
  a.clockIcons = o.clockIcons;
  a.notesIndicator = o.notesIndicator && db;
  a.moonPhases = o.moonPhases != 0 && o.hasReference;
  RecomputeDisplayedMonths(year, month);

  FontTable fonts = ScreenFontTable(config, 96);
  RecordingCanvas measure;
  SvgCanvas svg(size.cx, size.cy, o.colours.window);
  for (size_t r = 0; r < kFontRoleCount; ++r) {
    measure.SetFont(static_cast<FontRole>(r), fonts[r]);
    svg.SetFont(static_cast<FontRole>(r), fonts[r]);
  }
  MonthLayoutInput in;
  in.width = size.cx, in.height = size.cy, in.year = year, in.month = month, in.options = &o;
  in.fonts = MeasureMonthFonts(measure);
  MonthLayout layout = LayOutMonth(in);
  Canvas& canvas = format == "svg" ? static_cast<Canvas&>(svg) : measure;
  MonthPicture picture = PaintMonth(canvas, layout, o, 0);
  SetMoonPhaseSource(nullptr);
  if (format == "svg") {
    std::string document = svg.Document();
    std::fwrite(document.data(), 1, document.size(), stdout);
    return;
  }

  std::array<std::string, 32> other;
  if (layout.jewishLine) other = OtherCalendarLines(layout.shown);
  Json weekdays = Json::array();
  for (const std::string& name : WeekdayRow(o.weekStart)) weekdays.push_back(Utf8FromAnsi(name));
  Json cells = Json::array();
  for (int d = 1; d <= layout.shown.length; ++d) {
    const DayCellPicture& pic = picture.cells[static_cast<size_t>(d - 1)];
    Rect cell = layout.CellRect(d);
    DayCellInput input = DayCellFromAssembly(layout, d, 0, other);
    Json lines = Json::array();
    for (const DrawnLine& line : pic.lines) {
      Rect r{line.rect.left + cell.left, line.rect.top + cell.top, line.rect.right + cell.left, line.rect.bottom + cell.top};
      lines.push_back(Json{{"text", Utf8FromAnsi(line.text)}, {"rect", RectJson(r)}});
    }
    bool moonShown = o.moonPhases != 0 && o.hasReference;
    Json cellJson{{"day", d},
                  {"col", layout.Column(d)},
                  {"row", layout.Row(d)},
                  {"rect", RectJson(cell)},
                  {"number_colour", Hex(pic.numberColour)},
                  {"lines", lines},
                  {"overflow", pic.overflow},
                  {"moon", moonShown ? input.moonPhase : 0},
                  {"note", input.noteMark},
                  {"jewish", input.otherDate.empty() ? Json(nullptr) : Json(Utf8FromAnsi(input.otherDate))},
                  {"time", pic.timeText.empty() ? Json(nullptr) : Json(Utf8FromAnsi(pic.timeText))}};
    cells.push_back(cellJson);
  }
  Json tabs = Json::array();
  for (const std::string& label : OverlayTabLabels(Overlays().paths, o.overlayTabsHidden)) tabs.push_back(Utf8FromAnsi(label));
  Emit(Json{{"view", "month"},
            {"width", size.cx},
            {"height", size.cy},
            {"cw", layout.cw},
            {"ch", layout.ch},
            {"rows", layout.rows},
            {"grid_top", layout.gridTop},
            {"title", Utf8FromAnsi(MonthTitleText(layout.shown))},
            {"weekdays", weekdays},
            {"cells", cells},
            {"tabs", tabs}});
});

}  // namespace
}  // namespace kv::tool
