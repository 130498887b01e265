#include "devices/dialer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/messages.h"
#include "base/settings.h"

namespace kv {
namespace {

DialerSettings Smart(std::string area, std::string ld, std::string prefix) {
  DialerSettings s;
  s.areaCode = std::move(area);
  s.ldAccess = std::move(ld);
  s.dialPrefix = std::move(prefix);
  return s;
}

TEST(SmartDial, RewritesByAreaCodeAccessAndPrefix) {
  struct Case {
    const char* number;
    DialerSettings settings;
    const char* expected;
  } cases[] = {
      // the area code is local: prefix, pause, the last seven digits grouped
      {"(555) 123-4567", Smart("555", "1", "9"), "9,123-4567"},
      // another area code: long-distance access in front
      {"212-555-0199", Smart("555", "1", "9"), "9,1-212-555-0199"},
      // an extension stays as its digits, without the prefix
      {"x4321", Smart("555", "1", "9"), "4321"},
      {"12345", Smart("555", "1", "9"), "12345"},
      // seven digits: grouped, with the prefix
      {"5551234", Smart("555", "1", "9"), "9,555-1234"},
      {"5551234", Smart("", "", ""), "555-1234"},
      // no area code set: ten digits keep their own area part
      {"2125550199", Smart("", "1", ""), "1-212-555-0199"},
      {"2125550199", Smart("", "", ""), "212-555-0199"},
      // eleven digits in another area: access code in front of the digits as they stand
      {"1-212-555-0199", Smart("555", "1", ""), "112125550199"},
      // six digits: the prefix applies, no grouping
      {"123456", Smart("555", "1", "9"), "9,123456"},
      {"", Smart("555", "1", "9"), ""},
  };
  for (const Case& c : cases) EXPECT_EQ(SmartDialNumber(c.number, c.settings), c.expected) << c.number;
}

TEST(DialerSettingsTest, DefaultsAndRoundTrip) {
  MemorySettings store;
  SetSettingsStore(&store);
  DialerSettings s = LoadDialerSettings();
  EXPECT_EQ(s.port, "");
  EXPECT_EQ(s.dialType, "");
  EXPECT_FALSE(s.speakerVolSet);
  EXPECT_EQ(s.dialAction, 2);
  EXPECT_EQ(ModemInitCommand(s), "ATE0 S0=0 Q0 X4 M1 L\r");   // nothing saved yet
  EXPECT_EQ(ModemDialCommand(s, "5551234"), "ATD5551234;\r");

  s.port = "COM7";
  s.dialType = "P";
  s.speakerVol = "0";
  s.callProgress = "3";
  s.areaCode = "555";
  s.ldAccess = "1";
  s.dialPrefix = "9";
  s.dialAction = 3;
  SaveDialerModemSettings(s);
  SaveDialerDialingSettings(s);
  EXPECT_EQ(store.Read("Dialer", "DialAction"), "3");
  DialerSettings back = LoadDialerSettings();
  EXPECT_EQ(back.port, "COM7");
  EXPECT_EQ(ModemInitCommand(back), "ATE0 S0=0 Q0 X3 M0\r");
  EXPECT_EQ(ModemDialCommand(back, "9,123-4567"), "ATDP9,123-4567;\r");
  back.speakerVol = "3";
  EXPECT_EQ(ModemInitCommand(back), "ATE0 S0=0 Q0 X3 M1 L3\r");
  store.Write("Dialer", "DialAction", "7");
  EXPECT_EQ(LoadDialerSettings().dialAction, 2);
  SetSettingsStore(nullptr);
}

TEST(DialerSettingsTest, ModesAndPorts) {
  DialerSettings s;
  s.dialAction = 1;
  EXPECT_EQ(EffectiveDialMode(DialAction::Default, s), DialAction::SmartDial);
  EXPECT_EQ(EffectiveDialMode(DialAction::Exact, s), DialAction::Exact);
  EXPECT_EQ(EffectiveDialMode(DialAction::Preview, s), DialAction::Preview);
  s.dialAction = 3;
  EXPECT_EQ(EffectiveDialMode(DialAction::Default, s), DialAction::Preview);
  EXPECT_EQ(EffectiveDialMode(DialAction::SmartDial, s), DialAction::SmartDial);
  s.dialAction = 2;
  EXPECT_EQ(EffectiveDialMode(DialAction::Default, s), DialAction::Exact);
  for (auto [text, n] : std::vector<std::pair<const char*, int>>{
           {"COM1", 1}, {"COM8", 8}, {"COM9", 0}, {"COM0", 0}, {"com3", 0}, {"COM", 0}, {"", 0}, {"LPT1", 0}})
    EXPECT_EQ(DialerPortNumber(text), n) << text;
}

TEST(DialNumberRefusalTest, RefusesWhatCannotBeSent) {
  EXPECT_EQ(DialNumberRefusal("+1 (555) 123-4567"), "");
  EXPECT_EQ(DialNumberRefusal("9,,*70W555#"), "");
  EXPECT_EQ(DialNumberRefusal(std::string(47, '5')), "");
  std::string longOne = DialNumberRefusal(std::string(48, '5'));
  EXPECT_NE(longOne.find("at most 47 characters"), std::string::npos) << longOne;
  EXPECT_NE(DialNumberRefusal(std::string(80, '5')).find("at most"), std::string::npos);
  EXPECT_NE(DialNumberRefusal(""), "");
  for (const char* hostile : {"555\r1234", "5551234;\rATH", "555&F", "555\n", "ATZ", "555\x1b"})
    EXPECT_NE(DialNumberRefusal(hostile).find("not a dialling character"), std::string::npos) << hostile;
}

TEST(ModemResultTest, MatchesWordAndNumericForms) {
  struct Case {
    const char* text;
    bool dialling;
    ModemResult expected;
  } cases[] = {
      {"\r\nOK\r\n", false, ModemResult::Ok},
      {"0\r", false, ModemResult::Ok},                 // numeric mode at the start
      {"AT\r\r\n0\r", false, ModemResult::Ok},          // after an echo, behind a control character
      {"garbage OK", false, ModemResult::Ok},
      {"\r\nBUSY\r\n", false, ModemResult::None},       // only OK counts outside dialling
      {"\r\nERROR\r\n", false, ModemResult::None},
      {"4\r", false, ModemResult::None},
      {"\r\nBUSY\r\n", true, ModemResult::Busy},
      {"7\r", true, ModemResult::Busy},
      {"\r\nNO DIALTONE\r\n", true, ModemResult::NoDialTone},
      {"\r6\r", true, ModemResult::NoDialTone},
      {"\r\nNO CARRIER\r\n", true, ModemResult::NoCarrier},
      {"\x01" "3", true, ModemResult::NoCarrier},
      {"\x0e" "3", true, ModemResult::None},              // 14 is no control character here
      {"\r\nOK\r\n\r\nBUSY\r\n", true, ModemResult::Ok},   // the earliest wins
      {"x7", true, ModemResult::None},
      {"", true, ModemResult::None},
      {"NO DIAL", true, ModemResult::None},
  };
  for (const Case& c : cases)
    EXPECT_EQ(MatchModemResult(c.text, c.dialling).result, c.expected) << c.text << " dialling " << c.dialling;
  ModemMatch m = MatchModemResult("\r\nOK\r\nBUSY", true);
  EXPECT_EQ(std::string("\r\nOK\r\nBUSY").substr(m.end), "\r\nBUSY");
}

// A scripted port and screen: records everything the call does.
class FakeHost : public DialCallHost {
 public:
  bool Write(std::string_view bytes) override {
    written += bytes;
    return true;
  }
  void SetTimer(int id, int ms) override { log.push_back("timer+" + std::to_string(id) + "=" + std::to_string(ms)); }
  void KillTimer(int id) override { killed.push_back(id); }
  void ClosePort() override { log.push_back("close"); ++closes; }
  void ModemReady() override { log.push_back("ready"); }
  void ShowDialing(const std::string& n) override { log.push_back("dialing " + n); }
  void ShowPickUp() override { log.push_back("pickup"); }
  void ShowFailure(const std::string& t) override { log.push_back("fail " + t); }
  void InitFailed() override { log.push_back("initfailed"); }
  std::string written;
  std::vector<std::string> log;
  std::vector<int> killed;
  int closes = 0;
};

class DialCallTest : public ::testing::Test {
 protected:
  DialCallTest() {
    settings.dialType = "T";
    settings.speakerVol = "2";
    settings.areaCode = "555";
    settings.ldAccess = "1";
    settings.dialPrefix = "9";
  }
  FakeHost host;
  DialerSettings settings;
  ScriptedMessages messages;
  ScopedMessageSink scope{messages};
};

TEST_F(DialCallTest, FullCallToPickUpAndHangUp) {
  DialCall call(host, settings, "(555) 123-4567", DialAction::SmartDial);
  call.Start();
  EXPECT_EQ(host.written, "AT\r");
  EXPECT_EQ(call.phase(), kPhaseCheck);
  call.Received("\r\nO");
  EXPECT_EQ(call.phase(), kPhaseCheck);   // half a word is no answer yet
  call.Received("K\r\n");
  EXPECT_EQ(call.phase(), kPhaseIdle);
  call.WindowOpened();
  EXPECT_EQ(call.phase(), kPhaseInit);
  call.Received("0\r");   // numeric mode
  EXPECT_EQ(call.phase(), kPhaseDial);
  EXPECT_TRUE(call.dialOutstanding());
  EXPECT_EQ(host.written, "AT\rATE0 S0=0 Q0 X4 M1 L2\rATDT9,123-4567;\r");
  call.Received("\r\nOK\r\n");
  call.Finish();
  EXPECT_EQ(call.phase(), kPhaseHangUp);
  EXPECT_FALSE(call.dialOutstanding());
  call.Received("\r\nOK\r\n");
  EXPECT_FALSE(call.portOpen());
  EXPECT_EQ(host.written, "AT\rATE0 S0=0 Q0 X4 M1 L2\rATDT9,123-4567;\rATH\r");
  std::vector<std::string> expected = {"timer+1=3000", "ready", "timer+2=3000", "dialing 9,123-4567", "pickup",
                                       "timer+4=1000", "close"};
  EXPECT_EQ(host.log, expected);
  EXPECT_TRUE(messages.Texts().empty());
}

TEST_F(DialCallTest, FailuresAndRedial) {
  struct Case {
    const char* reply;
    const char* text;
  } cases[] = {{"\r\nBUSY\r\n", "fail The number is busy."},
               {"\r\n6\r", "fail No dial tone."},
               {"\r\nNO CARRIER\r\n", "fail The call was not answered."},
               {"\r\nERROR\r\n", nullptr}};
  for (const Case& c : cases) {
    FakeHost h;
    DialCall call(h, settings, "555-1234", DialAction::Exact);
    call.Start();
    call.Timer(kPhaseCheck);   // a quiet modem still gets the window
    ASSERT_EQ(h.log.back(), "ready");
    call.WindowOpened();
    call.Received("OK\r\n");
    call.Received(c.reply);
    if (!c.text) {
      EXPECT_TRUE(call.dialOutstanding());
      continue;
    }
    EXPECT_EQ(h.log.back(), c.text);
    EXPECT_FALSE(call.dialOutstanding());
    call.Dial();   // redial stays in phase 3
    EXPECT_EQ(call.phase(), kPhaseDial);
    EXPECT_EQ(h.written.substr(h.written.size() - 14), "ATDT555-1234;\r");
    call.Finish();
    call.Timer(kPhaseHangUp);   // no OK to the hang-up: closed after a second
    EXPECT_EQ(h.closes, 1);
  }
}

TEST_F(DialCallTest, InitialisationTimesOut) {
  DialCall call(host, settings, "5551234", DialAction::Exact);
  call.Start();
  call.Received("OK\r");
  call.WindowOpened();
  call.Timer(kPhaseCheck);   // a stale timer of another phase changes nothing
  EXPECT_EQ(call.phase(), kPhaseInit);
  call.Timer(kPhaseInit);
  EXPECT_EQ(messages.Texts(), std::vector<std::string>{"An error was received initializing the modem."});
  EXPECT_EQ(host.log.back(), "close");
  EXPECT_EQ(host.log[host.log.size() - 2], "initfailed");
  call.Received("OK\r");   // late bytes after closing are ignored
  call.Finish();
  EXPECT_EQ(host.closes, 1);
}

TEST_F(DialCallTest, TwoResultsInOneReadAndLostPort) {
  DialCall call(host, settings, "5551234", DialAction::Exact);
  call.Start();
  call.Received("OK\r");
  call.WindowOpened();
  // What followed the initialising OK in its read came before the dial command: dropped.
  call.Received("\r\nOK\r\n\r\nBUSY\r\n");
  EXPECT_EQ(host.log.back(), "dialing 5551234");
  call.Received("\r\nOK\r\n\r\nBUSY\r\n");   // dial OK, then BUSY in one read
  EXPECT_EQ(host.log.back(), "fail The number is busy.");
  call.Dial();
  call.PortLost();
  EXPECT_FALSE(call.portOpen());
  EXPECT_EQ(host.log.back(), "fail The connection to the modem was lost.");
  call.Finish();   // the window's Cancel after the loss does nothing more
  EXPECT_EQ(host.closes, 1);
  EXPECT_EQ(host.written.find("ATH"), std::string::npos);
}

TEST_F(DialCallTest, RefusalCoversTheRewrittenNumber) {
  EXPECT_EQ(DialCall(host, settings, "555-1234", DialAction::SmartDial).Refusal(), "");
  EXPECT_NE(DialCall(host, settings, "555\r1234", DialAction::Exact).Refusal(), "");
  DialerSettings bad = settings;
  bad.dialPrefix = "9\rATZ";
  EXPECT_NE(DialCall(host, bad, "555-1234", DialAction::SmartDial).Refusal(), "");
  EXPECT_EQ(DialCall(host, bad, "555-1234", DialAction::Exact).Refusal(), "");   // exact ignores the prefix
}

}  // namespace
}  // namespace kv
