#include "devices/gps_win.h"

#include <memory>
#include <string>
#include <vector>

#include "base/dialog_win.h"
#include "base/messages.h"
#include "base/settings.h"
#include "devices/dialer.h"
#include "devices/serial_port_win.h"
#include "resources/command_ids.h"
#include "resources/gps_dialog.h"
#include "resources/strings.h"
#include "sky/reference.h"

namespace kv {
namespace {

constexpr int kStrNoPorts = 1550;
constexpr int kStrGeneral = 32400, kStrPortOpen = 32401, kStrGpsActive = 32402, kStrFound = 32403;
constexpr int kStrWaiting = 32404, kStrComError = 32405, kStrEventFailed = 29502;

// The reader thread's "characters arrived" notification to the relay window.
constexpr UINT kMsgGpsCharacters = WM_APP + 0x47;
constexpr int kBatchBytes = 256;
// The status counts as lost once no sentence came for the watchdog's time (a little less, so
// that the target's timer never finds the old status).
constexpr DWORD kSilenceMs = kGpsWatchdogMs - 100;

std::string Str(int id) { return std::string(StringText(id)); }

// The acquisition. Its port's reader thread only watches for characters and posts to the relay
// window, a message-only window made on the thread that started the acquisition: the sentences
// are read and interpreted there, so the status and the fixes are never shared between threads,
// and the watchdog timer is set on the thread that owns the target window (a timer set from
// another thread never fires).
struct Acquisition {
  std::unique_ptr<SerialPort> port;
  HWND relay = nullptr;
  HWND target = nullptr;
  bool running = false;
  GpsReceiver receiver;
  DWORD lastSentence = 0;
  bool heard = false;        // a sentence came since the start
  int mapZoneId = 0;
  ZoneRecord mapZone;
};

Acquisition& State() {
  static Acquisition state;
  return state;
}

// After the watchdog's time without a sentence the receiver counts as silent: status 0, so
// that its next fix is told as found again.
void Settle(Acquisition& a) {
  if (a.running && a.heard && GetTickCount() - a.lastSentence >= kSilenceMs) {
    a.receiver.set_status(kGpsNoData);
    a.heard = false;
  }
}

// Reads what the port holds, at most 256 bytes at a time, until it is empty; each sentence
// restarts the watchdog and its notification goes to the target.
void ReadBatch(Acquisition& a) {
  Settle(a);
  std::vector<GpsEvent> events;
  char buffer[kBatchBytes];
  for (int rounds = 0; rounds < 64; ++rounds) {
    int got = a.port->Read(buffer, kBatchBytes, 1000);
    if (got <= 0) break;
    a.receiver.Feed(std::string_view(buffer, static_cast<size_t>(got)), &events);
  }
  if (events.empty()) return;
  a.lastSentence = GetTickCount();
  a.heard = true;
  bool alive = a.target && IsWindow(a.target);
  if (alive) SetTimer(a.target, kGpsWatchdogTimer, kGpsWatchdogMs, nullptr);
  for (const GpsEvent& e : events)
    if (e.notify && alive) PostMessageA(a.target, static_cast<UINT>(e.notify), 0, 0);
}

LRESULT CALLBACK RelayProc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
  if (message != kMsgGpsCharacters) return DefWindowProcA(window, message, wp, lp);
  Acquisition& a = State();
  // A notification of a port already closed (or of an earlier one) is stale.
  if (!a.running || !a.port || wp != a.port->token()) return 0;
  if (lp == kCommReceived) {
    ReadBatch(a);
    a.port->Drained();
  }
  // A lost port (the receiver unplugged) stays open until the acquisition stops: the silence
  // is told by the watchdog.
  return 0;
}

HWND RelayWindow() {
  Acquisition& a = State();
  if (a.relay && IsWindow(a.relay)) return a.relay;
  static bool registered = false;
  HINSTANCE instance = GetModuleHandleA(nullptr);
  if (!registered) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = RelayProc;
    wc.hInstance = instance;
    wc.lpszClassName = "KVGpsRelay";
    registered = RegisterClassA(&wc) != 0;
  }
  a.relay = CreateWindowExA(0, "KVGpsRelay", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
  return a.relay;
}

// ---- "GPS Configuration" ------------------------------------------------------------------------

// A port is offered when it opens and is a serial port (RS-232 or a modem). A pty standing in
// for a port (Wine) reports no provider type: there a port whose settings can be read is one.
bool IsSerialPort(int number) {
  std::string path = "\\\\.\\COM" + std::to_string(number);
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED,
                         nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  COMMPROP props{};
  bool listed = false;
  if (GetCommProperties(h, &props)) {
    listed = props.dwProvSubType == PST_RS232 || props.dwProvSubType == PST_MODEM;
    if (!listed && props.dwProvSubType == PST_UNSPECIFIED) {
      DCB dcb{};
      dcb.DCBlength = sizeof dcb;
      listed = GetCommState(h, &dcb) != 0;
    }
  }
  CloseHandle(h);
  return listed;
}

class GpsConfiguration final : public Dialog {
 public:
  explicit GpsConfiguration(std::vector<int> ports)
      : Dialog(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_GPS_CONFIGURATION)), ports_(std::move(ports)) {}

 protected:
  bool OnInit() override {
    AddTab(Item(IDC_GPS_TABS), 0, Str(kStrGeneral));
    int saved = DialerPortNumber(RegReadSetting("GPS", "Port"));
    for (size_t i = 0; i < ports_.size(); ++i) {
      AddLine(IDC_GPS_PORTS, "COM" + std::to_string(ports_[i]));
      if (ports_[i] == saved) Select(IDC_GPS_PORTS, static_cast<int>(i));
    }
    if (saved == 0) Select(IDC_GPS_PORTS, 0);
    On(IDC_GPS_PORTS, [this](int code) {
      if (code == LBN_DBLCLK && OnOk()) End(IDOK);
    });
    return true;
  }
  INT_PTR OnMessage(UINT message, WPARAM wp, LPARAM, bool& handled) override {
    if (message != WM_CTLCOLORSTATIC) return FALSE;
    handled = true;
    return page_.For(Item(IDC_GPS_TABS), reinterpret_cast<HDC>(wp));
  }
  bool OnOk() override {
    int at = Selection(IDC_GPS_PORTS);
    if (at >= 0 && at < static_cast<int>(ports_.size()))
      RegWriteSetting("GPS", "Port", "COM" + std::to_string(ports_[static_cast<size_t>(at)]));
    return true;
  }

 private:
  std::vector<int> ports_;
  TabPageBrush page_;
};

// ---- "Acquire GPS Location" ---------------------------------------------------------------------

enum class Light { None, Waiting, Done };

class GpsAcquireDialog final : public Dialog {
 public:
  GpsAcquireDialog() : Dialog(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_GPS_ACQUIRE)) {}

 protected:
  bool OnInit() override {
    CentreOver(nullptr);
    HINSTANCE instance = GetModuleHandleA(nullptr);
    waiting_ = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_GPS_WAITING), IMAGE_ICON, 16, 16, LR_SHARED));
    done_ = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_GPS_DONE), IMAGE_ICON, 16, 16, LR_SHARED));
    SetLight(IDC_GPS_PORT_LIGHT, Light::Waiting);
    SetLight(IDC_GPS_RECEIVER_LIGHT, Light::None);
    SetLight(IDC_GPS_FIX_LIGHT, Light::None);
    // The port is the dialog's for its length: a map acquisition gives it up (the caller starts
    // it again afterwards).
    StopGpsAcquisition();
    if (!StartGpsAcquisition(GpsMode::Dialog, hwnd())) End(IDCANCEL);
    return true;
  }
  // Enter is Cancel here (the only button); only a fix closes the dialog with a position.
  bool OnOk() override {
    End(IDCANCEL);
    return false;
  }
  INT_PTR OnMessage(UINT message, WPARAM wp, LPARAM, bool&) override {
    switch (message) {
      case kMsgGpsPortOpen:
        SetLight(IDC_GPS_PORT_LIGHT, Light::Done);
        SetLight(IDC_GPS_RECEIVER_LIGHT, Light::Waiting);
        SetText(IDC_GPS_PORT_TEXT, Str(kStrPortOpen));
        Enable(IDC_GPS_RECEIVER_TEXT, true);
        break;
      case kMsgGpsActive:
        SetLight(IDC_GPS_RECEIVER_LIGHT, Light::Done);
        SetLight(IDC_GPS_FIX_LIGHT, Light::Waiting);
        SetText(IDC_GPS_RECEIVER_TEXT, Str(kStrGpsActive));
        Enable(IDC_GPS_FIX_TEXT, true);
        break;
      case kMsgGpsFound:
        SetLight(IDC_GPS_FIX_LIGHT, Light::Done);
        SetText(IDC_GPS_FIX_TEXT, Str(kStrFound));
        Enable(IDC_GPS_FIX_TEXT, true);
        UpdateWindow(hwnd());
        End(IDOK);
        break;
      case WM_TIMER:
        if (wp != kGpsWatchdogTimer) break;
        SetLight(IDC_GPS_RECEIVER_LIGHT, Light::Waiting);
        SetLight(IDC_GPS_FIX_LIGHT, Light::None);
        SetText(IDC_GPS_RECEIVER_TEXT, Str(kStrWaiting));
        Enable(IDC_GPS_FIX_TEXT, false);
        break;
      case WM_DESTROY: StopGpsAcquisition(); break;
      default: break;
    }
    return FALSE;
  }

 private:
  void SetLight(int id, Light light) {
    HICON icon = light == Light::Waiting ? waiting_ : light == Light::Done ? done_ : nullptr;
    SendMessageA(Item(id), STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    // Nothing drawn for no light: the control shows the dialog behind it.
    InvalidateRect(Item(id), nullptr, TRUE);
  }
  HICON waiting_ = nullptr, done_ = nullptr;
};

}  // namespace

bool StartGpsAcquisition(GpsMode mode, HWND target) {
  StopGpsAcquisition();
  Acquisition& a = State();
  a.receiver.Start(mode);
  a.heard = false;
  if (mode == GpsMode::Map) {
    a.mapZoneId = SystemZone();
    const ZoneRecord* zone = FindZone(a.mapZoneId);
    a.mapZone = zone ? *zone : ZoneRecord{};
  }
  std::string name = RegReadSetting("GPS", "Port");
  if (name.empty()) return false;
  HWND relay = RelayWindow();
  if (!relay) return false;
  SerialSettings settings;
  settings.baudRate = 4800;
  std::unique_ptr<SerialPort> port = SerialPort::Open(name, settings);
  if (!port) return false;
  // What the port queued before the acquisition is an old position: only what comes now counts.
  PurgeComm(port->handle(), PURGE_RXCLEAR);
  if (!port->StartReader(relay, kMsgGpsCharacters)) {
    UserMessage m;
    m.text = Str(kStrEventFailed);
    m.caption = Str(kStrComError);
    m.icon = MsgIcon::Warning;
    ShowUserMessage(m);
    return false;
  }
  a.port = std::move(port);
  a.target = target;
  a.running = true;
  if (mode == GpsMode::Dialog && target) PostMessageA(target, kMsgGpsPortOpen, 0, 0);
  return true;
}

void StopGpsAcquisition() {
  Acquisition& a = State();
  if (a.target && IsWindow(a.target)) KillTimer(a.target, kGpsWatchdogTimer);
  // The reader is joined before its port and events go (the port's destructor does both).
  a.port.reset();
  a.running = false;
  a.heard = false;
  a.receiver.set_status(kGpsNoData);
  a.target = nullptr;
}

bool GpsMapAcquisitionRunning() { return State().running && State().receiver.mode() == GpsMode::Map; }

int GpsStatus() {
  Acquisition& a = State();
  Settle(a);
  return a.running ? a.receiver.status() : kGpsNoData;
}

GpsFix GpsMapFix() { return State().receiver.mapFix(); }
GpsFix GpsDialogFix() { return State().receiver.dialogFix(); }
int GpsMapZoneId() { return State().mapZoneId; }
const ZoneRecord& GpsMapZone() { return State().mapZone; }

int RunGpsConfigurationDialog(HWND owner) {
  std::vector<int> ports;
  for (int n = 1; n <= 8; ++n)
    if (IsSerialPort(n)) ports.push_back(n);
  if (ports.empty()) {
    ShowMessage(Str(kStrNoPorts), MsgIcon::Information);
    return IDCANCEL;
  }
  GpsConfiguration dialog(std::move(ports));
  return static_cast<int>(dialog.RunModal(owner));
}

bool EnsureGpsPortConfigured(HWND owner) {
  if (!RegReadSetting("GPS", "Port").empty()) return true;
  if (RunGpsConfigurationDialog(owner) != IDOK) return false;
  return !RegReadSetting("GPS", "Port").empty();
}

bool AcquireGpsLocation(HWND owner, GpsFix* fix) {
  Acquisition& a = State();
  HWND map = GpsMapAcquisitionRunning() ? a.target : nullptr;
  if (!EnsureGpsPortConfigured(owner)) return false;
  GpsAcquireDialog dialog;
  bool found = dialog.RunModal(owner) == IDOK;
  if (found && fix) *fix = GpsDialogFix();
  if (map && IsWindow(map)) StartGpsAcquisition(GpsMode::Map, map);
  return found;
}

}  // namespace kv
