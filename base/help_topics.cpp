#include "base/help_topics.h"

#include <algorithm>
#include <string>

#include "resources/alarm_dialog.h"
#include "resources/clock_dialog.h"
#include "resources/database_path_dialog.h"
#include "resources/internet_dialog.h"
#include "resources/location_dialog.h"
#include "resources/migrate_dialog.h"
#include "resources/options_dialog.h"
#include "resources/overlays_dialog.h"
#include "resources/schedule_dialog.h"
#include "resources/search_dialog.h"
#include "resources/sound_dialog.h"
#include "resources/todo_dialog.h"
#include "resources/views_dialogs.h"

namespace kv {
namespace {

struct NumberedTopic {
  int id;
  const char* topic;
};

struct NamedTopic {
  const char* name;
  const char* topic;
};

// Dialogs whose templates are numbered. Some numbers belong to dialogs of the printing, GPS and
// world map modules; they are listed by their established numbers.
constexpr NumberedTopic kNumbered[] = {
    {IDD_WELCOME, "welcome.htm"},
    {IDD_CLOCK_ICON, "desktop_clock.htm"},
    {IDD_MAIN_DATE, "go_to_date.htm"},
    {114, "page_layout.htm"},
    {IDD_QUICK_EDIT, "quick_edit.htm"},
    {IDD_SOUND, "sound_setup.htm"},
    {IDD_ALARM, "alarms.htm"},
    {IDD_TIME_ZONE, "time_zones.htm"},
    {IDD_SEARCH_WHERE, "search_where.htm"},
    {IDD_EDIT_LOCATION, "edit_location.htm"},
    {148, "edit_location.htm"},  // its "General" page
    {IDD_CALENDAR_OPTIONS, "calendar_options.htm"},
    {IDD_COLOURS, "colors.htm"},
    {IDD_FONTS, "fonts.htm"},
    {IDD_CONFIGURE_LOCATION, "locations.htm"},
    {178, "locations.htm"},  // its "Point of reference" page
    {179, "dialing_configuration.htm"},
    {IDD_SCHEDULER_OPTIONS, "configure_scheduler.htm"},
    {IDD_TODO_OPTIONS, "configure_todo.htm"},
    {IDD_TODO_ITEM, "todo_item.htm"},
    {IDD_OVERLAY_EVENT, "overlay_event.htm"},
    {IDD_YAHRZEIT_OBSERVANCE, "yahrzeit_observance.htm"},
    {IDD_CONFIGURE_OVERLAYS, "overlays.htm"},
    {IDD_JEWISH_SETUP, "jewish_setup.htm"},
    {IDD_WEEKENDS, "weekends.htm"},
    {IDD_FLOATING_EVENT, "floating_event.htm"},
    {IDD_OVERLAY_ACCENT, "default_accent.htm"},
    {IDD_OVERLAY_PROPERTIES, "overlay_properties.htm"},
    {IDD_DESKTOP_ICON, "desktop_icon.htm"},
    {IDD_SCHEDULE_EVENT, "schedule_event.htm"},
    {300, "using_orbisa.htm"},  // the world map's control bar
    {301, "gps_configuration.htm"},
    {302, "gps_configuration.htm"},  // its "General" page
    {305, "acquire_gps.htm"},
    {33100, "day_binder_layout.htm"},
    {33101, "printing.htm"},  // the printing status window
    {IDD_MIGRATE, "migrate_data.htm"},
    {IDD_VCHECK_STATUS, "version_check.htm"},
    {IDD_VCHECK_NEWER, "version_check.htm"},
    {IDD_VCHECK_CURRENT, "version_check.htm"},
    {IDD_INTERNET, "version_check.htm"},
    {IDD_DATABASE_PATH, "database_path.htm"},
};

// Dialogs whose templates are named.
constexpr NamedTopic kNamed[] = {
    {"AboutBox", "contents.htm"},
    {"Search", "search.htm"},
    {"Phonebook", "phonebook.htm"},
    {"PhoneEntry", "phonebook_entry.htm"},
    {"DIALER", "dialing.htm"},
    {"DIALPREVIEW", "dialing.htm"},
    {"DIALINGCONFIG", "dialing_configuration.htm"},
    {"Print", "printing.htm"},
    {"Day Binder Layout", "day_binder_layout.htm"},
};

// The desk's windows by class; the frame itself and the desktop clock too.
constexpr NamedTopic kClasses[] = {
    {"KV4Frame", "contents.htm"},
    {"KVCalendar", "month_view.htm"},
    {"KVMonthPlane", "month_view.htm"},
    {"KVYearPlane", "year_view.htm"},
    {"KVDayPlane", "day_view.htm"},
    {"KVSched", "schedule_window.htm"},
    {"KVToDo", "todo_window.htm"},
    {"MDIDialogClass", "phonebook.htm"},
    {"KVNote", "notes_window.htm"},
    {"KVMapHost", "using_orbisa.htm"},
    {"KVMap", "using_orbisa.htm"},
    {"KVSearch", "search.htm"},
    {"KVClock", "desktop_clock.htm"},
};

// Pages reached only from the contents, the index and links, never asked for by a window.
constexpr const char* kOtherPages[] = {
    "getting_started.htm", "keyboard.htm", "event_rules.htm", "metafiles.htm",
};

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
           return lower(x) == lower(y);
         });
}

}  // namespace

const char* HelpTopicForTemplate(int templateId) {
  for (const NumberedTopic& t : kNumbered)
    if (t.id == templateId) return t.topic;
  return kHelpContents;
}

// Resource names are not case-sensitive, as the resource loader treats them.
const char* HelpTopicForTemplate(std::string_view templateName) {
  for (const NamedTopic& t : kNamed)
    if (SameName(t.name, templateName)) return t.topic;
  return kHelpContents;
}

const char* HelpTopicForWindowClass(std::string_view className) {
  for (const NamedTopic& t : kClasses)
    if (SameName(t.name, className)) return t.topic;
  return kHelpContents;
}

const char* HelpTopicForCalendarView(int view) {
  switch (view) {
    case 1: return "year_view.htm";
    case 4: return "day_view.htm";
    default: return "month_view.htm";
  }
}

std::vector<const char*> AllHelpTopics() {
  std::vector<const char*> all{kHelpContents};
  auto add = [&all](const char* topic) {
    if (std::none_of(all.begin(), all.end(), [topic](const char* t) { return std::string_view(t) == topic; }))
      all.push_back(topic);
  };
  for (const NumberedTopic& t : kNumbered) add(t.topic);
  for (const NamedTopic& t : kNamed) add(t.topic);
  for (const NamedTopic& t : kClasses) add(t.topic);
  for (const char* t : kOtherPages) add(t);
  for (int view : {1, 2, 4}) add(HelpTopicForCalendarView(view));
  return all;
}

}  // namespace kv
