// kvtool commands over the sun and moon, the time zones and the locations. The program's data
// files (KVTZX.DAT, ...) are read from the folder of the kvtool binary, as the program reads
// them from its own folder, unless --file names another.
#include <cmath>
#include <cstdlib>
#include <string>

#include "calendar/dates.h"
#include "base/messages.h"
#include "sky/locations.h"
#include "sky/sun_moon.h"
#include "sky/zones.h"
#include "base/file_io.h"
#include "tools/kvtool/cli.h"


namespace kv::tool {
namespace {


std::string DataFile(Args& args, const char* name) {
  std::optional<std::string> file = args.Option("file");
  return file ? *file : RunningProgramFolder() + "/" + name;
}

// Messages the core shows become the command's failure text.
struct CapturedMessages {
  ScriptedMessages sink;
  ScopedMessageSink scope{sink};
  void ThrowIfAny() {
    if (!sink.Shown().empty()) throw Failure(Utf8FromAnsi(sink.Shown().back().text));
  }
};

void LoadZones(const std::string& path) {
  if (!LoadZoneTable(path)) throw Failure("cannot read the zone file " + path);
}

const ZoneRecord& ZoneById(std::string_view text) {
  int id = static_cast<int>(ParseInteger(text, "zone", 1, 9999));
  const ZoneRecord* z = FindZone(id);
  if (!z) throw Failure("no zone with identifier " + std::string(text));
  return *z;
}

// Degrees in the output: azimuths to 0.001, coordinates to 0.000001 (a tenth of a second
// of arc is 0.00003), so that the figures agree between platforms' maths libraries.
double Rounded(double value, double scale = 1000) { return std::round(value * scale) / scale; }

double Latitude(std::string_view text) {
  double v = ParseNumber(text, "latitude");
  if (v < -90 || v > 90) throw UsageError("latitude must lie between -90 and 90");
  return v;
}

// Sites for the sun and moon commands.
SkySite SiteFrom(Args& args, bool withLongitude) {
  SkySite site;
  std::optional<std::string> lat = args.Option("lat"), lon, bias = args.Option("bias");
  if (withLongitude) lon = args.Option("lon");
  if (!lat || (withLongitude && !lon) || !bias) throw UsageError(withLongitude ? "--lat, --lon and --bias are needed" : "--lat and --bias are needed");
  site.latitude = Latitude(*lat);
  if (lon) {
    site.longitude = ParseNumber(*lon, "longitude");
    if (site.longitude < -180 || site.longitude > 180) throw UsageError("longitude must lie between -180 and 180");
  }
  site.bias = static_cast<int>(ParseInteger(*bias, "bias", -1440, 1440));
  return site;
}

void RiseSetCommand(Args& args, bool moon) {
  SkySite site = SiteFrom(args, true);
  DateStamp d = ParseDate(args.Positional("date"));
  args.Done();
  if (d.year < 2) throw UsageError("the date must be after the year 1");
  SetSkySite(site);
  RiseSet r = moon ? MoonRiseSet(d.year, d.month, d.day) : SunRiseSet(d.year, d.month, d.day);
  Emit(Json{{"rise", r.rise}, {"set", r.set}, {"rise_az", Rounded(r.riseAzimuth)}, {"set_az", Rounded(r.setAzimuth)},
            {"flags", r.flags}});
}

int DaylightCode(std::string_view text) {
  int code = static_cast<int>(ParseInteger(text, "daylight code", 101, 1231));
  if (!IsValidDate(code / 100, code % 100, 2000)) throw UsageError("daylight code " + std::string(text) + " is not month*100+day");
  return code;
}

Command sun("sun", "YYYY-MM-DD --lat DEG --lon DEG --bias MIN", [](Args& args) { RiseSetCommand(args, false); });
Command moon("moon", "YYYY-MM-DD --lat DEG --lon DEG --bias MIN", [](Args& args) { RiseSetCommand(args, true); });

Command phases("phases", "YEAR --lat DEG --bias MIN [--dst START END]", [](Args& args) {
  SkySite site = SiteFrom(args, false);
  std::optional<std::string> start = args.Option("dst");
  int year = static_cast<int>(ParseInteger(args.Positional("year"), "year", 1, 9998));
  if (start) {
    site.daylight = true;
    site.daylightStart = DaylightCode(*start);
    site.daylightEnd = DaylightCode(args.Positional("daylight end code (--dst START END)"));
  }
  args.Done();
  SetSkySite(site);
  MoonPhasesForYear(year);
  const MoonPhaseTable& t = CurrentMoonPhases();
  Json list = Json::array();
  for (int i = 0; i < t.count; ++i) {
    const MoonPhaseEntry& e = t.entries[static_cast<size_t>(i)];
    list.push_back(Json{{"month", e.month}, {"day", e.day}, {"minute", e.minute}, {"code", e.code}});
  }
  Emit(Json{{"year", year}, {"phases", list}});
});

Json DateJson(const ZoneDate& d) { return Json::array({d.month, d.weekday, d.week, d.minutes}); }

Command zones("zones", "[--file PATH]", [](Args& args) {
  std::string path = DataFile(args, "KVTZX.DAT");
  args.Done();
  LoadZones(path);
  Json list = Json::array();
  for (const ZoneRecord& z : ZoneTable()) {
    list.push_back(Json{{"id", z.id}, {"sort", z.sortKey}, {"key", Utf8FromAnsi(z.keyName)}, {"bias", z.bias},
                        {"display", Utf8FromAnsi(z.display)}, {"std", Utf8FromAnsi(z.standardName)},
                        {"dlt", Utf8FromAnsi(z.daylightName)}, {"std_date", DateJson(z.standardDate)},
                        {"dlt_date", DateJson(z.daylightDate)}, {"flag", z.flag}});
  }
  Emit(Json{{"zones", list}});
});

Command daylight("daylight", "--zone ID YEAR [--lat DEG] [--file PATH]", [](Args& args) {
  std::optional<std::string> zone = args.Option("zone");
  std::optional<std::string> lat = args.Option("lat");
  std::string path = DataFile(args, "KVTZX.DAT");
  int year = static_cast<int>(ParseInteger(args.Positional("year"), "year", 1, 9999));
  args.Done();
  if (!zone) throw UsageError("--zone is needed");
  // The codes are the rule's dates whatever the place; the latitude only decides how the
  // calendar reads them (between them in the north, outside them in the south), so it is
  // checked but does not change them.
  if (lat) Latitude(*lat);
  LoadZones(path);
  DaylightCodes c = ComputeDaylightCodes(ZoneById(*zone), year);
  Emit(Json{{"start", c.start}, {"end", c.end}});
});

Command convertTime("convert-time", "--from-zone ID --to-zone ID YYYY-MM-DDTHH:MM [--file PATH]", [](Args& args) {
  std::optional<std::string> from = args.Option("from-zone"), to = args.Option("to-zone");
  std::string path = DataFile(args, "KVTZX.DAT");
  DateStamp t = ParseDateTime(args.Positional("date and time"));
  args.Done();
  if (!from || !to) throw UsageError("--from-zone and --to-zone are needed");
  LoadZones(path);
  const ZoneRecord& a = ZoneById(*from);
  const ZoneRecord& b = ZoneById(*to);
  DateStamp out = ConvertBetweenZones(t, &a, &b);
  if (!IsValidDate(out.month, out.day, out.year)) throw Failure("the time leaves the years 1 to 9999");
  Emit(Json{{"time", DateTimeText(out)}});
});

Command locations("locations", "FILE", [](Args& args) {
  std::string path = args.Positional("file");
  args.Done();
  CapturedMessages messages;
  std::vector<LocationRecord> list;
  ReadLocations(path, &list);
  messages.ThrowIfAny();
  Json out = Json::array();
  for (const LocationRecord& r : list)
    out.push_back(Json{{"name", Utf8FromAnsi(r.name)}, {"lat", Rounded(r.Latitude(), 1e6)},
                       {"lon", Rounded(r.Longitude(), 1e6)}, {"zone", r.zone}});
  Emit(Json{{"locations", out}});
});

Command dms("dms", "DECIMAL", [](Args& args) {
  std::string text = args.Positional("decimal degrees");
  args.Done();
  CapturedMessages messages;
  double value = 0;
  if (!CheckDecimalCoordinate(text, false, &value)) messages.ThrowIfAny();
  Dms d = DecimalToDms(value);
  Emit(Json{{"deg", d.degrees}, {"min", d.minutes}, {"sec", d.seconds}});
});

}  // namespace
}  // namespace kv::tool
