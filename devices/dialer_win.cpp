#include "devices/dialer_win.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

#include "base/dialog_win.h"
#include "base/messages.h"
#include "devices/dial_host_win.h"
#include "resources/dialer_dialog.h"
#include "resources/strings.h"

namespace kv {
namespace {

constexpr int kStrNoModems = 1605, kStrPortInUse = 1606, kStrDialing = 1611;
constexpr int kStrEventFailed = 29502, kStrDialerError = 29503;
constexpr int kStrModeFirst = 29504;   // 29504-29506: the three default dialling modes
constexpr int kStrTone = 29507, kStrPulse = 29508, kStrSpeakerFirst = 29509;   // Off, Low, Med, High
constexpr int kStrDialingPage = 29513, kStrModemPage = 29514;
constexpr int kStrCannotOpen = 29515, kStrNoPortChosen = 29516;

std::string Str(int id) { return std::string(StringText(id)); }

// ---- the "Kalvora Dialer" window ---------------------------------------------------------------

class DialerHost;

class DialerWindow final : public Dialog {
 public:
  DialerWindow(HINSTANCE instance, DialerHost& host) : Dialog(instance, "DIALER"), host_(host) {}

  void ShowDialing(const std::string& number) {
    Show(IDC_DIALER_REDIAL, false);
    SetText(IDC_DIALER_STATUS, Str(kStrDialing) + " " + number);
  }
  void ShowPickUp() {
    Show(IDC_DIALER_PICKUP, true);
    Show(IDC_DIALER_ICON2, true);
    Show(IDC_DIALER_ICON1, false);
    Show(IDCANCEL, false);
    Show(IDOK, true);
    SendMessageA(hwnd(), DM_SETDEFID, IDOK, 0);
    FocusOn(IDOK);
  }
  void ShowFailure(const std::string& text) {
    SetText(IDC_DIALER_STATUS, text);
    Show(IDOK, false);
    Show(IDC_DIALER_ICON2, false);
    Show(IDCANCEL, true);
    Show(IDC_DIALER_ICON1, true);
    Show(IDC_DIALER_REDIAL, true);
    Show(IDC_DIALER_PICKUP, false);
    SendMessageA(hwnd(), DM_SETDEFID, IDC_DIALER_REDIAL, 0);
    FocusOn(IDC_DIALER_REDIAL);
  }
  // Initialising failed: the window goes without hanging up (nothing was dialled).
  void Abandon() {
    abandoned_ = true;
    End(IDCANCEL);
  }

 protected:
  bool OnInit() override;
  bool OnOk() override;
  bool OnCancel() override { return OnOk(); }

 private:
  DialerHost& host_;
  bool abandoned_ = false;
};

class DialerHost final : public WindowDialHost {
 public:
  DialerHost(HINSTANCE instance, HWND owner) : instance_(instance), owner_(owner) {}
  void SetOwner(HWND owner) { owner_ = owner; }

  void ShowDialing(const std::string& number) override {
    if (window_) window_->ShowDialing(number);
  }
  void ShowPickUp() override {
    if (window_) window_->ShowPickUp();
  }
  void ShowFailure(const std::string& text) override {
    if (window_) window_->ShowFailure(text);
  }
  void InitFailed() override {
    if (window_) window_->Abandon();
  }
  void Forget() { window_ = nullptr; }

 protected:
  void OnModemReady() override {
    DialerWindow window(instance_, *this);
    window_ = &window;
    window.RunModal(owner_);
    window_ = nullptr;
  }

 private:
  HINSTANCE instance_;
  HWND owner_;
  DialerWindow* window_ = nullptr;
};

bool DialerWindow::OnInit() {
  CentreOver(GetParent(hwnd()));
  Show(IDOK, false);
  Show(IDC_DIALER_PICKUP, false);
  Show(IDC_DIALER_REDIAL, false);
  Show(IDC_DIALER_ICON2, false);
  SetText(IDC_DIALER_STATUS, Str(29500));
  SendMessageA(hwnd(), DM_SETDEFID, IDCANCEL, 0);   // Enter while "OK" is hidden cancels
  On(IDC_DIALER_REDIAL, [this](int) {
    if (host_.call()) host_.call()->Dial();
  });
  if (host_.call()) host_.call()->WindowOpened();
  return true;
}

bool DialerWindow::OnOk() {
  host_.Forget();
  if (!abandoned_ && host_.call()) host_.call()->Finish();
  return true;
}

std::unique_ptr<DialerHost>& Host() {
  static std::unique_ptr<DialerHost> host;
  return host;
}

// ---- "Dial Preview" ------------------------------------------------------------------------------

class DialPreview final : public Dialog {
 public:
  DialPreview(HINSTANCE instance, std::string number, const DialerSettings& settings)
      : Dialog(instance, "DIALPREVIEW"), exact_(std::move(number)), smart_(SmartDialNumber(exact_, settings)) {}
  const std::string& number() const { return chosen_; }

 protected:
  bool OnInit() override {
    SendDlgItemMessageA(hwnd(), IDC_PREVIEW_NUMBER, EM_LIMITTEXT, kMaxDialNumber, 0);
    Pick(IDC_PREVIEW_EXACT);
    On(IDC_PREVIEW_EXACT, [this](int code) {
      if (code == BN_CLICKED) Pick(IDC_PREVIEW_EXACT);
    });
    On(IDC_PREVIEW_SMART, [this](int code) {
      if (code == BN_CLICKED) Pick(IDC_PREVIEW_SMART);
    });
    On(IDC_PREVIEW_NUMBER, [this](int code) {
      if (code != EN_CHANGE || filling_) return;
      std::string text = Text(IDC_PREVIEW_NUMBER);
      const std::string& form = Checked(IDC_PREVIEW_SMART) ? smart_ : exact_;
      if (text != form) Radio(IDC_PREVIEW_USER);
    });
    FocusOn(IDC_PREVIEW_NUMBER);
    return false;
  }
  bool OnOk() override {
    std::string text = Text(IDC_PREVIEW_NUMBER);
    if (std::string refusal = DialNumberRefusal(text); !refusal.empty()) {
      ShowMessage(refusal, MsgIcon::Warning);
      FocusOn(IDC_PREVIEW_NUMBER);
      return false;
    }
    chosen_ = text;
    return true;
  }

 private:
  void Radio(int id) {
    for (int r : {IDC_PREVIEW_EXACT, IDC_PREVIEW_SMART, IDC_PREVIEW_USER}) SetChecked(r, r == id);
  }
  void Pick(int id) {
    Radio(id);
    filling_ = true;
    SetText(IDC_PREVIEW_NUMBER, id == IDC_PREVIEW_SMART ? smart_ : exact_);
    filling_ = false;
  }
  std::string exact_, smart_, chosen_;
  bool filling_ = false;
};

// ---- "Dialing Configuration" ---------------------------------------------------------------------

constexpr std::array<int, 8> kDialingPage = {IDC_DIALCFG_LD_LABEL,     IDC_DIALCFG_LD,   IDC_DIALCFG_AREA_LABEL,
                                             IDC_DIALCFG_AREA,         IDC_DIALCFG_PREFIX_LABEL, IDC_DIALCFG_PREFIX,
                                             IDC_DIALCFG_MODE_LABEL,   IDC_DIALCFG_MODE};
constexpr std::array<int, 7> kModemPage = {IDC_DIALCFG_PORT_LABEL,    IDC_DIALCFG_PORT, IDC_DIALCFG_TYPE_LABEL,
                                           IDC_DIALCFG_TYPE,          IDC_DIALCFG_SPEAKER_LABEL,
                                           IDC_DIALCFG_SPEAKER,       IDC_DIALCFG_WAIT};

class DialingConfiguration final : public Dialog {
 public:
  explicit DialingConfiguration(HINSTANCE instance) : Dialog(instance, "DIALINGCONFIG") {}

 protected:
  bool OnInit() override {
    s_ = LoadDialerSettings();
    HWND tabs = Item(IDC_DIALCFG_TABS);
    std::string names[2] = {Str(kStrDialingPage), Str(kStrModemPage)};
    for (int i = 0; i < 2; ++i) AddTab(tabs, i, names[i]);
    // the dialling page
    SetText(IDC_DIALCFG_LD, s_.ldAccess);
    SetText(IDC_DIALCFG_AREA, s_.areaCode);
    SetText(IDC_DIALCFG_PREFIX, s_.dialPrefix);
    for (int i = 0; i < 3; ++i) AddLine(IDC_DIALCFG_MODE, Str(kStrModeFirst + i));
    Select(IDC_DIALCFG_MODE, s_.dialAction - 1);
    // the modem page
    for (int n = 1; n <= 8; ++n)
      if (SerialPort::LooksLikeModem(n)) ports_.push_back(n);
    int stored = DialerPortNumber(s_.port);
    for (size_t i = 0; i < ports_.size(); ++i) {
      AddLine(IDC_DIALCFG_PORT, "COM" + std::to_string(ports_[i]));
      if (stored == 0 || ports_[i] == stored) Select(IDC_DIALCFG_PORT, static_cast<int>(i));
    }
    AddLine(IDC_DIALCFG_TYPE, Str(kStrTone));
    AddLine(IDC_DIALCFG_TYPE, Str(kStrPulse));
    Select(IDC_DIALCFG_TYPE, s_.dialType == "P" ? 1 : 0);
    for (int i = 0; i < 4; ++i) AddLine(IDC_DIALCFG_SPEAKER, Str(kStrSpeakerFirst + i));
    int volume = s_.speakerVol.size() == 1 && s_.speakerVol[0] >= '0' && s_.speakerVol[0] <= '3' ? s_.speakerVol[0] - '0' : 1;
    Select(IDC_DIALCFG_SPEAKER, volume);
    SetChecked(IDC_DIALCFG_WAIT, s_.callProgress != "3");
    ShowPage(0);
    return true;
  }
  INT_PTR OnMessage(UINT message, WPARAM wp, LPARAM lp, bool& handled) override {
    if (message == WM_CTLCOLORSTATIC) {
      // Labels and the check box sit on the tab's page, which a theme paints in its own colour.
      handled = true;
      return page_.For(Item(IDC_DIALCFG_TABS), reinterpret_cast<HDC>(wp));
    }
    if (message != WM_NOTIFY) return FALSE;
    const auto* hdr = reinterpret_cast<const NMHDR*>(lp);
    if (hdr->idFrom != IDC_DIALCFG_TABS || hdr->code != TCN_SELCHANGE) return FALSE;
    handled = true;
    int page = static_cast<int>(SendMessageA(Item(IDC_DIALCFG_TABS), TCM_GETCURSEL, 0, 0));
    if (page == 1 && ports_.empty()) {
      // Without a port the modem page has nothing to offer: the dialling page stays.
      ShowMessage(Str(kStrNoModems), MsgIcon::Information);
      SendMessageA(Item(IDC_DIALCFG_TABS), TCM_SETCURSEL, 0, 0);
      page = 0;
    }
    ShowPage(page);
    return TRUE;
  }
  bool OnOk() override {
    s_.ldAccess = Text(IDC_DIALCFG_LD);
    s_.areaCode = Text(IDC_DIALCFG_AREA);
    s_.dialPrefix = Text(IDC_DIALCFG_PREFIX);
    s_.dialAction = Selection(IDC_DIALCFG_MODE) + 1;
    SaveDialerDialingSettings(s_);
    if (!ports_.empty()) {
      int port = Selection(IDC_DIALCFG_PORT);
      if (port >= 0 && port < static_cast<int>(ports_.size())) s_.port = "COM" + std::to_string(ports_[static_cast<size_t>(port)]);
      s_.dialType = Selection(IDC_DIALCFG_TYPE) == 1 ? "P" : "T";
      s_.speakerVol = std::to_string(std::max(0, Selection(IDC_DIALCFG_SPEAKER)));
      s_.callProgress = Checked(IDC_DIALCFG_WAIT) ? "4" : "3";
      SaveDialerModemSettings(s_);
    }
    return true;
  }

 private:
  TabPageBrush page_;
  void ShowPage(int page) {
    for (int id : kDialingPage) Show(id, page == 0);
    for (int id : kModemPage) Show(id, page == 1);
  }
  DialerSettings s_;
  std::vector<int> ports_;
};

}  // namespace

void DialPhoneNumber(HINSTANCE instance, HWND owner, const std::string& number, DialAction mode) {
  std::unique_ptr<DialerHost>& host = Host();
  if (host && host->portOpen()) {
    ShowMessage(Str(kStrPortInUse), MsgIcon::Information);
    return;
  }
  DialerSettings settings = LoadDialerSettings();
  DialAction dialMode = EffectiveDialMode(mode, settings);
  std::string toDial = number;
  if (std::string refusal = DialNumberRefusal(toDial); !refusal.empty()) {
    ShowMessage(refusal, MsgIcon::Warning);
    return;
  }
  if (dialMode == DialAction::Preview) {
    DialPreview preview(instance, toDial, settings);
    if (preview.RunModal(owner) != IDOK) return;
    toDial = preview.number();
    dialMode = DialAction::Exact;
  }
  if (DialerPortNumber(settings.port) == 0) {
    ShowMessage(Str(kStrNoPortChosen), MsgIcon::Information);
    return;
  }
  if (!host) host = std::make_unique<DialerHost>(instance, owner);
  host->SetOwner(owner);
  {
    // Checked before the port is opened: nothing that is no dialling character reaches the modem.
    DialCall probe(*host, settings, toDial, dialMode);
    if (std::string refusal = probe.Refusal(); !refusal.empty()) {
      ShowMessage(refusal, MsgIcon::Warning);
      return;
    }
  }
  switch (host->Start(settings, toDial, dialMode)) {
    case WindowDialHost::StartResult::Started: break;
    case WindowDialHost::StartResult::PortInUse: ShowMessage(Str(kStrPortInUse), MsgIcon::Information); break;
    case WindowDialHost::StartResult::NoPort:
      ShowMessage(FormatText(Str(kStrCannotOpen).c_str(), settings.port.c_str()), MsgIcon::Warning);
      break;
    case WindowDialHost::StartResult::NoThread: {
      UserMessage m;
      m.text = Str(kStrEventFailed);
      m.caption = Str(kStrDialerError);
      m.icon = MsgIcon::Stop;
      ShowUserMessage(m);
      break;
    }
  }
}

INT_PTR RunDialingConfiguration(HINSTANCE instance, HWND owner) {
  DialingConfiguration dialog(instance);
  return dialog.RunModal(owner);
}

}  // namespace kv
