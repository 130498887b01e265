#include "personal/schedule_dialog_win.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "base/dialog_win.h"
#include "personal/alarms.h"
#include "personal/play_wave_win.h"
#include "resources/command_ids.h"
#include "resources/schedule_dialog.h"
#include "resources/strings.h"

namespace kv {
namespace {

constexpr int kDialogTitle = 24011;
constexpr int kTabEvent = 25480;
constexpr int kTabAlarm = 25460;

// The date and time boxes tell their parent that the focus left them, or that a typed time was
// accepted.
constexpr int kBoxFocusLeft = 0x200;
constexpr int kBoxAccepted = 0x201;

constexpr int kEventControls[] = {IDC_SCHED_TITLE_LABEL, IDC_SCHED_TITLE,   IDC_SCHED_DATE_LABEL, IDC_SCHED_DATE,
                                  IDC_SCHED_START_LABEL, IDC_SCHED_START,   IDC_SCHED_END_LABEL,  IDC_SCHED_END,
                                  IDC_SCHED_RECURS_LABEL, IDC_SCHED_RECURS, IDC_SCHED_N_LABEL,    IDC_SCHED_N,
                                  IDC_SCHED_UNTIL_LABEL, IDC_SCHED_UNTIL,   IDC_SCHED_ZONE,       IDC_SCHED_ZONE_NAME,
                                  IDC_SCHED_MONTH};
constexpr int kAlarmControls[] = {IDC_SCHED_ALARM_LABEL, IDC_SCHED_ALARM_ON, IDC_SCHED_ALARM_TIME_LABEL,
                                  IDC_SCHED_ALARM_TIME,  IDC_SCHED_SOUND_LABEL, IDC_SCHED_SOUND, IDC_SCHED_TEST};

// The labels and check boxes that lie on the tab's page: drawn on the page's own colour, which
// a themed tab control paints lighter than the dialog.
constexpr int kPageLabels[] = {IDC_SCHED_TITLE_LABEL,  IDC_SCHED_DATE_LABEL, IDC_SCHED_START_LABEL,
                               IDC_SCHED_END_LABEL,    IDC_SCHED_RECURS_LABEL, IDC_SCHED_N_LABEL,
                               IDC_SCHED_UNTIL_LABEL,  IDC_SCHED_ZONE_NAME,  IDC_SCHED_MONTH,
                               IDC_SCHED_ALARM_LABEL,  IDC_SCHED_ALARM_TIME_LABEL, IDC_SCHED_SOUND_LABEL};

ScheduleZonePicker& ZonePicker() {
  static ScheduleZonePicker picker;
  return picker;
}

class ScheduleDialog : public Dialog {
 public:
  ScheduleDialog(SchedDialogModel model, SchedDialogDefaults& defaults)
      : Dialog(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_SCHEDULE_EVENT)), m_(std::move(model)), defaults_(defaults) {}
  bool Changed() const { return changed_; }

 protected:
  bool OnInit() override {
    SetWindowTextA(hwnd(), std::string(StringText(kDialogTitle)).c_str());
    AddTab(Item(IDC_SCHED_TABS), 0, StringText(kTabEvent));
    AddTab(Item(IDC_SCHED_TABS), 1, StringText(kTabAlarm));
    SendDlgItemMessageA(hwnd(), IDC_SCHED_TITLE, EM_LIMITTEXT, kSchedTitleMax, 0);
    SendDlgItemMessageA(hwnd(), IDC_SCHED_N, EM_LIMITTEXT, 3, 0);
    SetText(IDC_SCHED_TITLE, m_.title);
    SetDate(IDC_SCHED_DATE, m_.date);
    SetTime(IDC_SCHED_START, m_.times.start);
    SetTime(IDC_SCHED_END, m_.times.end);
    if (SchedKindTakesN(m_.recurKind) && m_.recurN > 0) SetInt(IDC_SCHED_N, m_.recurN);
    FillRecurs();
    SetChecked(IDC_SCHED_MONTH, m_.monthCalendar);
    for (const std::string& s : SchedSoundChoices()) AddLine(IDC_SCHED_SOUND, s);
    Select(IDC_SCHED_SOUND, m_.sound);
    SetChecked(IDC_SCHED_ALARM_ON, m_.times.alarmOn);
    ShowAlarm();
    ShowZone();
    Enable(IDC_SCHED_ZONE, static_cast<bool>(ZonePicker()));
    Show(IDC_SCHED_REMOVE, !m_.isNew);

    On(IDC_SCHED_START, [this](int code) { if (code == kBoxFocusLeft || code == kBoxAccepted) StartEdited(); });
    On(IDC_SCHED_END, [this](int code) {
      if (code != kBoxFocusLeft && code != kBoxAccepted) return;
      if (auto v = Time(IDC_SCHED_END)) m_.times.end = *v;
    });
    On(IDC_SCHED_ALARM_TIME, [this](int code) { if (code == kBoxFocusLeft || code == kBoxAccepted) AlarmEdited(); });
    On(IDC_SCHED_DATE, [this](int code) { if (code == kBoxFocusLeft) DateEdited(); });
    On(IDC_SCHED_UNTIL, [this](int code) {
      if (code == kBoxFocusLeft)
        if (auto d = Date(IDC_SCHED_UNTIL)) m_.until = *d;
    });
    On(IDC_SCHED_RECURS, [this](int code) { if (code == CBN_SELCHANGE) RecursChosen(); });
    On(IDC_SCHED_N, [this](int code) { if (code == EN_KILLFOCUS) NEdited(); });
    On(IDC_SCHED_ALARM_ON, [this](int code) {
      if (code != BN_CLICKED) return;
      SchedSwitchAlarm(m_.times, Checked(IDC_SCHED_ALARM_ON));
      ShowAlarm();
    });
    On(IDC_SCHED_SOUND, [this](int code) {
      if (code == CBN_SELCHANGE) m_.sound = std::max(0, Selection(IDC_SCHED_SOUND));
    });
    On(IDC_SCHED_TEST, [this](int) { TestSound(); });
    On(IDC_SCHED_ZONE, [this](int) { PickZone(); });
    On(IDC_SCHED_REMOVE, [this](int) { Remove(); });
    ShowTab(0);
    FocusOn(IDC_SCHED_TITLE);
    return false;
  }

  bool OnOk() override {
    // Enter pressed in a date or time box: the box checks its text as leaving it would.
    SetFocus(Item(IDOK));
    SchedDialogFields f = Fields();
    SchedDialogResult r = SchedDialogCommit(m_, f);
    if (!r.validation.ok) {
      GoTo(r.validation.focus);
      return false;
    }
    if (!r.saved) return false;  // a conflict or a question answered Cancel: nothing stored
    defaults_ = SchedRememberedDefaults(defaults_, f);
    changed_ = true;
    return true;
  }

  INT_PTR OnMessage(UINT message, WPARAM wp, LPARAM lp, bool& handled) override {
    if (message == WM_NOTIFY) {
      const auto* hdr = reinterpret_cast<const NMHDR*>(lp);
      if (hdr && hdr->idFrom == IDC_SCHED_TABS && hdr->code == TCN_SELCHANGE) {
        ShowTab(static_cast<int>(SendDlgItemMessageA(hwnd(), IDC_SCHED_TABS, TCM_GETCURSEL, 0, 0)));
        handled = true;
      }
    } else if (message == WM_CTLCOLORSTATIC) {
      int id = GetDlgCtrlID(reinterpret_cast<HWND>(lp));
      if (std::find(std::begin(kPageLabels), std::end(kPageLabels), id) != std::end(kPageLabels)) {
        handled = true;
        return page_.For(Item(IDC_SCHED_TABS), reinterpret_cast<HDC>(wp));
      }
    } else if (message == WM_DESTROY) {
      // A test still playing stops with the dialog. Only then: asking the sound system to stop
      // when nothing plays can take seconds where there is no sound device.
      if (played_) PlayWave(nullptr, 0);
    }
    return 0;
  }

 private:
  void ShowTab(int tab) {
    SendDlgItemMessageA(hwnd(), IDC_SCHED_TABS, TCM_SETCURSEL, static_cast<WPARAM>(tab), 0);
    HWND focus = GetFocus();
    for (int id : kEventControls) Show(id, tab == 0);
    for (int id : kAlarmControls) Show(id, tab == 1);
    if (focus && !IsWindowVisible(focus)) SetFocus(Item(IDC_SCHED_TABS));
  }

  // ---- reading and showing the boxes ----
  std::optional<int> Time(int id) const {
    int v = static_cast<int>(SendMessageA(Item(id), kMsgTimeboxGet, 0, 0));
    if (v < 0 || v >= kMinutesPerDay) return std::nullopt;
    return v;
  }
  void SetTime(int id, int minutes) { SendMessageA(Item(id), kMsgTimeboxSet, static_cast<WPARAM>(MinuteOfDay(minutes)), 0); }
  std::optional<DateStamp> Date(int id) const {
    DateStamp d{};
    if (!SendMessageA(Item(id), kMsgDateboxGet, 0, reinterpret_cast<LPARAM>(&d))) return std::nullopt;
    if (!IsValidDate(d.month, d.day, d.year)) return std::nullopt;
    return DateStamp{d.year, d.month, d.day, 0, 0};
  }
  void SetDate(int id, const DateStamp& date) {
    DateStamp d = date;
    SendMessageA(Item(id), kMsgDateboxSet, 0, reinterpret_cast<LPARAM>(&d));
  }
  // The alarm box shows the time of day; an alarm on the day before reads back as itself while
  // the box still shows it.
  std::optional<int> AlarmTime() const {
    std::optional<int> v = Time(IDC_SCHED_ALARM_TIME);
    if (v && *v == MinuteOfDay(m_.times.alarm)) return m_.times.alarm;
    return v;
  }

  SchedDialogFields Fields() const {
    SchedDialogFields f;
    f.start = Time(IDC_SCHED_START);
    f.end = Time(IDC_SCHED_END);
    f.alarmOn = Checked(IDC_SCHED_ALARM_ON);
    if (f.alarmOn) f.alarm = AlarmTime();
    f.date = Date(IDC_SCHED_DATE);
    f.recurKind = m_.recurKind;
    if (f.recurKind >= 2) f.until = Date(IDC_SCHED_UNTIL);
    if (SchedKindTakesN(f.recurKind)) f.count = Int(IDC_SCHED_N);
    f.title = Text(IDC_SCHED_TITLE);
    f.sound = std::max(0, Selection(IDC_SCHED_SOUND));
    f.monthCalendar = Checked(IDC_SCHED_MONTH);
    return f;
  }

  void GoTo(SchedField field) {
    int id = 0;
    switch (field) {
      case SchedField::Start: id = IDC_SCHED_START; break;
      case SchedField::End: id = IDC_SCHED_END; break;
      case SchedField::AlarmTime: id = IDC_SCHED_ALARM_TIME; break;
      case SchedField::Date: id = IDC_SCHED_DATE; break;
      case SchedField::Until: id = IDC_SCHED_UNTIL; break;
      case SchedField::Count: id = IDC_SCHED_N; break;
      case SchedField::Title: id = IDC_SCHED_TITLE; break;
      case SchedField::None: return;
    }
    ShowTab(field == SchedField::AlarmTime ? 1 : 0);
    FocusOn(id);
  }

  // ---- the time rules ----
  void StartEdited() {
    std::optional<int> v = Time(IDC_SCHED_START);
    if (!v || *v == m_.times.start) return;
    SchedMoveStart(m_.times, *v);
    SetTime(IDC_SCHED_END, m_.times.end);
    if (m_.times.alarmOn) SetTime(IDC_SCHED_ALARM_TIME, m_.times.alarm);
    ShowZone();
  }
  void AlarmEdited() {
    std::optional<int> v = AlarmTime();
    if (v && *v != m_.times.alarm) SchedSetAlarmTime(m_.times, *v);
  }
  void ShowAlarm() {
    bool on = m_.times.alarmOn;
    SetText(IDC_SCHED_ALARM_ON, SchedAlarmCaption(on));
    Enable(IDC_SCHED_ALARM_TIME, on);
    Enable(IDC_SCHED_ALARM_TIME_LABEL, on);
    Enable(IDC_SCHED_SOUND, on);
    Enable(IDC_SCHED_SOUND_LABEL, on);
    Enable(IDC_SCHED_TEST, on);
    // A disabled box is empty; switched on it shows the time the lead gives.
    if (on) SetTime(IDC_SCHED_ALARM_TIME, m_.times.alarm);
  }

  // ---- date, recurrence, zone ----
  void DateEdited() {
    std::optional<DateStamp> d = Date(IDC_SCHED_DATE);
    if (!d || *d == m_.date) return;
    m_.date = *d;
    FillRecurs();
    ShowZone();
  }
  void FillRecurs() {
    kinds_ = SchedRecurKinds(m_.date);
    std::vector<std::string> labels = SchedRecurLabels(m_.date, m_.recurN);
    ClearLines(IDC_SCHED_RECURS);
    int chosen = 0;
    for (size_t i = 0; i < labels.size() && i < kinds_.size(); ++i) {
      AddLine(IDC_SCHED_RECURS, labels[i]);
      if (kinds_[i] == m_.recurKind) chosen = static_cast<int>(i);
    }
    // The list is sorted by nothing: lines stay in rule order (the combo has no CBS_SORT).
    Select(IDC_SCHED_RECURS, chosen);
    m_.recurKind = kinds_.empty() ? 1 : kinds_[static_cast<size_t>(chosen)];
    // Wide enough for the longest rule in words.
    SendDlgItemMessageA(hwnd(), IDC_SCHED_RECURS, CB_SETDROPPEDWIDTH, 300, 0);
    ShowSeriesFields();
  }
  void RecursChosen() {
    int sel = Selection(IDC_SCHED_RECURS);
    if (sel < 0 || sel >= static_cast<int>(kinds_.size())) return;
    m_.recurKind = kinds_[static_cast<size_t>(sel)];
    ShowSeriesFields();
  }
  void NEdited() {
    std::optional<int> n = Int(IDC_SCHED_N);
    if (!n || *n < 1 || *n > 120 || *n == m_.recurN) return;
    m_.recurN = *n;
    FillRecurs();  // the rule names its N
  }
  void ShowSeriesFields() {
    bool series = m_.recurKind >= 2;
    bool takesN = SchedKindTakesN(m_.recurKind);
    bool untilWasOn = IsWindowEnabled(Item(IDC_SCHED_UNTIL)) != FALSE;
    Enable(IDC_SCHED_N_LABEL, takesN);
    Enable(IDC_SCHED_N, takesN);
    Enable(IDC_SCHED_UNTIL_LABEL, series);
    Enable(IDC_SCHED_UNTIL, series);
    // A disabled date box is empty: enabled again it shows the last until date.
    if (series && (!untilWasOn || !Date(IDC_SCHED_UNTIL))) SetDate(IDC_SCHED_UNTIL, m_.until);
  }
  void ShowZone() {
    std::optional<int> start = Time(IDC_SCHED_START);
    SetText(IDC_SCHED_ZONE_NAME, SchedZoneName(m_.zone, m_.date, start.value_or(m_.times.start)));
  }
  void PickZone() {
    if (!ZonePicker()) return;
    if (std::optional<int> zone = ZonePicker()(hwnd(), m_.zone, m_.date)) {
      m_.zone = *zone;
      ShowZone();
    }
  }

  void TestSound() {
    std::string path = AlarmSoundPath(std::max(0, Selection(IDC_SCHED_SOUND)));
    if (path.empty()) MessageBeep(MB_OK);  // "None" sounds as the plain beep an alarm without sound gives
    else PlayWaveOrBeep(path.c_str()), played_ = true;
  }

  void Remove() {
    SchedDialogFields f = Fields();
    SchedDialogResult r = SchedDialogRemove(m_, f);
    if (!r.validation.ok && r.validation.focus != SchedField::None) {
      GoTo(r.validation.focus);
      return;
    }
    if (!r.saved) return;
    changed_ = true;
    End(IDOK);
  }

  SchedDialogModel m_;
  SchedDialogDefaults& defaults_;
  std::vector<int> kinds_;
  bool changed_ = false;
  bool played_ = false;
  TabPageBrush page_;
};

}  // namespace

void SetScheduleZonePicker(ScheduleZonePicker picker) { ZonePicker() = std::move(picker); }

bool RunScheduleDialog(HWND owner, const DateStamp& day, uint16_t id, int startMinute, int endMinute,
                       SchedDialogDefaults& defaults) {
  SchedDialogModel model;
  if (id != 0) {
    std::optional<SchedItem> item = SchedFindShownItem(id, day);
    if (!item) {
      MessageBeep(MB_ICONEXCLAMATION);  // gone since the calendar was drawn
      return false;
    }
    model = SchedDialogEdit(*item, defaults);
  } else {
    model = SchedDialogNew(day, startMinute, endMinute, defaults);
  }
  ScheduleDialog dialog(std::move(model), defaults);
  dialog.RunModal(owner);
  return dialog.Changed();
}

}  // namespace kv
