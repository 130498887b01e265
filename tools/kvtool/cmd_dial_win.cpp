// kvtool dial (Windows): a real call on a serial port without the dialer window. Each result
// the modem gives and each step is printed as one JSON line; the call hangs up once the modem
// reports the number dialled, a failure, or the time runs out.
#include <windows.h>

#include <chrono>

#include "devices/dial_host_win.h"
#include "tools/kvtool/cli.h"

namespace kv::tool {
namespace {

class PrintingHost final : public WindowDialHost {
 public:
  void ShowDialing(const std::string& number) override { Emit(Json{{"event", "dialing"}, {"number", number}}); }
  void ShowPickUp() override {
    Emit(Json{{"event", "pickup"}});
    outcome = "dialled";
    if (call()) call()->Finish();
  }
  void ShowFailure(const std::string& text) override {
    Emit(Json{{"event", "failure"}, {"message", Utf8FromAnsi(text)}});
    outcome = "failed";
    if (call()) call()->Finish();
  }
  void InitFailed() override {
    Emit(Json{{"event", "failure"}, {"message", "init"}});
    outcome = "failed";
  }
  void ResultSeen(ModemResult r) override { Emit(Json{{"result", ModemResultName(r)}}); }
  bool Write(std::string_view bytes) override {
    std::string shown(bytes);
    if (!shown.empty() && shown.back() == '\r') shown.pop_back();
    Emit(Json{{"sent", Utf8FromAnsi(shown)}});
    return WindowDialHost::Write(bytes);
  }
  std::string outcome;

 protected:
  void OnModemReady() override {
    Emit(Json{{"event", "ready"}});
    if (call()) call()->WindowOpened();
  }
};

Command dial("dial", "--port COMn NUMBER [--timeout SECONDS] [--mode smart|exact]", [](Args& args) {
  std::optional<std::string> port = args.Option("port");
  std::optional<std::string> timeout = args.Option("timeout");
  std::string mode = args.Option("mode").value_or("exact");
  std::string number = AnsiFromUtf8(args.Positional("number"));
  args.Done();
  if (!port || port->rfind("COM", 0) != 0) throw UsageError("--port COMn is required");
  long long seconds = timeout ? ParseInteger(*timeout, "--timeout", 1, 3600) : 30;
  DialerSettings settings = LoadDialerSettings();
  settings.port = *port;
  StderrMessages messages;
  ScopedMessageSink scope(messages);
  PrintingHost host;
  {
    DialCall probe(host, settings, number, mode == "smart" ? DialAction::SmartDial : DialAction::Exact);
    if (std::string refusal = probe.Refusal(); !refusal.empty()) throw Failure(Utf8FromAnsi(refusal));
  }
  DWORD error = 0;
  switch (host.Start(settings, number, mode == "smart" ? DialAction::SmartDial : DialAction::Exact, &error)) {
    case WindowDialHost::StartResult::Started: break;
    case WindowDialHost::StartResult::PortInUse: throw Failure("The COM port is in use.");
    case WindowDialHost::StartResult::NoPort: throw Failure("cannot open " + *port + " (error " + std::to_string(error) + ")");
    case WindowDialHost::StartResult::NoThread: throw Failure("Failed to create event for thread!");
  }
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  bool timedOut = false;
  while (host.portOpen()) {
    if (!timedOut && std::chrono::steady_clock::now() >= deadline) {
      timedOut = true;
      Emit(Json{{"event", "timeout"}});
      if (host.call()) host.call()->Finish();
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }
  Emit(Json{{"event", "closed"}, {"outcome", host.outcome.empty() ? (timedOut ? "timeout" : "closed") : host.outcome}});
  if (host.outcome != "dialled") throw Failure("the call did not go through");
});

}  // namespace
}  // namespace kv::tool
