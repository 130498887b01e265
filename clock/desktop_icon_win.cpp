#include "clock/desktop_icon_win.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "base/dialog_win.h"
#include "base/win_handles.h"
#include "resources/clock_dialog.h"
#include "resources/strings.h"

namespace kv {
namespace {

bool KeyExists(const std::string& path) {
  RegKey key;
  return RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

std::string ShellFolderKey() { return std::string(kDesktopIconClassKey) + "\\ShellFolder"; }
std::string NamespaceEntryKey() { return std::string(kDesktopNamespaceKey) + "\\" + kDesktopIconClassId; }

}  // namespace

std::optional<std::string> RegistryDesktopIconKeys::ClassName() {
  RegKey key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kDesktopIconClassKey, 0, KEY_READ, key.put()) != ERROR_SUCCESS)
    return std::nullopt;
  char name[261] = "";
  DWORD size = 260, type = 0;
  if (RegQueryValueExA(key.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(name), &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return std::string();
  name[std::min<DWORD>(size, 260)] = '\0';
  return std::string(name);
}

bool RegistryDesktopIconKeys::ClassHasShellFolder() { return KeyExists(ShellFolderKey()); }

bool RegistryDesktopIconKeys::SetClassName(std::string_view name) {
  RegKey key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kDesktopIconClassKey, 0, nullptr, 0, KEY_WRITE | KEY_READ, nullptr, key.put(),
                      nullptr) != ERROR_SUCCESS)
    return false;
  std::string text(name);
  return RegSetValueExA(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                        static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
}

bool RegistryDesktopIconKeys::DeleteShellFolder() {
  LONG result = RegDeleteKeyA(HKEY_CURRENT_USER, ShellFolderKey().c_str());
  return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

bool RegistryDesktopIconKeys::NamespaceEntryExists() { return KeyExists(NamespaceEntryKey()); }

bool RegistryDesktopIconKeys::CreateNamespaceEntry() {
  RegKey key;
  return RegCreateKeyExA(HKEY_CURRENT_USER, NamespaceEntryKey().c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.put(),
                         nullptr) == ERROR_SUCCESS;
}

bool RegistryDesktopIconKeys::DeleteNamespaceEntry() {
  RegKey space;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kDesktopNamespaceKey, 0, nullptr, 0, KEY_WRITE | KEY_READ, nullptr,
                      space.put(), nullptr) != ERROR_SUCCESS)
    return false;
  LONG result = RegDeleteKeyA(space.get(), kDesktopIconClassId);
  return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

void RefreshDesktop() {
  HWND desktop = FindWindowA("Progman", "Program Manager");
  HWND view = desktop ? FindWindowExA(desktop, nullptr, "SHELLDLL_DefView", nullptr) : nullptr;
  HWND list = view ? FindWindowExA(view, nullptr, "SysListView32", nullptr) : nullptr;
  if (!list) return;
  SetForegroundWindow(list);
  SetFocus(list);
  keybd_event(VK_F5, 0, 0, 0);
  keybd_event(VK_F5, 0, KEYEVENTF_KEYUP, 0);
}

namespace {

class DesktopIconDialog : public Dialog {
 public:
  explicit DesktopIconDialog(bool announce)
      : Dialog(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_DESKTOP_ICON)), announce_(announce) {}

 protected:
  bool OnInit() override {
    AddTab(Item(IDC_ICON_TABS), 0, StringText(1530));
    RegistryDesktopIconKeys keys;
    provided_ = QueryDesktopIcon(keys).provided;
    SetChecked(IDC_ICON_PROVIDE, provided_ || announce_);
    if (announce_) SetWindowTextA(hwnd(), std::string(StringText(30000)).c_str());
    return true;
  }

  INT_PTR OnMessage(UINT message, WPARAM wp, LPARAM, bool& handled) override {
    if (message != WM_CTLCOLORSTATIC) return 0;
    handled = true;
    return page_.For(Item(IDC_ICON_TABS), reinterpret_cast<HDC>(wp));
  }

  bool OnOk() override {
    bool wanted = Checked(IDC_ICON_PROVIDE);
    if (wanted == provided_) return true;
    RegistryDesktopIconKeys keys;
    // A key that cannot be written leaves things as they were, without a word.
    if (ProvideDesktopIcon(keys, wanted, StringText(IDS_PRODUCT_NAME))) RefreshDesktop();
    return true;
  }

 private:
  bool announce_;
  bool provided_ = false;
  TabPageBrush page_;
};

}  // namespace

bool RunDesktopIconDialog(HWND owner, bool announce) {
  DesktopIconDialog dialog(announce);
  return dialog.RunModal(owner) == IDOK;
}

}  // namespace kv
