#include "shell/help_setup_win.h"

#include <windows.h>

#include <string>

#include "base/command_table.h"
#include "base/help_topics.h"
#include "base/help_win.h"
#include "resources/command_ids.h"
#include "shell/app_win.h"
#include "shell/configuration.h"

namespace kv {
namespace {

std::string ClassOf(HWND window) {
  char name[64] = "";
  int length = GetClassNameA(window, name, sizeof name);
  return std::string(name, length > 0 ? static_cast<size_t>(length) : 0);
}

const char* DeskWindowTopic(HWND child) {
  if (!child) return kHelpContents;
  std::string name = ClassOf(child);
  if (name == "KVCalendar") return HelpTopicForCalendarView(Config().desk.view);
  return HelpTopicForWindowClass(name);
}

// F1 passes the frame's accelerators before any modeless window sees it, so the key may have
// been meant for a window in front of the frame: a dialog answers WM_HELP with its own page.
void ShowContextHelp() {
  HWND frame = App().frame;
  HWND active = GetActiveWindow();
  // Only a window the user can see is one the key was meant for: a hidden modeless dialog can
  // hold the activation for a moment after a message box goes, and its page (and any message)
  // would then go to a window nobody sees.
  if (active && active != frame && IsWindowVisible(active) && IsWindowEnabled(active)) {
    if (ClassOf(active) == "#32770") {
      HELPINFO info{};
      info.cbSize = sizeof info;
      info.iContextType = HELPINFO_WINDOW;
      info.hItemHandle = GetFocus();
      GetCursorPos(&info.MousePos);
      SendMessageA(active, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    } else {
      ShowHelpTopic(active, HelpTopicForWindowClass(ClassOf(active)));
    }
    return;
  }
  HWND child = App().mdiClient ? reinterpret_cast<HWND>(SendMessageA(App().mdiClient, WM_MDIGETACTIVE, 0, 0)) : nullptr;
  ShowHelpTopic(frame, DeskWindowTopic(child));
}

}  // namespace

void InstallHelpCommands() {
  SetCommandHandler(CommandOwner::Help, [](int command, bool run) {
    if (command != CMD_HELP_TOPICS && command != CMD_HELP_CONTEXT) return false;
    if (!run) return true;
    if (command == CMD_HELP_TOPICS) ShowHelpTopic(App().frame, nullptr);
    else ShowContextHelp();
    return true;
  });
}

}  // namespace kv
