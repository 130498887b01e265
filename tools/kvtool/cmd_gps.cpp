// kvtool nmea: a file of receiver output fed through the GPS sentence scanner and interpreter of
// a map or dialog acquisition; one event per sentence read.
#include <string>
#include <vector>

#include "base/file_io.h"
#include "devices/gps.h"
#include "tools/kvtool/cli.h"

namespace kv::tool {
namespace {

Command nmea("nmea", "[--mode dialog|map] FILE", [](Args& args) {
  std::string mode = args.Option("mode").value_or("dialog");
  std::string path = args.Positional("file");
  args.Done();
  if (mode != "dialog" && mode != "map") throw UsageError("--mode is dialog or map");
  std::vector<uint8_t> bytes;
  if (!FileExists(path) || !ReadWholeFile(path, bytes, size_t{64} << 20)) throw Failure("cannot read " + path);
  GpsReceiver receiver;
  receiver.Start(mode == "map" ? GpsMode::Map : GpsMode::Dialog);
  std::vector<GpsEvent> events;
  receiver.Feed(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), &events);
  Json list = Json::array();
  for (const GpsEvent& e : events) {
    list.push_back(Json{{"status", e.status},
                        {"notify", e.notify ? Json(e.notify) : Json(nullptr)},
                        {"lat", e.latitude},
                        {"lon", e.longitude}});
  }
  Emit(Json{{"events", list}});
});

}  // namespace
}  // namespace kv::tool
