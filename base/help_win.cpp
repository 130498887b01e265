#include "base/help_win.h"

#include <string>
#include <string_view>

#include "base/help_topics.h"
#include "base/messages.h"
#include "base/system_library_win.h"
#include "resources/strings.h"

namespace kv {
namespace {

using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);
constexpr UINT kDisplayTopic = 0x0000;     // HH_DISPLAY_TOPIC
constexpr UINT kDisplayContents = 0x0001;  // HH_DISPLAY_TOC
constexpr UINT kCloseAll = 0x0012;         // HH_CLOSE_ALL

// One F1 press can reach the help twice: through the frame's accelerator and through the
// WM_HELP the system makes of the key in the window that has the focus. A request while one is
// being carried out (its message box may be up), or for the same page at once after it, is
// taken for the same press.
constexpr DWORD kSamePressMs = 500;

struct HelpState {
  bool tried = false;
  HtmlHelpFunction function = nullptr;
  bool showing = false;
  std::string lastTopic;
  DWORD lastTick = 0;
};

HelpState& State() {
  static HelpState state;
  return state;
}

HtmlHelpFunction HtmlHelp() {
  HelpState& s = State();
  if (!s.tried) {
    s.tried = true;
    if (HMODULE library = LoadSystemLibrary("hhctrl.ocx"))
      s.function = reinterpret_cast<HtmlHelpFunction>(reinterpret_cast<void*>(GetProcAddress(library, "HtmlHelpA")));
  }
  return s.function;
}

// The help file lies beside the program.
std::string HelpFilePath() {
  char path[MAX_PATH] = "";
  DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, length < MAX_PATH ? length : 0);
  size_t slash = folder.find_last_of("\\/");
  folder.resize(slash == std::string::npos ? 0 : slash);
  return folder + "\\" + kHelpFile;
}

void ShowPage(HWND owner, const std::string& topic) {
  HtmlHelpFunction help = HtmlHelp();
  if (!help) {
    ShowMessage(std::string(StringText(24)), MsgIcon::Warning);
    return;
  }
  std::string file = HelpFilePath();
  if (topic == kHelpContents) {
    help(owner, file.c_str(), kDisplayContents, 0);
    return;
  }
  std::string page = file + "::/" + topic;
  help(owner, page.c_str(), kDisplayTopic, 0);
}

class Showing {
 public:
  Showing() { State().showing = true; }
  ~Showing() {
    State().showing = false;
    State().lastTick = GetTickCount();
  }
  Showing(const Showing&) = delete;
  Showing& operator=(const Showing&) = delete;
};

}  // namespace

void ShowHelpTopic(HWND owner, const char* topic) {
  HelpState& s = State();
  std::string page = topic ? topic : kHelpContents;
  if (s.showing || (page == s.lastTopic && GetTickCount() - s.lastTick < kSamePressMs)) return;
  s.lastTopic = page;
  Showing showing;
  ShowPage(owner, page);
}

void ShowDialogHelp(HWND owner, const char* templateName) {
  if (!templateName) return ShowHelpTopic(owner, nullptr);
  if (IS_INTRESOURCE(templateName))
    return ShowHelpTopic(owner, HelpTopicForTemplate(static_cast<int>(reinterpret_cast<ULONG_PTR>(templateName))));
  ShowHelpTopic(owner, HelpTopicForTemplate(std::string_view(templateName)));
}

void CloseHelpWindows() {
  // Only a viewer the program has already loaded needs closing; never load it for this.
  if (State().function) State().function(nullptr, nullptr, kCloseAll, 0);
}

}  // namespace kv
