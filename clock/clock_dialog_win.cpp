#include "clock/clock_dialog_win.h"

#include <string>

#include "base/dialog_win.h"
#include "base/messages.h"
#include "base/settings.h"
#include "clock/clock_face.h"
#include "clock/clock_window_win.h"
#include "resources/clock_dialog.h"
#include "resources/strings.h"

namespace kv {
namespace {

struct OptionBox {
  int id;
  int bit;
};
constexpr OptionBox kOptions[] = {
    {IDC_CLOCK_ON_TOP, kClockOnTop},     {IDC_CLOCK_TIME, kClockShowTime}, {IDC_CLOCK_DATE, kClockShowDate},
    {IDC_CLOCK_WEEKDAY, kClockShowWeekday}, {IDC_CLOCK_GLASS, kClockGlass},
};

class ClockIconDialog : public Dialog {
 public:
  ClockIconDialog(HINSTANCE instance, int setting)
      : Dialog(instance, MAKEINTRESOURCEA(IDD_CLOCK_ICON)), setting_(setting) {}
  int Result() const { return setting_; }

 protected:
  bool OnInit() override {
    SetChecked(IDC_CLOCK_ENABLED, (setting_ & kClockEnabled) != 0);
    for (const OptionBox& o : kOptions) SetChecked(o.id, (setting_ & o.bit) != 0);
    On(IDC_CLOCK_ENABLED, [this](int code) {
      if (code == BN_CLICKED) EnableOptions();
    });
    EnableOptions();
    return true;
  }

  bool OnOk() override {
    int options = 0;
    for (const OptionBox& o : kOptions)
      if (Checked(o.id)) options |= o.bit;
    std::optional<int> value = ClockDialogValue(Checked(IDC_CLOCK_ENABLED), options);
    if (!value) {
      ShowMessage(std::string(StringText(30001)), MsgIcon::Warning);
      FocusOn(IDC_CLOCK_TIME);
      return false;
    }
    setting_ = *value;
    RegWriteSetting("Configuration", "ClockIcon", std::to_string(setting_));
    return true;
  }

 private:
  // The options follow the first box; the glass only where the desktop is composed.
  void EnableOptions() {
    bool enabled = Checked(IDC_CLOCK_ENABLED);
    for (const OptionBox& o : kOptions) Enable(o.id, enabled && (o.bit != kClockGlass || GlassAvailable()));
  }

  int setting_;
};

}  // namespace

bool RunClockIconDialog(HINSTANCE instance, HWND owner, int& setting) {
  ClockIconDialog dialog(instance, setting);
  if (dialog.RunModal(owner) != IDOK) return false;
  setting = dialog.Result();
  return true;
}

}  // namespace kv
