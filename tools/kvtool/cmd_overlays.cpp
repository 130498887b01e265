// kvtool commands over overlay files and the day assembly: compile, decompile and dump overlay
// files, assemble a month, list the days on which events show.
#include <cstdio>
#include <fstream>
#include <sstream>

#include "calendar/jewish.h"
#include "overlays/day_assembly.h"
#include "overlays/overlay_file.h"
#include "overlays/overlay_set.h"
#include "overlays/overlay_source.h"
#include "personal/schedule_sources.h"
#include "base/messages.h"
#include "store/db_files.h"
#include "tools/kvtool/cli.h"

namespace kv::tool {
namespace {

std::vector<uint8_t> ReadFileOrFail(const std::string& path) {
  std::vector<uint8_t> bytes;
  if (!FileExists(path) || !ReadWholeFile(path, bytes, size_t{64} << 20)) throw Failure("cannot read " + path);
  return bytes;
}

Json AccentJson(const Accent& a) {
  return Json{{"highlight", a.highlight}, {"flags", a.flags},           {"icon", a.icon},
              {"pattern", a.pattern},     {"pattern_colour", a.patternColour}, {"text_colour", a.textColour}};
}

// A month as YYYY-MM; Jewish months take 1 ... 13.
void ParseMonth(const std::string& text, bool jewish, int& year, int& month) {
  if (text.size() < 6 || text[4] != '-') throw UsageError("\"" + text + "\" is not a month of the form YYYY-MM");
  year = static_cast<int>(ParseInteger(text.substr(0, 4), "year", jewish ? kFirstJewishYear : 1583, 9998));
  month = static_cast<int>(ParseInteger(text.substr(5), "month", 1, jewish ? 13 : 12));
  if (text.size() != 7) throw UsageError("\"" + text + "\" is not a month of the form YYYY-MM");
  if (jewish && month == kAdarII && !IsJewishLeapYear(year))
    throw UsageError(std::to_string(year) + " is not a leap year: it has no month 13");
}

// Loads the overlays named on the command line as the active set, numbered in that order.
void LoadOverlays(const std::vector<std::string>& paths, StderrMessages& sink) {
  if (paths.empty()) throw UsageError("name at least one overlay file");
  if (paths.size() > static_cast<size_t>(kMaxOverlays)) throw UsageError("at most 20 overlays can be active");
  ResetOverlays();
  for (const std::string& p : paths) {
    std::string path = AnsiFromUtf8(p);
    int before = sink.shown;
    if (!AddOverlay(path)) throw Failure("cannot load " + p);
    if (sink.shown != before) throw Failure(p + " is damaged");
  }
}

Command compile("overlay compile", "SRC OUT", [](Args& args) {
  std::string src = args.Positional("source file");
  std::string out = args.Positional("output file");
  args.Done();
  std::vector<uint8_t> bytes = ReadFileOrFail(src);
  OverlayImage image;
  std::string error;
  if (!CompileOverlaySource(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), image, error))
    throw Failure(src + ": " + error);
  if (!WriteFileReplacing(out, SerializeOverlay(image))) throw Failure("cannot write " + out);
  Emit(Json{{"events", image.events.size()}, {"bytes", SerializedOverlaySize(image)}});
});

Command decompile("overlay decompile", "FILE", [](Args& args) {
  std::string path = args.Positional("overlay file");
  args.Done();
  std::vector<uint8_t> bytes = ReadFileOrFail(path);
  if (IsOlderOverlay(bytes.data(), bytes.size())) throw Failure(path + " is an older overlay file; load it once to convert it");
  OverlayImage image;
  int result = ParseOverlayBytes(bytes.data(), bytes.size(), image);
  if (result != kOverlayLoaded || SerializeOverlay(image) != bytes)
    throw Failure(path + " is damaged or holds more than its events (\"overlay dump\" shows what loads)");
  std::string text = DecompileOverlay(image, OverlayNameOfPath(path));
  OverlayImage again;
  std::string error;
  if (!CompileOverlaySource(text, again, error) || SerializeOverlay(again) != bytes)
    throw Failure(path + ": its header cannot be written as text");
  std::fwrite(text.data(), 1, text.size(), stdout);
});

Command dump("overlay dump", "FILE", [](Args& args) {
  std::string path = AnsiFromUtf8(args.Positional("overlay file"));
  args.Done();
  StderrMessages sink;
  ScopedMessageSink scope(sink);
  OverlayImage image;
  int result = ReadOverlayFile(path, image);
  if (result == kOverlayCannotOpen) throw Failure("cannot open " + Utf8FromAnsi(path));
  if (result == kOverlayBadHeader) throw Failure(Utf8FromAnsi(path) + " failed the header check");
  Json events = Json::array();
  for (const OverlayEvent& e : image.events) {
    events.push_back(Json{{"kind", e.kind},
                          {"year", e.year},
                          {"month", e.month},
                          {"day", e.day},
                          {"range_end", Json::array({e.endYear, e.endMonth, e.endDay})},
                          {"param", e.param},
                          {"offset", e.offset},
                          {"flags", e.flags},
                          {"weight", e.weight},
                          {"sametime", e.sameTime},
                          {"zone", e.zone},
                          {"accent", AccentJson(e.accent)},
                          {"text", Utf8FromAnsi(e.description)}});
  }
  Emit(Json{{"format", image.header.format}, {"accent", AccentJson(image.header.accent)}, {"events", events}});
  if (result == kOverlayBadRecord) throw Failure(Utf8FromAnsi(path) + " is damaged: the events before the damage are shown");
});

Json MarksJson(const MonthSlot& slot) {
  Json days = Json::array();
  for (int d = 1; d <= slot.length; ++d)
    if (slot.marks[static_cast<size_t>(d)]) days.push_back(d);
  return days;
}

Command month("month", "YYYY-MM [--jewish] [--tab N] [--db DIR] OVERLAY...", [](Args& args) {
  bool jewish = args.Flag("jewish");
  std::optional<std::string> tab = args.Option("tab");
  std::optional<std::string> db = args.Option("db");
  std::string monthText = args.Positional("month");
  std::vector<std::string> paths = args.Rest();
  args.Done();
  int year = 0, m = 0;
  ParseMonth(monthText, jewish, year, m);
  StderrMessages sink;
  ScopedMessageSink scope(sink);
  // With a database folder the month may show its schedule and notes alone.
  if (!db || !paths.empty()) LoadOverlays(paths, sink);
  ResetAssembly();
  AssemblyOptions& options = Assembly().options;
  options.jewishMode = jewish;
  if (tab) options.tabOverlay = static_cast<int>(ParseInteger(*tab, "tab", 1, static_cast<long long>(paths.size())));
  if (db) {
    // The month's schedule items and the days with notes, from a database folder.
    ResetStore();
    SetDatabaseFolder(*db);
    InstallPersonalSources();
    options.notesIndicator = true;
  }
  RecomputeDisplayedMonths(year, m);
  const AssemblyState& s = Assembly();
  Json days = Json::object();
  Json flags = Json::object();
  for (int d = 1; d <= s.slots[kSlotCurrent].length; ++d) {
    Json list = Json::array();
    for (const DayEntry* e = FirstEntry(d); e; e = NextEntry(*e)) {
      list.push_back(Json{{"text", Utf8FromAnsi(e->text)},
                          {"weight", e->listingWeight},
                          {"sametime", e->sameTime},
                          {"highlight", e->highlight},
                          {"source", e->source},
                          {"offset", e->offset},
                          {"gift", e->gift}});
    }
    if (!list.empty()) days[std::to_string(d)] = list;
    if (s.flags[static_cast<size_t>(d)]) flags[std::to_string(d)] = s.flags[static_cast<size_t>(d)];
  }
  Json marks{{"prev", MarksJson(s.slots[kSlotPrevious])},
             {"cur", MarksJson(s.slots[kSlotCurrent])},
             {"next", MarksJson(s.slots[kSlotNext])}};
  Emit(Json{{"days", days}, {"marks", marks}, {"flags", flags}});
});

Command occurrences("occurrences", "--from YYYY-MM-DD --to YYYY-MM-DD OVERLAY...", [](Args& args) {
  std::optional<std::string> fromText = args.Option("from");
  std::optional<std::string> toText = args.Option("to");
  std::vector<std::string> paths = args.Rest();
  args.Done();
  if (!fromText || !toText) throw UsageError("--from and --to are needed");
  DateStamp from = ParseDate(*fromText), to = ParseDate(*toText);
  if (from.year < 1583 || to.year > 9998) throw UsageError("dates must lie in 1583 ... 9998");
  if (MakeMinuteKey(to) < MakeMinuteKey(from)) throw UsageError("--to comes before --from");
  StderrMessages sink;
  ScopedMessageSink scope(sink);
  LoadOverlays(paths, sink);
  ResetAssembly();
  const std::vector<LoadedEvent>& events = Overlays().events;
  Json list = Json::array();
  for (int y = from.year, m = from.month; y < to.year || (y == to.year && m <= to.month);) {
    Assemble(kSlotCurrent, y, m);
    for (int d = 1; d <= MonthLength(m, y); ++d) {
      DateStamp day{y, static_cast<uint16_t>(m), static_cast<uint16_t>(d)};
      if (MakeMinuteKey(day) < MakeMinuteKey(from) || MakeMinuteKey(day) > MakeMinuteKey(to)) continue;
      for (const DayEntry* e = FirstEntry(d); e; e = NextEntry(*e)) {
        if (e->source < 0 || static_cast<size_t>(e->source) >= events.size()) continue;
        list.push_back(Json{{"date", DateText(day)},
                            {"text", Utf8FromAnsi(e->text)},
                            {"overlay", events[static_cast<size_t>(e->source)].overlay}});
      }
    }
    if (++m > 12) m = 1, ++y;
  }
  Emit(Json{{"occurrences", list}});
});

}  // namespace
}  // namespace kv::tool
