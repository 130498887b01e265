// kvtool commands over calendar configuration files (".kvc"): dump every field as JSON, and
// write a new default configuration.
#include <charconv>
#include <cstring>
#include <fstream>
#include <iterator>

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
