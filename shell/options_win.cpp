#include "shell/options_win.h"

#include <commdlg.h>

#include <array>
#include <string>

#include "base/dialog_win.h"
#include "base/messages.h"
#include "resources/options_dialog.h"
#include "resources/strings.h"
#include "shell/app_win.h"
#include "shell/calendar_views_win.h"
#include "shell/configuration.h"
#include "shell/drawing_win.h"
#include "shell/options.h"
#include "shell/toolbar_win.h"

namespace kv {
namespace {

std::function<bool(HWND)>& JewishSetupHook() {
  static std::function<bool(HWND)> hook;
  return hook;
}

int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  int ppi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return ppi > 0 ? ppi : 96;
}

// What every options dialog shares: the configuration as it was when the dialog opened, put
// back by Cancel together with the dirty flag when nothing else changed meanwhile.
class OptionsDialog : public Dialog {
 public:
  using Restore = void (*)(const CalendarConfig& from, CalendarConfig& to);
  OptionsDialog(int templateId, Restore restore, unsigned refresh)
      : Dialog(App().instance, MAKEINTRESOURCEA(templateId)), restore_(restore), refresh_(refresh) {}

 protected:
  bool OnInit() override {
    before_ = Config();
    dirtyBefore_ = ConfigDirty();
    return true;
  }
  bool OnCancel() override {
    if (!changed_) return true;
    restore_(before_, Config());
    if (SerializeCalendarConfig(Config()) == SerializeCalendarConfig(before_)) SetConfigDirty(dirtyBefore_);
    RefreshAfterOptionChange(refresh_);
    return true;
  }
  // A field has taken a new value.
  void Changed(unsigned refresh) {
    changed_ = true;
    SetConfigDirty();
    RefreshAfterOptionChange(refresh);
  }

 private:
  Restore restore_;
  unsigned refresh_;
  CalendarConfig before_;
  bool dirtyBefore_ = false;
  bool changed_ = false;
};

// ---- calendar options ----------------------------------------------------------------------

class CalendarOptionsDialog : public OptionsDialog {
 public:
  CalendarOptionsDialog() : OptionsDialog(IDD_CALENDAR_OPTIONS, CopyCalendarOptions, kRefreshViews) {}

 protected:
  bool OnInit() override {
    OptionsDialog::OnInit();
    for (const CalendarOptionField& f : CalendarOptionFields()) {
      Fill(f);
      On(f.control, [this, &f](int code) { Take(f, code); });
    }
    Enable(IDC_OPT_JEWISH_SETUP, static_cast<bool>(JewishSetupHook()));
    On(IDC_OPT_JEWISH_SETUP, [this](int) {
      // A copy: the hook may be replaced while its dialog runs.
      std::function<bool(HWND)> hook = JewishSetupHook();
      if (hook && hook(hwnd())) RefreshAfterOptionChange(kRefreshViews);
    });
    return true;
  }
  bool OnOk() override {
    auto problem = CheckCalendarOptions([this](int id) { return Text(id); }, [this](int id) { return Checked(id); });
    if (!problem) return true;
    ShowMessage(std::string(StringText(problem->message)), MsgIcon::Warning);
    FocusOn(problem->control);
    return false;
  }

 private:
  void Fill(const CalendarOptionField& f) {
    uint8_t value = Config().*f.field;
    switch (f.kind) {
      case OptionControl::List:
        ClearLines(f.control);
        for (int text : f.lineTexts) AddLine(f.control, StringText(text));
        Select(f.control, ListPosition(f, value));
        break;
      case OptionControl::Check: SetChecked(f.control, value != 0); break;
      case OptionControl::InvertedCheck: SetChecked(f.control, value == 0); break;
      case OptionControl::Minutes:
        SendDlgItemMessageA(hwnd(), f.control, EM_LIMITTEXT, 3, 0);
        SetInt(f.control, value);
        break;
    }
  }

  // A control's change goes into the configuration at once; typed minutes only once they are
  // a valid number (OK refuses anything else).
  void Take(const CalendarOptionField& f, int code) {
    uint8_t& value = Config().*f.field;
    uint8_t next = value;
    switch (f.kind) {
      case OptionControl::List:
        if (code != CBN_SELCHANGE) return;
        next = ListValue(f, Selection(f.control), value);
        break;
      case OptionControl::Check:
      case OptionControl::InvertedCheck:
        if (code != BN_CLICKED) return;
        next = Checked(f.control) == (f.kind == OptionControl::Check) ? 1 : 0;
        break;
      case OptionControl::Minutes: {
        if (code != EN_CHANGE) return;
        std::optional<uint8_t> minutes = ParseOptionMinutes(Text(f.control));
        if (!minutes) return;
        next = *minutes;
        break;
      }
    }
    if (next == value) return;
    value = next;
    Changed(f.refresh);
    // Sun and moon times need a point of reference.
    if (f.control == IDC_OPT_SUN_MOON && next == 0 && Config().locationName.empty())
      ShowMessage(std::string(StringText(1121)), MsgIcon::Information);
  }
};

// ---- fonts ---------------------------------------------------------------------------------

bool SameFont(const FontRecord& a, const FontRecord& b) {
  return a.pointSize == b.pointSize && a.weight == b.weight && a.charSet == b.charSet &&
         a.pitchAndFamily == b.pitchAndFamily && a.italic == b.italic && a.face == b.face && a.kept == b.kept;
}

LOGFONTA LogFontOf(const FontChoice& f, int ppi) {
  LOGFONTA lf{};
  lf.lfHeight = -FontPixelHeight(ppi, f.pointSize);
  lf.lfWeight = f.weight;
  lf.lfItalic = f.italic ? TRUE : FALSE;
  lf.lfCharSet = f.charSet;
  lf.lfPitchAndFamily = f.pitchAndFamily;
  lstrcpynA(lf.lfFaceName, f.face.c_str(), LF_FACESIZE);
  return lf;
}

class FontsDialog : public OptionsDialog {
 public:
  FontsDialog() : OptionsDialog(IDD_FONTS, CopyFonts, kRefreshDrawing | kRefreshViews) {}

 protected:
  bool OnInit() override {
    OptionsDialog::OnInit();
    ppi_ = ScreenDpi();
    for (const FontRoleEntry& role : FontRoles()) AddLine(IDC_FONT_ROLES, StringText(role.name));
    Select(IDC_FONT_ROLES, 0);
    On(IDC_FONT_ROLES, [this](int code) {
      if (code == LBN_SELCHANGE) ShowRole();
      if (code == LBN_DBLCLK) Change();
    });
    On(IDC_FONT_CHANGE, [this](int) { Change(); });
    On(IDC_FONT_DEFAULT, [this](int) { Store(DefaultFontRecord(Role())); });
    ShowRole();
    return true;
  }
  INT_PTR OnMessage(UINT message, WPARAM, LPARAM, bool&) override {
    if (message == WM_DESTROY) FreePreview();
    return FALSE;
  }

 private:
  const FontRoleEntry& Role() const {
    int i = Selection(IDC_FONT_ROLES);
    auto roles = FontRoles();
    return roles[i >= 0 && i < static_cast<int>(roles.size()) ? static_cast<size_t>(i) : 0];
  }
  FontChoice Effective() const {
    const FontRoleEntry& role = Role();
    return EffectiveFont(FontSlot(Config(), role), role.slot, role.printer);
  }
  void ShowRole() {
    FontChoice font = Effective();
    SetText(IDC_FONT_DESCRIPTION, DescribeFont(font));
    LOGFONTA lf = LogFontOf(font, ppi_);
    HFONT preview = CreateFontIndirectA(&lf);
    SendDlgItemMessageA(hwnd(), IDC_FONT_PREVIEW, WM_SETFONT, reinterpret_cast<WPARAM>(preview), TRUE);
    FreePreview();
    preview_ = preview;
    SetText(IDC_FONT_PREVIEW, StringText(29053));
  }
  void FreePreview() {
    if (preview_) DeleteObject(preview_);
    preview_ = nullptr;
  }
  void Change() {
    LOGFONTA lf = LogFontOf(Effective(), ppi_);
    CHOOSEFONTA cf{};
    cf.lStructSize = sizeof cf;
    cf.hwndOwner = hwnd();
    cf.lpLogFont = &lf;
    cf.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_NOVERTFONTS;
    if (!ChooseFontA(&cf)) return;
    Store(FontRecordFor(FontSlot(Config(), Role()), lf.lfFaceName, cf.iPointSize, lf.lfWeight, lf.lfItalic != 0,
                        lf.lfCharSet, lf.lfPitchAndFamily));
  }
  void Store(const FontRecord& record) {
    const FontRoleEntry& role = Role();
    FontRecord& slot = FontSlot(Config(), role);
    if (SameFont(slot, record)) return;
    slot = record;
    Changed(FontRefresh(role));
    ShowRole();
  }

  int ppi_ = 96;
  HFONT preview_ = nullptr;
};

// ---- colours -------------------------------------------------------------------------------

class ColoursDialog : public OptionsDialog {
 public:
  ColoursDialog() : OptionsDialog(IDD_COLOURS, CopyColours, kRefreshDrawing | kRefreshViews) {}

 protected:
  bool OnInit() override {
    OptionsDialog::OnInit();
    for (const ColourRoleEntry& role : ColourRoles()) On(role.button, [this, &role](int) { Choose(role); });
    MakeBrushes();
    return true;
  }
  INT_PTR OnMessage(UINT message, WPARAM, LPARAM lp, bool& handled) override {
    if (message == WM_DESTROY) FreeBrushes();
    if (message != WM_CTLCOLORSTATIC) return FALSE;
    int id = GetDlgCtrlID(reinterpret_cast<HWND>(lp));
    auto roles = ColourRoles();
    for (size_t i = 0; i < roles.size(); ++i)
      if (roles[i].sample == id && brushes_[i]) {
        handled = true;
        return reinterpret_cast<INT_PTR>(brushes_[i]);
      }
    return FALSE;
  }
 private:
  void MakeBrushes() {
    FreeBrushes();
    auto roles = ColourRoles();
    for (size_t i = 0; i < roles.size(); ++i) {
      brushes_[i] = CreateSolidBrush(Config().*roles[i].field);
      InvalidateRect(Item(roles[i].sample), nullptr, TRUE);
    }
  }
  void FreeBrushes() {
    for (HBRUSH& b : brushes_) {
      if (b) DeleteObject(b);
      b = nullptr;
    }
  }
  void Choose(const ColourRoleEntry& role) {
    std::array<COLORREF, 16> custom{};
    for (size_t i = 0; i < custom.size(); ++i) custom[i] = Config().customColours[i];
    CHOOSECOLORA cc{};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = hwnd();
    cc.rgbResult = Config().*role.field;
    cc.lpCustColors = custom.data();
    cc.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ANYCOLOR;
    if (!ChooseColorA(&cc)) return;
    bool changed = false;
    for (size_t i = 0; i < custom.size(); ++i) {
      uint32_t colour = StoredColour(custom[i]);
      if (Config().customColours[i] == colour) continue;
      Config().customColours[i] = colour;
      changed = true;
    }
    uint32_t chosen = StoredColour(cc.rgbResult);
    unsigned refresh = 0;
    if (Config().*role.field != chosen) {
      Config().*role.field = chosen;
      changed = true;
      refresh = kRefreshDrawing | kRefreshViews;
    }
    if (!changed) return;
    Changed(refresh);
    MakeBrushes();
  }

  std::array<HBRUSH, 4> brushes_{};
};

}  // namespace

void SetJewishSetupHook(std::function<bool(HWND)> hook) { JewishSetupHook() = std::move(hook); }

void RefreshAfterOptionChange(unsigned refresh) {
  if (refresh == 0) return;
  if (refresh & kRefreshDrawing) {
    BuildDrawingResources();
    RefreshToolbarFont();
  }
  ApplyViewSettings();
  if (App().frame) RedrawWindow(App().frame, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

bool RunCalendarOptionsDialog(HWND owner) {
  CalendarOptionsDialog dialog;
  return dialog.RunModal(owner) == IDOK;
}

bool RunFontsDialog(HWND owner) {
  FontsDialog dialog;
  return dialog.RunModal(owner) == IDOK;
}

bool RunColoursDialog(HWND owner) {
  ColoursDialog dialog;
  return dialog.RunModal(owner) == IDOK;
}

}  // namespace kv
