// kvtool render year / render day: the year view and the day page as the program lays them
// out and paints them, as JSON (what is drawn where, with the exact texts) or as an SVG picture.
// The options and fonts come from a configuration file (--config) or a new configuration.
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

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
#include "tools/kvtool/db_session.h"
#include "views/day_page.h"
#include "views/small_calendar.h"
#include "views/year_layout.h"

namespace kv::tool {
namespace {

constexpr int kPixelsPerInch = 96;

enum class Format { Json, Svg };
Format FormatOption(Args& args) {
  std::optional<std::string> f = args.Option("format");
  if (!f || *f == "json") return Format::Json;
  if (*f == "svg") return Format::Svg;
  throw UsageError("--format must be json or svg, not \"" + *f + "\"");
}

Size SizeOption(Args& args, Size fallback) {
  std::optional<std::string> s = args.Option("size");
  if (!s) return fallback;
  size_t x = s->find('x');
  if (x == std::string::npos) throw UsageError("--size must be WIDTHxHEIGHT, not \"" + *s + "\"");
  return Size{static_cast<int>(ParseInteger(s->substr(0, x), "width", 100, 10000)),
              static_cast<int>(ParseInteger(s->substr(x + 1), "height", 100, 10000))};
}

void LoadOverlayFiles(const std::vector<std::string>& paths, StderrMessages& sink) {
  if (paths.size() > static_cast<size_t>(kMaxOverlays)) throw UsageError("at most 20 overlays can be active");
  ResetOverlays();
  for (const std::string& p : paths) {
    int before = sink.shown;
    if (!AddOverlay(AnsiFromUtf8(p))) throw Failure("cannot load " + p);
    if (sink.shown != before) throw Failure(p + " is damaged");
  }
}

void SetFonts(Canvas& canvas, const FontTable& fonts) {
  for (size_t i = 0; i < kFontRoleCount; ++i) canvas.SetFont(static_cast<FontRole>(i), fonts[i]);
}

std::string ColourText(Colour c) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "#%02X%02X%02X", RedOf(c), GreenOf(c), BlueOf(c));
  return buffer;
}

Json RectJson(const Rect& r) { return Json::array({r.left, r.top, r.right, r.bottom}); }

Command renderYear("render year", "YYYY [--jewish] [--size WxH] [--config FILE] [--format json|svg] [OVERLAY...]",
                   [](Args& args) {
  bool jewish = args.Flag("jewish");
  std::optional<std::string> configPath = args.Option("config");
  Format format = FormatOption(args);
  Size size = SizeOption(args, Size{1000, 720});
  std::string yearText = args.Positional("year");
  std::vector<std::string> paths = args.Rest();
  args.Done();
  int year = static_cast<int>(jewish ? ParseInteger(yearText, "Jewish year", kYearViewFirstJewish, kYearViewLastJewish)
                                     : ParseInteger(yearText, "year", 1583, kYearViewLastGregorian));
  StderrMessages sink;
  ScopedMessageSink scope(sink);
  CalendarConfig config = LoadCalendarConfig(configPath);
  ViewOptions options = ViewOptionsFromConfig(config);
  options.jewishPrimary = jewish;
  LoadOverlayFiles(paths, sink);
  ResetAssembly();
  Assembly().options.jewishMode = jewish;
  AssembleYear(year);

  YearView view{year, 0, jewish};
  FontTable fonts = ScreenFontTable(config, kPixelsPerInch);
  RecordingCanvas measure(kPixelsPerInch);
  SetFonts(measure, fonts);
  YearLayout layout = LayOutYear(measure, size, view);
  auto marks = AssembledYearMarks();
  if (format == Format::Svg) {
    SvgCanvas svg(size.cx, size.cy, options.colours.window, kPixelsPerInch);
    SetFonts(svg, fonts);
    PaintYear(svg, layout, view, options, marks);
    std::fputs(svg.Document().c_str(), stdout);
    return;
  }
  Json months = Json::array();
  for (int i = 0; i < layout.count; ++i) {
    SmallCalendarInput in = SmallCalendarFor(year, YearMonthAt(year, i, jewish), jewish, options);
    in.marks = marks[static_cast<size_t>(i)];
    int first = SmallCalendarColumn(in.firstWeekday, in.weekStart);
    Json days = Json::array();
    for (int d = 1; d <= in.days; ++d)
      days.push_back(Json{{"day", d}, {"col", (first + d - 1) % 7}, {"row", (first + d - 1) / 7},
                          {"colour", ColourText(SmallCalendarDayColour(in, d))}});
    months.push_back(Json{{"index", i}, {"name", Utf8FromAnsi(in.monthName)},
                          {"rect", RectJson(layout.cells[static_cast<size_t>(i)])}, {"days", days}});
  }
  Emit(Json{{"view", "year"}, {"columns", layout.columns}, {"months", months}});
});

Command renderDay("render day",
                  "YYYY-MM-DD [--config FILE] [--db DIR] [--lat DEG --lon DEG --zone ID] [--format json|svg] [OVERLAY...]",
                  [](Args& args) {
  std::optional<std::string> configPath = args.Option("config");
  std::optional<std::string> db = args.Option("db");
  std::optional<std::string> lat = args.Option("lat"), lon = args.Option("lon"), zone = args.Option("zone");
  std::optional<std::string> now = args.Option("now");
  Format format = FormatOption(args);
  std::optional<std::string> width = args.Option("width");
  DateStamp date = ParseDate(args.Positional("date"));
  std::vector<std::string> paths = args.Rest();
  args.Done();
  if (date.year < 1583 || date.year > 9998) throw UsageError("the date must lie in 1583 ... 9998");
  if ((lat || lon || zone) && !(lat && lon && zone)) throw UsageError("--lat, --lon and --zone go together");
  int pageWidth = width ? static_cast<int>(ParseInteger(*width, "width", 200, 10000)) : 640;

  std::unique_ptr<DbSession> session;
  if (db) {
    std::vector<std::string> sessionArgs{"--db", *db};
    if (now) sessionArgs.insert(sessionArgs.end(), {"--now", *now});
    Args dbArgs(sessionArgs);
    session = std::make_unique<DbSession>(dbArgs);
    ResetStore();
    SetDatabaseFolder(AnsiFromUtf8(*db));
    InstallPersonalSources();
  }
  StderrMessages sink;
  ScopedMessageSink scope(sink);
  CalendarConfig config = LoadCalendarConfig(configPath);
  ViewOptions options = ViewOptionsFromConfig(config);
  if (lat) {
    // A point given on the command line is there to be shown.
    options.hasReference = true;
    options.sunMoonHidden = false;
    options.locationName = "(" + *lat + ", " + *lon + ")";
    options.latitude = ParseNumber(*lat, "latitude");
    options.longitude = ParseNumber(*lon, "longitude");
    if (options.latitude < -90 || options.latitude > 90) throw UsageError("latitude must lie between -90 and 90");
    if (options.longitude < -180 || options.longitude > 180) throw UsageError("longitude must lie between -180 and 180");
    options.zone = static_cast<int>(ParseInteger(*zone, "zone", 1, 9999));
  }
  if (options.hasReference) {
    std::string zones = RunningProgramFolder() + "/KVTZX.DAT";
    if (!LoadZoneTable(zones)) throw Failure("cannot read the zone file " + zones);
    if (!FindZone(options.zone)) throw Failure("no zone with identifier " + std::to_string(options.zone));
    ApplyPointOfReference(PointOfReference{options.locationName, options.zone, options.latitude, options.longitude},
                          date.year);
  }
  LoadOverlayFiles(paths, sink);
  ResetAssembly();
  ResetCalendarState();
  SetViewOptions(options);
  SelectGregorianDate(date);
  std::vector<const DayEntry*> entries = AssembledDayEntries(Calendar());
  DayPageInput input = GatherDayPage(date, options, entries, db.has_value());
  std::vector<DayLine> lines = BuildDayLines(input);

  if (format == Format::Svg) {
    FontTable fonts = ScreenFontTable(config, kPixelsPerInch);
    RecordingCanvas measure(kPixelsPerInch);
    SetFonts(measure, fonts);
    DayPageLayout layout = LayOutDayPage(measure, pageWidth, lines, kPixelsPerInch / 8);
    SvgCanvas svg(layout.width, layout.height, options.colours.window, kPixelsPerInch);
    SetFonts(svg, fonts);
    PaintDayPage(svg, layout, lines, FirstFocusLine(lines), options);
    std::fputs(svg.Document().c_str(), stdout);
    return;
  }
  Json out = Json::array();
  for (const DayLine& l : lines) {
    Json line{{"section", DaySectionName(l.section)}, {"text", Utf8FromAnsi(l.text)}};
    if (!l.left.empty()) line["left"] = Utf8FromAnsi(l.left);
    if (!l.right.empty()) line["right"] = Utf8FromAnsi(l.right);
    out.push_back(line);
  }
  Emit(Json{{"view", "day"}, {"lines", out}});
});

}  // namespace
}  // namespace kv::tool
