#include "shell/migrate_wizard_win.h"

#include <algorithm>
#include <initializer_list>

#include "base/dialog_win.h"
#include "base/file_io.h"
#include "base/messages.h"
#include "base/win_handles.h"
#include "personal/clock_tick.h"
#include "resources/migrate_dialog.h"
#include "resources/strings.h"
#include "shell/configuration.h"
#include "shell/file_dialogs_win.h"
#include "shell/migrate_data.h"

namespace kv {
namespace {

enum Page { kIntro, kSource, kTarget, kEnd };

constexpr std::initializer_list<int> kPageControls[] = {
    {IDC_MIGRATE_INTRO1, IDC_MIGRATE_INTRO2, IDC_MIGRATE_INTRO3},
    {IDC_MIGRATE_SOURCE_TEXT, IDC_MIGRATE_SOURCE_LABEL, IDC_MIGRATE_SOURCE, IDC_MIGRATE_BROWSE},
    {IDC_MIGRATE_TARGET_TEXT, IDC_MIGRATE_REPLACE, IDC_MIGRATE_NEW, IDC_MIGRATE_CONFIG_LABEL, IDC_MIGRATE_CONFIG,
     IDC_MIGRATE_DATABASE_LABEL, IDC_MIGRATE_DATABASE},
    {IDC_MIGRATE_DONE, IDC_MIGRATE_DONE_TEXT, IDC_MIGRATE_OPEN},
};
constexpr int kPageTitles[] = {30520, 30521, 30522, 30523};

// The predecessor's installation folder, from the shell's open command of its files.
std::string InstallationFolder() {
  RegKey key;
  if (!key.Open(HKEY_CLASSES_ROOT, "obcfile\\shell\\open\\command")) return {};
  char value[1024] = "";
  DWORD size = sizeof value - 1, type = 0;
  if (RegQueryValueExA(key.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return {};
  value[std::min<DWORD>(size, sizeof value - 1)] = '\0';
  return InstallationFolderFromCommand(value);
}

MsgAnswer Warn(const std::string& text, MsgButtons buttons = MsgButtons::Ok) {
  UserMessage m;
  m.text = text;
  m.caption = std::string(StringText(IDS_PRODUCT_NAME));
  m.icon = buttons == MsgButtons::Ok ? MsgIcon::Warning : MsgIcon::Question;
  m.beep = buttons == MsgButtons::Ok ? MsgBeep::Warning : MsgBeep::Question;
  m.buttons = buttons;
  return ShowUserMessage(m);
}

class MigrateWizard : public Dialog {
 public:
  explicit MigrateWizard(HINSTANCE instance) : Dialog(instance, MAKEINTRESOURCEA(IDD_MIGRATE)) {}
  MigrateWizardOutcome outcome;

 protected:
  bool OnInit() override {
    SetWindowTextA(hwnd(), std::string(StringText(30518)).c_str());
    std::string folder = InstallationFolder();
    std::string proposed = folder.empty() ? std::string() : folder + "\\default.obc";
    if (!proposed.empty() && FileExists(proposed)) SetText(IDC_MIGRATE_SOURCE, proposed);
    SendMessageA(Item(IDC_MIGRATE_SOURCE), EM_LIMITTEXT, MAX_PATH - 1, 0);
    SendMessageA(Item(IDC_MIGRATE_CONFIG), EM_LIMITTEXT, MAX_PATH - 1, 0);
    SendMessageA(Item(IDC_MIGRATE_DATABASE), EM_LIMITTEXT, MAX_PATH - 1, 0);
    SetChecked(IDC_MIGRATE_REPLACE, true);
    // The page's title in the bold of the dialog's font.
    LOGFONTA font{};
    HFONT dialogFont = reinterpret_cast<HFONT>(SendMessageA(hwnd(), WM_GETFONT, 0, 0));
    if (dialogFont && GetObjectA(dialogFont, sizeof font, &font)) {
      font.lfWeight = FW_BOLD;
      titleFont_ = GdiFont(CreateFontIndirectA(&font));
      if (titleFont_) SendMessageA(Item(IDC_MIGRATE_TITLE), WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_.get()), FALSE);
    }
    On(IDC_MIGRATE_BROWSE, [this](int) { Browse(); });
    On(IDC_MIGRATE_REPLACE, [this](int) { EnableNames(); });
    On(IDC_MIGRATE_NEW, [this](int) { EnableNames(); });
    ShowPage(kIntro);
    return true;
  }

  bool OnOk() override {
    switch (page_) {
      case kIntro: ShowPage(kSource); break;
      case kSource:
        if (SourceReady()) ShowPage(kTarget);
        break;
      case kTarget:
        if (Migrate()) ShowPage(kEnd);
        break;
      case kEnd:
        outcome.finished = true;
        outcome.openTarget = Checked(IDC_MIGRATE_OPEN) || request_.replaceDefault;
        return true;
    }
    return false;
  }

  // Once the migration has run, closing the wizard is finishing it.
  bool OnCancel() override {
    if (page_ != kEnd) return true;
    OnOk();
    End(IDOK);
    return false;
  }

 private:
  void ShowPage(Page page) {
    page_ = page;
    for (int p = kIntro; p <= kEnd; ++p)
      for (int id : kPageControls[p]) Show(id, p == page);
    SetText(IDC_MIGRATE_TITLE, StringText(kPageTitles[page]));
    if (page == kTarget) EnableNames();
    if (page == kEnd) {
      SetText(IDOK, StringText(1215));
      Show(IDCANCEL, false);
      // A replaced default is the calendar in use: it is opened again whatever the box says.
      if (request_.replaceDefault) {
        SetChecked(IDC_MIGRATE_OPEN, true);
        Enable(IDC_MIGRATE_OPEN, false);
      }
    }
    // The focus goes to the page's first field, else to "Next >>".
    int first = page == kSource ? IDC_MIGRATE_SOURCE : page == kTarget ? (Checked(IDC_MIGRATE_NEW) ? IDC_MIGRATE_NEW : IDC_MIGRATE_REPLACE)
                                                     : IDOK;
    SetFocus(Item(first));
    SendMessageA(hwnd(), DM_SETDEFID, IDOK, 0);
  }

  void EnableNames() {
    bool names = Checked(IDC_MIGRATE_NEW);
    for (int id : {IDC_MIGRATE_CONFIG_LABEL, IDC_MIGRATE_CONFIG, IDC_MIGRATE_DATABASE_LABEL, IDC_MIGRATE_DATABASE})
      Enable(id, names);
  }

  void Browse() {
    FileRequest request;
    std::string current = Text(IDC_MIGRATE_SOURCE);
    request.folder = current.empty() ? InstallationFolder() : FolderOfPath(current);
    request.fileName = "default.obc";
    request.filter = std::string(StringText(30517));
    request.defaultExtension = "obc";
    if (std::optional<std::string> path = ChooseFile(kCallerFile, hwnd(), request)) SetText(IDC_MIGRATE_SOURCE, *path);
  }

  bool SourceReady() {
    std::string path = Text(IDC_MIGRATE_SOURCE);
    std::vector<uint8_t> bytes;
    if (path.empty() || !ReadWholeFile(path, bytes, size_t{4} << 20) || !ParseObc(bytes.data(), bytes.size())) {
      Warn(FormatText(std::string(StringText(30505)).c_str(), path.c_str()));
      FocusOn(IDC_MIGRATE_SOURCE);
      return false;
    }
    request_.source = path;
    return true;
  }

  // Asks before replacing what exists; false (with the name field selected) for Cancel.
  bool ConfirmReplace(bool exists, int message, int field) {
    if (!exists) return true;
    std::string text = std::string(StringText(message)) + "\n\n" + std::string(StringText(1210));
    if (Warn(text, MsgButtons::OkCancel) == MsgAnswer::Ok) return true;
    FocusOn(field);
    return false;
  }

  bool Migrate() {
    request_.dataFolder = ConfigState().dataFolder;
    request_.replaceDefault = Checked(IDC_MIGRATE_REPLACE);
    request_.configName = Text(IDC_MIGRATE_CONFIG);
    request_.databaseName = Text(IDC_MIGRATE_DATABASE);
    request_.openConfig = ConfigState().fileName;
    request_.today = Today();
    MigrationTarget target;
    if (int refusal = CheckMigrationTarget(request_, target)) {
      std::string path = refusal == 30500 ? target.databaseFolder : target.config;
      Warn(FormatText(std::string(StringText(refusal)).c_str(), path.c_str()));
      FocusOn(refusal == 1206 || refusal == 30501 ? IDC_MIGRATE_CONFIG : IDC_MIGRATE_DATABASE);
      return false;
    }
    if (!ConfirmReplace(target.configExists, 1208, IDC_MIGRATE_CONFIG)) return false;
    if (!ConfirmReplace(target.databaseExists, 1209, IDC_MIGRATE_DATABASE)) return false;

    HCURSOR previous = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    MigrationResult result = RunMigration(request_, target);
    SetCursor(previous);
    outcome.config = result.config;

    std::string summary;
    if (!result.backupFolder.empty()) {
      std::string text = FormatText(std::string(StringText(30504)).c_str(), result.backupFolder.c_str());
      UserMessage m;
      m.text = text;
      m.caption = std::string(StringText(IDS_PRODUCT_NAME));
      m.icon = MsgIcon::Information;
      m.beep = MsgBeep::Information;
      ShowUserMessage(m);
      summary += text + "\n\n";
    }
    if (!result.problems.empty()) {
      std::string text(StringText(30519));
      text += "\n";
      for (const std::string& p : result.problems) text += "\n" + p;
      Warn(text);
    }
    SetText(IDC_MIGRATE_DONE_TEXT, summary);
    return true;
  }

  Page page_ = kIntro;
  MigrationRequest request_;
  GdiFont titleFont_;
};

}  // namespace

MigrateWizardOutcome RunMigrateWizard(HINSTANCE instance, HWND owner) {
  MigrateWizard wizard(instance);
  wizard.RunModal(owner);
  return wizard.outcome;
}

}  // namespace kv
