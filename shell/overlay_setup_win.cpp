// "Configure Overlays", "Jewish Setup" and the installation of the overlay editors.
#include <windows.h>
#include <commdlg.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "base/command_table.h"
#include "base/dialog_win.h"
#include "calendar/jewish.h"
#include "overlays/overlay_dialogs.h"
#include "overlays/overlay_file.h"
#include "overlays/overlay_set.h"
#include "resources/command_ids.h"
#include "resources/overlays_dialog.h"
#include "resources/strings.h"
#include "shell/app_win.h"
#include "shell/configuration.h"
#include "shell/frame_win.h"
#include "shell/overlay_editor_win.h"
#include "views/calendar_state.h"

namespace kv {
namespace {

constexpr int kNewOverlayTitle = 21064;   // "New Overlay"
constexpr int kLoadOverlayTitle = 21067;  // "Load Overlay"

HINSTANCE Instance() { return GetModuleHandleA(nullptr); }

// The calendar takes the changed set: new tabs, entries and marks, and the configuration keeps
// the list of overlays.
void SetChanged() {
  SetConfigDirty();
  if (Hooks().overlaysChanged) Hooks().overlaysChanged();
}

// The common file dialog for an overlay with its own title. A new overlay asks its own replace
// question, so the dialog does not.
std::optional<std::string> AskOverlayFile(HWND owner, bool create) {
  FileDialogSetup setup = FileDialogFor(kOpenOverlay);
  std::string title(StringText(create ? kNewOverlayTitle : kLoadOverlayTitle));
  char path[MAX_PATH] = "";
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = setup.filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = path;
  ofn.nMaxFile = MAX_PATH;
  ofn.lpstrTitle = title.c_str();
  ofn.lpstrInitialDir = setup.initialFolder.empty() ? nullptr : setup.initialFolder.c_str();
  ofn.lpstrDefExt = setup.defaultExtension.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | (create ? 0 : OFN_FILEMUSTEXIST);
  BOOL chosen = create ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
  if (!chosen) return std::nullopt;
  RememberOverlayFolder(path);
  return std::string(path);
}

// ---- "Configure Overlays" -----------------------------------------------------------------

class ConfigureOverlaysDialog : public Dialog {
 public:
  ConfigureOverlaysDialog() : Dialog(Instance(), MAKEINTRESOURCEA(IDD_CONFIGURE_OVERLAYS)) {}

 protected:
  bool OnInit() override {
    int order = OverlayListOrder();
    SetChecked(order == kSortAlphabetical ? IDC_OVC_ALPHA : order == kSortDescendingDate ? IDC_OVC_DESCENDING : IDC_OVC_ASCENDING, true);
    ShowOverlays(OverlayCount() > 0 ? 1 : 0);
    On(IDC_OVC_OVERLAYS, [this](int code) {
      if (code == LBN_SELCHANGE) ShowEvents();
    });
    On(IDC_OVC_EVENTS, [this](int code) {
      if (code == LBN_SELCHANGE) ShowButtons();
      if (code == LBN_DBLCLK) EditEvent();
    });
    On(IDC_OVC_NEW, [this](int) { AddFile(true); });
    On(IDC_OVC_LOAD, [this](int) { AddFile(false); });
    On(IDC_OVC_REMOVE, [this](int) {
      int n = Selected();
      if (n && RemoveOverlay(n)) Changed(n > OverlayCount() ? OverlayCount() : n);
    });
    On(IDC_OVC_REMOVE_ALL, [this](int) {
      RemoveAllOverlays();
      Changed(0);
    });
    On(IDC_OVC_UP, [this](int) { Move(-1); });
    On(IDC_OVC_DOWN, [this](int) { Move(1); });
    On(IDC_OVC_SET_ACCENT, [this](int) {
      int n = Selected();
      if (n && RunOverlayAccentDialog(hwnd(), n)) Changed(n);
    });
    On(IDC_OVC_PROPERTIES, [this](int) {
      if (int n = Selected()) RunOverlayProperties(hwnd(), n);
    });
    On(IDC_OVC_CLEAR_ACCENT, [this](int) {
      int n = Selected();
      if (n && ClearOverlayAccent(n)) Changed(n);
    });
    On(IDC_OVC_EVENT_NEW, [this](int) {
      int n = Selected();
      if (n && RunNewOverlayEvent(hwnd(), Calendar().date, n)) Changed(n);
    });
    On(IDC_OVC_EVENT_EDIT, [this](int) { EditEvent(); });
    On(IDC_OVC_CUT, [this](int) {
      std::optional<size_t> p = SelectedEvent();
      if (p && CutEvent(*p)) Changed(Selected());
    });
    On(IDC_OVC_COPY, [this](int) {
      if (std::optional<size_t> p = SelectedEvent()) CopyEvent(*p);
      ShowButtons();
    });
    On(IDC_OVC_PASTE, [this](int) {
      int n = Selected();
      if (n && PasteEvent(n)) Changed(n);
    });
    On(IDC_OVC_DELETE, [this](int) {
      std::optional<size_t> p = SelectedEvent();
      if (p && DeleteEvent(*p)) Changed(Selected());
    });
    for (int id : {IDC_OVC_ALPHA, IDC_OVC_DESCENDING, IDC_OVC_ASCENDING})
      On(id, [this](int) {
        SetOverlayListOrder(Checked(IDC_OVC_ALPHA) ? kSortAlphabetical : Checked(IDC_OVC_DESCENDING) ? kSortDescendingDate : kSortAscendingDate);
        ShowEvents();
      });
    return true;
  }
  bool OnOk() override { return true; }

 private:
  int Selected() const {
    int line = Selection(IDC_OVC_OVERLAYS);
    return line >= 0 && line < OverlayCount() ? line + 1 : 0;
  }
  std::optional<size_t> SelectedEvent() const {
    int line = Selection(IDC_OVC_EVENTS);
    if (line < 0 || static_cast<size_t>(line) >= positions_.size()) return std::nullopt;
    return positions_[static_cast<size_t>(line)];
  }
  void Changed(int select) {
    SetChanged();
    ShowOverlays(select);
  }
  void ShowOverlays(int select) {
    ClearLines(IDC_OVC_OVERLAYS);
    for (int n = 1; n <= OverlayCount(); ++n) AddLine(IDC_OVC_OVERLAYS, OverlayName(n));
    if (select > 0) Select(IDC_OVC_OVERLAYS, select - 1);
    ShowEvents();
  }
  void ShowEvents() {
    int n = Selected();
    int order = OverlayListOrder();
    positions_ = n ? OverlayEventPositions(n, order) : std::vector<size_t>{};
    ClearLines(IDC_OVC_EVENTS);
    for (size_t p : positions_) AddLine(IDC_OVC_EVENTS, OverlayListLine(Overlays().events[p].event, order));
    if (!positions_.empty()) Select(IDC_OVC_EVENTS, 0);
    ShowButtons();
  }
  void ShowButtons() {
    int n = Selected();
    bool room = OverlayCount() < kMaxOverlays;
    Enable(IDC_OVC_NEW, room);
    Enable(IDC_OVC_LOAD, room);
    Enable(IDC_OVC_REMOVE, n != 0);
    Enable(IDC_OVC_REMOVE_ALL, OverlayCount() > 0);
    Enable(IDC_OVC_UP, n > 1);
    Enable(IDC_OVC_DOWN, n != 0 && n < OverlayCount());
    Enable(IDC_OVC_SET_ACCENT, n != 0);
    Enable(IDC_OVC_PROPERTIES, n != 0);
    Enable(IDC_OVC_CLEAR_ACCENT, n != 0 && CanClearAccent(n));
    bool event = SelectedEvent().has_value();
    Enable(IDC_OVC_EVENT_NEW, n != 0);
    for (int id : {IDC_OVC_EVENT_EDIT, IDC_OVC_CUT, IDC_OVC_COPY, IDC_OVC_DELETE}) Enable(id, event);
    Enable(IDC_OVC_PASTE, n != 0 && Overlays().clipboard.has_value());
  }
  void AddFile(bool create) {
    if (OverlayCount() >= kMaxOverlays) return;
    std::optional<std::string> path = AskOverlayFile(hwnd(), create);
    if (!path) return;
    // An overlay that is open already is not added twice: loading it selects it, and making
    // it anew (after the replace question) empties it in place.
    for (int open = 1; open <= OverlayCount(); ++open) {
      if (lstrcmpiA(Overlays().paths[static_cast<size_t>(open - 1)].c_str(), path->c_str()) != 0) continue;
      if (!create) return ShowOverlays(open);
      if (SaveNewOverlay(*path, {}, Accent{})) {
        ReloadAllOverlays();
        Changed(open);
      }
      return;
    }
    int n = create ? NewOverlay(*path) : AddOverlay(*path);
    if (n) Changed(n);
  }
  void Move(int direction) {
    int n = Selected();
    if (n && MoveOverlay(n, direction)) Changed(n + direction);
  }
  void EditEvent() {
    std::optional<size_t> p = SelectedEvent();
    if (p && RunOverlayEventEditor(hwnd(), *p, Calendar().date)) Changed(Selected());
  }

  std::vector<size_t> positions_;  // event-list positions of the lines of the event list
};

// ---- "Jewish Setup" -----------------------------------------------------------------------

class JewishSetupDialog : public Dialog {
 public:
  JewishSetupDialog() : Dialog(Instance(), MAKEINTRESOURCEA(IDD_JEWISH_SETUP)) {}

 protected:
  bool OnInit() override {
    std::array<std::string, 12> names = UserJewishMonthNames();
    for (int m = 1; m <= 12; ++m) {
      const std::string& user = names[static_cast<size_t>(m - 1)];
      SetText(IDC_JS_MONTH + m, user.empty() ? JewishBaseMonthName(m) : user);
      SendDlgItemMessageA(hwnd(), IDC_JS_MONTH + m, EM_LIMITTEXT, kJewishMonthNameMax, 0);
    }
    const CalendarConfig& c = Config();
    SetChecked(IDC_JS_CANDLE, c.candleLighting != 0);
    SetInt(IDC_JS_CANDLE_MINUTES, c.candleMinutes);
    SetChecked(IDC_JS_HAVDALAH, c.havdalah != 0);
    SetInt(IDC_JS_HAVDALAH_MINUTES, c.havdalahMinutes);
    for (int id : {IDC_JS_CANDLE_MINUTES, IDC_JS_HAVDALAH_MINUTES}) SendDlgItemMessageA(hwnd(), id, EM_LIMITTEXT, 3, 0);
    On(IDC_JS_CANDLE, [this](int) { ShowEnabled(); });
    On(IDC_JS_HAVDALAH, [this](int) { ShowEnabled(); });
    ShowEnabled();
    return true;
  }
  bool OnOk() override {
    JewishSetup s;
    s.candleLighting = Checked(IDC_JS_CANDLE);
    s.candleMinutes = Int(IDC_JS_CANDLE_MINUTES).value_or(0);
    s.havdalah = Checked(IDC_JS_HAVDALAH);
    s.havdalahMinutes = Int(IDC_JS_HAVDALAH_MINUTES).value_or(0);
    switch (CheckJewishSetup(s)) {
      case JewishSetupField::CandleMinutes: FocusOn(IDC_JS_CANDLE_MINUTES); return false;
      case JewishSetupField::HavdalahMinutes: FocusOn(IDC_JS_HAVDALAH_MINUTES); return false;
      case JewishSetupField::None: break;
    }
    std::array<std::string, 12> names;
    for (int m = 1; m <= 12; ++m) names[static_cast<size_t>(m - 1)] = Text(IDC_JS_MONTH + m);
    StoreJewishMonthNames(names);
    CalendarConfig& c = Config();
    c.candleLighting = s.candleLighting ? 1 : 0;
    c.havdalah = s.havdalah ? 1 : 0;
    // A switched-off offset keeps what it had when it is out of range.
    if (s.candleMinutes >= 1 && s.candleMinutes <= 120) c.candleMinutes = static_cast<uint8_t>(s.candleMinutes);
    if (s.havdalahMinutes >= 1 && s.havdalahMinutes <= 120) c.havdalahMinutes = static_cast<uint8_t>(s.havdalahMinutes);
    SetConfigDirty();
    return true;
  }

 private:
  void ShowEnabled() {
    Enable(IDC_JS_CANDLE_MINUTES, Checked(IDC_JS_CANDLE));
    Enable(IDC_JS_HAVDALAH_MINUTES, Checked(IDC_JS_HAVDALAH));
  }
};

}  // namespace

bool RunJewishSetupDialog(HWND owner) {
  JewishSetupDialog dialog;
  if (dialog.RunModal(owner) != IDOK) return false;
  if (Hooks().overlaysChanged) Hooks().overlaysChanged();
  return true;
}

void RunConfigureOverlays(HWND owner) {
  ConfigureOverlaysDialog dialog;
  dialog.RunModal(owner);
}

void InstallOverlayEditors() {
  ViewEditors& editors = Editors();
  editors.openOverlayEvent = [](int32_t source, const DateStamp& day) {
    if (source >= 0 && RunOverlayEventEditor(App().frame, static_cast<size_t>(source), day)) SetChanged();
  };
  editors.newOverlayEvent = [](const DateStamp& day) {
    if (RunNewOverlayEvent(App().frame, day)) SetChanged();
  };
  SetCommandHandler(CommandOwner::Overlays, [](int command, bool run) {
    if (command != CMD_OVERLAYS) return false;
    if (run) RunConfigureOverlays(App().frame);
    return true;
  });
}

}  // namespace kv
