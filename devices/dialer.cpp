#include "devices/dialer.h"

#include <algorithm>

#include "base/messages.h"
#include "base/settings.h"
#include "base/untrusted_text.h"
#include "resources/strings.h"

namespace kv {
namespace {

constexpr char kSection[] = "Dialer";
constexpr int kStrTooLong = 19101;
constexpr int kStrLost = 29517;
constexpr int kStrInitError = 1607, kStrNoDialTone = 1608, kStrNoAnswer = 1609, kStrBusy = 1610;

bool IsDigitChar(char c) { return c >= '0' && c <= '9'; }

bool IsControl(char c) { return static_cast<unsigned char>(c) < 14; }

// Where result (code, word) first shows in the text, and where the text after it starts.
struct Found {
  size_t at = std::string_view::npos;
  size_t end = 0;
};
Found FindResult(std::string_view text, char code, std::string_view word) {
  Found best;
  auto take = [&best](size_t at, size_t end) {
    if (at < best.at) best = {at, end};
  };
  if (!text.empty() && text[0] == code) take(0, 1);
  if (size_t w = text.find(word); w != std::string_view::npos) take(w, w + word.size());
  for (size_t i = 1; i < text.size(); ++i)
    if (text[i] == code && IsControl(text[i - 1])) {
      take(i, i + 1);
      break;
    }
  return best;
}

}  // namespace

// ---- settings -------------------------------------------------------------------------------

DialerSettings LoadDialerSettings() {
  DialerSettings s;
  s.port = RegReadSetting(kSection, "Port");
  s.dialType = RegReadSetting(kSection, "DialType");
  s.speakerVol = RegReadSetting(kSection, "SpeakerVol");
  s.speakerVolSet = !s.speakerVol.empty();
  s.callProgress = RegReadSetting(kSection, "CallProgress");
  s.areaCode = RegReadSetting(kSection, "AreaCode");
  s.ldAccess = RegReadSetting(kSection, "LDAccess");
  s.dialPrefix = RegReadSetting(kSection, "DialPrefix");
  std::string action = RegReadSetting(kSection, "DialAction");
  s.dialAction = action == "1" ? 1 : action == "3" ? 3 : 2;
  return s;
}

void SaveDialerModemSettings(const DialerSettings& s) {
  RegWriteSetting(kSection, "SpeakerVol", s.speakerVol);
  RegWriteSetting(kSection, "Port", s.port);
  RegWriteSetting(kSection, "DialType", s.dialType);
  RegWriteSetting(kSection, "CallProgress", s.callProgress);
}

void SaveDialerDialingSettings(const DialerSettings& s) {
  RegWriteSetting(kSection, "AreaCode", s.areaCode);
  RegWriteSetting(kSection, "LDAccess", s.ldAccess);
  RegWriteSetting(kSection, "DialPrefix", s.dialPrefix);
  RegWriteSetting(kSection, "DialAction", std::to_string(std::clamp(s.dialAction, 1, 3)));
}

int DialerPortNumber(std::string_view port) {
  if (port.size() < 4 || port.substr(0, 3) != "COM") return 0;
  char d = port[3];
  return d >= '1' && d <= '8' ? d - '0' : 0;
}

// ---- numbers --------------------------------------------------------------------------------

DialAction EffectiveDialMode(DialAction own, const DialerSettings& s) {
  if (own != DialAction::Default) return own;
  switch (s.dialAction) {
    case 1: return DialAction::SmartDial;
    case 3: return DialAction::Preview;
    default: return DialAction::Exact;
  }
}

std::string SmartDialNumber(std::string_view number, const DialerSettings& s) {
  std::string digits;
  for (char c : number)
    if (IsDigitChar(c)) digits += c;
  const std::string area = digits.substr(0, 3);
  size_t length = digits.size();
  if (digits.size() >= 9 && !s.areaCode.empty()) {
    if (digits.compare(0, s.areaCode.size(), s.areaCode) != 0 || digits.size() < s.areaCode.size()) {
      digits = s.ldAccess + digits;   // the length used below stays the digit count
    } else {
      digits.erase(0, s.areaCode.size());
      length = digits.size();
    }
  }
  std::string result;
  auto threeFour = [](std::string_view seven) {
    return std::string(seven.substr(0, 3)) + "-" + std::string(seven.substr(3, 4));
  };
  if (length == 10) {
    std::string_view last7 = std::string_view(digits).substr(digits.size() - 7);
    // An empty long-distance code leaves no dash in front.
    result = (s.ldAccess.empty() ? std::string() : s.ldAccess + "-") + area + "-" + threeFour(last7);
  } else if (length == 7) {
    result = threeFour(std::string_view(digits).substr(digits.size() - 7));
  } else {
    result = digits;
    if (length < 6) return result;
  }
  if (!s.dialPrefix.empty()) result = s.dialPrefix + "," + result;
  return result;
}

std::string DialNumberRefusal(std::string_view number) {
  if (std::string refusal = DialStringRefusal(number); !refusal.empty()) return refusal;
  if (number.size() > kMaxDialNumber)
    return FormatText(std::string(StringText(kStrTooLong)).c_str(), std::string(number).c_str(),
                      static_cast<int>(kMaxDialNumber));
  return {};
}

// ---- commands -------------------------------------------------------------------------------

std::string ModemInitCommand(const DialerSettings& s) {
  std::string speaker = s.speakerVol == "0" ? std::string("M0") : "M1 L" + s.speakerVol;
  return "ATE0 S0=0 Q0 X" + (s.callProgress.empty() ? std::string("4") : s.callProgress) + " " + speaker + "\r";
}

std::string ModemDialCommand(const DialerSettings& s, std::string_view number) {
  return "ATD" + s.dialType + std::string(number) + ";\r";
}

// ---- results --------------------------------------------------------------------------------

ModemMatch MatchModemResult(std::string_view response, bool dialling) {
  struct Candidate {
    ModemResult result;
    char code;
    std::string_view word;
  };
  static constexpr Candidate kResults[] = {
      {ModemResult::Ok, '0', "OK"},
      {ModemResult::Busy, '7', "BUSY"},
      {ModemResult::NoDialTone, '6', "NO DIALTONE"},
      {ModemResult::NoCarrier, '3', "NO CARRIER"},
  };
  ModemMatch match;
  size_t bestAt = std::string_view::npos;
  for (const Candidate& c : kResults) {
    if (!dialling && c.result != ModemResult::Ok) break;
    Found f = FindResult(response, c.code, c.word);
    if (f.at < bestAt) {
      bestAt = f.at;
      match = {c.result, f.end};
    }
  }
  return match;
}

const char* ModemResultName(ModemResult r) {
  switch (r) {
    case ModemResult::Ok: return "OK";
    case ModemResult::Busy: return "BUSY";
    case ModemResult::NoDialTone: return "NO DIALTONE";
    case ModemResult::NoCarrier: return "NO CARRIER";
    case ModemResult::None: break;
  }
  return "";
}

// ---- the call -------------------------------------------------------------------------------

int PhaseTimeoutMs(int phase) {
  switch (phase) {
    case kPhaseCheck:
    case kPhaseInit: return 3000;
    case kPhaseHangUp: return 1000;
    default: return 0;
  }
}

DialCall::DialCall(DialCallHost& host, DialerSettings settings, std::string number, DialAction mode)
    : host_(host), settings_(std::move(settings)), number_(std::move(number)), mode_(mode) {}

std::string DialCall::Refusal() const {
  if (std::string refusal = DialNumberRefusal(number_); !refusal.empty()) return refusal;
  // The SmartDial codes come from the settings: what they add is checked as well.
  return DialStringRefusal(DialedNumber());
}

std::string DialCall::DialedNumber() const {
  return mode_ == DialAction::SmartDial ? SmartDialNumber(number_, settings_) : number_;
}

void DialCall::Send(std::string_view command) {
  response_.clear();
  host_.Write(command);   // a write that fails leaves the phase timer to decide
}

void DialCall::Start() {
  open_ = true;
  Send("AT\r");
  phase_ = kPhaseCheck;
  host_.SetTimer(kPhaseCheck, PhaseTimeoutMs(kPhaseCheck));
}

void DialCall::WindowOpened() {
  if (!open_) return;
  windowOpen_ = true;
  Send(ModemInitCommand(settings_));
  phase_ = kPhaseInit;
  host_.SetTimer(kPhaseInit, PhaseTimeoutMs(kPhaseInit));
}

void DialCall::Dial() {
  if (!open_ || phase_ != kPhaseDial) return;
  std::string number = DialedNumber();
  host_.ShowDialing(number);
  Send(ModemDialCommand(settings_, number));
  outstanding_ = true;
}

void DialCall::Finish() {
  if (!open_) return;
  if (outstanding_) {
    Send("ATH\r");
    outstanding_ = false;
  }
  for (int id : {kPhaseCheck, kPhaseInit}) host_.KillTimer(id);
  phase_ = kPhaseHangUp;
  windowOpen_ = false;
  host_.SetTimer(kPhaseHangUp, PhaseTimeoutMs(kPhaseHangUp));
}

void DialCall::Close() {
  for (int id : {kPhaseCheck, kPhaseInit, kPhaseHangUp}) host_.KillTimer(id);
  if (!open_) return;
  open_ = false;
  outstanding_ = false;
  phase_ = kPhaseIdle;
  host_.ClosePort();
}

void DialCall::PortLost() {
  if (!open_) return;
  bool showing = windowOpen_ && phase_ != kPhaseHangUp;
  Close();
  if (showing) host_.ShowFailure(std::string(StringText(kStrLost)));
}

void DialCall::Received(std::string_view bytes) {
  if (!open_) return;
  response_.append(bytes);
  // A result leaves what followed it for the next look, so two results in one read both count.
  while (open_) {
    ModemMatch m = MatchModemResult(response_, outstanding_);
    if (m.result == ModemResult::None) break;
    response_.erase(0, m.end);
    Recognised(m.result);
  }
}

void DialCall::Recognised(ModemResult r) {
  host_.ResultSeen(r);
  if (outstanding_) {
    switch (r) {
      case ModemResult::Ok: host_.ShowPickUp(); return;
      case ModemResult::Busy: outstanding_ = false; host_.ShowFailure(std::string(StringText(kStrBusy))); return;
      case ModemResult::NoDialTone:
        outstanding_ = false;
        host_.ShowFailure(std::string(StringText(kStrNoDialTone)));
        return;
      case ModemResult::NoCarrier:
        outstanding_ = false;
        host_.ShowFailure(std::string(StringText(kStrNoAnswer)));
        return;
      case ModemResult::None: return;
    }
  }
  if (r != ModemResult::Ok) return;
  switch (phase_) {
    case kPhaseCheck:
      host_.KillTimer(kPhaseCheck);
      phase_ = kPhaseIdle;
      host_.ModemReady();
      break;
    case kPhaseInit:
      host_.KillTimer(kPhaseInit);
      phase_ = kPhaseDial;
      Dial();
      break;
    case kPhaseHangUp: Close(); break;
    default: break;
  }
}

void DialCall::Timer(int id) {
  host_.KillTimer(id);
  if (!open_ || id != phase_) return;
  switch (phase_) {
    case kPhaseCheck:
      phase_ = kPhaseIdle;
      host_.ModemReady();   // a modem that keeps quiet may still dial
      break;
    case kPhaseInit:
      windowOpen_ = false;
      host_.InitFailed();   // the dialer window goes first, so the message stands alone
      ShowMessage(std::string(StringText(kStrInitError)), MsgIcon::Warning);
      Close();
      break;
    default: Close(); break;
  }
}

}  // namespace kv
