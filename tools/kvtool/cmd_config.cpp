// kvtool commands over calendar configuration files (".kvc"): dump every field as JSON, write
// a new default configuration, and set fields by the names the dump prints.
#include <charconv>
#include <cstring>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>

#include "shell/config.h"
#include "tools/kvtool/cli.h"

namespace kv::tool {
namespace {

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw Failure("cannot open " + path);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw Failure("cannot create " + path);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out.flush()) throw Failure("cannot write " + path);
}

Json PlacementJson(const Placement& p) { return {{"x", p.x}, {"y", p.y}, {"width", p.width}, {"height", p.height}}; }
Json PositionJson(const Position16& p) { return {{"x", p.x}, {"y", p.y}}; }
bool Flag(uint8_t byte) { return byte != 0; }

Json FontJson(const FontRecord& f) {
  return {{"size", f.pointSize},      {"weight", f.weight},        {"charset", f.charSet},
          {"pitchfamily", f.pitchAndFamily}, {"italic", Flag(f.italic)}, {"face", Utf8FromAnsi(f.face)}};
}

Json LayoutJson(const PageLayout& l) {
  return {{"top", l.topMargin},        {"left", l.leftMargin},      {"right", l.rightMargin},
          {"bottom", l.bottomMargin},  {"landscape", Flag(l.landscape)}, {"sizetomargins", Flag(l.sizeToMargins)},
          {"text", Utf8FromAnsi(l.text)}, {"header", Flag(l.isHeader)}, {"distance", l.distance}};
}

Json ConfigJson(const CalendarConfig& c, uint16_t version, bool converted, const std::vector<std::string>& overlays,
                size_t size) {
  Json out;
  out["version"] = version;
  out["converted"] = converted;
  out["firstuse"] = Flag(c.firstUse);
  out["placements"] = {{"frame", PlacementJson(c.desk.frame)},     {"calendar", PlacementJson(c.desk.calendar)},
                       {"notes", PlacementJson(c.desk.notes)},     {"schedule", PlacementJson(c.desk.schedule)},
                       {"todo", PlacementJson(c.desk.todo)},       {"map", PositionJson(c.desk.mapPosition)},
                       {"phonebook", PositionJson(c.desk.phonebookPosition)}};
  Json order = Json::array();
  for (uint8_t code : c.desk.zOrder) {
    if (code == 0) break;
    order.push_back(code);
  }
  out["zorder"] = order;
  out["active"] = {{"code", c.desk.activeWindow % 10}, {"maximized", c.desk.activeWindow >= 10}};
  out["states"] = {{"frame", c.desk.frameState},       {"calendar", c.desk.calendarState}, {"notes", c.desk.notesState},
                   {"schedule", c.desk.scheduleState}, {"phonebook", c.desk.phonebookState}, {"todo", c.desk.todoState}};
  out["view"] = c.desk.view;
  out["openwindows"] = c.desk.openWindows;
  out["phonebookpeople"] = Flag(c.desk.phonebookPeople);
  out["colours"] = {{"theme", c.themeColour}, {"shadow", c.shadowColour}, {"grid", c.gridColour},
                    {"highlight", c.highlightColour}};
  out["customcolours"] = c.customColours;
  out["options"] = {{"adjacentmonths", Flag(c.showAdjacentMonths)},
                    {"weekstart", c.weekStart},
                    {"calendarsystem", c.calendarSystem},
                    {"moonphases", c.moonPhases},
                    {"saturdayred", Flag(c.saturdayRed)},
                    {"sundayred", Flag(c.sundayRed)},
                    {"timechanges", c.timeChanges},
                    {"notesindicator", Flag(c.notesIndicator)},
                    {"sunmoonhidden", Flag(c.sunMoonHidden)},
                    {"mode", c.calendarMode},
                    {"julianday", Flag(c.julianDay)},
                    {"weeknumbers", Flag(c.weekNumbers)},
                    {"printlayout", c.printLayout},
                    {"printoption", c.printOption},
                    {"candlelighting", Flag(c.candleLighting)},
                    {"candleminutes", c.candleMinutes},
                    {"havdalah", Flag(c.havdalah)},
                    {"havdalahminutes", c.havdalahMinutes},
                    {"overlaytabshidden", Flag(c.overlayTabsHidden)},
                    {"mapflags", c.mapFlags}};
  out["hours"] = {{"scheduler", c.schedulerHour}, {"summarystart", c.summaryStartHour}, {"summaryend", c.summaryEndHour}};
  out["schedule"] = {{"alarmlead", c.alarmLead},
                     {"increment", c.schedulerIncrement},
                     {"displayonmonth", Flag(c.displayOnMonth)},
                     {"alarmchoice", c.alarmChoice}};
  out["todo"] = {{"sortbypriority", Flag(c.todoSortByPriority)}, {"view", c.todoView},
                 {"log", Flag(c.todoLog)},                       {"removeafterdays", c.todoRemoveAfterDays},
                 {"viewpending", Flag(c.todoViewPending)},       {"lognotes", Flag(c.todoLogNotes)},
                 {"logfile", Utf8FromAnsi(c.todoLogFile)}};
  out["phonebook"] = {{"lastid", c.phonebookLastId}, {"lastname", Utf8FromAnsi(c.phonebookLastName)}};
  Json screen = Json::array(), printer = Json::array();
  for (const FontRecord& f : c.screenFonts) screen.push_back(FontJson(f));
  for (const FontRecord& f : c.printerFonts) printer.push_back(FontJson(f));
  out["fonts"] = {{"screen", screen}, {"printer", printer}};
  Json layouts = Json::array();
  for (const PageLayout& l : c.pageLayouts) layouts.push_back(LayoutJson(l));
  out["pagelayouts"] = layouts;
  out["location"] = {{"name", Utf8FromAnsi(c.locationName)},
                     {"latitude", c.location.latitude},
                     {"longitude", c.location.longitude},
                     {"zone", c.location.zone},
                     {"systemzone", c.location.systemZone}};
  out["databasefolder"] = Utf8FromAnsi(c.databaseFolder);
  out["selectedoverlay"] = Utf8FromAnsi(c.selectedOverlay);
  out["overlaycount"] = c.overlayCount;
  Json names = Json::array();
  for (const std::string& name : overlays) names.push_back(Utf8FromAnsi(name));
  out["overlays"] = names;
  out["size"] = size;
  return out;
}

Command dump("config dump", "FILE.kvc", [](Args& args) {
  std::string path = args.Positional("configuration file");
  args.Done();
  std::vector<uint8_t> file = ReadFile(path);
  if (file.size() < 10) throw Failure(path + " is too short to be a calendar configuration");
  if (!HasConfigHeader(file.data(), file.size())) throw Failure("File failed header check: " + path);
  // Bytes a short file does not reach read as zero.
  ConfigImage image{};
  std::memcpy(image.data(), file.data(), std::min(file.size(), kConfigSize));
  uint16_t version = ConfigVersionOf(image.data());
  bool converted = version == 6;
  if (converted) ConvertVersion6Image(image);
  CalendarConfig c = ParseCalendarConfig(image);
  std::vector<std::string> overlays;
  if (file.size() > kConfigSize)
    overlays = SplitOverlayTail(file.data() + kConfigSize, file.size() - kConfigSize, c.overlayCount);
  Emit(ConfigJson(c, version, converted, overlays, file.size()));
});

// ---- config set ------------------------------------------------------------------------------

// One settable key: how it takes its value (the text after '='). A setter throws UsageError
// naming the key when the value does not fit the field.
using Setter = std::function<void(CalendarConfig&, const std::string& key, const std::string& value)>;

bool ParseBool(const std::string& key, const std::string& value) {
  if (value == "true" || value == "1") return true;
  if (value == "false" || value == "0") return false;
  throw UsageError(key + " takes true or false, not \"" + value + "\"");
}

template <typename Field>
Setter Number(Field CalendarConfig::*field, long long min, long long max) {
  return [=](CalendarConfig& c, const std::string& key, const std::string& value) {
    c.*field = static_cast<Field>(ParseInteger(value, key, min, max));
  };
}

Setter Bool(uint8_t CalendarConfig::*field) {
  return [=](CalendarConfig& c, const std::string& key, const std::string& value) {
    c.*field = ParseBool(key, value) ? 1 : 0;
  };
}

Setter Text(std::string CalendarConfig::*field, size_t max) {
  return [=](CalendarConfig& c, const std::string& key, const std::string& value) {
    std::string ansi = AnsiFromUtf8(value);
    if (ansi.size() > max) throw UsageError(key + " holds at most " + std::to_string(max) + " characters");
    c.*field = ansi;
  };
}

uint32_t ParseColour(const std::string& text, const char* what);

Setter ColourOf(uint32_t CalendarConfig::*field) {
  return [=](CalendarConfig& c, const std::string& key, const std::string& value) {
    c.*field = ParseColour(value, key.c_str());
  };
}

template <typename Field>
Setter DeskNumber(Field DeskLayout::*field, long long min, long long max) {
  return [=](CalendarConfig& c, const std::string& key, const std::string& value) {
    c.desk.*field = static_cast<Field>(ParseInteger(value, key, min, max));
  };
}

Setter Degrees(double ConfigLocation::*field, double limit) {
  return [=](CalendarConfig& c, const std::string& key, const std::string& value) {
    double v = ParseNumber(value, key);
    if (!std::isfinite(v) || v < -limit || v > limit)
      throw UsageError(key + " must lie between -" + std::to_string(static_cast<int>(limit)) + " and " +
                       std::to_string(static_cast<int>(limit)));
    c.location.*field = v;
  };
}

const std::map<std::string, Setter>& SettableKeys() {
  static const std::map<std::string, Setter> keys = [] {
    std::map<std::string, Setter> k;
    k["firstuse"] = Bool(&CalendarConfig::firstUse);
    k["view"] = [](CalendarConfig& c, const std::string& key, const std::string& value) {
      long long v = ParseInteger(value, key, 1, 4);
      if (v == 3) throw UsageError(key + " is 1 (year), 2 (month) or 4 (day)");
      c.desk.view = static_cast<uint16_t>(v);
    };
    k["openwindows"] = DeskNumber(&DeskLayout::openWindows, 0, 255);
    k["phonebookpeople"] = [](CalendarConfig& c, const std::string& key, const std::string& value) {
      c.desk.phonebookPeople = ParseBool(key, value) ? 1 : 0;
    };
    const std::pair<const char*, uint8_t DeskLayout::*> states[] = {
        {"frame", &DeskLayout::frameState},       {"calendar", &DeskLayout::calendarState},
        {"notes", &DeskLayout::notesState},       {"schedule", &DeskLayout::scheduleState},
        {"phonebook", &DeskLayout::phonebookState}, {"todo", &DeskLayout::todoState}};
    for (const auto& [name, field] : states) k[std::string("states.") + name] = DeskNumber(field, 0, 2);
    const std::pair<const char*, Placement DeskLayout::*> placements[] = {
        {"frame", &DeskLayout::frame}, {"calendar", &DeskLayout::calendar}, {"notes", &DeskLayout::notes},
        {"schedule", &DeskLayout::schedule}, {"todo", &DeskLayout::todo}};
    for (const auto& [name, field] : placements) {
      const std::pair<const char*, int32_t Placement::*> parts[] = {
          {"x", &Placement::x}, {"y", &Placement::y}, {"width", &Placement::width}, {"height", &Placement::height}};
      for (const auto& [part, member] : parts) {
        auto place = field;
        auto m = member;
        k[std::string("placements.") + name + "." + part] = [place, m](CalendarConfig& c, const std::string& key,
                                                                       const std::string& value) {
          (c.desk.*place).*m = static_cast<int32_t>(ParseInteger(value, key, -32768, 32767));
        };
      }
    }
    const std::pair<const char*, Position16 DeskLayout::*> positions[] = {{"map", &DeskLayout::mapPosition},
                                                                         {"phonebook", &DeskLayout::phonebookPosition}};
    for (const auto& [name, field] : positions) {
      auto place = field;
      k[std::string("placements.") + name + ".x"] = [place](CalendarConfig& c, const std::string& key, const std::string& value) {
        (c.desk.*place).x = static_cast<int16_t>(ParseInteger(value, key, -32768, 32767));
      };
      k[std::string("placements.") + name + ".y"] = [place](CalendarConfig& c, const std::string& key, const std::string& value) {
        (c.desk.*place).y = static_cast<int16_t>(ParseInteger(value, key, -32768, 32767));
      };
    }
    k["colours.theme"] = ColourOf(&CalendarConfig::themeColour);
    k["colours.shadow"] = ColourOf(&CalendarConfig::shadowColour);
    k["colours.grid"] = ColourOf(&CalendarConfig::gridColour);
    k["colours.highlight"] = ColourOf(&CalendarConfig::highlightColour);
    k["options.adjacentmonths"] = Bool(&CalendarConfig::showAdjacentMonths);
    k["options.weekstart"] = Number(&CalendarConfig::weekStart, 0, 6);
    k["options.calendarsystem"] = Number(&CalendarConfig::calendarSystem, 0, 2);
    k["options.moonphases"] = Number(&CalendarConfig::moonPhases, 0, 2);
    k["options.saturdayred"] = Bool(&CalendarConfig::saturdayRed);
    k["options.sundayred"] = Bool(&CalendarConfig::sundayRed);
    k["options.timechanges"] = Number(&CalendarConfig::timeChanges, 0, 2);
    k["options.notesindicator"] = Bool(&CalendarConfig::notesIndicator);
    k["options.sunmoonhidden"] = Bool(&CalendarConfig::sunMoonHidden);
    k["options.mode"] = Number(&CalendarConfig::calendarMode, 0, 1);
    k["options.julianday"] = Bool(&CalendarConfig::julianDay);
    k["options.weeknumbers"] = Bool(&CalendarConfig::weekNumbers);
    k["options.printlayout"] = Number(&CalendarConfig::printLayout, 0, 255);
    k["options.printoption"] = Number(&CalendarConfig::printOption, 0, 255);
    k["options.candlelighting"] = Bool(&CalendarConfig::candleLighting);
    k["options.candleminutes"] = Number(&CalendarConfig::candleMinutes, 0, 255);
    k["options.havdalah"] = Bool(&CalendarConfig::havdalah);
    k["options.havdalahminutes"] = Number(&CalendarConfig::havdalahMinutes, 0, 255);
    k["options.overlaytabshidden"] = Bool(&CalendarConfig::overlayTabsHidden);
    k["options.mapflags"] = Number(&CalendarConfig::mapFlags, 0, 65535);
    k["hours.scheduler"] = Number(&CalendarConfig::schedulerHour, 0, 23);
    k["hours.summarystart"] = Number(&CalendarConfig::summaryStartHour, 0, 23);
    k["hours.summaryend"] = Number(&CalendarConfig::summaryEndHour, 0, 24);
    k["schedule.alarmlead"] = Number(&CalendarConfig::alarmLead, 0, 240);
    k["schedule.increment"] = [](CalendarConfig& c, const std::string& key, const std::string& value) {
      long long v = ParseInteger(value, key, 5, 60);
      if (v != 5 && v != 10 && v != 15 && v != 20 && v != 30 && v != 60)
        throw UsageError(key + " is 5, 10, 15, 20, 30 or 60");
      c.schedulerIncrement = static_cast<uint8_t>(v);
    };
    k["schedule.displayonmonth"] = Bool(&CalendarConfig::displayOnMonth);
    k["schedule.alarmchoice"] = Number(&CalendarConfig::alarmChoice, 0, 255);
    k["todo.sortbypriority"] = Bool(&CalendarConfig::todoSortByPriority);
    k["todo.view"] = Number(&CalendarConfig::todoView, 0, 1);
    k["todo.log"] = Bool(&CalendarConfig::todoLog);
    k["todo.removeafterdays"] = Number(&CalendarConfig::todoRemoveAfterDays, 0, 65535);
    k["todo.viewpending"] = Bool(&CalendarConfig::todoViewPending);
    k["todo.lognotes"] = Bool(&CalendarConfig::todoLogNotes);
    k["todo.logfile"] = Text(&CalendarConfig::todoLogFile, 255);
    k["phonebook.lastid"] = Number(&CalendarConfig::phonebookLastId, 0, 65535);
    k["phonebook.lastname"] = Text(&CalendarConfig::phonebookLastName, 23);
    k["location.name"] = Text(&CalendarConfig::locationName, 63);
    k["location.latitude"] = Degrees(&ConfigLocation::latitude, 90);
    k["location.longitude"] = Degrees(&ConfigLocation::longitude, 180);
    k["location.zone"] = [](CalendarConfig& c, const std::string& key, const std::string& value) {
      c.location.zone = static_cast<uint8_t>(ParseInteger(value, key, 0, 255));
    };
    k["location.systemzone"] = [](CalendarConfig& c, const std::string& key, const std::string& value) {
      c.location.systemZone = static_cast<uint8_t>(ParseInteger(value, key, 0, 255));
    };
    k["databasefolder"] = Text(&CalendarConfig::databaseFolder, 255);
    k["selectedoverlay"] = Text(&CalendarConfig::selectedOverlay, 255);
    return k;
  }();
  return keys;
}

Command set("config set", "FILE.kvc KEY=VALUE...", [](Args& args) {
  std::string path = args.Positional("configuration file");
  std::vector<std::string> assignments = args.Rest();
  args.Done();
  if (assignments.empty()) throw UsageError("name at least one KEY=VALUE");
  std::vector<uint8_t> file = ReadFile(path);
  if (file.size() < 10) throw Failure(path + " is too short to be a calendar configuration");
  if (!HasConfigHeader(file.data(), file.size())) throw Failure("File failed header check: " + path);
  ConfigImage image{};
  std::memcpy(image.data(), file.data(), std::min(file.size(), kConfigSize));
  if (ConfigVersionOf(image.data()) == 6) ConvertVersion6Image(image);
  CalendarConfig c = ParseCalendarConfig(image);
  // Every assignment is checked before anything is written: a bad one leaves the file as it was.
  Json changed = Json::object();
  for (const std::string& a : assignments) {
    size_t eq = a.find('=');
    if (eq == std::string::npos || eq == 0) throw UsageError("\"" + a + "\" is not KEY=VALUE");
    std::string key = a.substr(0, eq), value = a.substr(eq + 1);
    auto it = SettableKeys().find(key);
    if (it == SettableKeys().end()) throw UsageError("unknown key \"" + key + "\" (see the names config dump prints)");
    it->second(c, key, value);
    changed[key] = value;
  }
  ConfigImage out = SerializeCalendarConfig(c);
  std::vector<uint8_t> bytes(out.begin(), out.end());
  // The tail of overlay names is kept byte for byte.
  if (file.size() > kConfigSize) bytes.insert(bytes.end(), file.begin() + kConfigSize, file.end());
  // Written beside and renamed over, so an interrupted write never leaves half a file.
  std::string fresh = path + ".new";
  WriteFile(fresh, bytes);
  std::error_code error;
  std::filesystem::rename(fresh, path, error);
  if (error) {
    std::filesystem::remove(fresh, error);
    throw Failure("cannot replace " + path);
  }
  Emit(Json{{"file", path}, {"set", changed}});
});

// A COLORREF in decimal or as 0x00BBGGRR.
uint32_t ParseColour(const std::string& text, const char* what) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    uint32_t value = 0;
    auto [ptr, ec] = std::from_chars(text.data() + 2, text.data() + text.size(), value, 16);
    if (ec != std::errc() || ptr != text.data() + text.size() || value > 0x00FFFFFF)
      throw UsageError(std::string(what) + " must be a colour from 0 to 0x00FFFFFF, not \"" + text + "\"");
    return value;
  }
  return static_cast<uint32_t>(ParseInteger(text, what, 0, 0x00FFFFFF));
}

Command create("config new",
               "OUT.kvc --data-folder DIR [--zone ID] [--screen WIDTHxHEIGHT] [--shadow COLORREF] [--grid COLORREF]",
               [](Args& args) {
  std::optional<std::string> folder = args.Option("data-folder");
  std::optional<std::string> zone = args.Option("zone");
  std::optional<std::string> screen = args.Option("screen");
  std::optional<std::string> shadow = args.Option("shadow");
  std::optional<std::string> grid = args.Option("grid");
  std::string out = args.Positional("output file");
  args.Done();
  if (!folder || folder->empty()) throw UsageError("--data-folder is required");
  DefaultConfigInputs in;
  in.dataFolder = AnsiFromUtf8(*folder);
  // The database folder "DIR\Databases\Default" must fit its 255 characters.
  if (in.dataFolder.size() > 236) throw UsageError("--data-folder is longer than 236 characters");
  if (zone) in.zone = static_cast<uint8_t>(ParseInteger(*zone, "zone", 0, 255));
  if (screen) {
    size_t x = screen->find('x');
    if (x == std::string::npos) throw UsageError("--screen takes WIDTHxHEIGHT, such as 1280x1024");
    in.screenWidth = static_cast<int>(ParseInteger(screen->substr(0, x), "screen width", 640, 65535));
    in.screenHeight = static_cast<int>(ParseInteger(screen->substr(x + 1), "screen height", 480, 65535));
  }
  if (shadow) in.shadowColour = ParseColour(*shadow, "shadow colour");
  if (grid) in.gridColour = ParseColour(*grid, "grid colour");
  ConfigImage image = SerializeCalendarConfig(DefaultCalendarConfig(in));
  WriteFile(out, std::vector<uint8_t>(image.begin(), image.end()));
  Emit(Json{{"file", out}, {"size", image.size()}});
});

}  // namespace
}  // namespace kv::tool
