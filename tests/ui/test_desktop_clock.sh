#!/usr/bin/env bash
# The desktop clock that stands in for the minimised frame (caption time on the test clock,
# placement, dragging, restoring, a maximised frame, an alarm, closing it with the save
# question cancelled) and the "Clock Icon" dialog.
source "$(dirname "$0")/lib.sh"
fresh_profile
WM_APP_ADVANCE=0x8001
WM_SYSCOMMAND=0x112; SC_MINIMIZE=0xF020; SC_MAXIMIZE=0xF030; SC_RESTORE=0xF120; SC_CLOSE=0xF060
WM_LBUTTONDBLCLK=0x203; BM_CLICK=0xF5; BM_GETCHECK=0xF0
display=$(cat "$kv_display_file")
screen_w=$(xdpyinfo -display "$display" | awk '/dimensions:/ { split($2, d, "x"); print d[1] }')

# An alarm at 0:03 on New Year's Day, for the clock to give way to.
db="$data/Databases/Default"
mkdir -p "$db"
"$KV_RUNNER" "$KV_BIN/kvtool.exe" sched add --db "$(winpath "$db")" --date 2027-01-01 --start 00:10 --end 00:30 \
  --title Fireworks --alarm 00:03 --sound 1 >"$kv_tmp/add.out" 2>&1 || fail "kvtool sched add: $(cat "$kv_tmp/add.out")"

set_setting Configuration ClockIcon 270   # enabled: time, date, weekday; not on top
set_setting Configuration ClockX 5000     # beyond the right edge
set_setting Configuration ClockY 40
KV_ENV="KALVORA_TEST_CLOCK=2026-12-31T23:58" start_and_wait
frame_rect=$(driver rect KV4Frame)
read -r fx fy fw fh <<<"$frame_rect"
# Waits until no dialog box is up (at most 5 s).
no_dialog() {
  local i
  for i in $(seq 1 25); do driver dialog 0 >/dev/null 2>&1 || return 0; sleep 0.2; done
  return 1
}
clock_caption() { driver caption KVClock | tr -d '\225'; }   # the bullets between the pieces

# ---- minimise: the clock stands in, the frame leaves the screen --------------------------------
driver post KV4Frame $WM_SYSCOMMAND $SC_MINIMIZE >/dev/null
driver wait KVClock 10000 >/dev/null || fail "no KVClock window after minimising"
wait_for "11:58 PM    Dec 31    Thu" clock_caption || fail "the clock shows \"$(clock_caption)\""
read -r x y w h <<<"$(driver rect KV4Frame)"
[ $((x + w)) -le 0 ] && [ $((y + h)) -le 0 ] || fail "the frame is not out of sight: $x $y $w $h"
[ "$w $h" = "$fw $fh" ] || fail "the frame changed size while out of sight: $w $h"
read -r cx cy cw ch <<<"$(driver rect KVClock)"
[ "$cx" = $((screen_w - cw - 1)) ] && [ "$cy" = 40 ] || fail "the clock is not pulled onto the screen: $cx $cy ($cw x $ch)"

driver post KV4Frame $WM_APP_ADVANCE 1 >/dev/null
wait_for "11:59 PM    Dec 31    Thu" clock_caption || fail "a minute later the clock shows \"$(clock_caption)\""
driver post KV4Frame $WM_APP_ADVANCE 1 >/dev/null
wait_for "12:00 AM    Jan 1    Fri" clock_caption || fail "at midnight the clock shows \"$(clock_caption)\""
read -r cx cy cw ch <<<"$(driver rect KVClock)"
[ "$cx" = $((screen_w - cw - 1)) ] || fail "the clock was not placed again for its new width: $cx ($cw)"
screenshot desktop-clock

# ---- dragging: the clock follows the mouse and its place is kept ----------------------------------
# Pressed at (px, py); a first small move starts the window's move there, the rest carries it.
px=$((cx + 8)); py=$((cy + 6))
xdo() { DISPLAY=$display xdotool "$@" >/dev/null 2>&1; }
xdo mousemove $px $py; sleep 0.2; xdo mousedown 1; sleep 0.2
xdo mousemove $((px - 3)) $((py + 2)); sleep 0.3
for step in 1 2 3 4 5; do xdo mousemove $((px - 3 - step * 40)) $((py + 2 + step * 20)); sleep 0.1; done
xdo mouseup 1
sleep 1
read -r nx ny _ _ <<<"$(driver rect KVClock)"
[ "$nx" = $((cx - 200)) ] && [ "$ny" = $((cy + 100)) ] || fail "the drag moved the clock to $nx $ny, not $((cx - 200)) $((cy + 100))"
[ "$(setting Configuration ClockX) $(setting Configuration ClockY)" = "$nx $ny" ] ||
  fail "the new place was not stored: $(setting Configuration ClockX) $(setting Configuration ClockY)"

# ---- a double click brings the frame back as it was --------------------------------------------
driver post KVClock $WM_LBUTTONDBLCLK 0 0x00050005 >/dev/null
driver gone KVClock 5000 >/dev/null || fail "the clock stayed after a double click"
wait_for "$frame_rect" driver rect KV4Frame || fail "the frame came back at $(driver rect KV4Frame), not $frame_rect"

# ---- a maximised frame comes back maximised; minimising the frame while the clock stands in
# ---- restores it --------------------------------------------------------------------------------
driver post KV4Frame $WM_SYSCOMMAND $SC_MAXIMIZE >/dev/null
sleep 1
max_rect=$(driver rect KV4Frame)
driver post KV4Frame $WM_SYSCOMMAND $SC_MINIMIZE >/dev/null
driver wait KVClock 10000 >/dev/null || fail "no clock for the maximised frame"
read -r x y w h <<<"$(driver rect KV4Frame)"
[ $((x + w)) -le 0 ] || fail "the maximised frame is not out of sight: $x $y $w $h"
driver post KV4Frame $WM_SYSCOMMAND $SC_MINIMIZE >/dev/null
driver gone KVClock 5000 >/dev/null || fail "minimising the hidden frame did not bring it back"
# The program shows the frame maximised again (it reads as maximised right then), but Wine
# without a window manager restores it once more a moment later: noted, not failed.
wait_for "$max_rect" driver rect KV4Frame ||
  echo "note: the frame came back as $(driver rect KV4Frame), not maximised ($max_rect)"
[ "$(driver count KV4Frame)" = 1 ] || fail "the frame is gone"
driver post KV4Frame $WM_SYSCOMMAND $SC_RESTORE >/dev/null
wait_for "$frame_rect" driver rect KV4Frame || fail "the frame did not restore to $frame_rect"

# ---- a second start brings the frame back from behind its clock ---------------------------------
driver post KV4Frame $WM_SYSCOMMAND $SC_MINIMIZE >/dev/null
driver wait KVClock 10000 >/dev/null || fail "no clock before the second start"
first_pid=$kv_pid
start_kalvora
wait_exit "$kv_pid" 20 || fail "the second start did not end"
kv_pid=$first_pid
driver gone KVClock 5000 >/dev/null || fail "the second start left the clock standing in"
wait_for "$frame_rect" driver rect KV4Frame || fail "the second start did not bring the frame back: $(driver rect KV4Frame)"

# ---- closing the clock while the save question is cancelled: the frame comes back --------------
driver command KV4Frame 1314 >/dev/null   # a change to the configuration: the question will come
sleep 0.5
driver post KV4Frame $WM_SYSCOMMAND $SC_MINIMIZE >/dev/null
driver wait KVClock 10000 >/dev/null || fail "no clock before closing it"
driver post KVClock $WM_SYSCOMMAND $SC_CLOSE >/dev/null
question=$(driver dialog 10000)
[ "$(tail -n +2 <<<"$question")" = "Save Calendar Configuration" ] || fail "closing the clock asked \"$question\""
screenshot desktop-clock-save-question
driver answer 2 >/dev/null
driver gone KVClock 5000 >/dev/null || fail "the clock stayed after the program's close was cancelled"
wait_for "$frame_rect" driver rect KV4Frame || fail "the frame stayed away after the cancelled close: $(driver rect KV4Frame)"
[ "$(driver count KV4Frame)" = 1 ] || fail "the cancelled close ended the program"

# ---- the "Clock Icon" dialog --------------------------------------------------------------------
driver command KV4Frame 1212 >/dev/null
[ "$(driver dialog 10000 | head -n 1)" = "Clock Icon" ] || fail "command 1212 did not open \"Clock Icon\""
for box in 10601 10602 10603 10604 10605; do
  [ "$(driver send dialog/#$box $BM_GETCHECK)" = "$([ $box = 10602 ] && echo 0 || echo 1)" ] ||
    fail "box $box does not show the setting 270"
done
screenshot clock-icon-dialog
for box in 10603 10604 10605; do driver post dialog/#$box $BM_CLICK >/dev/null; done
sleep 0.5
driver answer 1 >/dev/null
sleep 1
[ "$(driver dialog 5000 | tail -n 1)" = "Must select at least one display item: time, date, or day of week." ] ||
  fail "no display item chosen, yet no warning: $(driver dialog 2000)"
driver answer 1 >/dev/null
sleep 1
[ "$(driver dialog 5000 | head -n 1)" = "Clock Icon" ] || fail "the dialog closed on the warning"
driver post dialog/#10603 $BM_CLICK >/dev/null
sleep 0.5
driver answer 1 >/dev/null
no_dialog
[ "$(setting Configuration ClockIcon)" = 258 ] || fail "ClockIcon is \"$(setting Configuration ClockIcon)\", not 258"

# ---- time only: one piece; an alarm brings the frame back -----------------------------------------
driver post KV4Frame $WM_SYSCOMMAND $SC_MINIMIZE >/dev/null
driver wait KVClock 10000 >/dev/null || fail "no clock with time only"
wait_for "12:00 AM" driver caption KVClock || fail "the time-only clock shows \"$(driver caption KVClock)\""
screenshot desktop-clock-time-only
driver post KV4Frame $WM_APP_ADVANCE 3 >/dev/null
alarm=$(driver dialog 10000)
case "$alarm" in *Fireworks*) ;; *) fail "no alarm window at 0:03: \"$alarm\"" ;; esac
[ "$(driver count KVClock)" = 0 ] || fail "the clock stayed while the alarm went off"
wait_for "$frame_rect" driver rect KV4Frame || fail "the alarm did not bring the frame back"
driver answer 1 >/dev/null
no_dialog

# The configuration changed (the tab strip): the question comes once more; No ends the program.
driver close KV4Frame >/dev/null
driver dialog 10000 >/dev/null && driver answer 7 >/dev/null
wait_exit "$kv_pid" 20 || fail "the program did not end"
kv_pid=""

finish
