#include "personal/sound_dialog_win.h"

#include <commdlg.h>

#include <string>

#include "base/command_table.h"
#include "base/dialog_win.h"
#include "base/messages.h"
#include "personal/play_wave_win.h"
#include "personal/sound_setup.h"
#include "resources/command_ids.h"
#include "resources/sound_dialog.h"
#include "resources/strings.h"

namespace kv {
namespace {

constexpr int kBrowseTitle = 25461;
constexpr int kWaveFilter = 25462;
constexpr int kPathTooLong = 25463;

std::string FolderOf(const std::string& path) {
  size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

class SoundDialog : public Dialog {
 public:
  explicit SoundDialog(HINSTANCE instance) : Dialog(instance, MAKEINTRESOURCEA(IDD_SOUND)) {}

 protected:
  bool OnInit() override {
    setup_ = LoadSoundSetup();
    for (int i = 1; i <= kAlarmSounds; ++i) AddLine(IDC_SOUND_LIST, SoundEntryName(i));
    Select(IDC_SOUND_LIST, 0);
    SendDlgItemMessageA(hwnd(), IDC_SOUND_DESCRIPTION, EM_LIMITTEXT, kSoundDescriptionMax, 0);
    ShowSelected();
    On(IDC_SOUND_LIST, [this](int code) {
      if (code != LBN_SELCHANGE) return;
      StoreDescription();
      int selected = Selection(IDC_SOUND_LIST);
      if (selected >= 0 && selected < kAlarmSounds) setup_.selected = selected;
      ShowSelected();
    });
    On(IDC_SOUND_DESCRIPTION, [this](int code) {
      if (code == EN_KILLFOCUS) StoreDescription();
    });
    On(IDC_SOUND_BROWSE, [this](int) { Browse(); });
    On(IDC_SOUND_TEST, [this](int) { Test(); });
    return true;
  }
  bool OnOk() override {
    StoreDescription();
    SaveSoundSetup(setup_);
    return true;
  }
  INT_PTR OnMessage(UINT message, WPARAM, LPARAM, bool&) override {
    if (message == WM_DESTROY) PlayWave(nullptr, 0);  // a test still playing stops with the dialog
    return TRUE;
  }

 private:
  const AlarmSound& Entry() const { return setup_.entries[static_cast<size_t>(setup_.selected)]; }
  void ShowSelected() {
    SetText(IDC_SOUND_DESCRIPTION, Entry().description);
    SetText(IDC_SOUND_FILE, SoundFileTitle(Entry().path));
  }
  void StoreDescription() { SetSoundDescription(setup_, Text(IDC_SOUND_DESCRIPTION)); }

  void Browse() {
    std::string title(StringText(kBrowseTitle));
    std::string filter = std::string(StringText(kWaveFilter)) + std::string(1, '\0') + "*.wav" + std::string(2, '\0');
    std::string folder = SoundTestPath(setup_).empty() ? std::string() : FolderOf(Entry().path);
    char path[MAX_PATH] = "";
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = hwnd();
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = path;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    ofn.lpstrTitle = title.c_str();
    ofn.lpstrDefExt = "wav";
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameA(&ofn)) return;
    if (!SetSoundFile(setup_, path)) {
      ShowMessage(FormatText(std::string(StringText(kPathTooLong)).c_str(), path), MsgIcon::Warning);
      return;
    }
    ShowSelected();
  }
  void Test() {
    std::string path = SoundTestPath(setup_);
    if (!path.empty()) PlayWaveOrBeep(path.c_str());
  }

  SoundSetup setup_;
};

}  // namespace

INT_PTR RunSoundSetup(HINSTANCE instance, HWND owner) {
  SoundDialog dialog(instance);
  return dialog.RunModal(owner);
}

void InstallSoundCommand(HINSTANCE instance, HWND owner) {
  SetCommandHandler(CommandOwner::Alarms, [instance, owner](int command, bool run) {
    if (command != CMD_SOUND) return false;
    if (run) RunSoundSetup(instance, owner);
    return true;
  });
}

}  // namespace kv
