#include "shell/version_check_setup_win.h"

#include <windows.h>
#include <shellapi.h>
#include <wininet.h>

#include <cstdlib>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "base/command_table.h"
#include "base/dialog_win.h"
#include "base/messages.h"
#include "base/settings.h"
#include "base/system_library_win.h"
#include "base/untrusted_text.h"
#include "resources/command_ids.h"
#include "resources/internet_dialog.h"
#include "resources/strings.h"
#include "shell/app_win.h"
#include "shell/version_reply.h"

namespace kv {
namespace {

// Where the service and the web pages are. A user (or a test) may name others under
// "Internet": "VersionService" and "WebSite" (scheme and host, as "http://127.0.0.1:8080"),
// and "TimeoutSeconds" for how long a connection, a send or a receive may take.
constexpr const char* kSection = "Internet";
constexpr const char* kDefaultWebSite = "https://www.kalvora.com";
constexpr int kDefaultTimeoutSeconds = 20;

std::string SettingOr(const char* name, const char* fallback) {
  std::string value = RegReadSetting(kSection, name);
  return value.empty() ? fallback : value;
}

DWORD TimeoutMs() {
  int seconds = std::atoi(RegReadSetting(kSection, "TimeoutSeconds").c_str());
  if (seconds <= 0 || seconds > 600) seconds = kDefaultTimeoutSeconds;
  return static_cast<DWORD>(seconds) * 1000;
}

template <typename F>
void Load(HMODULE module, const char* name, F& function) {
  function = module ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

// The internet library, loaded by name for one use and released afterwards.
struct Internet {
  HMODULE module = LoadSystemLibrary("WININET.DLL");
  BOOL(WINAPI* getConnectedState)(LPDWORD, DWORD) = nullptr;
  HINTERNET(WINAPI* open)(LPCSTR, DWORD, LPCSTR, LPCSTR, DWORD) = nullptr;
  BOOL(WINAPI* close)(HINTERNET) = nullptr;
  HINTERNET(WINAPI* openUrl)(HINTERNET, LPCSTR, LPCSTR, DWORD, DWORD, DWORD_PTR) = nullptr;
  BOOL(WINAPI* read)(HINTERNET, LPVOID, DWORD, LPDWORD) = nullptr;
  BOOL(WINAPI* setOption)(HINTERNET, DWORD, LPVOID, DWORD) = nullptr;
  DWORD(WINAPI* attemptConnect)(DWORD) = nullptr;

  Internet() {
    Load(module, "InternetGetConnectedState", getConnectedState);
    Load(module, "InternetOpenA", open);
    Load(module, "InternetCloseHandle", close);
    Load(module, "InternetOpenUrlA", openUrl);
    Load(module, "InternetReadFile", read);
    Load(module, "InternetSetOptionA", setOption);
    Load(module, "InternetAttemptConnect", attemptConnect);
  }
  ~Internet() {
    if (module) FreeLibrary(module);
  }
  Internet(const Internet&) = delete;
  Internet& operator=(const Internet&) = delete;
};

// The small modeless window that says what the check is doing while it waits.
class StatusWindow : public Dialog {
 public:
  explicit StatusWindow(HWND owner) : Dialog(App().instance, MAKEINTRESOURCEA(IDD_VCHECK_STATUS)) {
    CreateModeless(owner);
  }
  void Say(int stringId) {
    if (!hwnd()) return;
    SetText(IDC_VCHECK_STATUS, StringText(stringId));
    UpdateWindow(hwnd());
  }
};

void CheckFailed(int stringId) {
  UserMessage m;
  m.text = std::string(StringText(stringId));
  m.caption = std::string(StringText(129));
  m.icon = MsgIcon::Warning;
  m.beep = MsgBeep::Default;
  ShowUserMessage(m);
}

// Opens a web page with the default browser. The address must pass the download-address
// check (http:// or https://, a plain host, nothing the shell could take for a program, a
// file or a second argument); the internet library is asked to connect first.
void OpenInBrowser(HWND owner, const std::string& address) {
  std::string refusal = DownloadAddressRefusal(address);
  if (!refusal.empty()) {
    ShowMessage(refusal, MsgIcon::Stop);
    return;
  }
  Internet net;
  if (!net.attemptConnect || net.attemptConnect(0) != ERROR_SUCCESS) {
    CheckFailed(66);
    return;
  }
  ShellExecuteA(owner, "open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

// One request to the service, shared by the window thread that waits for it and the worker
// that makes it. The worker holds its own reference to the internet library, so a request
// given up by the window thread may still end (and release everything) on its own time.
struct VersionRequest {
  std::string address;
  DWORD timeoutMs = 0;
  HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  std::mutex lock;
  HINTERNET session = nullptr;  // while the worker uses it; closing it cuts the request short
  BOOL(WINAPI* close)(HINTERNET) = nullptr;
  bool givenUp = false;
  std::optional<std::string> reply;

  ~VersionRequest() {
    if (done) CloseHandle(done);
  }
};

void MakeRequest(VersionRequest& job) {
  Internet net;
  if (!net.open || !net.close || !net.openUrl || !net.read) return;
  HINTERNET session = net.open("Kalvora", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  if (!session) return;
  {
    std::lock_guard<std::mutex> hold(job.lock);
    if (job.givenUp) {
      net.close(session);
      return;
    }
    job.session = session;
    job.close = net.close;
  }
  // Every wait of the library is bounded too, where it honours the limits.
  if (net.setOption) {
    DWORD timeout = job.timeoutMs;
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                         INTERNET_OPTION_RECEIVE_TIMEOUT, INTERNET_OPTION_DATA_SEND_TIMEOUT,
                         INTERNET_OPTION_DATA_RECEIVE_TIMEOUT})
      net.setOption(session, option, &timeout, sizeof timeout);
  }
  constexpr DWORD kFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE |
                           INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_AUTH;
  std::string reply;
  if (HINTERNET request = net.openUrl(session, job.address.c_str(), nullptr, 0, kFlags, 0)) {
    // A reply may arrive in pieces; it is read until it ends or fills the buffer.
    reply.assign(kMaxVersionReply, '\0');
    size_t got = 0;
    while (got < reply.size()) {
      DWORD n = 0;
      if (!net.read(request, reply.data() + got, static_cast<DWORD>(reply.size() - got), &n) || n == 0) break;
      got += n;
    }
    reply.resize(got);
    net.close(request);
  }
  std::lock_guard<std::mutex> hold(job.lock);
  if (job.session) net.close(job.session);
  job.session = nullptr;
  if (!reply.empty()) job.reply = std::move(reply);
}

DWORD WINAPI RequestThread(LPVOID parameter) {
  std::unique_ptr<std::shared_ptr<VersionRequest>> job(static_cast<std::shared_ptr<VersionRequest>*>(parameter));
  MakeRequest(**job);
  SetEvent((*job)->done);
  return 0;
}

// Waits for the worker with the frame disabled (as under a modal dialog) while the status
// window keeps painting; false when the time ran out.
bool WaitForRequest(HWND frame, HANDLE done, DWORD limitMs) {
  bool enabled = frame && !EnableWindow(frame, FALSE);
  DWORD start = GetTickCount();
  bool finished = false;
  for (;;) {
    DWORD spent = GetTickCount() - start;
    if (spent >= limitMs) break;
    DWORD r = MsgWaitForMultipleObjects(1, &done, FALSE, limitMs - spent, QS_ALLINPUT);
    if (r == WAIT_OBJECT_0) {
      finished = true;
      break;
    }
    if (r != WAIT_OBJECT_0 + 1) break;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        break;
      }
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  if (enabled) EnableWindow(frame, TRUE);
  return finished;
}

// Asks the service; the reply (at most kMaxVersionReply bytes), or nothing when none was read.
// A service that never answers must not hold the program: the request runs on a worker and
// is given up after twice the timeout, whatever the library does with its own limits.
std::optional<std::string> FetchReply(HWND owner) {
  Internet net;
  if (!net.getConnectedState) return std::nullopt;
  DWORD state = 0;
  if (!net.getConnectedState(&state, 0) &&
      !(state & (INTERNET_CONNECTION_MODEM | INTERNET_CONNECTION_LAN | INTERNET_CONNECTION_PROXY)))
    return std::nullopt;
  if (!net.open || !net.close || !net.openUrl || !net.read) return std::nullopt;
  auto job = std::make_shared<VersionRequest>();
  job->address = VersionRequestAddress(SettingOr("VersionService", kDefaultVersionService));
  // The service's address comes from the settings: it too must be a plain web address.
  if (!IsSafeDownloadAddress(job->address) || !job->done) return std::nullopt;
  job->timeoutMs = TimeoutMs();

  StatusWindow status(owner);
  status.Say(64);
  status.Say(65);
  auto* handed = new std::shared_ptr<VersionRequest>(job);
  HANDLE thread = CreateThread(nullptr, 0, RequestThread, handed, 0, nullptr);
  if (!thread) {
    delete handed;
    return std::nullopt;
  }
  CloseHandle(thread);
  if (!WaitForRequest(owner, job->done, 2 * job->timeoutMs)) {
    std::lock_guard<std::mutex> hold(job->lock);
    job->givenUp = true;
    if (job->session) job->close(job->session);
    job->session = nullptr;
    return std::nullopt;
  }
  std::lock_guard<std::mutex> hold(job->lock);
  return job->reply;
}

class VersionDialog : public Dialog {
 public:
  explicit VersionDialog(const VersionReply& reply)
      : Dialog(App().instance, MAKEINTRESOURCEA(reply.newer ? IDD_VCHECK_NEWER : IDD_VCHECK_CURRENT)),
        reply_(reply) {}

 protected:
  bool OnInit() override {
    SetText(IDC_VCHECK_YOURS, VersionText(KV_VERSION_MAJOR, KV_VERSION_MINOR, KV_VERSION_BUILD));
    if (reply_.newer) SetText(IDC_VCHECK_NEW, VersionText(reply_.major, reply_.minor, reply_.build));
    return true;
  }

 private:
  VersionReply reply_;
};

void CheckVersion(HWND frame) {
  std::optional<std::string> text = FetchReply(frame);
  if (!text) {
    CheckFailed(66);
    return;
  }
  VersionReply reply = ParseVersionReply(*text);
  if (!reply.tag) {
    CheckFailed(67);
    return;
  }
  if (VersionDialog(reply).RunModal(frame) == IDOK && reply.newer) OpenInBrowser(frame, reply.address);
}

class InternetDialog : public Dialog {
 public:
  InternetDialog() : Dialog(App().instance, MAKEINTRESOURCEA(IDD_INTERNET)) {}
  std::string page;

 protected:
  bool OnInit() override {
    SetChecked(IDC_NET_HOME, true);
    return true;
  }
  bool OnOk() override {
    static constexpr struct {
      int control;
      const char* path;
    } kPages[] = {{IDC_NET_SHOP, "/shop/"}, {IDC_NET_HOME, "/"}, {IDC_NET_SUPPORT, "/support/"},
                  {IDC_NET_SERVICE, "/service/"}};
    std::string site = SettingOr("WebSite", kDefaultWebSite);
    while (!site.empty() && site.back() == '/') site.pop_back();
    for (const auto& p : kPages)
      if (Checked(p.control)) page = site + p.path;
    return true;
  }
};

void ShowInternetPages(HWND frame) {
  InternetDialog dialog;
  if (dialog.RunModal(frame) == IDOK && !dialog.page.empty()) OpenInBrowser(frame, dialog.page);
}

}  // namespace

void InstallVersionCheck() {
  SetCommandHandler(CommandOwner::VersionCheck, [](int command, bool run) {
    if (command != CMD_VERSION_CHECK && command != CMD_INTERNET_SERVICES) return false;
    if (!run) return true;
    if (command == CMD_VERSION_CHECK) CheckVersion(App().frame);
    else ShowInternetPages(App().frame);
    return true;
  });
}

}  // namespace kv
