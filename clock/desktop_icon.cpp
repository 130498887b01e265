#include "clock/desktop_icon.h"

namespace kv {

DesktopIconState QueryDesktopIcon(DesktopIconKeys& keys) {
  DesktopIconState state;
  if (std::optional<std::string> name = keys.ClassName()) {
    state.displayName = *name;
    if (keys.ClassHasShellFolder()) return state;
  }
  state.provided = keys.NamespaceEntryExists();
  return state;
}

bool ProvideDesktopIcon(DesktopIconKeys& keys, bool on, std::string_view productName) {
  if (!on) return keys.DeleteNamespaceEntry();
  // A name the user gave the icon survives switching it off and on again.
  DesktopIconState state = QueryDesktopIcon(keys);
  std::string name = state.displayName.empty() ? std::string(productName) : state.displayName;
  if (!keys.SetClassName(name)) return false;
  if (keys.ClassHasShellFolder() && !keys.DeleteShellFolder()) return false;
  return keys.CreateNamespaceEntry();
}

}  // namespace kv
