#include "shell/open_file_win.h"

#include <deque>

#include "shell/app_win.h"
#include "shell/frame_win.h"
#include "shell/open_file.h"

namespace kv {
namespace {

constexpr UINT kOfferDelayMs = 200;
constexpr UINT kHandOverTimeoutMs = 5000;

struct OfferState {
  std::deque<std::string> waiting;
  UINT_PTR timer = 0;
  bool asking = false;
};

OfferState& Offers() {
  static OfferState state;
  return state;
}

void StartOfferTimer();

// A thread timer, so that it also fires in the message loops of dialogs; an offer waits while
// the frame is disabled under a modal window, and while a question is up.
void CALLBACK OfferTimerProc(HWND, UINT, UINT_PTR, DWORD) {
  OfferState& s = Offers();
  HWND frame = App().frame;
  if (s.asking || !frame || !IsWindowEnabled(frame)) return;
  KillTimer(nullptr, s.timer);
  s.timer = 0;
  if (s.waiting.empty()) return;
  std::string path = s.waiting.front();
  s.waiting.pop_front();
  s.asking = true;
  OverlayOpening result = OpenOverlayFile(path);
  s.asking = false;
  if (result == OverlayOpening::Added && Hooks().overlaysChanged) Hooks().overlaysChanged();
  if (!s.waiting.empty()) StartOfferTimer();
}

void StartOfferTimer() {
  OfferState& s = Offers();
  if (!s.timer) s.timer = SetTimer(nullptr, 0, kOfferDelayMs, OfferTimerProc);
}

}  // namespace

std::string FullPathOf(const std::string& path) {
  char full[MAX_PATH] = "";
  DWORD n = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
  return n > 0 && n < MAX_PATH ? std::string(full, n) : path;
}

bool HandOverlayToFrame(HWND frame, const std::string& path) {
  COPYDATASTRUCT data{};
  data.dwData = kHandedOverlayTag;
  data.cbData = static_cast<DWORD>(path.size() + 1);
  data.lpData = const_cast<char*>(path.c_str());
  DWORD_PTR result = 0;
  // The running program only queues the path and answers at once; a program that hangs is
  // not waited for.
  return SendMessageTimeoutA(frame, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG,
                             kHandOverTimeoutMs, &result) != 0 &&
         result == TRUE;
}

void OfferOverlayWhenFree(const std::string& path) {
  Offers().waiting.push_back(path);
  StartOfferTimer();
}

LRESULT ReceiveHandedOverlay(const COPYDATASTRUCT* data) {
  if (!data || data->dwData != kHandedOverlayTag) return FALSE;
  std::optional<std::string> path = HandedOverlayPath(data->lpData, data->cbData);
  if (!path || !OverlayFileOfCommandLine(*path)) return FALSE;
  OfferOverlayWhenFree(*path);
  return TRUE;
}

}  // namespace kv
