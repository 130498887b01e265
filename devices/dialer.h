// The modem dialer's portable half: the "Dialer" settings, the SmartDial rewriting of a number,
// the Hayes commands, the reading of the modem's result codes, and the call itself as a state
// machine (DialCall) that the Windows dialer window and kvtool drive over a real serial port
// and the unit tests over a scripted one.
//
// A call runs through phases: 1 checks the modem with "AT", 0 waits for the dialer window to
// open, 2 initialises the modem, 3 dials (a redial stays in 3), 4 hangs up; then the port is
// closed. Phases 1, 2 and 4 each have a timer (id = phase) of 3000, 3000 and 1000 ms.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "personal/phone.h"

namespace kv {

// A number holds at most this many characters (longer ones are refused, never cut).
constexpr size_t kMaxDialNumber = 47;

// ---- settings (registry section "Dialer") --------------------------------------------------
struct DialerSettings {
  std::string port;          // "COM1" ... "COM8"; empty: none chosen yet
  std::string dialType;      // "T", "P" or empty (nothing after "ATD")
  std::string speakerVol;    // "0" off, "1" low, "2" medium, "3" high; may be empty
  bool speakerVolSet = false;
  std::string callProgress;  // "4" waits for the dial tone, "3" does not; empty means "4"
  std::string areaCode, ldAccess, dialPrefix;
  int dialAction = 2;        // 1 SmartDial, 2 exactly as entered, 3 preview
};
DialerSettings LoadDialerSettings();
// The modem page's values (SpeakerVol, Port, DialType, CallProgress) and the dialling page's
// (AreaCode, LDAccess, DialPrefix, DialAction).
void SaveDialerModemSettings(const DialerSettings& s);
void SaveDialerDialingSettings(const DialerSettings& s);

// The port number (1 to 8) of a "COMn" value, or 0 when it names none of them.
int DialerPortNumber(std::string_view port);

// ---- numbers --------------------------------------------------------------------------------
// The mode a number is dialled in: its own, else DialAction, else exact. Never Default.
DialAction EffectiveDialMode(DialAction own, const DialerSettings& s);
// The number rewritten by the SmartDial rules (area code, long-distance access, dial-out prefix).
std::string SmartDialNumber(std::string_view number, const DialerSettings& s);
// The message that refuses a number (empty, too long, or holding what is no dialling
// character), or "" when it may be sent to the modem.
std::string DialNumberRefusal(std::string_view number);

// ---- commands -------------------------------------------------------------------------------
std::string ModemInitCommand(const DialerSettings& s);                          // "ATE0 S0=0 Q0 X4 M1 L1\r"
std::string ModemDialCommand(const DialerSettings& s, std::string_view number);  // "ATDT5551234;\r"

// ---- results --------------------------------------------------------------------------------
enum class ModemResult { None, Ok, Busy, NoDialTone, NoCarrier };
struct ModemMatch {
  ModemResult result = ModemResult::None;
  size_t end = 0;   // where the text after the recognised result starts
};
// Looks for a result in what the modem sent: numeric code c or word w is present when the text
// starts with c, contains w, or contains c right after a control character (below 14).
// Outside dialling only OK counts; while dialling the earliest of OK, BUSY ("7"),
// NO DIALTONE ("6") and NO CARRIER ("3").
ModemMatch MatchModemResult(std::string_view response, bool dialling);
const char* ModemResultName(ModemResult r);   // "OK", "BUSY", "NO DIALTONE", "NO CARRIER", ""

// ---- the call -------------------------------------------------------------------------------
// What a call needs from the port and the screen around it.
class DialCallHost {
 public:
  virtual ~DialCallHost() = default;
  // Sends bytes; false when nothing went out within a second.
  virtual bool Write(std::string_view bytes) = 0;
  virtual void SetTimer(int id, int ms) = 0;
  virtual void KillTimer(int id) = 0;
  virtual void ClosePort() = 0;
  // The modem answered "AT" (or kept silent for 3 s): open the dialer window, which calls
  // DialCall::WindowOpened.
  virtual void ModemReady() = 0;
  // The dialer window: status line "Dialing: NUMBER"; the pick-up state; a failure text.
  virtual void ShowDialing(const std::string& number) = 0;
  virtual void ShowPickUp() = 0;
  virtual void ShowFailure(const std::string& text) = 0;
  // Initialising failed: the window is cancelled (the port is closed after this).
  virtual void InitFailed() = 0;
  // Every result recognised, for logs and kvtool.
  virtual void ResultSeen(ModemResult) {}
};

// A host with no port and no window: for working out a call's commands and for feeding it
// replies without a modem.
class DetachedDialCallHost : public DialCallHost {
 public:
  bool Write(std::string_view) override { return true; }
  void SetTimer(int, int) override {}
  void KillTimer(int) override {}
  void ClosePort() override {}
  void ModemReady() override {}
  void ShowDialing(const std::string&) override {}
  void ShowPickUp() override {}
  void ShowFailure(const std::string&) override {}
  void InitFailed() override {}
};

constexpr int kPhaseIdle = 0, kPhaseCheck = 1, kPhaseInit = 2, kPhaseDial = 3, kPhaseHangUp = 4;
int PhaseTimeoutMs(int phase);   // 3000, 3000, 0 (none), 1000

class DialCall {
 public:
  DialCall(DialCallHost& host, DialerSettings settings, std::string number, DialAction mode);

  // The port is open: "AT" and phase 1.
  void Start();
  // Bytes read from the port.
  void Received(std::string_view bytes);
  void Timer(int id);
  // The dialer window is up: the initialisation string and phase 2.
  void WindowOpened();
  // "&Redial" (and the first dial after the initialising OK).
  void Dial();
  // "OK" or "Cancel" of the dialer window: hangs up and closes.
  void Finish();
  // The port failed under the call (the modem went away): everything stops and the port closes.
  void PortLost();

  int phase() const { return phase_; }
  bool dialOutstanding() const { return outstanding_; }
  bool portOpen() const { return open_; }
  const std::string& response() const { return response_; }
  // Why the number may not be dialled ("" when it may): checked before the port is opened.
  std::string Refusal() const;
  // The number as it is sent (after SmartDial).
  std::string DialedNumber() const;

 private:
  void Send(std::string_view command);
  void Close();
  void Recognised(ModemResult r);

  DialCallHost& host_;
  DialerSettings settings_;
  std::string number_;
  DialAction mode_;
  int phase_ = kPhaseIdle;
  bool outstanding_ = false;
  bool open_ = false;
  bool windowOpen_ = false;
  std::string response_;
};

}  // namespace kv
