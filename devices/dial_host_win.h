// A modem call on a real serial port: the port, a message-only window that takes the reader's
// notifications and the phase timers, and the draining of the port on the window's thread.
// What the call shows is left to a derived class (the "Kalvora Dialer" window, or kvtool's
// printed results).
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "devices/dialer.h"
#include "devices/serial_port_win.h"

namespace kv {

class WindowDialHost : public DialCallHost {
 public:
  WindowDialHost();
  ~WindowDialHost() override;
  WindowDialHost(const WindowDialHost&) = delete;
  WindowDialHost& operator=(const WindowDialHost&) = delete;

  enum class StartResult { Started, PortInUse, NoPort, NoThread };
  // Opens the settings' port, starts its reader, raises DTR, drains it once and sends "AT".
  // On failure everything opened is closed again; *error is the port's system error.
  StartResult Start(const DialerSettings& settings, const std::string& number, DialAction mode, DWORD* error = nullptr);

  DialCall* call() { return call_.get(); }
  bool portOpen() const { return static_cast<bool>(port_); }

  // DialCallHost: the port and the timers.
  bool Write(std::string_view bytes) override;
  void SetTimer(int id, int ms) override;
  void KillTimer(int id) override;
  void ClosePort() override;
  // Posts the modem-ready message; OnModemReady runs when it arrives.
  void ModemReady() override;

 protected:
  virtual void OnModemReady() = 0;

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wp, LPARAM lp);
  void Drain();

  HWND window_ = nullptr;
  std::unique_ptr<SerialPort> port_;
  std::unique_ptr<DialCall> call_;
};

}  // namespace kv
