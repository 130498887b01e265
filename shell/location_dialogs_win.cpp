#include "shell/location_dialogs_win.h"

#include <commctrl.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/dialog_win.h"
#include "base/file_io.h"
#include "base/filesystem.h"
#include "base/messages.h"
#include "resources/location_dialog.h"
#include "resources/strings.h"
#include "shell/configuration.h"
#include "shell/location_setup.h"
#include "sky/reference.h"
#include "sky/zones.h"

namespace kv {
namespace {

constexpr int kUnknownEntry = 1120;
constexpr int kNewLocationTitle = 1514;
constexpr int kWelcomeDone = 1186;
constexpr int kFinish = 1192;
constexpr int kTabPoint = 28500;
constexpr int kTabSystem = 28501;
constexpr int kTabGeneral = 28502;
constexpr int kWelcomeIntro = 28505;
constexpr int kDecimalBoxMax = 20;
constexpr char kDegreeSign[] = "\xB0";

HINSTANCE Instance() { return GetModuleHandleA(nullptr); }

std::string LocationsPath() { return JoinWindowsPath(ConfigState().dataFolder, "My Locations.dat"); }

LocationAcquirer& Acquirer() {
  static LocationAcquirer acquirer;
  return acquirer;
}

// The zone combo boxes: the display texts of the zones a user may pick, in table order.
void FillZones(Dialog& d, int id, const std::vector<const ZoneRecord*>& zones, int selected) {
  d.ClearLines(id);
  for (const ZoneRecord* z : zones) d.AddLine(id, z->display);
  d.Select(id, PickableZoneIndex(zones, selected));
}

// ---- "Edit Location" -------------------------------------------------------------------------

struct CoordinateBoxes {
  int degrees, minutes, seconds, decimal;
  bool latitude;
};
constexpr CoordinateBoxes kLatitudeBoxes{IDC_EL_LAT_DEG, IDC_EL_LAT_MIN, IDC_EL_LAT_SEC, IDC_EL_LAT_DEC, true};
constexpr CoordinateBoxes kLongitudeBoxes{IDC_EL_LON_DEG, IDC_EL_LON_MIN, IDC_EL_LON_SEC, IDC_EL_LON_DEC, false};
constexpr int kDmsControls[] = {IDC_EL_LAT_DEG, IDC_EL_LAT_DEG_SIGN, IDC_EL_LAT_MIN, IDC_EL_LAT_MIN_SIGN,
                                IDC_EL_LAT_SEC, IDC_EL_LAT_SEC_SIGN, IDC_EL_LON_DEG, IDC_EL_LON_DEG_SIGN,
                                IDC_EL_LON_MIN, IDC_EL_LON_MIN_SIGN, IDC_EL_LON_SEC, IDC_EL_LON_SEC_SIGN};

class EditLocationDialog : public Dialog {
 public:
  EditLocationDialog(LocationRecord& record, bool isNew)
      : Dialog(Instance(), MAKEINTRESOURCEA(IDD_EDIT_LOCATION)), record_(record), isNew_(isNew) {}

 protected:
  bool OnInit() override {
    if (isNew_) SetWindowTextA(hwnd(), std::string(StringText(kNewLocationTitle)).c_str());
    AddTab(Item(IDC_EL_TABS), 0, StringText(kTabGeneral));
    SendDlgItemMessageA(hwnd(), IDC_EL_NAME, EM_LIMITTEXT, kLocationNameMax, 0);
    for (int id : {IDC_EL_LAT_DEC, IDC_EL_LON_DEC}) SendDlgItemMessageA(hwnd(), id, EM_LIMITTEXT, kDecimalBoxMax, 0);
    for (int id : {IDC_EL_LAT_DEG, IDC_EL_LON_DEG}) SendDlgItemMessageA(hwnd(), id, EM_LIMITTEXT, 4, 0);
    for (int id : {IDC_EL_LAT_MIN, IDC_EL_LAT_SEC, IDC_EL_LON_MIN, IDC_EL_LON_SEC})
      SendDlgItemMessageA(hwnd(), id, EM_LIMITTEXT, 3, 0);
    SetText(IDC_EL_LAT_DEG_SIGN, kDegreeSign);
    SetText(IDC_EL_LON_DEG_SIGN, kDegreeSign);
    zones_ = PickableZones(ZoneTable());
    FillZones(*this, IDC_EL_ZONE, zones_, record_.zone);
    SetText(IDC_EL_NAME, record_.name);
    ShowRecord(record_);
    ShowMode(false);
    Enable(IDC_EL_GPS, static_cast<bool>(Acquirer()));
    On(IDC_EL_DECIMAL, [this](int code) {
      if (code == BN_CLICKED) SwitchMode(true);
    });
    On(IDC_EL_DMS, [this](int code) {
      if (code == BN_CLICKED) SwitchMode(false);
    });
    On(IDC_EL_GPS, [this](int) { Acquire(); });
    FocusOn(IDC_EL_NAME);
    return false;
  }

  bool OnOk() override {
    // In the order of the dialog: the name, the coordinates, the zone.
    std::string name = Text(IDC_EL_NAME).substr(0, kLocationNameMax);
    int zoneIndex = Selection(IDC_EL_ZONE);
    int zone = zoneIndex >= 0 && zoneIndex < static_cast<int>(zones_.size()) ? zones_[static_cast<size_t>(zoneIndex)]->id : 0;
    if (int refusal = CheckLocationName(name)) return Refuse(refusal, IDC_EL_NAME);
    Dms latitude, longitude;
    if (!ReadBoxes(kLatitudeBoxes, &latitude) || !ReadBoxes(kLongitudeBoxes, &longitude)) return false;
    if (int refusal = CheckLocationZone(zone)) return Refuse(refusal, IDC_EL_ZONE);
    LocationRecord r = record_;
    r.name = name;
    r.zone = zone;
    r.latDegrees = latitude.degrees, r.latMinutes = latitude.minutes, r.latSeconds = latitude.seconds;
    r.lonDegrees = longitude.degrees, r.lonMinutes = longitude.minutes, r.lonSeconds = longitude.seconds;
    r.south = Checked(IDC_EL_SOUTH);
    r.west = Checked(IDC_EL_WEST);
    record_ = r;
    return true;
  }

  INT_PTR OnMessage(UINT message, WPARAM wp, LPARAM, bool& handled) override {
    if (message != WM_CTLCOLORSTATIC) return 0;
    handled = true;
    return page_.For(Item(IDC_EL_TABS), reinterpret_cast<HDC>(wp));
  }

 private:
  bool Refuse(int stringId, int focus) {
    ShowMessage(std::string(StringText(stringId)), MsgIcon::Warning);
    FocusOn(focus);
    return false;
  }

  void ShowRecord(const LocationRecord& r) {
    SetInt(IDC_EL_LAT_DEG, r.latDegrees), SetInt(IDC_EL_LAT_MIN, r.latMinutes), SetInt(IDC_EL_LAT_SEC, r.latSeconds);
    SetInt(IDC_EL_LON_DEG, r.lonDegrees), SetInt(IDC_EL_LON_MIN, r.lonMinutes), SetInt(IDC_EL_LON_SEC, r.lonSeconds);
    SetChecked(IDC_EL_NORTH, !r.south), SetChecked(IDC_EL_SOUTH, r.south);
    SetChecked(IDC_EL_EAST, !r.west), SetChecked(IDC_EL_WEST, r.west);
    if (decimal_) {
      SetText(IDC_EL_LAT_DEC, DecimalCoordinateText(DmsToDecimal({r.latDegrees, r.latMinutes, r.latSeconds})));
      SetText(IDC_EL_LON_DEC, DecimalCoordinateText(DmsToDecimal({r.lonDegrees, r.lonMinutes, r.lonSeconds})));
    }
  }

  void ShowMode(bool decimal) {
    decimal_ = decimal;
    SetChecked(IDC_EL_DECIMAL, decimal);
    SetChecked(IDC_EL_DMS, !decimal);
    for (int id : kDmsControls) Show(id, !decimal);
    Show(IDC_EL_LAT_DEC, decimal);
    Show(IDC_EL_LON_DEC, decimal);
  }

  // The boxes of the current mode as degrees, minutes and seconds; a bad box gets the message
  // and the focus.
  bool ReadBoxes(const CoordinateBoxes& b, Dms* out) {
    if (decimal_) {
      double value = 0;
      if (!CheckDecimalCoordinate(Text(b.decimal), b.latitude, &value)) {
        FocusOn(b.decimal);
        return false;
      }
      *out = DecimalToDms(value);
      return true;
    }
    int bad = 0;
    if (!CheckDmsCoordinate(Text(b.degrees), Text(b.minutes), Text(b.seconds), b.latitude, out, &bad)) {
      FocusOn(bad == 0 ? b.degrees : bad == 1 ? b.minutes : b.seconds);
      return false;
    }
    return true;
  }

  // A failed check keeps the mode as it was.
  void SwitchMode(bool decimal) {
    if (decimal == decimal_) return;
    Dms latitude, longitude;
    if (!ReadBoxes(kLatitudeBoxes, &latitude) || !ReadBoxes(kLongitudeBoxes, &longitude)) {
      SetChecked(IDC_EL_DECIMAL, decimal_);
      SetChecked(IDC_EL_DMS, !decimal_);
      return;
    }
    if (decimal) {
      SetText(IDC_EL_LAT_DEC, DecimalCoordinateText(DmsToDecimal(latitude)));
      SetText(IDC_EL_LON_DEC, DecimalCoordinateText(DmsToDecimal(longitude)));
    } else {
      SetInt(IDC_EL_LAT_DEG, latitude.degrees), SetInt(IDC_EL_LAT_MIN, latitude.minutes);
      SetInt(IDC_EL_LAT_SEC, latitude.seconds);
      SetInt(IDC_EL_LON_DEG, longitude.degrees), SetInt(IDC_EL_LON_MIN, longitude.minutes);
      SetInt(IDC_EL_LON_SEC, longitude.seconds);
    }
    ShowMode(decimal);
  }

  void Acquire() {
    LocationRecord r = record_;
    if (!Acquirer() || !Acquirer()(hwnd(), r)) return;
    ShowRecord(r);
    if (r.zone > 0) Select(IDC_EL_ZONE, PickableZoneIndex(zones_, r.zone));
  }

  LocationRecord& record_;
  bool isNew_;
  bool decimal_ = false;
  std::vector<const ZoneRecord*> zones_;
  TabPageBrush page_;
};

// ---- "Configure location" --------------------------------------------------------------------

constexpr int kPointControls[] = {IDC_CL_LIST_LABEL, IDC_CL_LIST,     IDC_CL_NEW,           IDC_CL_EDIT,
                                  IDC_CL_REMOVE,     IDC_CL_LAT_LABEL, IDC_CL_LAT,          IDC_CL_LON_LABEL,
                                  IDC_CL_LON,        IDC_CL_STANDARD_LABEL, IDC_CL_STANDARD, IDC_CL_DAYLIGHT_LABEL,
                                  IDC_CL_DAYLIGHT,   IDC_CL_RULE};
constexpr int kSystemControls[] = {IDC_CL_SYSTEM_GROUP, IDC_CL_SYSTEM_ZONE, IDC_CL_CHANGE};

class ConfigureLocationDialog : public Dialog {
 public:
  explicit ConfigureLocationDialog(const std::function<void()>& pointChanged)
      : Dialog(Instance(), MAKEINTRESOURCEA(IDD_CONFIGURE_LOCATION)), pointChanged_(pointChanged) {}

 protected:
  bool OnInit() override {
    AddTab(Item(IDC_CL_TABS), 0, StringText(kTabPoint));
    AddTab(Item(IDC_CL_TABS), 1, StringText(kTabSystem));
    path_ = LocationsPath();
    std::vector<LocationRecord> records;
    ReadLocations(path_, &records);
    list_.Load(std::move(records), Config().locationName);
    AddLine(IDC_CL_LIST, StringText(kUnknownEntry));
    for (const std::string& name : list_.Names()) AddLine(IDC_CL_LIST, name);
    Select(IDC_CL_LIST, list_.selected);
    ShowSelected();
    ShowSystemZone();
    On(IDC_CL_LIST, [this](int code) {
      if (code != CBN_SELCHANGE) return;
      list_.Choose(Selection(IDC_CL_LIST));
      ShowSelected();
    });
    On(IDC_CL_NEW, [this](int) { NewLocation(); });
    On(IDC_CL_EDIT, [this](int) { EditLocation(); });
    On(IDC_CL_REMOVE, [this](int) { RemoveLocation(); });
    On(IDC_CL_CHANGE, [this](int) { OpenDateTimeControlPanel(); });
    ShowTab(0);
    FocusOn(IDC_CL_LIST);
    return false;
  }

  bool OnOk() override {
    LocationOutcome out = FinishLocationList(list_, true);
    // A list that cannot be written keeps the dialog open: nothing is half stored.
    if (out.writeFile && !WriteLocations(path_, list_.records)) return false;
    if (out.changePoint) {
      StorePointOfReference(Config(), out.point ? &*out.point : nullptr);
      SetConfigDirty();
      if (pointChanged_) pointChanged_();
    }
    return true;
  }

  // Without any zone the program cannot show a time: the location must be chosen first.
  bool OnCancel() override { return LocationCancelAllowed(Config()); }

  INT_PTR OnMessage(UINT message, WPARAM wp, LPARAM lp, bool& handled) override {
    if (message == WM_CTLCOLORSTATIC) {
      handled = true;
      return page_.For(Item(IDC_CL_TABS), reinterpret_cast<HDC>(wp));
    }
    if (message == WM_NOTIFY) {
      const auto* hdr = reinterpret_cast<const NMHDR*>(lp);
      if (hdr && hdr->idFrom == IDC_CL_TABS && hdr->code == TCN_SELCHANGE) {
        ShowTab(static_cast<int>(SendDlgItemMessageA(hwnd(), IDC_CL_TABS, TCM_GETCURSEL, 0, 0)));
        handled = true;
      }
    }
    return 0;
  }

 private:
  void ShowTab(int tab) {
    SendDlgItemMessageA(hwnd(), IDC_CL_TABS, TCM_SETCURSEL, static_cast<WPARAM>(tab), 0);
    HWND focus = GetFocus();
    for (int id : kPointControls) Show(id, tab == 0);
    for (int id : kSystemControls) Show(id, tab == 1);
    if (focus && !IsWindowVisible(focus)) SetFocus(Item(IDC_CL_TABS));
  }

  void ShowSelected() {
    const LocationRecord* r = list_.Selected();
    LocationDisplay shown = r ? DescribeLocation(*r) : LocationDisplay{};
    SetText(IDC_CL_LAT, shown.latitude);
    SetText(IDC_CL_LON, shown.longitude);
    SetText(IDC_CL_STANDARD, shown.standardName);
    SetText(IDC_CL_DAYLIGHT, shown.daylightName);
    SetText(IDC_CL_RULE, shown.rule);
    bool daylight = !shown.rule.empty();
    Enable(IDC_CL_DAYLIGHT_LABEL, daylight);
    Enable(IDC_CL_DAYLIGHT, daylight);
    Enable(IDC_CL_EDIT, r != nullptr);
    Enable(IDC_CL_REMOVE, r != nullptr);
  }

  void ShowSystemZone() {
    const ZoneRecord* zone = FindZone(SystemZone());
    SetText(IDC_CL_SYSTEM_ZONE, zone ? zone->display : std::string(StringText(kUnknownEntry)));
  }

  void NewLocation() {
    LocationRecord r;
    r.zone = Config().location.zone;  // the zone in use is the likeliest one
    if (!RunEditLocation(hwnd(), r, true)) return;
    int entry = list_.Add(r);
    AddLine(IDC_CL_LIST, r.name);
    Select(IDC_CL_LIST, entry);
    ShowSelected();
  }

  void EditLocation() {
    const LocationRecord* selected = list_.Selected();
    if (!selected) return;
    LocationRecord r = *selected;
    if (!RunEditLocation(hwnd(), r, false)) return;
    bool renamed = r.name != selected->name;
    list_.Replace(r);
    if (renamed) {
      HWND combo = Item(IDC_CL_LIST);
      SendMessageA(combo, CB_DELETESTRING, static_cast<WPARAM>(list_.selected), 0);
      SendMessageA(combo, CB_INSERTSTRING, static_cast<WPARAM>(list_.selected), reinterpret_cast<LPARAM>(r.name.c_str()));
      Select(IDC_CL_LIST, list_.selected);
    }
    ShowSelected();
  }

  void RemoveLocation() {
    int entry = list_.selected;
    if (entry <= 0) return;
    list_.Remove();
    SendDlgItemMessageA(hwnd(), IDC_CL_LIST, CB_DELETESTRING, static_cast<WPARAM>(entry), 0);
    Select(IDC_CL_LIST, 0);
    ShowSelected();
    FocusOn(IDC_CL_LIST);
  }

  void OpenDateTimeControlPanel() {
    char folder[MAX_PATH] = "";
    UINT n = GetSystemDirectoryA(folder, sizeof folder);
    if (n == 0 || n >= sizeof folder) return;
    std::string command = DateTimeControlPanelCommand(folder);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
      CloseHandle(process.hThread);
      CloseHandle(process.hProcess);
    } else {
      MessageBeep(MB_ICONWARNING);
    }
  }

  std::function<void()> pointChanged_;
  std::string path_;
  LocationList list_;
  TabPageBrush page_;
};

// ---- "Time Zone" -----------------------------------------------------------------------------

class TimeZoneDialog : public Dialog {
 public:
  explicit TimeZoneDialog(int& zone) : Dialog(Instance(), MAKEINTRESOURCEA(IDD_TIME_ZONE)), zone_(zone) {}

 protected:
  bool OnInit() override {
    zones_ = PickableZones(ZoneTable());
    FillZones(*this, IDC_TZ_ZONE, zones_, zone_);
    // A list not made yet is no error here: the zones alone still serve.
    std::string path = LocationsPath();
    if (FileExists(path)) ReadLocations(path, &locations_);
    for (const LocationRecord& r : locations_) AddLine(IDC_TZ_LOCATION, r.name);
    On(IDC_TZ_LOCATION, [this](int code) {
      if (code != CBN_SELCHANGE) return;
      int i = Selection(IDC_TZ_LOCATION);
      if (i < 0 || i >= static_cast<int>(locations_.size())) return;
      int at = PickableZoneIndex(zones_, locations_[static_cast<size_t>(i)].zone);
      if (at >= 0) Select(IDC_TZ_ZONE, at);
      else MessageBeep(MB_OK);  // a location whose zone the table does not offer
    });
    FocusOn(IDC_TZ_ZONE);
    return false;
  }

  bool OnOk() override {
    int i = Selection(IDC_TZ_ZONE);
    if (i < 0 || i >= static_cast<int>(zones_.size())) {
      MessageBeep(MB_OK);
      FocusOn(IDC_TZ_ZONE);
      return false;
    }
    zone_ = zones_[static_cast<size_t>(i)]->id;
    return true;
  }

 private:
  int& zone_;
  std::vector<const ZoneRecord*> zones_;
  std::vector<LocationRecord> locations_;
};

// ---- the welcome wizard ----------------------------------------------------------------------

constexpr int kStepLineIds[kWelcomeSteps] = {IDC_WEL_STEP1, IDC_WEL_STEP2, IDC_WEL_STEP3};
constexpr int kStepMarkIds[kWelcomeSteps] = {IDC_WEL_MARK1, IDC_WEL_MARK2, IDC_WEL_MARK3};

class WelcomeDialog : public Dialog {
 public:
  WelcomeDialog() : Dialog(Instance(), MAKEINTRESOURCEA(IDD_WELCOME)), steps_(WelcomeStepsInUse()) {}

 protected:
  bool OnInit() override {
    SetText(IDC_WEL_TEXT, StringText(kWelcomeIntro));
    ShowSteps();
    return true;
  }

  // "Next >>" runs the next step; after the last one the button reads "Finish" and closes.
  bool OnOk() override {
    if (progress_.Finished()) return true;
    const std::function<bool(HWND)>* step[kWelcomeSteps] = {&steps_.location, &steps_.calendarPreferences,
                                                             &steps_.desktopIcon};
    const std::function<bool(HWND)>& run = *step[progress_.next];
    bool available = static_cast<bool>(run);
    bool done = available && run(hwnd());
    RecordWelcomeStep(progress_, available, done, !Config().locationName.empty(), Config());
    ShowSteps();
    if (progress_.Finished()) {
      SetText(IDC_WEL_TEXT, StringText(kWelcomeDone));
      SetText(IDOK, StringText(kFinish));
      Show(IDCANCEL, false);  // nothing is left to cancel
    }
    SetFocus(Item(IDOK));
    return false;
  }

 private:
  void ShowSteps() {
    for (int i = 0; i < kWelcomeSteps; ++i) {
      SetText(kStepLineIds[i], WelcomeStepLine(progress_, i));
      SetText(kStepMarkIds[i], WelcomeMarkText(progress_.marks[static_cast<size_t>(i)]));
    }
  }

  WelcomeSteps steps_;
  WelcomeProgress progress_;
};

}  // namespace

bool RunConfigureLocation(HWND owner, const std::function<void()>& pointChanged) {
  return ConfigureLocationDialog(pointChanged).RunModal(owner) == IDOK;
}

bool RunEditLocation(HWND owner, LocationRecord& record, bool isNew) {
  return EditLocationDialog(record, isNew).RunModal(owner) == IDOK;
}

void SetLocationAcquirer(LocationAcquirer acquirer) { Acquirer() = std::move(acquirer); }

bool RunTimeZoneDialog(HWND owner, int& zone) {
  int chosen = zone;
  if (TimeZoneDialog(chosen).RunModal(owner) != IDOK) return false;
  zone = chosen;
  return true;
}

WelcomeSteps& WelcomeStepsInUse() {
  static WelcomeSteps steps;
  return steps;
}

void RunWelcomeWizard(HWND owner) { WelcomeDialog().RunModal(owner); }

}  // namespace kv
