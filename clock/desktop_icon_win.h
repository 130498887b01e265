// The program's desktop icon in the current user's registry, and the "Desktop Icon" dialog
// (template 197) that switches it.
#pragma once

#include <windows.h>

#include "clock/desktop_icon.h"

namespace kv {

// The two keys under HKEY_CURRENT_USER.
class RegistryDesktopIconKeys final : public DesktopIconKeys {
 public:
  std::optional<std::string> ClassName() override;
  bool ClassHasShellFolder() override;
  bool SetClassName(std::string_view name) override;
  bool DeleteShellFolder() override;
  bool NamespaceEntryExists() override;
  bool CreateNamespaceEntry() override;
  bool DeleteNamespaceEntry() override;
};

// Makes the shell reload the desktop (F5 to its icon list); nothing where there is no shell
// desktop.
void RefreshDesktop();

// Shows the dialog over `owner`; true when it was closed with OK. `announce` opens it as the
// news of this release: its own caption and the box ticked.
bool RunDesktopIconDialog(HWND owner, bool announce = false);

}  // namespace kv
