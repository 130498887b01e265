// kvtool gps read (Windows): a position from a GPS receiver on a serial port through the
// program's own acquisition, with a hidden window as its target. Ends at the first fix or when
// the time runs out; --trace prints every notification and watchdog expiry as it comes.
#include <windows.h>

#include <chrono>

#include "base/settings.h"
#include "devices/gps_win.h"
#include "resources/command_ids.h"
#include "tools/kvtool/cli.h"

namespace kv::tool {
namespace {

struct Target {
  bool found = false;
  bool trace = false;
};
Target* g_target = nullptr;

LRESULT CALLBACK TargetProc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
  if (g_target && message >= kMsgGpsFound && message <= kMsgGpsPortOpen) {
    if (g_target->trace) Emit(Json{{"notify", message}, {"status", GpsStatus()}});
    if (message == kMsgGpsFound) g_target->found = true;
    return 0;
  }
  if (g_target && message == WM_TIMER && wp == kGpsWatchdogTimer) {
    if (g_target->trace) Emit(Json{{"watchdog", true}, {"status", GpsStatus()}});
    return 0;
  }
  return DefWindowProcA(window, message, wp, lp);
}

Command gpsRead("gps read", "--port COMn [--timeout SECONDS] [--mode dialog|map] [--trace]", [](Args& args) {
  std::optional<std::string> port = args.Option("port");
  std::optional<std::string> timeout = args.Option("timeout");
  std::string mode = args.Option("mode").value_or("dialog");
  Target target;
  target.trace = args.Flag("trace");
  args.Done();
  if (!port || port->rfind("COM", 0) != 0) throw UsageError("--port COMn is required");
  if (mode != "dialog" && mode != "map") throw UsageError("--mode is dialog or map");
  long long seconds = timeout ? ParseInteger(*timeout, "--timeout", 1, 3600) : 30;
  RegWriteSetting("GPS", "Port", *port);
  StderrMessages messages;
  ScopedMessageSink scope(messages);

  WNDCLASSA wc{};
  wc.lpfnWndProc = TargetProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "KVToolGpsTarget";
  RegisterClassA(&wc);
  HWND window = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  if (!window) throw Failure("cannot make the target window");
  g_target = &target;
  bool map = mode == "map";
  if (!StartGpsAcquisition(map ? GpsMode::Map : GpsMode::Dialog, window)) {
    DestroyWindow(window);
    g_target = nullptr;
    throw Failure("cannot open " + *port);
  }
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  // A map acquisition keeps reading until the time is up; a dialog one ends at its fix.
  while (std::chrono::steady_clock::now() < deadline && (map || !target.found)) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }
  int status = GpsStatus();
  GpsFix fix = map ? GpsMapFix() : GpsDialogFix();
  StopGpsAcquisition();
  DestroyWindow(window);
  g_target = nullptr;
  Emit(Json{{"status", status}, {"lat", fix.latitude}, {"lon", fix.longitude}});
  if (!map && !target.found) throw Failure("no position fix within " + std::to_string(seconds) + " seconds");
});

}  // namespace
}  // namespace kv::tool
