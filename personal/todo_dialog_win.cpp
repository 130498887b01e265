#include "personal/todo_dialog_win.h"

#include <string>

#include "base/dialog_win.h"
#include "personal/todo_dialog.h"
#include "resources/command_ids.h"
#include "resources/strings.h"
#include "resources/todo_dialog.h"

namespace kv {
namespace {

HINSTANCE Instance() { return GetModuleHandleA(nullptr); }

class ToDoItemDialog : public Dialog {
 public:
  ToDoItemDialog(const ToDoEntry* edited, const DateStamp& requiredDate, const ToDoSettings& settings,
                 const ToDoZoneChooser& chooseZone)
      : Dialog(Instance(), MAKEINTRESOURCEA(IDD_TODO_ITEM)),
        edited_(edited),
        settings_(settings),
        chooseZone_(chooseZone),
        form_(edited ? ToDoFormFor(*edited) : NewToDoForm(requiredDate)) {}

  uint16_t Slot() const { return slot_; }

 protected:
  bool OnInit() override {
    ToDoDialogShown shown = ToDoDialogShownFor(form_, edited_ != nullptr, static_cast<bool>(chooseZone_));
    SetWindowTextA(hwnd(), std::string(StringText(shown.titleId)).c_str());
    SendDlgItemMessageA(hwnd(), IDC_TODO_TEXT, EM_LIMITTEXT, kToDoTextMax, 0);
    SetText(IDC_TODO_TEXT, form_.text);
    SendMessageA(Item(IDC_TODO_ACTIVATE), kMsgDateboxSet, 0, reinterpret_cast<LPARAM>(&form_.activate));
    SendMessageA(Item(IDC_TODO_REQUIRED), kMsgDateboxSet, 0, reinterpret_cast<LPARAM>(&form_.required));
    if (shown.timeBox >= 0) SendMessageA(Item(IDC_TODO_TIME), kMsgTimeboxSet, static_cast<WPARAM>(shown.timeBox), 0);
    else SendMessageA(Item(IDC_TODO_TIME), kMsgTimeboxClear, 0, 0);
    int priority = form_.priority >= 1 && form_.priority <= 3 ? form_.priority : 1;
    CheckRadioButton(hwnd(), IDC_TODO_PRIORITY1, IDC_TODO_PRIORITY3, IDC_TODO_PRIORITY1 + priority - 1);
    SetText(IDC_TODO_ZONE_NAME, ToDoZoneName(form_.zone));
    Enable(IDC_TODO_ZONE, shown.zoneEnabled);
    Enable(IDC_TODO_REMOVE, shown.removeEnabled);
    // Any word from the time box (a time accepted, the box left empty, the focus gone) may
    // change whether a zone can be picked.
    On(IDC_TODO_TIME, [this](int) { Enable(IDC_TODO_ZONE, ToDoZoneButtonEnabled(TimeBox(), static_cast<bool>(chooseZone_))); });
    On(IDC_TODO_ZONE, [this](int) { ChooseZone(); });
    On(IDC_TODO_REMOVE, [this](int) { Remove(); });
    return true;
  }

  bool OnOk() override {
    // Enter pressed in a date or time box: let the box check its text first, as leaving it would.
    SetFocus(Item(IDOK));
    ToDoDialogFields fields;
    fields.text = Text(IDC_TODO_TEXT);
    fields.activate = DateOf(IDC_TODO_ACTIVATE);
    fields.required = DateOf(IDC_TODO_REQUIRED);
    fields.timeBox = TimeBox();
    fields.priority = Checked(IDC_TODO_PRIORITY3) ? 3 : Checked(IDC_TODO_PRIORITY2) ? 2 : 1;
    fields.zone = form_.zone;
    ToDoSaveResult result = ToDoSave(ToDoFormFromFields(fields), edited_);
    if (result.Ok()) {
      slot_ = result.slot;
      return true;
    }
    switch (result.focus) {
      case ToDoField::Text: FocusOn(IDC_TODO_TEXT); break;
      case ToDoField::Activate: FocusOn(IDC_TODO_ACTIVATE); break;
      case ToDoField::Required: FocusOn(IDC_TODO_REQUIRED); break;
      case ToDoField::Time: FocusOn(IDC_TODO_TIME); break;
      case ToDoField::None: break;
    }
    return false;
  }

 private:
  std::optional<DateStamp> DateOf(int id) const {
    DateStamp d{};
    if (!SendMessageA(Item(id), kMsgDateboxGet, 0, reinterpret_cast<LPARAM>(&d))) return std::nullopt;
    return d;
  }
  int TimeBox() const { return static_cast<int>(SendMessageA(Item(IDC_TODO_TIME), kMsgTimeboxGet, 0, 0)); }

  void ChooseZone() {
    uint8_t zone = form_.zone;
    if (!chooseZone_ || !chooseZone_(hwnd(), zone)) return;
    form_.zone = zone;
    SetText(IDC_TODO_ZONE_NAME, ToDoZoneName(zone));
  }

  void Remove() {
    if (!edited_ || !ToDoRemove(*edited_, true, settings_)) return;
    End(kRemovedResult);
  }

 public:
  static constexpr INT_PTR kRemovedResult = 3;

 private:
  const ToDoEntry* edited_;
  ToDoSettings settings_;
  ToDoZoneChooser chooseZone_;
  ToDoForm form_;
  uint16_t slot_ = 0;
};

class ToDoOptionsDialog : public Dialog {
 public:
  explicit ToDoOptionsDialog(ToDoSettings& settings)
      : Dialog(Instance(), MAKEINTRESOURCEA(IDD_TODO_OPTIONS)), settings_(settings) {}

 protected:
  bool OnInit() override {
    ToDoOptionsFields f = ToDoOptionsFieldsFor(settings_);
    CheckRadioButton(hwnd(), IDC_TODO_SORT_PRIORITY, IDC_TODO_SORT_DATE,
                     f.sortByPriority ? IDC_TODO_SORT_PRIORITY : IDC_TODO_SORT_DATE);
    SetChecked(IDC_TODO_HIDE_COMPLETED, f.hideCompleted);
    SendDlgItemMessageA(hwnd(), IDC_TODO_REMOVE_DAYS, EM_LIMITTEXT, 3, 0);
    SetText(IDC_TODO_REMOVE_DAYS, f.removeAfterDays);
    SetChecked(IDC_TODO_LOG, f.logRemoved);
    SendDlgItemMessageA(hwnd(), IDC_TODO_LOG_FILE, EM_LIMITTEXT, 255, 0);
    SetText(IDC_TODO_LOG_FILE, f.archiveName);
    SetChecked(IDC_TODO_LOG_NOTES, f.logNotes);
    EnableLog();
    On(IDC_TODO_LOG, [this](int) { EnableLog(); });
    return true;
  }

  bool OnOk() override {
    ToDoOptionsFields f;
    f.sortByPriority = Checked(IDC_TODO_SORT_PRIORITY);
    f.hideCompleted = Checked(IDC_TODO_HIDE_COMPLETED);
    f.removeAfterDays = Text(IDC_TODO_REMOVE_DAYS);
    f.logRemoved = Checked(IDC_TODO_LOG);
    f.archiveName = Text(IDC_TODO_LOG_FILE);
    f.logNotes = Checked(IDC_TODO_LOG_NOTES);
    switch (ToDoApplyOptions(f, settings_)) {
      case ToDoOptionsField::None: return true;
      case ToDoOptionsField::Days: FocusOn(IDC_TODO_REMOVE_DAYS); return false;
      case ToDoOptionsField::ArchiveName:
        // A name refused while logging was off: the field must be reachable to mend it.
        Enable(IDC_TODO_LOG_FILE, true);
        FocusOn(IDC_TODO_LOG_FILE);
        return false;
    }
    return false;
  }

 private:
  // The file name and the notes choice only matter while removed items are logged.
  void EnableLog() {
    bool on = Checked(IDC_TODO_LOG);
    Enable(IDC_TODO_LOG_FILE, on);
    Enable(IDC_TODO_LOG_NOTES, on);
  }

  ToDoSettings& settings_;
};

}  // namespace

ToDoDialogOutcome RunToDoItemDialog(HWND owner, const ToDoEntry* edited, const DateStamp& requiredDate,
                                    const ToDoSettings& settings, const ToDoZoneChooser& chooseZone) {
  ToDoItemDialog dialog(edited, requiredDate, settings, chooseZone);
  INT_PTR result = dialog.RunModal(owner);
  ToDoDialogOutcome outcome;
  if (result == IDOK) outcome = {ToDoDialogEnd::Saved, dialog.Slot()};
  else if (result == ToDoItemDialog::kRemovedResult) outcome.end = ToDoDialogEnd::Removed;
  return outcome;
}

bool RunToDoOptionsDialog(HWND owner, ToDoSettings& settings) {
  ToDoSettings changed = settings;
  ToDoOptionsDialog dialog(changed);
  if (dialog.RunModal(owner) != IDOK) return false;
  settings = changed;
  return true;
}

}  // namespace kv
