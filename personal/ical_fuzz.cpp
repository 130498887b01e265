// libFuzzer target for the iCalendar reader: any bytes are read as a calendar and every item is
// planned for import (rules expanded, zones resolved, overlay rules checked), the question is
// answered Cancel so nothing is written. Run by the fuzz build's CTest test fuzz.fuzz_ical_read.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "personal/ical.h"
#include "base/messages.h"
#include "store/db_files.h"

namespace {

struct Setup {
  kv::ScriptedMessages sink;
  Setup() {
    sink.SetFallback(kv::ScriptedMessages::Fallback::Decline);
    kv::SetMessageSink(&sink);
    // An empty folder: planning reads the to-do file's count when there is one.
    std::string folder = (std::filesystem::temp_directory_path() / "kv-fuzz-ical").string();
    std::filesystem::create_directories(folder);
    kv::SetDatabaseFolder(folder);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Setup setup;
  setup.sink.Clear();
  std::string_view text(reinterpret_cast<const char*>(data), size);
  kv::IcalImportOptions options;
  options.overlayPath = "never-written.kov";
  kv::IcalImport(text, options);
  std::vector<kv::ContentComponent> parsed;
  kv::ContentError error;
  if (kv::ParseContentLines(text, parsed, error)) {
    // Whatever was read is written back and must read again.
    kv::ContentWriter w;
    w.Begin("X");
    std::vector<std::string> values;
    for (const kv::ContentComponent& c : parsed)
      for (const kv::ContentProperty& p : c.properties) {
        w.Property(p.name, "", p.value);
        values.push_back(p.value);
      }
    w.End("X");
    std::vector<kv::ContentComponent> again;
    if (!kv::ParseContentLines(w.Result(), again, error) || again.size() != 1 ||
        again[0].properties.size() != values.size())
      __builtin_trap();
    for (size_t i = 0; i < values.size(); ++i)
      if (again[0].properties[i].value != values[i]) __builtin_trap();
  }
  return 0;
}
