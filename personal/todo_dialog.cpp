#include "personal/todo_dialog.h"

#include <cctype>

#include "base/messages.h"
#include "resources/strings.h"
#include "sky/zones.h"

namespace kv {
namespace {

constexpr int kStrCreateTitle = 25501;   // "Create To-Do Item"
constexpr int kStrEditTitle = 25502;     // "Edit To-Do Item"
constexpr int kStrDaysRange = 25503;
constexpr int kStrZoneNumber = 25504;    // "Time zone %d"

std::string Trimmed(const std::string& s) {
  size_t first = s.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  size_t last = s.find_last_not_of(" \t");
  return s.substr(first, last - first + 1);
}

DateStamp OrInvalid(const std::optional<DateStamp>& d) {
  if (d) return DateStamp{d->year, d->month, d->day, 0, 0};
  return DateStamp{0, 0, 0, 0, 0};
}

}  // namespace

ToDoForm ToDoFormFromFields(const ToDoDialogFields& f) {
  ToDoForm form;
  form.text = f.text;
  form.activate = OrInvalid(f.activate);
  form.required = OrInvalid(f.required);
  if (f.timeBox == kToDoTimeBoxEmpty) form.timeOfDay = kToDoNoTime;
  else if (f.timeBox < 0 || f.timeBox > kToDoNoTime) form.timeOfDay = -1;
  else form.timeOfDay = f.timeBox;
  form.priority = f.priority;
  form.zone = f.zone;
  return form;
}

ToDoDialogShown ToDoDialogShownFor(const ToDoForm& form, bool editing, bool zonesChoosable) {
  ToDoDialogShown s;
  s.titleId = editing ? kStrEditTitle : kStrCreateTitle;
  s.timeBox = form.timeOfDay >= 0 && form.timeOfDay < kToDoNoTime ? form.timeOfDay : kToDoTimeBoxEmpty;
  s.zoneEnabled = ToDoZoneButtonEnabled(s.timeBox, zonesChoosable);
  s.removeEnabled = editing;
  return s;
}

bool ToDoZoneButtonEnabled(int timeBox, bool zonesChoosable) {
  return zonesChoosable && timeBox >= 0 && timeBox < kToDoNoTime;
}

std::string ToDoZoneName(int zone) {
  if (const ZoneRecord* z = FindZone(zone); z && !z->display.empty()) return z->display;
  return FormatText(std::string(StringText(kStrZoneNumber)).c_str(), zone);
}

ToDoOptionsFields ToDoOptionsFieldsFor(const ToDoSettings& s) {
  ToDoOptionsFields f;
  f.sortByPriority = s.sortByPriority;
  f.hideCompleted = s.hideCompleted;
  f.removeAfterDays = std::to_string(s.removeAfterDays);
  f.logRemoved = s.logRemoved;
  f.archiveName = s.archiveName;
  f.logNotes = s.logNotes;
  return f;
}

ToDoOptionsField ToDoApplyOptions(const ToDoOptionsFields& f, ToDoSettings& settings) {
  std::string days = Trimmed(f.removeAfterDays);
  bool digits = !days.empty() && days.size() <= 3;
  for (char ch : days) digits = digits && std::isdigit(static_cast<unsigned char>(ch));
  if (!digits) {
    ShowMessage(std::string(StringText(kStrDaysRange)), MsgIcon::Warning);
    return ToDoOptionsField::Days;
  }
  std::string name = Trimmed(f.archiveName);
  bool changed = name != settings.archiveName;
  bool unusable = !ToDoValidArchiveName(name);
  // A new name is checked as the archive will use it; an unusable old one only matters while
  // items are logged to it.
  if ((changed || (f.logRemoved && unusable)) && !ToDoCheckArchiveName(name)) return ToDoOptionsField::ArchiveName;
  settings.sortByPriority = f.sortByPriority;
  settings.hideCompleted = f.hideCompleted;
  settings.removeAfterDays = std::stoi(days);
  settings.logRemoved = f.logRemoved;
  settings.archiveName = name;
  settings.logNotes = f.logNotes;
  return ToDoOptionsField::None;
}

}  // namespace kv
