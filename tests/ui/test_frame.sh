#!/usr/bin/env bash
# The frame appears with its caption, toolbar, date and clock buttons and the desk; a second
# start leaves one frame; closing ends the program with exit code 0.
source "$(dirname "$0")/lib.sh"
fresh_profile

start_and_wait
first=$kv_pid
caption=$(driver caption KV4Frame)
[ "$caption" = "Kalvora" ] || fail "caption is \"$caption\", want \"Kalvora\""
children=$(driver children KV4Frame)
for part in $'ToolbarWindow32\t200' $'Button\t1312' $'Button\t1328' $'MDIClient\t0' $'KVCalendar\t'; do
  grep -q "^$part" <<<"$children" || fail "the frame has no ${part//$'\t'/ } window"
done
[ "$(driver tbchecked KV4Frame 1302)" = "1" ] || fail "the month view button is not pressed"
[ "$(driver tbchecked KV4Frame 1301)" = "0" ] || fail "the year view button is pressed"
screenshot frame

# A second start only brings the first to the top and ends by itself.
start_kalvora
second=$kv_pid
wait_exit "$second" 15 || fail "the second start did not end within 15 s"
[ "$exit_code" = "0" ] || fail "the second start exited with $exit_code"
count=$(driver count KV4Frame)
[ "$count" = "1" ] || fail "$count frames after the second start, want 1"

kv_pid=$first
close_and_wait
finish
