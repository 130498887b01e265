#include "personal/alarm_window_win.h"

#include <mmsystem.h>

#include <string>

#include "base/dialog_win.h"
#include "calendar/date_format.h"
#include "calendar/regional.h"
#include "personal/play_wave_win.h"
#include "resources/alarm_dialog.h"
#include "resources/command_ids.h"

namespace kv {
namespace {

HWND g_window = nullptr;

class AlarmDialog : public Dialog {
 public:
  AlarmDialog(HINSTANCE instance, const PendingAlarm& alarm)
      : Dialog(instance, MAKEINTRESOURCEA(IDD_ALARM)), alarm_(alarm) {}

 protected:
  bool OnInit() override {
    g_window = hwnd();
    SetText(IDC_ALARM_TITLE, alarm_.title);
    SetText(IDC_ALARM_EVENT, FormatTimeOfDay(alarm_.eventTime, Regional()));
    ShowNow();
    Play();
    SetForegroundWindow(hwnd());
    return true;
  }
  bool OnOk() override { return true; }
  INT_PTR OnMessage(UINT message, WPARAM, LPARAM, bool& handled) override {
    if (message == kMsgAlarmMinute) {
      MessageBeep(0);
      ShowNow();
      handled = true;
    } else if (message == WM_DESTROY) {
      PlayWave(nullptr, 0);
      g_window = nullptr;
      // Acknowledging switches the item's alarm off and looks for the next one.
      AlarmDialogClosed();
    }
    return TRUE;
  }

 private:
  void ShowNow() { SetText(IDC_ALARM_NOW, FormatTimeOfDay(CurrentDateTime().minuteOfDay, Regional())); }
  // Plays the item's sound once; a missing or damaged file, or no sound device, gives the
  // system's beep instead.
  void Play() {
    if (alarm_.sound == 0) return;
    PlayWaveOrBeep(AlarmSoundPath(alarm_.sound).c_str());
  }

  PendingAlarm alarm_;
};

}  // namespace

HWND OpenAlarmWindow(HINSTANCE instance, HWND owner, const PendingAlarm& alarm) {
  auto* dialog = new AlarmDialog(instance, alarm);
  HWND window = dialog->CreateModeless(owner, true);
  if (!window) {
    delete dialog;
    AlarmDialogClosed();
  }
  return window;
}

HWND AlarmWindow() { return g_window; }

}  // namespace kv
