#include "views/quick_edit_win.h"

#include <functional>
#include <vector>

#include "base/dialog_win.h"
#include "calendar/date_format.h"
#include "overlays/day_assembly.h"
#include "resources/views_dialogs.h"
#include "views/calendar_state.h"

namespace kv {
namespace {

class QuickEditDialog : public Dialog {
 public:
  QuickEditDialog() : Dialog(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_QUICK_EDIT)) {}
  // What to open once the dialog is gone (empty when it was closed).
  const std::function<void()>& Action() const { return action_; }

 protected:
  bool OnInit() override {
    const CalendarState& c = Calendar();
    SetText(IDC_QUICK_EDIT_DATE, FormatLongDate(c.date.month, c.date.day, c.date.year));
    for (const DayEntry* entry : DayEntries(c.day)) {
      if (entry->source == kTimeChangeSource) continue;  // a clock change is no item to edit
      sources_.push_back(entry->source);
      AddLine(IDC_QUICK_EDIT_LIST, entry->text);
    }
    const ViewEditors& editors = Editors();
    Enable(IDC_QUICK_EDIT_NEW_SCHEDULE, static_cast<bool>(editors.newScheduleItem));
    Enable(IDC_QUICK_EDIT_NEW_OVERLAY, static_cast<bool>(editors.newOverlayEvent));
    if (!sources_.empty()) Select(IDC_QUICK_EDIT_LIST, 0);
    UpdateEditButton();

    On(IDC_QUICK_EDIT_LIST, [this](int code) {
      if (code == LBN_SELCHANGE) UpdateEditButton();
      if (code == LBN_DBLCLK) EditSelected();
    });
    On(IDC_QUICK_EDIT_EDIT, [this](int) { EditSelected(); });
    On(IDC_QUICK_EDIT_NEW_SCHEDULE, [this](int) {
      DateStamp day = Calendar().date;
      if (auto open = Editors().newScheduleItem) Finish([open, day] { open(day, -1, -1); });
    });
    On(IDC_QUICK_EDIT_NEW_OVERLAY, [this](int) {
      DateStamp day = Calendar().date;
      if (auto open = Editors().newOverlayEvent) Finish([open, day] { open(day); });
    });
    return true;
  }

 private:
  // The editor of the selected line, or nothing when its owner has not installed one.
  std::function<void()> EditorOfSelection() const {
    int index = Selection(IDC_QUICK_EDIT_LIST);
    if (index < 0 || index >= static_cast<int>(sources_.size())) return {};
    int32_t source = sources_[static_cast<size_t>(index)];
    DateStamp day = Calendar().date;
    const ViewEditors& editors = Editors();
    if (source >= 0 && editors.openOverlayEvent) {
      auto open = editors.openOverlayEvent;
      return [open, source, day] { open(source, day); };
    }
    if (source < 0 && editors.openScheduleItem) {
      auto open = editors.openScheduleItem;
      return [open, source, day] { open(-source, day); };
    }
    return {};
  }

  void UpdateEditButton() { Enable(IDC_QUICK_EDIT_EDIT, static_cast<bool>(EditorOfSelection())); }

  void EditSelected() {
    if (std::function<void()> open = EditorOfSelection()) Finish(std::move(open));
  }

  void Finish(std::function<void()> action) {
    action_ = std::move(action);
    End(IDOK);
  }

  std::vector<int32_t> sources_;
  std::function<void()> action_;
};

}  // namespace

void RunQuickEdit(HWND owner) {
  QuickEditDialog dialog;
  dialog.RunModal(owner);
  if (dialog.Action()) dialog.Action()();
}

}  // namespace kv
