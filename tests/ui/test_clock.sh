#!/usr/bin/env bash
# The clock tick on a clock the test drives: the clock button follows the minute and, at
# midnight, the date button moves to the new day without a restart.
source "$(dirname "$0")/lib.sh"
fresh_profile
WM_APP_ADVANCE=0x8001   # the program's test-clock message: move the clock by N minutes

KV_ENV="KALVORA_TEST_CLOCK=2026-12-31T23:58" start_and_wait
text() { driver text KV4Frame "$1"; }
wait_for "Thursday, December 31, 2026" text 1312 || fail "the date button reads \"$(text 1312)\""
wait_for " 11:58 PM " text 1328 || fail "the clock button reads \"$(text 1328)\""

driver post KV4Frame $WM_APP_ADVANCE 1 >/dev/null
wait_for " 11:59 PM " text 1328 || fail "a minute later the clock button reads \"$(text 1328)\""
[ "$(text 1312)" = "Thursday, December 31, 2026" ] || fail "the date moved before midnight: $(text 1312)"

driver post KV4Frame $WM_APP_ADVANCE 1 >/dev/null
wait_for "Friday, January 1, 2027" text 1312 || fail "at midnight the date button reads \"$(text 1312)\""
wait_for " 12:00 AM " text 1328 || fail "at midnight the clock button reads \"$(text 1328)\""
screenshot clock-after-midnight

# Ctrl+T takes today again: still the test clock's day. Ctrl+S saves.
driver key KV4Frame 0x54 ctrl >/dev/null
sleep 1
[ "$(text 1312)" = "Friday, January 1, 2027" ] || fail "Ctrl+T moved the date to \"$(text 1312)\""
touch -d '2001-01-01' "$data/default.kvc"
driver key KV4Frame 0x53 ctrl >/dev/null
wait_for 1 bash -c "[ \"\$(stat -c %Y '$data/default.kvc')\" -gt 1000000000 ] && echo 1" || fail "Ctrl+S did not save"

# A day and an hour later, still without a restart.
driver post KV4Frame $WM_APP_ADVANCE $((25 * 60)) >/dev/null
wait_for "Saturday, January 2, 2027" text 1312 || fail "a day later the date button reads \"$(text 1312)\""
wait_for " 1:00 AM " text 1328 || fail "a day later the clock button reads \"$(text 1328)\""
close_and_wait
finish
