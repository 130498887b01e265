#include "personal/todo.h"

#include <algorithm>

#include "calendar/clock.h"
#include "calendar/date_format.h"
#include "calendar/regional.h"
#include "calendar/zone_conversion.h"
#include "personal/notes.h"
#include "resources/strings.h"
#include "base/messages.h"
#include "base/bytes.h"
#include "store/container_format.h"
#include "store/db_files.h"
#include "base/file_io.h"

namespace kv {
namespace {

constexpr int kStrTitleRequired = 21010;        // "The entry requires a title/description."
constexpr int kStrNotes = 1059;                 // "Notes"
constexpr int kStrInvalidDateTime = 24500;
constexpr int kStrDateConflict = 24501;
constexpr int kStrMarkIncomplete = 24502;
constexpr int kStrRemoveItem = 24503;
constexpr int kStrInvalidFilename = 24504;
constexpr int kStrArchiveExists = 24505;
constexpr int kStrArchiveFailed = 24506;

std::string Text(int id) { return std::string(StringText(id)); }

bool RemoveNote(uint16_t noteId) { return NoteDeleteForRemovedOwner(kNoteToDo, noteId, kCallerToDoNoteDelete); }

std::optional<std::string> ReadNote(uint16_t noteId) {
  auto note = NoteFindToDo(noteId, kCallerToDoNoteDelete);
  if (!note) return std::nullopt;
  return note->text;
}


int TimeOfKey(MinuteKey key) {
  DateStamp d = SplitMinuteKey(key);
  return d.hour * 60 + d.minute;
}

// The zone an item's time is in: 0 means the current zone.
int EffectiveZone(uint8_t zone) { return zone == 0 ? CurrentZone() : zone; }

// The required key in the current zone. An item without a time keeps its date: converting its
// 23:59 would make it show a time and perhaps another day.
MinuteKey RequiredInCurrentZone(MinuteKey required, uint8_t zone) {
  int from = EffectiveZone(zone);
  if (from == CurrentZone() || TimeOfKey(required) == kToDoNoTime) return required;
  return MakeMinuteKey(ConvertZoneTime(SplitMinuteKey(required), from, CurrentZone()));
}

ToDoEntry MakeEntry(const ToDoRecord& record, const ToDoListed& listed) {
  ToDoEntry entry;
  entry.item = record;
  if (entry.item.zone == 0) entry.item.zone = static_cast<uint8_t>(CurrentZone());
  entry.activate = listed.activate;
  entry.required = RequiredInCurrentZone(listed.sortKey, record.zone);
  entry.slot = listed.slot;
  return entry;
}

// Days since a completion time; nothing when the key holds no real date.
std::optional<int32_t> DaysSince(MinuteKey completed, const DateStamp& today) {
  DateStamp done = SplitMinuteKey(completed);
  if (!IsValidDate(done.month, done.day, done.year)) return std::nullopt;
  return DayNumber(today.month, today.day, today.year) - DayNumber(done.month, done.day, done.year);
}

bool ShowQuestion(const std::string& text) {
  return ShowMessage(text, MsgIcon::Question, MsgButtons::OkCancel) == MsgAnswer::Ok;
}

std::string DateText(MinuteKey key) {
  DateStamp d = SplitMinuteKey(key);
  return FormatShortDate(d.month, d.day, d.year);
}

bool AppendToFile(const std::string& path, const std::string& text) {
  BinaryFile file;
  if (!file.Open(path, BinaryFile::Access::ReadWrite) && !file.Create(path)) return false;
  int64_t size = file.Size();
  return size >= 0 && file.WriteAt(static_cast<uint64_t>(size), text.data(), text.size());
}

}  // namespace

ToDoRecord ParseToDoRecord(const ToDoItem& item) {
  ToDoRecord r;
  std::copy_n(item.begin(), 6, r.reserved0.begin());
  r.zone = item[6];
  r.marker = item[7];
  r.noteId = ToDoItemNoteId(item);
  std::copy_n(item.begin() + 10, 4, r.reserved10.begin());
  r.priority = item[14];
  r.completed = ToDoItemCompletion(item);
  r.text = ReadFixedText(item.data() + 19, 40);
  return r;
}

ToDoItem SerializeToDoRecord(const ToDoRecord& r) {
  ToDoItem item{};
  std::copy(r.reserved0.begin(), r.reserved0.end(), item.begin());
  item[6] = r.zone;
  item[7] = r.marker;
  SetToDoItemNoteId(item, r.noteId);
  std::copy(r.reserved10.begin(), r.reserved10.end(), item.begin() + 10);
  item[14] = r.priority;
  SetToDoItemCompletion(item, r.completed);
  PutFixedText(item.data() + 19, 40, r.text);
  return item;
}

int ToDoLoad(std::vector<ToDoEntry>& entries, const ToDoSettings& settings) {
  entries.clear();
  if (!FileExists(ToDoFilePath()) || !ToDoStoreOpen(kDbModeRead, kCallerToDoLoad)) return 0;
  CurrentTime now = CurrentDateTime();
  MinuteKey nowKey = MakeMinuteKey(now.stamp);
  bool open = true;
  for (const ToDoListed& listed : ToDoListOrder()) {
    if (!settings.viewAll && listed.activate > nowKey) continue;
    std::optional<ToDoItem> raw = ToDoReadItem(listed.slot);
    if (!raw) continue;
    ToDoRecord record = ParseToDoRecord(*raw);
    ToDoEntry entry = MakeEntry(record, listed);
    if (record.completed != 0) {
      std::optional<int32_t> days = DaysSince(record.completed, now.stamp);
      if (days && *days >= settings.removeAfterDays) {
        // The walk's order was taken already; removing this slot leaves the others in place.
        // An item whose removal failed (its archive could not be written) stays listed.
        ToDoStoreClose();
        bool removed = ToDoRemove(entry, false, settings);
        open = ToDoStoreOpen(kDbModeRead, kCallerToDoReopen) != 0;
        if (!open) break;
        if (removed) continue;
      }
      if (!settings.viewAll && settings.hideCompleted) continue;
    }
    entries.push_back(std::move(entry));
  }
  if (open) ToDoStoreClose();
  ToDoSort(entries, settings.sortByPriority);
  return static_cast<int>(entries.size());
}

void ToDoSort(std::vector<ToDoEntry>& entries, bool byPriority) {
  auto less = [byPriority](const ToDoEntry& a, const ToDoEntry& b) {
    if (byPriority) {
      if (a.item.priority != b.item.priority) return a.item.priority < b.item.priority;
      return a.required < b.required;
    }
    if (a.required != b.required) return a.required < b.required;
    return a.item.priority < b.item.priority;
  };
  std::stable_sort(entries.begin(), entries.end(), less);
}

bool ToDoIsOverdue(const ToDoEntry& entry, MinuteKey now) {
  return entry.item.completed == 0 && entry.required <= now;
}

int ToDoEntryTime(const ToDoEntry& entry) {
  int t = TimeOfKey(entry.required);
  return t == kToDoNoTime ? -1 : t;
}

ToDoForm NewToDoForm(const DateStamp& requiredDate) {
  ToDoForm form;
  form.activate = DateOnly(CurrentDateTime().stamp);
  form.required = DateOnly(requiredDate);
  form.timeOfDay = kToDoNoTime;
  form.priority = 1;
  form.zone = static_cast<uint8_t>(CurrentZone());
  return form;
}

ToDoForm ToDoFormFor(const ToDoEntry& entry) {
  ToDoForm form;
  form.text = entry.item.text;
  form.activate = DateOnly(SplitMinuteKey(entry.activate));
  form.priority = entry.item.priority;
  form.zone = static_cast<uint8_t>(EffectiveZone(entry.item.zone));
  DateStamp required = SplitMinuteKey(entry.required);
  if (required.hour * 60 + required.minute != kToDoNoTime && form.zone != CurrentZone()) {
    required = ConvertZoneTime(required, CurrentZone(), form.zone);
  }
  form.timeOfDay = required.hour * 60 + required.minute;
  form.required = DateOnly(required);
  return form;
}

ToDoSaveResult ToDoSave(const ToDoForm& form, const ToDoEntry* edited) {
  ToDoSaveResult result;
  auto refuse = [&result](int id, MsgIcon icon, MsgBeep beep, ToDoField focus) {
    UserMessage m;
    m.text = Text(id);
    m.caption = Text(IDS_PRODUCT_NAME);
    m.icon = icon;
    m.beep = beep;
    ShowUserMessage(m);
    result.messageId = id;
    result.focus = focus;
    return result;
  };
  if (form.text.empty()) return refuse(kStrTitleRequired, MsgIcon::None, MsgBeep::Default, ToDoField::Text);
  auto badDate = [](const DateStamp& d) { return !IsValidDate(d.month, d.day, d.year); };
  ToDoField invalid = badDate(form.activate)                              ? ToDoField::Activate
                      : badDate(form.required)                            ? ToDoField::Required
                      : form.timeOfDay < 0 || form.timeOfDay > kToDoNoTime ? ToDoField::Time
                                                                          : ToDoField::None;
  if (invalid != ToDoField::None) return refuse(kStrInvalidDateTime, MsgIcon::Warning, MsgBeep::Warning, invalid);
  MinuteKey activate = MakeMinuteKey(form.activate.year, form.activate.month, form.activate.day);
  MinuteKey required = MakeMinuteKey(form.required.year, form.required.month, form.required.day,
                                     form.timeOfDay / 60, form.timeOfDay % 60);
  if (required < activate) return refuse(kStrDateConflict, MsgIcon::Warning, MsgBeep::Warning, ToDoField::Activate);

  ToDoRecord record = edited ? edited->item : ToDoRecord{};
  record.text = form.text.substr(0, kToDoTextMax);
  record.zone = static_cast<uint8_t>(form.zone == 0 ? CurrentZone() : form.zone);
  record.marker = 1;
  record.priority = static_cast<uint8_t>(std::clamp(form.priority, 1, 3));
  record.completed = 0;
  result.slot = ToDoInsertItem(activate, required, SerializeToDoRecord(record), edited ? edited->slot : 0);
  return result;
}

bool ToDoToggle(ToDoEntry& entry) {
  if (entry.item.completed != 0 && !ShowQuestion(Text(kStrMarkIncomplete) + "\n\n" + entry.item.text)) return false;
  std::optional<MinuteKey> done = ToDoToggleDone(entry.slot, MakeMinuteKey(CurrentDateTime().stamp));
  if (!done) return false;
  std::vector<ToDoEntry> one{entry};
  if (ToDoRefreshEntry(one, entry.slot)) {
    entry = one.front();
  } else {
    entry.item.completed = *done;
  }
  return true;
}

bool ToDoRemove(const ToDoEntry& entry, bool ask, const ToDoSettings& settings) {
  if (ask && !ShowQuestion(Text(kStrRemoveItem) + "\n\n" + entry.item.text)) return false;
  if (entry.item.completed != 0 && settings.logRemoved && !ToDoArchive(entry, settings)) return false;
  // A note that cannot be deleted stays behind unowned; the item goes all the same.
  if (entry.item.noteId != 0) RemoveNote(entry.item.noteId);
  return ToDoRemoveItem(entry.slot) != 0;
}

std::string ToDoArchiveText(const ToDoEntry& entry, const std::string& noteText) {
  std::string required = DateText(entry.required);
  int time = ToDoEntryTime(entry);
  if (time >= 0) required.append(" ").append(FormatTimeOfDay(time, Regional()));
  // Built by appending: GCC 12 warns falsely about a literal in front of a temporary string.
  std::string out = "\"";
  out.append(entry.item.text).append("\",\"").append(required).append("\",\"");
  out.append(DateText(entry.activate)).append("\"");
  if (!noteText.empty()) out.append("\r\n").append(Text(kStrNotes)).append(":\r\n").append(noteText);
  out += "\r\n:\r\n";
  return out;
}

bool ToDoArchive(const ToDoEntry& entry, const ToDoSettings& settings) {
  if (!ToDoValidArchiveName(settings.archiveName)) {
    ShowMessage(Text(kStrInvalidFilename), MsgIcon::Warning);
    return false;
  }
  std::string note;
  if (settings.logNotes && entry.item.noteId != 0) note = ReadNote(entry.item.noteId).value_or("");
  std::string path = JoinPath(DatabaseFolder(), settings.archiveName);
  if (!AppendToFile(path, ToDoArchiveText(entry, note))) {
    ShowMessage(FormatText(Text(kStrArchiveFailed).c_str(), path.c_str()), MsgIcon::Warning);
    return false;
  }
  return true;
}

bool ToDoValidArchiveName(const std::string& name) {
  return !name.empty() && name.find_first_of("/\\") == std::string::npos;
}

bool ToDoCheckArchiveName(const std::string& name) {
  if (!ToDoValidArchiveName(name)) {
    ShowMessage(Text(kStrInvalidFilename), MsgIcon::Warning);
    return false;
  }
  if (!FileExists(JoinPath(DatabaseFolder(), name))) return true;
  return ShowMessage(Text(kStrArchiveExists), MsgIcon::Question, MsgButtons::YesNo) == MsgAnswer::Yes;
}

int ToDoListForDate(const DateStamp& date, std::vector<ToDoEntry>& entries, bool byPriority) {
  entries.clear();
  if (!IsValidDate(date.month, date.day, date.year)) return 0;
  if (!FileExists(ToDoFilePath()) || !ToDoStoreOpen(kDbModeRead, kCallerToDoReopen)) return 0;
  MinuteKey start = MakeMinuteKey(date.year, date.month, date.day);
  MinuteKey end = start + kMinutesPerDay;
  DateStamp today = CurrentDateTime().stamp;
  bool isToday = today.year == date.year && today.month == date.month && today.day == date.day;
  for (const ToDoListed& listed : ToDoListOrder()) {
    if (listed.activate > end) break;
    std::optional<ToDoItem> raw = ToDoReadItem(listed.slot);
    if (!raw) continue;
    ToDoEntry entry = MakeEntry(ParseToDoRecord(*raw), listed);
    if (entry.required >= end) continue;
    if (entry.required >= start || (isToday && entry.item.completed == 0)) entries.push_back(std::move(entry));
  }
  ToDoStoreClose();
  ToDoSort(entries, byPriority);
  return static_cast<int>(entries.size());
}

bool ToDoRefreshEntry(std::vector<ToDoEntry>& entries, uint16_t slot) {
  auto it = std::find_if(entries.begin(), entries.end(), [slot](const ToDoEntry& e) { return e.slot == slot; });
  if (it == entries.end() || !ToDoStoreOpen(kDbModeRead, kCallerToDoLoad)) return false;
  std::optional<ToDoItem> raw = ToDoReadItem(slot);
  ToDoStoreClose();
  if (!raw) return false;
  ToDoRecord record = ParseToDoRecord(*raw);
  if (record.zone == 0) record.zone = static_cast<uint8_t>(CurrentZone());
  it->item = record;
  return true;
}


}  // namespace kv
