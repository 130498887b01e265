// kvtool commands over the to-do list of a database folder: add items, list them as the to-do
// window would (pending or all, either order), check them off and on, remove them, and list the
// items the day display shows for a date. The settings are those of a new configuration.
#include <climits>

#include "personal/todo.h"
#include "tools/kvtool/cli.h"
#include "tools/kvtool/db_session.h"

namespace kv::tool {
namespace {

int ParseTime(const std::string& text) {
  if (text.size() != 5 || text[2] != ':') throw UsageError("\"" + text + "\" is not a time of the form HH:MM");
  return static_cast<int>(ParseInteger(text.substr(0, 2), "hour", 0, 23) * 60 +
                          ParseInteger(text.substr(3), "minute", 0, 59));
}

Json ItemJson(const ToDoEntry& e, MinuteKey now) {
  Json done = nullptr;
  if (e.item.completed != 0) done = DateTimeText(SplitMinuteKey(e.item.completed));
  return Json{{"slot", e.slot},
              {"text", Utf8FromAnsi(e.item.text)},
              {"priority", e.item.priority},
              {"due", DateTimeText(SplitMinuteKey(e.required))},
              {"activate", DateText(SplitMinuteKey(e.activate))},
              {"done", done},
              {"note", e.item.noteId},
              {"overdue", ToDoIsOverdue(e, now)}};
}

Json ItemsJson(const std::vector<ToDoEntry>& entries) {
  MinuteKey now = MakeMinuteKey(CurrentDateTime().stamp);
  Json items = Json::array();
  for (const ToDoEntry& e : entries) items.push_back(ItemJson(e, now));
  return Json{{"items", items}};
}

// The entry of a slot, without removing anything on the way.
ToDoEntry EntryOfSlot(uint16_t slot) {
  ToDoSettings all;
  all.viewAll = true;
  all.removeAfterDays = INT_MAX;
  std::vector<ToDoEntry> entries;
  ToDoLoad(entries, all);
  for (const ToDoEntry& e : entries) {
    if (e.slot == slot) return e;
  }
  throw Failure("no item in slot " + std::to_string(slot));
}

uint16_t SlotArgument(Args& args) {
  std::optional<std::string> slot = args.Option("slot");
  if (!slot) throw UsageError("--slot N is required");
  return static_cast<uint16_t>(ParseInteger(*slot, "slot", 1, 0xFFFF));
}

Command add("todo add",
            "--db DIR --text T --due YYYY-MM-DD [--time HH:MM] [--activate YYYY-MM-DD] [--priority 1-3] [--zone ID]",
            [](Args& args) {
              DbSession session(args);
              std::optional<std::string> text = args.Option("text");
              std::optional<std::string> due = args.Option("due");
              if (!text || !due) throw UsageError("--text and --due are required");
              ToDoForm form = NewToDoForm(ParseDate(*due));
              form.text = AnsiFromUtf8(*text);
              if (form.text.size() > kToDoTextMax) throw UsageError("--text holds at most 39 characters");
              if (auto time = args.Option("time")) form.timeOfDay = ParseTime(*time);
              if (auto activate = args.Option("activate")) form.activate = ParseDate(*activate);
              if (auto priority = args.Option("priority")) {
                form.priority = static_cast<int>(ParseInteger(*priority, "priority", 1, 3));
              }
              if (auto zone = args.Option("zone")) form.zone = static_cast<uint8_t>(ParseInteger(*zone, "zone", 1, 255));
              args.Done();
              ToDoSaveResult r = ToDoSave(form);
              if (!r.Ok()) session.log.Fail("the item could not be stored");
              Emit(Json{{"slot", r.slot}});
            });

Command list("todo list", "--db DIR [--all] [--by-priority] [--now YYYY-MM-DDTHH:MM]", [](Args& args) {
  DbSession session(args);
  ToDoSettings settings;
  settings.viewAll = args.Flag("all");
  settings.sortByPriority = args.Flag("by-priority");
  args.Done();
  std::vector<ToDoEntry> entries;
  ToDoLoad(entries, settings);
  session.log.Warn();
  Emit(ItemsJson(entries));
});

// Checks an item off (done) or on again (undone); nothing changes when it already is so.
void SetDone(Args& args, bool done) {
  DbSession session(args);
  uint16_t slot = SlotArgument(args);
  args.Done();
  ToDoEntry entry = EntryOfSlot(slot);
  if ((entry.item.completed != 0) != done && !ToDoToggle(entry)) session.log.Fail("the item could not be changed");
  Emit(ItemJson(entry, MakeMinuteKey(CurrentDateTime().stamp)));
}

Command done("todo done", "--db DIR --slot N [--now YYYY-MM-DDTHH:MM]", [](Args& args) { SetDone(args, true); });
Command undone("todo undone", "--db DIR --slot N [--now YYYY-MM-DDTHH:MM]", [](Args& args) { SetDone(args, false); });

Command remove("todo remove", "--db DIR --slot N [--now YYYY-MM-DDTHH:MM]", [](Args& args) {
  DbSession session(args);
  uint16_t slot = SlotArgument(args);
  args.Done();
  ToDoEntry entry = EntryOfSlot(slot);
  if (!ToDoRemove(entry, false, ToDoSettings{})) session.log.Fail("the item could not be removed");
  Emit(Json{{"slot", entry.slot}, {"removed", true}});
});

Command due("todo due", "--db DIR YYYY-MM-DD [--by-priority] [--now YYYY-MM-DDTHH:MM]", [](Args& args) {
  DbSession session(args);
  bool byPriority = args.Flag("by-priority");
  DateStamp date = ParseDate(args.Positional("date"));
  args.Done();
  std::vector<ToDoEntry> entries;
  ToDoListForDate(date, entries, byPriority);
  session.log.Warn();
  Emit(ItemsJson(entries));
});

}  // namespace
}  // namespace kv::tool
