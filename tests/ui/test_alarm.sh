#!/usr/bin/env bash
# Alarms in the running program: an item's alarm goes off at its minute on the program's own
# clock tick, its window opens over everything, and dismissing it switches the alarm off in the
# month file, so it never goes off twice.
source "$(dirname "$0")/lib.sh"
fresh_profile
WM_APP_ADVANCE=0x8001   # the program's test-clock message: move the clock by N minutes

db="$data/Databases/Default"
mkdir -p "$db"
kvtool() { "$KV_RUNNER" "$KV_BIN/kvtool.exe" "$@" 2>&1 | tr -d '\r'; }
kvtool sched add --db "$(winpath "$db")" --date 2026-12-07 --start 10:00 --end 11:00 --title Dentist \
  --alarm 09:45 --sound 1 >"$kv_tmp/add.out" || fail "kvtool sched add: $(cat "$kv_tmp/add.out")"
next() { kvtool alarm next --db "$(winpath "$db")" --now 2026-12-07T00:00 | sed -E 's/.*"minute":([0-9]+).*/\1/'; }
[ "$(next)" = "585" ] || fail "the stored alarm is not armed for 9:45: $(next)"

KV_ENV="KALVORA_TEST_CLOCK=2026-12-07T09:43" start_and_wait
driver post KV4Frame $WM_APP_ADVANCE 1 >/dev/null
driver dialog 2000 >/dev/null 2>&1 && fail "an alarm window opened before its minute"

driver post KV4Frame $WM_APP_ADVANCE 1 >/dev/null
shown=$(driver dialog 10000 | tr -d '\r')
case "$shown" in
  "Kalvora Event Alarm"*Dentist*) ;;
  *) fail "no alarm window at 9:45, or not for the item: \"$shown\"" ;;
esac
screenshot alarm-window
[ "$(next)" = "585" ] || fail "the alarm was switched off before it was dismissed"

driver answer 1 >/dev/null || fail "the alarm window could not be dismissed"
wait_for 1500 next || fail "dismissing the alarm did not switch it off: $(next)"
driver post KV4Frame $WM_APP_ADVANCE 1 >/dev/null
driver dialog 2000 >/dev/null 2>&1 && fail "the alarm went off a second time"
close_and_wait

# An alarm whose minute passed while the program was closed goes off at the first tick after
# the start, and dismissing it switches it off as well.
kvtool sched add --db "$(winpath "$db")" --date 2026-12-07 --start 12:00 --end 13:00 --title "Team lunch" \
  --alarm 11:30 --sound 2 >"$kv_tmp/add2.out" || fail "kvtool sched add: $(cat "$kv_tmp/add2.out")"
[ "$(next)" = "690" ] || fail "the lunch alarm is not armed for 11:30: $(next)"
KV_ENV="KALVORA_TEST_CLOCK=2026-12-07T14:00" start_and_wait
shown=$(driver dialog 15000 | tr -d '\r')
case "$shown" in
  "Kalvora Event Alarm"*"Team lunch"*) ;;
  *) fail "an alarm missed while the program was closed did not go off at the start: \"$shown\"" ;;
esac
driver answer 1 >/dev/null || fail "the late alarm window could not be dismissed"
wait_for 1500 next || fail "dismissing the late alarm did not switch it off: $(next)"
close_and_wait
finish
