// One serial port of a device (the modem, the GPS receiver): opening and configuring a COM port,
// overlapped reads and writes, and a reader thread that only watches the port and posts a
// notification to its owner window. The owner reads on its own thread and calls Drained() when
// it has taken what was queued, so at most one notification is ever outstanding.
//
// Each notification carries the port's token (WPARAM) so a window that serves several devices,
// or a port closed and opened again, never takes another port's notification for its own.
//
// Ptys (Wine maps a COM port to one for the tests) behave differently from real ports in three
// ways, all handled here: raising DTR fails (ignored), the provider subtype is 0, and a wait for
// a port event can finish with an empty event mask; the reader then looks at the queue count
// and polls briefly rather than stopping or spinning.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <string>
#include <string_view>

namespace kv {

// The Windows communications notification (WM_COMMNOTIFY).
constexpr UINT kMsgCommNotify = 0x0044;
// Its LPARAM: characters arrived, or the port failed under the reader (the device went away).
constexpr LPARAM kCommReceived = 4;      // CN_EVENT
constexpr LPARAM kCommLost = 0x8000;

struct SerialSettings {
  DWORD baudRate = 0;   // 0 keeps the port's current rate
  DWORD queueBytes = 4096;
  DWORD writeTimeoutMs = 5000;
};

class SerialPort {
 public:
  // Opens "COMn" exclusively for overlapped reading and writing and configures it: 8 data
  // bits, no parity, one stop bit, parity checking on, DTR and RTS on (no handshaking), no
  // XON/XOFF, reads that return at once with what is queued. nullptr when the port cannot be
  // opened or configured (*error says which; ERROR_ACCESS_DENIED when another program holds it).
  static std::unique_ptr<SerialPort> Open(const std::string& name, const SerialSettings& settings,
                                          DWORD* error = nullptr);
  // Stops the reader (joined before anything is closed), lowers DTR and closes the port.
  ~SerialPort();
  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;

  // Starts the reader thread, which posts `message` (WPARAM token(), LPARAM kCommReceived or
  // kCommLost) to `owner`. False when the thread could not be started.
  bool StartReader(HWND owner, UINT message = kMsgCommNotify);
  // The owner has read what was queued: the reader may post again.
  void Drained();

  // Reads what is queued, at most `size` bytes (0 when nothing is), waiting at most `waitMs`
  // for a pending read. -1 when the port failed.
  int Read(char* buffer, int size, DWORD waitMs = 1000);
  // Writes the bytes, waiting at most `waitMs`; true when at least one byte went out.
  bool Write(std::string_view bytes, DWORD waitMs = 1000);
  void SetDtr(bool on);
  // Bytes waiting in the input queue, or -1 when the port failed.
  int Queued();

  WPARAM token() const { return token_; }
  const std::string& name() const { return name_; }
  HANDLE handle() const { return port_; }

  // True when the port is listed on the modem page: it opens and its provider reports a modem,
  // or an RS-232 port (or, on a pty, an unspecified one) whose modem status can be read.
  static bool LooksLikeModem(int number);

 private:
  SerialPort() = default;
  static DWORD WINAPI ReaderMain(LPVOID self);
  void Reader();
  bool Retry(bool& lost);
  void StopReader();

  std::string name_;
  HANDLE port_ = INVALID_HANDLE_VALUE;
  HANDLE readDone_ = nullptr, writeDone_ = nullptr, drained_ = nullptr, stop_ = nullptr;
  HANDLE thread_ = nullptr;
  HWND owner_ = nullptr;
  UINT message_ = 0;
  WPARAM token_ = 0;
  OVERLAPPED wait_{};   // the reader's pending wait: kept with the port, which outlives the thread
  std::atomic<bool> running_{false};
};

}  // namespace kv
