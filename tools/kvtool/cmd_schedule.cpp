// kvtool commands over the schedule, the alarms and the notes of a database folder: add, list,
// show a day, delete; find and acknowledge the next alarm; read and write notes.
#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "calendar/zone_conversion.h"
#include "personal/alarms.h"
#include "personal/notes.h"
#include "personal/schedule.h"
#include "personal/schedule_dialog_rules.h"
#include "base/messages.h"
#include "sky/zones.h"
#include "store/db_files.h"
#include "base/file_io.h"
#include "store/phone_file.h"
#include "store/todo_file.h"
#include "tools/kvtool/cli.h"

namespace kv::tool {
namespace {

// The database folder and the zones: the zone file beside kvtool gives the conversions; the
// current zone is the one asked for, else none (times as stored).
void OpenDatabase(Args& args, std::optional<std::string> zone = std::nullopt) {
  std::optional<std::string> db = args.Option("db");
  if (!db) throw UsageError("--db DIR is required");
  std::error_code error;
  if (!std::filesystem::is_directory(*db, error)) throw Failure("no database folder " + *db);
  ResetStore();
  SetDatabaseFolder(*db);
  std::string zones = RunningProgramFolder() + "/KVTZX.DAT";
  if (FileExists(zones) && LoadZoneTable(zones)) {
    SetZoneConversion([](const DateStamp& local, int from, int to) {
      return ConvertBetweenZones(local, FindZone(from), FindZone(to));
    });
  }
  SetCurrentZone(zone ? static_cast<int>(ParseInteger(*zone, "zone", 0, 255)) : 0);
}

std::optional<int> ParseClock(const std::string& text) {
  size_t colon = text.find(':');
  if (colon == std::string::npos || colon == 0 || colon > 2 || text.size() != colon + 3) return std::nullopt;
  int h = 0, m = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (i == colon) continue;
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    (i < colon ? h : m) = (i < colon ? h : m) * 10 + (text[i] - '0');
  }
  if (h > 23 || m > 59) return std::nullopt;
  return h * 60 + m;
}

int ClockOption(Args& args, const char* name, bool required, int fallback) {
  std::optional<std::string> text = args.Option(name);
  if (!text) {
    if (required) throw UsageError(std::string("--") + name + " HH:MM is required");
    return fallback;
  }
  std::optional<int> minutes = ParseClock(*text);
  if (!minutes) throw UsageError(std::string("--") + name + " takes a time HH:MM, not \"" + *text + "\"");
  return *minutes;
}

int RecurKind(const std::string& text) {
  static const std::pair<const char*, int> kinds[] = {
      {"weekly", 2},          {"every-n-days", 3},          {"monthly-day", 4},     {"monthly-weekday", 5},
      {"annual", 6},          {"annual-weekday", 7},        {"every-day", 11},      {"every-n-months", 13},
      {"every-n-years", 14},  {"monthly-last-weekday", 25}, {"monthly-last-day", 26}, {"annual-last-weekday", 27}};
  for (const auto& k : kinds)
    if (text == k.first || text == std::to_string(k.second)) return k.second;
  throw UsageError("unknown recurrence \"" + text +
                   "\" (weekly, every-n-days, monthly-day, monthly-weekday, annual, annual-weekday, every-day, "
                   "every-n-months, every-n-years, monthly-last-weekday, monthly-last-day, annual-last-weekday)");
}

std::string KeyText(MinuteKey key) { return DateTimeText(SplitMinuteKey(key)); }

Command add("sched add",
            "--db DIR --date YYYY-MM-DD --start HH:MM --end HH:MM --title T [--alarm HH:MM] [--sound N] "
            "[--month-calendar] [--zone ID] [--recur KIND [--n N] --until YYYY-MM-DD] [--answer ok|cancel]",
            [](Args& args) {
  OpenDatabase(args);
  std::optional<std::string> dateText = args.Option("date");
  if (!dateText) throw UsageError("--date YYYY-MM-DD is required");
  DateStamp date = ParseDate(*dateText);
  int start = ClockOption(args, "start", true, 0);
  int end = ClockOption(args, "end", true, 0);
  std::optional<std::string> alarmText = args.Option("alarm");
  int alarm = start - 5;  // a new item's default lead
  if (alarmText) {
    std::optional<int> a = ParseClock(*alarmText);
    if (!a) throw UsageError("--alarm takes a time HH:MM");
    alarm = *a;
  }
  std::optional<std::string> title = args.Option("title");
  if (!title) throw UsageError("--title T is required");
  std::string ansiTitle = AnsiFromUtf8(*title);
  if (ansiTitle.size() > kSchedTitleMax) throw UsageError("the title holds at most 39 characters");
  std::optional<std::string> sound = args.Option("sound");
  bool monthCalendar = args.Flag("month-calendar");
  std::optional<std::string> zone = args.Option("zone");
  std::optional<std::string> recur = args.Option("recur");
  std::optional<std::string> n = args.Option("n");
  std::optional<std::string> until = args.Option("until");
  std::optional<std::string> answer = args.Option("answer");
  args.Done();
  if (answer && *answer != "ok" && *answer != "cancel") throw UsageError("--answer takes ok or cancel");
  if (recur && !until) throw UsageError("--recur needs --until YYYY-MM-DD");

  AnsweringMessages sink(!answer || *answer == "ok");
  ScopedMessageSink scope(sink);
  SchedDialogInput in;
  in.start = start;
  in.end = end;
  in.alarmOn = alarmText.has_value();
  in.alarm = alarm;
  in.date = date;
  in.recurKind = recur ? RecurKind(*recur) : 1;
  if (until) in.until = ParseDate(*until);
  if (n) in.count = static_cast<int>(ParseInteger(*n, "n", -1000, 1000));
  in.title = ansiTitle;
  SchedValidation v = SchedValidate(in);
  if (!v.ok) throw Failure(sink.Last());

  SchedSaveRequest req;
  SchedItem& item = req.item;
  item.action = kSchedActionNew;
  item.flag = monthCalendar ? (kSchedFlagItem | kSchedFlagMonthCalendar) : kSchedFlagItem;
  item.year = date.year;
  item.month = date.month;
  item.day = date.day;
  item.record.start = static_cast<int16_t>(start);
  item.record.end = static_cast<int16_t>(v.end);
  item.record.alarm = static_cast<int16_t>(alarm);
  item.record.armed = alarmText ? 1 : 0;
  item.record.sound = static_cast<uint8_t>(sound ? ParseInteger(*sound, "sound", 0, kAlarmSounds) : 0);
  item.record.title = ansiTitle;
  item.record.zone = static_cast<uint8_t>(zone ? ParseInteger(*zone, "zone", 0, 255) : CurrentZone());
  item.record.recurKind = static_cast<uint8_t>(in.recurKind);
  req.until = in.until.value_or(DateStamp{});
  req.recurN = in.count.value_or(0);
  SchedSaveResult r = SchedSave(req);
  Json ids = Json::array();
  for (uint16_t id : r.ids) ids.push_back(id);
  Emit(Json{{"stored", r.stored}, {"conflicts", r.conflicts}, {"ids", ids}, {"series", r.seriesId},
            {"messages", sink.Texts()}});
});

Command list("sched list", "--db DIR --from YYYY-MM-DD --to YYYY-MM-DD [--mask 1|2] [--zone ID]", [](Args& args) {
  std::optional<std::string> zone = args.Option("zone");
  OpenDatabase(args, zone);
  std::optional<std::string> fromText = args.Option("from"), toText = args.Option("to"), maskText = args.Option("mask");
  args.Done();
  if (!fromText || !toText) throw UsageError("--from and --to are required");
  DateStamp from = ParseDate(*fromText), to = ParseDate(*toText);
  if (DayNumber(to.month, to.day, to.year) < DayNumber(from.month, from.day, from.year))
    throw UsageError("--to lies before --from");
  uint8_t mask = static_cast<uint8_t>(maskText ? ParseInteger(*maskText, "mask", 1, 2) : 1);
  ScriptedMessages sink;
  ScopedMessageSink scope(sink);
  std::vector<SchedListEntry> all;
  // A month at a time, as search does, so that any span can be listed.
  for (int y = from.year, m = from.month; y < to.year || (y == to.year && m <= to.month);) {
    int first = y == from.year && m == from.month ? from.day : 1;
    int last = y == to.year && m == to.month ? to.day : MonthLength(m, y);
    std::vector<SchedListEntry> part = SchedListRange(m, m, y, first, last, mask);
    all.insert(all.end(), part.begin(), part.end());
    if (++m > 12) m = 1, ++y;
  }
  std::stable_sort(all.begin(), all.end(), [](const SchedListEntry& a, const SchedListEntry& b) { return a.start < b.start; });
  for (const UserMessage& m : sink.Shown()) std::fprintf(stderr, "kvtool: %s\n", Utf8FromAnsi(m.text).c_str());
  Json entries = Json::array();
  for (const SchedListEntry& e : all)
    entries.push_back(Json{{"start", KeyText(e.start)}, {"end", KeyText(e.end)}, {"alarm", e.alarm}, {"id", e.id},
                           {"note", e.noteId}, {"month", e.month}, {"day", e.day}, {"alarmbyte", e.alarmByte},
                           {"zone", e.zone}, {"title", Utf8FromAnsi(e.title)}});
  Emit(Json{{"entries", entries}});
});

Command day("sched day", "--db DIR YYYY-MM-DD", [](Args& args) {
  OpenDatabase(args);
  DateStamp date = ParseDate(args.Positional("date"));
  args.Done();
  ScriptedMessages sink;
  ScopedMessageSink scope(sink);
  ResetSchedule();
  SchedLoadDay(date.day, MonthKey(date.year, date.month));
  const SchedDayList& d = SchedDay();
  Json items = Json::array();
  for (const SchedItem& it : d.items)
    items.push_back(Json{{"id", it.id}, {"start", it.record.start}, {"end", it.record.end}, {"alarm", it.record.alarm},
                         {"title", Utf8FromAnsi(it.record.title)}, {"series", it.record.seriesId}});
  Emit(Json{{"before", d.before}, {"within", d.within}, {"items", items}});
});

// The stored item named by --date and --id (taken out of the arguments before Done()).
struct NamedItem {
  std::optional<std::string> dateText, idText;
  explicit NamedItem(Args& args) : dateText(args.Option("date")), idText(args.Option("id")) {}
  SchedItem Read() const {
    if (!dateText || !idText) throw UsageError("--date and --id are required");
    DateStamp date = ParseDate(*dateText);
    uint16_t id = static_cast<uint16_t>(ParseInteger(*idText, "id", 1, 65535));
    std::optional<SchedItem> item = SchedReadItem(date.year, date.month, date.day, id);
    if (!item) throw Failure("no item " + *idText + " on " + *dateText);
    return *item;
  }
};

Command del("sched del", "--db DIR --date YYYY-MM-DD --id N [--series [--until YYYY-MM-DD]]", [](Args& args) {
  OpenDatabase(args);
  NamedItem named(args);
  std::optional<std::string> untilText = args.Option("until");
  bool series = args.Flag("series");
  args.Done();
  AnsweringMessages sink(true);
  ScopedMessageSink scope(sink);
  std::optional<SchedItem> item = named.Read();
  DateStamp date{item->year, static_cast<uint16_t>(item->month), static_cast<uint16_t>(item->day)};
  SchedSaveRequest req;
  req.item = *item;
  req.item.action = kSchedActionDelete;
  if (!series || item->record.seriesId == 0 || item->record.recurKind < 2) {
    req.item.record.recurKind = 0;  // this occurrence alone
  } else {
    // Every occurrence from this date through --until (ten years on by default).
    req.until = untilText ? ParseDate(*untilText) : DateStamp{std::min(date.year + 10, 9999), 12, 31};
    req.recurN = item->record.recurCount;
  }
  SchedSaveResult r = SchedSave(req);
  if (!r.ok) throw Failure(sink.Last().empty() ? "nothing deleted" : sink.Last());
  Emit(Json{{"deleted", req.item.record.recurKind >= 2 ? r.stored : 1}});
});

Command alarmNext("alarm next", "--db DIR --now YYYY-MM-DDTHH:MM", [](Args& args) {
  OpenDatabase(args);
  std::optional<std::string> nowText = args.Option("now");
  args.Done();
  if (!nowText) throw UsageError("--now YYYY-MM-DDTHH:MM is required");
  DateStamp now = ParseDateTime(*nowText);
  ScriptedMessages sink;
  ScopedMessageSink scope(sink);
  ResetAlarms();
  AlarmFindNextOn(now, false);
  const PendingAlarm& p = Alarms().pending;
  if (p.minute == kAlarmNone) return Emit(Json{{"minute", kAlarmNone}});
  Emit(Json{{"minute", p.minute}, {"sound", p.sound}, {"start", p.eventTime}, {"id", p.id},
            {"title", Utf8FromAnsi(p.title)}, {"due", p.minute <= now.hour * 60 + now.minute}});
});

Command alarmAck("alarm ack", "--db DIR --date YYYY-MM-DD --id N", [](Args& args) {
  OpenDatabase(args);
  NamedItem named(args);
  args.Done();
  AnsweringMessages sink(true);
  ScopedMessageSink scope(sink);
  SchedItem item = named.Read();
  DateStamp date{item.year, static_cast<uint16_t>(item.month), static_cast<uint16_t>(item.day)};
  uint16_t id = item.id;
  ResetAlarms();
  PendingAlarm& shown = Alarms().shown;
  shown.id = id;
  shown.day = date.day;
  shown.monthKey = MonthKey(date.year, date.month);
  AlarmFindNextOn(date, true);
  bool armed = SchedReadItem(date.year, date.month, date.day, id)->record.armed != 0;
  if (armed) throw Failure(sink.Last().empty() ? "the alarm could not be switched off" : sink.Last());
  Emit(Json{{"id", id}, {"armed", 0}});
});

// The note's context from --day, --sched with --date, --todo or --phone, with the owner's note id.
NoteContext NoteContextOf(Args& args) {
  std::optional<std::string> dayText = args.Option("day"), sched = args.Option("sched"), dateText = args.Option("date"),
                             todo = args.Option("todo"), phone = args.Option("phone");
  int given = !!dayText + !!sched + !!todo + !!phone;
  if (given != 1) throw UsageError("give one of --day, --sched (with --date), --todo, --phone");
  if (dayText) {
    DateStamp d = ParseDate(*dayText);
    NoteContext c = DayNoteContext(d.year, d.month, d.day);
    if (auto note = NoteFind(c)) c.noteId = note->id;
    return c;
  }
  if (sched) {
    if (!dateText) throw UsageError("--sched needs --date YYYY-MM-DD");
    DateStamp d = ParseDate(*dateText);
    uint16_t id = static_cast<uint16_t>(ParseInteger(*sched, "sched", 1, 65535));
    std::optional<SchedItem> item = SchedReadItem(d.year, d.month, d.day, id);
    if (!item) throw Failure("no item " + *sched + " on " + *dateText);
    return ScheduleNoteContext(d.year, d.month, d.day, id, item->record.noteId);
  }
  if (todo) {
    uint16_t slot = static_cast<uint16_t>(ParseInteger(*todo, "todo", 1, 65535));
    if (!FileExists(ToDoFilePath()) || !ToDoStoreOpen(kDbModeRead, 1990)) throw Failure("no to-do file");
    std::optional<ToDoItem> item = ToDoReadItem(slot);
    ToDoStoreClose();
    if (!item) throw Failure("no to-do item " + *todo);
    return ToDoNoteContext(slot, ToDoItemNoteId(*item));
  }
  int16_t id = static_cast<int16_t>(ParseInteger(*phone, "phone", 1, 32767));
  if (!FileExists(PhoneFilePath()) || !PhoneStoreOpen(kDbModeRead, 1990)) throw Failure("no phonebook file");
  std::vector<PhoneLoaded> entries;
  PhoneLoadEntries(entries);
  PhoneStoreClose();
  for (const PhoneLoaded& e : entries)
    if (PhoneEntryId(e.entry) == id) return PhoneNoteContext(static_cast<uint16_t>(id), PhoneEntryNoteId(e.entry));
  throw Failure("no phonebook entry " + *phone);
}

Command noteGet("note get", "--db DIR (--day YYYY-MM-DD | --sched ID --date YYYY-MM-DD | --todo ID | --phone ID)",
                [](Args& args) {
  OpenDatabase(args);
  AnsweringMessages sink(true);
  ScopedMessageSink scope(sink);
  NoteContext c = NoteContextOf(args);
  args.Done();
  std::optional<NoteText> note = NoteFind(c);
  Emit(Json{{"id", note ? note->id : 0}, {"text", note ? Utf8FromAnsi(note->text) : std::string()}});
});

Command noteSet("note set",
                "--db DIR (--day YYYY-MM-DD | --sched ID --date YYYY-MM-DD | --todo ID | --phone ID) --text T",
                [](Args& args) {
  OpenDatabase(args);
  std::optional<std::string> text = args.Option("text");
  if (!text) throw UsageError("--text T is required (an empty text deletes the note)");
  AnsweringMessages sink(true);
  ScopedMessageSink scope(sink);
  NoteContext c = NoteContextOf(args);
  args.Done();
  if (!NoteSave(c, AnsiFromUtf8(*text))) throw Failure(sink.Last());
  Emit(Json{{"id", c.noteId}});
});

}  // namespace
}  // namespace kv::tool
