#!/usr/bin/env bash
# The program on high-resolution screens: with the screen at 150 and 200 per cent (144 and 192
# pixels per inch), the frame's toolbar, pictures and buttons grow with it, and no text of the
# date and clock buttons, "Calendar Options" or "Configure location" is cut off by its control
# (the driver measures every text against its control's rectangle). Screenshots of the month and
# day views and of both dialogs at each scale. The test display is 1280 x 1024, a 640 x 512
# screen at 200 per cent: there the calendar is larger than the desk and the desk scrolls.
source "$(dirname "$0")/lib.sh"
CMD_MONTH=1302 CMD_DAY=1303 CMD_CALENDAR_OPTIONS=1203 CMD_LOCATION=1201 CMD_TODAY=1312 CMD_CLOCK=$(grep -o 'CMD_CLOCK_BUTTON [0-9]*' "$KV_SOURCE/resources/command_ids.h" | awk '{print $2}')

desktop_key='HKCU\Control Panel\Desktop'
restore_dpi() { wine_reg delete "$desktop_key" /v LogPixels /f; }

trap 'restore_dpi; cleanup_kalvora' EXIT

dialog_caption() { driver dialog 0 2>/dev/null | head -1; }
open_dialog() {  # open_dialog COMMAND CAPTION
  driver command KV4Frame "$1" >/dev/null
  wait_for "$2" dialog_caption || { fail "\"$2\" did not open (saw \"$(dialog_caption)\")"; return 1; }
  sleep 0.5
}
close_dialog() {
  driver answer 2 >/dev/null
  local i
  for i in $(seq 1 50); do [ -z "$(dialog_caption)" ] && return 0; sleep 0.2; done
  fail "the dialog did not close"
}
# Fails with the driver's list when any text of WINDOW is cut off.
no_clipping() {  # no_clipping WHAT WINDOW [FACE SIZE]
  local what=$1
  shift
  local out
  if ! out=$(driver clipped "$@"); then fail "clipped text in $what at $dpi dpi: $(echo "$out" | head -5 | tr '\n' ';')"; fi
}

for dpi in 144 192; do
  wine_reg add "$desktop_key" /v LogPixels /t REG_DWORD /d $dpi /f
  fresh_profile
  start_and_wait || break
  driver painted KV4Frame/KVMonthPlane 10000 >/dev/null

  # The toolbar: 28 pixels at 96 dpi, its pictures 20.
  read -r _ _ _ tb_height <<<"$(driver rect KV4Frame/ToolbarWindow32)"
  want=$((24 * dpi / 96))
  [ "${tb_height:-0}" -ge "$want" ] || fail "toolbar is ${tb_height:-?} pixels high at $dpi dpi, want $want or more"
  no_clipping "the date button" "KV4Frame/#$CMD_TODAY" "Microsoft Sans Serif" -13
  no_clipping "the clock button" "KV4Frame/#$CMD_CLOCK" "Microsoft Sans Serif" -13
  screenshot "high_dpi_${dpi}_month"

  driver command KV4Frame $CMD_DAY >/dev/null
  sleep 1.5
  screenshot "high_dpi_${dpi}_day"
  driver command KV4Frame $CMD_MONTH >/dev/null

  if open_dialog $CMD_CALENDAR_OPTIONS "Calendar Options"; then
    no_clipping "Calendar Options" dialog
    # The check itself: measured in a font three times the dialog's, the texts must not fit.
    driver clipped dialog "MS Shell Dlg" 24 >/dev/null && fail "the clipping check finds nothing even in a far larger font"
    screenshot "high_dpi_${dpi}_calendar_options"
    close_dialog
  fi
  if open_dialog $CMD_LOCATION "Configure location"; then
    no_clipping "Configure location" dialog
    screenshot "high_dpi_${dpi}_location"
    close_dialog
  fi
  close_and_wait
done
finish
