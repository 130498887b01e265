// kvtool search: finds a text in the database folder's schedule, to-do list, phonebook and
// notes and in the overlays named on the command line, as the Search window does.
#include <cstdio>
#include <filesystem>

#include "calendar/clock.h"
#include "overlays/overlay_set.h"
#include "personal/search.h"
#include "personal/search_sources.h"
#include "base/messages.h"
#include "store/db_files.h"
#include "tools/kvtool/cli.h"

namespace kv::tool {
namespace {

SearchColumn ParseColumn(const std::string& text) {
  if (text == "description") return SearchColumn::Description;
  if (text == "date") return SearchColumn::Date;
  if (text == "where") return SearchColumn::Where;
  throw UsageError("--sort takes description, date or where, not \"" + text + "\"");
}

std::string OneLine(std::string text) {
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  return text;
}

Command search("search",
               "--db DIR --text T [--case] [--word] [--from YYYY-MM-DD --to YYYY-MM-DD] [--areas MASK] "
               "[--sort description|date|where] [OVERLAY...]",
               [](Args& args) {
  std::optional<std::string> db = args.Option("db");
  std::optional<std::string> text = args.Option("text");
  bool matchCase = args.Flag("case");
  bool wholeWord = args.Flag("word");
  std::optional<std::string> fromText = args.Option("from");
  std::optional<std::string> toText = args.Option("to");
  std::optional<std::string> areasText = args.Option("areas");
  std::optional<std::string> sortText = args.Option("sort");
  std::vector<std::string> overlays = args.Rest();
  args.Done();
  if (!db) throw UsageError("--db DIR is required");
  if (!text || text->empty()) throw UsageError("--text T is required and must not be empty");
  if (fromText.has_value() != toText.has_value()) throw UsageError("--from and --to go together");
  if (overlays.size() > static_cast<size_t>(kMaxOverlays)) throw UsageError("at most 20 overlays can be active");

  SearchRequest rq;
  rq.text = AnsiFromUtf8(*text);
  rq.matchCase = matchCase;
  rq.wholeWord = wholeWord;
  if (fromText) {
    rq.range = SearchRange{ParseDate(*fromText), ParseDate(*toText)};
    if (DayNumber(rq.range.from.month, rq.range.from.day, rq.range.from.year) >
        DayNumber(rq.range.thru.month, rq.range.thru.day, rq.range.thru.year))
      throw UsageError("--from must not be later than --to");
  } else {
    rq.range = LoadSearchRange(CurrentDateTime().stamp);
  }
  rq.areas = areasText ? static_cast<uint16_t>(ParseInteger(*areasText, "areas", 1, kAreaAll)) : kAreaAll;
  std::optional<SearchColumn> column;
  if (sortText) column = ParseColumn(*sortText);

  std::string folder = AnsiFromUtf8(*db);
  std::error_code error;
  if (!std::filesystem::is_directory(std::filesystem::path(folder), error)) throw Failure("no database folder " + *db);
  ScriptedMessages messages;
  ScopedMessageSink scope(messages);
  SetDatabaseFolder(folder);
  ResetOverlays();
  for (const std::string& p : overlays) {
    size_t before = messages.Shown().size();
    if (!AddOverlay(AnsiFromUtf8(p)) || messages.Shown().size() != before) throw Failure("cannot load overlay " + p);
  }

  StoreSearchSources sources;
  std::vector<SearchResult> results;
  SearchOutcome outcome = RunSearch(rq, sources, results);
  // Store messages (a damaged file, say) are passed on; "no matches" is an empty list.
  for (const UserMessage& m : messages.Shown())
    if (outcome != SearchOutcome::NoMatches || &m != &messages.Shown().back())
      std::fprintf(stderr, "kvtool: %s\n", OneLine(Utf8FromAnsi(m.text)).c_str());
  if (outcome != SearchOutcome::Found && outcome != SearchOutcome::NoMatches) throw Failure("search refused");
  if (column) SortSearchResults(results, *column);

  Json list = Json::array();
  for (const SearchResult& r : results) {
    Json date = SearchDateText(r).empty() ? Json(nullptr) : Json(DateText(r.date));
    list.push_back(Json{{"type", r.type},
                        {"date", date},
                        {"item", r.item},
                        {"description", Utf8FromAnsi(r.description)},
                        {"where", Utf8FromAnsi(r.where)},
                        {"offset", r.offset}});
  }
  Emit(Json{{"results", list}});
});

}  // namespace
}  // namespace kv::tool
