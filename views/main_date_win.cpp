#include "views/main_date_win.h"

#include "base/dialog_win.h"
#include "calendar/clock.h"
#include "calendar/dates.h"
#include "resources/command_ids.h"
#include "resources/views_dialogs.h"
#include "views/calendar_panes_win.h"
#include "views/calendar_state.h"

namespace kv {
namespace {

class MainDateDialog : public Dialog {
 public:
  MainDateDialog() : Dialog(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_MAIN_DATE)) {}
  const DateStamp& Chosen() const { return chosen_; }

 protected:
  bool OnInit() override {
    DateStamp shown = Calendar().date;
    if (!IsValidDate(shown.month, shown.day, shown.year)) shown = CurrentDateTime().stamp;
    SendMessageA(Item(IDC_MAIN_DATE_BOX), kMsgDateboxSet, 0, reinterpret_cast<LPARAM>(&shown));
    return true;  // the first tab stop, the date box, takes the focus
  }

  bool OnOk() override {
    HWND box = Item(IDC_MAIN_DATE_BOX);
    // Enter pressed in the box: let it check its text first, as leaving it would (a text that is
    // no date gets the box's own beep).
    HWND focus = GetFocus();
    if (focus && (focus == box || IsChild(box, focus))) SetFocus(Item(IDOK));
    DateStamp date{};
    if (!SendMessageA(box, kMsgDateboxGet, 0, reinterpret_cast<LPARAM>(&date))) {
      SetFocus(box);
      return false;
    }
    chosen_ = date;
    return true;
  }

 private:
  DateStamp chosen_;
};

}  // namespace

void RunMainDate(HWND owner) {
  MainDateDialog dialog;
  if (dialog.RunModal(owner) != IDOK) return;
  SelectGregorianDate(dialog.Chosen());
  CalendarDateChanged();
}

}  // namespace kv
