#include "print/print_dialog_win.h"

#include <commdlg.h>
#include <dlgs.h>

#include <cstring>

#include "base/dialog_win.h"
#include "base/messages.h"
#include "resources/print_dialog.h"
#include "resources/strings.h"

namespace kv {
namespace {

constexpr int kSpinMiddle = 50;

// The printer chosen in this session and its settings (DEVMODE and DEVNAMES blocks).
struct PrinterSettings {
  HGLOBAL devMode = nullptr;
  HGLOBAL devNames = nullptr;
};

PrinterSettings& Settings() {
  static PrinterSettings settings;
  return settings;
}

// The default printer's settings, taken once without showing anything.
bool EnsureDefaults() {
  PrinterSettings& s = Settings();
  if (s.devNames) return true;
  PRINTDLGA pd{};
  pd.lStructSize = sizeof pd;
  pd.Flags = PD_RETURNDEFAULT;
  if (!PrintDlgA(&pd)) return false;
  s.devMode = pd.hDevMode;
  s.devNames = pd.hDevNames;
  return s.devNames != nullptr;
}

void SetOrientation(bool landscape) {
  HGLOBAL block = Settings().devMode;
  if (!block) return;
  if (auto* dm = static_cast<DEVMODEA*>(GlobalLock(block))) {
    dm->dmFields |= DM_ORIENTATION;
    dm->dmOrientation = static_cast<short>(landscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT);
    GlobalUnlock(block);
  }
}

// The state of the dialog on screen; one print dialog runs at a time.
struct PrintDialogState {
  const PrintDialogRequest* request = nullptr;
  PrintDialogAnswer answer;
  HINSTANCE instance = nullptr;
};
PrintDialogState* g_dialog = nullptr;

std::string ItemText(HWND dialog, int id) {
  char text[128] = "";
  GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}

void Show(HWND dialog, int id, bool shown) {
  if (HWND item = GetDlgItem(dialog, id)) ShowWindow(item, shown ? SW_SHOW : SW_HIDE);
}

void Focus(HWND dialog, int id) {
  HWND item = GetDlgItem(dialog, id);
  SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item), TRUE);
  SendMessageA(item, EM_SETSEL, 0, -1);
}

void UpdateStyle(HWND dialog) {
  EnableWindow(GetDlgItem(dialog, IDC_PRINT_BINDER_LAYOUT), IsDlgButtonChecked(dialog, IDC_PRINT_BINDER) == BST_CHECKED);
}

// Without the "Print Style" group the buttons move up into its place and the dialog shrinks.
void CloseStyleGap(HWND dialog) {
  RECT gap{0, 0, 0, 25};  // the buttons rise from 172 to 147, 7 dialog units below the groups above
  MapDialogRect(dialog, &gap);
  for (int id : {IDOK, IDCANCEL}) {
    HWND button = GetDlgItem(dialog, id);
    RECT r;
    GetWindowRect(button, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    SetWindowPos(button, nullptr, r.left, r.top - gap.bottom, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  RECT w;
  GetWindowRect(dialog, &w);
  SetWindowPos(dialog, nullptr, 0, 0, w.right - w.left, w.bottom - w.top - gap.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void InitDialog(HWND dialog) {
  const PrintDialogRequest& r = *g_dialog->request;
  SetWindowTextA(dialog, r.title.c_str());
  const bool phone = r.kind == 7;
  const bool ranged = r.format != RangeFormat::None;
  for (int id : {IDC_PRINT_FROM, IDC_PRINT_FROM_SPIN, IDC_PRINT_TO, IDC_PRINT_TO_SPIN}) Show(dialog, id, ranged);
  for (int id : {IDC_PRINT_FIRST_ENTRY, IDC_PRINT_LAST_ENTRY}) Show(dialog, id, phone);
  for (int id : {IDC_PRINT_RANGE_GROUP, IDC_PRINT_FROM_LABEL, IDC_PRINT_TO_LABEL}) Show(dialog, id, ranged || phone);
  const bool day = r.kind == 3;
  for (int id : {IDC_PRINT_STYLE_GROUP, IDC_PRINT_BINDER, IDC_PRINT_LIST, IDC_PRINT_BINDER_LAYOUT}) Show(dialog, id, day);
  if (!day) CloseStyleGap(dialog);
  SetDlgItemTextA(dialog, IDC_PRINT_FROM, r.from.c_str());
  SetDlgItemTextA(dialog, IDC_PRINT_TO, r.to.c_str());
  for (int id : {IDC_PRINT_FROM_SPIN, IDC_PRINT_TO_SPIN}) {
    HWND bar = GetDlgItem(dialog, id);
    SetScrollRange(bar, SB_CTL, 0, 100, FALSE);
    SetScrollPos(bar, SB_CTL, kSpinMiddle, TRUE);
  }
  for (int id : {IDC_PRINT_FIRST_ENTRY, IDC_PRINT_LAST_ENTRY}) {
    for (const std::string& e : r.entries) SendDlgItemMessageA(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(e.c_str()));
  }
  SendDlgItemMessageA(dialog, IDC_PRINT_FIRST_ENTRY, CB_SETCURSEL, 0, 0);
  SendDlgItemMessageA(dialog, IDC_PRINT_LAST_ENTRY, CB_SETCURSEL, r.entries.empty() ? 0 : r.entries.size() - 1, 0);
  CheckRadioButton(dialog, IDC_PRINT_BINDER, IDC_PRINT_LIST, r.binderStyle ? IDC_PRINT_BINDER : IDC_PRINT_LIST);
  g_dialog->answer.binderLayout = r.binderLayout;
  g_dialog->answer.binderPaper = r.binderPaper;
  UpdateStyle(dialog);
}

// The small scroll bars step the box beside them: up is one later, down one earlier. The bar
// goes back to its middle so that it can step on in either direction.
void OnSpin(HWND dialog, HWND bar, int code) {
  int steps = code == SB_LINEUP || code == SB_PAGEUP ? 1 : code == SB_LINEDOWN || code == SB_PAGEDOWN ? -1 : 0;
  if (steps == 0) return;
  const int box = GetDlgCtrlID(bar) == IDC_PRINT_FROM_SPIN ? IDC_PRINT_FROM : IDC_PRINT_TO;
  std::string next = StepRangeText(g_dialog->request->format, ItemText(dialog, box), steps);
  SetDlgItemTextA(dialog, box, next.c_str());
  SetScrollPos(bar, SB_CTL, kSpinMiddle, TRUE);
}

// OK: the range must be readable and in order. False keeps the dialog open.
bool Accept(HWND dialog) {
  const PrintDialogRequest& r = *g_dialog->request;
  PrintDialogAnswer& a = g_dialog->answer;
  RangeBox failing = RangeBox::None;
  if (r.kind == 7) {
    a.firstEntry = static_cast<int>(SendDlgItemMessageA(dialog, IDC_PRINT_FIRST_ENTRY, CB_GETCURSEL, 0, 0));
    a.lastEntry = static_cast<int>(SendDlgItemMessageA(dialog, IDC_PRINT_LAST_ENTRY, CB_GETCURSEL, 0, 0));
    failing = CheckPhoneRange(a.firstEntry, a.lastEntry, static_cast<int>(r.entries.size()));
  } else if (r.format != RangeFormat::None) {
    a.range = CheckRange(r.format, ItemText(dialog, IDC_PRINT_FROM), ItemText(dialog, IDC_PRINT_TO));
    failing = a.range.failing;
  }
  if (failing != RangeBox::None) {
    ShowMessage(std::string(StringText(1112)), MsgIcon::Warning);
    const bool from = failing == RangeBox::From;
    Focus(dialog, r.kind == 7 ? (from ? IDC_PRINT_FIRST_ENTRY : IDC_PRINT_LAST_ENTRY) : (from ? IDC_PRINT_FROM : IDC_PRINT_TO));
    return false;
  }
  a.binderStyle = r.kind == 3 && IsDlgButtonChecked(dialog, IDC_PRINT_BINDER) == BST_CHECKED;
  return true;
}

UINT_PTR CALLBACK PrintHook(HWND dialog, UINT message, WPARAM wp, LPARAM lp) {
  if (!g_dialog) return 0;
  switch (message) {
    case WM_INITDIALOG: InitDialog(dialog); return TRUE;
    case WM_VSCROLL: OnSpin(dialog, reinterpret_cast<HWND>(lp), LOWORD(wp)); return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wp)) {
        case IDOK: return Accept(dialog) ? 0 : 1;
        case IDC_PRINT_BINDER:
        case IDC_PRINT_LIST: UpdateStyle(dialog); return 0;
        case IDC_PRINT_BINDER_LAYOUT:
          if (HIWORD(wp) == BN_CLICKED)
            RunBinderLayoutDialog(dialog, g_dialog->instance, g_dialog->answer.binderLayout, g_dialog->answer.binderPaper);
          return 1;
      }
      return 0;
  }
  return 0;
}

// Binder pages are printed on the binder's paper, and across it for the landscape layouts.
void ApplyBinderPaper(HDC dc, HGLOBAL block, const PrintDialogAnswer& a) {
  if (!dc || !block) return;
  auto* dm = static_cast<DEVMODEA*>(GlobalLock(block));
  if (!dm) return;
  dm->dmFields |= DM_PAPERSIZE | DM_ORIENTATION;
  dm->dmPaperSize = static_cast<short>(a.binderPaper == 1 ? DMPAPER_A4 : DMPAPER_LETTER);
  dm->dmOrientation = static_cast<short>((a.binderLayout & 7) != 0 ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT);
  ResetDCA(dc, dm);
  GlobalUnlock(block);
}

HDC DcFromSettings() {
  PrinterSettings& s = Settings();
  if (!s.devNames) return nullptr;
  auto* names = static_cast<DEVNAMES*>(GlobalLock(s.devNames));
  if (!names) return nullptr;
  const char* base = reinterpret_cast<const char*>(names);
  auto* dm = s.devMode ? static_cast<DEVMODEA*>(GlobalLock(s.devMode)) : nullptr;
  HDC dc = CreateDCA(base + names->wDriverOffset, base + names->wDeviceOffset, base + names->wOutputOffset, dm);
  if (dm) GlobalUnlock(s.devMode);
  GlobalUnlock(s.devNames);
  return dc;
}

class BinderLayoutDialog final : public Dialog {
 public:
  BinderLayoutDialog(HINSTANCE instance, uint8_t layout, uint8_t paper)
      : Dialog(instance, MAKEINTRESOURCEA(IDD_BINDER_LAYOUT)), instance_(instance), layout_(layout), paper_(paper) {}
  ~BinderLayoutDialog() override {
    if (preview_) DeleteObject(preview_);
  }
  uint8_t layout() const { return layout_; }
  uint8_t paper() const { return paper_; }

 protected:
  bool OnInit() override {
    CheckRadioButton(hwnd(), IDC_BINDER_PORTRAIT, IDC_BINDER_DUAL, IDC_BINDER_PORTRAIT + (layout_ % 3));
    CheckRadioButton(hwnd(), IDC_BINDER_LETTER, IDC_BINDER_A4, paper_ == 1 ? IDC_BINDER_A4 : IDC_BINDER_LETTER);
    for (int id : {IDC_BINDER_PORTRAIT, IDC_BINDER_SINGLE, IDC_BINDER_DUAL})
      On(id, [this, id](int) { ShowPreview(id - IDC_BINDER_PORTRAIT); });
    ShowPreview(layout_ % 3);
    return true;
  }
  bool OnOk() override {
    layout_ = static_cast<uint8_t>(Checked(IDC_BINDER_DUAL) ? 2 : Checked(IDC_BINDER_SINGLE) ? 1 : 0);
    paper_ = static_cast<uint8_t>(Checked(IDC_BINDER_A4) ? 1 : 0);
    return true;
  }

 private:
  void ShowPreview(int layout) {
    HBITMAP next = LoadBitmapA(instance_, MAKEINTRESOURCEA(2300 + layout));
    SendDlgItemMessageA(hwnd(), IDC_BINDER_PREVIEW, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(next));
    if (preview_) DeleteObject(preview_);
    preview_ = next;
  }

  HINSTANCE instance_;
  uint8_t layout_;
  uint8_t paper_;
  HBITMAP preview_ = nullptr;
};

}  // namespace

bool RunBinderLayoutDialog(HWND owner, HINSTANCE instance, uint8_t& layout, uint8_t& paper) {
  BinderLayoutDialog dialog(instance, layout, paper);
  if (dialog.RunModal(owner) != IDOK) return false;
  layout = dialog.layout();
  paper = dialog.paper();
  return true;
}

std::optional<PrintDialogAnswer> RunPrintDialog(HWND owner, HINSTANCE instance, const PrintDialogRequest& request) {
  EnsureDefaults();
  SetOrientation(request.landscape);
  PrinterSettings& s = Settings();
  PrintDialogState state;
  state.request = &request;
  state.instance = instance;
  g_dialog = &state;
  PRINTDLGA pd{};
  pd.lStructSize = sizeof pd;
  pd.hwndOwner = owner;
  pd.hDevMode = s.devMode;
  pd.hDevNames = s.devNames;
  pd.Flags = PD_RETURNDC | PD_ENABLEPRINTTEMPLATE | PD_ENABLEPRINTHOOK | PD_NOPAGENUMS | PD_NOSELECTION |
             PD_HIDEPRINTTOFILE | PD_USEDEVMODECOPIESANDCOLLATE;
  pd.nCopies = 1;
  pd.hInstance = instance;
  pd.lpPrintTemplateName = "Print";
  pd.lpfnPrintHook = PrintHook;
  const BOOL ok = PrintDlgA(&pd);
  g_dialog = nullptr;
  s.devMode = pd.hDevMode;
  s.devNames = pd.hDevNames;
  if (!ok) {
    if (pd.hDC) DeleteDC(pd.hDC);
    // A printer that cannot be reached ends the dialog with an error rather than a cancel.
    if (CommDlgExtendedError() == 0) return std::nullopt;
    return PrintDialogAnswer{};
  }
  PrintDialogAnswer answer = state.answer;
  answer.dc = pd.hDC ? pd.hDC : DcFromSettings();
  if (answer.binderStyle) ApplyBinderPaper(answer.dc, s.devMode, answer);
  return answer;
}

HDC SessionPrinterDc(bool landscape, const std::string& printer) {
  if (printer.empty()) {
    if (!EnsureDefaults()) return nullptr;
    SetOrientation(landscape);
    return DcFromSettings();
  }
  // Only the orientation is asked for; the driver keeps its own settings for the rest.
  DEVMODEA dm{};
  dm.dmSize = sizeof dm;
  dm.dmFields = DM_ORIENTATION;
  dm.dmOrientation = static_cast<short>(landscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT);
  return CreateDCA("WINSPOOL", printer.c_str(), nullptr, &dm);
}

}  // namespace kv
