#include "shell/database_path_setup_win.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "base/command_table.h"
#include "base/dialog_win.h"
#include "base/messages.h"
#include "resources/command_ids.h"
#include "resources/database_path_dialog.h"
#include "resources/strings.h"
#include "shell/app_win.h"
#include "shell/configuration.h"
#include "shell/database_path.h"
#include "shell/desk_win.h"
#include "views/calendar_window_win.h"

namespace kv {
namespace {

// The display name the shell gives an item (the root's is the desktop's).
std::string DisplayName(LPCITEMIDLIST item) {
  SHFILEINFOA info{};
  if (!item || !SHGetFileInfoA(reinterpret_cast<LPCSTR>(item), 0, &info, sizeof info, SHGFI_PIDL | SHGFI_DISPLAYNAME))
    return {};
  return info.szDisplayName;
}

std::string RootDisplayName() {
  LPITEMIDLIST root = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &root))) return {};
  std::string name = DisplayName(root);
  CoTaskMemFree(root);
  return name;
}

int CALLBACK BrowseCallback(HWND browser, UINT message, LPARAM lp, LPARAM data) {
  if (message == BFFM_INITIALIZED) {
    // The browser starts on the folder in use.
    SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, data);
  } else if (message == BFFM_SELCHANGED) {
    // The root itself is no folder to keep a database in.
    bool root = lstrcmpiA(DisplayName(reinterpret_cast<LPCITEMIDLIST>(lp)).c_str(), RootDisplayName().c_str()) == 0;
    SendMessageA(browser, BFFM_ENABLEOK, 0, root ? 0 : 1);
  }
  return 0;
}

// The shell's folder browser on `current`; the chosen folder's full path, or "" when cancelled.
std::string BrowseForFolder(HWND owner, const std::string& current) {
  // The new dialog style (with "Make New Folder") needs COM on this thread.
  HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  std::string prompt(StringText(31001));
  BROWSEINFOA info{};
  info.hwndOwner = owner;
  info.lpszTitle = prompt.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_NEWDIALOGSTYLE;
  info.lpfn = BrowseCallback;
  info.lParam = reinterpret_cast<LPARAM>(current.c_str());
  std::string chosen;
  if (LPITEMIDLIST item = SHBrowseForFolderA(&info)) {
    char path[MAX_PATH] = "";
    if (SHGetPathFromIDListA(item, path)) chosen = path;
    CoTaskMemFree(item);
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return chosen;
}

// The windows that read the stores are closed (each saves what it holds into the folder it
// came from), the calendar switches folders, and they open again reading the new one.
bool ReloadDeskFrom(const std::string& folder) {
  static constexpr uint8_t kReaders[] = {kDeskSchedule, kDeskToDo, kDeskPhonebook, kDeskNotes};
  HWND active = reinterpret_cast<HWND>(SendMessageA(App().mdiClient, WM_MDIGETACTIVE, 0, 0));
  uint8_t activeCode = active ? DeskCodeOf(active) : 0;
  std::vector<uint8_t> open;
  for (uint8_t code : kReaders)
    if (HWND h = App().desk[code]) {
      // A note that cannot be saved keeps the calendar where it is.
      if (!SendMessageA(h, WM_QUERYENDSESSION, 0, 0)) return false;
      open.push_back(code);
    }
  for (uint8_t code : open) CloseDeskWindow(code);
  SwitchDatabaseFolder(folder);
  RefreshCalendarViews();
  for (uint8_t code : open) OpenDeskWindow(code);
  if (activeCode) BringUpDeskWindow(activeCode);
  return true;
}

class DatabasePathDialog : public Dialog {
 public:
  DatabasePathDialog() : Dialog(App().instance, MAKEINTRESOURCEA(IDD_DATABASE_PATH)) {}

 protected:
  bool OnInit() override {
    AddTab(Item(IDC_DBPATH_TABS), 0, StringText(1520));
    SetText(IDC_DBPATH_PATH, Config().databaseFolder);
    On(IDC_DBPATH_CHANGE, [this](int code) {
      if (code != BN_CLICKED) return;
      std::string chosen = BrowseForFolder(hwnd(), Text(IDC_DBPATH_PATH));
      if (!chosen.empty()) SetText(IDC_DBPATH_PATH, chosen);
    });
    // The page's one action; the path field is only read.
    FocusOn(IDC_DBPATH_CHANGE);
    return false;
  }

  bool OnOk() override {
    std::string current = Config().databaseFolder;
    std::string shown = Text(IDC_DBPATH_PATH);
    std::string refusal;
    switch (CheckDatabasePath(current, shown, &refusal)) {
      case DatabasePathCheck::Unchanged: return true;
      case DatabasePathCheck::Refused:
        ShowMessage(refusal, MsgIcon::Stop);
        SetText(IDC_DBPATH_PATH, current);
        return false;
      case DatabasePathCheck::Switch: break;
    }
    if (ShowMessage(std::string(StringText(1625)), MsgIcon::Question, MsgButtons::OkCancel) != MsgAnswer::Ok ||
        !ReloadDeskFrom(shown)) {
      SetText(IDC_DBPATH_PATH, current);
      return false;
    }
    return true;
  }

  INT_PTR OnMessage(UINT message, WPARAM wp, LPARAM, bool& handled) override {
    if (message != WM_CTLCOLORSTATIC) return 0;
    handled = true;
    return page_.For(Item(IDC_DBPATH_TABS), reinterpret_cast<HDC>(wp));
  }

 private:
  TabPageBrush page_;
};

}  // namespace

void InstallDatabasePath() {
  SetCommandHandler(CommandOwner::DatabasePath, [](int command, bool run) {
    if (command != CMD_DATABASE_PATH) return false;
    if (run) DatabasePathDialog().RunModal(App().frame);
    return true;
  });
}

}  // namespace kv
