// kvtool render page: the printed pages of a kind, rendered natively through the same job code
// the printer gets, in twips on a Letter (or A4) sheet. As JSON (default): the job's document
// name, the page geometry and every page's texts with their rectangles. As SVG: one file per
// page, PREFIX-1.svg, PREFIX-2.svg, ... (--out PREFIX), their names listed as JSON.
#include <cstdio>
#include <fstream>
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
#include "print/print_job.h"
#include "print/print_sources.h"
#include "shell/config.h"
#include "shell/view_settings.h"
#include "sky/reference.h"
#include "sky/zones.h"
#include "store/db_files.h"
#include "tools/kvtool/cli.h"
#include "tools/kvtool/db_session.h"
#include "views/sky_moon_source.h"

namespace kv::tool {
namespace {

constexpr int kTwipsPerInch = 1440;

// The pages of a job, each drawn on a recorder or an SVG document of the sheet's size.
class ToolPageTarget final : public PageTarget {
 public:
  ToolPageTarget(bool svg, Size sheet) : svg_(svg), sheet_(sheet) {}
  Canvas* BeginPage() override {
    if (svg_) {
      svgPages.push_back(std::make_unique<SvgCanvas>(sheet_.cx, sheet_.cy, MakeColour(255, 255, 255), kTwipsPerInch));
      return svgPages.back().get();
    }
    recorded.push_back(std::make_unique<RecordingCanvas>(kTwipsPerInch));
    return recorded.back().get();
  }
  bool EndPage() override { return true; }
  void Status(const std::string& text) override { statuses.push_back(text); }

  std::vector<std::unique_ptr<SvgCanvas>> svgPages;
  std::vector<std::unique_ptr<RecordingCanvas>> recorded;
  std::vector<std::string> statuses;

 private:
  bool svg_;
  Size sheet_;
};

Json RectJson(const Rect& r) { return Json::array({r.left, r.top, r.right, r.bottom}); }

// --from / --to of a kind: YYYY, YYYY-MM, YYYY-MM-DD or an entry number (1 = the first).
DateStamp ParseRangeValue(PrintKind kind, const std::string& text, const char* which, bool jewish) {
  std::string what = std::string("--") + which;
  DateStamp d{0, 1, 1, 0, 0};
  if (kind == PrintKind::Year) {
    d.year = static_cast<int32_t>(ParseInteger(text, what, 1, 99999));
  } else if (kind == PrintKind::Month) {
    if (text.size() < 6 || text[4] != '-')
      throw UsageError(what + " takes a month as YYYY-MM, not \"" + text + "\"");
    d.year = static_cast<int32_t>(ParseInteger(text.substr(0, 4), what + " year", 1, 99999));
    d.month = static_cast<uint16_t>(ParseInteger(text.substr(5), what + " month", 1, jewish ? 13 : 12));
  } else {
    d = ParseDate(text);
  }
  return d;
}

PageLayout ReadLayoutFile(const std::string& path, PageLayout layout) {
  std::ifstream in(path);
  if (!in) throw Failure("cannot read " + path);
  Json j;
  try {
    j = Json::parse(in);
  } catch (const std::exception&) {
    throw Failure(path + " is not a JSON page layout");
  }
  if (!j.is_object()) throw Failure(path + " is not a JSON page layout");
  auto number = [&](const char* key, uint16_t& field) {
    if (!j.contains(key)) return;
    if (!j[key].is_number_integer() || j[key].get<long long>() < 0 || j[key].get<long long>() > 20000)
      throw Failure(std::string(key) + " in " + path + " must be a number of twips, 0 ... 20000");
    field = static_cast<uint16_t>(j[key].get<int>());
  };
  number("top", layout.topMargin);
  number("left", layout.leftMargin);
  number("right", layout.rightMargin);
  number("bottom", layout.bottomMargin);
  number("distance", layout.distance);
  if (j.contains("landscape")) layout.landscape = j["landscape"].get<bool>() ? 1 : 0;
  if (j.contains("size_to_margins")) layout.sizeToMargins = j["size_to_margins"].get<bool>() ? 1 : 0;
  if (j.contains("header")) layout.isHeader = j["header"].get<bool>() ? 1 : 0;
  if (j.contains("text")) {
    std::string text = AnsiFromUtf8(j["text"].get<std::string>());
    if (text.size() > kPageLayoutTextSize - 1) throw Failure("the header text in " + path + " is longer than 48 characters");
    layout.text = text;
  }
  return layout;
}

void LoadOverlays(const std::vector<std::string>& paths, StderrMessages& sink) {
  if (paths.size() > static_cast<size_t>(kMaxOverlays)) throw UsageError("at most 20 overlays can be active");
  ResetOverlays();
  for (const std::string& p : paths) {
    int before = sink.shown;
    if (!AddOverlay(AnsiFromUtf8(p))) throw Failure("cannot load " + p);
    if (sink.shown != before) throw Failure(p + " is damaged");
  }
}

Command renderPage(
    "render page",
    "year|month|day|binder|notes|schedule|todo|phone [--from A --to B] [--config FILE] [--db DIR] [--now "
    "YYYY-MM-DDTHH:MM] [--layout FILE.json] [--paper letter|a4] [--binder portrait|single|dual] [--jewish] "
    "[--format json|svg --out PREFIX] [OVERLAY...]\n"
    "    --from/--to: YYYY (year), YYYY-MM (month), YYYY-MM-DD (day, binder, notes, schedule), entry numbers\n"
    "    from 1 (phone); notes without --from print the day note of the --now day. SVG writes PREFIX-N.svg per page",
    [](Args& args) {
      std::string kindText = args.Positional("kind");
      bool binder = kindText == "binder";
      std::optional<PrintKind> kind = PrintKindFromName(binder ? "day" : kindText);
      if (!kind) throw UsageError("unknown page kind \"" + kindText + "\": year, month, day, binder, notes, schedule, todo or phone");
      std::optional<std::string> from = args.Option("from"), to = args.Option("to");
      std::optional<std::string> configPath = args.Option("config");
      std::optional<std::string> db = args.Option("db");
      std::optional<std::string> now = args.Option("now");
      std::optional<std::string> layoutPath = args.Option("layout");
      std::string paper = args.Option("paper").value_or("letter");
      std::string binderText = args.Option("binder").value_or("");
      std::string format = args.Option("format").value_or("json");
      std::optional<std::string> out = args.Option("out");
      bool jewish = args.Flag("jewish");
      std::vector<std::string> paths = args.Rest();
      args.Done();
      if (format != "json" && format != "svg") throw UsageError("--format is json or svg");
      if (format == "svg" && !out) throw UsageError("--format svg needs --out PREFIX for the page files");
      if (paper != "letter" && paper != "a4") throw UsageError("--paper is letter or a4");
      bool needsRange = *kind != PrintKind::ToDo && *kind != PrintKind::Notes;
      if (needsRange && (!from || !to)) throw UsageError("--from and --to are required for " + kindText);
      if (*kind == PrintKind::Notes && to && !from) throw UsageError("--to needs --from");

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

      PrintSources sources;
      sources.options = ViewOptionsFromConfig(config);
      sources.options.jewishPrimary = jewish;
      sources.regional = Regional();
      for (size_t i = 0; i < 8; ++i) {
        FontChoice f = EffectiveFont(config.printerFonts[i], static_cast<int>(i), true);
        sources.fonts[i] = PrintFont{f.face, f.pointSize, f.weight, f.italic};
      }
      sources.binderLayout = static_cast<BinderLayout>(std::min(config.printLayout & 7, 2));
      if (binderText == "portrait") sources.binderLayout = BinderLayout::Portrait;
      else if (binderText == "single") sources.binderLayout = BinderLayout::LandscapeSingle;
      else if (binderText == "dual") sources.binderLayout = BinderLayout::LandscapeDual;
      else if (!binderText.empty()) throw UsageError("--binder is portrait, single or dual");
      sources.binderStyle = binder;
      sources.binderA4 = config.printOption == 1;
      sources.now = now ? ParseDateTime(*now) : DateStamp{2027, 1, 1, 12, 0};

      PrintRange range;
      if (from && *kind != PrintKind::Phone) range.from = range.to = ParseRangeValue(*kind, *from, "from", jewish);
      if (to && *kind != PrintKind::Phone) range.to = ParseRangeValue(*kind, *to, "to", jewish);
      if (*kind == PrintKind::Notes) {
        sources.generalNotes = from.has_value();
        if (!from) range.from = range.to = sources.now;
      }
      if (*kind == PrintKind::Phone) {
        range.firstEntry = static_cast<int>(ParseInteger(*from, "--from", 1, 2048)) - 1;
        range.lastEntry = static_cast<int>(ParseInteger(*to, "--to", 1, 2048)) - 1;
      }

      if (sources.options.hasReference) {
        std::string zones = JoinPath(RunningProgramFolder(), "KVTZX.DAT");
        if (FileExists(zones) && LoadZoneTable(zones) && FindZone(sources.options.zone))
          ApplyPointOfReference(PointOfReference{sources.options.locationName, sources.options.zone,
                                                 sources.options.latitude, sources.options.longitude},
                                range.from.year > 0 ? range.from.year : sources.now.year);
        else
          sources.options.hasReference = false;
      }
      LoadOverlays(paths, sink);
      ResetAssembly();
      SetMoonPhaseSource(&ProgramMoonPhases());
      AssemblyOptions& a = Assembly().options;
      a.jewishMode = jewish;
      a.timeChanges = sources.options.timeChanges;
      a.clockIcons = sources.options.clockIcons;
      a.notesIndicator = sources.options.notesIndicator && db;
      a.moonPhases = sources.options.moonPhases != 0 && sources.options.hasReference;
      FillPrintSourcesFromStores(sources, db.has_value(), config.todoSortByPriority != 0);
      if (*kind == PrintKind::Notes && !sources.generalNotes) {
        sources.noteTitle = "General Notes";
        if (sources.dayNote) sources.note = sources.dayNote(sources.now);
      }

      int failing = CheckPrintRange(*kind, range, jewish, sources.phonebook.size());
      if (failing) {
        SetMoonPhaseSource(nullptr);
        if (*kind == PrintKind::Phone && sources.phonebook.empty()) throw Failure("No entries to print!");
        throw Failure(std::string("Invalid date or range! (") + (failing == 1 ? "--from" : "--to") + ")");
      }

      PageLayout layout = config.pageLayouts[static_cast<size_t>(*kind)];
      if (layoutPath) layout = ReadLayoutFile(*layoutPath, layout);
      bool landscape = binder ? sources.binderLayout != BinderLayout::Portrait : layout.landscape != 0;
      bool a4 = binder ? sources.binderA4 || paper == "a4" : paper == "a4";
      Size sheet = a4 ? Size{11906, 16838} : Size{12240, 15840};
      if (landscape) std::swap(sheet.cx, sheet.cy);
      PaperMetrics metrics{sheet.cx, sheet.cy, 0, 0};
      PageGeometry geometry = ComputePageGeometry(metrics, layout, *kind);

      ToolPageTarget target(format == "svg", sheet);
      PrintOutcome outcome = RunPrintJob(*kind, range, sources, layout, geometry, target);
      SetMoonPhaseSource(nullptr);
      if (outcome != PrintOutcome::Printed) throw Failure("Print error detected.");

      Json pages = Json::array();
      if (format == "svg") {
        for (size_t i = 0; i < target.svgPages.size(); ++i) {
          std::string name = *out + "-" + std::to_string(i + 1) + ".svg";
          std::string document = target.svgPages[i]->Document();
          if (!WriteFileReplacing(name, std::vector<uint8_t>(document.begin(), document.end())))
            throw Failure("cannot write " + name);
          pages.push_back(name);
        }
      } else {
        for (size_t i = 0; i < target.recorded.size(); ++i) {
          Json texts = Json::array();
          for (const CanvasCall& call : target.recorded[i]->Calls()) {
            if (call.kind == CallKind::Text) {
              texts.push_back(Json{{"text", Utf8FromAnsi(call.text)}, {"rect", RectJson(call.rect)}});
            } else if (call.kind == CallKind::TextInRect) {
              for (const TextLine& line : call.lines)
                texts.push_back(Json{{"text", Utf8FromAnsi(line.text)},
                                     {"rect", RectJson(Rect{line.x, line.y, line.x + line.width,
                                                            line.y + target.recorded[i]->LineHeight(call.role)})}});
            }
          }
          pages.push_back(Json{{"page", i + 1}, {"texts", texts}});
        }
      }
      Json statuses = Json::array();
      for (const std::string& s : target.statuses) statuses.push_back(Utf8FromAnsi(s));
      Emit(Json{{"kind", binder ? "binder" : PrintKindName(*kind)},
                {"document", Utf8FromAnsi(DocumentName(*kind, range, sources))},
                {"sheet", Json::array({sheet.cx, sheet.cy})},
                {"content", RectJson(geometry.content)},
                {"header", Json{{"top", geometry.headerTop}, {"is_header", geometry.header}}},
                {"status", statuses},
                {format == "svg" ? "files" : "pages", pages}});
    });

}  // namespace
}  // namespace kv::tool
