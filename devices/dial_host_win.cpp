#include "devices/dial_host_win.h"

#include "resources/command_ids.h"

namespace kv {
namespace {

constexpr char kClass[] = "KVDialerPort";

bool RegisterPortClass() {
  static bool registered = [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kClass;
    return RegisterClassA(&wc) != 0;
  }();
  return registered;
}

}  // namespace

WindowDialHost::WindowDialHost() {
  if (!RegisterPortClass()) return;
  window_ = CreateWindowExA(0, kClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (window_) {
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc));
  }
}

WindowDialHost::~WindowDialHost() {
  if (window_) {
    SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
  }
  port_.reset();   // joins the reader before the port and its events close
}

WindowDialHost::StartResult WindowDialHost::Start(const DialerSettings& settings, const std::string& number,
                                                  DialAction mode, DWORD* error) {
  if (port_) return StartResult::PortInUse;
  if (!window_) return StartResult::NoThread;
  DWORD code = 0;
  port_ = SerialPort::Open(settings.port, SerialSettings{}, &code);
  if (!port_) {
    if (error) *error = code;
    return code == ERROR_ACCESS_DENIED || code == ERROR_SHARING_VIOLATION ? StartResult::PortInUse
                                                                          : StartResult::NoPort;
  }
  if (!port_->StartReader(window_)) {
    port_.reset();
    return StartResult::NoThread;
  }
  port_->SetDtr(true);
  call_ = std::make_unique<DialCall>(*this, settings, number, mode);
  Drain();   // whatever the modem sent before the call
  if (call_) call_->Start();
  return StartResult::Started;
}

bool WindowDialHost::Write(std::string_view bytes) { return port_ && port_->Write(bytes, 1000); }

void WindowDialHost::SetTimer(int id, int ms) { ::SetTimer(window_, static_cast<UINT_PTR>(id), static_cast<UINT>(ms), nullptr); }

void WindowDialHost::KillTimer(int id) { ::KillTimer(window_, static_cast<UINT_PTR>(id)); }

void WindowDialHost::ClosePort() {
  port_.reset();   // the call object stays (it may be the caller) until the next call replaces it
}

void WindowDialHost::ModemReady() { PostMessageA(window_, kMsgModemReady, 0, 0); }

void WindowDialHost::Drain() {
  if (!port_ || !call_) return;
  char buffer[64];
  // Read until the queue is empty; the reader tells again when more arrives.
  while (port_ && call_ && call_->portOpen()) {
    int got = port_->Read(buffer, sizeof buffer, 1000);
    if (got < 0) {
      call_->PortLost();
      return;
    }
    if (got == 0) break;
    call_->Received(std::string_view(buffer, static_cast<size_t>(got)));
  }
  if (port_) port_->Drained();
}

LRESULT CALLBACK WindowDialHost::Proc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<WindowDialHost*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!self) return DefWindowProcA(window, message, wp, lp);
  try {
    switch (message) {
      case kMsgCommNotify:
        // Only this call's port: a notification of a port closed since (or of another device) is dropped.
        if (!self->port_ || wp != self->port_->token() || !self->call_) return 0;
        if (lp == kCommLost) self->call_->PortLost();
        else self->Drain();
        return 0;
      case WM_TIMER:
        if (self->call_) self->call_->Timer(static_cast<int>(wp));
        else ::KillTimer(window, wp);
        return 0;
      case kMsgModemReady:
        if (self->call_ && self->call_->portOpen()) self->OnModemReady();
        return 0;
      default: break;
    }
  } catch (...) {
  }
  return DefWindowProcA(window, message, wp, lp);
}

}  // namespace kv
