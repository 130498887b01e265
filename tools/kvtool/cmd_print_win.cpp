// kvtool print and kvtool metafile (Windows): the program's year and month pages printed on a
// printer without any dialog, through the same job as the print command, or drawn into a
// placeable metafile file.
#include <windows.h>

#include <filesystem>

#include "base/file_io.h"
#include "overlays/day_assembly.h"
#include "overlays/overlay_set.h"
#include "personal/schedule_sources.h"
#include "print/metafile_output_win.h"
#include "print/print_dialog_win.h"
#include "print/print_job_win.h"
#include "print/print_range.h"
#include "shell/print_settings.h"
#include "shell/view_settings.h"
#include "store/db_files.h"
#include "tools/kvtool/cli.h"

namespace kv::tool {
namespace {

int KindOption(const std::string& kind) {
  if (kind == "year") return 0;
  if (kind == "month") return 1;
  throw UsageError("KIND is year or month, not \"" + kind + "\"");
}

void LoadSources(const std::optional<std::string>& db, const std::vector<std::string>& overlays, StderrMessages& sink) {
  ResetOverlays();
  for (const std::string& p : overlays) {
    const int before = sink.shown;
    if (!AddOverlay(AnsiFromUtf8(p))) throw Failure("cannot load " + p);
    if (sink.shown != before) throw Failure(p + " is damaged");
  }
  ResetAssembly();
  if (db) {
    std::error_code error;
    if (!std::filesystem::is_directory(*db, error)) throw Failure("no database folder " + *db);
    ResetStore();
    SetDatabaseFolder(AnsiFromUtf8(*db));
    InstallPersonalSources();
  }
}

DateStamp StampOf(const RangeValue& v) {
  DateStamp d;
  d.year = v.year;
  d.month = static_cast<uint16_t>(v.month);
  d.day = static_cast<uint16_t>(v.day);
  return d;
}

// The configuration's calendar options, in Gregorian years and months.
PrintSources SourcesOf(const CalendarConfig& config) {
  ViewOptions options = ViewOptionsFromConfig(config);
  options.jewishPrimary = false;
  return ConfiguredPrintSources(config, options);
}

Command print("print", "year|month --from A --to B [--printer NAME] [--config FILE] [--db DIR] [OVERLAY...]",
              [](Args& args) {
  const int kind = KindOption(args.Positional("kind"));
  std::optional<std::string> from = args.Option("from"), to = args.Option("to");
  std::optional<std::string> printer = args.Option("printer");
  std::optional<std::string> configPath = args.Option("config");
  std::optional<std::string> db = args.Option("db");
  std::vector<std::string> overlays = args.Rest();
  args.Done();
  if (!from || !to) throw UsageError("--from and --to are required");
  const RangeFormat format = RangeFormatOfKind(kind);
  const CheckedRange range = CheckRange(format, *from, *to);
  if (range.failing != RangeBox::None)
    throw UsageError(std::string(range.failing == RangeBox::From ? "--from" : "--to") + ": Invalid date or range!");
  StderrMessages sink;
  ScopedMessageSink scope(sink);
  CalendarConfig config = LoadCalendarConfig(configPath);
  LoadSources(db, overlays, sink);

  PrinterJob job;
  job.kind = static_cast<PrintKind>(kind);
  job.layout = config.pageLayouts[static_cast<size_t>(kind)];
  job.dc = SessionPrinterDc(job.layout.landscape != 0, printer ? AnsiFromUtf8(*printer) : "");
  if (!job.dc) throw Failure("Error requesting printer resources!  Check printer and port configuration.");
  job.instance = GetModuleHandleA(nullptr);
  job.range.from = StampOf(range.from);
  job.range.to = StampOf(range.to);
  job.sources = SourcesOf(config);
  const std::string document = DocumentName(job.kind, job.range, job.sources);
  const int pages = kind == 0 ? range.to.year - range.from.year + 1
                              : (range.to.year - range.from.year) * 12 + range.to.month - range.from.month + 1;
  switch (RunPrinterJob(std::move(job))) {
    case PrintOutcome::Printed: break;
    case PrintOutcome::Cancelled: throw Failure("Print job cancelled by request.");
    case PrintOutcome::Failed: throw Failure("Print error detected.");
  }
  Emit(Json{{"document", Utf8FromAnsi(document)}, {"pages", pages}});
});

Command metafile("metafile", "year|month YYYY-MM-DD OUT.wmf [--config FILE] [--db DIR] [OVERLAY...]", [](Args& args) {
  const int kind = KindOption(args.Positional("kind"));
  const DateStamp date = ParseDate(args.Positional("date"));
  const std::string out = args.Positional("output file");
  std::optional<std::string> configPath = args.Option("config");
  std::optional<std::string> db = args.Option("db");
  std::vector<std::string> overlays = args.Rest();
  args.Done();
  StderrMessages sink;
  ScopedMessageSink scope(sink);
  CalendarConfig config = LoadCalendarConfig(configPath);
  LoadSources(db, overlays, sink);
  const PageLayout& layout = config.pageLayouts[static_cast<size_t>(kind)];
  CalendarMetafile m = DrawCalendarMetafile(static_cast<PrintKind>(kind), date.year, date.month,
                                            LetterPaper(layout.landscape != 0), layout, SourcesOf(config));
  if (!m.handle) throw Failure("the metafile could not be made");
  const Size extents = m.extents;
  if (!WriteMetafileFile(AnsiFromUtf8(out), m)) throw Failure("cannot write " + out);
  Emit(Json{{"file", out}, {"width", extents.cx}, {"height", extents.cy}, {"unitsPerInch", kMetafileUnitsPerInch}});
});

}  // namespace
}  // namespace kv::tool
