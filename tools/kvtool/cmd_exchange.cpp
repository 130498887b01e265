// kvtool commands that exchange data with other calendar programs: iCalendar export and import
// of the schedule, the to-do list and overlays; vCard and comma-separated export and import of
// the phonebook.
#include <filesystem>
#include <memory>

#include "calendar/zone_conversion.h"
#include "personal/contacts.h"
#include "personal/ical.h"
#include "base/messages.h"
#include "sky/zones.h"
#include "store/db_files.h"
#include "base/file_io.h"
#include "tools/kvtool/cli.h"
#include "tools/kvtool/db_session.h"

namespace kv::tool {
namespace {

// The zone file and the tz names beside kvtool; the zone in use from --zone (else none).
void LoadZones(const std::optional<std::string>& zone) {
  std::string folder = RunningProgramFolder();
  if (LoadZoneTable(folder + "/KVTZX.DAT")) {
    SetZoneConversion([](const DateStamp& local, int from, int to) {
      return ConvertBetweenZones(local, FindZone(from), FindZone(to));
    });
  }
  LoadZoneNames(folder + "/KVTZNAMES.DAT");
  SetCurrentZone(zone ? static_cast<int>(ParseInteger(*zone, "zone", 0, 255)) : 0);
}

void RequireFolder(Args& args) {
  std::optional<std::string> db = args.Option("db");
  if (!db) throw UsageError("--db DIR is required");
  std::error_code error;
  if (!std::filesystem::is_directory(*db, error)) throw Failure("no database folder " + *db);
  ResetStore();
  SetDatabaseFolder(AnsiFromUtf8(*db));
}

Command icalExport("ical export",
                   "--db DIR [--from YYYY-MM-DD --to YYYY-MM-DD] [--todo] [--overlay FILE --years A-B] [--zone ID] "
                   "[--now YYYY-MM-DDTHH:MM] OUT.ics",
                   [](Args& args) {
  std::optional<std::string> now = args.Option("now");
  RequireFolder(args);
  std::optional<std::string> from = args.Option("from"), to = args.Option("to"), overlay = args.Option("overlay"),
                             years = args.Option("years"), zone = args.Option("zone");
  bool todo = args.Flag("todo");
  std::string out = args.Positional("OUT.ics");
  args.Done();
  if (!!from != !!to) throw UsageError("--from and --to go together");
  IcalExportOptions options;
  options.schedule = from.has_value() || (!todo && !overlay);
  if (from) {
    options.from = ParseDate(*from);
    options.to = ParseDate(*to);
    if (MakeMinuteKey(options.to) < MakeMinuteKey(options.from)) throw UsageError("--to comes before --from");
  }
  options.todo = todo;
  if (overlay) {
    options.overlayPath = AnsiFromUtf8(*overlay);
    if (years) {
      size_t dash = years->find('-');
      if (dash == std::string::npos) throw UsageError("--years takes A-B");
      options.firstYear = static_cast<int>(ParseInteger(years->substr(0, dash), "first year", 1583, 9998));
      options.lastYear = static_cast<int>(ParseInteger(years->substr(dash + 1), "last year", options.firstYear, 9998));
    }
  } else if (years) {
    throw UsageError("--years goes with --overlay");
  }
  std::unique_ptr<FixedClock> clock;
  if (now) {
    clock = std::make_unique<FixedClock>(ParseDateTime(*now));
    SetClockSource(clock.get());
  }
  LoadZones(zone);
  AnsweringMessages sink(true);
  ScopedMessageSink scope(sink);
  IcalExportResult r;
  bool ok = IcalExportFile(out, options, r);
  if (clock) SetClockSource(nullptr);
  if (!ok) throw Failure(r.error.empty() ? "export failed" : r.error);
  Emit(Json{{"events", r.events},
            {"series", r.series},
            {"todos", r.todos},
            {"overlay_events", r.overlayEvents},
            {"overlay_as_dates", r.overlayAsDates},
            {"overlay_without_days", r.overlayEmpty}});
});

Command icalImport("ical import",
                   "--db DIR IN.ics [--overlay OUT.kov] [--from YYYY-MM-DD --to YYYY-MM-DD] [--answer ok|cancel] "
                   "[--zone ID] [--now YYYY-MM-DDTHH:MM]",
                   [](Args& args) {
  std::optional<std::string> now = args.Option("now");
  RequireFolder(args);
  std::optional<std::string> from = args.Option("from"), to = args.Option("to"), overlay = args.Option("overlay"),
                             answer = args.Option("answer"), zone = args.Option("zone");
  std::string in = args.Positional("IN.ics");
  args.Done();
  if (answer && *answer != "ok" && *answer != "cancel") throw UsageError("--answer takes ok or cancel");
  IcalImportOptions options;
  if (overlay) options.overlayPath = AnsiFromUtf8(*overlay);
  if (from) options.from = ParseDate(*from);
  if (to) options.to = ParseDate(*to);
  if (from && to && MakeMinuteKey(*options.to) < MakeMinuteKey(*options.from)) throw UsageError("--to comes before --from");
  std::unique_ptr<FixedClock> clock;
  if (now) {
    clock = std::make_unique<FixedClock>(ParseDateTime(*now));
    SetClockSource(clock.get());
  }
  LoadZones(zone);
  AnsweringMessages sink(!answer || *answer == "ok");
  ScopedMessageSink scope(sink);
  IcalImportResult r = IcalImportFile(in, options);
  if (clock) SetClockSource(nullptr);
  if (!r.ok && !r.cancelled) {
    std::string why = r.error.line ? "line " + std::to_string(r.error.line) + ": " + r.error.why : r.error.why;
    throw Failure(why.empty() ? "import failed" : why);
  }
  Json skipped = Json::array();
  for (const ExchangeSkip& s : r.skipped) skipped.push_back(Json{{"line", s.line}, {"why", s.why}});
  Json result{{"events", r.events + r.overlayEvents}, {"todos", r.todos}, {"skipped", skipped}};
  result["schedule_items"] = r.events;
  result["overlay_events"] = r.overlayEvents;
  result["lost_characters"] = r.lostCharacters;
  result["shortened"] = r.shortened;
  if (r.cancelled) result["cancelled"] = true;
  Emit(result);
});

Json ContactsJson(const ContactsImportResult& r) {
  Json skipped = Json::array();
  for (const ExchangeSkip& s : r.skipped) skipped.push_back(Json{{"line", s.line}, {"why", s.why}});
  Json out{{"entries", r.entries}, {"skipped", skipped}, {"lost_characters", r.lostCharacters}};
  if (r.cancelled) out["cancelled"] = true;
  return out;
}

// Export: --db DIR FILE; import: --db DIR FILE [--answer ok|cancel].
void ContactsExport(Args& args, bool vcard) {
  RequireFolder(args);
  std::optional<std::string> version = vcard ? args.Option("version") : std::nullopt;
  std::string file = args.Positional("FILE");
  args.Done();
  if (version && *version != "3" && *version != "4" && *version != "3.0" && *version != "4.0")
    throw UsageError("--version takes 3 or 4");
  AnsweringMessages sink(true);
  ScopedMessageSink scope(sink);
  ContactsExportResult r = vcard ? VCardExportFile(file, version && (*version)[0] == '4' ? VCardVersion::V4 : VCardVersion::V3)
                                 : CsvExportFile(file);
  if (!r.ok) throw Failure(r.error);
  Emit(Json{{"entries", r.entries}});
}

void ContactsImport(Args& args, bool vcard) {
  RequireFolder(args);
  std::optional<std::string> answer = args.Option("answer");
  std::string file = args.Positional("FILE");
  args.Done();
  if (answer && *answer != "ok" && *answer != "cancel") throw UsageError("--answer takes ok or cancel");
  AnsweringMessages sink(!answer || *answer == "ok");
  ScopedMessageSink scope(sink);
  ContactsImportResult r = vcard ? VCardImportFile(file) : CsvImportFile(file);
  if (!r.ok && !r.cancelled) {
    std::string why = r.error.line ? "line " + std::to_string(r.error.line) + ": " + r.error.why : r.error.why;
    throw Failure(why.empty() ? "import failed" : why);
  }
  Emit(ContactsJson(r));
}

Command vcardExport("vcard export", "--db DIR [--version 3|4] FILE.vcf", [](Args& args) { ContactsExport(args, true); });
Command vcardImport("vcard import", "--db DIR FILE.vcf [--answer ok|cancel]", [](Args& args) { ContactsImport(args, true); });
Command csvExport("csv export", "--db DIR FILE.csv", [](Args& args) { ContactsExport(args, false); });
Command csvImport("csv import", "--db DIR FILE.csv [--answer ok|cancel]", [](Args& args) { ContactsImport(args, false); });

}  // namespace
}  // namespace kv::tool
