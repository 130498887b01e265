// The configuration file and the desk geometry: run with
// build/native/bin/kvbench --benchmark_filter=Shell
#include <benchmark/benchmark.h>

#include "shell/config.h"
#include "shell/configuration.h"
#include "shell/desk.h"
#include "base/filesystem.h"
#include "base/messages.h"
#include "shell/shell_services.h"

namespace kv {
namespace {

const std::string kData = "C:\\Users\\Ann\\Documents\\My Calendars";

ConfigImage SampleImage() {
  DefaultConfigInputs in;
  in.dataFolder = kData;
  return SerializeCalendarConfig(DefaultCalendarConfig(in));
}

void Shell_ParseConfig(benchmark::State& state) {
  ConfigImage image = SampleImage();
  for (auto _ : state) benchmark::DoNotOptimize(ParseCalendarConfig(image));
}
BENCHMARK(Shell_ParseConfig);

void Shell_SerializeConfig(benchmark::State& state) {
  CalendarConfig c = ParseCalendarConfig(SampleImage());
  for (auto _ : state) benchmark::DoNotOptimize(SerializeCalendarConfig(c));
}
BENCHMARK(Shell_SerializeConfig);

// A whole load of a configuration with a full overlay set of 20 names, and its save.
void Shell_ReadAndWriteConfiguration(benchmark::State& state) {
  MemoryFileSystem fs;
  ScriptedMessages messages;
  ScopedMessageSink sink(messages);
  SetFileSystem(&fs);
  SetShellServices(nullptr);
  ResetConfigurationState();
  ConfigState().dataFolder = kData;
  CalendarConfig c = ParseCalendarConfig(SampleImage());
  c.overlayCount = 20;
  std::vector<std::string> names;
  for (int i = 0; i < 20; ++i) names.push_back(kData + "\\Overlays\\Overlay number " + std::to_string(i) + ".kov");
  ConfigImage image = SerializeCalendarConfig(c);
  std::vector<uint8_t> tail = JoinOverlayTail(names);
  std::string file(image.begin(), image.end());
  file.append(tail.begin(), tail.end());
  std::string path = kData + "\\Busy.kvc";
  fs.AddFile(path, file);
  for (auto _ : state) {
    benchmark::DoNotOptimize(ReadConfiguration(path));
    benchmark::DoNotOptimize(WriteConfiguration(kSave));
  }
  SetFileSystem(nullptr);
  ResetConfigurationState();
}
BENCHMARK(Shell_ReadAndWriteConfiguration);

void Shell_ArrangeAll(benchmark::State& state) {
  ArrangeInput in;
  in.clientWidth = 1900;
  in.clientHeight = 1000;
  in.schedule = in.notes = in.todo = in.phonebook = {true, false};
  in.phonebookWidth = 640;
  in.phonebookHeight = 480;
  for (auto _ : state) benchmark::DoNotOptimize(ArrangeAll(in));
}
BENCHMARK(Shell_ArrangeAll);

}  // namespace
}  // namespace kv
