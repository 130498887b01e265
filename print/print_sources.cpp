#include "print/print_sources.h"

#include "personal/notes.h"
#include "personal/phone.h"
#include "personal/phone_window.h"
#include "personal/schedule.h"
#include "personal/todo.h"

namespace kv {
namespace {

std::vector<PrintScheduleItem> ScheduleOfDay(const DateStamp& date) {
  std::vector<PrintScheduleItem> out;
  // An item stored on the day before or after can fall on this day in the current zone, so the
  // neighbours are listed too.
  DateStamp before = AddDays(date.month, date.day, date.year, -1);
  DateStamp after = AddDays(date.month, date.day, date.year, 1);
  MinuteKey dayStart = MakeMinuteKey(date.year, date.month, date.day);
  for (const SchedListEntry& e : SchedListRange(before.month, after.month, before.year, before.day, after.day, 0xFF)) {
    if (e.start < dayStart || e.start >= dayStart + kMinutesPerDay) continue;
    PrintScheduleItem item;
    item.start = static_cast<int>(e.start - dayStart);
    DateStamp end = SplitMinuteKey(e.end);
    int32_t days = DayNumber(end.month, end.day, end.year) - DayNumber(date.month, date.day, date.year);
    item.end = days * kMinutesPerDay + end.hour * 60 + end.minute;
    item.text = e.title;
    if (e.noteId) {
      DateStamp stored = SplitMinuteKey(e.start);
      int month = e.month & 0x7F;
      int year = stored.year - (month > stored.month ? 1 : 0) + (month + 6 < stored.month ? 1 : 0);
      if (auto note = NoteFindSchedule(year, month, e.day, e.noteId)) item.note = note->text;
    }
    out.push_back(std::move(item));
  }
  return out;
}

}  // namespace

void FillPrintSourcesFromStores(PrintSources& sources, bool stores, bool todoByPriority) {
  sources.schedule = nullptr;
  sources.dayNote = nullptr;
  sources.todo.clear();
  sources.phonebook.clear();
  if (!stores) return;
  sources.schedule = ScheduleOfDay;
  sources.dayNote = [](const DateStamp& d) {
    std::optional<NoteText> note = NoteFindDay(d.year, d.month, d.day);
    return note ? note->text : std::string();
  };

  ToDoSettings settings;
  settings.viewAll = true;
  settings.removeAfterDays = 1 << 20;  // printing removes nothing
  settings.logRemoved = false;
  std::vector<ToDoEntry> todo;
  ToDoLoad(todo, settings);
  ToDoSort(todo, todoByPriority);
  for (const ToDoEntry& e : todo) {
    PrintToDoItem item;
    item.priority = e.item.priority;
    item.due = SplitMinuteKey(e.required);
    item.hasTime = ToDoEntryTime(e) >= 0;
    item.done = e.item.completed != 0;
    item.text = e.item.text;
    if (e.item.noteId)
      if (auto note = NoteFindToDo(e.item.noteId)) item.note = note->text;
    sources.todo.push_back(std::move(item));
  }

  PhoneBook book;
  PhoneLoad(book);
  for (const PhoneIndexEntry& entry : book.index) {
    PhoneFields fields;
    if (!PhoneReadFields(entry.slot, fields)) continue;
    PhoneEntryDisplay shown = DisplayPhoneEntry(fields);
    PrintPhoneEntry out;
    out.heading = shown.heading;
    out.address = shown.address;
    for (const PhoneRow& row : shown.rows)
      if (!row.number.empty()) out.numbers.emplace_back(row.label, row.number);
    if (entry.noteId)
      if (auto note = NoteFindPhone(entry.noteId)) out.note = note->text;
    sources.phonebook.push_back(std::move(out));
  }
}

}  // namespace kv
